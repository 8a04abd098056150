#include "sim/AlarmLog.h"

#include <cstdio>
#include <stdexcept>

namespace {

// Decimal places a quantity is sent with.
constexpr int kDecimals[AlarmLog::kQuantities] = {3, 3, 3, 1, 1, 0, 1, 3};

std::string Format(double value, int decimals) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

}  // namespace

AlarmLog::AlarmLog(bool initialised) : entries_(kEntries, initialised ? "00" : "FF") {}

void AlarmLog::Push(int code, const std::vector<Sample>& samples) {
    if (code < 1 || code > 99) throw std::out_of_range("an alarm code must be 1..99");
    entries_.push_front({char('0' + code / 10), char('0' + code % 10)});
    entries_.pop_back();
    const std::size_t keep = std::min<std::size_t>(samples.size(), kSamples);
    samples_.assign(samples.end() - static_cast<std::ptrdiff_t>(keep), samples.end());
}

void AlarmLog::Clear() {
    entries_.assign(kEntries, "00");
    samples_.clear();
}

std::optional<std::string> AlarmLog::HistoryValue(std::string_view data) const {
    if (data != "*") return std::nullopt;
    std::string value;
    for (const std::string& entry : entries_) value += (value.empty() ? "" : "&") + entry;
    return value;
}

std::optional<std::string> AlarmLog::DataValue(std::string_view data) const {
    if (data.size() != 4 || data[0] != '0' || data.substr(2) != "00") return std::nullopt;
    const int item = data[1] - '0';
    if (item < 1 || item > kQuantities) return std::nullopt;
    std::string value;
    for (const Sample& sample : samples_) {
        if (!value.empty()) value += '&';
        value += Format(sample[item - 1], kDecimals[item - 1]);
    }
    return value;
}
