#include "trigger/TriggerSettings.h"

#include <stdexcept>

namespace TriggerLists {
const std::array<const char*, kChannelCount> ChannelTexts = {
    "Speed Feedback[rpm]",   "Speed Command[rpm]",         "Speed Error[rpm]",
    "Torque Command[%]",     "Position Feedback[pulse]",   "Position Command[pulse]",
    "Position Error[pulse]", "Pulse Command Freq.[kpps] ", "Electric Degree[]",
    "Mechanical Degree[]",
};
const std::array<const char*, kChannelCount> DataSourceTexts = {
    "Speed Feedback",    "Speed Command",     "Speed Error",    "Torque Command",
    "Position Feedback", "Position Command",  "Position Error", "Pulse Command Freq.",
    "Electric Degree",   "Mechanical Degree",
};
const std::array<const char*, kIoSourceCount> IoSourceTexts = {
    "DI#1", "DI#2",   "DI#3", "DI#4", "DI#5", "DI#6",
    "DI#7", "E-STOP", "DO#1", "DO#2", "DO#3", "S-ALM",
};
}  // namespace TriggerLists

namespace {

std::string TwoDigits(int value) {
    return (value < 10 ? "0" : "") + std::to_string(value);
}

void RequireEntry(int entry, int count) {
    if (entry < 0 || entry >= count) throw std::out_of_range("no such trigger list entry");
}

}  // namespace

std::string ChannelCode(int entry) {
    RequireEntry(entry, TriggerLists::kChannelCount);
    return TwoDigits(entry);
}

std::string SourceCode(bool ioSource, int entry) {
    if (ioSource) {
        RequireEntry(entry, TriggerLists::kIoSourceCount);
        return std::to_string(101 + entry);
    }
    RequireEntry(entry, TriggerLists::kChannelCount);
    return "0" + TwoDigits(entry);
}

std::string TriggerSetupString(const TriggerSettings& s) {
    std::string setup = ChannelCode(s.channel1) + ChannelCode(s.channel2) +
                        SourceCode(s.ioSource, s.sourceEntry) + TwoDigits(s.division) +
                        TwoDigits(s.number) + (s.positiveEdge ? "1" : "2") +
                        std::to_string(s.point);
    if (s.LevelEnabled()) setup += std::to_string(s.level);
    return setup;
}
