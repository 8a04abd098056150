#include "protocol/AlarmTables.h"

#include <charconv>
#include <utility>

namespace {

template <std::size_t N>
std::array<std::string, 100> Table(const std::pair<int, const char*> (&rows)[N]) {
    std::array<std::string, 100> names;
    for (const auto& [code, name] : rows) names[code] = name;
    return names;
}

const std::pair<int, const char*> kAlarms[] = {
    {0, "No Error"},
    {2, "Commuication Error"},
    {10, "PWM Block Error"},
    {11, "IPM Error"},
    {12, "Over Current Error"},
    {13, "ReGeneration Over Current Error"},
    {14, "Current Offset Error"},
    {20, "Motor Cable Open"},
    {21, "Instant Overload"},
    {22, "Continuous Overload"},
    {23, "ReGeneration Overload"},
    {24, "Heatsink Over Heat"},
    {30, "Encoder Type Error"},
    {31, "Encoder Open Error"},
    {32, "ABS Communition Error"},
    {33, "ABS Battery Error"},
    {34, "ABS Over Speed Error"},
    {35, "ABS Multi-turn Error"},
    {36, "ABS Data Error"},
    {37, "ABS Count Error"},
    {38, "Serial Encoder Parameter Error"},
    {40, "Over Voltage Error"},
    {41, "Under Voltage Error"},
    {42, "AC Power Fail"},
    {50, "Over Speed Error"},
    {51, "Position Over-flow Error"},
    {52, "Over Pulse Command Error"},
    {53, "Emergency Stop Error"},
    {54, "CPU Fault Error"},
    {55, "Out of Control Error"},
    {60, "Serial Communition Error"},
    {61, "Parameter Checksum Error"},
    {62, "Parameter Range Error"},
    {63, "Flash Backup Error"},
    {64, "Current Measure Error"},
    {70, "Capacitance Undefine Error"},
    {71, "Wrong Setup Error"},
};

const std::pair<int, const char*> kWarnings[] = {
    {0, "No Error"},
    {1, "ABS battery warning"},
    {2, "ABS count overflow warning"},
    {4, "ABS preload status warning"},
    {8, "Over touque command warning"},
    {10, "Over speed command warning"},
    {20, "IO setup warning"},
    {40, "Motor capacitance over setting warning"},
};

std::array<std::string, 36> Axes() {
    std::array<std::string, 36> chars;
    for (int i = 0; i < 36; ++i)
        chars[i] = std::string(1, i < 10 ? char('0' + i) : char('A' + i - 10));
    return chars;
}

}  // namespace

const std::array<std::string, 100> AlarmNames = Table(kAlarms);
const std::array<std::string, 100> WarningNames = Table(kWarnings);
const std::array<std::string, 36> AxisChars = Axes();

int ReadDecimal(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        throw CodeError("not a decimal number: '" + std::string(text) + "'");
    return value;
}

int ReadCode(std::string_view text) {
    int code = ReadDecimal(text);
    if (code < 0 || code > 99) throw CodeError("code out of range: " + std::to_string(code));
    return code;
}
