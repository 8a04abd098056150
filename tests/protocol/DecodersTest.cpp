#include <gtest/gtest.h>

#include <map>

#include "protocol/AlarmTables.h"
#include "protocol/ReplyFields.h"
#include "tests/protocol/EngineDoubles.h"

namespace {

using namespace LinkText;

// A reply frame with a correct checksum whatever its shape (no ':' added).
std::string RawReply(std::string body) {
    std::string frame = "\x02\x01" + body;
    frame += Frame::FrameChecksum(frame, Frame::Direction::Sending);
    return frame + '\x03';
}

struct DecodeCase {
    const char* name;
    std::string command;
    std::string reply;
    std::string readData;  // after the reply; "old" when left unchanged
    int commError;
    std::string status;
};

void PrintTo(const DecodeCase& c, std::ostream* os) {
    *os << c.name;
}

const DecodeCase kDecodeCases[] = {
    {"SetValue", "SET", Reply("SET0046000"), "0046000", 0, ""},
    {"ValueCutAtFirstColon", "SET", Reply("SET12:34"), "12", 0, ""},
    {"EmptyValue", "SET", Reply("SET"), "", 0, ""},
    {"NoColonLeavesValue", "SET", RawReply("RSET12"), "old", 0, ""},
    {"EchoMismatch", "SET", Reply("STR12"), "old", 1, AxisError},
    {"EchoTrimmed", "SET", Reply(" SE T"), "old", 1, AxisError},
    {"StationMismatch", "DIE", Frame::BuildReply('R', "DIE5", '\x02'), "old", 1, AxisError},
    {"DieValue", "DIE", Reply("DIE1&2&3"), "1&2&3", 0, ""},
    {"MonitorValue", "MDM", Reply("MDM100&200&0FFF"), "100&200&0FFF", 0, ""},
    {"CaptureFromPosition4", "MOT", Reply("00112233"), "00112233", 0, ""},
    {"CaptureStationOnly", "MOT", Frame::BuildReply('R', "001", '\x07'), "old", 1, AxisError},
    {"ProgressWordBusy", "TAT", Reply("BSY0123"), "BSY", 0, ""},
    {"ProgressWordDone", "ETC", Reply("TOK"), "TOK", 0, ""},
    {"ProgressWordTrimmed", "ETC", Reply(" OK"), "OK", 0, ""},
    {"ProgressWordShort", "TAT", Reply("B"), "B", 0, ""},
    {"StatusTooShort", "STS", Reply("STSP 1"), "old", 2, ""},
    {"StatusAlarmOutOfRange", "STS", Reply("STSP 11E-1"), "old", 2, ""},
    {"StatusAlarmNotNumber", "STS", Reply("STSP 11EXY"), "old", 2, ""},
    {"MotorCapacityNotNumber", "TYP", Reply("TYP-_ZZ"), "old", 2, ""},
    {"MotorTooShort", "TYP", Reply("TYP-_"), "old", 2, ""},
    {"HistoryTooShort", "EHY", Reply("EHY21"), "old", 2, ""},
    {"HistoryBadEntry", "EHY", Reply("EHY21&XX&00&00&00&00&00&00"), "old", 2, ""},
};

class DecodeCaseTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeCaseTest, Reply) {
    const DecodeCase& c = GetParam();
    EngineRig rig;
    rig.comm.ReadData.Data = "old";
    rig.Send(c.command, "", AwaitData);
    rig.comm.HandleChunk(c.reply);
    EXPECT_EQ(rig.comm.ReadData.Data, c.readData);
    EXPECT_EQ(rig.comm.CommError, c.commError);
    EXPECT_EQ(rig.hooks.status, c.status);
    EXPECT_EQ(rig.comm.LinkState, ReplyDone);
    EXPECT_FALSE(rig.hooks.timer);  // rejected (1) or aborted (2), the exchange is over
}

