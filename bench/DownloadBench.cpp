// Times a program download in the real application (download window, worker,
// serial port) against the stand-in drive on a pty that takes the bytes at
// 115200 and at 9600 baud, and sets the time against the line time of the
// file plus the 2 ms pause before each line.
//
// Usage: bench_download [Intel HEX file]   (default: objcopy -I binary -O ihex /usr/bin/chgrp)
//
// "drive" is the click on START to the drive having taken the end record;
// "shown" is the click to "Down load complete !!!!" (the last line handed to
// the port, which may still hold it in its buffer).

#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <sstream>

#include "bench/BenchTools.h"
#include "download/IntelHex.h"
#include "download/PgmDownForm.h"
#include "sim/PtyDrive.h"
#include "tests/support/AppSession.h"

namespace {

using Bench::Clock;
using Bench::MsSince;

// The bytes and lines the download sends: the file up to its end record.
struct Sent {
    std::size_t bytes = 0, lines = 0;
};

Sent SentOf(const QByteArray& text) {
    std::istringstream file(text.toStdString());
    Sent sent;
    std::string line;
    while (IntelHex::ReadLine(file, line)) {
        sent.bytes += line.size();
        ++sent.lines;
        if (IntelHex::IsEndRecord(line)) break;
    }
    return sent;
}

struct Timing {
    double driveMs = 0, shownMs = 0;
    bool ok = false;
};

Timing TimeDownload(const QString& hex, int baud) {
    PtyDriveOptions options;
    options.baud = baud;
    PtyDrive drive(DriveSim(), options);
    AppSession s(drive, {.baud = baud, .answer = QMessageBox::Yes});
    s.GoOnLine();
    auto* window = s.OpenAsDialog<TForm_PgmDown>(ChildWindow::ProgramDown);
    window->OpenDownloadFile(hex);
    window->Btn_DownModeClick();
    if (!QTest::qWaitFor([&] { return s.Engine().LinkState == Idle; }, 5000))
        std::fprintf(stderr, "bench_download: the drive did not acknowledge ETC 14\n");

    const auto ended = [&] {
        bool done = false;
        drive.WithSim(
            [&](DriveSim& sim) { done = !sim.Downloading() && sim.LastDownload().ended; });
        return done;
    };
    Timing timing;
    const Clock::time_point start = Clock::now();
    window->findChild<QPushButton*>("Btn_Start")->click();
    while (!(timing.driveMs > 0 && timing.shownMs > 0) && MsSince(start) < 600000) {
        QTest::qWait(1);
        if (timing.shownMs == 0 && window->StatusText(1) == DownText::Complete)
            timing.shownMs = MsSince(start);
        if (timing.driveMs == 0 && ended()) timing.driveMs = MsSince(start);
    }
    drive.WithSim([&](DriveSim& sim) { timing.ok = sim.LastDownload().bad.empty(); });
    return timing;
}

}  // namespace

int main(int argc, char** argv) {
    Bench::Application application(argc, argv);

    QTemporaryDir work;
    QString hex = argc > 1 ? QString::fromLocal8Bit(argv[1]) : work.filePath("chgrp.hex");
    if (argc <= 1 &&
        QProcess::execute("objcopy", {"-I", "binary", "-O", "ihex", "/usr/bin/chgrp", hex}) != 0) {
        std::fprintf(stderr, "bench_download: objcopy failed (package binutils)\n");
        return 1;
    }
    QFile file(hex);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "bench_download: cannot read %s\n", qPrintable(hex));
        return 1;
    }
    const Sent sent = SentOf(file.readAll());
    std::printf("%s: %zu lines, %zu bytes\n", qPrintable(hex), sent.lines, sent.bytes);
    std::printf("%8s %10s %12s %10s %10s %7s\n", "baud", "wire ms", "wire+2ms/l", "drive ms",
                "shown ms", "ratio");
    for (int baud : {115200, 9600}) {
        const double wireMs = 1000.0 * 10.0 * static_cast<double>(sent.bytes) / baud;
        const double budgetMs = wireMs + 2.0 * static_cast<double>(sent.lines);
        const Timing timing = TimeDownload(hex, baud);
        std::printf("%8d %10.0f %12.0f %10.0f %10.0f %7.3f%s\n", baud, wireMs, budgetMs,
                    timing.driveMs, timing.shownMs, timing.driveMs / budgetMs,
                    timing.ok ? "" : "  (bad records!)");
        std::fflush(stdout);
    }
    return 0;
}
