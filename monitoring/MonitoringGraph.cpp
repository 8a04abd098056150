// The page "Graph Monitor": channels following the lists of slots 5..8, the
// points of MDM replies, and the drive-sampled MOR stream buffered in a ring
// and plotted by a 100 ms timer at equal steps of the sampling period; the
// time select, which chooses between the two.

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <span>

#include "monitoring/MonitorItems.h"
#include "monitoring/MonitoringFrm.h"
#include "platform/ThreadTimers.h"
#include "protocol/Commands.h"
#include "widgets/MessageService.h"
#include "widgets/Plot.h"
#include "widgets/RoundLedButton.h"
#include "widgets/ToggleSwitch.h"

namespace {
constexpr int kPlotChannel = 1;
constexpr double kXSpan = 5.0;
constexpr double kYSpan = 100.0;
}  // namespace

void TFrm_Monitoring::SetUpGraph() {
    Plot_Graph->SetTitle("Monitoring");
    Plot_Graph->RemoveAllChannels();
    Plot_Graph->SetXSpan(kXSpan);
    Plot_Graph->SetYRange(PlotAxis::Y1, 0.0, kYSpan);
    Plot_Graph->SetYRange(PlotAxis::Y2, 0.0, kYSpan);
}

// One channel per selected item of slots 5..8 in slot order; the second on Y-Axis 2.
void TFrm_Monitoring::RebuildGraphChannels() {
    Plot_Graph->RemoveAllChannels();
    for (int n = 5; n <= kSlotCount; ++n) {
        if (Combo[n]->currentIndex() <= 0) continue;
        const PlotAxis axis = Plot_Graph->ChannelCount() == 1 ? PlotAxis::Y2 : PlotAxis::Y1;
        Plot_Graph->AddChannel(Combo[n]->currentText(), axis);
    }
    channelClock_.start();
}

void TFrm_Monitoring::AddGraphValues(const std::vector<double>& values) {
    const double x = channelClock_.isValid() ? channelClock_.nsecsElapsed() / 1e9 : 0.0;
    for (std::size_t c = 0; c < values.size(); ++c) {
        if (static_cast<int>(c) < Plot_Graph->ChannelCount())
            Plot_Graph->AddPoint(static_cast<int>(c), x, values[c]);
    }
}

// Monitoring switched on on this page with a time select: the drive samples.
void TFrm_Monitoring::StartStream() {
    const std::span<const std::string> codes(SlotCode_.data() + 5, 4);
    std::vector<std::string> chosen;
    for (const std::string& code : codes)
        if (!code.empty() && chosen.size() < StreamRing::kMaxChannels) chosen.push_back(code);
    SetComboRange(5, 8, false);
    if (chosen.empty()) {
        comm_.SendData.Command = std::string(Cmd::MOR);
        MessageService::Error(this, MonitoringText::NoItem);
        Sw_Monitoring->setChecked(false);
        return;
    }
    stream_.Reset(static_cast<int>(chosen.size()));
    stream_.ResetCounts();
    unplottable_ = 0;
    rate_.Reset();
    streamClock_.start();
    StreamStep = comm_.GraphTimeSelect / 1000.0;
    ThreadTimers1->SetEnabled(kPlotChannel, true);
    ShowStreamStatus();
    Label_StreamStatus->show();
    StopStartup();
    comm_.AbandonExchange();
    comm_.ContinuationKind = ContinuationStream;
    comm_.Request(Cmd::MOR, StreamRequestData(comm_.GraphTimeSelect, chosen));
}

// Continuation of the stream: buffer the reply's samples and ask for more.
void TFrm_Monitoring::ReadMonitorStream() {
    const std::int64_t before = stream_.Written();
    stream_.Write(comm_.ReadData.Data);
    rate_.Arrived(streamClock_.isValid() ? streamClock_.elapsed() : 0,
                  static_cast<int>(stream_.Written() - before));
    if (comm_.ReadData.Data.size() < 25) Wait(comm_.PollDelayMs);
    comm_.Request(Cmd::MOR, {});
}

// The plot timer: what arrived since the last tick, at most a budget of samples.
void TFrm_Monitoring::ThreadTimers1Timer1() {
    if (!stream_.HasSamples()) {
        ShowStreamStatus();
        return;
    }
    const int budget = StreamBudget(ThreadTimers1->Interval(kPlotChannel), comm_.GraphTimeSelect);
    const int channels = std::min(stream_.Channels(), Plot_Graph->ChannelCount());
    for (int plotted = 0; plotted < budget && stream_.HasSamples(); ++plotted) {
        const StreamSample sample = stream_.Take();
        for (int c = 0; c < channels; ++c) {
            if (const auto y = StreamValue(sample[static_cast<std::size_t>(c)])) {
                Plot_Graph->AddPoint(c, StreamTime, *y);
            } else {
                Plot_Graph->AddGap(c, StreamTime);
                ++unplottable_;
            }
        }
        StreamTime += StreamStep;
    }
    ShowStreamStatus();
}

void TFrm_Monitoring::ShowStreamStatus() {
    const auto period = rate_.PeriodMs(streamClock_.isValid() ? streamClock_.elapsed() : 0);
    Label_StreamStatus->setText(QString::fromStdString(
        StreamStatusText(period, comm_.GraphTimeSelect, stream_.Overwritten(), unplottable_)));
}

void TFrm_Monitoring::Btn_GraphClearClick() {
    Plot_Graph->ClearPoints();
    StreamTime = 0.0;
    Plot_Graph->SetYRange(PlotAxis::Y1, 0.0, kYSpan);
    Plot_Graph->SetYRange(PlotAxis::Y2, 0.0, kYSpan);
    Plot_Graph->ReturnToTracking();
}

// ---------------------------------------------------------------- the page and its time select

void TFrm_Monitoring::EnterGraphPage() {
    Panel_Graph->show();
    SpinEdit_TimeSelect->setEnabled(true);
    Led_SelectDGClick();
    // A time select kept from an earlier visit streams two items; slots 7 and
    // 8 chosen meanwhile on page 0 would be asked for and never plotted.
    if (comm_.GraphTimeSelect != 0) ClearStreamlessSlots();
    RebuildGraphChannels();
    if (Sw_Monitoring->isChecked() && Led_SelectDG->IsOn()) {
        SetComboRange(5, 8, false);
        SpinEdit_TimeSelect->setEnabled(false);
    }
}

void TFrm_Monitoring::SpinEdit_TimeSelectChange() {
    comm_.GraphTimeSelect = SpinEdit_TimeSelect->value();
    comm_.PollDelayMs = comm_.GraphTimeSelect * 10;
    if (comm_.GraphTimeSelect == 0) {
        SetComboRange(5, 8, true);
        return;
    }
    ClearStreamlessSlots();
}

// The stream carries two items: slots 7 and 8 are emptied and locked.
void TFrm_Monitoring::ClearStreamlessSlots() {
    for (int n : {7, 8}) {
        const QSignalBlocker quiet(Combo[n]);
        Combo[n]->setCurrentIndex(0);
        Combo[n]->setEnabled(false);
        Label_Dig[n]->hide();
        Label_Unit[n]->hide();
    }
    Combo1Change();
}
