#pragma once
// The percentage and the estimated time left of a download, from the bytes
// sent so far against the time they took. The pace of a download is steady
// (a fixed pause a line and the line's wire time), so the average rate since
// the start is the estimate.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

class TimeLeft {
  public:
    using Clock = std::chrono::steady_clock;

    TimeLeft(std::uint64_t totalBytes, Clock::time_point start)
        : total_(totalBytes), start_(start) {}

    // `bytes` of the total have been sent by `now`.
    void Update(std::uint64_t bytes, Clock::time_point now);

    double Percent() const;
    // Unknown until enough has been sent to tell the pace.
    std::optional<std::chrono::seconds> Remaining() const;

    // "37 %"
    static std::string PercentText(double percent);
    // "1:05", "12:00", "1:02:03"; "" when unknown.
    static std::string DurationText(std::optional<std::chrono::seconds> remaining);

    static constexpr auto kSettleTime = std::chrono::milliseconds(500);

  private:
    std::uint64_t total_;
    Clock::time_point start_;
    std::uint64_t bytes_ = 0;
    Clock::duration elapsed_{};
};
