// The drive operations of the monitoring window: servo switch, RESET, test
// run, jog, auto tuning and offsets, homing and the ETC procedures.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

#include "monitoring/MonitoringFrm.h"
#include "platform/Pause.h"
#include "platform/ThreadTimers.h"
#include "protocol/Commands.h"
#include "widgets/ArrowLed.h"
#include "widgets/MessageService.h"
#include "widgets/RectLed.h"
#include "widgets/RockerSwitch.h"
#include "widgets/RoundLedButton.h"
#include "widgets/SevenSegment.h"
#include "widgets/SlidingScale.h"
#include "widgets/ToggleSwitch.h"

void TFrm_Monitoring::InitOperations() {
    SetOffsetSelector(Led_Speed);
    Sw_Offset->setEnabled(false);
    Btn_OffsetSave->setEnabled(false);
    Btn_ESCOffset->setEnabled(false);
    progress_.InertiaReadPending = false;
    JogCommand_ = JogOff;
    Led_JogN->setEnabled(false);
    Led_JogP->setEnabled(false);
}

void TFrm_Monitoring::SendNow(std::string_view command, std::string_view data,
                              std::uint8_t linkState) {
    link_.Send(command, data, linkState);
}

void TFrm_Monitoring::Wait(int ms) {
    Pause::Sleep(ms);
}

void TFrm_Monitoring::SetBusyCursor() {
    if (!busyCursor_) QApplication::setOverrideCursor(Qt::WaitCursor);
    busyCursor_ = true;
}

void TFrm_Monitoring::RestoreCursor() {
    if (busyCursor_) QApplication::restoreOverrideCursor();
    busyCursor_ = false;
}

// The controls the start-up sequence enables and deactivation disables.
void TFrm_Monitoring::SetOperationControls(bool enabled) {
    for (QWidget* control : std::initializer_list<QWidget*>{
             Btn_AutoTuning, Btn_AutoOffset, Btn_Homing, Btn_GainBackup, Sw_TestRun, Led_Manual,
             Btn_ResetABS, Btn_InitUserPara, SEdit_JogSpeed, Btn_SaveJogSpeed, SwR_JogOn})
        control->setEnabled(enabled);
}

// ---------------------------------------------------------------- servo, reset, test run

void TFrm_Monitoring::Sw_ServoOnChange() {
    if (comm_.SuppressSwitchEvents == 1) return;
    SendNow(Sw_ServoOn->isChecked() ? Cmd::SVRON : Cmd::SVROFF, {}, AwaitAck);
}

void TFrm_Monitoring::Btn_ServoAlarmResetClick() {
    comm_.CommError = 0;
    emit AlarmAcknowledged();
    SendNow(Cmd::RST, {}, AwaitAck);
    Wait(100);
    Timers_Monitor->SetEnabled(9, false);
    LedR_Status->SetOn(true);
    StartStartup();
}

void TFrm_Monitoring::Sw_TestRunChange() {
    SendNow(Cmd::ETC, ProcedureCode::TestRun, AwaitAck);
    Wait(10);
    StartStartup();
}

// ---------------------------------------------------------------- jog

void TFrm_Monitoring::EnterTuningPage() {
    Led_JogN->setEnabled(false);
    Led_JogP->setEnabled(false);
    Panel_Graph->hide();
    SpinEdit_TimeSelect->setEnabled(false);
    jogRead_.SpeedReadTicks = 0;
    JogCommand_ = JogOff;
    ThreadTimers1->SetEnabled(9, true);
}

void TFrm_Monitoring::ThreadTimers1Timer9() {
    const auto result = jogRead_.Tick(link_);
    if (!result) return;
    ThreadTimers1->SetEnabled(9, false);
    if (!result->speed) return;
    SEdit_JogSpeed->setValue(*result->speed);
    if (JogCommand_ != JogOff) ThreadTimers1->SetEnabled(5, true);
}

void TFrm_Monitoring::SetJogLockedControls(bool enabled) {
    for (QWidget* control : std::initializer_list<QWidget*>{
             Btn_AutoTuning, Btn_AutoOffset, Btn_Homing, Btn_GainBackup, Sw_TestRun, Led_Manual,
             Btn_ResetABS, Btn_InitUserPara, SEdit_JogSpeed, Btn_SaveJogSpeed})
        control->setEnabled(enabled);
}

