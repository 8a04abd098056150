#pragma once
// The trigger window's capture rules without its widgets: the step machine
// that arms the drive and asks for data, the continuation reader that polls
// BSY/TOK and reads the numbered sample blocks, STOP with its delayed ESC, and
// what deactivation and EXIT do to a running capture. The window forwards its
// timer ticks and button clicks here and shows what the view calls ask for.

#include <cstdint>
#include <string>
#include <vector>

#include "protocol/Comm.h"
#include "trigger/TriggerRecording.h"

// What the capture rules ask of the window.
class ITriggerCaptureView {
  public:
    virtual ~ITriggerCaptureView() = default;
    virtual void SetSequenceTimer(bool on) = 0;     // ThreadTimers_Trigger channel 1, 10 ms
    virtual void SetBlinking(bool on) = 0;          // channel 2 and "Start triggering....."
    virtual void SetEscapeTimer(bool on) = 0;       // channel 9, 50 ms
    virtual void ShowProgress(double percent) = 0;  // LedBar1_Trigger shown at this value
    virtual void HideProgress() = 0;
    virtual void ClearPlot() = 0;
    // The line of each channel breaks at the gaps.
    virtual void PlotCapture(const std::vector<TriggerPair>& pairs,
                             const std::vector<TriggerGap>& gaps) = 0;
    // A word on the recording shown (its empty blocks); empty: nothing to say.
    virtual void ShowNote(const std::string& note) = 0;
    // Caption "STOP" and the mode toggle, axis rocker and RESET disabled (true),
    // or caption "START" and those enabled (false).
    virtual void ShowCapturing(bool capturing) = 0;
    virtual void PauseMs(int ms) = 0;
};

class TriggerCapture {
  public:
    static constexpr int kMaxSamples = 1501;  // TriggerSamples[0..1500]
    static constexpr int kEscapeTick = 5;     // ESC goes out on this 50 ms tick after STOP

    TriggerCapture(TComm& comm, ITriggerCaptureView& view) : comm_(comm), view_(view) {}

    // START with the set-up string, the number of blocks and the sample period.
    void Start(const std::string& setup, int blocks, double sampleSeconds);
    // STOP: the chain ends now, ESC follows on the fifth tick of the escape timer.
    void Stop();
    // "Nomal" (true) re-arms after every recording until STOP; "Single" makes one.
    void SetNomal(bool nomal) { nomal_ = nomal; }
    bool Nomal() const { return nomal_; }

    void SequenceTick();  // channel 1
    void EscapeTick();    // channel 9
    void ReadTriggerCapture();
    void FormDeactivate();
    // EXIT: a running capture is stopped; its delayed ESC is not sent.
    void Exit();

    // Channel 1 on or the caption "STOP".
    bool Running() const { return sequenceOn_ || capturing_; }
    int TriggerStep() const { return step_; }
    int TriggerBlockCount() const { return blockCount_; }
    int TriggerSampleCount() const { return static_cast<int>(samples_.size()); }
    double TriggerProgress() const { return progress_; }
    const std::vector<int>& TriggerSamples() const { return samples_; }
    // Blocks of the recording read so far that the drive answered empty.
    int EmptyBlocks() const;
    // The recording plotted last, and how many were completed since the window opened.
    const std::vector<TriggerPair>& LastRecording() const { return lastRecording_; }
    int RecordingsCompleted() const { return recordings_; }

  private:
    bool LinkFree() const { return comm_.LinkState == Idle || comm_.LinkState == ReplyDone; }
    bool ReplyRejected() const;
    void ResetRecording();
    void SendSetup();
    void RequestData();
    void Poll(const std::string& data);
    void StoreBlock(const std::string& value);
    void FinishRecording();
    void EndCapture();
    bool SendEscape();

    TComm& comm_;
    ITriggerCaptureView& view_;
    std::string setup_;
    int blocks_ = 1;
    double sampleSeconds_ = 0.0002;
    bool nomal_ = false;
    bool sequenceOn_ = false;
    bool capturing_ = false;
    bool escapePending_ = false;
    int step_ = 0;
    int stopTicks_ = 0;
    std::vector<int> samples_;
    std::vector<int> blockPairs_;  // pairs each block brought; 0 for an empty one
    int blockCount_ = 0;
    double progress_ = 0;
    double progressStep_ = 100;
    std::vector<TriggerPair> lastRecording_;
    int recordings_ = 0;
};
