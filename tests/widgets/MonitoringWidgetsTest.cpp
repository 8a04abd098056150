// The instrument widgets of the monitoring window: LED matrix, arrow LEDs as
// press-and-hold buttons, toggle switch, seven-segment real display, sliding
// scale; their states and what screen readers see.

#include <QAccessible>
#include <QSignalSpy>
#include <QTest>

#include "widgets/ArrowLed.h"
#include "widgets/LedMatrix.h"
#include "widgets/SevenSegment.h"
#include "widgets/SlidingScale.h"
#include "widgets/ToggleSwitch.h"

class MonitoringWidgetsTest : public QObject {
    Q_OBJECT
  private slots:
    void ledMatrixCellsCaptionsAndDescription() {
        LedMatrix matrix(3, 4);
        matrix.SetCaption(1, 3, "E-STOP");
        matrix.SetCaption(0, 0, QString(60, 'x'));
        matrix.SetCaption(3, 0, "nowhere");  // outside: ignored
        matrix.SetLit(1, 3, true);
        matrix.SetLit(-1, 0, true);
        QCOMPARE(matrix.Caption(1, 3), QString("E-STOP"));
        QCOMPARE(matrix.Caption(0, 0).size(), LedMatrix::kMaxCaption);
        QCOMPARE(matrix.Caption(3, 0), QString());
        QVERIFY(matrix.IsLit(1, 3));
        QVERIFY(!matrix.IsLit(0, 0));
        QVERIFY(!matrix.IsLit(5, 5));
        QCOMPARE(matrix.accessibleDescription(), QString("on: E-STOP"));
        matrix.SetLit(1, 3, false);
        QCOMPARE(matrix.accessibleDescription(), QString("all off"));
    }

    void arrowLedIsAPressAndHoldButton() {
        ArrowLed arrow(ArrowLed::Direction::Left);
        arrow.resize(40, 24);
        arrow.show();
        QSignalSpy pressed(&arrow, &ArrowLed::Pressed), released(&arrow, &ArrowLed::Released);
        QTest::mousePress(&arrow, Qt::LeftButton);
        QCOMPARE(pressed.count(), 1);
        QCOMPARE(released.count(), 0);
        QTest::mouseRelease(&arrow, Qt::LeftButton);
        QCOMPARE(released.count(), 1);
        QTest::mouseRelease(&arrow, Qt::LeftButton);  // no second release without a press
        QCOMPARE(released.count(), 1);
        arrow.SetOn(true);
        QCOMPARE(arrow.accessibleDescription(), QString("on"));
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&arrow);
        QVERIFY(face && face->actionInterface());
        face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(pressed.count(), 2);
        QCOMPARE(released.count(), 2);
    }

    void toggleSwitchIsACheckableButton() {
        ToggleSwitch sw(" SV_ON  ");
        sw.show();
        QSignalSpy toggled(&sw, &ToggleSwitch::toggled);
        QTest::mouseClick(&sw, Qt::LeftButton);
        QVERIFY(sw.IsOn());
        QCOMPARE(toggled.count(), 1);
        QCOMPARE(sw.accessibleName(), QString("SV_ON"));
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&sw);
        QVERIFY(face->state().checkable);
        QVERIFY(face->state().checked);
    }

    void sevenSegmentRealShowsDecimals() {
        SevenSegmentReal display;
        display.SetDigitCount(5);
        struct Case {
            double value;
            int decimals;
            const char* text;
        };
        for (const Case& c :
             {Case{12.34, 1, "12.3"}, Case{-3, 0, "-3"}, Case{-0.04, 1, "0.0"},
              Case{123456, 0, "-----"}, Case{-1234.5, 1, "-----"}, Case{-123.4, 1, "-123.4"}}) {
            display.SetDecimals(c.decimals);
            display.SetValue(c.value);
            QCOMPARE(display.Text(), QString(c.text));
            QCOMPARE(display.accessibleDescription(), QString(c.text));
            QCOMPARE(display.Patterns().size(), std::size_t(5));
        }
        display.SetDecimals(1);
        display.SetValue(12.5);  // " 12.5": the point lights on the digit before the decimals
        QVERIFY(display.Patterns()[3] & SevenSegmentDisplay::kPointBit);
        QVERIFY(!(display.Patterns()[4] & SevenSegmentDisplay::kPointBit));
    }

    void slidingScaleKeepsItsValue() {
        SlidingScale scale;
        scale.SetTitle("SPEED");
        scale.SetSpan(5000);
        scale.SetValue(-500);
        QCOMPARE(scale.Value(), -500.0);
        QCOMPARE(scale.accessibleName(), QString("SPEED"));
        QCOMPARE(scale.accessibleDescription(), QString("-500"));
        scale.SetSpan(-1);  // refused
        QCOMPARE(scale.Span(), 5000.0);
        scale.resize(260, 60);
        QVERIFY(!scale.grab().isNull());
    }
};

QTEST_MAIN(MonitoringWidgetsTest)
#include "MonitoringWidgetsTest.moc"
