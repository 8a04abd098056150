#pragma once
// What the trigger window's settings column means to the drive: the signal
// and source lists with their wire codes, the set-up string a capture starts
// with, and the time base the plot is laid out on. Constant data and pure
// functions.

#include <array>
#include <span>
#include <string>

namespace TriggerLists {
inline constexpr int kChannelCount = 10;
inline constexpr int kIoSourceCount = 12;
// Entries of ComboBox1 / ComboBox2 ("Trigger Channel").
extern const std::array<const char*, kChannelCount> ChannelTexts;
// Entries of ComboBox3 while Led_IOSel is dark (data sources) and lit (I/O bits).
extern const std::array<const char*, kChannelCount> DataSourceTexts;
extern const std::array<const char*, kIoSourceCount> IoSourceTexts;
}  // namespace TriggerLists

// TriggerCodes: "00".."09" for channels, "000".."009" for data sources,
// "101".."112" for I/O sources. Throws std::out_of_range outside the lists.
std::string ChannelCode(int entry);
std::string SourceCode(bool ioSource, int entry);

// The settings column as the user left it; list entries are 0-based.
struct TriggerSettings {
    int channel1 = 0, channel2 = 1;
    bool ioSource = false;  // Led_IOSel lit
    int sourceEntry = 0;
    int division = 1;  // "Trigger Time Division", 1..99, in 200 us
    int number = 30;   // "Number of Data", 1..30, blocks of ten samples
    bool positiveEdge = true;
    int point = 1;  // "Trigger Point", 1..9
    int level = 0;  // "Trigger Level", -9999..9999

    static constexpr int kDivisionMax = 99, kNumberMax = 30, kPointMax = 9, kLevelLimit = 9999;

    // The level box is usable only for the first nine entries of either list.
    bool LevelEnabled() const { return sourceEntry < 9; }
    // Seconds between samples, and the width of a whole recording.
    double SampleSeconds() const { return division * 0.0002; }
    double XSpan() const { return SampleSeconds() * number * 10; }
};

// The MOT set-up: channels, source, division, number, edge, point and (while
// the level box is enabled) the level, with no separators.
std::string TriggerSetupString(const TriggerSettings& settings);
