#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "widgets/PlotReadout.h"

namespace {

constexpr double kGap = std::numeric_limits<double>::quiet_NaN();

QSharedPointer<QCPGraphDataContainer> Data(const QVector<QCPGraphData>& entries) {
    auto data = QSharedPointer<QCPGraphDataContainer>::create();
    data->set(entries, true);
    return data;
}

struct ValueCase {
    double x;
    std::optional<double> expected;
};

// Between points the value lies on the drawn line; at or across a gap, and
// outside the data, there is none.
TEST(PlotReadoutTest, ValueAtInterpolatesAlongTheDrawnLine) {
    const auto data =
        Data({{0, 0}, {1, 10}, {2, 20}, {2.5, kGap}, {3, 0}, {4, 40}, {4, 45}, {5, 45}});
    const ValueCase cases[] = {
        {-1, std::nullopt},
        {0, 0.0},
        {0.5, 5.0},
        {1, 10.0},
        {1.75, 17.5},
        {2.2, std::nullopt},
        {2.5, std::nullopt},
        {2.8, std::nullopt},
        {3, 0.0},
        {3.5, 20.0},
        {4, 40.0},
        {4.5, 45.0},
        {5, 45.0},
        {5.01, std::nullopt},
        {kGap, std::nullopt},
    };
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(c.x);
        const std::optional<double> value = PlotValueAt(*data, c.x);
        ASSERT_EQ(value.has_value(), c.expected.has_value());
        if (value) {
            EXPECT_DOUBLE_EQ(*value, *c.expected);
        }
    }
    EXPECT_FALSE(PlotValueAt(*Data({}), 0.0));
}

TEST(PlotReadoutTest, CursorsReadEachChannelAndTheDifferences) {
    const PlotSeriesList channels = {
        {"속도피드백", PlotAxis::Y1, Data({{0, 0}, {0.01, 100}})},
        {"Torque, %", PlotAxis::Y2, Data({{0.004, 3}, {0.006, 5}})},
    };
    const CursorReadout readout = ReadCursors(channels, 0.002, 0.006);
    EXPECT_DOUBLE_EQ(readout.Dx(), 0.004);
    EXPECT_DOUBLE_EQ(*readout.InverseDx(), 250.0);
    ASSERT_EQ(readout.rows.size(), 2);
    EXPECT_DOUBLE_EQ(*readout.rows[0].atA, 20.0);
    EXPECT_DOUBLE_EQ(*readout.rows[0].Delta(), 40.0);
    EXPECT_FALSE(readout.rows[1].atA);  // before that channel's first point
    EXPECT_FALSE(readout.rows[1].Delta());

    EXPECT_EQ(FormatReadout(readout),
              "A: x = 0.002   B: x = 0.006   Δx = 0.004   1/Δx = 250\n"
              "속도피드백   A: 20   B: 60   Δy = 40\n"
              "Torque, %   A: -   B: 5   Δy = -");

    const CursorReadout same = ReadCursors(channels, 0.005, 0.005);
    EXPECT_FALSE(same.InverseDx());
    EXPECT_DOUBLE_EQ(*same.rows[1].Delta(), 0.0);
}

}  // namespace
