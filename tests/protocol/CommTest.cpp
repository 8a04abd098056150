#include <gtest/gtest.h>

#include <optional>

#include "protocol/Comm.h"
#include "tests/protocol/EngineDoubles.h"

namespace {

using namespace LinkText;

const std::string kAck = Byte(Frame::ACK), kNak = Byte(Frame::NAK), kRs = Byte(Frame::RS),
                  kGs = Byte(Frame::GS), kUs = Byte(Frame::US);

// One exchange: the caller sends `command`, waits in `state`, and `chunks` arrive.
struct EngineCase {
    const char* name;
    std::uint8_t state;
    std::string command;
    std::vector<std::string> chunks;
    // expectations
    std::uint8_t linkState;
    int commError;
    std::string status;
    int frames = 1;  // frames written in all
    int steps = 0;   // continuation steps run
    std::optional<std::string> readData = std::nullopt;
    int transferOk = 1;
    // set-up
    int continuation = 0;
    int graphTimeSelect = 0;
    int moreReads = 0;
};

std::string FrameStart(const std::string& frame) {
    return frame.substr(0, 5);
}
std::string FrameRest(const std::string& frame) {
    return frame.substr(5);
}

const std::string kSetReply = Reply("SET1234");

const EngineCase kCases[] = {
    {"AckCompletesCommand", AwaitAck, "STR", {kAck}, Idle, 0, ""},
    {"NakToCommand", AwaitAck, "STR", {kNak}, Idle, 1, Nak, 1, 0, {}, 0},
    {"NakToRead", AwaitData, "SET", {kNak}, Idle, 1, Nak, 1, 0, {}, 0},
    {"RsToRead", AwaitData, "SET", {kRs}, Idle, 1, Rs, 1, 0, {}, 0},
    {"GsRefusesStore", AwaitAck, "STR", {kGs}, Idle, 0, RefusedWhileRunning, 1, 0, {}, 0},
    {"GsToOtherCommandIsPacketError", AwaitAck, "SVRON", {kGs}, Idle, 1, PacketError, 1, 0, {}, 0},
    {"ErrorReplyToWriteSkipsChecksum",
     AwaitAck,
     "STR",
     {"\x02\x01"
      "E21zz:0\x03"},
     Idle,
     21,
     "",
     1,
     0,
     {},
     0},
    {"ErrorReplyWithBlankCode",
     AwaitAck,
     "STR",
     {"\x02\x01"
      "E 5"},
     Idle,
     5,
     "",
     1,
     0,
     {},
     0},
    {"TwoByteChunkToWrite", AwaitAck, "STR", {"\x02\x01"}, Idle, 1, PacketError, 1, 0, {}, 0},
    {"NonNumericErrorCodeToWrite",
     AwaitAck,
     "STR",
     {"\x02\x01"
      "EXX:0\x03"},
     Idle,
     1,
     PacketError,
     1,
     0,
     {},
     0},
    {"ErrorReplyToReadChecked",
     AwaitData,
     "SET",
     {Reply("").replace(2, 1, "E21")},
     ReplyDone,
     1,
     ChecksumError,
     1,
     0,
     {},
     0},
    {"ErrorReplyToReadValid",
     AwaitData,
     "SET",
     {Frame::BuildReply('E', "21")},
     ReplyDone,
     21,
     "",
     1,
     0,
     {},
     0},
    {"ValueDecoded", AwaitData, "SET", {kSetReply}, ReplyDone, 0, "", 1, 0, "1234"},
    {"SplitReplyReassembled",
     AwaitData,
     "SET",
     {kSetReply.substr(0, 1), kSetReply.substr(1, 6), kSetReply.substr(7)},
     ReplyDone,
     0,
     "",
     1,
     0,
     "1234"},
    {"StxInAwaitRest",
     AwaitData,
     "SET",
     {FrameStart(kSetReply), kSetReply},
     Idle,
     1,
     PacketError,
     1,
     0,
     {},
     0},
    {"TrailingBytesFailChecksum",
     AwaitData,
     "SET",
     {kSetReply + "xy"},
     ReplyDone,
     1,
     ChecksumError,
     1,
     0,
     {},
     0},
    {"SecondReplyInTheChunkIsPacketError",
     AwaitData,
     "SET",
     {kSetReply + kAck},
     Idle,
     1,
     PacketError,
     1,
     0,
     {},
     0},
    {"ReplyTwiceInOneChunkIsNotUsed",
     AwaitData,
     "SET",
     {kSetReply + kSetReply},
     Idle,
     1,
     PacketError,
     1,
     0,
     "old",
     0,
     1,
     0,
     1},
    {"UsEmptiesValueAndKeepsWaiting", AwaitData, "SET", {kUs}, AwaitData, 0, "", 1, 0, ""},
    {"UsRunsContinuation", AwaitData, "SET", {kUs}, Idle, 0, "", 1, 1, "", 1, 1},
    {"AckWhilePollingOffIsPacketError",
     AwaitData,
     "MOR",
     {kAck},
     Idle,
     1,
     PacketError,
     1,
     0,
     {},
     0},
    {"AckWhilePollingOnPollsAgain", AwaitData, "MOR", {kAck}, AwaitData, 0, "", 2, 0, {}, 1, 0, 5},
    {"GarbageToRead", AwaitData, "SET", {"xyz"}, Idle, 1, PacketError, 1, 0, {}, 0},
    {"AliveAck", AwaitAliveAck, "LIV", {kAck}, Idle, 0, ""},
    {"AliveIgnoresOtherBytes", AwaitAliveAck, "LIV", {kNak, "xyz"}, AwaitAliveAck, 0, ""},
    {"IdleIgnoresChunks", Idle, "STR", {kNak, kSetReply}, Idle, 0, ""},
    {"ReplyDoneIgnoresChunks", ReplyDone, "STR", {kNak}, ReplyDone, 0, ""},
    {"DecoderExceptionIsCode2", AwaitData, "STS", {Reply("STS")}, ReplyDone, 2, ""},
    {"NoDecoderLeavesValue", AwaitData, "STR", {Reply("XYZ99")}, ReplyDone, 0, "", 1, 0, "old"},
    {"StationMismatch",
     AwaitData,
     "SET",
     {Frame::BuildReply('R', "SET12", '\x05')},
     ReplyDone,
     1,
     AxisError,
     1,
     0,
     "old"},
    {"ContinuationChain",
     AwaitData,
     "SET",
     {kSetReply, Reply("SET0002")},
     Idle,
     0,
     "",
     2,
     2,
     "0002",
     1,
     1,
     0,
     1},
    {"UnknownContinuation",
     AwaitData,
     "SET",
     {kSetReply},
     Idle,
     1,
     ContinuationError,
     1,
     0,
     "1234",
     1,
     7},
    {"ReplyWithoutEndIsBounded",
     AwaitData,
     "SET",
     {"\x02" + std::string(TComm::kMaxReplyBytes, 'a')},
     Idle,
     1,
     PacketError,
     1,
     0,
     {},
     0},
    {"ChunkedReplyWithoutEndIsBounded",
     AwaitData,
     "SET",
     {"\x02", std::string(TComm::kMaxReplyBytes / 2, 'a'),
      std::string(TComm::kMaxReplyBytes / 2, 'a')},
     Idle,
     1,
     PacketError,
     1,
     0,
     {},
     0},
};

void PrintTo(const EngineCase& c, std::ostream* os) {
    *os << c.name;
}

class EngineCaseTest : public testing::TestWithParam<EngineCase> {};

TEST_P(EngineCaseTest, Exchange) {
    const EngineCase& c = GetParam();
    EngineRig rig;
    RecordingReader reader;
    reader.comm = &rig.comm;
    reader.sendNext = c.moreReads;
    rig.comm.ReaderRef = &reader;
    rig.comm.ActiveWindow = EditorActive;
    rig.comm.ReadData.Data = "old";
    rig.comm.TransferOk = 1;
    rig.comm.ContinuationKind = c.continuation;
    rig.comm.GraphTimeSelect = c.graphTimeSelect;
    rig.comm.PollDelayMs = 20;
    rig.Send(c.command, "000", c.state);
    for (const std::string& chunk : c.chunks) rig.comm.HandleChunk(chunk);

    EXPECT_EQ(int(rig.comm.LinkState), int(c.linkState));
    EXPECT_EQ(rig.comm.CommError, c.commError);
    EXPECT_EQ(rig.hooks.status, c.status);
    EXPECT_EQ(int(rig.port.written.size()), c.frames);
    EXPECT_EQ(int(reader.values.size()), c.steps);
    if (c.readData) {
        EXPECT_EQ(rig.comm.ReadData.Data, *c.readData);
    }
    EXPECT_EQ(rig.comm.TransferOk, c.transferOk);
    if (c.linkState != c.state && (c.linkState == Idle || c.linkState == ReplyDone)) {
        EXPECT_FALSE(rig.hooks.led);  // nothing in flight any more
        EXPECT_EQ(rig.comm.ContinuationKind, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, EngineCaseTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Engine, GsRollsBackTheEditorThatStored) {
    EngineRig rig;
    RecordingReader first, second;
    rig.comm.EditorRef = &first;
    rig.Send("STR", "0046000", AwaitAck);
    rig.comm.HandleChunk(kGs);
    EXPECT_EQ(first.rollBacks, 1);
    EXPECT_EQ(second.rollBacks, 0);
    EXPECT_FALSE(rig.hooks.timer);
}

TEST(Engine, RequestBytesOnTheWire) {
    EngineRig rig;
    rig.Send("SET", "000", AwaitData);
    ASSERT_EQ(rig.port.written.size(), 1u);
    EXPECT_EQ(rig.port.written[0], "\x02\x01#SET000:A\x03");
    EXPECT_EQ(rig.comm.SendData.Axis, "\x01");
    EXPECT_TRUE(rig.hooks.led);
    EXPECT_TRUE(rig.hooks.timer);
}

TEST(Engine, PollingAgainSendsEmptyDataAfterThePause) {
    EngineRig rig;
    rig.comm.GraphTimeSelect = 2;
    rig.comm.PollDelayMs = 30;
    rig.Send("MOR", "0212", AwaitData);
    rig.comm.HandleChunk(kAck);
    ASSERT_EQ(rig.port.written.size(), 2u);
    EXPECT_EQ(rig.port.written[1], Frame::BuildRequest("MOR", ""));
    EXPECT_EQ(rig.comm.SendData.Data, "");
    EXPECT_EQ(rig.hooks.pausedMs, 30);
}

TEST(Engine, SendWhileOfflineWarnsAndSendsNothing) {
    EngineRig rig;
    rig.port.open = false;
    rig.comm.TransferOk = 1;
    rig.comm.ContinuationKind = 1;
    rig.Send("SET", "000", AwaitData);
    EXPECT_TRUE(rig.port.written.empty());
    EXPECT_EQ(rig.hooks.warnings, std::vector<std::string>{PortClosed});
    EXPECT_EQ(rig.comm.TransferOk, 0);
    EXPECT_EQ(rig.comm.ContinuationKind, 0);
    EXPECT_FALSE(rig.hooks.timer);
    EXPECT_FALSE(rig.hooks.led);
}

TEST(Engine, FailedSendWarnsWithoutTimeout) {
    for (bool overflow : {false, true}) {
        EngineRig rig;
        rig.port.failWrites = !overflow;
        const std::string command = overflow ? std::string(300, '\xFF') : "SET";
        rig.Send(command, "000", AwaitData);
        EXPECT_EQ(rig.hooks.warnings, std::vector<std::string>{SendFailed});
        EXPECT_FALSE(rig.hooks.timer);
        EXPECT_EQ(rig.comm.LinkState, AwaitData);  // as the caller set it
    }
}

TEST(Engine, AbortStopsTheMonitoringWindowOnlyWhenItIsActive) {
    for (int active : {MonitoringActive, TriggerActive}) {
        EngineRig rig;
        RecordingMonitor monitor;
        rig.comm.MonitorRef = &monitor;
        rig.comm.ActiveWindow = active;
        rig.Send("MDM", "0102", AwaitData);
        rig.comm.HandleChunk(kNak);
        EXPECT_EQ(monitor.stops, active == MonitoringActive ? 1 : 0);
        EXPECT_EQ(rig.comm.SuppressSwitchEvents, 0);
    }
}

// --- time-outs and resends ---

TEST(EngineTimeout, SilentDriveGetsThreeResendsThenTheError) {
    EngineRig rig;
    rig.comm.TransferOk = 1;
    rig.Send("SET", "000", AwaitData);
    std::vector<int> sendTicks;  // tick number at which each frame went out
    for (int tick = 1; tick <= 30 && rig.hooks.timer; ++tick) {
        const auto before = rig.port.written.size();
        rig.comm.HandleTimeout();
        if (rig.port.written.size() > before) sendTicks.push_back(tick);
    }
    EXPECT_EQ(sendTicks, (std::vector<int>{5, 10, 15}));  // 250 ms apart at 50 ms a tick
    EXPECT_EQ(rig.port.written.size(), 4u);
    for (const auto& frame : rig.port.written) EXPECT_EQ(frame, rig.port.written[0]);
    EXPECT_EQ(rig.hooks.status, Timeout);
    EXPECT_EQ(rig.comm.CommError, 1);
    EXPECT_EQ(rig.comm.LinkState, Idle);
    EXPECT_EQ(rig.comm.ResendCount, 0);
    EXPECT_EQ(rig.comm.TransferOk, 0);  // a transfer that timed out did not succeed
    EXPECT_FALSE(rig.hooks.timer);

    // The next silent exchange again gets three resends, once the quiet owed
    // to the four unanswered copies has passed.
    rig.Send("SET", "001", AwaitData);
    EXPECT_EQ(rig.port.written.size(), 4u);
    rig.Ticks(TComm::kMinGuardTicks + 30);
    EXPECT_EQ(rig.port.written.size(), 8u);
}

TEST(EngineTimeout, ResendsCountAcrossExchanges) {
    EngineRig rig;
    rig.Send("SET", "000", AwaitData);
    rig.Ticks(10);  // two resends
    ASSERT_EQ(rig.port.written.size(), 3u);
    EXPECT_EQ(rig.comm.LinkState, AwaitData);  // the resend keeps the awaited state
    rig.comm.HandleChunk(kSetReply);
    EXPECT_EQ(rig.comm.ReadData.Data, "1234");
    EXPECT_EQ(rig.comm.ResendCount, 2);

    rig.Send("SET", "001", AwaitData);
    rig.Ticks(30);
    EXPECT_EQ(rig.port.written.size(), 5u);  // one resend left
    EXPECT_EQ(rig.hooks.status, Timeout);
}

TEST(EngineTimeout, EveryChunkRestartsTheCount) {
    EngineRig rig;
    rig.Send("SET", "000", AwaitData);
    rig.Ticks(4);
    rig.comm.HandleChunk(FrameStart(kSetReply));
    rig.Ticks(4);
    rig.comm.HandleChunk(FrameRest(kSetReply).substr(0, 2));
    rig.Ticks(4);
    rig.comm.HandleChunk(FrameRest(kSetReply).substr(2));
    EXPECT_EQ(rig.port.written.size(), 1u);
    EXPECT_EQ(rig.comm.ReadData.Data, "1234");
}

TEST(EngineTimeout, ReplyCutOffMidFrameIsReadAfresh) {
    EngineRig rig;
    rig.Send("SET", "000", AwaitData);
    rig.comm.HandleChunk(FrameStart(kSetReply));
    ASSERT_EQ(rig.comm.LinkState, AwaitRest);
    rig.Ticks(5);
    EXPECT_EQ(rig.port.written.size(), 2u);
    EXPECT_EQ(rig.comm.LinkState, AwaitData);
    rig.comm.HandleChunk(kSetReply);
    EXPECT_EQ(rig.comm.LinkState, ReplyDone);
    EXPECT_EQ(rig.comm.ReadData.Data, "1234");
    EXPECT_EQ(rig.comm.CommError, 0);
}

TEST(EngineTimeout, EndedChainIsNotResent) {
    EngineRig rig;
    RecordingReader reader;
    reader.comm = &rig.comm;
    rig.comm.ReaderRef = &reader;
    rig.comm.ActiveWindow = EditorActive;
    rig.comm.ContinuationKind = 1;
    rig.Send("SET", "618", AwaitData);
    rig.comm.HandleChunk(kUs);  // the last slot is unused: the reader ends the chain
    ASSERT_EQ(rig.comm.LinkState, Idle);
    EXPECT_FALSE(rig.hooks.timer);
    rig.hooks.timer = true;  // a tick posted before the timer stopped
    rig.Ticks(20);
    EXPECT_EQ(rig.port.written.size(), 1u);
    EXPECT_FALSE(rig.hooks.timer);
    EXPECT_EQ(rig.comm.ResendCount, 0);
    EXPECT_EQ(rig.hooks.status, "");
}

TEST(EngineTimeout, AliveCheckTimesOutQuietly) {
    for (int active : {MonitoringActive, TriggerActive}) {
        EngineRig rig;
        RecordingMonitor monitor;
        struct : ITriggerWindow {
            std::vector<bool> controls;
            void SetLinkControls(bool enabled) override { controls.push_back(enabled); }
            void ReadTriggerCapture() override {}
        } trigger;
        rig.comm.MonitorRef = &monitor;
        rig.comm.TriggerRef = &trigger;
        rig.comm.ActiveWindow = active;
        rig.comm.LinkAlive = 1;
        rig.comm.ResendCount = 2;
        rig.Send("LIV", "", AwaitAliveAck);
        rig.Ticks(30);
        EXPECT_EQ(rig.port.written.size(), 1u);
        EXPECT_EQ(rig.hooks.status, "");
        EXPECT_EQ(rig.comm.LinkState, Idle);
        EXPECT_EQ(rig.comm.LinkAlive, 0);
        EXPECT_EQ(rig.comm.ResendCount, 2);
        EXPECT_FALSE(rig.hooks.timer);
        const bool monitoring = active == MonitoringActive;
        EXPECT_EQ(monitor.linkControls,
                  monitoring ? std::vector<bool>{false} : std::vector<bool>{});
        EXPECT_EQ(monitor.pollStops, monitoring ? 1 : 0);
        EXPECT_EQ(trigger.controls, monitoring ? std::vector<bool>{} : std::vector<bool>{false});
    }
}

TEST(EngineTimeout, AliveAckEnablesTheActiveWindow) {
    EngineRig rig;
    RecordingMonitor monitor;
    rig.comm.MonitorRef = &monitor;
    rig.comm.ActiveWindow = MonitoringActive;
    rig.Send("LIV", "", AwaitAliveAck);
    rig.comm.HandleChunk(kAck);
    EXPECT_EQ(rig.comm.LinkAlive, 1);
    EXPECT_EQ(monitor.linkControls, std::vector<bool>{true});
    EXPECT_FALSE(rig.hooks.timer);
}

TEST(Engine, ClosedWindowStopsReceivingItsTransfer) {
    EngineRig rig;
    rig.comm.ContinuationKind = 1;
    rig.comm.ActiveWindow = EditorActive;
    rig.Send("SET", "000", AwaitData);
    rig.comm.HandleChunk(kSetReply);  // no editor any more
    EXPECT_EQ(rig.comm.LinkState, Idle);
    EXPECT_EQ(rig.comm.ContinuationKind, 0);
    EXPECT_EQ(rig.port.written.size(), 1u);
}

}  // namespace
