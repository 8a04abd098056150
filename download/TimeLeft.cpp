#include "download/TimeLeft.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

void TimeLeft::Update(std::uint64_t bytes, Clock::time_point now) {
    bytes_ = std::min(bytes, total_);
    elapsed_ = std::max(now - start_, Clock::duration::zero());
}

double TimeLeft::Percent() const {
    if (total_ == 0) return 100.0;
    return 100.0 * static_cast<double>(bytes_) / static_cast<double>(total_);
}

std::optional<std::chrono::seconds> TimeLeft::Remaining() const {
    if (bytes_ >= total_) return std::chrono::seconds(0);
    if (bytes_ == 0 || elapsed_ < kSettleTime) return std::nullopt;
    const double secondsPerByte =
        std::chrono::duration<double>(elapsed_).count() / static_cast<double>(bytes_);
    const double left = secondsPerByte * static_cast<double>(total_ - bytes_);
    return std::chrono::seconds(static_cast<std::int64_t>(std::ceil(left)));
}

std::string TimeLeft::PercentText(double percent) {
    return std::to_string(static_cast<int>(std::floor(std::clamp(percent, 0.0, 100.0)))) + " %";
}

std::string TimeLeft::DurationText(std::optional<std::chrono::seconds> remaining) {
    if (!remaining) return {};
    const auto total = std::max<std::int64_t>(remaining->count(), 0);
    const auto hours = total / 3600, minutes = total / 60 % 60, seconds = total % 60;
    char text[32];
    if (hours > 0)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(hours),
                      static_cast<long long>(minutes), static_cast<long long>(seconds));
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(minutes),
                      static_cast<long long>(seconds));
    return text;
}
