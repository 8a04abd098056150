#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QSignalSpy>
#include <QTest>
#include <cstdlib>

#include "widgets/RockerSwitch.h"
#include "widgets/RoundLedButton.h"

namespace {

// How light a half looks as a whole: the mean lightness of its pixels.
int Lightness(QWidget* half) {
    const QImage image = half->grab().toImage();
    long long sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) sum += image.pixelColor(x, y).lightness();
    return static_cast<int>(sum / (image.width() * image.height()));
}

}  // namespace

// The rocker switch and the round lamp button, pressed with the mouse and by accessibility.
class RockerSwitchTest : public QObject {
    Q_OBJECT
  private slots:
    void halvesReportUpAndDownClicks() {
        RockerSwitch rocker;
        rocker.resize(24, 48);
        rocker.show();
        QSignalSpy up(&rocker, &RockerSwitch::UpClick), down(&rocker, &RockerSwitch::DownClick);
        QTest::mouseClick(rocker.UpHalf(), Qt::LeftButton);
        QTest::mouseClick(rocker.UpHalf(), Qt::LeftButton);
        QTest::mouseClick(rocker.DownHalf(), Qt::LeftButton);
        QCOMPARE(up.count(), 2);
        QCOMPARE(down.count(), 1);
        // The upper half is on top.
        QCOMPARE(rocker.childAt(12, 8), rocker.UpHalf());
        QCOMPARE(rocker.childAt(12, 40), rocker.DownHalf());
    }

    // At rest the halves look alike, so neither seems pressed; the pressed half sinks.
    void onlyThePressedHalfSinks() {
        RockerSwitch rocker;
        rocker.resize(24, 48);
        rocker.show();
        const int raised = Lightness(rocker.UpHalf());
        QVERIFY(std::abs(raised - Lightness(rocker.DownHalf())) <= 3);
        rocker.UpHalf()->setDown(true);
        QVERIFY(Lightness(rocker.UpHalf()) < raised - 15);
        QVERIFY(std::abs(raised - Lightness(rocker.DownHalf())) <= 3);
    }

    void disabledSwitchReportsNothing() {
        RockerSwitch rocker;
        rocker.show();
        rocker.setEnabled(false);
        QSignalSpy up(&rocker, &RockerSwitch::UpClick), down(&rocker, &RockerSwitch::DownClick);
        QTest::mouseClick(rocker.UpHalf(), Qt::LeftButton);
        QTest::mouseClick(rocker.DownHalf(), Qt::LeftButton);
        QCOMPARE(up.count() + down.count(), 0);
    }

    void roundLedButtonTakesClicksAndPresses() {
        RoundLedButton led;
        led.resize(17, 17);
        led.show();
        QSignalSpy clicks(&led, &RoundLedButton::clicked);
        QTest::mouseClick(&led, Qt::LeftButton);
        QCOMPARE(clicks.count(), 1);
        QTest::mousePress(&led, Qt::LeftButton, {}, QPoint(8, 8));
        QTest::mouseRelease(&led, Qt::LeftButton, {}, QPoint(80, 8));
        QCOMPARE(clicks.count(), 1);

        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&led);
        QVERIFY(accessible && accessible->actionInterface());
        accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(clicks.count(), 2);
        QCOMPARE(led.accessibleDescription(), QString("off"));
        led.SetOn(true);
        QCOMPARE(led.accessibleDescription(), QString("on"));
    }
};

QTEST_MAIN(RockerSwitchTest)
#include "RockerSwitchTest.moc"
