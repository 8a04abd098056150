#pragma once
// The LOAD sequence of the alarm history window: one DIE request for each
// selected quantity, one at a time whenever the engine is free, each reply
// plotted on its own channel before the next request goes out. A timer ticks
// it; four phases, one per request and a last one that plots the final reply.

#include <array>
#include <functional>
#include <string>

#include "alarms/AlarmData.h"
#include "protocol/Comm.h"

class AlarmDataLoad {
  public:
    // A reply for plot channel `channel` (0-based). `samples` is nullptr when
    // its exchange failed: the channel then stays empty.
    using PlotReply = std::function<void(int channel, const AlarmSamples* samples)>;

    AlarmDataLoad(TComm& comm, PlotReply plot) : comm_(comm), plot_(std::move(plot)) {}

    // Starts over from phase 0 with the quantities of the three selectors.
    void Start(const std::array<int, AlarmData::kSelectors>& selectorIndex);
    // One timer tick; false once the last reply is plotted (the timer stops).
    bool Tick();
    // Ends the sequence where it stands; a request already sent is left to finish.
    void Stop() { running_ = false; }

    bool Running() const { return running_; }
    int Phase() const { return AlarmDataPhase; }
    int Channel() const { return AlarmDataChannel; }
    const std::array<std::string, AlarmData::kSelectors>& Codes() const { return AlarmDataCodes; }

  private:
    bool EngineFree() const;
    // Phases 0..2: request the quantity of selector `phase`, after plotting the previous reply.
    void RequestPhase(int phase);
    void PlotLastReply();
    bool ReplyArrived() const;

    TComm& comm_;
    PlotReply plot_;
    std::array<std::string, AlarmData::kSelectors> AlarmDataCodes{"00", "00", "00"};
    int AlarmDataPhase = 0;
    int AlarmDataChannel = 0;
    std::string requested_;  // data of the DIE request whose reply is awaited
    bool running_ = false;
};
