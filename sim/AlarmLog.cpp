#include "sim/AlarmLog.h"

#include <algorithm>
#include <cmath>
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

constexpr double kRatedAmps = 2.0;      // rms at 100 % torque
constexpr double kDcLinkVolts = 311.0;  // a rectified 220 V supply
constexpr double kVoltsPerWatt = 0.05;  // the link capacitor's rise under regeneration
constexpr double kRatedWatts = 400.0;   // the motor's power at 100 % torque and 3000 rpm
constexpr double kPi = 3.14159265358979323846;

}  // namespace

// Three phase currents 120 degrees apart on the electrical angle; a braking
// motor feeds power back, which lifts the DC link and flows into the
// regeneration resistor.
AlarmLog::Sample AlarmLog::SampleOf(const MotorState& state) {
    const double peak = kRatedAmps * std::sqrt(2.0) * state.torqueCommand / 100.0;
    const double angle = state.electricalAngle * kPi / 180.0;
    const double power = state.torqueCommand / 100.0 * state.speedFeedback / 3000.0 * kRatedWatts;
    const double regenerated = std::max(0.0, -power);
    return {peak * std::sin(angle),
            peak * std::sin(angle - 2 * kPi / 3),
            peak * std::sin(angle + 2 * kPi / 3),
            state.torqueCommand,
            state.speedFeedback,
            state.positionError,
            kDcLinkVolts + regenerated * kVoltsPerWatt,
            regenerated / kDcLinkVolts};
}

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
