#include "sim/Stream.h"

#include <cctype>

#include "sim/MonitorItems.h"

bool Stream::Start(std::string_view data, const Motor& motor, double now) {
    if (data.size() != 4 && data.size() != 6) return false;
    for (char c : data)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    const int ms = (data[0] - '0') * 10 + (data[1] - '0');
    const std::string_view codes = data.substr(2);
    if (ms < 1 || ms > 50 || !MonitorReply(codes, MotorState{}, {})) return false;
    for (std::size_t i = 0; i < codes.size(); i += 2)
        if (codes.substr(i, 2) == "15") return false;  // the I/O word is not sampled
    codes_ = std::string(codes);
    period_ = ms / 1000.0;
    start_ = now;
    index_ = 1;
    next_ = start_ + period_;
    motor_ = motor;
    backlog_.clear();
    running_ = true;
    return true;
}

void Stream::SampleUpTo(double now) {
    if (!running_) return;
    const std::size_t limit = static_cast<std::size_t>(kBacklogSeconds / period_);
    while (next_ <= now) {
        backlog_.push_back(*MonitorReply(codes_, motor_.StateAt(next_), {}));
        ++sampled_;
        if (backlog_.size() > limit) {
            backlog_.pop_front();
            ++dropped_;
        }
        ++index_;
        next_ = start_ + static_cast<double>(index_) * period_;  // no drift from summing
    }
}

std::optional<std::string> Stream::TakeReply() {
    if (backlog_.empty()) return std::nullopt;
    std::string value;
    while (!backlog_.empty()) {
        const std::string& sample = backlog_.front();
        const std::size_t size = value.size() + (value.empty() ? 0 : 1) + sample.size();
        if (!value.empty() && size > kMaxValue) break;
        if (!value.empty()) value += '&';
        value += sample;
        backlog_.pop_front();
        ++sent_;
    }
    return value;
}
