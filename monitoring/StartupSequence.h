#pragma once
// The monitoring window's start-up sequence, one tick at a time: the alive
// check, motor type, version and status, and on a window's first run the
// signal assignment parameters Pr-0.05 .. Pr-0.11. Every step whose
// condition holds runs in one tick, in step order.

#include "monitoring/MonitorLink.h"

class StartupSequence {
  public:
    // What the sequence asks of the window besides sending.
    class IWindow {
      public:
        virtual ~IWindow() = default;
        virtual void ApplyIoAssignment(int parameter, const std::string& value) = 0;
        // The sequence has completed: enable the controls, stop the channel.
        virtual void StartupComplete() = 0;
    };

    static constexpr int kDone = 12;

    int PollStep = 0;
    bool ReadIoAssignment = true;

    void Tick(IMonitorLink& link, IWindow& window);
};
