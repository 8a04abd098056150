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
#include "protocol/Commands.h"

bool TComm::Awaiting() const {
    return LinkState == AwaitAck || LinkState == AwaitData || LinkState == AwaitRest ||
           LinkState == AwaitAliveAck;
}

// The answers that may still come and belong to no request being awaited: the
// unanswered copies of the last request once it is no longer awaited (it was
// resent, abandoned or aborted), and those of earlier requests still due.
int TComm::Owed() const {
    const int unanswered = std::max(copies_ - received_, 0);
    const bool waitedFor = copies_ > 1 || !aliveCheck_;
    return (waitedFor ? unanswered : 0) + lateOwed_;
}

// Replies that answer owed copies: the last request's first, then earlier ones.
void TComm::TakeOwed(int count) {
    const int own = std::min(count, std::max(copies_ - received_, 0));
    received_ += count;
    lateOwed_ = std::max(lateOwed_ - (count - own), 0);
}

// A reply kept back while the line went quiet belongs to the exchange it came
// in, never to a request sent after it: it answers one of the copies owed.
void TComm::SettleLateReply() {
    if (lateChunks_.empty() && lateCount_ == 0) return;
    DroppedReplies += lateCount_;
    received_ += lateCount_;
    lateChunks_.clear();
    lateCount_ = 0;
    lateReplies_.Reset();
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
    aliveCheck_ = LastCommand == Cmd::LIV || LastCommand == Cmd::LIVE;
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
        LastSendFailed = true;
        hooks_.ShowWarning(LinkText::PortClosed);
        TransferOk = 0;
        return;
    }
    const int stillOwed = Owed();
    try {
        PutOnWire(frame, false);
    } catch (const std::exception&) {
        // The caller was told the request went out and waits for its answer:
        // end the exchange, or nothing would ever free the link.
        TransferOk = 0;
        AbortExchange();
        LastSendFailed = true;
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
    DroppedReplies += count;
    TakeOwed(count);
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
    if (!Awaiting()) {  // between exchanges: these answer copies still owed, or nothing
        DroppedReplies += std::min(count, Owed());
        TakeOwed(count);
        return;
    }
    const bool firstAnswer = received_ == 0;
    if (firstAnswer) answerTicks_ = exchangeTicks_;
    received_ += count;
    if (firstAnswer && count > std::max(copies_, 1)) {
        RejectUnexpectedReplies();
        return;
    }
    if (copies_ > 1) DroppedReplies += firstAnswer ? count - 1 : count;
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
    hooks_.SetTimeoutTimer(true);  // the quiet wait ends on the engine's own tick
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
