#pragma once
// The capture rules on a real engine whose port records the frames written;
// the test answers as the drive would, chunk by chunk.

#include <optional>
#include <string>
#include <vector>

#include "protocol/Frame.h"
#include "tests/protocol/EngineDoubles.h"
#include "trigger/TriggerCapture.h"

struct RecordingCaptureView : ITriggerCaptureView {
    bool sequence = false, blinking = false, escape = false, capturing = false;
    std::optional<double> progress;  // nullopt while hidden
    std::vector<double> progressShown;
    int clears = 0, pausedMs = 0;
    std::vector<std::vector<TriggerPair>> plots;
    std::vector<std::vector<TriggerGap>> gaps;  // those of each plot
    std::string note;

    void SetSequenceTimer(bool on) override { sequence = on; }
    void SetBlinking(bool on) override { blinking = on; }
    void SetEscapeTimer(bool on) override { escape = on; }
    void ShowProgress(double percent) override {
        progress = percent;
        progressShown.push_back(percent);
    }
    void HideProgress() override { progress.reset(); }
    void ClearPlot() override { ++clears; }
    void PlotCapture(const std::vector<TriggerPair>& pairs,
                     const std::vector<TriggerGap>& breaks) override {
        plots.push_back(pairs);
        gaps.push_back(breaks);
    }
    void ShowNote(const std::string& text) override { note = text; }
    void ShowCapturing(bool on) override { capturing = on; }
    void PauseMs(int ms) override { pausedMs += ms; }
};

struct CaptureRig : ITriggerWindow {
    FakePort port;
    FakeHooks hooks;
    TComm comm{port, hooks};
    RecordingCaptureView view;
    TriggerCapture capture{comm, view};

    CaptureRig() {
        comm.TriggerRef = this;
        comm.ActiveWindow = TriggerActive;
    }
    void SetLinkControls(bool) override {}
    void ReadTriggerCapture() override { capture.ReadTriggerCapture(); }

    // The requests written, as mnemonic + data ("MOT00").
    std::vector<std::string> Sent() const {
        std::vector<std::string> sent;
        for (const std::string& frame : port.written)
            sent.push_back(frame.substr(3, frame.find(':') - 3));
        return sent;
    }
    std::string LastSent() const { return Sent().empty() ? "" : Sent().back(); }
    void Ticks(int n = 1) {
        for (int i = 0; i < n; ++i)
            if (view.sequence) capture.SequenceTick();
    }
    void EscapeTicks(int n) {
        for (int i = 0; i < n; ++i)
            if (view.escape) capture.EscapeTick();
    }
    void Answer(const std::string& chunk) { comm.HandleChunk(chunk); }
    void Ack() { Answer(Byte(Frame::ACK)); }
    void Data(std::string_view body) { Answer(Reply(body)); }

    // START, the set-up acknowledged, the first data request out.
    void Arm(int blocks, double period = 0.0002) {
        capture.Start("SETUP", blocks, period);
        Ticks();
        Ack();
        Ticks();
    }
};