void TFrm_Monitoring::SwR_JogOnChange() {
    if (comm_.SuppressSwitchEvents == 1) return;
    if (SwR_JogOn->isChecked()) {
        Led_JogN->setEnabled(true);
        Led_JogP->setEnabled(true);
        SetJogLockedControls(false);
        JogCommand_ = JogStop;
        jogRead_.SpeedReadTicks = 0;
        ThreadTimers1->SetEnabled(9, true);
        return;
    }
    ThreadTimers1->SetEnabled(5, false);
    ThreadTimers1->SetEnabled(9, false);
    Wait(100);
    SendNow(Cmd::SVROF, {}, AwaitAck);
    Led_JogN->SetOn(false);
    Led_JogP->SetOn(false);
    Led_JogN->setEnabled(false);
    Led_JogP->setEnabled(false);
    Sliding_Speed->SetValue(0);
    SetJogLockedControls(true);
    JogCommand_ = JogOff;
}

void TFrm_Monitoring::ThreadTimers1Timer5() {
    const std::string_view data = JogData(JogCommand_);
    if (!link_.LinkFree() || data.empty()) return;
    SendNow(Cmd::JOG, data, AwaitAck);
}

void TFrm_Monitoring::Led_JogPMouseDown() {
    if (!Led_JogP->isEnabled()) return;
    Led_JogP->SetOn(true);
    JogCommand_ = JogForward;
    Sliding_Speed->SetValue(SEdit_JogSpeed->value());
}

void TFrm_Monitoring::Led_JogNMouseDown() {
    if (!Led_JogN->isEnabled()) return;
    Led_JogN->SetOn(true);
    JogCommand_ = JogReverse;
    Sliding_Speed->SetValue(-SEdit_JogSpeed->value());
}

void TFrm_Monitoring::Led_JogMouseUp() {
    if (JogCommand_ == JogOff) return;
    Led_JogP->SetOn(false);
    Led_JogN->SetOn(false);
    JogCommand_ = JogStop;
    Sliding_Speed->SetValue(0);
}

void TFrm_Monitoring::Btn_SaveJogSpeedClick() {
    SendNow(Cmd::STR, "201" + QString::number(SEdit_JogSpeed->value()).trimmed().toStdString(),
            AwaitAck);
}

// ---------------------------------------------------------------- TAT and ETC procedures

void TFrm_Monitoring::StartProgress(ProgressPoll::Kind kind, int channel) {
    comm_.ReadData.Data.clear();
    progress_.Start(kind);
    ThreadTimers1->SetEnabled(channel, true);
}

void TFrm_Monitoring::FinishProgress(int channel, const ProgressResult& result) {
    ThreadTimers1->SetEnabled(channel, false);
    RestoreCursor();
    if (result.gain) Edit_GainValue->setText(QString::fromStdString(*result.gain));
    if (result.succeeded)
        MessageService::Show(this, MessageService::Kind::Confirmation,
                             QString::fromStdString(result.message));
    else
        MessageService::Error(this, QString::fromStdString(result.message));
}

void TFrm_Monitoring::Btn_AutoTuningClick() {
    SetBusyCursor();
    SendNow(Cmd::TAT, ProcedureCode::AutoTuning, AwaitAck);
    Wait(100);
    StartProgress(ProgressPoll::Kind::Tat, 8);
}

void TFrm_Monitoring::Btn_AutoOffsetClick() {
    std::string_view code;
    if (Led_Speed->IsOn())
        code = ProcedureCode::SpeedOffset;
    else if (Led_Torque->IsOn())
        code = ProcedureCode::TorqueOffset;
    else if (Led_Current->IsOn())
        code = ProcedureCode::CurrentOffset;
    else
        return;
    SetBusyCursor();
    SendNow(Cmd::TAT, code, AwaitAck);
    Wait(code == ProcedureCode::CurrentOffset ? 400 : 100);
    StartProgress(ProgressPoll::Kind::Tat, 8);
}

void TFrm_Monitoring::ThreadTimers1Timer8() {
    if (auto result = progress_.Tick(link_)) FinishProgress(8, *result);
}

