#pragma once
// Test doubles around the transaction engine: an in-memory port, recording
// hooks and a recording block reader / monitoring window.

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "protocol/Comm.h"
#include "protocol/Frame.h"

struct FakePort : ILinkPort {
    bool open = true;
    bool failWrites = false;
    std::vector<std::string> written;
    bool Connected() const override { return open; }
    void PortWrite(const std::string& bytes) override {
        if (failWrites) throw std::runtime_error("WriteFile function failed");
        written.push_back(bytes);
    }
};

struct FakeHooks : IEngineHooks {
    std::string status;
    bool led = false;
    bool timer = false;
    std::vector<std::string> warnings;
    int pausedMs = 0;
    // Runs while a warning box is open, as the event loop of a modal box would.
    std::function<void()> whileWarning;
    void SetStatusText(const std::string& text) override { status = text; }
    void SetCommLed(bool on) override { led = on; }
    void SetTimeoutTimer(bool enabled) override { timer = enabled; }
    void ShowWarning(const std::string& text) override {
        warnings.push_back(text);
        if (whileWarning) std::exchange(whileWarning, {})();
    }
    void RestoreCursor() override {}
    void PauseMs(int ms) override { pausedMs += ms; }
};

// A block reader that records its steps and, like the real ones, sends the next address.
struct RecordingReader : IParameterEditor {
    TComm* comm = nullptr;
    std::vector<std::string> values;
    int rollBacks = 0;
    int sendNext = 0;  // further requests to send from BlockReadStep
    void BlockReadStep() override {
        values.push_back(comm->ReadData.Data);
        if (sendNext-- > 0) {
            comm->SendCommand(comm->SendData.Command, "001");
            comm->LinkState = AwaitData;
        } else {
            comm->ContinuationKind = 0;
            comm->LinkState = Idle;
        }
    }
    void RollBackRefusedWrite() override { ++rollBacks; }
};

struct RecordingMonitor : IMonitorWindow {
    std::vector<bool> linkControls;
    int stops = 0, pollStops = 0, shows = 0, streams = 0, acknowledged = 0;
    bool manualOffset = false;
    std::string motor, version;
    std::vector<StatusReply> statuses;
    void SetLinkControls(bool enabled) override { linkControls.push_back(enabled); }
    void StopOnAbort() override { ++stops; }
    void StopPollTimer() override { ++pollStops; }
    void AcknowledgeAlarm() override { ++acknowledged; }
    bool ManualOffsetActive() const override { return manualOffset; }
    void ShowMonitorValues() override { ++shows; }
    void ReadMonitorStream() override { ++streams; }
    void ShowMotorName(const std::string& name) override { motor = name; }
    void ShowVersion(const std::string& v) override { version = v; }
    void ShowDriveStatus(const StatusReply& status) override { statuses.push_back(status); }
};

// The engine with its doubles, and the caller's side of the send protocol.
struct EngineRig {
    FakePort port;
    FakeHooks hooks;
    TComm comm{port, hooks};

    void Send(std::string_view command, std::string_view data, std::uint8_t awaited) {
        comm.SendData.Command = std::string(command);
        comm.SendData.Data = std::string(data);
        comm.SendCommand(std::string(command), std::string(data));
        comm.LinkState = awaited;
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i)
            if (hooks.timer) comm.HandleTimeout();
    }
};

inline std::string Reply(std::string_view body) {
    return Frame::BuildReply('R', body);
}
inline std::string Byte(char c) {
    return std::string(1, c);
}
