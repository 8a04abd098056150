#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "widgets/PlotHistory.h"

namespace {

// The (x, y) entries held, gaps as y = NaN.
std::vector<std::pair<double, double>> Entries(const PlotHistory& history) {
    std::vector<std::pair<double, double>> entries;
    for (auto it = history.Data()->constBegin(); it != history.Data()->constEnd(); ++it)
        entries.emplace_back(it->key, it->value);
    return entries;
}

std::vector<double> Keys(const PlotHistory& history) {
    std::vector<double> keys;
    for (const auto& [x, y] : Entries(history)) keys.push_back(x);
    return keys;
}

TEST(PlotHistoryTest, KeepsTheNewestPointsUpToTheLimit) {
    PlotHistory history(3);
    for (int i = 0; i < 5; ++i) history.Append(i, 10.0 * i);
    EXPECT_EQ(history.PointCount(), 3);
    EXPECT_EQ(Keys(history), (std::vector<double>{2, 3, 4}));
    EXPECT_EQ(history.LastX(), 4);

    history.SetLimit(1);
    EXPECT_EQ(Keys(history), (std::vector<double>{4}));
    history.SetLimit(0);  // never below one point
    EXPECT_EQ(history.Limit(), 1);
    EXPECT_EQ(history.PointCount(), 1);
}

// Samples of one instant share an x; trimming still removes exactly the excess.
TEST(PlotHistoryTest, TrimIsExactWhenPointsShareAnX) {
    PlotHistory history(4);
    for (int i = 0; i < 6; ++i) history.Append(1.0, i);
    history.Append(2.0, 9);
    EXPECT_EQ(history.PointCount(), 4);
    const auto entries = Entries(history);
    EXPECT_EQ(entries.back(), (std::pair<double, double>{2.0, 9.0}));
}

TEST(PlotHistoryTest, GapsBreakTheLineButAreNotPoints) {
    PlotHistory history(3);
    history.AppendGap(0.0);  // nothing to break yet
    EXPECT_TRUE(history.IsEmpty());

    history.Append(1, 1);
    history.AppendGap(1.5);
    history.AppendGap(1.6);  // one break is enough
    history.Append(2, 2);
    EXPECT_EQ(history.PointCount(), 2);
    EXPECT_EQ(history.GapCount(), 1);

    // Trimming the first point takes the gap behind it too: a line never starts with a break.
    history.Append(3, 3);
    history.Append(4, 4);
    EXPECT_EQ(history.PointCount(), 3);
    EXPECT_EQ(history.GapCount(), 0);
    EXPECT_EQ(Keys(history), (std::vector<double>{2, 3, 4}));
}

TEST(PlotHistoryTest, ValuesThatAreNotNumbersNeverGetIn) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double inf = std::numeric_limits<double>::infinity();
    PlotHistory history;
    history.Append(nan, 1);
    history.Append(1, nan);
    history.Append(2, inf);
    history.Append(QVector<double>{3, inf, 5}, QVector<double>{3, 4, -inf});
    history.AppendGap(nan);
    EXPECT_EQ(Keys(history), (std::vector<double>{3}));
    EXPECT_EQ(history.GapCount(), 0);
}

TEST(PlotHistoryTest, BatchesAreMergedInXOrderAndTrimmed) {
    PlotHistory history(4);
    history.Append(QVector<double>{5, 1, 3}, QVector<double>{50, 10, 30, 99});  // extra y ignored
    history.Append(QVector<double>{2, 4}, QVector<double>{20, 40});
    EXPECT_EQ(Keys(history), (std::vector<double>{2, 3, 4, 5}));
    history.Append(QVector<double>{6, 7, 8, 9, 10, 11}, QVector<double>{6, 7, 8, 9, 10, 11});
    EXPECT_EQ(Keys(history), (std::vector<double>{8, 9, 10, 11}));
}

// A long stream with gaps holds no more than the limit and the gaps between.
TEST(PlotHistoryTest, AnEndlessStreamStaysWithinTheLimit) {
    PlotHistory history(1000);
    for (int i = 0; i < 200000; ++i) {
        history.Append(i * 0.001, std::sin(i * 0.01));
        if (i % 97 == 0) history.AppendGap(i * 0.001 + 0.0005);
    }
    EXPECT_EQ(history.PointCount(), 1000);
    EXPECT_LE(history.Data()->size(), 1000 + 11);
    EXPECT_DOUBLE_EQ(history.LastX(), 199.999);

    history.Clear();
    EXPECT_TRUE(history.IsEmpty());
    EXPECT_EQ(history.GapCount(), 0);
    EXPECT_TRUE(std::isnan(history.LastX()));
}

}  // namespace
