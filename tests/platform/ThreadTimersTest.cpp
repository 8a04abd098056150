#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <chrono>
#include <climits>
#include <functional>
#include <ostream>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/Pause.h"
#include "platform/ThreadTimers.h"

namespace {

using Clock = std::chrono::steady_clock;
using Mode = TiThreadTimers::Mode;

long long MsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(to - from).count();
}

// Runs the main thread's event loop until `done` holds or `timeoutMs` has passed.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (Clock::now() > deadline) return false;
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void PumpFor(int ms) {
    PumpUntil([] { return false; }, ms);
}

// What a channel's handler saw: when each tick ran, on which thread, from which sender.
struct TickLog {
    std::vector<Clock::time_point> times;
    std::vector<QThread*> threads;
    std::vector<TiThreadTimers*> senders;

    TiThreadTimers::Handler Recorder(std::function<void(TiThreadTimers*)> then = {}) {
        return [this, then](TiThreadTimers* sender) {
            times.push_back(Clock::now());
            threads.push_back(QThread::currentThread());
            senders.push_back(sender);
            if (then) then(sender);
        };
    }
    int count() const { return static_cast<int>(times.size()); }
};

// Queued ticks need an application object; one serves the whole program.
class TimersTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (QCoreApplication::instance()) return;
        static int argc = 1;
        static char name[] = "thread_timers_tests";
        static char* argv[] = {name, nullptr};
        static QCoreApplication* app = new QCoreApplication(argc, argv);
        (void)app;
    }
    void TearDown() override {
        TiThreadTimers::SetDefaultMode(Mode::Threaded);
        Pause::SetSkipping(false);
    }
};

// --- settings -------------------------------------------------------------

struct IntervalCase {
    int set;
    int stored;
};

void PrintTo(const IntervalCase& c, std::ostream* os) {
    *os << c.set << " -> " << c.stored;
}

class IntervalTest : public TimersTest, public ::testing::WithParamInterface<IntervalCase> {};

