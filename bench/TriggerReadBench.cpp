// Times the trigger window's read-back of a recording of 30 blocks in the real
// application (main window, serial port, engine, timers, trigger window)
// against the stand-in drive on a pty that paces its bytes at 9600 and 115200
// baud, and sets the time against the line time of the same bytes.
//
// Usage: bench_trigger_read [captures per rate, default 3] [drive turnaround ms, default 1]
//
// The drive triggers at once on a motor turning at a steady speed, recording
// both positions (five- and six-digit samples). "read" runs from the request
// for block 00 going out to the last block plotted; "wire" is the line time of
// those 30 requests and replies at 10 bits a byte plus the drive's turnaround
// per exchange, which is exactly what the stand-in drive imposes.

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "bench/BenchTools.h"
#include "protocol/Frame.h"
#include "sim/PtyDrive.h"
#include "tests/support/AppSession.h"
#include "trigger/TriggerForm.h"

namespace {

using Bench::Clock;
using Bench::MsSince;
constexpr int kBlocks = 30;

std::string BlockNumber(int block) {
    return {char('0' + block / 10), char('0' + block % 10)};
}

// The bytes of the 30 block exchanges of the recording the drive holds now.
std::size_t ReadBackBytes(PtyDrive& drive) {
    std::size_t bytes = 0;
    drive.WithSim([&](DriveSim& sim) {
        for (int block = 0; block < kBlocks; ++block) {
            bytes += Frame::BuildRequest("MOT", BlockNumber(block)).size();
            const auto samples = sim.CaptureRecorder().Block(block);
            bytes += Frame::BuildReply(sim.Settings().marker, "MOT" + samples.value_or("")).size();
        }
    });
    return bytes;
}

struct Timing {
    double readMs = 0;
    std::size_t bytes = 0;
    bool complete = false;
};

Timing TimeOneCapture(TMainForm& main, TFrmTrigger& window, PtyDrive& drive) {
    TComm& engine = main.Engine();
    const int before = window.Capture().RecordingsCompleted();
    Timing timing;
    Clock::time_point start;
    bool started = false, done = false;
    QTimer watch;
    watch.setTimerType(Qt::PreciseTimer);
    watch.setInterval(1);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!started && engine.LastData == "00") {
            start = Clock::now();
            started = true;
        }
        if (started && !done && window.Capture().RecordingsCompleted() > before) {
            timing.readMs = MsSince(start);
            done = true;
        }
    });
    watch.start();
    window.findChild<QPushButton*>("Btn_StartTrigger")->click();
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(20);
    while (!done && Clock::now() < deadline)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    timing.bytes = ReadBackBytes(drive);
    timing.complete = done && engine.CommError == 0 &&
                      window.Capture().LastRecording().size() == std::size_t(kBlocks) * 10;
    return timing;
}

void Measure(int baud, int captures, int turnaroundMs) {
    DriveSim::Config config;
    config.trigger = Recorder::Trigger::AtOnce;
    PtyDrive drive(DriveSim(config), PtyDriveOptions{.baud = baud, .turnaroundMs = turnaroundMs});
    drive.WithSim([](DriveSim& sim) {
        sim.CatchUp();
        sim.MotorModel().SetSpeedCommand(3000);
    });
    AppSession s(drive, {.baud = baud});
    auto* window = s.OpenOnLine<TFrmTrigger>("Trigger Monitoring");
    if (!window) return Bench::NotOnLine(baud);
    TMainForm& main = s.Main();
    window->findChild<QComboBox*>("ComboBox1")->setCurrentIndex(4);  // position feedback
    window->findChild<QComboBox*>("ComboBox2")->setCurrentIndex(5);  // position command
    TimeOneCapture(main, *window, drive);                            // warm-up

    const double byteMs = 10'000.0 / baud;
    for (int i = 0; i < captures; ++i) {
        const Timing t = TimeOneCapture(main, *window, drive);
        const double wireMs = t.bytes * byteMs + kBlocks * turnaroundMs;
        std::printf("%7d %7zu %9.1f %9.1f %8.3f %s\n", baud, t.bytes, t.readMs, wireMs,
                    t.readMs / wireMs, t.complete ? "" : "INCOMPLETE");
    }
}

}  // namespace

int main(int argc, char** argv) {
    Bench::Application application(argc, argv);
    const auto [captures, turnaroundMs] = Bench::ReadRuns(argc, argv);

    std::printf("Trigger read-back of %d blocks, drive turnaround %d ms\n", kBlocks, turnaroundMs);
    std::printf("%7s %7s %9s %9s %8s\n", "baud", "bytes", "read", "wire", "/wire");
    for (int baud : {9600, 115200}) Measure(baud, captures, turnaroundMs);
    return 0;
}
