// The page "Graph Monitor" on the wire: its channels, the MDM points, the
// MOR stream from request to plotted points, and CLEAR.

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <cmath>

#include "tests/monitoring/MonitorRig.h"
#include "widgets/Plot.h"
#include "widgets/ToggleSwitch.h"

using Requests = std::vector<std::string>;

class MonitoringGraphTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { REQUIRE_HANGUL_FONT(); }
    void channelsFollowTheLists();
    void mdmRepliesAddPointsToTheChannels();
    void streamFromRequestToPoints();
    void stopRestartAndClear();
    void pageZeroAfterATimeSelectShowsValues();
    void streamNamesOnlyThePlottedItems();
    void thePlotStaysUsableWhenTheLinkGoes();
};

namespace {

void Select(QWidget* window, int slot, int entry) {
    Find<QComboBox>(window, qPrintable(QString("Combo%1").arg(slot)))->setCurrentIndex(entry);
}

std::unique_ptr<TFrm_Monitoring> OpenGraphPage(MonitorRig& rig) {
    auto window = rig.Open();
    rig.StartUp(*window);
    Find<QTabWidget>(window.get(), "PageControl_Monitor")
        ->setCurrentIndex(TFrm_Monitoring::GraphPage);
    rig.StartUp(*window);
    rig.TakeRequests();
    return window;
}

ToggleSwitch* Monitoring(QWidget* window) {
    return Find<ToggleSwitch>(window, "Sw_Monitoring");
}

void Feed(MonitorRig& rig, const std::string& value) {
    rig.port.pending.push_back(Data("MOR" + value));
    rig.Deliver();
}

QList<QPointF> Points(Plot* plot, int channel) {
    const auto entries = plot->Entries(channel);
    return QList<QPointF>(entries.begin(), entries.end());
}

bool Near(const QList<QPointF>& got, const QList<QPointF>& want) {
    if (got.size() != want.size()) return false;
    for (qsizetype i = 0; i < got.size(); ++i) {
        if (std::abs(got[i].x() - want[i].x()) > 1e-9) return false;
        if (std::isnan(want[i].y()) != std::isnan(got[i].y())) return false;
        if (!std::isnan(want[i].y()) && got[i].y() != want[i].y()) return false;
    }
    return true;
}

// Stream mode with speed feedback and torque command at `timeSelect` ms.
std::unique_ptr<TFrm_Monitoring> Streaming(MonitorRig& rig, int timeSelect) {
    auto window = OpenGraphPage(rig);
    Select(window.get(), 5, 1);
    Select(window.get(), 6, 4);
    Find<QSpinBox>(window.get(), "SpinEdit_TimeSelect")->setValue(timeSelect);
    rig.port.replies["MOR"] = std::nullopt;  // replies are fed by hand
    Monitoring(window.get())->setChecked(true);
    return window;
}

}  // namespace

void MonitoringGraphTest::channelsFollowTheLists() {
    MonitorRig rig;
    auto window = OpenGraphPage(rig);
    Plot* plot = window->GraphPlot();
    QCOMPARE(plot->Title(), QString("Monitoring"));
    QCOMPARE(plot->ChannelCount(), 0);
    Select(window.get(), 5, 1);
    Select(window.get(), 6, 4);
    Select(window.get(), 7, 5);
    QCOMPARE(plot->ChannelCount(), 3);
    QCOMPARE(plot->ChannelTitle(0), QString("속도피드백"));
    QCOMPARE(plot->ChannelTitle(1), QString("토크명령"));
    QCOMPARE(plot->ChannelTitle(2), QString("위치피드백"));
    QCOMPARE(plot->ChannelAxis(0), PlotAxis::Y1);
    QCOMPARE(plot->ChannelAxis(1), PlotAxis::Y2);
    QCOMPARE(plot->ChannelAxis(2), PlotAxis::Y1);
    QCOMPARE(plot->YRange(PlotAxis::Y1), std::make_pair(0.0, 100.0));
    QCOMPARE(plot->YRange(PlotAxis::Y2), std::make_pair(0.0, 100.0));
    plot->DrawNow();
    QCOMPARE(plot->XRange().second - plot->XRange().first, 5.0);
    QVERIFY(Find<QWidget>(window.get(), "Panel_Graph")->isVisible());

    // A time select leaves two items: slots 7 and 8 are emptied and locked.
    Select(window.get(), 8, 2);
    QCOMPARE(plot->ChannelCount(), 4);
    Find<QSpinBox>(window.get(), "SpinEdit_TimeSelect")->setValue(5);
    QCOMPARE(rig.comm.GraphTimeSelect, 5);
    QCOMPARE(rig.comm.PollDelayMs, 50);
    for (const char* name : {"Combo7", "Combo8"}) {
        QCOMPARE(Find<QComboBox>(window.get(), name)->currentIndex(), 0);
        QVERIFY(!Find<QComboBox>(window.get(), name)->isEnabled());
    }
    QVERIFY(window->SlotCode(7).empty() && window->SlotCode(8).empty());
    QCOMPARE(plot->ChannelCount(), 2);
    Find<QSpinBox>(window.get(), "SpinEdit_TimeSelect")->setValue(0);
    QVERIFY(Find<QComboBox>(window.get(), "Combo8")->isEnabled());
}

