// The monitoring window's life and its link: creation and its timers,
// activation and deactivation, the start-up sequence that follows each
// activation, what the engine tells the window, switching pages, the axis
// and EXIT. The pages live beside it: MonitoringNormal, MonitoringGraph and
// MonitoringOperations (the tuning page); the controls are built in MonitoringUi.

#include "monitoring/MonitoringFrm.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>

#include "monitoring/IoSignals.h"
#include "monitoring/MonitorItems.h"
#include "monitoring/StatusDisplay.h"
#include "platform/ThreadTimers.h"
#include "protocol/AlarmTables.h"
#include "protocol/Commands.h"
#include "widgets/MdiActivation.h"
#include "widgets/MessageService.h"
#include "widgets/RectLed.h"
#include "widgets/RockerSwitch.h"
#include "widgets/RoundLedButton.h"
#include "widgets/ToggleSwitch.h"

int TFrm_Monitoring::MonitorAxis = 0;

TFrm_Monitoring::TFrm_Monitoring(TComm& comm, QWidget* parent)
    : QWidget(parent), comm_(comm), link_(comm) {
    BuildUi();
    BuildTimers();
    activation_ = new MdiActivation(
        this, [this] { FormActivate(); }, [this] { FormDeactivate(); });
    comm_.MonitorRef = this;
    FormCreate();
}

TFrm_Monitoring::~TFrm_Monitoring() {
    // The timers' workers go first, so no tick reaches a half-destroyed window.
    delete Timers_Monitor;
    delete ThreadTimers1;
    if (comm_.MonitorRef == this) comm_.MonitorRef = nullptr;
    RestoreCursor();
}

void TFrm_Monitoring::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    activation_->Attach();
}

void TFrm_Monitoring::BuildTimers() {
    Timers_Monitor = new TiThreadTimers(this);
    Timers_Monitor->setObjectName("Timers_Monitor");
    ThreadTimers1 = new TiThreadTimers(this);
    ThreadTimers1->setObjectName("ThreadTimers1");
    Timers_Monitor->SetInterval(1, 10);
    Timers_Monitor->SetInterval(9, 500);
    const std::pair<int, int> intervals[] = {{1, 100}, {2, 10}, {3, 50}, {5, 200},
                                             {6, 50},  {8, 50}, {9, 10}};
    for (auto [channel, ms] : intervals) ThreadTimers1->SetInterval(channel, ms);
    // A tick posted before its channel was stopped is dropped: the start-up
    // sequence, for one, would start over from its alive check.
    auto on = [this](TiThreadTimers* timers, int channel, void (TFrm_Monitoring::*handler)()) {
        timers->SetOnTimer(channel, [this, channel, handler](TiThreadTimers* sender) {
            if (sender->Enabled(channel)) (this->*handler)();
        });
    };
    on(Timers_Monitor, 1, &TFrm_Monitoring::Timers_MonitorTimer1);
    on(Timers_Monitor, 9, &TFrm_Monitoring::Timers_MonitorTimer9);
    on(ThreadTimers1, 1, &TFrm_Monitoring::ThreadTimers1Timer1);
    on(ThreadTimers1, 2, &TFrm_Monitoring::ThreadTimers1Timer2);
    on(ThreadTimers1, 3, &TFrm_Monitoring::ThreadTimers1Timer3);
    on(ThreadTimers1, 5, &TFrm_Monitoring::ThreadTimers1Timer5);
    on(ThreadTimers1, 6, &TFrm_Monitoring::ThreadTimers1Timer6);
    on(ThreadTimers1, 8, &TFrm_Monitoring::ThreadTimers1Timer8);
    on(ThreadTimers1, 9, &TFrm_Monitoring::ThreadTimers1Timer9);
}

void TFrm_Monitoring::FormCreate() {
    MonitorPage = NormalPage;
    startup_.PollStep = 0;
    startup_.ReadIoAssignment = true;
    comm_.LinkAlive = 0;
    ShowAxis();
    Sw_Monitoring->setEnabled(false);
    SpinEdit_TimeSelect->setEnabled(false);
    comm_.SuppressSwitchEvents = 1;
    {
        const QSignalBlocker quiet(PageControl_Monitor);
        PageControl_Monitor->setCurrentIndex(NormalPage);
    }
    Panel_Graph->hide();
    for (int n = 1; n <= kSlotCount; ++n) {
        const QSignalBlocker quiet(Combo[n]);
        Combo[n]->setCurrentIndex(0);
        Label_Dig[n]->hide();
        Label_Unit[n]->hide();
    }
    ShowIoLabels();
    SetUpGraph();
    Led_SelectDGClick();
    SwR_UpDownAxis->setEnabled(false);
    InitOperations();
}

