#include "widgets/LedBar.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kGap = 2;

QColor SectionColor(double percentAtSegment, double greenEnd, double yellowEnd) {
    if (percentAtSegment <= greenEnd) return QColor(0, 220, 0);
    if (percentAtSegment <= yellowEnd) return QColor(255, 220, 0);
    return QColor(255, 30, 30);
}

}  // namespace

LedBar::LedBar(QWidget* parent) : QWidget(parent) {
    setMinimumHeight(kSegmentSize + 2);
    setAccessibleDescription("0");
}

void LedBar::SetValue(double value) {
    value = std::clamp(value, 0.0, 100.0);
    if (value == value_) return;
    value_ = value;
    setAccessibleDescription(QString::number(value_, 'f', 1));
    update();
}

void LedBar::SetSections(double greenEnd, double yellowEnd) {
    greenEnd_ = greenEnd;
    yellowEnd_ = yellowEnd;
    update();
}

int LedBar::SegmentCount() const {
    return std::max(1, (width() + kGap) / (kSegmentSize + kGap));
}

int LedBar::LitSegments() const {
    return static_cast<int>(std::floor(value_ / 100.0 * SegmentCount() + 1e-9));
}

void LedBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int count = SegmentCount();
    const int lit = LitSegments();
    const int used = count * (kSegmentSize + kGap) - kGap;
    const int left = (width() - used) / 2;
    const int top = (height() - kSegmentSize) / 2;
    for (int i = 0; i < count; ++i) {
        const double percent = 100.0 * (i + 1) / count;
        QColor color = SectionColor(percent, greenEnd_, yellowEnd_);
        if (i >= lit) color = color.darker(400);
        painter.setPen(QPen(color.darker(150), 0.8));
        painter.setBrush(color);
        painter.drawEllipse(QRectF(left + i * (kSegmentSize + kGap) + 0.5, top + 0.5,
                                   kSegmentSize - 1.0, kSegmentSize - 1.0));
    }
}
