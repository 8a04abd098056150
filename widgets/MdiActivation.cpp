#include "widgets/MdiActivation.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

MdiActivation::MdiActivation(QWidget* window, std::function<void()> activated,
                             std::function<void()> deactivated)
    : QObject(window),
      window_(window),
      activated_(std::move(activated)),
      deactivated_(std::move(deactivated)) {}

bool MdiActivation::Attach() {
    if (sub_) return true;
    auto* sub = qobject_cast<QMdiSubWindow*>(window_->parentWidget());
    if (!sub || !sub->mdiArea()) return false;
    sub_ = sub;
    connect(sub->mdiArea(), &QMdiArea::subWindowActivated, this,
            &MdiActivation::SubWindowActivated);
    if (sub->mdiArea()->activeSubWindow() == sub) SubWindowActivated(sub);
    return true;
}

// A null sub-window means the frame lost the focus: no child changed.
void MdiActivation::SubWindowActivated(QMdiSubWindow* sub) {
    if (!sub || !sub_) return;
    const bool mine = sub == sub_;
    if (mine == active_) return;
    active_ = mine;
    // The focus moves in with the activation; left in another child, it would
    // make the area hand the activation back to that child when the frame
    // regains the focus.
    if (mine && !window_->isAncestorOf(QApplication::focusWidget()) &&
        QApplication::focusWidget() != window_)
        window_->setFocus(Qt::OtherFocusReason);
    if (mine && activated_) activated_();
    if (!mine && deactivated_) deactivated_();
}
