#include "tests/support/AppSession.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <algorithm>

#include "app/StatusFrm.h"
#include "app/TaskWindows.h"
#include "platform/ComPort.h"
#include "platform/PortSettingsStore.h"
#include "protocol/Frame.h"
#include "sim/PtyDrive.h"

AppSession::AppSession(PtyDrive& drive, Options options)
    : AppSession(&drive, QString::fromStdString(drive.SlavePath()), options) {}

AppSession::AppSession(const QString& port, Options options) : AppSession(nullptr, port, options) {}

AppSession::AppSession(PtyDrive* drive, const QString& port, Options options)
    : boxes_(options.answer), drive_(drive) {
    PortSettings stored;
    stored.Port = port;
    if (options.baud > 0) stored.BaudRate = QString::number(options.baud);
    StorePortSettings(stored);  // the main window reads it when it starts
    main_ = std::make_unique<TMainForm>(TMainForm::Options{false});
    RegisterTaskWindows(*main_);
    main_->show();
}

AppSession::~AppSession() = default;

bool AppSession::GoOnLine() {
    main_->ST_LEDClick();
    return Connected();
}

bool AppSession::Connected() const {
    return main_->ComPort->Connected();
}

bool AppSession::TriggerCommand(const QString& caption) {
    for (QAction* action : main_->findChildren<QAction*>()) {
        if (action->text().remove('&') != caption) continue;
        action->trigger();
        return true;
    }
    return false;
}

QWidget* AppSession::ShowAsDialog(ChildWindow kind) {
    QWidget* window = main_->CreateChildWindow(kind);
    if (!window) return nullptr;
    window->setParent(main_.get(), Qt::Dialog);
    window->show();
    return window;
}

bool AppSession::IsActiveChild(const QWidget* window) const {
    const QMdiSubWindow* active = main_->MdiArea()->activeSubWindow();
    return active && active->widget() == window;
}

void AppSession::Activate(QWidget* window) {
    for (QMdiSubWindow* sub : main_->MdiArea()->subWindowList()) {
        if (sub->widget() == window) main_->MdiArea()->setActiveSubWindow(sub);
    }
}

bool AppSession::ClickThroughProgress(QAbstractButton* button, int patienceMs) {
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [this] {
        if (auto* status = main_->findChild<TFrm_Status*>()) status->Btn_CancelClick();
    });
    guard.start(patienceMs);
    QTest::mouseClick(button, Qt::LeftButton);
    return guard.isActive();
}

QString AppSession::Status() const {
    return StatusPanel(*main_)->text();
}

std::vector<std::string> AppSession::Requests() const {
    return drive_->RequestLog();
}

std::string AppSession::LastRequest() const {
    const std::vector<std::string> frames = Requests();
    return frames.empty() ? std::string() : frames.back();
}

std::size_t AppSession::Received(std::string_view command, std::string_view data) const {
    return CountRequests(Requests(), command, data);
}

std::size_t CountRequests(const std::vector<std::string>& frames, std::string_view command,
                          std::string_view data) {
    const std::string frame = Frame::BuildRequest(command, data);
    return static_cast<std::size_t>(std::ranges::count(frames, frame));
}
