// Times the parameter editor's READ of all 133 slots in the real application
// (main window, serial port, engine, timers, progress window) against the
// stand-in drive on a pty that paces its bytes at 9600 and 115200 baud, and
// sets the time against the line time of the same bytes.
//
// Usage: bench_parameter_read [reads per rate, default 3] [drive turnaround ms, default 1]
//
// Columns: "stored" is click to the last value stored (the grid refilled);
// "closed" is click to the progress window gone (it checks every 50 ms).
// "wire" is the line time of every request and reply at 10 bits a byte plus
// the drive's turnaround per exchange; the stand-in drive imposes exactly that
// (it takes a request's line time before answering and paces its replies).

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "bench/BenchTools.h"
#include "parameters/Catalogue.h"
#include "parameters/Parameter.h"
#include "protocol/Frame.h"
#include "sim/PtyDrive.h"
#include "tests/support/AppSession.h"

namespace {

using Bench::Clock;
using Bench::MsSince;

struct LineBytes {
    std::size_t requests = 0, replies = 0;
};

// What a full read puts on the line, taken from the stand-in drive's answers.
LineBytes BytesOfFullRead() {
    DriveSim sim;
    LineBytes bytes;
    for (const std::string& address : AllAddresses()) {
        const std::string request = Frame::BuildRequest("SET", address);
        bytes.requests += request.size();
        for (const std::string& chunk : sim.Feed(request)) bytes.replies += chunk.size();
    }
    return bytes;
}

struct Timing {
    double storedMs = 0, closedMs = 0;
    bool complete = false;
};

Timing TimeOneRead(TMainForm& main, TParameterFrm& editor) {
    TComm& engine = main.Engine();
    Timing timing;
    Clock::time_point start;
    bool stored = false;
    // The read has stored its last value when the chain of continuations ends.
    QTimer watch;
    watch.setTimerType(Qt::PreciseTimer);
    watch.setInterval(1);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (stored || engine.ContinuationKind != 0) return;
        timing.storedMs = MsSince(start);
        stored = true;
    });
    start = Clock::now();
    watch.start();
    editor.findChild<QPushButton*>("Btn_ParameterRead")->click();
    timing.closedMs = MsSince(start);
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(10);
    while (!stored && Clock::now() < deadline)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    timing.complete = stored && engine.LinkState == Idle && engine.CommError == 0 &&
                      editor.ParameterValue(0, 6) == "4321";
    return timing;
}

void Measure(int baud, int reads, int turnaroundMs, const LineBytes& bytes) {
    PtyDrive drive(DriveSim(), PtyDriveOptions{.baud = baud, .turnaroundMs = turnaroundMs});
    AppSession s(drive, {.baud = baud});
    auto* editor = s.OpenOnLine<TParameterFrm>("Parameter Set");
    if (!editor) return Bench::NotOnLine(baud);
    TMainForm& main = s.Main();
    TimeOneRead(main, *editor);  // warm-up

    const double byteMs = 10'000.0 / baud;
    const double exchanges = static_cast<double>(kSlotCount);
    const double wireMs = (bytes.requests + bytes.replies) * byteMs + exchanges * turnaroundMs;
    for (int i = 0; i < reads; ++i) {
        const Timing t = TimeOneRead(main, *editor);
        std::printf("%7d %9.1f %9.1f %9.1f %8.3f %s\n", baud, t.storedMs, t.closedMs, wireMs,
                    t.storedMs / wireMs, t.complete ? "" : "INCOMPLETE");
    }
}

}  // namespace

int main(int argc, char** argv) {
    Bench::Application application(argc, argv);
    const auto [reads, turnaroundMs] = Bench::ReadRuns(argc, argv);

    const LineBytes bytes = BytesOfFullRead();
    std::printf(
        "Full parameter READ (%d exchanges: %zu request bytes, %zu reply bytes), "
        "drive turnaround %d ms\n",
        kSlotCount, bytes.requests, bytes.replies, turnaroundMs);
    std::printf("%7s %9s %9s %9s %8s\n", "baud", "stored", "closed", "wire", "/wire");
    for (int baud : {9600, 115200}) Measure(baud, reads, turnaroundMs, bytes);
    return 0;
}
