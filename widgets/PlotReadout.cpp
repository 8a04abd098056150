#include "widgets/PlotReadout.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

std::optional<double> PlotValueAt(const QCPGraphDataContainer& data, double x) {
    if (data.isEmpty() || !std::isfinite(x)) return std::nullopt;
    auto it =
        std::lower_bound(data.constBegin(), data.constEnd(), x,
                         [](const QCPGraphData& entry, double key) { return entry.key < key; });
    // On a point: that point (the first real one of several at this x).
    for (auto at = it; at != data.constEnd() && at->key == x; ++at)
        if (!std::isnan(at->value)) return at->value;
    if (it == data.constBegin() || it == data.constEnd()) return std::nullopt;
    const QCPGraphData& before = *(it - 1);
    const QCPGraphData& after = *it;
    if (std::isnan(before.value) || std::isnan(after.value)) return std::nullopt;
    const double share = (x - before.key) / (after.key - before.key);
    return before.value + share * (after.value - before.value);
}

std::optional<double> CursorReadout::Row::Delta() const {
    if (!atA || !atB) return std::nullopt;
    return *atB - *atA;
}

std::optional<double> CursorReadout::InverseDx() const {
    if (Dx() == 0.0) return std::nullopt;
    return 1.0 / Dx();
}

CursorReadout ReadCursors(const PlotSeriesList& channels, double a, double b) {
    CursorReadout readout;
    readout.a = a;
    readout.b = b;
    for (const PlotSeries& channel : channels)
        readout.rows.append(
            {channel.title, PlotValueAt(*channel.data, a), PlotValueAt(*channel.data, b)});
    return readout;
}

QString FormatReadoutNumber(std::optional<double> value) {
    return value ? QString::number(*value, 'g', 6) : QStringLiteral("-");
}

QString FormatReadout(const CursorReadout& readout) {
    QStringList lines;
    lines << QString("A: x = %1   B: x = %2   Δx = %3   1/Δx = %4")
                 .arg(FormatReadoutNumber(readout.a), FormatReadoutNumber(readout.b),
                      FormatReadoutNumber(readout.Dx()), FormatReadoutNumber(readout.InverseDx()));
    for (const CursorReadout::Row& row : readout.rows)
        lines << QString("%1   A: %2   B: %3   Δy = %4")
                     .arg(row.title, FormatReadoutNumber(row.atA), FormatReadoutNumber(row.atB),
                          FormatReadoutNumber(row.Delta()));
    return lines.join('\n');
}
