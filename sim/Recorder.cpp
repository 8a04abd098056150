#include "sim/Recorder.h"

#include <charconv>
#include <cmath>

namespace {

std::optional<int> Number(std::string_view text) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return {};
    return value;
}

bool InRange(const std::optional<int>& value, int low, int high) {
    return value && *value >= low && *value <= high;
}

int Sample(double value) {
    return static_cast<int>(std::lround(value));
}

}  // namespace

// ch1(2) ch2(2) source(3) division(2) number(2) edge(1) point(1) [level]
std::optional<Recorder::Setup> Recorder::ParseSetup(std::string_view text) {
    if (text.size() < 13) return {};
    const auto ch1 = Number(text.substr(0, 2)), ch2 = Number(text.substr(2, 2));
    const auto source = Number(text.substr(4, 3));
    const auto division = Number(text.substr(7, 2)), number = Number(text.substr(9, 2));
    const auto edge = Number(text.substr(11, 1)), point = Number(text.substr(12, 1));
    const std::string_view levelText = text.substr(13);
    const auto level = levelText.empty() ? std::optional<int>(0) : Number(levelText);
    if (!InRange(ch1, 0, kSignals - 1) || !InRange(ch2, 0, kSignals - 1) ||
        !InRange(division, 1, 99) || !InRange(number, 1, 30) || !InRange(edge, 1, 2) ||
        !InRange(point, 1, 9) || !InRange(level, -9999, 9999) || !source)
        return {};
    Setup setup{.channel1 = *ch1,
                .channel2 = *ch2,
                .division = *division,
                .number = *number,
                .positiveEdge = *edge == 1,
                .point = *point,
                .level = *level};
    if (InRange(source, 101, 100 + kIoBits)) {
        setup.ioSource = true;
        setup.source = *source - 101;
    } else if (InRange(source, 0, kSignals - 1)) {
        setup.source = *source;
    } else {
        return {};
    }
    return setup;
}

void Recorder::Arm(const Setup& setup, double now) {
    setup_ = setup;
    armed_ = true;
    period_ = setup.division * kUnitSeconds;
    nextSample_ = now;
    previous_.reset();
    pairs_.clear();
    sampledSinceArm_ = 0;
    triggeredAt_.reset();
}

void Recorder::Disarm() {
    armed_ = false;
    pairs_.clear();
    triggeredAt_.reset();
}

void Recorder::CatchUp(double now, const Sampler& sampler) {
    while (armed_ && !Complete() && nextSample_ <= now) {
        TakeSample(sampler(nextSample_), nextSample_);
        ++sampledSinceArm_;
        // Counted from the arming time, so the steps never drift.
        nextSample_ += period_;
    }
}

void Recorder::TakeSample(const Signals& now, double time) {
    pairs_.push_back({Sample(now.data[setup_.channel1]), Sample(now.data[setup_.channel2])});
    if (!Triggered()) {
        const bool ready = sampledSinceArm_ >= PreTriggerPairs();
        if (ready && EdgeAt(now)) {
            triggeredAt_ = time;
        } else {
            // Before the trigger only the part the trigger point keeps is held.
            while (pairs_.size() > PreTriggerPairs()) pairs_.pop_front();
        }
    }
    previous_ = now;
}

// The drive compares the integer it records, so a sample shown as the level has reached it.
double Recorder::SourceValue(const Signals& s) const {
    if (setup_.ioSource) return (s.io >> setup_.source) & 1u;
    return Sample(s.data[setup_.source]);
}

bool Recorder::EdgeAt(const Signals& now) const {
    switch (trigger_) {
        case Trigger::Never:
            return false;
        case Trigger::AtOnce:
            return true;
        case Trigger::OnCondition:
            break;
    }
    if (!previous_) return false;
    const double before = SourceValue(*previous_), after = SourceValue(now);
    const double level = setup_.ioSource ? 0.5 : setup_.level;
    return setup_.positiveEdge ? before < level && after >= level
                               : before > level && after <= level;
}

std::optional<std::string> Recorder::Block(int index) const {
    if (!Complete() || index < 0 || index >= setup_.number) return {};
    std::string block;
    const std::size_t begin = static_cast<std::size_t>(index) * kPairsPerBlock;
    for (std::size_t i = begin; i < begin + kPairsPerBlock; ++i) {
        if (!block.empty()) block += '&';
        block += std::to_string(pairs_[i].first) + '&' + std::to_string(pairs_[i].second);
    }
    return block;
}
