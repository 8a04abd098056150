#include "monitoring/MonitorValues.h"

#include <charconv>
#include <cstdlib>
#include <stdexcept>

std::vector<std::string> SplitMonitorFields(std::string_view value) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t amp = value.find('&', start);
        if (fields.size() == kMaxMonitorFields) throw std::out_of_range("more than five fields");
        fields.emplace_back(value.substr(start, amp == value.npos ? value.npos : amp - start));
        if (amp == value.npos) return fields;
        start = amp + 1;
    }
}

unsigned ReadIoWord(std::string_view field) {
    while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
    while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
    unsigned word = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), word, 16);
    if (field.empty() || error != std::errc() || end != field.data() + field.size() ||
        word > 0xFFFF)
        throw std::invalid_argument("I/O word is not a hexadecimal 0..FFFF");
    return word;
}

double ReadMonitorNumber(std::string_view field) {
    const std::string text(field);
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    while (end && *end == ' ') ++end;
    if (text.empty() || end == text.c_str() || *end != '\0')
        throw std::invalid_argument("monitor value is not a number");
    return value;
}

DirectionArrows ArrowsFor(double value) {
    if (value > 0) return {true, false};
    if (value < 0) return {false, true};
    return {};
}

MonitorView ReadMonitorValues(std::string_view value, const MonitorLayout& layout) {
    const std::vector<std::string> fields = SplitMonitorFields(value);
    MonitorView view;
    std::size_t used = 0;
    for (int s = 1; s <= 4; ++s) {
        const int slot = layout.normalMode ? s : 4 + s;
        if (layout.codes[static_cast<std::size_t>(slot)].empty()) continue;
        if (layout.normalMode && layout.page != 0) continue;
        const std::string& field = fields.at(used);
        if (layout.normalMode || layout.page == 0) {
            view.digits[static_cast<std::size_t>(slot)] = field;
            if (!layout.normalMode && s == 1) view.arrows = ArrowsFor(ReadMonitorNumber(field));
        } else if (layout.page == 1) {
            view.graphValues.push_back(ReadMonitorNumber(field));
        }
        ++used;
    }
    if (layout.ioBox) view.ioWord = ReadIoWord(fields.back());
    return view;
}
