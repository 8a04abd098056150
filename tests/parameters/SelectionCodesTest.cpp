#include <gtest/gtest.h>

#include <vector>

#include "parameters/MonitorSetting.h"
#include "parameters/MotorCode.h"

namespace {

TEST(MotorCode, ReadsTypePowerAndEncoder) {
    const MotorChoice choice = ReadMotorCode("26A5D");
    EXPECT_EQ(choice.type, 8);
    EXPECT_EQ(SeriesName(choice.type), "NQVZ");
    EXPECT_EQ(choice.power, 1);
    EXPECT_EQ(choice.powerText, "A5");
    EXPECT_EQ(choice.encoder, 13);
    EXPECT_EQ(ComposeMotorCode(choice), "26A5D");
    EXPECT_EQ(ComposeMotorCode(ReadMotorCode(" 10A53 ")), "10A53");
    EXPECT_EQ(SeriesName(0), "NQV");
}

TEST(MotorCode, UnmatchedPartsFallBackToTheTables) {
    struct Case {
        const char* value;
        int type, power, encoder;
        const char* powerText;
        const char* composed;
    };
    const Case cases[] = {
        {"99XY3", 0, 0, 3, "XY", "00A33"},   // the display keeps XY, SET writes the table's code
        {"3005", 9, 7, 9, "05", "30059"},    // no fifth character: the type's default encoder
        {"2101Z", 4, 3, 8, "01", "21018"},   // not a hex digit: likewise
        {"2101b", 4, 3, 11, "01", "2101B"},  // lower-case hex is read, written upper-case
        {"", 0, 0, 0, "", "00A30"},
    };
    for (const Case& c : cases) {
        const MotorChoice choice = ReadMotorCode(c.value);
        EXPECT_EQ(choice.type, c.type) << c.value;
        EXPECT_EQ(choice.power, c.power) << c.value;
        EXPECT_EQ(choice.encoder, c.encoder) << c.value;
        EXPECT_EQ(choice.powerText, c.powerText) << c.value;
        EXPECT_EQ(ComposeMotorCode(choice), c.composed) << c.value;
    }
}

std::vector<int> Walk(int start, int delta, int steps, int (*step)(int, int)) {
    std::vector<int> seen;
    for (int i = 0; i < steps; ++i) seen.push_back(start = step(start, delta));
    return seen;
}

TEST(MotorCode, TypeSwitchSkipsRows15And16) {
    EXPECT_EQ(Walk(13, +1, 5, StepMotorType), (std::vector<int>{14, 17, 18, 18, 18}));
    EXPECT_EQ(Walk(18, -1, 5, StepMotorType), (std::vector<int>{17, 14, 13, 12, 11}));
    EXPECT_EQ(Walk(1, -1, 2, StepMotorType), (std::vector<int>{0, 0}));
    // Rows named by the value handed in leave the skipped range at once.
    EXPECT_EQ(StepMotorType(15, +1), 17);
    EXPECT_EQ(StepMotorType(16, -1), 14);
    EXPECT_EQ(StepMotorType(16, +1), 17);
}

TEST(MotorCode, PowerSwitchStaysWithinTheTable) {
    EXPECT_EQ(StepRatedPower(13, +1), 14);
    EXPECT_EQ(StepRatedPower(14, +1), 14);
    EXPECT_EQ(StepRatedPower(0, -1), 0);
    EXPECT_EQ(RatedPowers()[14], "15");
}

TEST(MotorCode, EncoderSwitchMovesOnlyAmongTheAllowedEncoders) {
    auto walk = [](int type, int start, int delta, int steps) {
        std::vector<int> seen;
        for (int i = 0; i < steps; ++i) seen.push_back(start = StepEncoder(type, start, delta));
        return seen;
    };
    EXPECT_EQ(walk(5, 8, +1, 3), (std::vector<int>{11, 13, 13}));
    EXPECT_EQ(walk(5, 13, -1, 3), (std::vector<int>{11, 8, 8}));
    EXPECT_EQ(walk(1, 6, +1, 2), (std::vector<int>{7, 7}));
    EXPECT_EQ(walk(2, 1, -1, 2), (std::vector<int>{0, 0}));
    EXPECT_EQ(walk(12, 14, +1, 2), (std::vector<int>{15, 15}));
    EXPECT_EQ(walk(12, 10, -1, 2), (std::vector<int>{9, 9}));
    // An encoder read from the drive that the type does not allow moves onto the allowed ones.
    EXPECT_EQ(StepEncoder(4, 0, +1), 8);
    EXPECT_EQ(StepEncoder(4, 12, -1), 11);
    EXPECT_EQ(StepEncoder(0, 13, -1), 7);
    EXPECT_EQ(DefaultEncoder(2), 0);
    EXPECT_EQ(DefaultEncoder(3), 8);
    EXPECT_EQ(DefaultEncoder(9), 9);
}

TEST(MonitorSetting, ComposesItemAndPaddedScale) {
    struct Case {
        int item, scale;
        const char* value;
    };
    const Case cases[] = {{2, 45, "20045"},   {0, 45, "45"},   {0, 500, "500"},  {1, 30, "10030"},
                          {2, 5000, "25000"}, {6, 7, "60007"}, {3, 100, "30100"}};
    for (const Case& c : cases) EXPECT_EQ(ComposeMonitorValue(c.item, c.scale), c.value);
}

TEST(MonitorSetting, ItemIsTheFirstDigitOfAFiveCharacterValue) {
    const std::pair<const char*, int> cases[] = {{"30500", 3}, {" 20045 ", 2}, {"500", 0},
                                                 {"2500", 0},  {"90500", 0},   {"x0500", 0}};
    for (const auto& [value, item] : cases) EXPECT_EQ(ReadMonitorItem(value), item) << value;
    EXPECT_EQ(MonitorItems()[6].maximumScale, 2500);
    EXPECT_EQ(MonitorItems()[4].unit, "[%]");
}

}  // namespace
