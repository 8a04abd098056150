#include "widgets/RectLed.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPainter>

namespace {

// Gives the LED the press action a screen reader or an automation tool uses.
class RectLedAccessible : public QAccessibleWidget {
  public:
    explicit RectLedAccessible(RectLed* led) : QAccessibleWidget(led, QAccessible::Button) {}

    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override {
        if (name == pressAction())
            emit static_cast<RectLed*>(widget())->clicked();
        else
            QAccessibleWidget::doAction(name);
    }
};

QAccessibleInterface* RectLedAccessibleFactory(const QString&, QObject* object) {
    if (auto* led = qobject_cast<RectLed*>(object)) return new RectLedAccessible(led);
    return nullptr;
}

void InstallAccessibleFactoryOnce() {
    static const bool installed = [] {
        QAccessible::installFactory(RectLedAccessibleFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace

RectLed::RectLed(QWidget* parent) : QWidget(parent) {
    InstallAccessibleFactoryOnce();
    setCursor(Qt::PointingHandCursor);
    UpdateAccessibleState();
}

void RectLed::SetOn(bool on) {
    if (on_ == on) return;
    on_ = on;
    UpdateAccessibleState();
    update();
}

void RectLed::SetLabel(const QString& label) {
    label_ = label;
    setAccessibleName(label);
    update();
}

void RectLed::SetOnColor(const QColor& color) {
    onColor_ = color;
    update();
}

void RectLed::SetOffColor(const QColor& color) {
    offColor_ = color;
    update();
}

void RectLed::UpdateAccessibleState() {
    setAccessibleDescription(on_ ? "on" : "off");
}

void RectLed::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF body = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    const QColor base = on_ ? onColor_ : offColor_;
    QLinearGradient shade(body.topLeft(), body.bottomLeft());
    shade.setColorAt(0.0, base.lighter(on_ ? 150 : 120));
    shade.setColorAt(0.5, base);
    shade.setColorAt(1.0, base.darker(140));
    painter.setPen(QPen(QColor(40, 40, 40), 1.0));
    painter.setBrush(shade);
    painter.drawRoundedRect(body, 3, 3);

    QFont font = painter.font();
    font.setBold(true);
    painter.setFont(font);
    // A lit lamp carries a white label; an unlit one a grey that still reads on its dark body.
    painter.setPen(on_ ? QColor(Qt::white) : QColor(185, 185, 185));
    painter.drawText(body, Qt::AlignCenter, label_);
}

void RectLed::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
