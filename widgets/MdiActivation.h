#pragma once
// Tells a window inside an MDI area when it becomes the active child and when
// another child takes over, from the area's own activation signal. The frame
// losing and regaining the focus (a message box, another program) is neither:
// Qt reports it to every visible child, and a window must not take it for the
// user's choice of window.

#include <QObject>
#include <QPointer>
#include <functional>

class QMdiSubWindow;
class QWidget;

class MdiActivation : public QObject {
    Q_OBJECT
  public:
    // Watches `window`; call Attach() once it sits in its sub-window (from its showEvent).
    MdiActivation(QWidget* window, std::function<void()> activated,
                  std::function<void()> deactivated = {});

    // Connects to the area of the window's sub-window; true once attached.
    // Runs `activated` at once when that sub-window is already the active one.
    bool Attach();
    bool IsActive() const { return active_; }

  private:
    void SubWindowActivated(QMdiSubWindow* sub);

    QWidget* window_;
    QPointer<QMdiSubWindow> sub_;
    std::function<void()> activated_, deactivated_;
    bool active_ = false;
};
