// Figures for the multi-channel timers. Run: thread_timers_bench
//   BM_QueuedTickRoundTrip: cost of posting a tick and handling it on the main thread.
//   BM_TicksThroughStall:   ticks delivered vs ticks due while the main thread sleeps.
//   BM_PeriodDrift:         how late the last tick of a long run is against n * interval.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <chrono>
#include <thread>

#include "platform/Pause.h"
#include "platform/ThreadTimers.h"

namespace {

using Clock = std::chrono::steady_clock;
using Mode = TiThreadTimers::Mode;

double MsSince(Clock::time_point start, Clock::time_point end = Clock::now()) {
    return std::chrono::duration<double, std::milli>(end - start).count();
}

void BM_QueuedTickRoundTrip(benchmark::State& state) {
    TiThreadTimers timers(Mode::Threaded);
    long long handled = 0;
    timers.SetOnTimer(1, [&handled](TiThreadTimers*) { ++handled; });
    timers.SetInterval(1, 1'000'000);  // only fired ticks
    timers.SetEnabled(1, true);
    for (auto _ : state) {
        timers.Fire(1, TiThreadTimers::kMaxBacklog);
        QCoreApplication::processEvents();
    }
    state.SetItemsProcessed(handled);
}
BENCHMARK(BM_QueuedTickRoundTrip);

void BM_TicksThroughStall(benchmark::State& state) {
    const int intervalMs = static_cast<int>(state.range(0));
    const int stallMs = static_cast<int>(state.range(1));
    for (auto _ : state) {
        TiThreadTimers timers(Mode::Threaded);
        int delivered = 0;
        timers.SetOnTimer(1, [&delivered](TiThreadTimers*) { ++delivered; });
        timers.SetInterval(1, intervalMs);
        const auto start = Clock::now();
        timers.SetEnabled(1, true);
        Pause::Sleep(stallMs);
        timers.SetEnabled(1, false);
        const int due = static_cast<int>(MsSince(start) / intervalMs);
        QCoreApplication::processEvents();
        state.counters["due"] = due;
        state.counters["delivered"] = delivered;
    }
}
BENCHMARK(BM_TicksThroughStall)
    ->Args({10, 500})
    ->Args({1, 500})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

void BM_PeriodDrift(benchmark::State& state) {
    const int intervalMs = static_cast<int>(state.range(0));
    const int runMs = 2000;
    for (auto _ : state) {
        TiThreadTimers timers(Mode::Threaded);
        int ticks = 0;
        Clock::time_point last;
        timers.SetOnTimer(1, [&](TiThreadTimers*) {
            ++ticks;
            last = Clock::now();
        });
        timers.SetInterval(1, intervalMs);
        const auto start = Clock::now();
        timers.SetEnabled(1, true);
        while (MsSince(start) < runMs) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        timers.SetEnabled(1, false);
        state.counters["ticks"] = ticks;
        state.counters["last_tick_late_ms"] = MsSince(start, last) - ticks * intervalMs;
    }
}
BENCHMARK(BM_PeriodDrift)->Arg(10)->Arg(1)->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
