// The page "Nomal Monitor": up to four items chosen in the lists, with the
// I/O word when asked for, polled with MDM and STS in turn; their read-outs,
// the direction arrows and the I/O signal LEDs.

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include "monitoring/IoSignals.h"
#include "monitoring/MonitorItems.h"
#include "monitoring/MonitorValues.h"
#include "monitoring/MonitoringFrm.h"
#include "platform/ThreadTimers.h"
#include "protocol/Commands.h"
#include "widgets/ArrowLed.h"
#include "widgets/LedMatrix.h"
#include "widgets/MessageService.h"
#include "widgets/RockerSwitch.h"
#include "widgets/RoundLedButton.h"
#include "widgets/ToggleSwitch.h"

// ---------------------------------------------------------------- the page

void TFrm_Monitoring::EnterNormalPage() {
    Sw_Monitoring->setChecked(false);
    Panel_Graph->hide();
    LedA_P->SetOn(false);
    LedA_N->SetOn(false);
    Led_SelectDGClick();
    Combo1Change();
    SpinEdit_TimeSelect->setEnabled(false);
}

void TFrm_Monitoring::ShowMonitorValues() {
    MonitorLayout layout;
    layout.normalMode = Led_SelectD->IsOn();
    layout.page = MonitorPage;
    layout.codes = SlotCode_;
    layout.ioBox = CheckBox_IOMot->isChecked();
    // Read in full first: a malformed reply changes nothing on screen.
    const MonitorView view = ReadMonitorValues(comm_.ReadData.Data, layout);
    for (int n = 1; n <= kSlotCount; ++n) {
        if (view.digits[static_cast<std::size_t>(n)])
            Label_Dig[n]->setText(
                QString::fromStdString(*view.digits[static_cast<std::size_t>(n)]));
    }
    if (view.arrows) {
        LedA_N->SetOn(view.arrows->n);
        LedA_P->SetOn(view.arrows->p);
    }
    if (!view.graphValues.empty()) AddGraphValues(view.graphValues);
    if (view.ioWord) ShowIoWord(*view.ioWord);
}

// ---------------------------------------------------------------- I/O LEDs

void TFrm_Monitoring::ShowIoLabels() {
    const auto captions = IoLabels().Captions();
    for (int n = 0; n < IoSignalNames::kLeds; ++n)
        LedMatrix_Mot->SetCaption(n / 4, n % 4,
                                  QString::fromStdString(captions[static_cast<std::size_t>(n)]));
}

void TFrm_Monitoring::ShowIoWord(unsigned word) {
    const auto leds = IoLeds(word);
    for (int n = 0; n < IoSignalNames::kLeds; ++n)
        LedMatrix_Mot->SetLit(n / 4, n % 4, leds[static_cast<std::size_t>(n)]);
}

// ---------------------------------------------------------------- items and modes

void TFrm_Monitoring::Combo1Change() {
    for (int n = 1; n <= kSlotCount; ++n) {
        const int entry = std::max(Combo[n]->currentIndex(), 0);
        const MonitorItem* item = SlotItem(n, entry);
        std::string& code = SlotCode_[static_cast<std::size_t>(n)];
        if (entry == 0 || !item) {
            code.clear();
            Label_Dig[n]->clear();
            Label_Unit[n]->clear();
            continue;
        }
        code = std::string(item->code);
        if (n >= 5 && MonitorPage == GraphPage) continue;  // the graph's channels follow the lists
        Label_Dig[n]->setText("0");
        Label_Unit[n]->setText(QString::fromStdString(std::string(item->unit)));
        Label_Dig[n]->show();
        Label_Unit[n]->show();
    }
    if (MonitorPage == GraphPage) RebuildGraphChannels();
}

void TFrm_Monitoring::SetComboRange(int first, int last, bool enabled) {
    for (int n = first; n <= last; ++n) Combo[n]->setEnabled(enabled);
}

void TFrm_Monitoring::Led_SelectDClick() {
    if (MonitorPage != NormalPage) return;
    Led_SelectD->SetOn(true);
    Led_SelectDG->SetOn(false);
    SetComboRange(5, 8, false);
    SetComboRange(1, 4, true);
}

void TFrm_Monitoring::Led_SelectDGClick() {
    Led_SelectDG->SetOn(true);
    Led_SelectD->SetOn(false);
    SetComboRange(1, 4, false);
    SetComboRange(5, 8, true);
}

// ---------------------------------------------------------------- monitoring on and off

void TFrm_Monitoring::Sw_MonitoringChange() {
    if (comm_.SuppressSwitchEvents == 1) return;
    if (Sw_Monitoring->isChecked())
        StartMonitoring();
    else
        StopMonitoring();
}

void TFrm_Monitoring::StartMonitoring() {
    Sw_ServoOn->setEnabled(false);
    SpinEdit_TimeSelect->setEnabled(false);
    Btn_ServoAlarmReset->setEnabled(false);
    SwR_UpDownAxis->setEnabled(false);
    CheckBox_IOMot->setEnabled(false);
    MonitorStartState state;
    state.normalLed = Led_SelectD->IsOn();
    state.graphLed = Led_SelectDG->IsOn();
    state.normalPage = MonitorPage == NormalPage;
    state.graphPage = MonitorPage == GraphPage;
    state.timeSelect = comm_.GraphTimeSelect;
    state.codes = SlotCode_;
    state.ioBox = CheckBox_IOMot->isChecked();
    const MonitorStart start = PlanMonitorStart(state);
    if (start.action == MonitorStart::Action::NoMode) {
        MessageService::Error(this, MonitoringText::NoMode);
        Sw_Monitoring->setChecked(false);
        return;
    }
    if (start.clearTimeSelect) SpinEdit_TimeSelect->setValue(0);
    if (start.action == MonitorStart::Action::Stream) {
        StartStream();
        return;
    }
    SetComboRange(start.firstSlot, start.firstSlot + 3, false);
    comm_.SendData.Command = std::string(Cmd::MDM);
    if (start.action == MonitorStart::Action::NoItem) {
        MessageService::Error(this, MonitoringText::NoItem);
        Sw_Monitoring->setChecked(false);
        return;
    }
    comm_.SendData.Data = start.data;
    StopStartup();
    comm_.AbandonExchange();
    ThreadTimers1->SetEnabled(2, true);
}

void TFrm_Monitoring::StopMonitoring() {
    comm_.ContinuationKind = 0;
    comm_.AbandonExchange();
    ThreadTimers1->SetEnabled(2, false);
    ThreadTimers1->SetEnabled(1, false);
    LedA_P->SetOn(false);
    LedA_N->SetOn(false);
    Sw_ServoOn->setEnabled(true);
    CheckBox_IOMot->setEnabled(true);
    Btn_ServoAlarmReset->setEnabled(true);
    SwR_UpDownAxis->setEnabled(true);
    if (MonitorPage == GraphPage) SpinEdit_TimeSelect->setEnabled(true);
    if (Led_SelectD->IsOn()) {
        SetComboRange(1, 4, true);
    } else if (Led_SelectDG->IsOn()) {
        SetComboRange(5, comm_.GraphTimeSelect != 0 ? 6 : 8, true);
    }
    StartStartup(false);
}

void TFrm_Monitoring::ThreadTimers1Timer2() {
    if (!link_.LinkFree()) return;
    if (startup_.PollStep == 0) {
        comm_.Request(Cmd::MDM, comm_.SendData.Data);
        startup_.PollStep = 3;
    } else if (startup_.PollStep == 3) {
        comm_.Poll(Cmd::STS, AwaitData);  // SendData.Data keeps the items polled
        startup_.PollStep = 0;
    }
}
