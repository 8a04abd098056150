#include "widgets/ToggleSwitch.h"

#include <QPainter>

namespace {
constexpr int kTrackWidth = 40;
constexpr int kTrackHeight = 20;
}  // namespace

ToggleSwitch::ToggleSwitch(const QString& caption, QWidget* parent) : QAbstractButton(parent) {
    setCheckable(true);
    setText(caption);
    setAccessibleName(caption.trimmed());
    setCursor(Qt::PointingHandCursor);
}

QSize ToggleSwitch::sizeHint() const {
    const int textWidth = fontMetrics().horizontalAdvance(text());
    return {std::max(kTrackWidth, textWidth) + 4, kTrackHeight + fontMetrics().height() + 6};
}

void ToggleSwitch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF track((width() - kTrackWidth) / 2.0, 2, kTrackWidth, kTrackHeight);
    QColor base = isChecked() ? QColor(40, 170, 60) : QColor(150, 150, 150);
    if (!isEnabled()) base = base.lighter(140);
    painter.setPen(QPen(Qt::darkGray, 1));
    painter.setBrush(base);
    painter.drawRoundedRect(track, kTrackHeight / 2.0, kTrackHeight / 2.0);
    const qreal knob = kTrackHeight - 4;
    const qreal x = isChecked() ? track.right() - knob - 2 : track.left() + 2;
    painter.setBrush(isDown() ? QColor(220, 220, 220) : QColor(Qt::white));
    painter.drawEllipse(QRectF(x, track.top() + 2, knob, knob));
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(QRectF(0, track.bottom() + 2, width(), height() - track.bottom() - 2),
                     Qt::AlignHCenter | Qt::AlignTop, text());
}
