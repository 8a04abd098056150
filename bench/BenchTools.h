#pragma once
// What the timed end-to-end programs share besides the application session:
// their QApplication, clocks for wall and CPU time, and an idle run of the
// event loop.

#include <QApplication>
#include <chrono>
#include <memory>

#include "tests/support/AppTestSupport.h"

namespace Bench {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start);
// The command line of the timed runs: [runs per rate, default 3] [drive turnaround ms, default 1].
struct Runs {
    int count = 3;
    int turnaroundMs = 1;
};
Runs ReadRuns(int argc, char** argv);

// The calling thread's CPU time.
double ThreadCpuMs();
// The process's resident memory.
double ResidentMb();
// Says that the application could not go on line at `baud` or open its window.
void NotOnLine(int baud);
// Runs the event loop idle-waiting for `ms`, so the CPU time is the application's own.
void RunFor(double ms);

// The QApplication of a benchmark: offscreen unless a platform is asked for,
// and a throw-away settings store, so a run neither reads nor changes the
// user's stored settings and placements.
class Application {
  public:
    Application(int& argc, char** argv);

  private:
    ScratchSettings settings_;
    std::unique_ptr<QApplication> application_;
};

}  // namespace Bench
