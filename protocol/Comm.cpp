#include "protocol/Comm.h"

#include <exception>
#include <utility>

#include "protocol/AlarmTables.h"
#include "protocol/Commands.h"
#include "protocol/Frame.h"

namespace {

char FirstByte(const std::string& chunk) {
    return chunk.empty() ? '\0' : chunk.front();
}

}  // namespace

void TComm::SendCommand(const std::string& command, const std::string& data, const std::string&) {
    // Taken before a warning box can open: a reply handled while it is open may
    // send requests of its own, and those are no copies of this one.
    const bool resend = std::exchange(resending_, false);
    ++sends_;
    LastCommand = command;
    LastData = data;
    SavedLinkState = LinkState;
    hooks_.SetCommLed(true);
    TimeoutTicks = 0;
    LastSendFailed = true;
    if (!port_.Connected()) {
        AbortExchange();
        hooks_.ShowWarning(LinkText::PortClosed);
        TransferOk = 0;
        return;
    }
    try {
        SendData.Axis = std::string(1, Frame::Station);
        std::string frame = Frame::BuildRequest(command, data);
        if (!resend) SettleLateReply();
        if (!resend && (holdingRequest_ || Owed() > 0))
            HoldBack(std::move(frame));
        else
            PutOnWire(frame, resend);
        hooks_.SetTimeoutTimer(true);
        LastSendFailed = false;
    } catch (const std::exception&) {
        // Nothing is in flight, so the LED must not claim otherwise.
        hooks_.SetCommLed(false);
        hooks_.ShowWarning(LinkText::SendFailed);
    }
}

void TComm::Request(std::string_view command, std::string_view data) {
    const CommandDef* def = FindCommand(command);
    Request(command, data, def ? def->answer : AwaitData);
}

void TComm::Request(std::string_view command, std::string_view data, std::uint8_t awaited) {
    SendData.Data = std::string(data);
    SendAwaiting(command, SendData.Data, awaited);
}

void TComm::Poll(std::string_view command, std::uint8_t awaited) {
    SendAwaiting(command, {}, awaited);
}

void TComm::SendAwaiting(std::string_view command, const std::string& data, std::uint8_t awaited) {
    SendData.Command = std::string(command);
    // An alive check is marked before it goes out (its answer may be handled
    // before SendCommand returns); one that was never sent leaves the link free.
    if (awaited == AwaitAliveAck) LinkState = AwaitAliveAck;
    SendCommand(SendData.Command, data);
    if (!LastSendFailed) {
        LinkState = awaited;
        return;
    }
    if (LinkState == AwaitAliveAck) LinkState = Idle;
    // A chain whose next request could not be written has ended.
    if (ContinuationKind != 0) AbortExchange();
}

// --- replies -----------------------------------------------------------------

void TComm::HandleChunk() {
    if (RxBuffer.empty()) return;
    if (holdingRequest_) {
        DrainOwed();
        return;
    }
    if (lateOwed_ > 0 && Awaiting()) {
        HoldLateReply();
        return;
    }
    CountReplies();
    if (RxBuffer.empty()) return;
    switch (LinkState) {
        case AwaitAck:
            OnAwaitAck();
            break;
        case AwaitData:
            OnAwaitData();
            break;
        case AwaitRest:
            OnAwaitRest();
            break;
        case AwaitAliveAck:
            OnAwaitAliveAck();
            break;
        default:
            break;  // Idle, ReplyDone: nothing is awaited
    }
}

void TComm::EndWait() {
    LinkState = Idle;
    TimeoutTicks = 0;
    hooks_.SetCommLed(false);
    hooks_.SetTimeoutTimer(false);
}

void TComm::OnAwaitAck() {
    const char first = FirstByte(RxBuffer);
    if (first == Frame::ACK) {
        EndWait();
        return;
    }
    if (first == Frame::GS && SendData.Command == Cmd::STR) {
        EndWait();
        TransferOk = 0;  // the value was refused: a transfer that ends here has not landed
        SetStatus(LinkText::RefusedWhileRunning);
        if (EditorRef) EditorRef->RollBackRefusedWrite();
        return;
    }
    try {
        if (RxBuffer.size() < 3 || RxBuffer[2] != Frame::ErrorMarker) {
            ReportLinkError();
            return;
        }
        CommError = ReadDecimal(RxBuffer.substr(3, 2));
        // An alarmed drive answers a command with its code: whatever transfer
        // the command belonged to has failed, so it must not end reporting success.
        TransferOk = 0;
        AbortExchange();
    } catch (const std::exception&) {
        ReportLinkError();
    }
}

