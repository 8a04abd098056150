#include "monitoring/MonitorStream.h"

#include <charconv>
#include <cmath>
#include <cstdio>

std::string StreamRequestData(int timeSelect, std::span<const std::string> codes) {
    char time[8];
    std::snprintf(time, sizeof time, "%02d", timeSelect);
    std::string data = time;
    for (const std::string& code : codes) data += code;
    return data;
}

int StreamBudget(int intervalMs, int timeSelect) {
    return timeSelect > 0 ? intervalMs / timeSelect + 10 : 10;
}

void StreamRing::Reset(int channels) {
    channels_ = channels < 1 ? 1 : (channels > 2 ? 2 : channels);
    write_ = read_ = count_ = 0;
    slots_[0] = {};
}

void StreamRing::ResetCounts() {
    overwritten_ = written_ = 0;
}

void StreamRing::Write(std::string_view value) {
    std::size_t channel = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = value.find('&', start);
        const std::string_view field =
            value.substr(start, end == std::string_view::npos ? end : end - start);
        slots_[static_cast<std::size_t>(write_)][channel] = std::string(field);
        if (end == std::string_view::npos) {
            // The last field completes a sample even when a channel of it is missing.
            for (std::size_t c = channel + 1; c < slots_[0].size(); ++c)
                slots_[static_cast<std::size_t>(write_)][c].clear();
            Advance();
            return;
        }
        if (static_cast<int>(channel) + 1 >= channels_) {
            channel = 0;
            Advance();
        } else {
            ++channel;
        }
        start = end + 1;
    }
}

void StreamRing::Advance() {
    write_ = (write_ + 1) % kSlots;
    ++written_;
    if (count_ == kSlots) {
        read_ = (read_ + 1) % kSlots;  // the oldest unplotted sample is gone
        ++overwritten_;
    } else {
        ++count_;
    }
}

StreamSample StreamRing::Take() {
    if (count_ == 0) return {};
    StreamSample sample = std::move(slots_[static_cast<std::size_t>(read_)]);
    read_ = (read_ + 1) % kSlots;
    --count_;
    return sample;
}

std::optional<double> StreamValue(std::string_view field) {
    while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
    while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
    if (!field.empty() && field.front() == '+') field.remove_prefix(1);
    double value = 0.0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (field.empty() || error != std::errc{} || end != field.data() + field.size() ||
        !std::isfinite(value))
        return std::nullopt;
    return value;
}

void StreamRate::Arrived(std::int64_t ms, int samples) {
    if (samples > 0) arrivals_.emplace_back(ms, samples);
}

std::optional<double> StreamRate::PeriodMs(std::int64_t ms) {
    while (!arrivals_.empty() && arrivals_.front().first <= ms - 1000) arrivals_.pop_front();
    long total = 0;
    for (const auto& arrival : arrivals_) total += arrival.second;
    if (total == 0) return std::nullopt;
    return 1000.0 / static_cast<double>(total);
}

std::string StreamStatusText(std::optional<double> periodMs, int requestedMs,
                             std::int64_t overwritten, std::int64_t unplottable) {
    char period[32] = "-";
    if (periodMs) std::snprintf(period, sizeof period, "%.2f ms", *periodMs);
    char text[160];
    std::snprintf(text, sizeof text,
                  "Sample period %s (requested %d ms)   Overwritten %lld   Unplottable %lld",
                  period, requestedMs, static_cast<long long>(overwritten),
                  static_cast<long long>(unplottable));
    return text;
}
