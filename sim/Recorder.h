#pragma once
// The drive's triggered recorder. A MOT set-up arms it: from then on it samples
// the two chosen signals every division x 200 us, watches the chosen source (a
// data signal against the level, or an I/O bit) for the chosen edge, keeps
// the part before the trigger that the trigger point asks for, and completes
// the record number x 10 sample pairs long. Polls are answered BSY until the
// record is complete, then TOK; the record is read in blocks of ten pairs.
//
// Trigger point p puts the trigger (p - 1) x 10 % into the record. A trigger
// is only taken once that much has been sampled since arming.
//
// Sampling is lazy: CatchUp(now, sampler) samples every period up to `now`
// through the sampler, which must be able to step forward through time (a
// motor model). The sampler is passed in, not kept, so a recorder can be
// copied and moved with the drive that owns it.

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class Recorder {
  public:
    static constexpr int kSignals = 10;  // the channel and data source codes 0..9
    static constexpr int kIoBits = 12;   // the I/O source codes 101..112
    static constexpr int kPairsPerBlock = 10;
    static constexpr double kUnitSeconds = 0.0002;

    struct Signals {
        std::array<double, kSignals> data{};
        std::uint16_t io = 0;  // bit e: I/O source entry e
    };
    using Sampler = std::function<Signals(double time)>;

    enum class Trigger { OnCondition, Never, AtOnce };

    struct Setup {
        int channel1 = 0, channel2 = 1;
        bool ioSource = false;
        int source = 0;  // data signal 0..9 or I/O bit 0..11
        int division = 1, number = 30;
        bool positiveEdge = true;
        int point = 1;
        int level = 0;  // only for data sources; absent in the set-up means 0
    };
    // The set-up string of a MOT request; nullopt when malformed or out of range.
    static std::optional<Setup> ParseSetup(std::string_view text);

    explicit Recorder(Trigger trigger = Trigger::OnCondition) : trigger_(trigger) {}

    void SetTrigger(Trigger trigger) { trigger_ = trigger; }
    void Arm(const Setup& setup, double now);
    void Disarm();
    // Samples every period up to `now`.
    void CatchUp(double now, const Sampler& sampler);

    bool Armed() const { return armed_; }
    bool Triggered() const { return triggeredAt_.has_value(); }
    bool Complete() const { return armed_ && Triggered() && pairs_.size() >= RecordPairs(); }
    std::size_t RecordPairs() const { return static_cast<std::size_t>(setup_.number) * 10; }
    std::size_t PreTriggerPairs() const { return RecordPairs() * (setup_.point - 1) / 10; }
    // Block `index` (0-based) as "v1&v2&v1&v2..."; nullopt outside the record or before it is
    // complete.
    std::optional<std::string> Block(int index) const;
    // The time of the sample the trigger was taken on.
    std::optional<double> TriggerTime() const { return triggeredAt_; }

  private:
    struct Pair {
        int first, second;
    };
    void TakeSample(const Signals& now, double time);
    bool EdgeAt(const Signals& now) const;
    double SourceValue(const Signals& s) const;

    Trigger trigger_;
    Setup setup_;
    bool armed_ = false;
    double period_ = kUnitSeconds;
    double nextSample_ = 0;
    std::optional<Signals> previous_;
    std::deque<Pair> pairs_;  // before the trigger: the last PreTriggerPairs() pairs
    std::size_t sampledSinceArm_ = 0;
    std::optional<double> triggeredAt_;
};
