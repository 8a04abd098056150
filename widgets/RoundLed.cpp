#include "widgets/RoundLed.h"

#include <QPainter>

RoundLed::RoundLed(QWidget* parent) : QWidget(parent) {
    setAccessibleDescription("off");
}

void RoundLed::SetOn(bool on) {
    if (on_ == on) return;
    on_ = on;
    setAccessibleDescription(on ? "on" : "off");
    update();
}

void RoundLed::SetOnColor(const QColor& color) {
    onColor_ = color;
    update();
}

void RoundLed::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = qMin(width(), height()) - 2.0;
    const QRectF lamp((width() - side) / 2, (height() - side) / 2, side, side);
    const QColor base = on_ ? onColor_ : onColor_.darker(320);
    QRadialGradient glow(lamp.center() - QPointF(side / 5, side / 5), side / 1.5);
    glow.setColorAt(0.0, on_ ? base.lighter(170) : base.lighter(130));
    glow.setColorAt(1.0, base.darker(120));
    painter.setPen(QPen(QColor(50, 50, 50), 1.0));
    painter.setBrush(glow);
    painter.drawEllipse(lamp);
}