void TComm::OnAwaitData() {
    TimeoutTicks = 0;
    try {
        const char first = FirstByte(RxBuffer);
        if (GraphTimeSelect != 0 && first == Frame::ACK) {
            hooks_.PauseMs(PollDelayMs);
            SendData.Data.clear();
            SendCommand(SendData.Command, "");
            LinkState = AwaitData;
        } else if (first == Frame::STX) {
            if (RxBuffer.find(Frame::ETX, 1) != std::string::npos) {
                FinishFrame();
            } else {
                PartialReply = RxBuffer;
                LinkState = AwaitRest;
                if (PartialReply.size() > kMaxReplyBytes) ReportLinkError();
            }
        } else if (first == Frame::US) {
            ReadData.Data.clear();
            hooks_.SetCommLed(false);
            if (ContinuationKind != 0) {
                RunContinuation();
                if (LinkState == Idle) hooks_.SetTimeoutTimer(false);  // the reader ended the chain
            }
        } else {
            ReportLinkError();
        }
    } catch (const std::exception&) {
        CommError = 2;
        AbortExchange();
    }
}

void TComm::OnAwaitRest() {
    TimeoutTicks = 0;
    try {
        if (FirstByte(RxBuffer) == Frame::STX) {
            ReportLinkError();
        } else if (RxBuffer.find(Frame::ETX) != std::string::npos) {
            RxBuffer = PartialReply + RxBuffer;
            FinishFrame();
        } else {
            PartialReply += RxBuffer;
            if (PartialReply.size() > kMaxReplyBytes) {
                RxBuffer = PartialReply;  // reported as the frame it is, not by its last chunk
                ReportLinkError();
            }
        }
    } catch (const std::exception&) {
        CommError = 2;
        AbortExchange();
    }
}

void TComm::FinishFrame() {
    PartialReply.clear();
    DispatchReply();
    LinkState = ReplyDone;
    hooks_.SetCommLed(false);
    if (ContinuationKind != 0) RunContinuation();
}

void TComm::OnAwaitAliveAck() {
    try {
        if (FirstByte(RxBuffer) != Frame::ACK) return;  // the time-out rule ends the wait
        LinkState = Idle;
        hooks_.SetCommLed(false);
        LinkAlive = 1;
        if (ActiveWindow == MonitoringActive && MonitorRef) MonitorRef->SetLinkControls(true);
        if (ActiveWindow == TriggerActive && TriggerRef) TriggerRef->SetLinkControls(true);
        hooks_.SetTimeoutTimer(false);
    } catch (const std::exception&) {
        CommError = 2;
        AbortExchange();
    }
}

void TComm::DispatchReply() {
    CommError = 0;
    try {
        if (!Frame::ChecksumMatches(RxBuffer)) {
            AbortExchange();
            SetStatus(LinkText::ChecksumError);
            CommError = 1;
            TransferOk = 0;
            return;
        }
        if (RxBuffer.size() > 2 && RxBuffer[2] == Frame::ErrorMarker) {
            CommError = ReadDecimal(RxBuffer.substr(3, 2));
            AbortExchange();
            TransferOk = 0;
            return;
        }
        DecodeReply();
        hooks_.SetTimeoutTimer(false);
    } catch (const std::exception&) {
        CommError = 2;
        AbortExchange();
    }
}

void TComm::RunContinuation() {
    switch (ContinuationKind) {
        case 1:
            if (ReaderRef)
                ReaderRef->BlockReadStep();
            else
                AbortExchange();  // the window that asked is gone
            return;
        case 2:
            if (MonitorRef)
                MonitorRef->ReadMonitorStream();
            else
                AbortExchange();
            return;
        case 3:
            if (TriggerRef)
                TriggerRef->ReadTriggerCapture();
            else
                AbortExchange();
            return;
        default:
            AbortExchange();
            SetStatus(LinkText::ContinuationError);
            CommError = 1;
    }
}