TEST_P(IntervalTest, NonPositiveIntervalsAreStoredAsOneMillisecond) {
    for (Mode mode : {Mode::Manual, Mode::Threaded}) {
        TiThreadTimers timers(mode);
        for (int channel = 1; channel <= TiThreadTimers::kChannels; ++channel) {
            timers.SetInterval(channel, GetParam().set);
            EXPECT_EQ(timers.Interval(channel), GetParam().stored) << "channel " << channel;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Table, IntervalTest,
                         ::testing::Values(IntervalCase{0, 1}, IntervalCase{-1, 1},
                                           IntervalCase{INT_MIN, 1}, IntervalCase{1, 1},
                                           IntervalCase{50, 50}, IntervalCase{INT_MAX, INT_MAX}));

TEST_F(TimersTest, ChannelsStartDisabledWithOneSecondInterval) {
    TiThreadTimers timers(Mode::Threaded);
    for (int channel = 1; channel <= TiThreadTimers::kChannels; ++channel) {
        EXPECT_EQ(timers.Interval(channel), 1000);
        EXPECT_FALSE(timers.Enabled(channel));
    }
}

TEST_F(TimersTest, ChannelNumbersOutsideOneToNineAreRejected) {
    TiThreadTimers timers(Mode::Manual);
    for (int channel : {0, -1, 10}) {
        EXPECT_THROW(timers.Interval(channel), std::out_of_range);
        EXPECT_THROW(timers.SetInterval(channel, 5), std::out_of_range);
        EXPECT_THROW(timers.SetEnabled(channel, true), std::out_of_range);
        EXPECT_THROW(timers.SetOnTimer(channel, {}), std::out_of_range);
        EXPECT_THROW(timers.Fire(channel), std::out_of_range);
    }
}

TEST_F(TimersTest, DefaultModeAppliesToObjectsCreatedAfterwards) {
    TiThreadTimers before;
    TiThreadTimers::SetDefaultMode(Mode::Manual);
    TiThreadTimers after;
    TiThreadTimers explicitThreaded(Mode::Threaded);
    EXPECT_EQ(before.mode(), Mode::Threaded);
    EXPECT_EQ(after.mode(), Mode::Manual);
    EXPECT_EQ(explicitThreaded.mode(), Mode::Threaded);
}

// --- manual mode ----------------------------------------------------------

TEST_F(TimersTest, ManualFireDeliversSynchronouslyOnlyWhileEnabled) {
    TiThreadTimers timers(Mode::Manual);
    TickLog one, two;
    timers.SetOnTimer(1, one.Recorder());
    timers.SetOnTimer(2, two.Recorder());

    timers.Fire(1, 3);
    EXPECT_EQ(one.count(), 0);

    timers.SetEnabled(1, true);
    timers.Fire(1, 3);
    EXPECT_EQ(one.count(), 3);
    EXPECT_EQ(two.count(), 0);
    for (TiThreadTimers* sender : one.senders) EXPECT_EQ(sender, &timers);

    timers.SetEnabled(1, false);
    timers.Fire(1);
    EXPECT_EQ(one.count(), 3);
}

TEST_F(TimersTest, ManualChannelsNeverTickByThemselves) {
    TiThreadTimers timers(Mode::Manual);
    TickLog log;
    timers.SetOnTimer(1, log.Recorder());
    timers.SetInterval(1, 1);
    timers.SetEnabled(1, true);
    PumpFor(50);
    EXPECT_EQ(log.count(), 0);
}

TEST_F(TimersTest, ManualFireStopsWhenTheHandlerDisablesOrEnablesChannels) {
    TiThreadTimers timers(Mode::Manual);
    TickLog one, two;
    timers.SetOnTimer(1, one.Recorder([](TiThreadTimers* t) {
        t->SetEnabled(1, false);
        t->SetEnabled(2, true);
    }));
    timers.SetOnTimer(2, two.Recorder());
    timers.SetEnabled(1, true);

    timers.Fire(1, 5);
    timers.Fire(2, 2);
    EXPECT_EQ(one.count(), 1);
    EXPECT_EQ(two.count(), 2);
}

TEST_F(TimersTest, ManualHandlerMayDestroyItsTimer) {
    auto* timers = new TiThreadTimers(Mode::Manual);
    int calls = 0;
    timers->SetOnTimer(1, [&calls](TiThreadTimers* sender) {
        delete sender;
        ++calls;  // the handler's own state must outlive the timer that held it
    });
    timers->SetEnabled(1, true);
    timers->Fire(1, 5);
    EXPECT_EQ(calls, 1);
}

// --- threaded mode --------------------------------------------------------

TEST_F(TimersTest, TicksRunOnTheMainThreadWithTheTimerAsSender) {
    TiThreadTimers timers(Mode::Threaded);
    TickLog one, three;
    timers.SetOnTimer(1, one.Recorder());
    timers.SetOnTimer(3, three.Recorder());
    // Set while disabled, so the very first pause already uses it (the default is 1000).
    timers.SetInterval(1, 20);
    timers.SetInterval(3, 1);
    timers.SetEnabled(1, true);

    ASSERT_TRUE(PumpUntil([&] { return one.count() >= 3; }, 500));
    for (QThread* thread : one.threads) EXPECT_EQ(thread, QCoreApplication::instance()->thread());
    for (TiThreadTimers* sender : one.senders) EXPECT_EQ(sender, &timers);
    EXPECT_EQ(three.count(), 0);
}

TEST_F(TimersTest, TicksQueuedDuringAStallRunBackToBack) {
    TiThreadTimers timers(Mode::Threaded);
    TickLog log;
    timers.SetOnTimer(1, log.Recorder([&log](TiThreadTimers*) {
        if (log.count() == 1) Pause::Sleep(200);
    }));
    timers.SetInterval(1, 50);
    timers.SetEnabled(1, true);

    ASSERT_TRUE(PumpUntil([&] { return log.count() >= 6; }, 3000));
    // The period went on during the stall: the ticks due at 100, 150 and 200 ms were waiting.
    int burst = 1;
    for (int i = 2; i < log.count() && MsBetween(log.times[i - 1], log.times[i]) < 25; ++i) {
        ++burst;
    }
    EXPECT_GE(MsBetween(log.times[0], log.times[1]), 200);
    EXPECT_GE(burst, 3) << "ticks handled back to back after the stall";
}

TEST_F(TimersTest, ChannelDisabledInItsHandlerGetsAtMostOneMoreTick) {
    TiThreadTimers timers(Mode::Threaded);
    TickLog log;
    timers.SetOnTimer(1, log.Recorder([](TiThreadTimers* t) { t->SetEnabled(1, false); }));
    timers.SetInterval(1, 100);
    timers.SetEnabled(1, true);

    ASSERT_TRUE(PumpUntil([&] { return log.count() >= 1; }, 2000));
    PumpFor(600);
    EXPECT_LE(log.count(), 2);
    EXPECT_FALSE(timers.Enabled(1));
}

TEST_F(TimersTest, BacklogStaysBoundedThroughALongStall) {
    TiThreadTimers timers(Mode::Threaded);
    TickLog log;
    timers.SetOnTimer(1, log.Recorder());
    timers.SetInterval(1, 1);
    timers.SetEnabled(1, true);

    Pause::Sleep(400);
    timers.SetEnabled(1, false);  // ticks already posted are still delivered
    PumpFor(100);
    EXPECT_LE(log.count(), TiThreadTimers::kMaxBacklog);
    EXPECT_GE(log.count(), TiThreadTimers::kMaxBacklog / 2);

    // The dropped ticks left no trace: the channel ticks again once the queue has drained.
    const int drained = log.count();
    timers.SetEnabled(1, true);
    EXPECT_TRUE(PumpUntil([&] { return log.count() > drained; }, 2000));
}

TEST_F(TimersTest, FiredTicksAreQueuedAndBoundedInThreadedMode) {
    TiThreadTimers timers(Mode::Threaded);
    TickLog log;
    timers.SetOnTimer(1, log.Recorder());
    timers.SetInterval(1, INT_MAX);  // the worker stays quiet

    timers.Fire(1, 5);
    QCoreApplication::processEvents();
    EXPECT_EQ(log.count(), 0) << "disabled channel";

    timers.SetEnabled(1, true);
    timers.Fire(1, TiThreadTimers::kMaxBacklog + 50);
    EXPECT_EQ(log.count(), 0) << "queued, not run at once";
    QCoreApplication::processEvents();
    EXPECT_EQ(log.count(), TiThreadTimers::kMaxBacklog);

    timers.Fire(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(log.count(), TiThreadTimers::kMaxBacklog + 1);
}

TEST_F(TimersTest, DestructionDropsPostedTicksWithoutWaitingForWorkers) {
    int calls = 0;
    auto* timers = new TiThreadTimers(Mode::Threaded);
    timers->SetOnTimer(1, [&calls](TiThreadTimers*) { ++calls; });
    timers->SetOnTimer(2, [&calls](TiThreadTimers*) { ++calls; });
    timers->SetInterval(1, 1);
    timers->SetInterval(2, INT_MAX);  // a worker deep in a pause must still end at once
    timers->SetEnabled(1, true);
    timers->SetEnabled(2, true);

    Pause::Sleep(50);  // ticks of channel 1 are now waiting in the queue
    delete timers;
    PumpFor(50);
    EXPECT_EQ(calls, 0);
}

TEST_F(TimersTest, HandlerMayDestroyItsTimerWhileTicksArePending) {
    int calls = 0;
    auto* timers = new TiThreadTimers(Mode::Threaded);
    timers->SetOnTimer(1, [&calls](TiThreadTimers* sender) {
        delete sender;
        ++calls;  // the handler's own state must outlive the timer that held it
    });
    timers->SetInterval(1, 1);
    timers->SetEnabled(1, true);

    Pause::Sleep(30);
    PumpFor(100);
    EXPECT_EQ(calls, 1);
}

// When the next tick comes after something is done to a running 600 ms channel,
// 200 ms into its period.
struct NextTickCase {
    const char* name;
    std::function<void(TiThreadTimers&)> action;
    long long minMs;  // the tick may not come sooner (the period was restarted)
    long long maxMs;  // the tick must come sooner (the period went on)
};

void PrintTo(const NextTickCase& c, std::ostream* os) {
    *os << c.name;
}

class NextTickTest : public TimersTest, public ::testing::WithParamInterface<NextTickCase> {};

TEST_P(NextTickTest, ComesWhenThePeriodSays) {
    TiThreadTimers timers(Mode::Threaded);
    TickLog log;
    timers.SetOnTimer(1, log.Recorder());
    timers.SetInterval(1, 600);
    timers.SetEnabled(1, true);
    PumpFor(200);

    GetParam().action(timers);
    const auto actionDone = Clock::now();
    ASSERT_EQ(log.count(), 0);
    ASSERT_TRUE(PumpUntil([&] { return log.count() >= 1; }, 3000));
    const long long delay = MsBetween(actionDone, log.times[0]);
    EXPECT_GE(delay, GetParam().minMs);
    EXPECT_LT(delay, GetParam().maxMs);
}

INSTANTIATE_TEST_SUITE_P(
    Table, NextTickTest,
    ::testing::Values(
        // Expected 400: enabling an enabled channel changes nothing.
        NextTickCase{"EnablingAgainKeepsThePeriod",
                     [](TiThreadTimers& t) { t.SetEnabled(1, true); }, 0, 550},
        // Expected 600: even the same value restarts.
        NextTickCase{"SettingTheIntervalRestarts", [](TiThreadTimers& t) { t.SetInterval(1, 600); },
                     570, LLONG_MAX},
        // Expected 500; without a restart it would be 300 or 400.
        NextTickCase{"NewIntervalRestartsWithTheNewValue",
                     [](TiThreadTimers& t) { t.SetInterval(1, 500); }, 470, LLONG_MAX},
        // Expected 400: the interrupted pause goes on where it stopped.
        NextTickCase{"ReEnablingContinuesTheInterruptedPause",
                     [](TiThreadTimers& t) {
                         t.SetEnabled(1, false);
                         PumpFor(150);
                         t.SetEnabled(1, true);
                     },
                     0, 550}),
    [](const auto& info) { return std::string(info.param.name); });

// --- pauses ---------------------------------------------------------------

TEST_F(TimersTest, SkippedPausesReturnAtOnceAndAddUpTheTime) {
    Pause::SetSkipping(true);
    const long long before = Pause::SkippedMs();
    const auto start = Clock::now();
    Pause::Sleep(400);
    Pause::Sleep(10);
    Pause::Sleep(0);
    Pause::Sleep(-5);
    EXPECT_LT(MsBetween(start, Clock::now()), 400);
    EXPECT_EQ(Pause::SkippedMs() - before, 410);
}

TEST_F(TimersTest, PauseBlocksTheMainThreadWithoutHandlingEvents) {
    bool ran = false;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&ran] { ran = true; }, Qt::QueuedConnection);
    const long long skippedBefore = Pause::SkippedMs();
    const auto start = Clock::now();
    Pause::Sleep(30);
    EXPECT_GE(MsBetween(start, Clock::now()), 30);
    EXPECT_FALSE(ran);
    EXPECT_EQ(Pause::SkippedMs(), skippedBefore);
    QCoreApplication::processEvents();
    EXPECT_TRUE(ran);
}

}  // namespace
