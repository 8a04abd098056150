#pragma once
// What the alarm history window knows about the data a drive records at an
// alarm: the quantities it can ask for, how the three selectors enable one
// another, and how one DIE reply becomes up to 50 plotted samples.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace AlarmData {

inline constexpr int kSelectors = 3;
inline constexpr int kQuantities = 9;  // "No Select" and the eight recorded quantities
inline constexpr int kSlots = 50;      // samples a reply is plotted with
inline constexpr double kSamplePeriod = 0.001;

// The selector items by index; index 0 is "No Select".
const std::array<std::string_view, kQuantities>& QuantityNames();

// The item code sent with DIE: "0" followed by the selector index ("05").
std::string QuantityCode(int index);

}  // namespace AlarmData

// The three chained selectors after a change of any of them: a selector can be
// used only once the one before it holds a quantity, and clearing one clears
// every selector after it.
struct SelectorChain {
    std::array<int, AlarmData::kSelectors> index{};
    std::array<bool, AlarmData::kSelectors> enabled{true, false, false};
    bool loadEnabled = false;
    std::vector<int> channels;  // the quantity of each plot channel, in channel order
};

// `index` and `enabled` are the selectors as they stand when one has changed.
SelectorChain ChainSelectors(std::array<int, AlarmData::kSelectors> index,
                             std::array<bool, AlarmData::kSelectors> enabled);

// One reply's samples, slot 1 first: a slot that is empty, or holds a text that
// is no number, is a gap.
struct AlarmSamples {
    std::vector<std::optional<double>> values;  // at most kSlots
    int dropped = 0;                            // samples after slot 50, not plotted
    int unreadable = 0;                         // slots whose text was no number

    // The time of slot `slot` (1-based): slot times the sample period.
    static double Time(int slot) { return slot * AlarmData::kSamplePeriod; }
    int PointCount() const;
};

// Splits a DIE reply value at every '&'.
AlarmSamples ParseAlarmSamples(std::string_view value);
