#include "monitoring/IoSignals.h"

namespace {

struct AssignmentRow {
    int parameter;
    bool outputs;
    std::array<std::string_view, 4> signals;  // empty: the position is not read
};

constexpr AssignmentRow kAssignments[] = {
    {5, false, {"/P-CON", "N-OT", "P-OT", "/SV-ON"}},
    {6, false, {"/C-SEL", "/P-LT", "/N-TL", "/A-RST"}},
    {7, false, {"/C-SP3", "/C-SP2", "/C-SP1", "/C-DIR"}},
    {8, false, {"/P-CLR", "/G-SEL", "/INHIB", "/Z-CLP"}},
    {9, false, {"", "", "", "/ABS-DT"}},
    {10, true, {"/V-COM", "/BK", "/TG-ON", "/P-COM"}},
    {11, true, {"/WARN", "/NEAR", "/V-LMT", "/T-LMT"}},
};

}  // namespace

IoSignalNames::IoSignalNames() {
    for (int pin = 1; pin <= 7; ++pin)
        labels_[static_cast<std::size_t>(pin - 1)] = "DI#" + std::to_string(pin);
    for (int pin = 1; pin <= 3; ++pin)
        labels_[static_cast<std::size_t>(6 + pin)] = "DO#" + std::to_string(pin);
}

void IoSignalNames::ApplyIoAssignment(int parameter, std::string_view value) {
    for (const AssignmentRow& row : kAssignments) {
        if (row.parameter != parameter) continue;
        for (std::size_t position = 0; position < row.signals.size(); ++position) {
            if (row.signals[position].empty() || position >= value.size()) continue;
            const char c = value[position];
            if (c < '0' || c > '9') continue;
            const int pin = c - '0';
            const int pins = row.outputs ? 3 : 7;
            if (pin < 1 || pin > pins) continue;
            labels_[static_cast<std::size_t>((row.outputs ? 7 : 0) + pin - 1)] =
                row.signals[position];
        }
    }
}

std::array<std::string, IoSignalNames::kLeds> IoSignalNames::Captions() const {
    return {labels_[0], labels_[1], labels_[2], labels_[3], labels_[4], labels_[5],
            labels_[6], "E-STOP",   labels_[7], labels_[8], labels_[9], "S-ALM"};
}

IoSignalNames& IoLabels() {
    static IoSignalNames names;
    return names;
}

std::array<bool, IoSignalNames::kLeds> IoLeds(unsigned word) {
    std::array<bool, IoSignalNames::kLeds> leds{};
    for (std::size_t bit = 0; bit < leds.size(); ++bit) leds[bit] = (word >> bit) & 1U;
    return leds;
}
