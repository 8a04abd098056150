// Times SET exchanges from SendCommand to the decoded reply, through the real
// serial port and engine, against the stand-in drive with and without line
// pacing. Usage: bench_pty_roundtrip [exchanges per row, default 200]

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <vector>

#include "sim/PtyDrive.h"
#include "tests/e2e/LinkHarness.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Row {
    const char* pacing;
    int baud;
};

struct Figures {
    double meanMs = 0, medianMs = 0, minMs = 0, maxMs = 0;
    int failed = 0;
};

// One exchange, in milliseconds; negative when it did not end with a decoded value.
double TimeOneExchange(e2e::EngineLink& link) {
    const Clock::time_point start = Clock::now();
    link.Send("SET", "000", AwaitData);
    while (!link.Settled()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    return link.comm.LinkState == ReplyDone && link.comm.CommError == 0 ? ms : -1;
}

Figures Measure(int baud, int exchanges) {
    PtyDrive drive(DriveSim(), PtyDriveOptions{.baud = baud});
    e2e::EngineLink link;
    link.Open(drive.SlavePath());
    for (int i = 0; i < 5; ++i) TimeOneExchange(link);  // warm-up

    Figures f;
    std::vector<double> times;
    for (int i = 0; i < exchanges; ++i) {
        const double ms = TimeOneExchange(link);
        if (ms < 0)
            ++f.failed;
        else
            times.push_back(ms);
    }
    if (times.empty()) return f;
    std::sort(times.begin(), times.end());
    f.meanMs = std::accumulate(times.begin(), times.end(), 0.0) / double(times.size());
    f.medianMs = times[times.size() / 2];
    f.minMs = times.front();
    f.maxMs = times.back();
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int exchanges = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const Row rows[] = {{"none", 0}, {"115200", 115200}, {"9600", 9600}};

    std::printf("SET round trip over a pty, %d exchanges a row (ms)\n", exchanges);
    std::printf("%-8s %9s %9s %9s %9s %7s\n", "pacing", "mean", "median", "min", "max", "failed");
    for (const Row& row : rows) {
        const Figures f = Measure(row.baud, exchanges);
        std::printf("%-8s %9.3f %9.3f %9.3f %9.3f %7d\n", row.pacing, f.meanMs, f.medianMs, f.minMs,
                    f.maxMs, f.failed);
    }
    return 0;
}
