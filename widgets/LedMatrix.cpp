#include "widgets/LedMatrix.h"

#include <QPainter>
#include <QStringList>

LedMatrix::LedMatrix(int rows, int columns, QWidget* parent)
    : QWidget(parent),
      rows_(std::max(rows, 1)),
      columns_(std::max(columns, 1)),
      cells_(static_cast<std::size_t>(rows_ * columns_)) {
    UpdateAccessibleState();
}

LedMatrix::Cell* LedMatrix::At(int row, int column) {
    if (row < 0 || row >= rows_ || column < 0 || column >= columns_) return nullptr;
    return &cells_[static_cast<std::size_t>(row * columns_ + column)];
}

const LedMatrix::Cell* LedMatrix::At(int row, int column) const {
    return const_cast<LedMatrix*>(this)->At(row, column);
}

void LedMatrix::SetCaption(int row, int column, const QString& caption) {
    if (Cell* cell = At(row, column)) {
        cell->caption = caption.left(kMaxCaption);
        UpdateAccessibleState();
        update();
    }
}

QString LedMatrix::Caption(int row, int column) const {
    const Cell* cell = At(row, column);
    return cell ? cell->caption : QString();
}

void LedMatrix::SetLit(int row, int column, bool lit) {
    Cell* cell = At(row, column);
    if (!cell || cell->lit == lit) return;
    cell->lit = lit;
    UpdateAccessibleState();
    update();
}

bool LedMatrix::IsLit(int row, int column) const {
    const Cell* cell = At(row, column);
    return cell && cell->lit;
}

void LedMatrix::SetOnColor(const QColor& color) {
    onColor_ = color;
    update();
}

void LedMatrix::UpdateAccessibleState() {
    QStringList lit;
    for (const Cell& cell : cells_) {
        if (cell.lit) lit << cell.caption;
    }
    setAccessibleDescription(lit.isEmpty() ? QStringLiteral("all off")
                                           : "on: " + lit.join(QStringLiteral(", ")));
}

void LedMatrix::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal cellWidth = width() / static_cast<qreal>(columns_);
    const qreal cellHeight = height() / static_cast<qreal>(rows_);
    const qreal diameter = std::min(cellHeight * 0.6, 14.0);
    for (int row = 0; row < rows_; ++row) {
        for (int column = 0; column < columns_; ++column) {
            const Cell& cell = *At(row, column);
            const QRectF box(column * cellWidth, row * cellHeight, cellWidth, cellHeight);
            const QRectF lamp(box.left() + 3, box.center().y() - diameter / 2, diameter, diameter);
            painter.setPen(QPen(Qt::darkGray, 1));
            painter.setBrush(cell.lit ? onColor_ : onColor_.darker(400));
            painter.drawEllipse(lamp);
            painter.setPen(palette().color(QPalette::WindowText));
            const QRectF text(lamp.right() + 4, box.top(), box.right() - lamp.right() - 5,
                              box.height());
            painter.drawText(text, Qt::AlignVCenter | Qt::AlignLeft,
                             fontMetrics().elidedText(cell.caption, Qt::ElideRight,
                                                      static_cast<int>(text.width())));
        }
    }
}
