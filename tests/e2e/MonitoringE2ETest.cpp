// The real application against the stand-in drive over a pseudo-terminal:
// the monitoring window shows type, version and state, polls two items with
// the I/O word, jogs the motor both ways, runs auto tuning, and shows and
// resets an alarm the drive raises.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "monitoring/MonitoringFrm.h"
#include "platform/ThreadTimers.h"
#include "protocol/AlarmTables.h"
#include "protocol/Frame.h"
#include "sim/PtyDrive.h"
#include "tests/support/AppSession.h"
#include "widgets/ArrowLed.h"
#include "widgets/RectLed.h"
#include "widgets/ToggleSwitch.h"

namespace {

template <typename T>
T* Child(QWidget* window, const char* name) {
    return window->findChild<T*>(name);
}

}  // namespace

class MonitoringE2ETest : public QObject {
    Q_OBJECT
  private slots:
    void monitorJogTuneAndAlarm() {
        PtyDrive drive;
        drive.WithSim([](DriveSim& sim) { sim.SetSlot("201", "500"); });
        AppSession s(drive);
        QVERIFY(s.GoOnLine());
        TComm& engine = s.Engine();

        auto* window = s.Open<TFrm_Monitoring>("Monitoring");
        QVERIFY(window);
        QTRY_COMPARE(engine.ActiveWindow, std::int32_t(MonitoringActive));
        QTRY_COMPARE_WITH_TIMEOUT(Child<QLabel>(window, "Label_MotorW")->text(), QString("NQV 50W"),
                                  5000);
        QTRY_COMPARE_WITH_TIMEOUT(Child<QLabel>(window, "Label_SoftVersion")->text(),
                                  QString("V1.20"), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(Child<RectLed>(window, "LedR_Status")->Label(), QString("RDY"),
                                  5000);
        QTRY_VERIFY_WITH_TIMEOUT(Child<ToggleSwitch>(window, "Sw_Monitoring")->isEnabled(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(s.Received("SET", "011") == 1, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!window->MonitorTimers()->Enabled(1), 5000);

        // Two items with the I/O word for 10 s.
        Child<QComboBox>(window, "Combo5")->setCurrentIndex(1);
        Child<QComboBox>(window, "Combo6")->setCurrentIndex(4);
        const std::size_t before = s.Requests().size();
        Child<ToggleSwitch>(window, "Sw_Monitoring")->setChecked(true);
        QVERIFY(window->OperationTimers()->Enabled(2));
        QTest::qWait(10000);
        QVERIFY(Child<ToggleSwitch>(window, "Sw_Monitoring")->isChecked());
        QCOMPARE(engine.CommError, 0);
        const auto polled = s.Requests();
        const std::size_t mdm = CountRequests(polled, "MDM", "000315");
        QVERIFY2(mdm > 50,
                 qPrintable(
                     QString("%1 MDM, suppress %2, polling %3, step %4, link %5, boxes %6, last %7")
                         .arg(mdm)
                         .arg(engine.SuppressSwitchEvents)
                         .arg(window->OperationTimers()->Enabled(2))
                         .arg(window->PollStep())
                         .arg(engine.LinkState)
                         .arg(s.Boxes().Texts().join("|"))
                         .arg([&] {
                             QStringList tail;
                             for (std::size_t i = polled.size() > 30 ? polled.size() - 30 : 0;
                                  i < polled.size(); ++i)
                                 tail << QString::fromStdString(
                                     polled[i].substr(3, polled[i].size() - 6));
                             return tail.join(" ");
                         }())));
        QVERIFY(CountRequests(polled, "STS") + 2 >= mdm);
        QVERIFY(polled.size() > before + 2 * mdm - 4);
        QCOMPARE(Child<QLabel>(window, "Label_Dig5")->text(), QString("0"));
        Child<ToggleSwitch>(window, "Sw_Monitoring")->setChecked(false);

        // Jog forward and back: the drive's motor follows.
        Child<QTabWidget>(window, "PageControl_Monitor")->setCurrentIndex(2);
        QTRY_VERIFY_WITH_TIMEOUT(!window->OperationTimers()->Enabled(9), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(Child<ToggleSwitch>(window, "SwR_JogOn")->isEnabled(), 5000);
        // The window gives the read of the jog speed about 110 ms; on a loaded
        // machine a user may have to switch jog on again, and so may the test.
        for (int attempt = 0; attempt < 30 && !window->OperationTimers()->Enabled(5); ++attempt) {
            Child<ToggleSwitch>(window, "SwR_JogOn")->setChecked(false);
            Child<ToggleSwitch>(window, "SwR_JogOn")->setChecked(true);
            QTRY_VERIFY_WITH_TIMEOUT(!window->OperationTimers()->Enabled(9), 5000);
        }
        QVERIFY(window->OperationTimers()->Enabled(5));
        auto speed = [&drive] {
            double rpm = 0;
            drive.WithSim(
                [&](DriveSim& sim) { rpm = sim.MotorModel().StateAt(sim.Now()).speedFeedback; });
            return rpm;
        };
        QTest::mousePress(Child<ArrowLed>(window, "Led_JogP"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(speed() > 450, 5000);
        QTest::mouseRelease(Child<ArrowLed>(window, "Led_JogP"), Qt::LeftButton);
        QTest::mousePress(Child<ArrowLed>(window, "Led_JogN"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(speed() < -450, 5000);
        QTest::mouseRelease(Child<ArrowLed>(window, "Led_JogN"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(std::abs(speed()) < 20, 5000);
        const std::size_t jogsEnded = s.Received("SVROF");
        Child<ToggleSwitch>(window, "SwR_JogOn")->setChecked(false);
        QTRY_VERIFY_WITH_TIMEOUT(s.Received("SVROF") == jogsEnded + 1, 5000);
        QVERIFY(s.Received("JOG", "+") > 0);
        QVERIFY(s.Received("JOG", "-") > 0);

        // Auto tuning to the end, with the inertia ratio read back.
        QTRY_VERIFY_WITH_TIMEOUT(engine.LinkState == Idle || engine.LinkState == ReplyDone, 5000);
        QTest::mouseClick(Child<QPushButton>(window, "Btn_AutoTuning"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(s.Boxes().Texts().contains("Turning OK!!"), 8000);
        QCOMPARE(Child<QLineEdit>(window, "Edit_GainValue")->text(), QString("250"));

        // An alarm in the drive: its name, the blinking LED; RESET clears it.
        Child<QTabWidget>(window, "PageControl_Monitor")->setCurrentIndex(0);
        drive.WithSim([](DriveSim& sim) { sim.SetAlarm(12); });
        Child<QComboBox>(window, "Combo5")->setCurrentIndex(1);
        QTRY_VERIFY_WITH_TIMEOUT(Child<ToggleSwitch>(window, "Sw_Monitoring")->isEnabled(), 5000);
        Child<ToggleSwitch>(window, "Sw_Monitoring")->setChecked(true);
        QTRY_COMPARE_WITH_TIMEOUT(Child<RectLed>(window, "LedR_Status")->Label(), QString("E12"),
                                  5000);
        QTRY_COMPARE_WITH_TIMEOUT(s.Status(), QString::fromStdString(AlarmNames[12]), 5000);
        QVERIFY(window->MonitorTimers()->Enabled(9));
        const bool lit = Child<RectLed>(window, "LedR_Status")->IsOn();
        QTRY_VERIFY_WITH_TIMEOUT(Child<RectLed>(window, "LedR_Status")->IsOn() != lit, 2000);
        Child<ToggleSwitch>(window, "Sw_Monitoring")->setChecked(false);
        // RESET sends at once; click it once the start-up steps that follow monitoring are done.
        QTRY_VERIFY_WITH_TIMEOUT(!window->MonitorTimers()->Enabled(1), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(engine.LinkState == Idle || engine.LinkState == ReplyDone, 5000);
        QTest::mouseClick(Child<QPushButton>(window, "Btn_ServoAlarmReset"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(Child<RectLed>(window, "LedR_Status")->Label(), QString("RDY"),
                                  5000);
        int alarm = -1;
        drive.WithSim([&](DriveSim& sim) { alarm = sim.Alarm(); });
        QCOMPARE(alarm, 0);
        QVERIFY(!window->MonitorTimers()->Enabled(9));
        QVERIFY(Child<RectLed>(window, "LedR_Status")->IsOn());

        QTest::mouseClick(Child<QPushButton>(window, "Btn_Exit"), Qt::LeftButton);
        QTRY_VERIFY(s.Main().MdiArea()->subWindowList().isEmpty());
        QTRY_COMPARE(engine.MonitorRef, static_cast<IMonitorWindow*>(nullptr));
    }
};

QTEST_MAIN(MonitoringE2ETest)
#include "MonitoringE2ETest.moc"
