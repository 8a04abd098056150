#include "alarms/HistoryGrid.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableWidget>

namespace {

constexpr int kColumnWidths[] = {40, 80, 302};
const char* const kHeadings[] = {"NO", "Error NO", "Error Name"};
constexpr int kRows = 9;
constexpr int kRowHeight = 24;

class HistoryGridDelegate : public QStyledItemDelegate {
  public:
    explicit HistoryGridDelegate(QTableWidget* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const int row = index.row(), column = index.column();
        const bool fixed = row == 0 || column == 0;
        const bool current = index == grid_->currentIndex() && !fixed;
        QColor background = fixed ? QColor(223, 223, 223) : QColor(239, 239, 239);
        if (row > 0 && column == HistoryGrid::kNameColumn) background = QColor(217, 222, 214);
        if (current) background = QColor(128, 128, 192);

        QFont font(row == 0 ? QString::fromUtf8("굴림") : QString("Arial"), 10);
        font.setBold(fixed || column == HistoryGrid::kNameColumn || current);
        const QString text = index.data().toString();
        const QRect cell = option.rect;
        const QFontMetrics metrics(font);
        const int left = cell.left() + cell.width() / 2 - metrics.horizontalAdvance(text) / 2;
        const int top = cell.top() + cell.height() / 2 - metrics.height() / 2;

        painter->save();
        painter->setClipRect(cell);
        painter->fillRect(cell, background);
        painter->setFont(font);
        painter->setPen(current ? Qt::white : Qt::black);
        painter->drawText(QPoint(left, top + metrics.ascent()), text);
        painter->restore();
    }

  private:
    QTableWidget* grid_;
};

}  // namespace

QTableWidget* CreateHistoryGrid(QWidget* parent) {
    auto* grid = new QTableWidget(kRows, 3, parent);
    grid->setObjectName("StringGrid_ErrorHistory");
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid->setWordWrap(false);
    grid->setItemDelegate(new HistoryGridDelegate(grid));
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(kRowHeight);
    for (int column = 0; column < 3; ++column) grid->setColumnWidth(column, kColumnWidths[column]);
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < 3; ++column) {
            auto* item = new QTableWidgetItem;
            // The heading row and the number column are fixed: never the current cell.
            const bool fixed = row == 0 || column == 0;
            item->setFlags(fixed ? Qt::NoItemFlags : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            if (row == 0) item->setText(kHeadings[column]);
            if (row > 0 && column == 0) item->setText(QString::number(row));
            grid->setItem(row, column, item);
        }
    }
    return grid;
}