void TFrm_Monitoring::Btn_HomingClick() {
    SendNow(Cmd::TAT, ProcedureCode::Homing, AwaitAck);
}

void TFrm_Monitoring::Btn_GainBackupClick() {
    SendNow(Cmd::ETC, ProcedureCode::GainBackup, AwaitAck);
    Wait(10);
    StartProgress(ProgressPoll::Kind::Etc, 6);
}

void TFrm_Monitoring::Btn_ResetABSClick() {
    SetBusyCursor();
    SendNow(Cmd::ETC, ProcedureCode::AbsReset, AwaitAck);
    Wait(10);
    StartProgress(ProgressPoll::Kind::Etc, 6);
}

void TFrm_Monitoring::Btn_InitUserParaClick() {
    SetBusyCursor();
    SendNow(Cmd::ETC, ProcedureCode::InitUserPara, AwaitAck);
    Wait(10);
    StartProgress(ProgressPoll::Kind::Etc, 6);
}

void TFrm_Monitoring::ThreadTimers1Timer6() {
    if (auto result = progress_.Tick(link_)) FinishProgress(6, *result);
}

// ---------------------------------------------------------------- offsets

RoundLedButton* TFrm_Monitoring::SelectedOffsetLed() const {
    for (RoundLedButton* led : {Led_Speed, Led_Torque, Led_Current})
        if (led->IsOn()) return led;
    return nullptr;
}

void TFrm_Monitoring::SetOffsetSelector(RoundLedButton* lit) {
    for (RoundLedButton* led : {Led_Speed, Led_Torque, Led_Current}) led->SetOn(led == lit);
    if (lit == Led_Speed || lit == Led_Torque) {
        const bool speed = lit == Led_Speed;
        Led_Manual->setEnabled(true);
        Label_OffsetUnit->setText(speed ? "[rpm]" : "[%]");
        Seg_Offset->SetDecimals(speed ? 0 : 1);
    }
}

void TFrm_Monitoring::Led_SpeedClick() {
    SetOffsetSelector(Led_Speed);
}

void TFrm_Monitoring::Led_TorqueClick() {
    SetOffsetSelector(Led_Torque);
}

void TFrm_Monitoring::Led_CurrentClick() {
    SetOffsetSelector(Led_Current);
    Led_Manual->setEnabled(false);
    if (Led_Manual->IsOn()) Led_ManualClick();
}

void TFrm_Monitoring::SetOffsetLockedControls(bool enabled) {
    for (QWidget* control : std::initializer_list<QWidget*>{
             Btn_AutoTuning, Sw_TestRun, SwR_JogOn, Btn_SaveJogSpeed, Btn_Homing, Btn_GainBackup,
             Btn_ResetABS, Btn_InitUserPara})
        control->setEnabled(enabled);
}

void TFrm_Monitoring::Led_ManualClick() {
    const bool on = !Led_Manual->IsOn();
    Btn_AutoOffset->setEnabled(!on);
    Sw_Offset->setEnabled(on);
    Btn_OffsetSave->setEnabled(on);
    Btn_ESCOffset->setEnabled(on);
    Led_Manual->SetOn(on);
    offset_.OffsetMode = on ? 1 : 0;
    if (on) comm_.ReadData.Data.clear();
    SetOffsetLockedControls(!on);
    ThreadTimers1->SetEnabled(3, on);
}

void TFrm_Monitoring::Sw_OffsetDownClick() {
    if (offset_.OffsetMode != 0) offset_.OffsetMode = 2;
}

void TFrm_Monitoring::Sw_OffsetUpClick() {
    if (offset_.OffsetMode != 0) offset_.OffsetMode = 3;
}

void TFrm_Monitoring::Btn_OffsetSaveClick() {
    if (offset_.OffsetMode != 0) offset_.OffsetMode = 4;
}

void TFrm_Monitoring::Btn_ESCOffsetClick() {
    if (offset_.OffsetMode != 0) offset_.OffsetMode = 5;
}

void TFrm_Monitoring::ThreadTimers1Timer3() {
    if (auto value = offset_.Tick(link_, Led_Speed->IsOn(), Led_Torque->IsOn()))
        Seg_Offset->SetValue(*value);
}
