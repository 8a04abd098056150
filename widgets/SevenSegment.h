#pragma once
// Seven-segment displays of an instrument panel: one character set by its
// segment pattern, a two-character hexadecimal display set by text, and an
// unsigned number of a fixed digit count. Lit and unlit segments have their
// own colours. Accessible: the characters shown are the description.

#include <QColor>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <vector>

namespace SevenSegment {
// Bit 0 is segment a (top), then b (upper right), c (lower right), d (bottom),
// e (lower left), f (upper left); bit 6 is segment g (middle).
std::uint8_t PatternOf(QChar c);  // digits, A-F (either case), '-', blank; others are dark
}  // namespace SevenSegment

// The common part: a row of characters, each a segment pattern.
class SevenSegmentDisplay : public QWidget {
    Q_OBJECT
  public:
    explicit SevenSegmentDisplay(QWidget* parent = nullptr);

    void SetLitColor(const QColor& color);
    void SetUnlitColor(const QColor& color);
    QColor LitColor() const { return lit_; }
    QColor UnlitColor() const { return unlit_; }

    const std::vector<std::uint8_t>& Patterns() const { return patterns_; }

    // Bit 7 of a pattern lights the character's decimal point, where points are shown.
    static constexpr std::uint8_t kPointBit = 0x80;

  protected:
    void ShowPoints(bool show) { points_ = show; }
    void SetPatterns(std::vector<std::uint8_t> patterns, const QString& shown);
    void paintEvent(QPaintEvent* event) override;

  private:
    std::vector<std::uint8_t> patterns_;
    QColor lit_{128, 255, 255};
    QColor unlit_{0, 64, 128};
    bool points_ = false;
};

// One character given directly as a segment pattern.
class SevenSegmentChar : public SevenSegmentDisplay {
    Q_OBJECT
  public:
    explicit SevenSegmentChar(QWidget* parent = nullptr);
    // `shown` names the character for screen readers (the pattern alone may be a 5 or an S).
    void SetPattern(std::uint8_t pattern, const QString& shown = {});
    std::uint8_t Pattern() const { return Patterns().front(); }
};

// Two hexadecimal characters shown as the text gives them.
class SevenSegmentHex : public SevenSegmentDisplay {
    Q_OBJECT
  public:
    explicit SevenSegmentHex(QWidget* parent = nullptr);
    // The first two characters; a shorter text leaves the rest dark.
    void SetText(const QString& text);
    QString Text() const { return text_; }

  private:
    QString text_;
};

// An unsigned number right-aligned on a fixed number of digits, without
// leading zeros; a value too long for the display shows its low digits.
class SevenSegmentNumber : public SevenSegmentDisplay {
    Q_OBJECT
  public:
    explicit SevenSegmentNumber(QWidget* parent = nullptr);  // one digit until SetDigitCount
    void SetDigitCount(int digits);
    void SetValue(unsigned value);
    unsigned Value() const { return value_; }

  private:
    void Refresh();
    int digits_ = 1;
    unsigned value_ = 0;
};

// A signed real number with a settable number of decimal places on a fixed
// number of digits (the point does not take a digit of its own).
class SevenSegmentReal : public SevenSegmentDisplay {
    Q_OBJECT
  public:
    explicit SevenSegmentReal(QWidget* parent = nullptr);  // one digit, no decimals
    void SetDigitCount(int digits);
    void SetDecimals(int decimals);  // 0..6
    int Decimals() const { return decimals_; }
    void SetValue(double value);
    double Value() const { return value_; }
    // What the display shows, as text ("-12.5"; dashes when it does not fit).
    QString Text() const { return text_; }

  private:
    void Refresh();
    int digits_ = 1;
    int decimals_ = 0;
    double value_ = 0.0;
    QString text_;
};
