// The four-phase LOAD sequence against the real engine: what goes on the
// wire, which channel each reply lands on, and that a failed exchange in the
// middle neither stops the sequence nor lends another quantity's data.

#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "alarms/AlarmDataLoad.h"
#include "tests/protocol/EngineDoubles.h"

namespace {

class AlarmDataLoadTest : public testing::Test {
  protected:
    // Ticks until the sequence has sent a request or finished, at most `limit` ticks.
    void TickUntilIdleOrSent(int limit = 10) {
        const std::size_t before = rig.port.written.size();
        for (int i = 0; i < limit && load.Running() && rig.port.written.size() == before; ++i)
            load.Tick();
    }
    void Deliver(const std::string& chunk) { rig.comm.HandleChunk(chunk); }
    void AnswerDie(const std::string& value) { Deliver(Reply("DIE" + value)); }
    void RunToEnd() {
        for (int i = 0; i < 10 && load.Running(); ++i) load.Tick();
    }

    EngineRig rig;
    // channel -> plotted samples (nullopt: the channel's exchange failed)
    std::map<int, std::optional<AlarmSamples>> plotted;
    AlarmDataLoad load{rig.comm, [this](int channel, const AlarmSamples* samples) {
                           plotted[channel] =
                               samples ? std::optional<AlarmSamples>(*samples) : std::nullopt;
                       }};
};

TEST_F(AlarmDataLoadTest, OneSelectorSendsOneRequestAndPlotsAtPhaseThree) {
    load.Start({5, 0, 0});
    EXPECT_EQ(load.Codes()[0], "05");
    EXPECT_EQ(load.Codes()[1], "00");
    load.Tick();
    ASSERT_EQ(rig.port.written.size(), 1u);
    EXPECT_EQ(rig.port.written[0], Frame::BuildRequest("DIE", "0500"));
    EXPECT_EQ(rig.comm.LinkState, AwaitData);
    EXPECT_EQ(load.Phase(), 1);
    EXPECT_EQ(load.Channel(), 1);

    load.Tick();  // the reply is not in yet
    EXPECT_EQ(load.Phase(), 1);
    AnswerDie("1&2&3");
    load.Tick();
    EXPECT_EQ(load.Phase(), 2);
    load.Tick();
    EXPECT_EQ(load.Phase(), 3);
    EXPECT_TRUE(plotted.empty());
    EXPECT_FALSE(load.Tick());
    EXPECT_FALSE(load.Running());
    ASSERT_EQ(plotted.size(), 1u);
    ASSERT_TRUE(plotted[0]);
    EXPECT_EQ(plotted[0]->PointCount(), 3);
    EXPECT_EQ(rig.port.written.size(), 1u);
}

TEST_F(AlarmDataLoadTest, ThreeSelectorsPlotEachReplyOnItsOwnChannel) {
    load.Start({1, 4, 8});
    const char* values[] = {"1", "2&2", "3&3&3"};
    for (int n = 0; n < 3; ++n) {
        TickUntilIdleOrSent();
        ASSERT_EQ(rig.port.written.size(), std::size_t(n + 1));
        AnswerDie(values[n]);
    }
    EXPECT_EQ(rig.port.written[1], Frame::BuildRequest("DIE", "0400"));
    EXPECT_EQ(rig.port.written[2], Frame::BuildRequest("DIE", "0800"));
    RunToEnd();
    EXPECT_FALSE(load.Running());
    for (int channel = 0; channel < 3; ++channel) {
        ASSERT_TRUE(plotted[channel]) << channel;
        EXPECT_EQ(plotted[channel]->PointCount(), channel + 1);
        EXPECT_EQ(plotted[channel]->values[0], double(channel + 1));
    }
}

// How the second of three exchanges fails.
enum class Failure { Nak, ErrorReply, Timeout, Garbled };

std::string FailureName(const testing::TestParamInfo<Failure>& info) {
    static const char* const kNames[] = {"Nak", "ErrorReply", "Timeout", "Garbled"};
    return kNames[static_cast<int>(info.param)];
}

class AlarmDataLoadFailureTest : public AlarmDataLoadTest,
                                 public testing::WithParamInterface<Failure> {};

TEST_P(AlarmDataLoadFailureTest, FailedMiddleExchangeLeavesItsChannelEmptyAndGoesOn) {
    load.Start({1, 2, 3});
    TickUntilIdleOrSent();
    AnswerDie("10&11");
    TickUntilIdleOrSent();
    ASSERT_EQ(rig.port.written.size(), 2u);
    switch (GetParam()) {
        case Failure::Nak:
            Deliver(Byte(Frame::NAK));
            break;
        case Failure::ErrorReply:
            Deliver(Frame::BuildReply(Frame::ErrorMarker, "21"));
            break;
        case Failure::Garbled:
            Deliver("\x02\x01RDIE5&5:Z\x03");
            break;
        case Failure::Timeout:
            rig.Ticks(5 * 4);
            ASSERT_EQ(rig.hooks.status, LinkText::Timeout);
            break;
    }
    TickUntilIdleOrSent();
    // After resends the engine holds the next request until the copies' answers could have come.
    for (int i = 0; i < 100 && rig.comm.Draining(); ++i) rig.Ticks(1);
    ASSERT_EQ(rig.port.written.back(), Frame::BuildRequest("DIE", "0300"));
    AnswerDie("30");
    // A late answer to one of the lost copies would look like this one, so the
    // engine takes it only once the line has stayed quiet.
    for (int i = 0; i < 100 && load.Running(); ++i) {
        rig.Ticks(1);
        load.Tick();
    }
    EXPECT_FALSE(load.Running());
    ASSERT_TRUE(plotted[0]);
    EXPECT_EQ(plotted[0]->PointCount(), 2);
    EXPECT_FALSE(plotted.at(1));  // not channel 0's values again
    ASSERT_TRUE(plotted[2]);
    EXPECT_EQ(plotted[2]->values[0], 30.0);
}

INSTANTIATE_TEST_SUITE_P(Failures, AlarmDataLoadFailureTest,
                         testing::Values(Failure::Nak, Failure::ErrorReply, Failure::Timeout,
                                         Failure::Garbled),
                         FailureName);

TEST_F(AlarmDataLoadTest, PortClosedEndsIdleAndStillFinishes) {
    rig.port.open = false;
    load.Start({2, 0, 0});
    load.Tick();
    EXPECT_EQ(rig.comm.LinkState, Idle);
    EXPECT_EQ(rig.hooks.warnings.size(), 1u);
    RunToEnd();
    EXPECT_FALSE(load.Running());
    EXPECT_FALSE(plotted.at(0));
}

TEST_F(AlarmDataLoadTest, StartAgainRestartsFromPhaseZero) {
    load.Start({6, 7, 0});
    TickUntilIdleOrSent();
    AnswerDie("1");
    TickUntilIdleOrSent();
    load.Start({6, 7, 0});
    EXPECT_EQ(load.Phase(), 0);
    EXPECT_EQ(load.Channel(), 0);
    load.Tick();  // the second request is still out
    EXPECT_EQ(rig.port.written.size(), 2u);
    AnswerDie("2");
    TickUntilIdleOrSent();
    EXPECT_EQ(rig.port.written.back(), Frame::BuildRequest("DIE", "0600"));
    EXPECT_EQ(load.Channel(), 1);
}

}  // namespace
