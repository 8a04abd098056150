#pragma once
// The stand-in drive's monitoring stream (MOR): sampling one or two items of
// the motor at the requested period on the drive's own clock, and answering
// each request with the samples gathered since the last one, oldest first.
// A reader that falls behind loses the oldest samples beyond a few seconds
// of backlog; they are counted.

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "sim/Motor.h"

class Stream {
  public:
    static constexpr double kBacklogSeconds = 3.0;
    static constexpr std::size_t kMaxValue = 250;  // characters of one reply's value

    // "TT" (1..50 ms) followed by one or two item codes; false when malformed.
    bool Start(std::string_view data, const Motor& motor, double now);
    void Stop() { running_ = false; }
    bool Running() const { return running_; }

    // Samples every period up to `now`, from the motor as it was last followed.
    void SampleUpTo(double now);
    // The motor from now on (its command may have changed).
    void Follow(const Motor& motor) { motor_ = motor; }
    // The next reply value: whole samples, at most kMaxValue characters; none yet: nullopt.
    std::optional<std::string> TakeReply();

    std::int64_t Sampled() const { return sampled_; }
    std::int64_t Sent() const { return sent_; }
    std::int64_t Dropped() const { return dropped_; }

  private:
    bool running_ = false;
    std::string codes_;
    double period_ = 0.0;
    double next_ = 0.0;  // time of the next sample
    std::int64_t index_ = 0;
    double start_ = 0.0;
    Motor motor_;
    std::deque<std::string> backlog_;
    std::int64_t sampled_ = 0, sent_ = 0, dropped_ = 0;
};
