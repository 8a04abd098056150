#include "sim/SimClock.h"

#include <chrono>
#include <memory>

SimClock SteadySimClock() {
    using Steady = std::chrono::steady_clock;
    auto start = std::make_shared<Steady::time_point>(Steady::now());
    return [start] { return std::chrono::duration<double>(Steady::now() - *start).count(); };
}
