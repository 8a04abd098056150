#pragma once
// The drive-sampled monitoring stream: the MOR request text, the ring of
// samples received and not yet plotted, how many the plot timer takes a
// tick, and the figures the graph page shows so an engineer can trust it
// (the period achieved, samples overwritten before they were plotted,
// samples that were no number).

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Time text (two digits) followed by the codes of the stream's slots.
std::string StreamRequestData(int timeSelect, std::span<const std::string> codes);

// Samples a plot tick of `intervalMs` may plot: enough to keep up plus ten to catch up.
int StreamBudget(int intervalMs, int timeSelect);

// One sample of every channel, as the drive sent it.
using StreamSample = std::array<std::string, 2>;

class StreamRing {
  public:
    static constexpr int kSlots = 1001;
    static constexpr std::size_t kMaxChannels = std::tuple_size_v<StreamSample>;

    void Reset(int channels);  // empty, writer and reader at slot 0
    // A reply value: fields at '&', alternating channels, oldest first. A full
    // ring drops its oldest unplotted sample for each new one.
    void Write(std::string_view value);
    bool HasSamples() const { return count_ > 0; }
    int Count() const { return count_; }
    StreamSample Take();  // the oldest unplotted sample
    int Channels() const { return channels_; }
    std::int64_t Overwritten() const { return overwritten_; }
    std::int64_t Written() const { return written_; }
    void ResetCounts();

  private:
    void Advance();

    std::array<StreamSample, kSlots> slots_{};
    int channels_ = 1;
    int write_ = 0;
    int read_ = 0;
    int count_ = 0;
    std::int64_t overwritten_ = 0;
    std::int64_t written_ = 0;
};

// A sample field as a number to plot; nothing for an empty or non-numeric one.
std::optional<double> StreamValue(std::string_view field);

// Samples received over the last second, from the arrival times given.
class StreamRate {
  public:
    void Arrived(std::int64_t ms, int samples);
    // The mean time between samples over the second before `ms`; nothing yet.
    std::optional<double> PeriodMs(std::int64_t ms);
    void Reset() { arrivals_.clear(); }

  private:
    std::deque<std::pair<std::int64_t, int>> arrivals_;
};

// What the page shows under the graph while it streams.
std::string StreamStatusText(std::optional<double> periodMs, int requestedMs,
                             std::int64_t overwritten, std::int64_t unplottable);
