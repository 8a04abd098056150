#include "app/Modal.h"

#include <QEvent>
#include <QEventLoop>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QWidget>

namespace {

// Ends the modal loop when the program hides the window (close, hide, done).
// A spontaneous hide is the window system minimizing it: the window lives on.
class HideWatcher : public QObject {
  public:
    explicit HideWatcher(QEventLoop& loop) : loop_(loop) {}

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Hide && !event->spontaneous()) loop_.quit();
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

void CentreWindow(QWidget* window, const QPoint& centre) {
    QRect frame = window->frameGeometry();
    frame.moveCenter(centre);
    window->move(frame.topLeft());
}
