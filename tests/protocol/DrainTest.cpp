// Answers owed to resent copies of a request: they never land in the place of
// the next request's answer.

#include <gtest/gtest.h>

#include "tests/protocol/EngineDoubles.h"

namespace {

const std::string kFirst = Reply("SET1111"), kSecond = Reply("SET2222"), kUs = Byte(Frame::US),
                  kAck = Byte(Frame::ACK);
const std::string kNextRequest = Frame::BuildRequest("SET", "001");

// A two-step block read whose first request has been resent `resends` times.
struct ResentRead {
    EngineRig rig;
    RecordingReader reader;

    explicit ResentRead(int resends) {
        reader.comm = &rig.comm;
        reader.sendNext = 1;
        rig.comm.ReaderRef = &reader;
        rig.comm.ActiveWindow = EditorActive;
        rig.comm.ContinuationKind = 1;
        rig.Send("SET", "000", AwaitData);
        rig.Ticks(TComm::kTimeoutTicks * resends);
    }
    std::size_t Written() const { return rig.port.written.size(); }
    bool NextRequestOut() const { return rig.port.written.back() == kNextRequest; }
    // Ticks until the next request goes out; -1 when it has not after `limit`.
    int TicksUntilNextRequest(int limit = 100) {
        for (int tick = 1; tick <= limit; ++tick) {
            rig.comm.HandleTimeout();
            if (NextRequestOut()) return tick;
        }
        return -1;
    }
};

// How the answers to the copies arrive: the chunks after the first answer.
struct DrainCase {
    const char* name;
    int resends;
    std::vector<std::string> chunks;  // the first one holds the answer to the first copy
    int dropped;
};

const DrainCase kDrainCases[] = {
    {"SecondAnswerAlone", 1, {kFirst, kFirst}, 1},
    {"SecondAnswerInTheSameChunk", 1, {kFirst + kFirst}, 1},
    {"SecondAnswerSplit", 1, {kFirst, kFirst.substr(0, 4), kFirst.substr(4)}, 1},
    {"ThreeCopiesAnsweredTogether", 2, {kFirst + kFirst + kFirst}, 2},
    {"ThreeCopiesTwoChunks", 2, {kFirst + kFirst.substr(0, 3), kFirst.substr(3) + kFirst}, 2},
    {"UnusedSlotAnsweredTwice", 1, {kUs, kUs}, 1},
    {"NoiseBetweenAnswers", 1, {kFirst, "\r\n", kFirst}, 1},
};

class DrainCaseTest : public testing::TestWithParam<DrainCase> {};

TEST_P(DrainCaseTest, OwedAnswersAreDroppedBeforeTheNextRequest) {
    const DrainCase& c = GetParam();
    ResentRead read(c.resends);
    ASSERT_EQ(read.Written(), std::size_t(1 + c.resends));
    for (const std::string& chunk : c.chunks) {
        EXPECT_FALSE(read.NextRequestOut()) << "the next request went out with answers owed";
        read.rig.comm.HandleChunk(chunk);
    }
    ASSERT_TRUE(read.NextRequestOut());
    EXPECT_FALSE(read.rig.comm.Draining());
    EXPECT_EQ(read.rig.comm.DroppedReplies, c.dropped);
    read.rig.comm.HandleChunk(kSecond);  // the next request's own answer is stored as such
    const std::string first = c.chunks[0] == kUs ? "" : "1111";
    EXPECT_EQ(read.reader.values, (std::vector<std::string>{first, "2222"}));
    EXPECT_EQ(read.rig.comm.CommError, 0);
    EXPECT_EQ(read.rig.comm.LinkState, Idle);
    EXPECT_EQ(read.rig.hooks.status, "");
}

INSTANTIATE_TEST_SUITE_P(Table, DrainCaseTest, testing::ValuesIn(kDrainCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Drain, WithoutAResendTheNextRequestGoesOutAtOnce) {
    ResentRead read(0);
    read.rig.comm.HandleChunk(kFirst);
    EXPECT_TRUE(read.NextRequestOut());
    EXPECT_FALSE(read.rig.comm.Draining());
    read.rig.comm.HandleChunk(kSecond);
    EXPECT_EQ(read.reader.values, (std::vector<std::string>{"1111", "2222"}));
    EXPECT_EQ(read.rig.comm.DroppedReplies, 0);
}

TEST(Drain, ADriveThatAnsweredOnceCostsTheGuardTime) {
    ResentRead read(1);
    read.rig.comm.HandleChunk(kFirst);
    EXPECT_TRUE(read.rig.comm.Draining());
    EXPECT_TRUE(read.rig.hooks.led);
    EXPECT_TRUE(read.rig.hooks.timer);
    // The first answer took one time-out: the guard is that plus one more, at least the minimum.
    EXPECT_EQ(read.TicksUntilNextRequest(), TComm::kMinGuardTicks);
    EXPECT_EQ(read.rig.comm.ResendCount, 1);  // the wait is no time-out

    // A late answer may still come: the reply is used once the line stays quiet.
    read.rig.comm.HandleChunk(kSecond);
    EXPECT_EQ(read.reader.values.size(), 1u);
    read.rig.Ticks(TComm::kMinGuardTicks);
    EXPECT_EQ(read.reader.values, (std::vector<std::string>{"1111", "2222"}));
    EXPECT_EQ(read.rig.comm.CommError, 0);
    EXPECT_EQ(read.rig.comm.ResendCount, 1);
    EXPECT_EQ(read.rig.port.written.size(), 3u);
}

TEST(Drain, GuardGrowsWithTheTimeTheDriveTookButStaysBounded) {
    ResentRead slow(2);
    slow.rig.Ticks(2);
    slow.rig.comm.HandleChunk(kFirst);
    EXPECT_EQ(slow.TicksUntilNextRequest(), 2 * TComm::kTimeoutTicks + 2 + TComm::kTimeoutTicks);

    ResentRead trickling(1);  // every byte restarts the time-out, so the answer takes long
    for (char byte : kFirst) {
        trickling.rig.Ticks(TComm::kTimeoutTicks - 1);
        trickling.rig.comm.HandleChunk(std::string(1, byte));
    }
    EXPECT_EQ(trickling.TicksUntilNextRequest(), TComm::kMaxGuardTicks);
}

TEST(Drain, ALateAnswerAfterTheGuardTimeIsAPacketErrorNotAValue) {
    for (bool sameChunk : {false, true}) {
        ResentRead read(1);
        read.rig.comm.HandleChunk(kFirst);
        ASSERT_EQ(read.TicksUntilNextRequest(), TComm::kMinGuardTicks);
        if (sameChunk) {
            read.rig.comm.HandleChunk(kFirst + kSecond);
        } else {
            read.rig.comm.HandleChunk(kFirst);  // late
            read.rig.Ticks(TComm::kMinGuardTicks - 1);
            read.rig.comm.HandleChunk(kSecond);
        }
        EXPECT_EQ(read.reader.values, std::vector<std::string>{"1111"});
        EXPECT_EQ(read.rig.comm.CommError, 1);
        EXPECT_EQ(read.rig.hooks.status, LinkText::PacketError);
        EXPECT_EQ(read.rig.comm.LinkState, Idle);
        EXPECT_EQ(read.rig.comm.ContinuationKind, 0);
        EXPECT_EQ(read.rig.comm.TransferOk, 0);
        EXPECT_FALSE(read.rig.hooks.led);
    }
}

TEST(Drain, AnExchangeThatTimedOutHasItsCopiesDrainedBeforeTheNextOne) {
    EngineRig rig;
    rig.Send("SET", "000", AwaitData);
    rig.Ticks(4 * TComm::kTimeoutTicks);
    ASSERT_EQ(rig.hooks.status, LinkText::Timeout);
    ASSERT_EQ(rig.port.written.size(), 4u);
    rig.comm.HandleChunk(kFirst + kFirst);  // the drive wakes up: two answers arrive while idle
    rig.Send("STR", "0001", AwaitAck);
    EXPECT_EQ(rig.port.written.size(), 4u);
    rig.comm.HandleChunk(kFirst + kFirst.substr(0, 5));
    EXPECT_EQ(rig.port.written.size(), 4u);  // the fourth is not complete yet
    rig.comm.HandleChunk(kFirst.substr(5));
    ASSERT_EQ(rig.port.written.size(), 5u);
    EXPECT_EQ(rig.port.written.back(), Frame::BuildRequest("STR", "0001"));
    EXPECT_EQ(rig.comm.DroppedReplies, 4);
    rig.comm.HandleChunk(kAck);
    EXPECT_EQ(rig.comm.LinkState, Idle);
    EXPECT_EQ(rig.comm.CommError, 1);  // the time-out error stays until acknowledged
}

TEST(Drain, CancellingWhileDrainingSendsNothing) {
    ResentRead read(1);
    read.rig.comm.HandleChunk(kFirst);
    ASSERT_TRUE(read.rig.comm.Draining());
    read.rig.comm.AbortExchange();
    EXPECT_FALSE(read.rig.comm.Draining());
    read.rig.Ticks(50);
    read.rig.comm.HandleChunk(kFirst);
    EXPECT_EQ(read.Written(), 2u);
    EXPECT_FALSE(read.rig.hooks.timer);
    EXPECT_EQ(read.reader.values, std::vector<std::string>{"1111"});
}

TEST(Drain, ALineLostWhileDrainingAbortsWithTheWarning) {
    ResentRead read(1);
    read.rig.comm.TransferOk = 1;
    read.rig.comm.HandleChunk(kFirst);
    read.rig.port.open = false;
    read.rig.Ticks(TComm::kMinGuardTicks);
    EXPECT_EQ(read.Written(), 2u);
    EXPECT_EQ(read.rig.hooks.warnings, std::vector<std::string>{LinkText::PortClosed});
    EXPECT_EQ(read.rig.comm.LinkState, Idle);
    EXPECT_EQ(read.rig.comm.ContinuationKind, 0);
    EXPECT_EQ(read.rig.comm.TransferOk, 0);
    EXPECT_FALSE(read.rig.hooks.timer);
}

TEST(Drain, ResendsOfTheHeldRequestFollowTheUsualCount) {
    ResentRead read(1);
    read.rig.comm.HandleChunk(kFirst + kFirst);
    ASSERT_TRUE(read.NextRequestOut());
    read.rig.Ticks(TComm::kTimeoutTicks * 10);  // the drive falls silent
    EXPECT_EQ(read.Written(), 2u + 3u);         // one resend was spent on the first request
    EXPECT_EQ(read.rig.hooks.status, LinkText::Timeout);
}

}  // namespace
