// The transaction engine's bookkeeping of request copies on the wire.
//
// Replies carry no address. After a resend the drive may answer every copy,
// and an answer that arrived after the next request went out would be taken
// for that request's answer. So the next request waits until the answers owed
// to the other copies are in (they are dropped) or the line has been quiet
// for the guard time.

#include <algorithm>
#include <exception>
#include <utility>

#include "protocol/Comm.h"

bool TComm::Awaiting() const {
    return LinkState == AwaitAck || LinkState == AwaitData || LinkState == AwaitRest;
}

int TComm::Owed() const {
    return copies_ > 1 ? std::max(copies_ - received_, 0) : 0;
}

void TComm::PutOnWire(const std::string& frame, bool resend) {
    port_.PortWrite(frame);
    if (resend) {
        ++copies_;
        return;
    }
    copies_ = 1;
    received_ = 0;
    exchangeTicks_ = 0;
    replies_.Reset();
}

void TComm::HoldBack(std::string frame) {
    heldRequest_ = std::move(frame);
    if (holdingRequest_) return;  // a newer request replaces the one held
    holdingRequest_ = true;
    quietTicks_ = 0;
    // A drive that took long to answer may take as long over the next copy;
    // one that never answered gets the shortest guard.
    const int latency = received_ > 0 ? answerTicks_ : 0;
    guardTicks_ = std::clamp(latency + kTimeoutTicks, kMinGuardTicks, kMaxGuardTicks);
}

void TComm::SendHeldRequest() {
    holdingRequest_ = false;
    const std::string frame = std::exchange(heldRequest_, {});
    TimeoutTicks = 0;
    if (!port_.Connected()) {
        AbortExchange();
        hooks_.ShowWarning(LinkText::PortClosed);
        TransferOk = 0;
        return;
    }
    const int stillOwed = Owed();
    try {
        PutOnWire(frame, false);
    } catch (const std::exception&) {
        hooks_.SetCommLed(false);
        hooks_.SetTimeoutTimer(false);
        hooks_.ShowWarning(LinkText::SendFailed);
        return;
    }
    lateOwed_ = stillOwed;
    lateReplies_.Reset();
    lateChunks_.clear();
    lateCount_ = 0;
}

// A chunk while the next request is held back: nothing else is on the wire,
// so all of it answers the earlier copies (or is noise).
void TComm::DrainOwed() {
    quietTicks_ = 0;
    const int count = replies_.Take(RxBuffer).count;
    received_ += count;
    DroppedReplies += count;
    if (Owed() == 0) SendHeldRequest();
}

// Counts the replies in a chunk. When a chunk brings the first answer of the
// exchange together with more: after a resend, those past the first answer
// the other copies and are cut off; more than there are copies means one of
// them answers something else, and none can be trusted.
void TComm::CountReplies() {
    const ReplyCounter::Found found = replies_.Take(RxBuffer);
    const int count = found.count;
    if (count == 0) return;
    const bool firstAnswer = received_ == 0 && Awaiting();
    if (received_ == 0) answerTicks_ = exchangeTicks_;
    received_ += count;
    if (firstAnswer && count > std::max(copies_, 1)) {
        RejectUnexpectedReplies();
        return;
    }
    const int unused = firstAnswer ? count - 1 : count;
    if (lateOwed_ > 0 && !Awaiting()) {
        lateOwed_ = std::max(lateOwed_ - count, 0);  // late answers, arriving between exchanges
        DroppedReplies += count;
    } else if (copies_ > 1) {
        DroppedReplies += unused;
    }
    // After a resend whatever follows the first answer belongs to the other copies' answers.
    if (firstAnswer && (count > 1 || copies_ > 1)) RxBuffer.resize(found.firstEnd);
}

void TComm::RejectUnexpectedReplies() {
    RxBuffer.clear();
    TransferOk = 0;
    AbortExchange();
    CommError = 1;
    SetStatus(LinkText::PacketError);
}

// After the guard time ran out with answers still owed: a reply is kept back
// until the line has been quiet for the guard time again.
void TComm::HoldLateReply() {
    TimeoutTicks = 0;
    quietTicks_ = 0;
    lateChunks_ += RxBuffer;
    lateCount_ += lateReplies_.Take(RxBuffer).count;
    RxBuffer.clear();
    if (lateCount_ > 1) {
        RejectUnexpectedReplies();  // a late answer and this request's own, in unknown order
    } else if (lateCount_ == 0 && lateChunks_.size() > kMaxReplyBytes) {
        ReleaseLateReply();  // the normal path reports a reply without end
    }
}

void TComm::ReleaseLateReply() {
    lateOwed_ = 0;
    lateCount_ = 0;
    lateReplies_.Reset();
    RxBuffer = std::exchange(lateChunks_, {});
    HandleChunk();
}