// ---------------------------------------------------------------- activation

void TFrm_Monitoring::FormActivate() {
    comm_.ActiveWindow = MonitoringActive;
    StartStartup();
}

void TFrm_Monitoring::FormDeactivate() {
    if (Sw_Monitoring->isChecked()) Sw_Monitoring->setChecked(false);
    if (SwR_JogOn->isChecked()) SwR_JogOn->setChecked(false);
    SetOperationControls(false);
    Btn_ServoAlarmReset->setEnabled(false);
    Sw_Monitoring->setEnabled(false);
    Sw_ServoOn->setEnabled(false);
}

void TFrm_Monitoring::StartStartup(bool suppressSwitches) {
    if (suppressSwitches) comm_.SuppressSwitchEvents = 1;
    startup_.PollStep = 0;
    Timers_Monitor->SetEnabled(1, true);
}

// Polling and the start-up sequence share PollStep and SendData: switched on
// while the sequence still runs, the two would take turns for ever and the
// sequence's requests would overwrite the items polled.
void TFrm_Monitoring::StopStartup() {
    if (!Timers_Monitor->Enabled(1)) return;
    Timers_Monitor->SetEnabled(1, false);
    startup_.PollStep = 0;
}

void TFrm_Monitoring::Timers_MonitorTimer1() {
    startup_.Tick(link_, *this);
}

void TFrm_Monitoring::ApplyIoAssignment(int parameter, const std::string& value) {
    IoLabels().ApplyIoAssignment(parameter, value);
    ShowIoLabels();
}

void TFrm_Monitoring::StartupComplete() {
    comm_.LinkAlive = 0;
    comm_.SuppressSwitchEvents = 0;
    Sw_ServoOn->setEnabled(true);
    Sw_Monitoring->setEnabled(true);
    SetPagesEnabled(true);
    SetOperationControls(true);
    Btn_ServoAlarmReset->setEnabled(true);
    Timers_Monitor->SetEnabled(1, false);
}

// ---------------------------------------------------------------- engine side

void TFrm_Monitoring::SetLinkControls(bool enabled) {
    if (MonitorPage > GraphPage) return;
    Btn_ServoAlarmReset->setEnabled(enabled);
    Sw_Monitoring->setEnabled(enabled);
    Sw_ServoOn->setEnabled(enabled);
    SetPagesEnabled(enabled);
    if (!enabled) {
        Label_MotorW->setText("????");
        Label_SoftVersion->setText("???");
    }
}

void TFrm_Monitoring::StopOnAbort() {
    Timers_Monitor->SetEnabled(1, false);
    for (int channel : {1, 2, 3, 5, 6, 8, 9}) ThreadTimers1->SetEnabled(channel, false);
    SetSwitchQuietly(Sw_Monitoring, false);
    SetSwitchQuietly(Sw_ServoOn, false);
    Sw_Monitoring->setEnabled(false);
    Sw_ServoOn->setEnabled(false);
    SetPagesEnabled(false);
    RestoreCursor();
}

// Without the link the pages cannot be switched and nothing on them sends; what
// was plotted stays usable (pause, zoom, cursors, export) for the engineer who
// wants to see what led up to the loss.
void TFrm_Monitoring::SetPagesEnabled(bool enabled) {
    PageControl_Monitor->tabBar()->setEnabled(enabled);
    for (int page = 0; page < PageControl_Monitor->count(); ++page)
        if (page != GraphPage) PageControl_Monitor->widget(page)->setEnabled(enabled);
}

void TFrm_Monitoring::StopPollTimer() {
    Timers_Monitor->SetEnabled(1, false);
}

void TFrm_Monitoring::AcknowledgeAlarm() {
    Timers_Monitor->SetEnabled(9, false);
    LedR_Status->SetOn(true);
    StartStartup();
}

void TFrm_Monitoring::ShowMotorName(const std::string& name) {
    Label_MotorW->setText(QString::fromStdString(name));
}

