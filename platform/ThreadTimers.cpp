#include "platform/ThreadTimers.h"

#include <QMetaObject>
#include <QPointer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

namespace {
std::atomic<TiThreadTimers::Mode> defaultMode{TiThreadTimers::Mode::Threaded};
}

// One channel's settings and, in threaded mode, its worker. The worker waits on
// absolute deadlines, so the period neither drifts nor waits for the handler.
class TimerChannel {
  public:
    using Clock = std::chrono::steady_clock;

    // `post` hands one tick to the owner's thread; it must be safe to call from the worker.
    TimerChannel(bool threaded, std::function<void()> post) : post_(std::move(post)) {
        if (threaded) worker_ = std::thread([this] { Run(); });
    }
    ~TimerChannel() { Stop(); }
    TimerChannel(const TimerChannel&) = delete;
    TimerChannel& operator=(const TimerChannel&) = delete;

    int Interval() const {
        std::lock_guard lock(mutex_);
        return interval_;
    }

    void SetInterval(int ms) {
        std::lock_guard lock(mutex_);
        interval_ = std::max(ms, 1);
        // While disabled the interrupted pause keeps its rest; the new value applies from the next.
        if (enabled_) deadline_ = Clock::now() + Period();
        wake_.notify_one();
    }

    bool Enabled() const {
        std::lock_guard lock(mutex_);
        return enabled_;
    }

    void SetEnabled(bool enabled) {
        std::lock_guard lock(mutex_);
        if (enabled == enabled_) return;
        enabled_ = enabled;
        const auto now = Clock::now();
        if (enabled) {
            deadline_ = now + leftover_.value_or(Period());
            leftover_.reset();
        } else {
            leftover_ = std::max(deadline_ - now, Clock::duration::zero());
        }
        wake_.notify_one();
    }

    // False when the backlog is full and the tick was dropped.
    bool PostTick() {
        if (pending_.fetch_add(1) >= TiThreadTimers::kMaxBacklog) {
            pending_.fetch_sub(1);
            return false;
        }
        post_();
        return true;
    }

    void TickHandled() { pending_.fetch_sub(1); }

    // Ends and joins the worker; a second call does nothing.
    void Stop() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_one();
        if (worker_.joinable()) worker_.join();
    }

  private:
    Clock::duration Period() const { return std::chrono::milliseconds(interval_); }

    void Run() {
        std::unique_lock lock(mutex_);
        while (!stopping_) {
            if (!enabled_) {
                wake_.wait(lock);
                continue;
            }
            const auto now = Clock::now();
            if (now < deadline_) {
                wake_.wait_until(lock, deadline_);
                continue;  // the deadline or the state may have changed meanwhile
            }
            // A dropped tick means the main thread is far behind: start afresh from now so
            // the catch-up burst stays bounded.
            deadline_ = PostTick() ? deadline_ + Period() : now + Period();
        }
    }

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    int interval_ = 1000;
    bool enabled_ = false;
    bool stopping_ = false;
    Clock::time_point deadline_{};             // while enabled: when the next tick is due
    std::optional<Clock::duration> leftover_;  // while disabled: rest of the interrupted pause
    std::atomic<int> pending_{0};              // posted, not yet handled
    std::function<void()> post_;
    std::thread worker_;
};

void TiThreadTimers::SetDefaultMode(Mode mode) {
    defaultMode = mode;
}

TiThreadTimers::Mode TiThreadTimers::DefaultMode() {
    return defaultMode;
}

TiThreadTimers::TiThreadTimers(QObject* parent) : TiThreadTimers(DefaultMode(), parent) {}

TiThreadTimers::TiThreadTimers(Mode mode, QObject* parent) : QObject(parent), mode_(mode) {
    for (int i = 0; i < kChannels; ++i) {
        const int channel = i + 1;
        channels_[i] = std::make_unique<TimerChannel>(mode == Mode::Threaded,
                                                      [this, channel] { PostTick(channel); });
    }
}

TiThreadTimers::~TiThreadTimers() {
    // No worker may post while the object goes; ticks already posted are queued events
    // of this object and are discarded with it.
    for (auto& channel : channels_) channel->Stop();
}

int TiThreadTimers::Interval(int channel) const {
    return Channel(channel).Interval();
}

void TiThreadTimers::SetInterval(int channel, int ms) {
    Channel(channel).SetInterval(ms);
}

bool TiThreadTimers::Enabled(int channel) const {
    return Channel(channel).Enabled();
}

void TiThreadTimers::SetEnabled(int channel, bool enabled) {
    Channel(channel).SetEnabled(enabled);
}

void TiThreadTimers::SetOnTimer(int channel, Handler handler) {
    Channel(channel);
    handlers_[channel - 1] = std::move(handler);
}

void TiThreadTimers::Fire(int channel, int count) {
    TimerChannel& timer = Channel(channel);
    if (mode_ == Mode::Threaded) {
        for (int i = 0; i < count && timer.Enabled(); ++i) {
            if (!timer.PostTick()) break;
        }
        return;
    }
    // A handler may destroy this object (its window closes); stop firing then.
    QPointer<TiThreadTimers> alive(this);
    for (int i = 0; i < count && alive && timer.Enabled(); ++i) Deliver(channel);
}

void TiThreadTimers::Deliver(int channel) {
    // A copy, so a handler that destroys this object does not destroy itself while running.
    const Handler handler = handlers_[channel - 1];
    if (handler) handler(this);
}

void TiThreadTimers::DeliverPosted(int channel) {
    Channel(channel).TickHandled();
    Deliver(channel);
}

void TiThreadTimers::PostTick(int channel) {
    // Queued on this object: runs on the thread that owns it, and never after it is gone.
    QMetaObject::invokeMethod(
        this, [this, channel] { DeliverPosted(channel); }, Qt::QueuedConnection);
}

TimerChannel& TiThreadTimers::Channel(int channel) const {
    if (channel < 1 || channel > kChannels) {
        throw std::out_of_range("timer channel " + std::to_string(channel) + " is not 1.." +
                                std::to_string(kChannels));
    }
    return *channels_[channel - 1];
}
