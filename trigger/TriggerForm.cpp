#include "trigger/TriggerForm.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include "platform/Pause.h"
#include "platform/ThreadTimers.h"
#include "protocol/AlarmTables.h"
#include "protocol/Commands.h"
#include "widgets/LedBar.h"
#include "widgets/Plot.h"
#include "widgets/RockerSwitch.h"
#include "widgets/RoundLedButton.h"

namespace {

enum TimerChannel { kSequence = 1, kBlink = 2, kEscape = 9 };

}  // namespace

TFrmTrigger::TFrmTrigger(TComm& comm, QWidget* parent)
    : QWidget(parent), comm_(comm), capture_(comm, *this) {
    BuildUi();
    FormCreate();
    comm_.TriggerRef = this;
}

TFrmTrigger::~TFrmTrigger() {
    if (comm_.TriggerRef == this) comm_.TriggerRef = nullptr;
}

void TFrmTrigger::FormCreate() {
    FillTriggerSources(true);
    ComboBox1->setCurrentIndex(0);
    ComboBox2->setCurrentIndex(1);
    Label_StatusTrigger->hide();
    LedBar1_Trigger->hide();
    triggerAxis_ = 0;
    ShowAxis();
    ComboBox1Change();
    SpinEdit_TriggerDivisionChange();
    RadioButton1->setChecked(true);
    SwR_UpDownAxisTrigger->setEnabled(false);

    ThreadTimers_Trigger->SetInterval(kSequence, 10);
    ThreadTimers_Trigger->SetInterval(kBlink, 500);
    ThreadTimers_Trigger->SetInterval(kEscape, 50);
    ThreadTimers_Trigger->SetOnTimer(kSequence, [this](auto*) { capture_.SequenceTick(); });
    ThreadTimers_Trigger->SetOnTimer(kBlink, [this](auto*) { BlinkTick(); });
    ThreadTimers_Trigger->SetOnTimer(kEscape, [this](auto*) { capture_.EscapeTick(); });
}

// ---------------------------------------------------------------- activation

void TFrmTrigger::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!activationHooked_) HookActivation(qobject_cast<QMdiSubWindow*>(parentWidget()));
}

// Inside the main window the sub-window is what gets activated; another
// sub-window becoming active is this window's deactivation.
void TFrmTrigger::HookActivation(QMdiSubWindow* sub) {
    if (!sub || !sub->mdiArea()) return;
    activationHooked_ = true;
    connect(sub, &QMdiSubWindow::aboutToActivate, this, &TFrmTrigger::FormActivate);
    connect(sub->mdiArea(), &QMdiArea::subWindowActivated, this, [this, sub](QMdiSubWindow* now) {
        if (active_ && now && now != sub) FormDeactivate();
    });
    if (sub->mdiArea()->activeSubWindow() == sub) FormActivate();
}

void TFrmTrigger::FormActivate() {
    active_ = true;
    comm_.SkipNextStatus = 1;
    comm_.ActiveWindow = TriggerActive;
}

void TFrmTrigger::FormDeactivate() {
    active_ = false;
    capture_.FormDeactivate();
}

// ---------------------------------------------------------------- settings

TriggerSettings TFrmTrigger::Settings() const {
    TriggerSettings s;
    s.channel1 = ComboBox1->currentIndex();
    s.channel2 = ComboBox2->currentIndex();
    s.ioSource = Led_IOSel->IsOn();
    s.sourceEntry = std::max(ComboBox3->currentIndex(), 0);
    s.division = SpinEdit_TriggerDivision->value();
    s.number = SpinEdit_TriggerOfData->value();
    s.positiveEdge = RadioButton1->isChecked();
    s.point = SpinEdit_TriggerPoint->value();
    s.level = SpinEdit_TriggeredValue->value();
    return s;
}

void TFrmTrigger::ComboBox1Change() {
    Plot_Trigger->RemoveAllChannels();
    Plot_Trigger->AddChannel(ComboBox1->currentText());
    Plot_Trigger->AddChannel(ComboBox2->currentText());
    Plot_Trigger->SetYRange(PlotAxis::Y1, 0, 100);
    Plot_Trigger->Replot();
}

// Filling the list selects its first entry, and the level box follows it.
void TFrmTrigger::FillTriggerSources(bool data) {
    ComboBox3->clear();
    if (data) {
        for (const char* text : TriggerLists::DataSourceTexts) ComboBox3->addItem(text);
    } else {
        for (const char* text : TriggerLists::IoSourceTexts) ComboBox3->addItem(text);
    }
    ComboBox3->setCurrentIndex(0);
    ComboBox3Change();
}

void TFrmTrigger::ComboBox3Change() {
    SpinEdit_TriggeredValue->setEnabled(Settings().LevelEnabled());
}

