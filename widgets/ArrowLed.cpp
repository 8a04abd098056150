#include "widgets/ArrowLed.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPainter>

namespace {

class ArrowLedAccessible : public QAccessibleWidget {
  public:
    explicit ArrowLedAccessible(ArrowLed* led) : QAccessibleWidget(led, QAccessible::Button) {}

    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override {
        if (name != pressAction()) {
            QAccessibleWidget::doAction(name);
            return;
        }
        auto* led = static_cast<ArrowLed*>(widget());
        if (!led->isEnabled()) return;
        emit led->Pressed();
        emit led->Released();
    }
};

QAccessibleInterface* ArrowLedAccessibleFactory(const QString&, QObject* object) {
    if (auto* led = qobject_cast<ArrowLed*>(object)) return new ArrowLedAccessible(led);
    return nullptr;
}

}  // namespace

ArrowLed::ArrowLed(Direction direction, QWidget* parent) : QWidget(parent), direction_(direction) {
    static const bool installed = [] {
        QAccessible::installFactory(ArrowLedAccessibleFactory);
        return true;
    }();
    (void)installed;
    setAccessibleName(direction == Direction::Left ? "Left arrow" : "Right arrow");
    setAccessibleDescription("off");
}

void ArrowLed::SetOn(bool on) {
    if (on_ == on) return;
    on_ = on;
    setAccessibleDescription(on ? "on" : "off");
    update();
}

void ArrowLed::SetOnColor(const QColor& color) {
    onColor_ = color;
    update();
}

void ArrowLed::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    held_ = true;
    emit Pressed();
}

// A release anywhere ends the hold, also outside the arrow.
void ArrowLed::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !held_) return;
    held_ = false;
    emit Released();
}

void ArrowLed::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(2, 2, -2, -2);
    const qreal head = std::min(r.width() * 0.5, r.height());
    QPolygonF arrow;
    if (direction_ == Direction::Right) {
        arrow << QPointF(r.left(), r.top() + r.height() * 0.3)
              << QPointF(r.right() - head, r.top() + r.height() * 0.3)
              << QPointF(r.right() - head, r.top()) << QPointF(r.right(), r.center().y())
              << QPointF(r.right() - head, r.bottom())
              << QPointF(r.right() - head, r.top() + r.height() * 0.7)
              << QPointF(r.left(), r.top() + r.height() * 0.7);
    } else {
        arrow << QPointF(r.right(), r.top() + r.height() * 0.3)
              << QPointF(r.left() + head, r.top() + r.height() * 0.3)
              << QPointF(r.left() + head, r.top()) << QPointF(r.left(), r.center().y())
              << QPointF(r.left() + head, r.bottom())
              << QPointF(r.left() + head, r.top() + r.height() * 0.7)
              << QPointF(r.right(), r.top() + r.height() * 0.7);
    }
    QColor fill = on_ ? onColor_ : onColor_.darker(350);
    if (!isEnabled()) fill = fill.darker(150);
    painter.setPen(QPen(Qt::darkGray, 1));
    painter.setBrush(fill);
    painter.drawPolygon(arrow);
}