void MonitoringGraphTest::mdmRepliesAddPointsToTheChannels() {
    MonitorRig rig;
    auto window = OpenGraphPage(rig);
    Select(window.get(), 5, 1);
    Select(window.get(), 6, 2);
    Select(window.get(), 7, 4);
    rig.port.replies["MDM"] = Data("MDM-20&35.5&7&0000");
    Monitoring(window.get())->setChecked(true);
    rig.Tick(window->OperationTimers(), 2, 4);
    QCOMPARE(rig.TakeRequests(), (Requests{"MDM00010315", "STS", "MDM00010315", "STS"}));
    Plot* plot = window->GraphPlot();
    const double expected[] = {-20.0, 35.5, 7.0};
    for (int c = 0; c < 3; ++c) {
        const auto points = Points(plot, c);
        QCOMPARE(points.size(), 2);
        QCOMPARE(points[0].y(), expected[c]);
        QVERIFY(points[0].x() >= 0.0 && points[1].x() >= points[0].x());
    }
}

void MonitoringGraphTest::streamFromRequestToPoints() {
    MonitorRig rig;
    auto window = Streaming(rig, 5);
    QCOMPARE(rig.TakeRequests(), (Requests{"MOR050003"}));
    QCOMPARE(rig.comm.ContinuationKind, 2);
    QVERIFY(!Find<QComboBox>(window.get(), "Combo5")->isEnabled());
    Feed(rig, "10&1&12&2");
    QCOMPARE(rig.TakeRequests(), (Requests{"MOR"}));  // asked again at once, with empty data
    rig.Tick(window->OperationTimers(), 1);
    Plot* plot = window->GraphPlot();
    QVERIFY(Near(Points(plot, 0), {{0.0, 10}, {0.005, 12}}));
    QVERIFY(Near(Points(plot, 1), {{0.0, 1}, {0.005, 2}}));

    // A sample that is no number leaves a gap (two in a row, one break); x still advances.
    Feed(rig, "abc&3&&4&14&5");
    rig.Tick(window->OperationTimers(), 1);
    const double nan = std::nan("");
    QVERIFY(Near(Points(plot, 0), {{0.0, 10}, {0.005, 12}, {0.010, nan}, {0.020, 14}}));
    QVERIFY(Near(Points(plot, 1), {{0.0, 1}, {0.005, 2}, {0.010, 3}, {0.015, 4}, {0.020, 5}}));
    QCOMPARE(window->Unplottable(), 2);
    QVERIFY(Find<QLabel>(window.get(), "Label_StreamStatus")->text().contains("Unplottable 2"));

    // A tick plots at most 100 / 5 + 10 samples; the rest wait for the next.
    std::string burst;
    for (int i = 0; i < 40; ++i) burst += (i ? "&" : "") + std::to_string(i) + "&0";
    Feed(rig, burst);
    rig.Tick(window->OperationTimers(), 1);
    QCOMPARE(plot->PointCount(1), 5 + 30);
    rig.Tick(window->OperationTimers(), 1);
    QCOMPARE(plot->PointCount(1), 5 + 40);
}

void MonitoringGraphTest::stopRestartAndClear() {
    MonitorRig rig;
    auto window = Streaming(rig, 20);
    const long long pausedBefore = Pause::SkippedMs();
    Feed(rig, "10&1");  // shorter than 25 characters: a pause of 10 x 20 ms first
    QCOMPARE(Pause::SkippedMs() - pausedBefore, 200);
    rig.Tick(window->OperationTimers(), 1);

    Monitoring(window.get())->setChecked(false);
    QCOMPARE(rig.comm.ContinuationKind, 0);
    QVERIFY(!window->OperationTimers()->Enabled(1));
    rig.TakeRequests();
    Feed(rig, "99&9");  // the answer owed to the stopped stream: dropped, nothing asked again
    QCOMPARE(rig.TakeRequests(), Requests{});
    Monitoring(window.get())->setChecked(true);
    QCOMPARE(rig.TakeRequests(), (Requests{"MOR200003"}));
    Feed(rig, "11&2");
    rig.Tick(window->OperationTimers(), 1);
    Plot* plot = window->GraphPlot();
    QVERIFY(Near(Points(plot, 0), {{0.0, 10}, {0.020, 11}}));  // x continues

    Find<QPushButton>(window.get(), "Btn_GraphClear")->click();
    QCOMPARE(plot->PointCount(0), 0);
    QCOMPARE(plot->ChannelCount(), 2);
    Feed(rig, "12&3");
    rig.Tick(window->OperationTimers(), 1);
    QVERIFY(Near(Points(plot, 0), {{0.0, 12}}));
}

