#include "widgets/SevenSegment.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRegularExpression>
#include <algorithm>
#include <array>

namespace SevenSegment {

std::uint8_t PatternOf(QChar c) {
    static constexpr std::array<std::uint8_t, 16> kHex = {
        0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07,
        0x7F, 0x6F, 0x77, 0x7C, 0x39, 0x5E, 0x79, 0x71,
    };
    const int digit = QString("0123456789ABCDEF").indexOf(c.toUpper());
    if (digit >= 0) return kHex[digit];
    return c == '-' ? 0x40 : 0;
}

}  // namespace SevenSegment

namespace {

// A segment between two points: a bar of thickness t with pointed ends.
QPolygonF Bar(QPointF from, QPointF to, qreal t) {
    const qreal gap = t * 0.2;
    const qreal half = t / 2;
    if (from.y() == to.y()) {
        const qreal y = from.y(), x0 = from.x() + gap, x1 = to.x() - gap;
        return QPolygonF({{x0, y},
                          {x0 + half, y - half},
                          {x1 - half, y - half},
                          {x1, y},
                          {x1 - half, y + half},
                          {x0 + half, y + half}});
    }
    const qreal x = from.x(), y0 = from.y() + gap, y1 = to.y() - gap;
    return QPolygonF({{x, y0},
                      {x + half, y0 + half},
                      {x + half, y1 - half},
                      {x, y1},
                      {x - half, y1 - half},
                      {x - half, y0 + half}});
}

void PaintCharacter(QPainter& painter, const QRectF& cell, std::uint8_t pattern, const QColor& lit,
                    const QColor& unlit) {
    const qreal t = std::max<qreal>(2.0, std::min(cell.width(), cell.height() / 2) * 0.18);
    const qreal left = cell.left() + t / 2, right = cell.right() - t / 2;
    const qreal top = cell.top() + t / 2, bottom = cell.bottom() - t / 2;
    const qreal middle = cell.center().y();
    const std::array<QPolygonF, 7> segments = {
        Bar({left, top}, {right, top}, t),         // a
        Bar({right, top}, {right, middle}, t),     // b
        Bar({right, middle}, {right, bottom}, t),  // c
        Bar({left, bottom}, {right, bottom}, t),   // d
        Bar({left, middle}, {left, bottom}, t),    // e
        Bar({left, top}, {left, middle}, t),       // f
        Bar({left, middle}, {right, middle}, t),   // g
    };
    painter.setPen(Qt::NoPen);
    for (int bit = 0; bit < 7; ++bit) {
        painter.setBrush((pattern >> bit) & 1 ? lit : unlit);
        painter.drawPolygon(segments[bit]);
    }
}

// The decimal point sits in the gap right of the character's bottom corner.
void PaintPoint(QPainter& painter, const QRectF& cell, bool on, const QColor& lit,
                const QColor& unlit) {
    const qreal d = std::max<qreal>(2.0, cell.width() * 0.14);
    painter.setPen(Qt::NoPen);
    painter.setBrush(on ? lit : unlit);
    painter.drawEllipse(QRectF(cell.right() + d * 0.3, cell.bottom() - d, d, d));
}

}  // namespace

SevenSegmentDisplay::SevenSegmentDisplay(QWidget* parent) : QWidget(parent) {
    setMinimumSize(16, 24);
}

void SevenSegmentDisplay::SetLitColor(const QColor& color) {
    lit_ = color;
    update();
}

void SevenSegmentDisplay::SetUnlitColor(const QColor& color) {
    unlit_ = color;
    update();
}

void SevenSegmentDisplay::SetPatterns(std::vector<std::uint8_t> patterns, const QString& shown) {
    patterns_ = std::move(patterns);
    setAccessibleDescription(shown);
    update();
}

void SevenSegmentDisplay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Qt::black);
    if (patterns_.empty()) return;
    const qreal margin = std::max(2.0, height() * 0.08);
    const QRectF area = QRectF(rect()).adjusted(margin, margin, -margin, -margin);
    const qreal pitch = area.width() / static_cast<qreal>(patterns_.size());
    for (std::size_t i = 0; i < patterns_.size(); ++i) {
        const QRectF cell(area.left() + pitch * static_cast<qreal>(i), area.top(), pitch,
                          area.height());
        const QRectF character = cell.adjusted(pitch * 0.1, 0, -pitch * (points_ ? 0.2 : 0.1), 0);
        PaintCharacter(painter, character, patterns_[i], lit_, unlit_);
        if (points_) PaintPoint(painter, character, patterns_[i] & kPointBit, lit_, unlit_);
    }
}

SevenSegmentChar::SevenSegmentChar(QWidget* parent) : SevenSegmentDisplay(parent) {
    SetPattern(0);
}

void SevenSegmentChar::SetPattern(std::uint8_t pattern, const QString& shown) {
    SetPatterns({static_cast<std::uint8_t>(pattern & 0x7F)}, shown);
}

SevenSegmentHex::SevenSegmentHex(QWidget* parent) : SevenSegmentDisplay(parent) {
    SetText({});
}

void SevenSegmentHex::SetText(const QString& text) {
    text_ = text.left(2);
    std::vector<std::uint8_t> patterns(2, 0);
    for (int i = 0; i < text_.size(); ++i) patterns[i] = SevenSegment::PatternOf(text_[i]);
    SetPatterns(std::move(patterns), text_);
}

SevenSegmentNumber::SevenSegmentNumber(QWidget* parent) : SevenSegmentDisplay(parent) {
    Refresh();
}

void SevenSegmentNumber::SetDigitCount(int digits) {
    digits_ = std::max(1, digits);
    Refresh();
}

void SevenSegmentNumber::SetValue(unsigned value) {
    value_ = value;
    Refresh();
}

void SevenSegmentNumber::Refresh() {
    const QString text = QString::number(value_).right(digits_);
    std::vector<std::uint8_t> patterns(static_cast<std::size_t>(digits_ - text.size()), 0);
    for (QChar c : text) patterns.push_back(SevenSegment::PatternOf(c));
    SetPatterns(std::move(patterns), text);
}

SevenSegmentReal::SevenSegmentReal(QWidget* parent) : SevenSegmentDisplay(parent) {
    ShowPoints(true);
    Refresh();
}

void SevenSegmentReal::SetDigitCount(int digits) {
    digits_ = std::max(1, digits);
    Refresh();
}

void SevenSegmentReal::SetDecimals(int decimals) {
    decimals_ = std::clamp(decimals, 0, 6);
    Refresh();
}

void SevenSegmentReal::SetValue(double value) {
    value_ = value;
    Refresh();
}

// Digits and sign right-aligned; the point is lit on the digit before the
// decimals. A value that needs more digits than the display has shows dashes.
void SevenSegmentReal::Refresh() {
    QString text = QString::number(value_, 'f', decimals_);
    if (text.startsWith('-') && text.count(QRegularExpression("[1-9]")) == 0) text.remove(0, 1);
    std::vector<std::uint8_t> patterns;
    for (QChar c : text) {
        if (c == '.') {
            if (!patterns.empty()) patterns.back() |= kPointBit;
        } else {
            patterns.push_back(SevenSegment::PatternOf(c));
        }
    }
    if (static_cast<int>(patterns.size()) > digits_) {
        patterns.assign(static_cast<std::size_t>(digits_), SevenSegment::PatternOf('-'));
        text = QString(digits_, '-');
    } else {
        patterns.insert(patterns.begin(), static_cast<std::size_t>(digits_) - patterns.size(), 0);
    }
    text_ = text;
    SetPatterns(std::move(patterns), text);
}
