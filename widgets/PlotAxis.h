#pragma once
// The two value axes a plot channel can be drawn against.

#include <QString>

enum class PlotAxis { Y1, Y2 };

// "Y-Axis 1" / "Y-Axis 2", as the axes are labelled.
inline QString PlotAxisName(PlotAxis axis) {
    return axis == PlotAxis::Y1 ? QStringLiteral("Y-Axis 1") : QStringLiteral("Y-Axis 2");
}
