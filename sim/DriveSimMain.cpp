// drive-sim: the stand-in drive on a pseudo-terminal, for demos and end-to-end tests.

#include <signal.h>

#include <ctime>
#include <exception>
#include <iostream>
#include <string_view>
#include <vector>

#include "sim/DriveSimOptions.h"

namespace {

// Blocked before the worker starts, so only sigtimedwait below ever sees them.
sigset_t StopSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    return signals;
}

void ServeUntilStopped(PtyDrive& drive, const sigset_t& signals) {
    const timespec poll{0, 100'000'000};
    while (!drive.Disconnected()) {
        if (sigtimedwait(&signals, nullptr, &poll) > 0) return;
    }
}

// Each download ends with its report and, when asked for, its image on disk.
void ReportDownloads(DriveSim& sim, const std::string& imagePath) {
    sim.OnDownloadDone([imagePath](const SimDownload::Result& result) {
        std::cerr << "drive-sim: " << DownloadReport(result) << std::flush;
        if (imagePath.empty()) return;
        try {
            WriteDownloadImage(result, imagePath);
        } catch (const std::exception& error) {
            std::cerr << "drive-sim: " << error.what() << std::endl;
        }
    });
}

}  // namespace

int main(int argc, char** argv) {
    DriveSimOptions options;
    try {
        std::vector<std::string_view> args(argv + 1, argv + argc);
        options = ParseDriveSimOptions(args);
    } catch (const std::exception& error) {
        std::cerr << "drive-sim: " << error.what() << "\n" << DriveSimUsage();
        return 2;
    }
    if (options.help) {
        std::cout << DriveSimUsage();
        return 0;
    }
    if (options.version) {
        std::cout << "drive-sim " VRX5_VERSION "\n";
        return 0;
    }
    const sigset_t signals = StopSignals();
    try {
        DriveSim sim(options.drive);
        sim.SetFailure(options.failure);
        sim.SetAlarm(options.alarm);
        ReportDownloads(sim, options.downloadImage);
        PtyDrive drive(std::move(sim), options.pty);
        std::cout << drive.SlavePath() << std::endl;
        ServeUntilStopped(drive, signals);
        drive.Stop();
        drive.WithSim([](DriveSim& sim) {
            const Stream& stream = sim.MonitorStream();
            if (stream.Sampled() > 0)
                std::cerr << "drive-sim: stream samples sent " << stream.Sent() << ", dropped "
                          << stream.Dropped() << "\n";
        });
    } catch (const std::exception& error) {
        std::cerr << "drive-sim: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