void TFrmTrigger::Led_IOSelClick() {
    const bool toIo = !Led_IOSel->IsOn();
    Led_IOSel->SetOn(toIo);
    FillTriggerSources(!toIo);
}

void TFrmTrigger::SpinEdit_TriggerDivisionChange() {
    const TriggerSettings s = Settings();
    Plot_Trigger->SetXRange(0, s.XSpan());
    Plot_Trigger->Replot();
}

// ---------------------------------------------------------------- capture

void TFrmTrigger::Btn_StartTriggerClick() {
    if (capture_.Running()) {
        capture_.Stop();
        return;
    }
    const TriggerSettings s = Settings();
    capture_.SetNomal(ToggleSw_SingleNomal->isChecked());
    capture_.Start(TriggerSetupString(s), s.number, s.SampleSeconds());
}

void TFrmTrigger::ReadTriggerCapture() {
    capture_.ReadTriggerCapture();
}

void TFrmTrigger::SetSequenceTimer(bool on) {
    ThreadTimers_Trigger->SetEnabled(kSequence, on);
}

void TFrmTrigger::SetBlinking(bool on) {
    if (on == ThreadTimers_Trigger->Enabled(kBlink)) return;
    Label_StatusTrigger->setVisible(on);
    ThreadTimers_Trigger->SetEnabled(kBlink, on);
}

void TFrmTrigger::BlinkTick() {
    Label_StatusTrigger->setVisible(!Label_StatusTrigger->isVisible());
}

void TFrmTrigger::SetEscapeTimer(bool on) {
    ThreadTimers_Trigger->SetEnabled(kEscape, on);
}

void TFrmTrigger::ShowProgress(double percent) {
    LedBar1_Trigger->SetValue(percent);
    LedBar1_Trigger->show();
}

void TFrmTrigger::HideProgress() {
    LedBar1_Trigger->hide();
}

void TFrmTrigger::ClearPlot() {
    Plot_Trigger->ClearPoints();
    Plot_Trigger->Replot();
}

void TFrmTrigger::PlotCapture(const std::vector<TriggerPair>& pairs) {
    QVector<double> xs, first, second;
    xs.reserve(static_cast<qsizetype>(pairs.size()));
    for (const TriggerPair& pair : pairs) {
        xs << pair.x;
        first << pair.channel1;
        second << pair.channel2;
    }
    Plot_Trigger->AddPoints(0, xs, first);
    Plot_Trigger->AddPoints(1, xs, second);
    Plot_Trigger->Replot();
}

void TFrmTrigger::ShowCapturing(bool capturing) {
    Btn_StartTrigger->setText(capturing ? "STOP" : "START");
    ToggleSw_SingleNomal->setEnabled(!capturing);
    SwR_UpDownAxisTrigger->setEnabled(!capturing);
    Btn_ServoAlarmResetTrigger->setEnabled(!capturing);
}

void TFrmTrigger::PauseMs(int ms) {
    Pause::Sleep(ms);
}

// ---------------------------------------------------------------- link

void TFrmTrigger::SetLinkControls(bool enabled) {
    ToggleSw_SingleNomal->setEnabled(enabled);
    Btn_StartTrigger->setEnabled(enabled);
    Btn_ServoAlarmResetTrigger->setEnabled(enabled);
}

void TFrmTrigger::ShowAxis() {
    Label_AxisTrigger->setText(
        "Axis " + QString::fromStdString(AxisChars[static_cast<std::size_t>(triggerAxis_)]));
}

void TFrmTrigger::SendAliveCheck(const std::string& command) {
    ShowAxis();
    comm_.Request(command, {});
}

void TFrmTrigger::SwR_UpDownAxisTriggerUpClick() {
    triggerAxis_ = std::min(triggerAxis_ + 1, static_cast<int>(AxisChars.size()) - 1);
    SendAliveCheck(std::string(Cmd::LIVE));
}

void TFrmTrigger::SwR_UpDownAxisTriggerDownClick() {
    triggerAxis_ = std::max(triggerAxis_ - 1, 0);
    SendAliveCheck(std::string(Cmd::LIV));
}

void TFrmTrigger::Btn_ServoAlarmResetTriggerClick() {
    comm_.Request(Cmd::RST, {});
}

void TFrmTrigger::Btn_ClearClick() {
    ComboBox1Change();
}

// ---------------------------------------------------------------- closing

void TFrmTrigger::Btn_ExitTriggerClick() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

// EXIT and the window's close box end the same way: a running capture is
// stopped, and its delayed ESC goes with the window.
void TFrmTrigger::closeEvent(QCloseEvent* event) {
    if (!closing_) {
        closing_ = true;
        capture_.Exit();
    }
    QWidget::closeEvent(event);
}
