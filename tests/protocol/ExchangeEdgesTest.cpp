// The engine's rare paths: a window that gives up an exchange while the engine
// holds something, a request sent over an exchange a window abandoned, a reply
// handled while a warning box is open, a held request whose write fails, and
// an alive check while answers are still owed. None may freeze the link or
// hand an old reply to a new request.

#include <gtest/gtest.h>

#include "tests/protocol/EngineDoubles.h"

namespace {

const std::string kFirst = Reply("SET1111"), kSecond = Reply("SET2222"), kAck = Byte(Frame::ACK);
const std::string kNextRequest = Frame::BuildRequest("SET", "001");
const std::string kStatusRequest = Frame::BuildRequest("STS", "");

// A two-step block read whose first request was resent once and answered
// once: the next request is held back while the second answer is owed.
struct HeldRead {
    EngineRig rig;
    RecordingReader reader;
    RecordingMonitor monitor;

    HeldRead() {
        reader.comm = &rig.comm;
        reader.sendNext = 1;
        rig.comm.ReaderRef = &reader;
        rig.comm.MonitorRef = &monitor;
        rig.comm.ActiveWindow = EditorActive;
        rig.comm.ContinuationKind = 1;
        rig.Send("SET", "000", AwaitData);
        rig.Ticks(TComm::kTimeoutTicks);
        rig.comm.HandleChunk(kFirst);
    }
    TComm& comm() { return rig.comm; }
    std::size_t Written() const { return rig.port.written.size(); }
    const std::string& LastWritten() const { return rig.port.written.back(); }
    // The guard ran out: the held request went out with a late answer still due.
    void LetTheGuardRunOut() { rig.Ticks(TComm::kMinGuardTicks); }
};

TEST(ExchangeEdges, AWindowThatGivesUpWhileARequestIsHeldFreesTheLink) {
    HeldRead read;
    ASSERT_TRUE(read.comm().Draining());
    read.comm().AbandonExchange();
    EXPECT_FALSE(read.comm().Draining());
    EXPECT_EQ(read.comm().LinkState, Idle);
    EXPECT_FALSE(read.rig.hooks.timer);
    EXPECT_FALSE(read.rig.hooks.led);
    read.rig.Ticks(100);
    EXPECT_EQ(read.Written(), 2u) << "the dropped request went out after all";

    // The window starts afresh: its request still waits for the owed answer,
    // on the engine's own tick, and then goes out.
    read.rig.Send("STS", "", AwaitData);
    EXPECT_EQ(read.Written(), 2u);
    EXPECT_TRUE(read.rig.hooks.timer);
    read.rig.Ticks(TComm::kMinGuardTicks);
    ASSERT_EQ(read.Written(), 3u);
    EXPECT_EQ(read.LastWritten(), kStatusRequest);
}

TEST(ExchangeEdges, AnAnswerOwedToAGivenUpExchangeReleasesTheNextRequestAtOnce) {
    HeldRead read;
    read.comm().AbandonExchange();
    read.rig.Send("STS", "", AwaitData);
    read.comm().HandleChunk(kFirst);  // the second copy's answer
    ASSERT_EQ(read.Written(), 3u);
    EXPECT_EQ(read.LastWritten(), kStatusRequest);
    EXPECT_EQ(read.comm().DroppedReplies, 1);
    EXPECT_EQ(read.reader.values, std::vector<std::string>{"1111"});
}

// A reply kept back for the quiet wait, then a window forces a new request.
class ForcedSendTest : public testing::TestWithParam<bool> {};

TEST_P(ForcedSendTest, AReplyKeptBackIsNeverTheNextRequestsAnswer) {
    HeldRead read;
    read.LetTheGuardRunOut();
    ASSERT_EQ(read.LastWritten(), kNextRequest);
    read.comm().HandleChunk(kSecond);  // kept back: it may be the late answer
    ASSERT_EQ(read.reader.values.size(), 1u);

    if (GetParam())
        read.comm().AbandonExchange();
    else
        read.comm().LinkState = Idle;  // a window that sends without waiting
    read.comm().ActiveWindow = MonitoringActive;
    read.comm().ContinuationKind = 0;
    read.rig.Send("STS", "", AwaitData);
    read.rig.Ticks(TComm::kMinGuardTicks);

    EXPECT_TRUE(read.monitor.statuses.empty()) << "a SET reply was decoded as STS";
    EXPECT_EQ(read.reader.values.size(), 1u);
    EXPECT_EQ(read.rig.hooks.status, "");
    ASSERT_EQ(read.LastWritten(), kStatusRequest);
    read.comm().HandleChunk(Reply("STSP 00RDY"));  // its own answer, used once the line is quiet
    read.rig.Ticks(TComm::kMaxGuardTicks);
    EXPECT_EQ(read.monitor.statuses.size(), 1u);
    EXPECT_EQ(read.comm().CommError, 0);
}

INSTANTIATE_TEST_SUITE_P(Table, ForcedSendTest, testing::Bool(), [](const auto& info) {
    return std::string(info.param ? "Abandoned" : "ForcedIdle");
});

TEST(ExchangeEdges, ARequestSentWhileAWarningIsOpenIsNoResendCopy) {
    EngineRig rig;
    RecordingReader reader;
    reader.comm = &rig.comm;
    reader.sendNext = 2;
    rig.comm.ReaderRef = &reader;
    rig.comm.ContinuationKind = 1;
    rig.Send("SET", "000", AwaitData);
    rig.port.failWrites = true;  // the resend fails; the warning box opens
    rig.hooks.whileWarning = [&] {
        rig.port.failWrites = false;
        rig.comm.HandleChunk(kFirst);  // the first copy is answered meanwhile
    };
    rig.Ticks(TComm::kTimeoutTicks);
    ASSERT_EQ(rig.hooks.warnings, std::vector<std::string>{LinkText::SendFailed});
    ASSERT_EQ(rig.port.written.back(), kNextRequest);

    rig.comm.HandleChunk(kSecond);
    EXPECT_EQ(reader.values, (std::vector<std::string>{"1111", "2222"}));
    EXPECT_EQ(rig.comm.DroppedReplies, 0) << "the next request was counted as a copy";
    EXPECT_EQ(rig.port.written.size(), 3u);
    EXPECT_FALSE(rig.comm.Draining());
}

TEST(ExchangeEdges, AResendThatFindsThePortClosedLeavesTheLinkFree) {
    EngineRig rig;
    rig.Send("SET", "000", AwaitData);
    rig.port.open = false;
    rig.Ticks(TComm::kTimeoutTicks);
    EXPECT_EQ(rig.hooks.warnings, std::vector<std::string>{LinkText::PortClosed});
    EXPECT_EQ(rig.comm.LinkState, Idle);
    EXPECT_FALSE(rig.hooks.timer);
}

TEST(ExchangeEdges, AHeldRequestWhoseWriteFailsEndsTheExchange) {
    HeldRead read;
    read.comm().TransferOk = 1;
    read.rig.port.failWrites = true;
    read.LetTheGuardRunOut();
    EXPECT_EQ(read.rig.hooks.warnings, std::vector<std::string>{LinkText::SendFailed});
    EXPECT_EQ(read.comm().LinkState, Idle) << "the caller waits for an answer to nothing";
    EXPECT_EQ(read.comm().ContinuationKind, 0);
    EXPECT_EQ(read.comm().TransferOk, 0);
    EXPECT_TRUE(read.comm().LastSendFailed);
    EXPECT_FALSE(read.rig.hooks.timer);
    EXPECT_FALSE(read.comm().Draining());
}

TEST(ExchangeEdges, AnAliveCheckWhileALateAnswerIsDueTakesOneAckOnce) {
    HeldRead read;
    read.LetTheGuardRunOut();
    read.comm().AbandonExchange();
    read.comm().ActiveWindow = MonitoringActive;
    read.rig.Send("LIV", "", AwaitAliveAck);
    read.LetTheGuardRunOut();  // nothing came: the check goes out, two answers still due
    ASSERT_EQ(read.LastWritten(), Frame::BuildRequest("LIV", ""));

    read.comm().HandleChunk(kAck);
    EXPECT_EQ(read.comm().LinkAlive, 0) << "an ACK that may be late was taken at once";
    read.rig.Ticks(TComm::kMaxGuardTicks);
    EXPECT_EQ(read.comm().LinkAlive, 1);
    EXPECT_EQ(read.comm().LinkState, Idle);
    EXPECT_EQ(read.comm().DroppedReplies, 0) << "the ACK was counted as a dropped answer too";
    EXPECT_EQ(read.monitor.linkControls, std::vector<bool>{true});
}

TEST(ExchangeEdges, RequestSetsTheAnswerTheCatalogueGivesUnlessNothingWasSent) {
    EngineRig rig;
    rig.comm.Request("STR", "0001");
    EXPECT_EQ(rig.comm.LinkState, AwaitAck);
    EXPECT_EQ(rig.comm.SendData.Command, "STR");
    EXPECT_EQ(rig.comm.SendData.Data, "0001");
    rig.comm.HandleChunk(kAck);
    rig.comm.Request("SET", "000");
    EXPECT_EQ(rig.comm.LinkState, AwaitData);
    rig.comm.HandleChunk(kFirst);

    rig.port.failWrites = true;
    for (const char* command : {"SET", "LIV"}) {
        rig.comm.LinkState = Idle;
        rig.comm.Request(command, "");
        EXPECT_EQ(rig.comm.LinkState, Idle) << command << ": waits for an answer to nothing";
    }
    rig.port.failWrites = false;
    rig.comm.Request("LIV", "");
    EXPECT_EQ(rig.comm.LinkState, AwaitAliveAck);
}

TEST(ExchangeEdges, AFreshPortOwesNothing) {
    HeldRead read;
    read.comm().AbandonExchange();
    read.comm().ForgetOwedReplies();
    read.rig.Send("STS", "", AwaitData);
    EXPECT_EQ(read.LastWritten(), kStatusRequest);
}

}  // namespace
