#include "app/Main.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <QUrl>
#include <utility>

#include "app/About.h"
#include "app/ImageList.h"
#include "app/Logo.h"
#include "app/Modal.h"
#include "app/StatusFrm.h"
#include "app/UserGuide.h"
#include "app/WindowPlacement.h"
#include "platform/ComPort.h"
#include "platform/ParameterFolder.h"
#include "platform/Pause.h"
#include "platform/PortSettingsStore.h"
#include "platform/PortSetupDialog.h"
#include "platform/PortWatch.h"
#include "platform/ThreadTimers.h"
#include "protocol/AlarmTables.h"
#include "widgets/MessageService.h"
#include "widgets/RectLed.h"
#include "widgets/RoundLed.h"

namespace {

constexpr int kStatusTickMs = 500;
constexpr int kTimeoutTickMs = 50;

QString FromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

TMainForm::TMainForm(Options options, QWidget* parent)
    : QMainWindow(parent),
      ComPort(new TComPort(this)),
      Timers1(new TiThreadTimers(this)),
      options_(options),
      engine_(std::make_unique<TComm>(*ComPort, *this)),
      portWatch_(new PortWatch(this)) {
    setObjectName("MainForm");
    ComPort->setObjectName("ComPort");
    Timers1->setObjectName("Timers1");
    Timers1->SetInterval(1, kStatusTickMs);
    Timers1->SetInterval(2, kTimeoutTickMs);
    Timers1->SetOnTimer(1, [this](TiThreadTimers*) { Timers1Timer1(); });
    Timers1->SetOnTimer(2, [this](TiThreadTimers*) { Timers1Timer2(); });
    connect(ComPort, &TComPort::OnRxChar, this, &TMainForm::ComPortRxChar);
    connect(ComPort, &TComPort::LinkLost, this, &TMainForm::OnLinkLost);
    portWatch_->setObjectName("PortWatch");
    connect(portWatch_, &PortWatch::Back, this, &TMainForm::OnPortBack);

    BuildUi();
    FormCreate();
    WindowPlacement::Attach(this, objectName());
}

// Task windows go first: they hand their references back to the engine.
TMainForm::~TMainForm() {
    delete MdiArea_;
    MdiArea_ = nullptr;
    delete Timers1;
    ComPort->Close();
}

void TMainForm::FormCreate() {
    try {
        PortSettings settings = ComPort->Settings();
        LoadPortSettings(settings);
        ComPort->SetSettings(settings);
    } catch (const PortError& error) {
        ShowPortError(error);
        return;
    }
    ST_LED->SetLabel("Off Line");
    engine_->ResendCount = 0;
    // An installed program's own folder is read-only; the user's data folder stands in.
    if (ParameterFolder().isEmpty())
        MessageService::Error(this,
                              "Unable to create the directory PARAMETER, neither beside the "
                              "program nor in the user's data folder");
}

QString TMainForm::ParameterDirectory() {
    return ParameterFolder();
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    FormShow();
}

// The splash waits for the event loop, so the main window is on screen behind it.
void TMainForm::FormShow() {
    if (!options_.ShowSplash) return;
    QTimer::singleShot(0, this, [this] {
        if (findChild<TForm_Logo*>()) return;
        auto* logo = new TForm_Logo(this);
        logo->setWindowModality(Qt::ApplicationModal);
        logo->show();
    });
}

void TMainForm::closeEvent(QCloseEvent* event) {
    MdiArea_->closeAllSubWindows();
    if (!MdiArea_->subWindowList().isEmpty()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void TMainForm::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) NoteMainWindowActive();
}

// With a task window in front, that window's kind stays the active one.
void TMainForm::NoteMainWindowActive() {
    if (isActiveWindow() && MdiArea_ && !MdiArea_->activeSubWindow())
        engine_->ActiveWindow = MainWindowActive;
}

// ---------------------------------------------------------------- on line / off line

void TMainForm::ST_LEDClick() {
    if (ST_LED->IsOn())
        GoOffline();
    else
        GoOnline();
}

void TMainForm::GoOnline() {
    try {
        ComPort->Open();
    } catch (const PortError& error) {
        ShowPortError(error);
        return;
    }
    // An exchange cut off by going off line would keep every polling window waiting.
    const auto state = engine_->LinkState;
    if (state != Idle && state != ReplyDone) engine_->AbortExchange();
    engine_->ForgetOwedReplies();
    portWatch_->Stop();
    ShowLinkState(true);
    HintLatency();
}

// A USB adapter that holds replies back slows every exchange; said once a port.
void TMainForm::HintLatency() {
    const QString port = ComPort->Settings().Port;
    const std::optional<int> ms = LatencyTimerMs(port);
    if (!ms || *ms <= 1 || latencyHinted_.contains(port)) return;
    latencyHinted_.insert(port);
    SetStatusText(LatencyHint(port.toStdString(), *ms));
}

void TMainForm::GoOffline() {
    ComPort->Close();
    ShowLinkState(false);
}

// The status tick runs only on line; the time-out tick is the engine's to start.
void TMainForm::ShowLinkState(bool online) {
    OnLine->setText(online ? "&OffLine" : "&OnLine");
    OnLine->setIcon(ImageList::Icon(online ? ImageList::Online : ImageList::Offline));
    ST_LED->SetOn(online);
    ST_LED->SetLabel(online ? "On Line" : "Off Line");
    Timers1->SetEnabled(1, online);
    Timers1->SetEnabled(2, false);
}

void TMainForm::OnLinkLost(const QString& message) {
    if (ST_LED->IsOn()) GoOffline();
    // Nothing can answer any more: the exchange and any transfer chain end here,
    // and the status panel keeps saying why.
    const auto state = engine_->LinkState;
    if ((state != Idle && state != ReplyDone) || engine_->ContinuationKind != 0)
        engine_->AbortExchange();
    SetStatusText(message.section('\n', 0, 0).toStdString());
    portWatch_->Watch(ComPort->Settings().Port, ComPort->OpenedDevice());
    if (!std::exchange(lossReported_, false)) MessageService::Error(this, message);
}

// Only said: going on line stays the user's decision.
void TMainForm::OnPortBack(const QString& port) {
    if (!ST_LED->IsOn()) SetStatusText(PortBackNotice(port.toStdString()));
}

// ---------------------------------------------------------------- status and alarm

void TMainForm::Timers1Timer1() {
    const std::int32_t error = engine_->CommError;
    if (error == 0) return;
    if (error > 10 && error < static_cast<std::int32_t>(AlarmNames.size()))
        SetStatusText(AlarmNames[static_cast<std::size_t>(error)]);
    if (++blinkCount_ > 1) {
        ST_LedAlarm->SetOn(!ST_LedAlarm->IsOn());
        blinkCount_ = 1;
    }
}

void TMainForm::ClearAlarmIndicator() {
    ST_LedAlarm->SetOn(false);
    SetStatusText({});
}

void TMainForm::ST_LedAlarmClick() {
    engine_->CommError = 0;
    ClearAlarmIndicator();
    if (engine_->ActiveWindow == MonitoringActive && engine_->MonitorRef) {
        engine_->SuppressSwitchEvents = 1;
        try {
            engine_->MonitorRef->AcknowledgeAlarm();
        } catch (...) {
        }
    }
}

void TMainForm::Timers1Timer2() {
    engine_->HandleTimeout();
}

void TMainForm::ComPortRxChar(int count) {
    engine_->RxBuffer.clear();
    ComPort->PortRead(engine_->RxBuffer, count);
    engine_->HandleChunk();
}

// ---------------------------------------------------------------- commands

void TMainForm::ComPortSetUpClick() {
    try {
        ShowPortSetupDialog(*ComPort, this);
    } catch (const PortError& error) {
        ShowPortError(error);
    }
    // A new port name that failed to open has left the port closed.
    if (ST_LED->IsOn() && !ComPort->Connected()) GoOffline();
    try {
        StorePortSettings(ComPort->Settings());
    } catch (const PortError& error) {
        ShowPortError(error);
    }
}

void TMainForm::ShowPortError(const std::exception& error) {
    MessageService::Error(this, FromUtf8(error.what()));
}

void TMainForm::StatusForm_Active() {
    RunModal(new TFrm_Status(*engine_, this));
}

void TMainForm::AboutClick() {
    TAboutBox about(this);
    about.exec();
}

// A help file in the current folder comes first; otherwise the guide shipped with the program.
void TMainForm::HelpClick() {
    const QString helpFile = QDir::current().filePath("Rc2.HLP");
    if (QFileInfo::exists(helpFile)) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(helpFile));
        return;
    }
    const QString guide = FindUserGuide(QCoreApplication::applicationDirPath());
    if (guide.isEmpty()) {
        MessageService::Error(this, "The user guide is not installed.");
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(guide)))
        MessageService::Error(this, "No web browser opened the user guide " + guide);
}

// ---------------------------------------------------------------- engine hooks

void TMainForm::SetStatusText(const std::string& text) {
    Panel_MainStatus->setText(FromUtf8(text));
    Panel_MainStatus->setToolTip(FromUtf8(text));  // a long text is cut off in the panel
}

void TMainForm::SetCommLed(bool on) {
    ST_LedComPort->SetOn(on);
}

void TMainForm::SetTimeoutTimer(bool enabled) {
    Timers1->SetEnabled(2, enabled);
}

void TMainForm::ShowWarning(const std::string& text) {
    // A write that failed because the line went away has told the user already;
    // the lost line then goes off line without a second box.
    lossReported_ = text == LinkText::SendFailed && !ComPort->Connected();
    MessageService::Warning(this, FromUtf8(text), QMessageBox::Yes);
}

void TMainForm::RestoreCursor() {
    while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
}

void TMainForm::PauseMs(int ms) {
    Pause::Sleep(ms);
}
