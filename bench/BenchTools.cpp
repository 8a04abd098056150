#include "bench/BenchTools.h"

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>

namespace Bench {

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

Runs ReadRuns(int argc, char** argv) {
    Runs runs;
    if (argc > 1) runs.count = std::max(1, std::atoi(argv[1]));
    if (argc > 2) runs.turnaroundMs = std::max(0, std::atoi(argv[2]));
    return runs;
}

double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

double ResidentMb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * 4096.0 / (1024 * 1024);
}

void NotOnLine(int baud) {
    std::printf("%7d  could not go on line\n", baud);
}

void RunFor(double ms) {
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(ms), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

Application::Application(int& argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    application_ = std::make_unique<QApplication>(argc, argv);
}

}  // namespace Bench
