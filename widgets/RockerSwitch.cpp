#include "widgets/RockerSwitch.h"

#include <QPainter>
#include <QVBoxLayout>

RockerHalf::RockerHalf(bool upper, QWidget* parent) : QAbstractButton(parent), upper_(upper) {
    setObjectName(upper ? "Up" : "Down");
    setAccessibleName(upper ? "Up" : "Down");
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setCursor(Qt::PointingHandCursor);
}

void RockerHalf::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF body = QRectF(rect()).adjusted(1, upper_ ? 1 : 0, -1, upper_ ? 0 : -1);
    QLinearGradient shade(body.topLeft(), body.bottomLeft());
    const QColor face = isEnabled() ? QColor(96, 96, 104) : QColor(120, 120, 120);
    // Both halves stand raised at rest; the pressed one sinks.
    const bool sunk = isDown();
    shade.setColorAt(0.0, sunk ? face.darker(130) : face.lighter(150));
    shade.setColorAt(1.0, sunk ? face.darker(170) : face);
    painter.setPen(QPen(QColor(30, 30, 30), 1.0));
    painter.setBrush(shade);
    painter.drawRoundedRect(body, 3, 3);

    const qreal w = body.width() * 0.28, h = body.height() * 0.22;
    const QPointF c = body.center();
    const qreal tip = upper_ ? -h : h;
    const QPolygonF arrow(
        {{c.x(), c.y() + tip}, {c.x() - w, c.y() - tip}, {c.x() + w, c.y() - tip}});
    painter.setPen(Qt::NoPen);
    painter.setBrush(isEnabled() ? QColor(230, 230, 230) : QColor(170, 170, 170));
    painter.drawPolygon(arrow);
}

RockerSwitch::RockerSwitch(QWidget* parent)
    : QWidget(parent), up_(new RockerHalf(true, this)), down_(new RockerHalf(false, this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(0);
    layout->addWidget(up_);
    layout->addWidget(down_);
    connect(up_, &QAbstractButton::clicked, this, &RockerSwitch::UpClick);
    connect(down_, &QAbstractButton::clicked, this, &RockerSwitch::DownClick);
}

void RockerSwitch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(20, 20, 20), 1.0));
    painter.setBrush(QColor(50, 50, 56));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
}
