#include <QImage>
#include <QTest>

#include "widgets/SevenSegment.h"

namespace {

constexpr std::uint8_t kSegmentA = 0x01, kSegmentG = 0x40;

// The colour at a point of the widget as painted.
QColor PixelAt(QWidget& widget, QPoint at) {
    return widget.grab().toImage().pixelColor(at);
}

}  // namespace

// The seven-segment character, hexadecimal and number displays: patterns and colours.
class SevenSegmentTest : public QObject {
    Q_OBJECT
  private slots:
    void patternsOfCharacters() {
        const std::pair<char, int> cases[] = {
            {'0', 63}, {'1', 6},  {'2', 91},  {'5', 109}, {'8', 127}, {'A', 119}, {'b', 124},
            {'C', 57}, {'d', 94}, {'F', 113}, {'-', 64},  {' ', 0},   {'X', 0}};
        for (const auto& [c, pattern] : cases)
            QCOMPARE(int(SevenSegment::PatternOf(QChar(c))), pattern);
    }

    // Lit segments take the lit colour, the others the unlit colour.
    void litAndUnlitSegmentsArePaintedInTheirColours() {
        SevenSegmentChar display;
        display.resize(48, 80);
        display.SetLitColor(QColor(128, 255, 255));
        display.SetUnlitColor(QColor(0, 64, 128));
        display.SetPattern(kSegmentA, "-");
        const QPoint top(24, 9), middle(24, 40);
        QCOMPARE(PixelAt(display, top), QColor(128, 255, 255));
        QCOMPARE(PixelAt(display, middle), QColor(0, 64, 128));
        display.SetPattern(kSegmentG);
        QCOMPARE(PixelAt(display, top), QColor(0, 64, 128));
        QCOMPARE(PixelAt(display, middle), QColor(128, 255, 255));
        display.SetUnlitColor(QColor(5, 118, 113));
        QCOMPARE(PixelAt(display, top), QColor(5, 118, 113));
    }

    void hexDisplayShowsTheFirstTwoCharacters() {
        SevenSegmentHex display;
        display.SetText("A5");
        QCOMPARE(display.Patterns(), (std::vector<std::uint8_t>{119, 109}));
        QCOMPARE(display.accessibleDescription(), QString("A5"));
        display.SetText("123");
        QCOMPARE(display.Text(), QString("12"));
        display.SetText("0");
        QCOMPARE(display.Patterns(), (std::vector<std::uint8_t>{63, 0}));
    }

    void numberDisplayIsRightAlignedWithoutLeadingZeros() {
        SevenSegmentNumber display;
        display.SetDigitCount(4);
        display.SetValue(45);
        QCOMPARE(display.Patterns(), (std::vector<std::uint8_t>{0, 0, 102, 109}));
        QCOMPARE(display.accessibleDescription(), QString("45"));
        display.SetValue(0);
        QCOMPARE(display.Patterns(), (std::vector<std::uint8_t>{0, 0, 0, 63}));
        display.SetValue(12345);  // too long: the low digits
        QCOMPARE(display.Patterns(), (std::vector<std::uint8_t>{91, 79, 102, 109}));
        display.SetDigitCount(1);
        QCOMPARE(display.Patterns(), (std::vector<std::uint8_t>{109}));
    }
};

QTEST_MAIN(SevenSegmentTest)
#include "SevenSegmentTest.moc"
