#include "widgets/SlidingScale.h"

#include <QPainter>
#include <algorithm>

SlidingScale::SlidingScale(QWidget* parent) : QWidget(parent) {
    setAccessibleDescription("0");
}

void SlidingScale::SetTitle(const QString& title) {
    title_ = title;
    setAccessibleName(title);
    update();
}

void SlidingScale::SetSpan(double span) {
    if (span > 0) span_ = span;
    update();
}

void SlidingScale::SetValue(double value) {
    value_ = value;
    setAccessibleDescription(QString::number(value));
    update();
}

void SlidingScale::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics metrics = fontMetrics();
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRect(0, 0, width(), metrics.height()), Qt::AlignCenter, title_);
    // The end labels must fit: the scale starts half a label in from each edge.
    const qreal margin = metrics.horizontalAdvance(QString::number(-span_, 'g', 6)) / 2.0 + 3;
    const qreal left = margin, right = width() - margin;
    const qreal axis = metrics.height() + 14;
    painter.drawLine(QPointF(left, axis), QPointF(right, axis));
    for (int tick = -4; tick <= 4; ++tick) {
        const qreal x = left + (right - left) * (tick + 4) / 8.0;
        painter.drawLine(QPointF(x, axis), QPointF(x, axis + (tick % 2 == 0 ? 8 : 4)));
        if (tick % 2 == 0) {
            const QString label = QString::number(span_ * tick / 4.0, 'g', 6);
            painter.drawText(QRectF(x - 30, axis + 9, 60, metrics.height()), Qt::AlignCenter,
                             label);
        }
    }
    const double shown = std::clamp(value_, -span_, span_);
    const qreal x = left + (right - left) * (shown + span_) / (2 * span_);
    QPolygonF pointer;
    pointer << QPointF(x, axis - 1) << QPointF(x - 6, axis - 11) << QPointF(x + 6, axis - 11);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(220, 40, 40));
    painter.drawPolygon(pointer);
}
