#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "widgets/HangulFont.h"
#include "widgets/LedBar.h"
#include "widgets/MessageService.h"
#include "widgets/RectLed.h"
#include "widgets/RoundLed.h"

class WidgetsTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        const QString missing = MissingHangulFontMessage();
        if (!missing.isEmpty()) QFAIL(qPrintable(missing));
    }

    // A click inside the LED and the accessible press action both report a
    // click; a press that is released outside does not.
    void rectLedReportsClicksAndPresses() {
        RectLed led;
        led.resize(81, 22);
        led.show();
        QSignalSpy clicks(&led, &RectLed::clicked);
        QTest::mouseClick(&led, Qt::LeftButton);
        QCOMPARE(clicks.count(), 1);

        QTest::mousePress(&led, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(&led, Qt::LeftButton, {}, QPoint(200, 5));
        QCOMPARE(clicks.count(), 1);

        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&led);
        QVERIFY(accessible && accessible->actionInterface());
        QVERIFY(accessible->actionInterface()->actionNames().contains(
            QAccessibleActionInterface::pressAction()));
        accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(clicks.count(), 2);
    }

    void ledsTellTheirLabelAndStateToAccessibility() {
        RectLed led;
        led.SetLabel("ALARM");
        QCOMPARE(led.accessibleName(), QString("ALARM"));
        QCOMPARE(led.accessibleDescription(), QString("off"));
        led.SetOn(true);
        QCOMPARE(led.accessibleDescription(), QString("on"));
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&led);
        QCOMPARE(accessible->text(QAccessible::Name), QString("ALARM"));

        RoundLed lamp;
        QCOMPARE(lamp.accessibleDescription(), QString("off"));
        lamp.SetOn(true);
        QCOMPARE(lamp.accessibleDescription(), QString("on"));
    }

    void ledBarLightsTheShareOfItsSegmentsAndClamps() {
        LedBar bar;
        bar.resize(10 * (LedBar::kSegmentSize + 2) - 2, 12);  // exactly ten segments
        QCOMPARE(bar.SegmentCount(), 10);
        const struct {
            double value, shown;
            int lit;
        } cases[] = {{0, 0, 0},      {9.9, 9.9, 0},  {10, 10, 1}, {55, 55, 5},
                     {100, 100, 10}, {250, 100, 10}, {-3, 0, 0}};
        for (const auto& c : cases) {
            bar.SetValue(c.value);
            QCOMPARE(bar.Value(), c.shown);
            QCOMPARE(bar.LitSegments(), c.lit);
        }
        QCOMPARE(bar.accessibleDescription(), QString("0.0"));
    }

    void messageCaptureAnswersBoxesWithoutAModalLoop() {
        {
            MessageCapture capture(QMessageBox::No);
            MessageService::Warning(nullptr, "first", QMessageBox::Yes);
            QVERIFY(!MessageService::Confirm(nullptr, "second?"));
            capture.SetAnswer(QMessageBox::Yes);
            QVERIFY(MessageService::Confirm(nullptr, "third?"));
            QCOMPARE(capture.Texts(), QStringList({"first", "second?", "third?"}));
            QCOMPARE(capture.Boxes()[0].kind, MessageService::Kind::Warning);
            QCOMPARE(capture.Boxes()[0].buttons, QMessageBox::StandardButtons(QMessageBox::Yes));
            QCOMPARE(capture.Boxes()[1].kind, MessageService::Kind::Confirmation);
        }
        // Once the capture is gone, boxes are real again: answer one from outside.
        QTimer::singleShot(0, [] {
            if (QWidget* box = QApplication::activeModalWidget()) box->close();
        });
        MessageService::Information(nullptr, "real box");
    }
};

QTEST_MAIN(WidgetsTest)
#include "WidgetsTest.moc"
