// How the main window opens its task windows, arranges them and lists them in
// the Window menu, and the edit commands on the focused control.

#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

#include "app/Main.h"
#include "app/Modal.h"
#include "app/WindowPlacement.h"
#include "platform/ComPort.h"
#include "widgets/MessageService.h"
#include "widgets/WindowHints.h"

namespace {

// Windows of one kind share a placement, kept under the window's own name.
QString PlacementName(const QWidget* window) {
    return window->objectName().isEmpty() ? QString(window->metaObject()->className())
                                          : window->objectName();
}

}  // namespace

void TMainForm::RegisterChildWindow(ChildWindow kind, ChildFactory factory) {
    ChildCommand& command = children_.at(kind);
    command.factory = std::move(factory);
    command.action->setEnabled(static_cast<bool>(command.factory));
}

QAction* TMainForm::CommandAction(ChildWindow kind) const {
    return children_.at(kind).action;
}

QWidget* TMainForm::CreateChildWindow(ChildWindow kind) {
    const ChildCommand& command = children_.at(kind);
    return command.factory ? command.factory(*this) : nullptr;
}

void TMainForm::OpenChildWindow(ChildWindow kind) {
    ChildCommand& command = children_.at(kind);
    if (!command.factory) return;
    if (!ComPort->Connected()) {
        MessageService::Error(this, kind == ChildWindow::ParameterSet ? MainText::PortNotOpenEditor
                                                                      : MainText::PortNotOpen);
        return;
    }
    switch (kind) {
        case ChildWindow::ParameterSet:
            OpenEditor(command);
            break;
        case ChildWindow::ProgramDown:
            OpenModal(command);
            break;
        default:
            OpenSingle(command);
            break;
    }
}

QMdiSubWindow* TMainForm::AddChild(QWidget* window, bool fillArea) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    // Read before the sub-window takes the window in and lays it out anew.
    const bool sized = window->testAttribute(Qt::WA_Resized);
    const QSize size = window->size();
    QMdiSubWindow* sub = MdiArea_->addSubWindow(window);
    const QRect area = MdiArea_->viewport()->rect();
    // A placement stored by the user wins over each of these.
    if (fillArea) {
        // Laid out for the whole client area.
        sub->setGeometry(area);
    } else if (sized) {
        // A window that gives its size opens at it, frame included, as far as the area allows.
        sub->resize(size.boundedTo(area.size()).expandedTo(sub->minimumSizeHint()));
    }
    if (window->property(kCentreInArea).toBool()) {
        QRect frame(QPoint(0, 0), sized ? sub->size() : sub->sizeHint());
        frame.moveCenter(area.center());
        sub->setGeometry(frame);
    }
    WindowPlacement::Attach(sub, PlacementName(window));
    return sub;
}

QMdiSubWindow* TMainForm::SubWindowOf(const QWidget* window) const {
    for (QMdiSubWindow* sub : MdiArea_->subWindowList()) {
        if (sub->widget() == window) return sub;
    }
    return nullptr;
}

// Editors may be open several at a time; each is numbered by the child windows open.
void TMainForm::OpenEditor(ChildCommand& command) {
    QWidget* editor = command.factory(*this);
    QMdiSubWindow* sub = AddChild(editor, true);
    editor->setWindowTitle("Parameter Edit" + QString::number(MdiArea_->subWindowList().size()));
    sub->show();
}

void TMainForm::OpenSingle(ChildCommand& command) {
    if (command.instance) {
        if (QMdiSubWindow* sub = SubWindowOf(command.instance)) {
            BringToFront(sub);
            return;
        }
    }
    QWidget* window = command.factory(*this);
    command.instance = window;
    AddChild(window)->show();
}

void TMainForm::BringToFront(QMdiSubWindow* sub) {
    if (sub->isMinimized()) sub->showNormal();
    MdiArea_->setActiveSubWindow(sub);
    sub->raise();
}

void TMainForm::OpenModal(ChildCommand& command) {
    QWidget* window = command.factory(*this);
    if (!window->isWindow()) window->setParent(this, Qt::Dialog);
    WindowPlacement::Attach(window, PlacementName(window));
    RunModal(window);
}

// ---------------------------------------------------------------- Window menu

void TMainForm::FillWindowMenu() {
    WindowMenu->clear();
    WindowMenu->addActions({WindowCascade, WindowTileHorizontal, WindowTileVertical,
                            WindowMinimizeAll, WindowArrangeAll});
    const QList<QMdiSubWindow*> subs = MdiArea_->subWindowList();
    if (subs.isEmpty()) return;
    WindowMenu->addSeparator();
    for (qsizetype i = 0; i < subs.size(); ++i) {
        QMdiSubWindow* sub = subs[i];
        QAction* entry =
            WindowMenu->addAction(QString("&%1 %2").arg(i + 1).arg(sub->windowTitle()));
        entry->setCheckable(true);
        entry->setChecked(sub == MdiArea_->activeSubWindow());
        connect(entry, &QAction::triggered, this, [this, sub = QPointer<QMdiSubWindow>(sub)] {
            if (sub) BringToFront(sub);
        });
    }
}

// Vertical stacking puts the windows one above the other, each the full width.
void TMainForm::TileSubWindows(Qt::Orientation stacking) {
    QList<QMdiSubWindow*> subs;
    for (QMdiSubWindow* sub : MdiArea_->subWindowList()) {
        if (sub->isVisible() && !sub->isMinimized()) subs << sub;
    }
    if (subs.isEmpty()) return;
    const QRect area = MdiArea_->viewport()->rect();
    const int count = static_cast<int>(subs.size());
    for (int i = 0; i < count; ++i) {
        QRect cell;
        if (stacking == Qt::Vertical) {
            const int top = area.height() * i / count, bottom = area.height() * (i + 1) / count;
            cell = QRect(0, top, area.width(), bottom - top);
        } else {
            const int left = area.width() * i / count, right = area.width() * (i + 1) / count;
            cell = QRect(left, 0, right - left, area.height());
        }
        subs[i]->showNormal();
        subs[i]->setGeometry(cell);
    }
}

void TMainForm::MinimizeAll() {
    for (QMdiSubWindow* sub : MdiArea_->subWindowList()) sub->showMinimized();
}

// Lines the minimized windows up along the bottom edge.
void TMainForm::ArrangeAll() {
    const QRect area = MdiArea_->viewport()->rect();
    int left = 0;
    for (QMdiSubWindow* sub : MdiArea_->subWindowList()) {
        if (!sub->isMinimized()) continue;
        const QSize size = sub->size();
        if (left > 0 && left + size.width() > area.width()) left = 0;
        sub->move(left, area.bottom() + 1 - size.height());
        left += size.width();
    }
}

// ---------------------------------------------------------------- Edit menu

// Runs cut, copy or paste on the focused edit control, or on the line edit of
// a spin box or combo box that has the focus.
void TMainForm::EditCommand(const char* slot) {
    QWidget* target = QApplication::focusWidget();
    if (!target) return;
    const QByteArray signature = QByteArray(slot) + "()";
    if (target->metaObject()->indexOfSlot(signature.constData()) < 0) {
        target = target->findChild<QLineEdit*>();
        if (!target) return;
    }
    QMetaObject::invokeMethod(target, slot);
}
