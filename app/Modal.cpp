#include "app/Modal.h"

#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QWidget>

namespace {

// Ends the modal loop when the window goes out of sight, however that happens.
class HideWatcher : public QObject {
  public:
    explicit HideWatcher(QEventLoop& loop) : loop_(loop) {}

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Hide) loop_.quit();
        return false;
    }

  private:
    QEventLoop& loop_;
};

}  // namespace

void RunModal(QWidget* window) {
    QPointer<QWidget> guard(window);
    QEventLoop loop;
    HideWatcher watcher(loop);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::ApplicationModal);
    window->installEventFilter(&watcher);
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    window->show();
    if (guard && guard->isVisible()) loop.exec(QEventLoop::DialogExec);
    if (guard) {
        guard->removeEventFilter(&watcher);
        delete guard.data();
    }
}
