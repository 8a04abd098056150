// The real application streams two items at 5 ms from the stand-in drive
// over a pseudo-terminal paced at 115200 baud: every sample the application
// received is plotted in order at steps of 5 ms, nothing is overwritten or
// unplottable, and all but the reply in flight at the stop of what the drive
// sent reached the window.

#include <QComboBox>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <cmath>

#include "monitoring/MonitoringFrm.h"
#include "platform/ThreadTimers.h"
#include "sim/PtyDrive.h"
#include "tests/support/AppSession.h"
#include "widgets/Plot.h"
#include "widgets/ToggleSwitch.h"

namespace {
template <typename T>
T* Child(QWidget* window, const char* name) {
    return window->findChild<T*>(name);
}
constexpr int kStreamMs = 5000;  // the suite's share; the bench streams for a minute
}  // namespace

class GraphStreamE2ETest : public QObject {
    Q_OBJECT
  private slots:
    void everySampleIsPlottedInOrder() {
        PtyDriveOptions line;
        line.baud = 115200;
        PtyDrive drive(DriveSim(), line);
        drive.WithSim([](DriveSim& sim) { sim.SetSlot("201", "300"); });
        AppSession s(drive, {.baud = 115200});
        QVERIFY(s.GoOnLine());
        TComm& engine = s.Engine();
        auto* window = s.Open<TFrm_Monitoring>("Monitoring");
        QVERIFY(window);
        QTRY_VERIFY_WITH_TIMEOUT(Child<ToggleSwitch>(window, "Sw_Monitoring")->isEnabled(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!window->MonitorTimers()->Enabled(1), 10000);

        Child<QTabWidget>(window, "PageControl_Monitor")
            ->setCurrentIndex(TFrm_Monitoring::GraphPage);
        Child<QComboBox>(window, "Combo5")->setCurrentIndex(1);  // speed feedback
        Child<QComboBox>(window, "Combo6")->setCurrentIndex(4);  // torque command
        Child<QSpinBox>(window, "SpinEdit_TimeSelect")->setValue(5);
        Child<ToggleSwitch>(window, "Sw_Monitoring")->setChecked(true);
        QCOMPARE(engine.ContinuationKind, 2);
        QTest::qWait(kStreamMs);
        QCOMPARE(engine.CommError, 0);
        QVERIFY(Child<ToggleSwitch>(window, "Sw_Monitoring")->isChecked());
        Child<ToggleSwitch>(window, "Sw_Monitoring")->setChecked(false);
        QTest::qWait(300);  // the reply in flight, if any, arrives and is not buffered

        std::int64_t sent = 0, dropped = 0;
        drive.WithSim([&](DriveSim& sim) {
            sent = sim.MonitorStream().Sent();
            dropped = sim.MonitorStream().Dropped();
        });
        const StreamRing& ring = window->Stream();
        const std::int64_t received = ring.Written();
        const std::int64_t plotted = window->GraphPlot()->PointCount(0);
        qInfo("drive sent %lld, dropped %lld; window received %lld, plotted %lld, left %d",
              (long long)sent, (long long)dropped, (long long)received, (long long)plotted,
              ring.Count());
        QVERIFY(sent > kStreamMs / 5 / 2);  // the wire carried at least half the samples
        QCOMPARE(dropped, 0);
        QCOMPARE(ring.Overwritten(), 0);
        QCOMPARE(window->Unplottable(), 0);
        QVERIFY(sent - received >= 0 && sent - received <= 125);  // at most the reply in flight
        QCOMPARE(plotted + ring.Count(), received);
        QCOMPARE(window->GraphPlot()->PointCount(1), plotted);
        for (int c = 0; c < 2; ++c) {
            const auto entries = window->GraphPlot()->Entries(c);
            for (qsizetype i = 0; i < entries.size(); ++i)
                QVERIFY2(std::abs(entries[i].x() - 0.005 * double(i)) < 1e-6,
                         qPrintable(QString::number(i)));
        }
    }
};

QTEST_MAIN(GraphStreamE2ETest)
#include "GraphStreamE2ETest.moc"
