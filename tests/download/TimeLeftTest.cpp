// Percentage and time left of a download against a stepped clock.

#include <gtest/gtest.h>

#include "download/TimeLeft.h"

namespace {

using namespace std::chrono_literals;

TEST(TimeLeft, EstimatesFromTheAveragePaceOnceItHasSettled) {
    const TimeLeft::Clock::time_point start{};
    TimeLeft estimate(10000, start);
    EXPECT_EQ(estimate.Remaining(), std::nullopt);
    estimate.Update(100, start + 100ms);
    EXPECT_EQ(estimate.Remaining(), std::nullopt) << "too early to tell the pace";
    estimate.Update(2500, start + 5s);
    EXPECT_DOUBLE_EQ(estimate.Percent(), 25.0);
    EXPECT_EQ(estimate.Remaining(), 15s);
    estimate.Update(10000, start + 20s);
    EXPECT_EQ(estimate.Remaining(), 0s);
    EXPECT_DOUBLE_EQ(estimate.Percent(), 100.0);
}

TEST(TimeLeft, AnEmptyFileIsDoneAtOnce) {
    TimeLeft estimate(0, {});
    EXPECT_DOUBLE_EQ(estimate.Percent(), 100.0);
    EXPECT_EQ(estimate.Remaining(), 0s);
}

TEST(TimeLeft, Texts) {
    EXPECT_EQ(TimeLeft::PercentText(37.9), "37 %");
    EXPECT_EQ(TimeLeft::PercentText(100.0), "100 %");
    EXPECT_EQ(TimeLeft::DurationText(std::nullopt), "");
    EXPECT_EQ(TimeLeft::DurationText(65s), "1:05");
    EXPECT_EQ(TimeLeft::DurationText(720s), "12:00");
    EXPECT_EQ(TimeLeft::DurationText(3723s), "1:02:03");
}

}  // namespace
