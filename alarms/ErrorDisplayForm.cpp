#include "alarms/ErrorDisplayForm.h"

#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <algorithm>

#include "alarms/HistoryGrid.h"
#include "platform/ThreadTimers.h"
#include "protocol/Commands.h"
#include "widgets/MessageService.h"
#include "widgets/Plot.h"

namespace {

constexpr double kInitialXSpan = 0.03;
constexpr double kInitialYSpan = 0.1;

namespace Text {
const char* const Cleared = "Error data가 삭제 되었습니다..";
const char* const NoData = "%1: no data, the drive did not answer.";
const char* const LeftOut = "%1: %2 samples after the 50th not shown.";
const char* const Unreadable = "%1: %2 samples that are not numbers left out.";
}  // namespace Text

}  // namespace

TForm_ErrorDisplay::TForm_ErrorDisplay(TComm& comm, QWidget* parent)
    : QWidget(parent), comm_(comm), load_(comm, [this](int channel, const AlarmSamples* samples) {
          PlotReply(channel, samples);
      }) {
    BuildUi();
    FormCreate();
    comm_.AlarmHistoryRef = this;
}

TForm_ErrorDisplay::~TForm_ErrorDisplay() {
    delete ThreadTimers_Error;  // no tick may reach a window that is going
    ThreadTimers_Error = nullptr;
    if (comm_.AlarmHistoryRef == this) comm_.AlarmHistoryRef = nullptr;
}

void TForm_ErrorDisplay::FormCreate() {
    for (QComboBox* combo : Selectors()) {
        const QSignalBlocker quiet(combo);
        combo->setCurrentIndex(0);
    }
    Plot_Error->SetTitleVisible(false);
    Plot_Error->SetLegendVisible(false);  // until a quantity is chosen
    Plot_Error->RemoveAllChannels();
    Plot_Error->SetXRange(0, kInitialXSpan);
    Plot_Error->SetYRange(PlotAxis::Y1, 0, kInitialYSpan);
    Btn_ErrorLoadD->setEnabled(false);
    ComboBox2->setEnabled(false);
    ComboBox3->setEnabled(false);
}

std::array<QComboBox*, AlarmData::kSelectors> TForm_ErrorDisplay::Selectors() const {
    return {ComboBox1, ComboBox2, ComboBox3};
}

// ---------------------------------------------------------------- activation

// Inside the main window the form sits in a sub-window, which is what gets activated.
void TForm_ErrorDisplay::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (activationHooked_) return;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        connect(sub, &QMdiSubWindow::aboutToActivate, this, &TForm_ErrorDisplay::FormActivate);
        activationHooked_ = true;
        if (sub->mdiArea() && sub->mdiArea()->activeSubWindow() == sub) FormActivate();
    }
}

void TForm_ErrorDisplay::FormActivate() {
    comm_.ActiveWindow = AlarmHistoryActive;
}

// ---------------------------------------------------------------- history

void TForm_ErrorDisplay::SetHistoryRow(int row, const std::string& code, const std::string& name) {
    if (row < 1 || row >= kRows) return;
    StringGrid_ErrorHistory->item(row, HistoryGrid::kCodeColumn)
        ->setText(QString::fromStdString(code));
    StringGrid_ErrorHistory->item(row, HistoryGrid::kNameColumn)
        ->setText(QString::fromStdString(name));
}

void TForm_ErrorDisplay::Btn_ErrorHistoryLoadClick() {
    comm_.Request(Cmd::EHY, "*");
}

void TForm_ErrorDisplay::Btn_ErrorHistoryClearClick() {
    comm_.Request(Cmd::ETC, "09");
    MessageService::Information(this, QString::fromUtf8(Text::Cleared));
    // The read must not overlap the clear's acknowledge, or that ACK would be
    // taken for a broken reply to the read.
    if (comm_.LinkState == AwaitAck)
        ThreadTimers_Error->SetEnabled(2, true);
    else
        Btn_ErrorHistoryLoadClick();
}

void TForm_ErrorDisplay::ThreadTimers_ErrorTimer2() {
    if (comm_.LinkState != Idle && comm_.LinkState != ReplyDone) return;
    ThreadTimers_Error->SetEnabled(2, false);
    Btn_ErrorHistoryLoadClick();
}

// ---------------------------------------------------------------- alarm data

