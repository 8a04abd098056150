#include "trigger/TriggerCapture.h"

#include <charconv>
#include <stdexcept>
#include <string_view>

#include "protocol/Commands.h"

namespace {

const std::string kBusy = "BSY", kReady = "TOK";
const std::string kMot(Cmd::MOT), kEsc(Cmd::ESC);

std::string BlockText(int block) {
    return (block < 10 ? "0" : "") + std::to_string(block);
}

// A sample as the drive sends it: an optionally signed decimal integer.
int ReadSample(std::string_view field) {
    while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
    while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
    if (!field.empty() && field.front() == '+') field.remove_prefix(1);
    int value = 0;
    auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (field.empty() || error != std::errc() || end != field.data() + field.size())
        throw std::invalid_argument("trigger sample is not an integer");
    return value;
}

}  // namespace

void TriggerCapture::Start(const std::string& setup, int blocks, double sampleSeconds) {
    view_.ShowCapturing(true);
    capturing_ = true;
    view_.ClearPlot();
    setup_ = setup;
    blocks_ = std::max(blocks, 1);
    sampleSeconds_ = sampleSeconds;
    progressStep_ = 100.0 / blocks_;
    ResetRecording();
    comm_.SendData.Command = kMot;
    comm_.SendData.Data = setup_;
    step_ = 0;
    // An ESC still owed to an earlier STOP would disarm this capture.
    escapePending_ = false;
    view_.SetEscapeTimer(false);
    // An exchange still in flight is left to finish; the sequence waits for it.
    if (LinkFree()) comm_.LinkState = Idle;
    sequenceOn_ = true;
    view_.SetSequenceTimer(true);
}

void TriggerCapture::ResetRecording() {
    blockCount_ = 0;
    emptyBlocks_ = 0;
    samples_.clear();
    progress_ = 0;
}

void TriggerCapture::SequenceTick() {
    if (!sequenceOn_) return;
    if (nomal_) {
        if (comm_.ContinuationKind != 0 || !LinkFree()) return;
        if (step_ == 0) {
            view_.SetBlinking(true);
            view_.HideProgress();
            ResetRecording();
            SendSetup();
            step_ = 1;
        } else {
            RequestData();
            step_ = 0;
        }
        return;
    }
    view_.SetBlinking(true);
    if (!LinkFree()) return;
    if (step_ == 0) {
        SendSetup();
        step_ = 1;
    } else {
        RequestData();
        sequenceOn_ = false;
        view_.SetSequenceTimer(false);
    }
}

void TriggerCapture::SendSetup() {
    comm_.Request(kMot, setup_, AwaitAck);
    if (comm_.LastSendFailed) return EndCapture();
}

void TriggerCapture::RequestData() {
    comm_.ContinuationKind = 3;
    Poll({});
}

void TriggerCapture::Poll(const std::string& data) {
    comm_.Request(kMot, data, AwaitData);
    // Re-arming would only meet the same dead port again.
    if (comm_.LastSendFailed) {
        comm_.ContinuationKind = 0;
        return EndCapture();
    }
}

// A reply the decoder refused leaves the previous value in ReadData.
bool TriggerCapture::ReplyRejected() const {
    return comm_.LinkState == ReplyDone && comm_.CommError == 1;
}

void TriggerCapture::ReadTriggerCapture() {
    if (ReplyRejected()) {
        comm_.AbortExchange();
        return;
    }
    const std::string value = comm_.ReadData.Data;
    if (value == kBusy) return Poll({});
    if (value == kReady) return Poll("00");
    view_.SetBlinking(false);
    view_.ShowProgress(progress_);
    StoreBlock(value);
    ++blockCount_;
    if (blockCount_ < blocks_) {
        progress_ += progressStep_;
        view_.ShowProgress(progress_);
        return Poll(BlockText(blockCount_));
    }
    FinishRecording();
}

// The value starts with the three characters of the echo; the samples follow,
// separated by '&'. A block adds whole channel pairs or nothing: a US reply
// arrives as an empty value.
void TriggerCapture::StoreBlock(const std::string& value) {
    if (value.size() <= 3) {
        ++emptyBlocks_;
        return;
    }
    std::vector<int> block;
    std::string_view rest = std::string_view(value).substr(3);
    for (;;) {
        const std::size_t amp = rest.find('&');
        block.push_back(ReadSample(rest.substr(0, amp)));
        if (amp == std::string_view::npos) break;
        rest.remove_prefix(amp + 1);
    }
    if (samples_.size() + block.size() > kMaxSamples)
        throw std::length_error("trigger recording longer than the window holds");
    if (block.size() % 2 != 0)
        throw std::invalid_argument("trigger block ends inside a channel pair");
    samples_.insert(samples_.end(), block.begin(), block.end());
}

void TriggerCapture::FinishRecording() {
    if (nomal_) view_.ClearPlot();
    std::vector<TriggerPair>& pairs = lastRecording_;
    pairs.clear();
    pairs.reserve(samples_.size() / 2);
    for (std::size_t i = 0; i + 1 < samples_.size(); i += 2)
        pairs.push_back(
            {static_cast<double>(i / 2) * sampleSeconds_, samples_[i], samples_[i + 1]});
    ++recordings_;
    view_.PlotCapture(pairs);
    comm_.ContinuationKind = 0;
    view_.HideProgress();
    comm_.LinkState = Idle;
    if (!nomal_) EndCapture();
}

void TriggerCapture::EndCapture() {
    sequenceOn_ = false;
    view_.SetSequenceTimer(false);
    view_.SetBlinking(false);
    capturing_ = false;
    view_.ShowCapturing(false);
}

void TriggerCapture::Stop() {
    comm_.ContinuationKind = 0;
    view_.HideProgress();
    EndCapture();
    stopTicks_ = 0;
    escapePending_ = true;
    view_.SetEscapeTimer(true);
}

// The drive is disarmed once the link is free: an ESC sent over a reply still
// on its way would take that reply for its own answer.
void TriggerCapture::EscapeTick() {
    if (!escapePending_) return;
    if (stopTicks_ > kEscapeTick - 2 && SendEscape()) {
        escapePending_ = false;
        stopTicks_ = 0;
        view_.SetEscapeTimer(false);
        return;
    }
    ++stopTicks_;
}

bool TriggerCapture::SendEscape() {
    if (!LinkFree()) return false;
    comm_.Request(kEsc, {});
    return true;
}

void TriggerCapture::FormDeactivate() {
    if (Running()) {
        comm_.ContinuationKind = 0;
        view_.HideProgress();
        EndCapture();
        view_.PauseMs(100);
        if (!SendEscape()) {
            // Sent by the escape timer as soon as the link is free.
            escapePending_ = true;
            stopTicks_ = kEscapeTick - 1;
            view_.SetEscapeTimer(true);
        }
    }
    comm_.SuppressSwitchEvents = 0;
}

void TriggerCapture::Exit() {
    if (Running()) Stop();
    escapePending_ = false;
    view_.SetEscapeTimer(false);
    view_.PauseMs(100);
}
