// Streams two items at 1 ms from the stand-in drive into the real application
// (main window, serial port, engine, threaded timers, graph page) over a pty
// paced at 256000 baud, the rate at which the wire carries 1000 two-item
// samples a second with room to spare, and reports: samples the drive sent
// against samples the window plotted, what the drive dropped and the window
// overwrote, the main thread's CPU time as a share of one core, the
// process's resident memory at start and end (the stand-in drive runs in
// the same process), and the longest the main thread left a 10 ms timer waiting.
//
// Usage: bench_graph_stream [seconds, default 60]

#include <QComboBox>
#include <QElapsedTimer>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "bench/BenchTools.h"
#include "monitoring/MonitoringFrm.h"
#include "sim/PtyDrive.h"
#include "tests/support/AppSession.h"
#include "widgets/Plot.h"
#include "widgets/ToggleSwitch.h"

namespace {

constexpr int kBaud = 256000;

using Bench::ResidentMb;
using Bench::RunFor;
using Bench::ThreadCpuMs;

}  // namespace

int main(int argc, char** argv) {
    Bench::Application application(argc, argv);
    const double seconds = argc > 1 ? std::max(1.0, std::atof(argv[1])) : 60.0;

    PtyDrive drive(DriveSim(), PtyDriveOptions{.baud = kBaud});
    drive.WithSim([](DriveSim& sim) { sim.SetSlot("201", "300"); });
    AppSession s(drive, {.baud = kBaud});
    s.GoOnLine();
    auto* window = s.Open<TFrm_Monitoring>("Monitoring");
    if (!s.Connected() || !window) {
        std::printf("could not go on line\n");
        return 1;
    }
    RunFor(3000);  // the start-up sequence
    window->findChild<QTabWidget*>("PageControl_Monitor")
        ->setCurrentIndex(TFrm_Monitoring::GraphPage);
    window->findChild<QComboBox*>("Combo5")->setCurrentIndex(1);
    window->findChild<QComboBox*>("Combo6")->setCurrentIndex(4);
    window->findChild<QSpinBox*>("SpinEdit_TimeSelect")->setValue(1);

    double worstStallMs = 0;
    QElapsedTimer sinceTick;
    QTimer watch;
    watch.setTimerType(Qt::PreciseTimer);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        worstStallMs = std::max(worstStallMs, sinceTick.nsecsElapsed() / 1e6 - 10.0);
        sinceTick.start();
    });
    const double rssStart = ResidentMb();
    const double cpuStart = ThreadCpuMs();
    QElapsedTimer wall;
    wall.start();
    sinceTick.start();
    watch.start(10);
    window->findChild<ToggleSwitch*>("Sw_Monitoring")->setChecked(true);
    RunFor(seconds * 1000.0);
    const double cpuMs = ThreadCpuMs() - cpuStart;
    const double wallMs = wall.nsecsElapsed() / 1e6;
    const double rssEnd = ResidentMb();
    const bool ok =
        window->findChild<ToggleSwitch*>("Sw_Monitoring")->isChecked() && s.Engine().CommError == 0;
    window->findChild<ToggleSwitch*>("Sw_Monitoring")->setChecked(false);
    watch.stop();
    RunFor(300);

    std::int64_t sent = 0, dropped = 0;
    drive.WithSim([&](DriveSim& sim) {
        sent = sim.MonitorStream().Sent();
        dropped = sim.MonitorStream().Dropped();
    });
    const StreamRing& ring = window->Stream();
    std::printf("Two items at 1 ms for %.0f s over a pty at %d baud%s\n", seconds, kBaud,
                ok ? "" : "  ERROR");
    std::printf("drive sampled %lld, sent %lld, dropped %lld\n",
                static_cast<long long>(sent + dropped), static_cast<long long>(sent),
                static_cast<long long>(dropped));
    std::printf(
        "window received %lld, plotted %d, left unplotted at the stop %d, overwritten %lld, "
        "unplottable %lld\n",
        static_cast<long long>(ring.Written()), window->GraphPlot()->PointCount(0), ring.Count(),
        static_cast<long long>(ring.Overwritten()), static_cast<long long>(window->Unplottable()));
    std::printf(
        "main thread cpu %.2f%% of one core; resident %.1f MB at start, %.1f MB at end; worst "
        "stall %.1f ms\n",
        100.0 * cpuMs / wallMs, rssStart, rssEnd, worstStallMs);
    return ok ? 0 : 1;
}
