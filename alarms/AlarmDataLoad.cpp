#include "alarms/AlarmDataLoad.h"

#include "protocol/Commands.h"

namespace {
constexpr int kLastPhase = AlarmData::kSelectors;
}

void AlarmDataLoad::Start(const std::array<int, AlarmData::kSelectors>& selectorIndex) {
    for (int k = 0; k < AlarmData::kSelectors; ++k)
        AlarmDataCodes[k] = AlarmData::QuantityCode(selectorIndex[k]);
    AlarmDataPhase = 0;
    AlarmDataChannel = 0;
    requested_.clear();
    comm_.SendData.Axis.assign(1, '0');
    running_ = true;
}

bool AlarmDataLoad::EngineFree() const {
    return comm_.LinkState == Idle || comm_.LinkState == ReplyDone;
}

// Each phase acts only on a free engine; one that has sent leaves the engine
// busy, so the phases after it wait for a later tick.
bool AlarmDataLoad::Tick() {
    if (!running_) return false;
    for (int phase = 0; phase < kLastPhase; ++phase) {
        if (AlarmDataPhase != phase || !EngineFree()) continue;
        if (AlarmDataCodes[phase] == "00") {
            AlarmDataPhase = phase + 1;
            return true;
        }
        RequestPhase(phase);
    }
    if (AlarmDataPhase == kLastPhase && EngineFree()) {
        PlotLastReply();
        running_ = false;
    }
    return running_;
}

void AlarmDataLoad::RequestPhase(int phase) {
    if (phase > 0) PlotLastReply();
    requested_ = AlarmDataCodes[phase] + "00";
    comm_.Request(Cmd::DIE, requested_);
    ++AlarmDataChannel;
    AlarmDataPhase = phase + 1;
}

// The engine ends an accepted reply in ReplyDone without an error; a failed
// exchange leaves ReadData holding an older value, which is not this channel's.
bool AlarmDataLoad::ReplyArrived() const {
    return comm_.LinkState == ReplyDone && comm_.CommError == 0 &&
           comm_.SendData.Command == Cmd::DIE && comm_.SendData.Data == requested_;
}

void AlarmDataLoad::PlotLastReply() {
    if (AlarmDataChannel == 0) return;
    if (!ReplyArrived()) {
        plot_(AlarmDataChannel - 1, nullptr);
        return;
    }
    const AlarmSamples samples = ParseAlarmSamples(comm_.ReadData.Data);
    plot_(AlarmDataChannel - 1, &samples);
}
