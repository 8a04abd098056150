// Times the store window's PC->Servo write of a full parameter set (every
// value the drive uses, read from it first) in the real application (main
// window, serial port, engine, pacing timer, progress window) against the
// stand-in drive on a pty pacing its bytes at 9600 and 115200 baud.
//
// Usage: bench_store_write [writes per rate, default 3] [drive turnaround ms, default 1]
//
// Columns: "done" is the click to the result message (the drive has answered
// the final STR; the progress window checks every 50 ms). "wire" is the line
// time of every CHP and STR request and its ACK at 10 bits a byte plus the
// drive's turnaround per exchange; "ticks" is the floor the 5 ms pacing tick
// sets: one tick per slot (140) and one for the final store.

#include <QApplication>
#include <QPushButton>
#include <cstdio>
#include <cstdlib>

#include "bench/BenchTools.h"
#include "parameters/Catalogue.h"
#include "protocol/Frame.h"
#include "sim/PtyDrive.h"
#include "store/StoreForm.h"
#include "tests/support/AppSession.h"

namespace {

using Bench::Clock;
using Bench::MsSince;

struct LineBytes {
    std::size_t bytes = 0, exchanges = 0;
};

// What writing the stand-in drive's own set back puts on the line.
LineBytes BytesOfFullWrite() {
    DriveSim sim;
    LineBytes line;
    std::string pr000;
    for (const std::string& address : AllAddresses()) {
        const auto value = sim.Slot(address);
        if (!value) continue;
        if (address == "000") pr000 = *value;
        const std::string request = Frame::BuildRequest("CHP", address + *value);
        line.bytes += request.size();
        for (const std::string& chunk : sim.Feed(request)) line.bytes += chunk.size();
        ++line.exchanges;
    }
    const std::string store = Frame::BuildRequest("STR", "000" + pr000);
    line.bytes += store.size() + 1;
    ++line.exchanges;
    return line;
}

void Measure(int baud, int writes, int turnaroundMs, const LineBytes& line) {
    PtyDrive drive(DriveSim(), PtyDriveOptions{.baud = baud, .turnaroundMs = turnaroundMs});
    AppSession s(drive, {.baud = baud});
    auto* store = s.OpenOnLine<TFormStore>("Store(Servo<->PC)");
    if (!store) return Bench::NotOnLine(baud);
    MessageCapture& boxes = s.Boxes();
    store->findChild<QPushButton*>("Btn_ReadStore")->click();
    const Clock::time_point settle = Clock::now() + std::chrono::seconds(5);
    while (s.Engine().ContinuationKind != 0 && Clock::now() < settle)
        QApplication::processEvents(QEventLoop::AllEvents, 10);

    const double byteMs = 10'000.0 / baud;
    const double wireMs = line.bytes * byteMs + line.exchanges * turnaroundMs;
    const double tickFloorMs = (StoreSet::kValues + 1) * TFormStore::kWriteTickMs;
    for (int i = 0; i < writes; ++i) {
        boxes.Clear();
        drive.WithSim([](DriveSim& sim) { sim.ClearRequests(); });
        const Clock::time_point start = Clock::now();
        store->findChild<QPushButton*>("Btn_PcToServoStore")->click();
        const double doneMs = MsSince(start);
        const bool complete = boxes.Texts() == QStringList{StoreText::CompleteBox} &&
                              drive.RequestLog().size() == line.exchanges;
        std::printf("%7d %9.1f %9.1f %9.1f %8.3f %s\n", baud, doneMs, wireMs, tickFloorMs,
                    doneMs / std::max(wireMs, tickFloorMs), complete ? "" : "INCOMPLETE");
    }
}

}  // namespace

int main(int argc, char** argv) {
    Bench::Application application(argc, argv);
    const auto [writes, turnaroundMs] = Bench::ReadRuns(argc, argv);

    const LineBytes line = BytesOfFullWrite();
    std::printf(
        "Full PC->Servo write (%zu exchanges, %zu bytes both ways), drive turnaround %d ms\n",
        line.exchanges, line.bytes, turnaroundMs);
    std::printf("%7s %9s %9s %9s %8s\n", "baud", "done", "wire", "ticks", "/max");
    for (int baud : {9600, 115200}) Measure(baud, writes, turnaroundMs, line);
    return 0;
}
