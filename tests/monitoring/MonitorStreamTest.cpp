// The monitoring stream without widgets: the MOR request, the ring of
// unplotted samples, the plot budget, sample values and the achieved period.

#include <gtest/gtest.h>

#include "monitoring/MonitorStream.h"

TEST(MonitorStream, RequestIsTheTwoDigitTimeAndTheCodes) {
    const std::string speedAndTorque[] = {"00", "03"};
    EXPECT_EQ(StreamRequestData(5, speedAndTorque), "050003");
    const std::string one[] = {"04"};
    EXPECT_EQ(StreamRequestData(20, one), "2004");
    EXPECT_EQ(StreamRequestData(50, speedAndTorque), "500003");
}

TEST(MonitorStream, BudgetKeepsUpAndCatchesUp) {
    EXPECT_EQ(StreamBudget(100, 5), 30);
    EXPECT_EQ(StreamBudget(100, 1), 110);
    EXPECT_EQ(StreamBudget(100, 50), 12);
}

TEST(MonitorStream, TwoItemsAlternateOldestFirst) {
    StreamRing ring;
    ring.Reset(2);
    ring.Write("10&1&12&2");
    ASSERT_EQ(ring.Count(), 2);
    EXPECT_EQ(ring.Take(), (StreamSample{"10", "1"}));
    EXPECT_EQ(ring.Take(), (StreamSample{"12", "2"}));
    EXPECT_FALSE(ring.HasSamples());
}

TEST(MonitorStream, OneItemAndShortOrEmptyValues) {
    StreamRing ring;
    ring.Reset(1);
    ring.Write("7&8&9");
    EXPECT_EQ(ring.Count(), 3);
    EXPECT_EQ(ring.Take()[0], "7");

    StreamRing two;
    two.Reset(2);
    two.Write("");       // a US reply: one empty sample
    two.Write("5&6&7");  // the last sample lacks its second item
    ASSERT_EQ(two.Count(), 3);
    EXPECT_EQ(two.Take(), (StreamSample{"", ""}));
    EXPECT_EQ(two.Take(), (StreamSample{"5", "6"}));
    EXPECT_EQ(two.Take(), (StreamSample{"7", ""}));
}

TEST(MonitorStream, RingWrapsAndCountsWhatItOverwrote) {
    StreamRing ring;
    ring.Reset(1);
    for (int i = 0; i < 1000; ++i) ring.Write(std::to_string(i));
    for (int i = 0; i < 600; ++i) EXPECT_EQ(ring.Take()[0], std::to_string(i));
    // 400 unplotted; 700 more wrap past slot 1000 and fill the ring, 99 too many.
    for (int i = 1000; i < 1700; ++i) ring.Write(std::to_string(i));
    EXPECT_EQ(ring.Count(), StreamRing::kSlots);
    EXPECT_EQ(ring.Overwritten(), 99);
    EXPECT_EQ(ring.Take()[0], "699");  // the oldest that survived, still in order
    int expected = 700;
    while (ring.HasSamples()) ASSERT_EQ(ring.Take()[0], std::to_string(expected++));
    EXPECT_EQ(expected, 1700);
    EXPECT_EQ(ring.Written(), 1700);
}

TEST(MonitorStream, OnlyNumbersArePlotted) {
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"10", 10.0},          {"-1500", -1500.0},    {"32.5", 32.5},        {" 7 ", 7.0},
        {"+3", 3.0},           {"", std::nullopt},    {"abc", std::nullopt}, {"12x", std::nullopt},
        {"nan", std::nullopt}, {"inf", std::nullopt}, {"-", std::nullopt},
    };
    for (const auto& [field, value] : cases) EXPECT_EQ(StreamValue(field), value) << field;
}

TEST(MonitorStream, PeriodOverTheLastSecond) {
    StreamRate rate;
    EXPECT_FALSE(rate.PeriodMs(0));
    for (int ms = 100; ms <= 2000; ms += 100) rate.Arrived(ms, 20);  // 200 a second
    EXPECT_DOUBLE_EQ(*rate.PeriodMs(2000), 5.0);
    EXPECT_DOUBLE_EQ(*rate.PeriodMs(2500), 10.0);  // only the last half second's samples remain
    EXPECT_FALSE(rate.PeriodMs(3000));
}

TEST(MonitorStream, StatusTextShowsTheFigures) {
    EXPECT_EQ(StreamStatusText(5.0, 5, 0, 2),
              "Sample period 5.00 ms (requested 5 ms)   Overwritten 0   Unplottable 2");
    EXPECT_EQ(StreamStatusText(std::nullopt, 20, 3, 0),
              "Sample period - (requested 20 ms)   Overwritten 3   Unplottable 0");
}
