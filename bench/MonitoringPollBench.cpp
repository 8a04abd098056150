// Counts the MDM/STS exchanges per second the monitoring window achieves in
// the real application (main window, serial port, engine, threaded timers)
// while it monitors four items with the I/O word against the stand-in drive
// on a pty paced at 9600 and 115200 baud, and sets the rate against what the
// wire and the 10 ms poll tick allow: each exchange takes its line time plus
// the drive's turnaround, and the next request leaves on the next tick.
// Also the main thread's CPU time over the run, as a share of one core.
//
// Usage: bench_monitoring_poll [seconds per rate, default 10] [drive turnaround ms, default 1]

#include <QComboBox>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "bench/BenchTools.h"
#include "monitoring/MonitoringFrm.h"
#include "platform/ThreadTimers.h"
#include "protocol/Frame.h"
#include "sim/PtyDrive.h"
#include "tests/support/AppSession.h"
#include "widgets/ToggleSwitch.h"

namespace {

using Bench::Clock;
using Bench::RunFor;
using Bench::ThreadCpuMs;
constexpr const char* kItems = "00010304";  // speed feedback and command, torque, position
constexpr double kTickMs = 10.0;

// Line time of one exchange in ms, from the stand-in drive's own answer.
double ExchangeMs(const std::string& command, const std::string& data, int baud, int turnaroundMs) {
    DriveSim sim;
    const std::string request = Frame::BuildRequest(command, data);
    std::size_t bytes = request.size();
    for (const std::string& chunk : sim.Feed(request)) bytes += chunk.size();
    return bytes * 10'000.0 / baud + turnaroundMs;
}

void Measure(int baud, double seconds, int turnaroundMs) {
    PtyDrive drive(DriveSim(), PtyDriveOptions{.baud = baud, .turnaroundMs = turnaroundMs});
    AppSession s(drive, {.baud = baud});
    auto* window = s.OpenOnLine<TFrm_Monitoring>("Monitoring");
    if (!window) return Bench::NotOnLine(baud);
    RunFor(3000);  // the start-up sequence
    for (int slot = 5; slot <= 8; ++slot)
        window->findChild<QComboBox*>(QString("Combo%1").arg(slot))
            ->setCurrentIndex(std::array{1, 2, 4, 5}[slot - 5]);
    window->findChild<ToggleSwitch*>("Sw_Monitoring")->setChecked(true);
    RunFor(1000);  // settle

    const std::string mdm = std::string(kItems) + "15";
    auto count = [&] {
        std::size_t n = 0;
        for (const std::string& frame : s.Requests())
            n +=
                frame == Frame::BuildRequest("MDM", mdm) || frame == Frame::BuildRequest("STS", "");
        return n;
    };
    // The request log keeps the last few thousand frames: count in slices.
    std::size_t exchanges = 0;
    const double cpuStart = ThreadCpuMs();
    const auto start = Clock::now();
    const int slices = static_cast<int>(std::ceil(seconds));
    for (int i = 0; i < slices; ++i) {
        drive.WithSim([](DriveSim& sim) { sim.ClearRequests(); });
        RunFor(1000.0 * seconds / slices);
        exchanges += count();
    }
    const double elapsedMs =
        std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    const double cpuMs = ThreadCpuMs() - cpuStart;
    const bool ok =
        window->findChild<ToggleSwitch*>("Sw_Monitoring")->isChecked() && s.Engine().CommError == 0;

    const double mdmMs = ExchangeMs("MDM", mdm, baud, turnaroundMs);
    const double stsMs = ExchangeMs("STS", "", baud, turnaroundMs);
    const double allowedPeriod =
        (std::ceil(mdmMs / kTickMs) + std::ceil(stsMs / kTickMs)) * kTickMs / 2;
    const double achieved = exchanges * 1000.0 / elapsedMs;
    const double allowed = 1000.0 / allowedPeriod;
    std::printf("%7d %8.1f %8.1f %8.1f %8.3f %7.2f%% %s\n", baud, (mdmMs + stsMs) / 2, achieved,
                allowed, achieved / allowed, 100.0 * cpuMs / elapsedMs, ok ? "" : "ERROR");
    window->findChild<ToggleSwitch*>("Sw_Monitoring")->setChecked(false);
    RunFor(200);
}

}  // namespace

int main(int argc, char** argv) {
    Bench::Application application(argc, argv);
    const double seconds = argc > 1 ? std::max(1.0, std::atof(argv[1])) : 10.0;
    const int turnaroundMs = argc > 2 ? std::max(0, std::atoi(argv[2])) : 1;
    std::printf("Monitoring four items + I/O word for %.0f s a rate, drive turnaround %d ms\n",
                seconds, turnaroundMs);
    std::printf("%7s %8s %8s %8s %8s %8s\n", "baud", "wire ms", "exch/s", "allowed", "ratio",
                "cpu");
    for (int baud : {9600, 115200}) Measure(baud, seconds, turnaroundMs);
    return 0;
}
