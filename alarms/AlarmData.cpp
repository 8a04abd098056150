#include "alarms/AlarmData.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

namespace AlarmData {

const std::array<std::string_view, kQuantities>& QuantityNames() {
    static constexpr std::array<std::string_view, kQuantities> kNames = {
        "No Select",
        "U-phase current[A]",
        "V-phase current[A]",
        "W-phase current[A]",
        "Torque command[%]",
        "Speed feedback[RPM]",
        "Position error[Pulse]",
        "DC-link Voltage[V]",
        "Regeneration current[A]",
    };
    return kNames;
}

std::string QuantityCode(int index) {
    if (index < 0 || index >= kQuantities) throw std::out_of_range("no such alarm data item");
    return std::string{'0', static_cast<char>('0' + index)};
}

}  // namespace AlarmData

SelectorChain ChainSelectors(std::array<int, AlarmData::kSelectors> index,
                             std::array<bool, AlarmData::kSelectors> enabled) {
    SelectorChain chain{index, enabled, false, {}};
    for (int k = 0; k < AlarmData::kSelectors; ++k) {
        const bool last = k == AlarmData::kSelectors - 1;
        if (chain.index[k] != 0) {
            chain.enabled[last ? k : k + 1] = true;
            chain.channels.push_back(chain.index[k]);
            chain.loadEnabled = true;
        } else if (!last) {
            chain.index[k + 1] = 0;
            chain.enabled[k + 1] = false;
        }
    }
    return chain;
}

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// A decimal number with an optional sign; nothing else may follow it.
std::optional<double> ReadNumber(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

}  // namespace

int AlarmSamples::PointCount() const {
    int count = 0;
    for (const auto& slot : values) count += slot.has_value();
    return count;
}

AlarmSamples ParseAlarmSamples(std::string_view value) {
    AlarmSamples samples;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = value.find('&', start);
        const std::string_view text =
            Trim(value.substr(start, end == std::string_view::npos ? value.npos : end - start));
        if (static_cast<int>(samples.values.size()) < AlarmData::kSlots) {
            std::optional<double> number = text.empty() ? std::nullopt : ReadNumber(text);
            if (!text.empty() && !number) ++samples.unreadable;
            samples.values.push_back(number);
        } else if (!text.empty()) {
            ++samples.dropped;
        }
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return samples;
}
