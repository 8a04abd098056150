#include "widgets/PlotHistory.h"

#include <algorithm>
#include <cmath>

// The container can drop its first entries without a search by key, which
// keeps trimming exact when several entries share one x.
class PlotHistory::Container : public QCPGraphDataContainer {
  public:
    void RemoveFront(int count) {
        mPreallocSize += count;
        if (mAutoSqueeze) performAutoSqueeze();
    }
};

PlotHistory::PlotHistory(int limit)
    : data_(QSharedPointer<Container>::create()), limit_(std::max(1, limit)) {}

void PlotHistory::Append(double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    data_->add(QCPGraphData(x, y));
    Trim();
}

void PlotHistory::Append(const QVector<double>& xs, const QVector<double>& ys) {
    const qsizetype n = std::min(xs.size(), ys.size());
    QVector<QCPGraphData> batch;
    batch.reserve(n);
    bool sorted = true;
    for (qsizetype i = 0; i < n; ++i) {
        if (!std::isfinite(xs[i]) || !std::isfinite(ys[i])) continue;
        if (!batch.isEmpty() && xs[i] < batch.last().key) sorted = false;
        batch.append(QCPGraphData(xs[i], ys[i]));
    }
    data_->add(batch, sorted);
    Trim();
}

void PlotHistory::AppendGap(double x) {
    if (!std::isfinite(x) || data_->isEmpty()) return;  // nothing to break
    const auto last = data_->constEnd() - 1;
    if (std::isnan(last->value) && x >= last->key) return;  // already broken here
    data_->add(QCPGraphData(x, std::nan("")));
    ++gaps_;
}

void PlotHistory::Clear() {
    data_->clear();
    gaps_ = 0;
}

void PlotHistory::SetLimit(int points) {
    limit_ = std::max(1, points);
    Trim();
}

int PlotHistory::PointCount() const {
    return data_->size() - gaps_;
}

bool PlotHistory::IsEmpty() const {
    return data_->isEmpty();
}

QSharedPointer<QCPGraphDataContainer> PlotHistory::Data() const {
    return data_.staticCast<QCPGraphDataContainer>();
}

double PlotHistory::LastX() const {
    return data_->isEmpty() ? std::nan("") : (data_->constEnd() - 1)->key;
}

void PlotHistory::Trim() {
    int excess = PointCount() - limit_;
    if (excess <= 0) return;
    int remove = 0;
    int gapsRemoved = 0;
    auto it = data_->constBegin();
    // Drop the oldest points, the gaps among them, and gaps left in front.
    for (; it != data_->constEnd() && (excess > 0 || std::isnan(it->value)); ++it, ++remove) {
        if (std::isnan(it->value))
            ++gapsRemoved;
        else
            --excess;
    }
    data_->RemoveFront(remove);
    gaps_ -= gapsRemoved;
}
