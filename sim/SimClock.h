#pragma once
// Time as the stand-in drive sees it, in seconds from an arbitrary start. The
// pty server gives it the steady clock; tests give it a clock they step, so the
// motor, the procedures, the stream and the recorder are deterministic there.

#include <functional>

using SimClock = std::function<double()>;

// The steady clock, in seconds since the first call of the returned clock.
SimClock SteadySimClock();

// A clock that moves only when a test moves it. Keep it alive as long as the
// clock it hands out is in use.
class ManualSimClock {
  public:
    double now = 0.0;
    void Advance(double seconds) { now += seconds; }
    SimClock Clock() {
        return [this] { return now; };
    }
};
