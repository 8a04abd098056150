// The download worker against a recording port and window: what it sends, in
// which order, with which pauses, and how it ends.

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <sstream>
#include <stdexcept>

#include "download/DownLoad.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const std::string kLine1 = ":0300300002337A1E\r\n";
const std::string kLine2 = ":10010000214601360121470136007EFE09D2190140\r\n";
const std::string kEnd = ":00000001FF\r\n";

// The port: records each line with the moment it was written; may fail or hold a write.
class RecordingPort : public TDownLoad::ILineWriter {
  public:
    bool WriteLine(const std::string& line, std::stop_token stop) override {
        std::unique_lock lock(mutex);
        events.push_back("write");
        if (failAt == lines.size() + 1) throw std::runtime_error("WriteFile function failed");
        if (holdAt == lines.size() + 1) {
            held = true;
            changed.notify_all();
            // Like a write queued to a busy port thread: given up when stopped.
            changed.wait(lock, stop, [] { return false; });
            return false;
        }
        lines.push_back(line);
        times.push_back(Clock::now());
        changed.notify_all();
        return true;
    }

    std::mutex mutex;
    std::condition_variable_any changed;
    std::vector<std::string> lines;
    std::vector<Clock::time_point> times;
    std::vector<std::string> events;
    std::size_t failAt = 0, holdAt = 0;  // 1-based line numbers; 0 = never
    bool held = false;
};

class RecordingWindow : public TDownLoad::IObserver {
  public:
    void Progress(std::uint64_t bytes, std::uint64_t) override {
        std::lock_guard lock(mutex);
        progress.push_back(bytes);
    }
    void Finished(const TDownLoad::Outcome& outcome) override {
        std::lock_guard lock(mutex);
        finished = outcome;
        done.notify_all();
    }
    bool WaitFinished() {
        std::unique_lock lock(mutex);
        return done.wait_for(lock, 30s, [&] { return finished.has_value(); });
    }

    std::mutex mutex;
    std::condition_variable done;
    std::vector<std::uint64_t> progress;
    std::optional<TDownLoad::Outcome> finished;
};

struct Rig {
    explicit Rig(std::string text) : file(text), size(text.size()) {}

    // Runs the worker on this thread, recording the pauses instead of taking them.
    TDownLoad::Outcome Run() {
        TDownLoad worker(file, size, port, window,
                         [this](std::chrono::milliseconds pause, std::stop_token) {
                             port.events.push_back("pause " + std::to_string(pause.count()));
                             return true;
                         });
        return worker.Execute({});
    }

    std::istringstream file;
    std::uint64_t size;
    RecordingPort port;
    RecordingWindow window;
};

TEST(DownLoad, SendsEachLineAsItStandsUpToTheEndRecordAfterA2msPause) {
    Rig rig(kLine1 + kLine2 + kEnd + kLine1 + kLine2);
    const auto outcome = rig.Run();
    EXPECT_EQ(outcome.result, TDownLoad::Result::Complete);
    EXPECT_EQ(rig.port.lines, (std::vector<std::string>{kLine1, kLine2, kEnd}));
    EXPECT_EQ(rig.port.events, (std::vector<std::string>{"pause 2", "write", "pause 2", "write",
                                                         "pause 2", "write"}));
    const std::uint64_t sent = kLine1.size() + kLine2.size() + kEnd.size();
    EXPECT_EQ(rig.window.progress,
              (std::vector<std::uint64_t>{kLine1.size(), kLine1.size() + kLine2.size(), sent}));
    EXPECT_EQ(outcome.bytes, sent);
    EXPECT_EQ(outcome.lines, 3u);
}

TEST(DownLoad, LineEndsOtherThanCrLfAndALastLineWithoutOne) {
    Rig rig(":0300300002337A1E\n:00000001FF");
    EXPECT_EQ(rig.Run().result, TDownLoad::Result::Complete);
    EXPECT_EQ(rig.port.lines, (std::vector<std::string>{":0300300002337A1E\n", ":00000001FF"}));
}

TEST(DownLoad, AFileWithoutEndRecordStopsAtItsEnd) {
    Rig rig(kLine1 + kLine2);
    const auto outcome = rig.Run();
    EXPECT_EQ(outcome.result, TDownLoad::Result::NoEndRecord);
    EXPECT_EQ(rig.port.lines.size(), 2u);
    EXPECT_EQ(outcome.bytes, rig.size);
}

TEST(DownLoad, StopsAtTheFirstFailedWrite) {
    Rig rig(kLine1 + kLine2 + kLine1 + kEnd);
    rig.port.failAt = 2;
    const auto outcome = rig.Run();
    EXPECT_EQ(outcome.result, TDownLoad::Result::WriteFailed);
    EXPECT_EQ(outcome.error, "WriteFile function failed");
    EXPECT_EQ(outcome.lines, 1u);
    EXPECT_EQ(rig.port.events.size(), 4u) << "no write after the failed one";
}

TEST(DownLoad, StopEndsAWaitingWriteAndReportsNothing) {
    Rig rig(kLine1 + kLine2 + kLine1 + kEnd);
    rig.port.holdAt = 2;
    TDownLoad worker(rig.file, rig.size, rig.port, rig.window);
    worker.Start();
    {
        std::unique_lock lock(rig.port.mutex);
        ASSERT_TRUE(rig.port.changed.wait_for(lock, 30s, [&] { return rig.port.held; }));
    }
    worker.Stop();
    EXPECT_EQ(rig.port.lines, (std::vector<std::string>{kLine1}));
    EXPECT_FALSE(rig.window.finished.has_value());
}

TEST(DownLoad, StopDuringThePauseSendsNoFurtherLine) {
    Rig rig(kLine1 + kEnd);
    std::stop_source stop;
    TDownLoad worker(rig.file, rig.size, rig.port, rig.window,
                     [&](std::chrono::milliseconds, std::stop_token) {
                         stop.request_stop();
                         return false;
                     });
    EXPECT_EQ(worker.Execute(stop.get_token()).result, TDownLoad::Result::Stopped);
    EXPECT_TRUE(rig.port.lines.empty());
}

// On its own thread with the real pause: at least 2 ms pass between the end of
// one write and the start of the next, however loaded the machine is.
TEST(DownLoad, RealPauseBeforeEachLine) {
    std::string text;
    for (int i = 0; i < 20; ++i) text += kLine2;
    Rig rig(text + kEnd);
    TDownLoad worker(rig.file, rig.size, rig.port, rig.window);
    const Clock::time_point started = Clock::now();
    worker.Start();
    ASSERT_TRUE(rig.window.WaitFinished());
    worker.Stop();
    EXPECT_EQ(rig.window.finished->result, TDownLoad::Result::Complete);
    ASSERT_EQ(rig.port.times.size(), 21u);
    EXPECT_GE(rig.port.times[0] - started, TDownLoad::kLinePause);
    for (std::size_t i = 1; i < rig.port.times.size(); ++i)
        EXPECT_GE(rig.port.times[i] - rig.port.times[i - 1], TDownLoad::kLinePause) << i;
}

}  // namespace