// A time select used on the graph page does not freeze page 0: monitoring
// there polls MDM and every reply reaches the labels.
void MonitoringGraphTest::pageZeroAfterATimeSelectShowsValues() {
    MonitorRig rig;
    auto window = OpenGraphPage(rig);
    auto* spin = Find<QSpinBox>(window.get(), "SpinEdit_TimeSelect");
    spin->setValue(5);
    auto* pages = Find<QTabWidget>(window.get(), "PageControl_Monitor");
    pages->setCurrentIndex(TFrm_Monitoring::NormalPage);
    rig.StartUp(*window);
    Select(window.get(), 5, 1);
    rig.port.replies["MDM"] = Data("MDM-20&0000");
    Monitoring(window.get())->setChecked(true);
    QCOMPARE(spin->value(), 0);
    QCOMPARE(rig.comm.GraphTimeSelect, 0);
    rig.Tick(window->OperationTimers(), 2, 2);
    auto* digits = Find<QLabel>(window.get(), "Label_Dig5");
    QCOMPARE(digits->text(), QString("-20"));
    rig.port.replies["MDM"] = Data("MDM-31&0000");
    rig.Tick(window->OperationTimers(), 2, 2);
    QCOMPARE(digits->text(), QString("-31"));
}

// Slot 7 chosen on page 0 while a time select is kept is not asked for in
// the stream, which carries two items.
void MonitoringGraphTest::streamNamesOnlyThePlottedItems() {
    MonitorRig rig;
    auto window = OpenGraphPage(rig);
    Select(window.get(), 5, 1);
    Select(window.get(), 6, 4);
    Find<QSpinBox>(window.get(), "SpinEdit_TimeSelect")->setValue(5);
    auto* pages = Find<QTabWidget>(window.get(), "PageControl_Monitor");
    pages->setCurrentIndex(TFrm_Monitoring::NormalPage);
    rig.StartUp(*window);
    auto* combo7 = Find<QComboBox>(window.get(), "Combo7");
    QVERIFY(combo7->isEnabled());
    combo7->setCurrentIndex(5);
    pages->setCurrentIndex(TFrm_Monitoring::GraphPage);
    rig.StartUp(*window);
    QCOMPARE(combo7->currentIndex(), 0);
    QVERIFY(!combo7->isEnabled());
    QCOMPARE(window->GraphPlot()->ChannelCount(), 2);
    rig.port.replies["MOR"] = std::nullopt;
    rig.TakeRequests();
    Monitoring(window.get())->setChecked(true);
    QCOMPARE(rig.TakeRequests(), (Requests{"MOR050003"}));
}

// An exchange aborted by the engine disables what sends and the page tabs,
// but not what was plotted: it can still be paused, measured and exported.
void MonitoringGraphTest::thePlotStaysUsableWhenTheLinkGoes() {
    MonitorRig rig;
    auto window = OpenGraphPage(rig);
    Select(window.get(), 5, 1);
    rig.port.replies["MDM"] = Data("MDM-20&0000");
    Monitoring(window.get())->setChecked(true);
    rig.Tick(window->OperationTimers(), 2, 2);
    Plot* plot = window->GraphPlot();
    rig.port.replies["STS"] = Data("STSP 0");  // malformed: the engine aborts after the next MDM
    rig.Tick(window->OperationTimers(), 2, 2);
    QCOMPARE(rig.comm.CommError, 2);

    auto* pages = Find<QTabWidget>(window.get(), "PageControl_Monitor");
    QVERIFY(!Monitoring(window.get())->isEnabled());
    QVERIFY(!pages->tabBar()->isEnabled());
    QVERIFY(!pages->widget(TFrm_Monitoring::TuningPage)->isEnabled());
    QVERIFY(plot->isEnabled());
    QVERIFY(Find<QPushButton>(window.get(), "Btn_GraphClear")->isEnabled());
    QCOMPARE(plot->PointCount(0), 2);

    rig.port.replies["STS"] = Data("STSP 00RDY");
    window->FormActivate();
    rig.StartUp(*window);
    QVERIFY(pages->tabBar()->isEnabled());
    QVERIFY(pages->widget(TFrm_Monitoring::TuningPage)->isEnabled());
}

QTEST_MAIN(MonitoringGraphTest)
#include "MonitoringGraphTest.moc"
