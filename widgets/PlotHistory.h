#pragma once
// One plot channel's points, bounded: at most Limit() points are held and the
// oldest (smallest x) go first, so a day-long stream holds flat memory. A gap
// is kept as an entry with a NaN value, which breaks the drawn line; gaps are
// not points. Values that are not finite never get in.

#include <QSharedPointer>
#include <QVector>

#include "qcustomplot.h"

class PlotHistory {
  public:
    static constexpr int kDefaultLimit = 600000;  // 10 minutes at 1 kHz

    explicit PlotHistory(int limit = kDefaultLimit);

    void Append(double x, double y);
    // Points whose x or y is not finite are skipped; the lengths must match
    // (the extra values of the longer list are ignored).
    void Append(const QVector<double>& xs, const QVector<double>& ys);
    void AppendGap(double x);
    void Clear();

    void SetLimit(int points);  // at least 1; trims at once
    int Limit() const { return limit_; }
    int PointCount() const;
    int GapCount() const { return gaps_; }
    bool IsEmpty() const;
    // The largest x held (points and gaps), or NaN when empty.
    double LastX() const;

    // The container the drawn graph shares.
    QSharedPointer<QCPGraphDataContainer> Data() const;

  private:
    class Container;
    void Trim();

    QSharedPointer<Container> data_;
    int limit_;
    int gaps_ = 0;
};
