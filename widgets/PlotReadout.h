#pragma once
// What the two cursors of a plot read: x at A and B, each channel's y there,
// and the differences. A channel's y between two of its points is the straight
// line between them (as drawn); outside its data or across a gap there is no
// value, since nothing is drawn there either.

#include <QString>
#include <QVector>
#include <optional>

#include "widgets/PlotSeries.h"

// The channel's y at x, interpolated linearly between its neighbouring points.
std::optional<double> PlotValueAt(const QCPGraphDataContainer& data, double x);

struct CursorReadout {
    struct Row {
        QString title;
        std::optional<double> atA;
        std::optional<double> atB;
        std::optional<double> Delta() const;  // y at B - y at A
    };
    double a = 0.0;
    double b = 0.0;
    QVector<Row> rows;

    double Dx() const { return b - a; }
    std::optional<double> InverseDx() const;  // none when A and B coincide
};

CursorReadout ReadCursors(const PlotSeriesList& channels, double a, double b);

// Six significant digits, "-" where there is no value.
QString FormatReadoutNumber(std::optional<double> value);
// The read-out as plain lines: the cursor line, then one line a channel.
QString FormatReadout(const CursorReadout& readout);