void TComm::AbortExchange() {
    LinkState = Idle;
    TimeoutTicks = 0;
    hooks_.SetCommLed(false);
    hooks_.RestoreCursor();
    hooks_.SetTimeoutTimer(false);
    if (ActiveWindow == MonitoringActive && MonitorRef) {
        try {
            SuppressSwitchEvents = 1;
            MonitorRef->StopOnAbort();
        } catch (...) {
        }
    }
    SuppressSwitchEvents = 0;
    ContinuationKind = 0;
    // A request held back never goes out; a reply kept back is not used. The
    // answers still owed are still owed.
    holdingRequest_ = false;
    heldRequest_.clear();
    lateChunks_.clear();
    lateCount_ = 0;
    lateReplies_.Reset();
}

void TComm::AbandonExchange() {
    holdingRequest_ = false;
    heldRequest_.clear();
    SettleLateReply();
    PartialReply.clear();
    LinkState = Idle;
    TimeoutTicks = 0;
    hooks_.SetCommLed(false);
    hooks_.SetTimeoutTimer(false);
}

void TComm::ForgetOwedReplies() {
    holdingRequest_ = false;
    heldRequest_.clear();
    lateChunks_.clear();
    lateCount_ = 0;
    lateOwed_ = 0;
    copies_ = received_ = 0;
    replies_.Reset();
    lateReplies_.Reset();
}

void TComm::ReportLinkError() {
    TransferOk = 0;
    AbortExchange();
    CommError = 1;
    switch (FirstByte(RxBuffer)) {
        case Frame::NAK:
            SetStatus(LinkText::Nak);
            break;
        case Frame::RS:
            SetStatus(LinkText::Rs);
            break;
        default:
            SetStatus(LinkText::PacketError);
            break;
    }
}

void TComm::HandleTimeout() {
    if (holdingRequest_) {
        if (++quietTicks_ >= guardTicks_) SendHeldRequest();
        return;
    }
    if (lateOwed_ > 0 && lateCount_ == 1 && Awaiting()) {
        if (++quietTicks_ >= guardTicks_) ReleaseLateReply();
        return;
    }
    if (LinkState == Idle || LinkState == ReplyDone) {
        // Nothing is awaited (a chain that ended on a US reply leaves the tick on,
        // and a tick posted before it was stopped still arrives): no resend.
        TimeoutTicks = 0;
        hooks_.SetTimeoutTimer(false);
        return;
    }
    ++exchangeTicks_;
    if (++TimeoutTicks < kTimeoutTicks) return;
    if (LinkState == AwaitAliveAck) {
        if (ActiveWindow == MonitoringActive && MonitorRef) {
            MonitorRef->StopPollTimer();
            MonitorRef->SetLinkControls(false);
        }
        if (ActiveWindow == TriggerActive && TriggerRef) TriggerRef->SetLinkControls(false);
        LinkState = Idle;
        LinkAlive = 0;
        SuppressSwitchEvents = 0;
        hooks_.SetCommLed(false);
        TimeoutTicks = 0;
        hooks_.SetTimeoutTimer(false);
        return;
    }
    ++ResendCount;
    if (ResendCount <= 3) {
        // A reply cut off mid-frame is dropped: the resent request is answered
        // by a fresh frame, which must not be glued onto the stale start.
        if (LinkState == AwaitRest) {
            LinkState = AwaitData;
            PartialReply.clear();
            replies_.Reset();
        }
        lateChunks_.clear();
        lateReplies_.Reset();
        resending_ = true;
        const unsigned sendsBefore = sends_;
        SendCommand(LastCommand, LastData);
        // Only this resend's own outcome counts: one that wrote nothing has ended
        // the exchange, and a reply handled while its warning was open may have
        // moved the link on to the next request.
        if (sends_ == sendsBefore + 1 && !LastSendFailed) LinkState = SavedLinkState;
    } else {
        CommError = 1;
        TransferOk = 0;  // a transfer whose command was never answered did not succeed
        SetStatus(LinkText::Timeout);
        AbortExchange();
        ResendCount = 0;
    }
}
