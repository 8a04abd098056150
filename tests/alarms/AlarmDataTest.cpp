// The selector chain and the reading of a DIE reply into plot samples.

#include <gtest/gtest.h>

#include "alarms/AlarmData.h"

namespace {

using Indexes = std::array<int, 3>;
using Enabled = std::array<bool, 3>;

struct ChainCase {
    const char* name;
    Indexes index;
    Enabled enabled;
    Indexes wantIndex;
    Enabled wantEnabled;
    bool wantLoad;
    std::vector<int> wantChannels;
};

class SelectorChainTest : public testing::TestWithParam<ChainCase> {};

TEST_P(SelectorChainTest, EnablesClearsAndBuildsChannels) {
    const ChainCase& c = GetParam();
    const SelectorChain chain = ChainSelectors(c.index, c.enabled);
    EXPECT_EQ(chain.index, c.wantIndex);
    EXPECT_EQ(chain.enabled, c.wantEnabled);
    EXPECT_EQ(chain.loadEnabled, c.wantLoad);
    EXPECT_EQ(chain.channels, c.wantChannels);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SelectorChainTest,
    testing::Values(
        ChainCase{
            "nothing", {0, 0, 0}, {true, false, false}, {0, 0, 0}, {true, false, false}, false, {}},
        ChainCase{
            "first", {5, 0, 0}, {true, false, false}, {5, 0, 0}, {true, true, false}, true, {5}},
        ChainCase{"firstTwo",
                  {5, 1, 0},
                  {true, true, false},
                  {5, 1, 0},
                  {true, true, true},
                  true,
                  {5, 1}},
        ChainCase{
            "all", {1, 2, 3}, {true, true, true}, {1, 2, 3}, {true, true, true}, true, {1, 2, 3}},
        // Selector 2 chosen, then "No Select" in selector 1: 2 and 3 reset and disabled.
        ChainCase{"firstCleared",
                  {0, 4, 0},
                  {true, true, true},
                  {0, 0, 0},
                  {true, false, false},
                  false,
                  {}},
        ChainCase{"secondCleared",
                  {7, 0, 8},
                  {true, true, true},
                  {7, 0, 0},
                  {true, true, false},
                  true,
                  {7}},
        ChainCase{"thirdCleared",
                  {7, 6, 0},
                  {true, true, true},
                  {7, 6, 0},
                  {true, true, true},
                  true,
                  {7, 6}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AlarmDataTest, NineItemsAndTheirCodes) {
    const auto& names = AlarmData::QuantityNames();
    EXPECT_EQ(names[0], "No Select");
    EXPECT_EQ(names[5], "Speed feedback[RPM]");
    EXPECT_EQ(names[8], "Regeneration current[A]");
    EXPECT_EQ(AlarmData::QuantityCode(0), "00");
    EXPECT_EQ(AlarmData::QuantityCode(5), "05");
    EXPECT_THROW(AlarmData::QuantityCode(9), std::out_of_range);
}

std::string Numbers(int count, int first = 1) {
    std::string value;
    for (int i = 0; i < count; ++i) value += (i ? "&" : "") + std::to_string(first + i);
    return value;
}

TEST(AlarmSamplesTest, ThirtySamplesFillSlotsOneToThirty) {
    const AlarmSamples samples = ParseAlarmSamples(Numbers(30));
    ASSERT_EQ(samples.values.size(), 30u);
    EXPECT_EQ(samples.PointCount(), 30);
    EXPECT_EQ(samples.values.front(), 1.0);
    EXPECT_EQ(samples.values.back(), 30.0);
    EXPECT_DOUBLE_EQ(AlarmSamples::Time(1), 0.001);
    EXPECT_DOUBLE_EQ(AlarmSamples::Time(30), 0.030);
    EXPECT_EQ(samples.dropped, 0);
}

TEST(AlarmSamplesTest, EmptyAndUnreadableSlotsAreGaps) {
    const AlarmSamples samples = ParseAlarmSamples(" -1.5&&abc&+2e1&1.0.0&inf&7&");
    ASSERT_EQ(samples.values.size(), 8u);
    EXPECT_EQ(samples.values[0], -1.5);
    EXPECT_FALSE(samples.values[1]);
    EXPECT_FALSE(samples.values[2]);
    EXPECT_EQ(samples.values[3], 20.0);
    EXPECT_FALSE(samples.values[4]);
    EXPECT_FALSE(samples.values[5]);
    EXPECT_EQ(samples.values[6], 7.0);
    EXPECT_FALSE(samples.values[7]);  // after the trailing '&'
    EXPECT_EQ(samples.unreadable, 3);
    EXPECT_EQ(samples.PointCount(), 3);
}

TEST(AlarmSamplesTest, MoreThanFiftyKeepsTheFirstFiftyAndCountsTheRest) {
    const AlarmSamples samples = ParseAlarmSamples(Numbers(62) + "&&");
    ASSERT_EQ(samples.values.size(), 50u);
    EXPECT_EQ(samples.values.back(), 50.0);
    EXPECT_EQ(samples.dropped, 12);
}

TEST(AlarmSamplesTest, EmptyValueHasNoPoints) {
    EXPECT_EQ(ParseAlarmSamples("").PointCount(), 0);
}

}  // namespace
