#include "protocol/ReplyFields.h"

#include <stdexcept>

#include "protocol/AlarmTables.h"

namespace {

struct Series {
    char key;
    const char* prefix;
};

// Position 8 is '_': keyed by position 7.
constexpr Series kUnderscoreSeries[] = {
    {'-', "NQV "},  {'Q', "NQVQ "}, {'S', "NQVS "}, {'H', "NQVH "}, {'K', "NQVK "},
    {'Z', "NQVZ "}, {'D', "NQVD "}, {'T', "NQVT "}, {'R', "NQVR "},
};
// Position 7 is 'R': keyed by position 8.
constexpr Series kRSeries[] = {
    {'S', "PJLS "}, {'D', "PJLD "}, {'H', "PJLH "}, {'F', "PJLF "},
    {'K', "PJLK "}, {'L', "PJLL "}, {'Q', "PJLQ "}, {'Z', "PJLZ "},
};

template <std::size_t N>
std::string Lookup(const Series (&table)[N], char key) {
    for (const Series& s : table)
        if (s.key == key) return s.prefix;
    return {};
}

std::string Capacity(std::string_view code) {
    if (code == "A3") return "30W";
    if (code == "A5") return "50W";
    if (code == "A8") return "80W";
    const int n = ReadDecimal(code);
    if (n * 100 < 1000) return std::to_string(n * 100) + "W";
    return std::string(1, code[0]) + "." + code[1] + "KW";
}

}  // namespace

std::optional<std::string> ReplyValue(std::string_view frame, std::size_t firstPosition) {
    if (frame.size() < firstPosition) return std::nullopt;
    const std::size_t start = firstPosition - 1;
    const std::size_t colon = frame.find(':', start);
    if (colon == std::string_view::npos) return std::nullopt;
    return std::string(frame.substr(start, colon - start));
}

MotorName ReadMotorName(std::string_view value) {
    if (value.size() < 4) throw std::out_of_range("motor type reply too short");
    MotorName name;
    name.recognised = true;
    std::string prefix;
    if (value[1] == '_')
        prefix = Lookup(kUnderscoreSeries, value[0]);
    else if (value[0] == 'R')
        prefix = Lookup(kRSeries, value[1]);
    else
        name.recognised = false;
    name.text = prefix + Capacity(value.substr(2, 2));
    if (value.size() > 4) name.text += value.substr(4, 2);
    return name;
}

HistoryEntry ReadHistoryEntry(std::string_view frame, int row) {
    const std::size_t at = 6 + 3 * static_cast<std::size_t>(row - 1);
    if (frame.size() < at + 2) throw std::out_of_range("alarm history reply too short");
    const std::string_view entry = frame.substr(at, 2);
    if (entry == "00") return {HistoryEntry::Kind::None};
    if (entry == "FF") return {HistoryEntry::Kind::NotInitialised};
    return {HistoryEntry::Kind::Code, ReadCode(entry)};
}