INSTANTIATE_TEST_SUITE_P(Table, DecodeCaseTest, testing::ValuesIn(kDecodeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Decoders, ValueSetsTheStationCharacter) {
    EngineRig rig;
    rig.Send("SET", "000", AwaitData);
    rig.comm.HandleChunk(Reply("SET7"));
    EXPECT_EQ(rig.comm.ReadData.Axis, "\x01");
}

TEST(Decoders, MonitorValuesShownOnlyWhenNothingElseReadsThem) {
    struct Condition {
        int continuation, graphTimeSelect;
        bool manualOffset;
        int shows;
    };
    for (Condition c :
         {Condition{0, 0, false, 1}, {1, 0, false, 0}, {0, 5, false, 0}, {0, 0, true, 0}}) {
        EngineRig rig;
        RecordingMonitor monitor;
        monitor.manualOffset = c.manualOffset;
        rig.comm.MonitorRef = &monitor;
        rig.comm.GraphTimeSelect = c.graphTimeSelect;
        rig.comm.ContinuationKind = c.continuation;
        rig.Send("MDM", "0102", AwaitData);
        rig.comm.ContinuationKind = 0;  // the condition is read while decoding
        rig.comm.ContinuationKind = c.continuation;
        rig.comm.HandleChunk(Reply("MDM1&2"));
        EXPECT_EQ(monitor.shows, c.shows);
    }
}

TEST(Decoders, MotorNames) {
    struct Case {
        std::string value, name;
        bool recognised;
    };
    const Case cases[] = {
        {"-_A5", "NQV 50W", true},     {"RS10", "PJLS 1.0KW", true},
        {"Q_04", "NQVQ 400W", true},   {"Z_A3", "NQVZ 30W", true},
        {"RL15", "PJLL 1.5KW", true},  {"RQA8", "PJLQ 80W", true},
        {"X_09", "900W", true},        {"RX22", "2.2KW", true},
        {"XY04", "400W", false},       {"T_20AB", "NQVT 2.0KWAB", true},
        {"D_01B", "NQVD 100WB", true},
    };
    for (const Case& c : cases) {
        const MotorName name = ReadMotorName(c.value);
        EXPECT_EQ(name.text, c.name) << c.value;
        EXPECT_EQ(name.recognised, c.recognised) << c.value;
    }
}

TEST(Decoders, MotorTypeShownEvenWithoutSeries) {
    EngineRig rig;
    RecordingMonitor monitor;
    rig.comm.MonitorRef = &monitor;
    rig.Send("TYP", "", AwaitData);
    rig.comm.HandleChunk(Reply("TYPXY04"));
    EXPECT_EQ(monitor.motor, "400W");
    EXPECT_EQ(rig.hooks.status, NoMotorType);
    EXPECT_EQ(rig.comm.CommError, 1);

    rig.Send("TYP", "", AwaitData);
    rig.comm.HandleChunk(Reply("TYP-_A5"));
    EXPECT_EQ(monitor.motor, "NQV 50W");
    EXPECT_EQ(rig.comm.CommError, 0);
}

TEST(Decoders, VersionIsFiveCharacters) {
    EngineRig rig;
    RecordingMonitor monitor;
    rig.comm.MonitorRef = &monitor;
    rig.Send("VER", "", AwaitData);
    rig.comm.HandleChunk(Reply("VERV1.20X"));
    EXPECT_EQ(monitor.version, "V1.20");
}

TEST(Decoders, StatusReplies) {
    struct Case {
        std::string value;
        std::string status;
        int commError;
        StatusReply::Mode mode;
        ModeLeds leds;
        StatusReply::Word word;
    };
    using M = StatusReply::Mode;
    using W = StatusReply::Word;
    const Case cases[] = {
        {"P 11RUN", "", 0, M::Lit, {true, false, false, false}, W::Run},
        {"CS00RDY", "", 0, M::Lit, {false, true, false, true}, W::Other},
        {"S 00E21", "Instant Overload", 0, M::Lit, {false, true, false, false}, W::Alarm},
        {"T 00W10",
         "Over speed command warning",
         0,
         M::Lit,
         {false, false, true, false},
         W::Warning},
        {"T 00W03", "", 0, M::Lit, {false, false, true, false}, W::Warning},
        {"X 00RDY", "", 0, M::Unchanged, {}, W::Other},
        {"XY00RDY", kUnknownModeText, 1, M::Unknown, {}, W::Other},
        {"  00RDY", kModeReadErrorText, 1, M::ReadError, {}, W::Other},
        {"XY00E12", "Over Current Error", 1, M::Unknown, {}, W::Alarm},
    };
    for (const Case& c : cases) {
        EngineRig rig;
        RecordingMonitor monitor;
        rig.comm.MonitorRef = &monitor;
        rig.hooks.status = "untouched";
        rig.Send("STS", "", AwaitData);
        rig.comm.HandleChunk(Reply("STS" + c.value));
        ASSERT_EQ(monitor.statuses.size(), 1u) << c.value;
        const StatusReply& s = monitor.statuses[0];
        EXPECT_EQ(rig.hooks.status,
                  c.status.empty() && c.word != W::Warning ? "untouched" : c.status)
            << c.value;
        EXPECT_EQ(rig.comm.CommError, c.commError) << c.value;
        EXPECT_EQ(s.mode, c.mode) << c.value;
        if (c.mode == M::Lit) {
            EXPECT_EQ(s.leds, c.leds) << c.value;
        }
        EXPECT_EQ(s.wordKind, c.word) << c.value;
        EXPECT_EQ(s.speedMatch, c.value[2] == '1');
        EXPECT_EQ(s.tgOn, c.value[3] == '1');
    }
}

TEST(Decoders, FirstStatusAfterTriggerActivationIsSkipped) {
    EngineRig rig;
    RecordingMonitor monitor;
    rig.comm.MonitorRef = &monitor;
    rig.comm.SkipNextStatus = 1;
    for (int i = 0; i < 2; ++i) {
        rig.Send("STS", "", AwaitData);
        rig.comm.HandleChunk(Reply("STSP 00E21"));
    }
    EXPECT_EQ(monitor.statuses.size(), 1u);
    EXPECT_EQ(rig.comm.SkipNextStatus, 0);
}

struct RecordingHistory : IAlarmHistoryWindow {
    std::map<int, std::pair<std::string, std::string>> rows;
    void SetHistoryRow(int row, const std::string& code, const std::string& name) override {
        rows[row] = {code, name};
    }
};

TEST(Decoders, AlarmHistoryStopsAtUninitialisedMemory) {
    EngineRig rig;
    RecordingHistory history;
    history.rows[3] = {"old", "old"};
    rig.comm.AlarmHistoryRef = &history;
    rig.Send("EHY", "*", AwaitData);
    rig.comm.HandleChunk(Reply("EHY21&00&FF&12&12&12&12&12"));
    EXPECT_EQ(history.rows[1], (std::pair<std::string, std::string>{"21", "Instant Overload"}));
    EXPECT_EQ(history.rows[2], (std::pair<std::string, std::string>{"None", "No Error"}));
    EXPECT_EQ(history.rows[3], (std::pair<std::string, std::string>{"old", "old"}));
    EXPECT_EQ(history.rows.count(4), 0u);
    EXPECT_EQ(rig.hooks.status, HistoryNotInitialised);
    EXPECT_EQ(rig.comm.CommError, 0);
}

TEST(Decoders, AlarmHistoryCodesWithoutLeadingZeros) {
    EngineRig rig;
    RecordingHistory history;
    rig.comm.AlarmHistoryRef = &history;
    rig.Send("EHY", "*", AwaitData);
    rig.comm.HandleChunk(Reply("EHY05&10&11&20&30&40&50&71"));
    ASSERT_EQ(history.rows.size(), 8u);
    EXPECT_EQ(history.rows[1].first, "5");
    EXPECT_EQ(history.rows[3], (std::pair<std::string, std::string>{"11", "IPM Error"}));
    EXPECT_EQ(history.rows[8].second, "Wrong Setup Error");
}

}  // namespace
