#pragma once
// The stand-in drive's alarm history: the codes of its last eight alarms,
// newest first, and what it recorded at the last one (up to 50 samples of
// eight quantities). Answers the values of EHY and DIE replies.

#include <array>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/Motor.h"

class AlarmLog {
  public:
    static constexpr int kEntries = 8;
    static constexpr int kSamples = 50;
    static constexpr double kSamplePeriod = 0.001;  // s
    static constexpr int kQuantities = 8;           // DIE item codes 01..08, in this order
    // U, V, W phase current [A], torque command [%], speed feedback [rpm],
    // position error [pulse], DC-link voltage [V], regeneration current [A].
    using Sample = std::array<double, kQuantities>;

    // The eight quantities of a motor state, as the drive's current and
    // voltage measurement would see them.
    static Sample SampleOf(const MotorState& state);

    // `initialised` false: a drive whose history memory was never written;
    // every entry reads "FF" until alarms push them out or a clear.
    explicit AlarmLog(bool initialised = true);

    // Alarm `code` (1..99) becomes entry 1; `samples`, oldest first, are its
    // recording (the newest kSamples are kept).
    void Push(int code, const std::vector<Sample>& samples);
    // Every entry "00", nothing recorded.
    void Clear();

    // Entry 1..8 as the drive sends it: two digits, "00" or "FF".
    const std::string& Entry(int number) const { return entries_.at(number - 1); }
    std::size_t SampleCount() const { return samples_.size(); }

    // The EHY value for `data` ("*" asks for all entries); nullopt for other data.
    std::optional<std::string> HistoryValue(std::string_view data) const;
    // The DIE value for `data` ("0k00", k = 1..8): the samples of quantity k
    // joined by '&'; nullopt for other data.
    std::optional<std::string> DataValue(std::string_view data) const;

  private:
    std::deque<std::string> entries_;
    std::vector<Sample> samples_;
};
