#include "widgets/RoundLedButton.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QMouseEvent>

namespace {

// Lets screen readers and automation press the lamp like a button.
class RoundLedButtonAccessible : public QAccessibleWidget {
  public:
    explicit RoundLedButtonAccessible(RoundLedButton* led)
        : QAccessibleWidget(led, QAccessible::Button) {}

    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override {
        if (name == pressAction())
            emit static_cast<RoundLedButton*>(widget())->clicked();
        else
            QAccessibleWidget::doAction(name);
    }
};

QAccessibleInterface* RoundLedButtonAccessibleFactory(const QString&, QObject* object) {
    if (auto* led = qobject_cast<RoundLedButton*>(object)) return new RoundLedButtonAccessible(led);
    return nullptr;
}

void InstallAccessibleFactoryOnce() {
    static const bool installed = [] {
        QAccessible::installFactory(RoundLedButtonAccessibleFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace

RoundLedButton::RoundLedButton(QWidget* parent) : RoundLed(parent) {
    InstallAccessibleFactoryOnce();
    setCursor(Qt::PointingHandCursor);
}

void RoundLedButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