void TForm_ErrorDisplay::ComboBox1Change() {
    // The channels are rebuilt: replies still to come would land under other titles.
    if (load_.Running()) {
        load_.Stop();
        ThreadTimers_Error->SetEnabled(1, false);
    }
    std::array<int, AlarmData::kSelectors> index;
    std::array<bool, AlarmData::kSelectors> enabled;
    const auto selectors = Selectors();
    for (int k = 0; k < AlarmData::kSelectors; ++k) {
        index[k] = std::max(selectors[k]->currentIndex(), 0);
        enabled[k] = selectors[k]->isEnabled();
    }
    const SelectorChain chain = ChainSelectors(index, enabled);
    Plot_Error->RemoveAllChannels();
    for (int k = 0; k < AlarmData::kSelectors; ++k) {
        const QSignalBlocker quiet(selectors[k]);
        selectors[k]->setCurrentIndex(chain.index[k]);
        selectors[k]->setEnabled(chain.enabled[k]);
    }
    for (int quantity : chain.channels) Plot_Error->AddChannel(ComboBox1->itemText(quantity));
    Plot_Error->SetLegendVisible(!chain.channels.empty());
    Btn_ErrorLoadD->setEnabled(chain.loadEnabled);
    Plot_Error->SetXRange(0, kInitialXSpan);
    Plot_Error->SetYRange(PlotAxis::Y1, 0, kInitialYSpan);
    Plot_Error->Replot();
}

void TForm_ErrorDisplay::Btn_ErrorLoadDClick() {
    std::array<int, AlarmData::kSelectors> index;
    const auto selectors = Selectors();
    for (int k = 0; k < AlarmData::kSelectors; ++k)
        index[k] = std::max(selectors[k]->currentIndex(), 0);
    Plot_Error->ClearPoints();
    Plot_Error->ReturnToTracking();
    Label_LoadNote->clear();
    plottedAny_ = false;
    load_.Start(index);
    ThreadTimers_Error->SetEnabled(1, true);
}

void TForm_ErrorDisplay::ThreadTimers_ErrorTimer1() {
    if (load_.Tick()) return;
    ThreadTimers_Error->SetEnabled(1, false);
    FitValueAxis();
}

// Slot i lies at i x 1 ms; an empty or unreadable slot breaks the line.
void TForm_ErrorDisplay::PlotReply(int channel, const AlarmSamples* samples) {
    // The selectors may have been changed while the load ran.
    if (channel >= Plot_Error->ChannelCount()) return;
    const QString title = Plot_Error->ChannelTitle(channel);
    if (!samples) {
        AddNote(QString(Text::NoData).arg(title));
        return;
    }
    for (std::size_t i = 0; i < samples->values.size(); ++i) {
        const double x = AlarmSamples::Time(static_cast<int>(i) + 1);
        if (!samples->values[i]) {
            Plot_Error->AddGap(channel, x);
            continue;
        }
        const double y = *samples->values[i];
        Plot_Error->AddPoint(channel, x, y);
        plottedMin_ = plottedAny_ ? std::min(plottedMin_, y) : y;
        plottedMax_ = plottedAny_ ? std::max(plottedMax_, y) : y;
        plottedAny_ = true;
    }
    if (samples->dropped > 0) AddNote(QString(Text::LeftOut).arg(title).arg(samples->dropped));
    if (samples->unreadable > 0)
        AddNote(QString(Text::Unreadable).arg(title).arg(samples->unreadable));
    Plot_Error->Replot();
}

// The recorded values are amperes, volts, rpm and pulses: far outside the
// initial value range, so the finished load is shown in full height.
void TForm_ErrorDisplay::FitValueAxis() {
    if (!plottedAny_) return;
    const double span = plottedMax_ - plottedMin_;
    const double margin = span > 0 ? span * 0.05 : std::max(std::abs(plottedMax_) * 0.05, 0.05);
    Plot_Error->SetYRange(PlotAxis::Y1, plottedMin_ - margin, span + 2 * margin);
    Plot_Error->Replot();
}

void TForm_ErrorDisplay::AddNote(const QString& note) {
    const QString shown = Label_LoadNote->text();
    Label_LoadNote->setText(shown.isEmpty() ? note : shown + "\n" + note);
}

void TForm_ErrorDisplay::Btn_ExitClick() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}