void TFrm_Monitoring::ShowVersion(const std::string& version) {
    Label_SoftVersion->setText(QString::fromStdString(version));
}

void TFrm_Monitoring::ShowDriveStatus(const StatusReply& status) {
    const StatusView view = StatusViewOf(status);
    if (view.modeLeds) {
        LedR_ControlModeP->SetOn(view.modeLeds->position);
        LedR_ControlModeV->SetOn(view.modeLeds->velocity);
        LedR_ControlModeT->SetOn(view.modeLeds->torque);
        LedR_ControlModeC->SetOn(view.modeLeds->contact);
    }
    LedR_SpeedMatch->SetOn(view.speedMatch);
    LedR_TGon->SetOn(view.tgOn);
    LedR_Status->SetLabel(QString::fromStdString(view.centreText));
    if (view.blink) Timers_Monitor->SetEnabled(9, true);
    if (view.servoSwitch) SetSwitchQuietly(Sw_ServoOn, *view.servoSwitch);
}

void TFrm_Monitoring::Timers_MonitorTimer9() {
    LedR_Status->SetOn(!LedR_Status->IsOn());
}

// The switch is shown in a new position without its handler sending anything.
void TFrm_Monitoring::SetSwitchQuietly(ToggleSwitch* sw, bool on) {
    const std::uint8_t before = comm_.SuppressSwitchEvents;
    comm_.SuppressSwitchEvents = 1;
    sw->setChecked(on);
    comm_.SuppressSwitchEvents = before;
}

// ---------------------------------------------------------------- pages

void TFrm_Monitoring::PageControl_MonitorChange() {
    MonitorPage = PageControl_Monitor->currentIndex();
    if (Sw_Monitoring->isChecked() && MonitorPage > GraphPage) {
        Sw_Monitoring->setChecked(false);
        MessageService::Information(this, MonitoringText::MonitoringStopped);
    }
    ApplyPageSwitches();
    if (Led_Manual->IsOn() && MonitorPage < TuningPage) Led_ManualClick();
    switch (MonitorPage) {
        case NormalPage:
            EnterNormalPage();
            break;
        case GraphPage:
            EnterGraphPage();
            break;
        default:
            EnterTuningPage();
            break;
    }
}

void TFrm_Monitoring::ApplyPageSwitches() {
    if (MonitorPage <= GraphPage) {
        if (SwR_JogOn->isChecked()) {
            SwR_JogOn->setChecked(false);
            Wait(100);
        }
        Sw_Monitoring->setEnabled(true);
        Sw_ServoOn->setEnabled(true);
        return;
    }
    if (Sw_ServoOn->isChecked()) {
        Sw_ServoOn->setChecked(false);
        Wait(100);
    }
    Sw_Monitoring->setEnabled(false);
    Sw_ServoOn->setEnabled(false);
}

// ---------------------------------------------------------------- axis and exit

void TFrm_Monitoring::ShowAxis() {
    Label_Axis->setText("Axis " +
                        QString::fromStdString(AxisChars[static_cast<std::size_t>(MonitorAxis)]));
}

void TFrm_Monitoring::SwR_UpDownAxisUpClick() {
    SelectAxis(+1);
}

void TFrm_Monitoring::SwR_UpDownAxisDownClick() {
    SelectAxis(-1);
}

void TFrm_Monitoring::SelectAxis(int step) {
    MonitorAxis = std::clamp(MonitorAxis + step, 0, static_cast<int>(AxisChars.size()) - 1);
    startup_.PollStep = 0;
    {
        const QSignalBlocker quiet(PageControl_Monitor);
        PageControl_Monitor->setCurrentIndex(NormalPage);
    }
    MonitorPage = NormalPage;
    ShowAxis();
    comm_.SuppressSwitchEvents = 1;
    SwR_JogOn->setChecked(false);
    Sw_Monitoring->setChecked(false);
    Sw_ServoOn->setChecked(false);
    // A jog shown off must not go on commanding the drive.
    ThreadTimers1->SetEnabled(5, false);
    ThreadTimers1->SetEnabled(9, false);
    JogCommand_ = JogOff;
    Timers_Monitor->SetEnabled(1, true);
}

void TFrm_Monitoring::Btn_ExitClick() {
    if (Sw_Monitoring->isChecked()) Sw_Monitoring->setChecked(false);
    Wait(100);
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}
