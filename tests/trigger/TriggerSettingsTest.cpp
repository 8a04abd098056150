#include <gtest/gtest.h>

#include "trigger/TriggerSettings.h"

namespace {

struct SetupCase {
    const char* name;
    TriggerSettings settings;
    const char* setup;
    bool levelEnabled;
};

TriggerSettings IoAlarmSource() {
    TriggerSettings s;
    s.channel2 = 3;
    s.ioSource = true;
    s.sourceEntry = 11;  // S-ALM
    s.division = 5;
    s.number = 10;
    s.positiveEdge = false;
    s.point = 5;
    s.level = 77;  // not sent: the level box is disabled
    return s;
}

TriggerSettings Levelled(int entry, bool io, int level) {
    TriggerSettings s;
    s.ioSource = io;
    s.sourceEntry = entry;
    s.level = level;
    s.division = 99;
    s.point = 9;
    return s;
}

const SetupCase kCases[] = {
    {"StartValues", TriggerSettings{}, "00010000130110", true},
    {"IoAlarmSourceHasNoLevel", IoAlarmSource(), "0003112051025", false},
    {"NegativeLevel", Levelled(3, false, -150), "0001003993019-150", true},
    {"LastDataSourceHasNoLevel", Levelled(9, false, 5), "0001009993019", false},
    {"IoEntryBelowNineKeepsLevel", Levelled(8, true, 9999),
     "0001109993019"
     "9999",
     true},
};

class SetupStringTest : public testing::TestWithParam<SetupCase> {};

TEST_P(SetupStringTest, ComposesThePiecesInOrder) {
    const SetupCase& c = GetParam();
    EXPECT_EQ(TriggerSetupString(c.settings), c.setup);
    EXPECT_EQ(c.settings.LevelEnabled(), c.levelEnabled);
}

INSTANTIATE_TEST_SUITE_P(Trigger, SetupStringTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TriggerSettingsTest, TimeBaseFollowsDivisionAndNumber) {
    TriggerSettings s;
    EXPECT_DOUBLE_EQ(s.SampleSeconds(), 0.0002);
    EXPECT_DOUBLE_EQ(s.XSpan(), 0.06);
    s.division = 5;
    s.number = 10;
    EXPECT_DOUBLE_EQ(s.SampleSeconds(), 0.001);
    EXPECT_DOUBLE_EQ(s.XSpan(), 0.1);
}

TEST(TriggerSettingsTest, ListsAndCodes) {
    EXPECT_STREQ(TriggerLists::ChannelTexts[7], "Pulse Command Freq.[kpps] ");
    EXPECT_STREQ(TriggerLists::IoSourceTexts[7], "E-STOP");
    EXPECT_EQ(ChannelCode(9), "09");
    EXPECT_EQ(SourceCode(false, 9), "009");
    EXPECT_EQ(SourceCode(true, 0), "101");
    EXPECT_EQ(SourceCode(true, 11), "112");
    EXPECT_THROW(SourceCode(true, 12), std::out_of_range);
    EXPECT_THROW(ChannelCode(-1), std::out_of_range);
}

}  // namespace
