#include <gtest/gtest.h>

#include "trigger/TriggerRecording.h"

namespace {

using Pairs = std::vector<TriggerPair>;
using Gaps = std::vector<TriggerGap>;

struct LayoutCase {
    const char* name;
    std::vector<int> samples, blockPairs;
    Pairs pairs;
    Gaps gaps;
    bool placed;
    std::string note;
};

class TriggerRecordingTest : public testing::TestWithParam<LayoutCase> {};

// Sample period 1 s, so x counts periods.
TEST_P(TriggerRecordingTest, PutsEachSampleAtItsTime) {
    const LayoutCase& c = GetParam();
    const TriggerRecording recording = LayOutRecording(c.samples, c.blockPairs, 1.0);
    EXPECT_EQ(recording.pairs, c.pairs);
    EXPECT_EQ(recording.gaps, c.gaps);
    EXPECT_EQ(recording.placed, c.placed);
    EXPECT_EQ(RecordingNote(recording), c.note);
}

const std::string kGapNote =
    " came back empty: the plot has a gap there, the other samples are at their true times.";

INSTANTIATE_TEST_SUITE_P(
    Trigger, TriggerRecordingTest,
    testing::Values(
        LayoutCase{
            "Whole", {1, 2, 3, 4, 5, 6}, {2, 1}, {{0, 1, 2}, {1, 3, 4}, {2, 5, 6}}, {}, true, ""},
        LayoutCase{"FirstEmpty",
                   {1, 2, 3, 4},
                   {0, 2},
                   {{2, 1, 2}, {3, 3, 4}},
                   {{0, 0}},
                   true,
                   "Block 00" + kGapNote},
        LayoutCase{"MiddleEmptyBeforeAShortLast",
                   {1, 2, 3, 4, 5, 6},
                   {2, 0, 1},
                   {{0, 1, 2}, {1, 3, 4}, {4, 5, 6}},
                   {{1, 2}},
                   true,
                   "Block 01" + kGapNote},
        LayoutCase{"ShortLastEmpty",
                   {1, 2, 3, 4},
                   {2, 0},
                   {{0, 1, 2}, {1, 3, 4}},
                   {{1, 2}},
                   true,
                   "Block 01" + kGapNote},
        LayoutCase{"AllEmpty",
                   {},
                   {0, 0, 0},
                   {},
                   {},
                   true,
                   "Blocks 00, 01, 02 came back empty: nothing to plot."},
        // Blocks of 2 and 1 pairs before the last: an empty one could have held either.
        LayoutCase{"UnevenAroundAnEmptyBlock",
                   {1, 2, 3, 4, 5, 6},
                   {2, 0, 1, 0},
                   {},
                   {},
                   false,
                   "Blocks 01, 03 came back empty and the other blocks differ in length, so the "
                   "times after them are unknown: the recording is not plotted."},
        LayoutCase{"UnevenWithNothingMissing",
                   {1, 2, 3, 4, 5, 6},
                   {1, 2},
                   {{0, 1, 2}, {1, 3, 4}, {2, 5, 6}},
                   {},
                   true,
                   ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TriggerRecordingTest, BlockTextsHaveTwoDigits) {
    EXPECT_EQ(TriggerBlockText(0), "00");
    EXPECT_EQ(TriggerBlockText(9), "09");
    EXPECT_EQ(TriggerBlockText(29), "29");
}

}  // namespace
