#include <gtest/gtest.h>

#include "tests/trigger/CaptureRig.h"

namespace {

using Requests = std::vector<std::string>;

TEST(TriggerCaptureTest, PollsBusyThenReadsEveryBlockWithProgress) {
    CaptureRig rig;
    rig.capture.Start("00010000130110", 3, 0.0002);
    EXPECT_TRUE(rig.view.capturing);
    EXPECT_EQ(rig.view.clears, 1);
    rig.Ticks();
    EXPECT_EQ(rig.LastSent(), "MOT00010000130110");
    EXPECT_EQ(rig.comm.LinkState, AwaitAck);
    EXPECT_TRUE(rig.view.blinking);
    rig.Ticks(3);  // nothing more until the ACK
    rig.Ack();
    rig.Ticks();
    EXPECT_EQ(rig.comm.ContinuationKind, 3);
    EXPECT_EQ(rig.comm.LinkState, AwaitData);
    EXPECT_FALSE(rig.view.sequence);  // Single: the reader carries on by itself

    rig.Data("BSY");
    rig.Data("BSY");
    rig.Data("TOK");
    EXPECT_TRUE(rig.view.blinking);
    rig.Data("MOT1&2");
    EXPECT_FALSE(rig.view.blinking);
    EXPECT_NEAR(*rig.view.progress, 33.3, 0.05);
    rig.Data("MOT3&4");
    EXPECT_NEAR(*rig.view.progress, 66.7, 0.05);
    rig.Data("MOT5&6");
    EXPECT_EQ(rig.Sent(),
              (Requests{"MOT00010000130110", "MOT", "MOT", "MOT", "MOT00", "MOT01", "MOT02"}));
    ASSERT_EQ(rig.view.plots.size(), 1u);
    EXPECT_EQ(rig.view.plots[0],
              (std::vector<TriggerPair>{{0, 1, 2}, {0.0002, 3, 4}, {0.0004, 5, 6}}));
    EXPECT_FALSE(rig.view.progress);
    EXPECT_FALSE(rig.view.capturing);
    EXPECT_EQ(rig.comm.LinkState, Idle);
    EXPECT_EQ(rig.comm.ContinuationKind, 0);
    EXPECT_EQ(rig.comm.CommError, 0);
    EXPECT_FALSE(rig.hooks.timer);
}

TEST(TriggerCaptureTest, SamplesAlternateChannelsAndSharePeriods) {
    CaptureRig rig;
    rig.Arm(1, 0.001);
    rig.Data("TOK");
    rig.Data("MOT12&-3&15&-4");
    EXPECT_EQ(rig.capture.TriggerSamples(), (std::vector<int>{12, -3, 15, -4}));
    ASSERT_EQ(rig.view.plots.size(), 1u);
    EXPECT_EQ(rig.view.plots[0], (std::vector<TriggerPair>{{0, 12, -3}, {0.001, 15, -4}}));
}

TEST(TriggerCaptureTest, NomalRearmsAndRedrawsUntilStop) {
    CaptureRig rig;
    rig.capture.SetNomal(true);
    rig.capture.Start("SETUP", 1, 0.0002);
    for (int recording = 1; recording <= 3; ++recording) {
        rig.Ticks();
        EXPECT_EQ(rig.LastSent(), "MOTSETUP") << recording;
        rig.Ack();
        rig.Ticks();
        EXPECT_EQ(rig.LastSent(), "MOT");
        rig.Data("BSY");
        rig.Data("TOK");
        rig.Data("MOT" + std::to_string(recording) + "&0");
        ASSERT_EQ(rig.view.plots.size(), std::size_t(recording));
        EXPECT_EQ(rig.view.plots.back()[0].channel1, recording);
        EXPECT_EQ(rig.view.clears, recording + 1);  // START, then before each drawing
        EXPECT_TRUE(rig.view.capturing);
        EXPECT_TRUE(rig.view.sequence);
    }
    rig.capture.Stop();
    rig.Ticks(5);
    EXPECT_EQ(rig.LastSent(), "MOT00");
    EXPECT_FALSE(rig.view.capturing);
}

TEST(TriggerCaptureTest, StopSendsEscapeOnTheFifthTick) {
    CaptureRig rig;
    rig.Arm(2);
    rig.Data("BSY");
    rig.capture.Stop();
    EXPECT_EQ(rig.comm.ContinuationKind, 0);
    EXPECT_FALSE(rig.view.capturing);
    rig.Data("BSY");  // the poll in flight is answered; nothing follows it
    EXPECT_EQ(rig.comm.LinkState, ReplyDone);
    const std::size_t before = rig.port.written.size();
    rig.EscapeTicks(4);
    EXPECT_EQ(rig.port.written.size(), before);
    rig.EscapeTicks(1);
    EXPECT_EQ(rig.LastSent(), "ESC");
    EXPECT_EQ(rig.comm.LinkState, AwaitAck);
    EXPECT_FALSE(rig.view.escape);
    rig.Ack();
    EXPECT_EQ(rig.comm.LinkState, Idle);
    EXPECT_EQ(rig.comm.CommError, 0);
}

TEST(TriggerCaptureTest, EscapeWaitsForAReplyStillOnItsWay) {
    CaptureRig rig;
    rig.Arm(2);
    rig.Data("TOK");
    rig.capture.Stop();
    rig.EscapeTicks(8);
    EXPECT_EQ(rig.LastSent(), "MOT00");  // the block is still awaited
    rig.Data("MOT1&2");
    EXPECT_TRUE(rig.view.plots.empty());
    rig.EscapeTicks(1);
    EXPECT_EQ(rig.LastSent(), "ESC");
    rig.Ack();
    EXPECT_EQ(rig.hooks.status, "");
}

TEST(TriggerCaptureTest, ExitAfterStopSendsNoEscape) {
    CaptureRig rig;
    rig.Arm(1);
    rig.capture.Stop();
    rig.capture.Exit();
    EXPECT_FALSE(rig.view.escape);
    rig.Data("BSY");
    rig.EscapeTicks(10);
    EXPECT_EQ(rig.LastSent(), "MOT");
    EXPECT_EQ(rig.view.pausedMs, 100);
}

TEST(TriggerCaptureTest, ExitWhileCapturingStopsWithoutEscape) {
    CaptureRig rig;
    rig.Arm(1);
    rig.capture.Exit();
    EXPECT_FALSE(rig.capture.Running());
    EXPECT_EQ(rig.comm.ContinuationKind, 0);
    EXPECT_FALSE(rig.view.escape);
}

TEST(TriggerCaptureTest, StartCancelsTheEscapeOfAnEarlierStop) {
    CaptureRig rig;
    rig.Arm(1);
    rig.capture.Stop();
    rig.Data("BSY");
    rig.capture.Start("SETUP", 1, 0.0002);
    EXPECT_FALSE(rig.view.escape);
    EXPECT_EQ(rig.comm.LinkState, Idle);
    rig.Ticks();
    EXPECT_EQ(rig.LastSent(), "MOTSETUP");
}

TEST(TriggerCaptureTest, DeactivationEscapesAndWaitsForTheAck) {
    CaptureRig rig;
    rig.Arm(1);
    rig.Data("BSY");
    rig.Data("TOK");
    rig.Data("MOT1&2");  // Single ended the capture: nothing to escape
    rig.capture.FormDeactivate();
    EXPECT_EQ(rig.LastSent(), "MOT00");

    rig.capture.SetNomal(true);
    rig.capture.Start("SETUP", 1, 0.0002);
    rig.Ticks();
    rig.Ack();
    rig.comm.SuppressSwitchEvents = 1;
    rig.capture.FormDeactivate();
    EXPECT_EQ(rig.view.pausedMs, 100);
    EXPECT_EQ(rig.LastSent(), "ESC");
    EXPECT_EQ(rig.comm.LinkState, AwaitAck);
    EXPECT_EQ(rig.comm.SuppressSwitchEvents, 0);
    EXPECT_FALSE(rig.view.capturing);
    rig.Ack();
    EXPECT_EQ(rig.comm.LinkState, Idle);
    EXPECT_EQ(rig.comm.CommError, 0);
    EXPECT_EQ(rig.hooks.status, "");
}

TEST(TriggerCaptureTest, DeactivationDuringAPollEscapesOnceTheReplyIsIn) {
    CaptureRig rig;
    rig.Arm(1);
    rig.capture.FormDeactivate();
    EXPECT_EQ(rig.LastSent(), "MOT");
    rig.Data("BSY");
    rig.EscapeTicks(1);
    EXPECT_EQ(rig.LastSent(), "ESC");
}

// A US reply or an echo without samples is a block the drive kept to itself:
// the read goes on, and the samples after it stay where they were recorded.
TEST(TriggerCaptureTest, EmptyBlocksLeaveTheSamplesAfterThemAtTheirTrueTimes) {
    CaptureRig rig;
    rig.Arm(4, 0.001);
    rig.Data("TOK");
    rig.Data("MOT1&2&3&4");
    rig.Answer(Byte(Frame::US));
    EXPECT_EQ(rig.LastSent(), "MOT02");
    rig.Data("MOT5&6&7&8");
    rig.Data("MOT");
    EXPECT_EQ(rig.Sent(), (Requests{"MOTSETUP", "MOT", "MOT00", "MOT01", "MOT02", "MOT03"}));
    EXPECT_EQ(rig.capture.TriggerBlockCount(), 4);
    EXPECT_EQ(rig.capture.EmptyBlocks(), 2);
    ASSERT_EQ(rig.view.plots.size(), 1u);
    EXPECT_EQ(rig.view.plots[0],
              (std::vector<TriggerPair>{{0, 1, 2}, {0.001, 3, 4}, {0.004, 5, 6}, {0.005, 7, 8}}));
    EXPECT_EQ(rig.view.gaps[0], (std::vector<TriggerGap>{{1, 0.002}, {3, 0.006}}));
    EXPECT_EQ(rig.view.note,
              "Blocks 01, 03 came back empty: the plot has a gap there, the other samples are at "
              "their true times.");
    EXPECT_EQ(rig.comm.LinkState, Idle);
    EXPECT_EQ(rig.comm.CommError, 0);
}

TEST(TriggerCaptureTest, NomalSaysWhatEachRecordingLacks) {
    CaptureRig rig;
    rig.capture.SetNomal(true);
    rig.capture.Start("SETUP", 2, 0.001);
    for (const char* second : {"", "MOT3&4"}) {
        rig.Ticks();
        rig.Ack();
        rig.Ticks();
        rig.Data("TOK");
        rig.Answer(Byte(Frame::US));
        rig.Data(*second ? second : "MOT");
    }
    ASSERT_EQ(rig.view.plots.size(), 2u);
    EXPECT_EQ(rig.view.plots[0], (std::vector<TriggerPair>{}));
    EXPECT_EQ(rig.view.plots[1], (std::vector<TriggerPair>{{0.001, 3, 4}}));
    EXPECT_EQ(rig.view.note,
              "Block 00 came back empty: the plot has a gap there, the other samples are at "
              "their true times.");
    rig.capture.Stop();
    rig.capture.Start("SETUP", 2, 0.001);
    EXPECT_EQ(rig.view.note, "");
}

std::string Samples(int count) {
    std::string block = "MOT";
    for (int i = 0; i < count; ++i) block += (i ? "&" : "") + std::to_string(i % 7 - 3);
    return block;
}

// A recording of `total` samples in blocks of 200 (a frame's checksum limits its length).
std::vector<std::string> Recording(int total) {
    std::vector<std::string> blocks;
    for (; total > 0; total -= 200) blocks.push_back(Samples(std::min(total, 200)));
    return blocks;
}

struct BadBlock {
    const char* name;
    std::vector<std::string> blocks;
};

class TriggerBadBlockTest : public testing::TestWithParam<BadBlock> {};

// The engine reports the fault; the window stays usable and "Nomal" re-arms.
TEST_P(TriggerBadBlockTest, IsTheEnginesErrorAndNomalRearms) {
    CaptureRig rig;
    rig.capture.SetNomal(true);
    const auto& blocks = GetParam().blocks;
    rig.Arm(static_cast<int>(blocks.size()));
    rig.Data("TOK");
    for (const std::string& block : blocks) rig.Data(block);
    EXPECT_EQ(rig.comm.CommError, 2);
    EXPECT_EQ(rig.comm.LinkState, Idle);
    EXPECT_EQ(rig.comm.ContinuationKind, 0);
    EXPECT_TRUE(rig.view.plots.empty());
    rig.Ticks();
    EXPECT_EQ(rig.LastSent(), "MOTSETUP");
    EXPECT_FALSE(rig.view.progress);
    EXPECT_EQ(rig.capture.TriggerSampleCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Trigger, TriggerBadBlockTest,
                         testing::Values(BadBlock{"MoreThan1501Samples", Recording(1502)},
                                         BadBlock{"NotAnInteger", {"MOT12&1.5"}},
                                         BadBlock{"EmptyField", {"MOT12&"}},
                                         BadBlock{"HalfAPair", {"MOT1&2&3", "MOT4"}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TriggerCaptureTest, RecordingOfExactly1500SamplesIsPlotted) {
    CaptureRig rig;
    const std::vector<std::string> blocks = Recording(1500);
    rig.Arm(static_cast<int>(blocks.size()));
    rig.Data("TOK");
    for (const std::string& block : blocks) rig.Data(block);
    ASSERT_EQ(rig.view.plots.size(), 1u);
    EXPECT_EQ(rig.view.plots[0].size(), 750u);
    EXPECT_EQ(rig.comm.CommError, 0);
}

TEST(TriggerCaptureTest, RejectedReplyEndsTheChainWithoutStoringStaleData) {
    CaptureRig rig;
    rig.Arm(2);
    rig.Data("TOK");
    rig.Data("MOT1&2");
    rig.Answer(Frame::BuildReply('R', "MOT3&4", '\x05'));  // another station
    EXPECT_EQ(rig.hooks.status, "Axis Error!!!");
    EXPECT_EQ(rig.comm.ContinuationKind, 0);
    EXPECT_EQ(rig.comm.LinkState, Idle);
    EXPECT_EQ(rig.capture.TriggerSampleCount(), 2);
    EXPECT_TRUE(rig.view.plots.empty());
}

TEST(TriggerCaptureTest, ClosedPortEndsTheCaptureWithOneWarning) {
    CaptureRig rig;
    rig.capture.SetNomal(true);
    rig.port.open = false;
    rig.capture.Start("SETUP", 1, 0.0002);
    rig.Ticks(10);
    EXPECT_EQ(rig.hooks.warnings.size(), 1u);
    EXPECT_FALSE(rig.capture.Running());
    EXPECT_FALSE(rig.view.capturing);
    EXPECT_EQ(rig.comm.LinkState, Idle);
}

}  // namespace
