// The real application against the stand-in drive over a pseudo-terminal:
// the drive trips, the alarm history window shows the alarm on row 1, loads
// and plots two of the quantities the drive recorded, and clears the history.

#include <QComboBox>
#include <QMdiArea>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "alarms/ErrorDisplayForm.h"
#include "app/Main.h"
#include "app/TaskWindows.h"
#include "platform/ComPort.h"
#include "platform/PortSettingsStore.h"
#include "platform/ThreadTimers.h"
#include "protocol/Frame.h"
#include "sim/PtyDrive.h"
#include "tests/support/AppTestSupport.h"
#include "widgets/MessageService.h"
#include "widgets/Plot.h"

namespace {

constexpr int kPatienceMs = 10000;

int Count(const std::vector<std::string>& log, const std::string& frame) {
    return static_cast<int>(std::count(log.begin(), log.end(), frame));
}

}  // namespace

class ErrorDisplayE2ETest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { REQUIRE_HANGUL_FONT(); }

    void tripLoadPlotAndClear() {
        ScratchSettings scratch;
        MessageCapture boxes;
        PtyDrive drive;
        PortSettings stored;
        stored.Port = QString::fromStdString(drive.SlavePath());
        StorePortSettings(stored);

        TMainForm main(TMainForm::Options{false});
        RegisterTaskWindows(main);
        main.show();
        main.ST_LEDClick();
        QVERIFY(main.ComPort->Connected());
        TComm& engine = main.Engine();

        main.OpenChildWindow(ChildWindow::ErrorDisplay);
        main.OpenChildWindow(ChildWindow::ErrorDisplay);  // one window, brought to the front
        QCOMPARE(main.findChildren<TForm_ErrorDisplay*>().size(), 1);
        auto* form = main.findChild<TForm_ErrorDisplay*>();
        QTRY_COMPARE(engine.ActiveWindow, std::int32_t(AlarmHistoryActive));
        auto* grid = form->findChild<QTableWidget*>("StringGrid_ErrorHistory");
        auto button = [form](const char* name) { return form->findChild<QPushButton*>(name); };

        // The motor runs; a request lets the drive take note; then it trips.
        drive.WithSim([](DriveSim& sim) {
            sim.MotorModel().AdvanceTo(sim.Now());
            sim.MotorModel().SetSpeedCommand(1500);
        });
        QTest::mouseClick(button("Btn_ErrorHistoryLoad"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(grid->item(1, 1)->text(), QString("None"), kPatienceMs);
        QTest::qWait(100);
        drive.WithSim([](DriveSim& sim) { sim.SetAlarm(DriveSim::kOverspeedAlarm); });
        QTest::mouseClick(button("Btn_ErrorHistoryLoad"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(grid->item(1, 1)->text(), QString("50"), kPatienceMs);
        QCOMPARE(grid->item(1, 2)->text(), QString("Over Speed Error"));
        QCOMPARE(grid->item(2, 1)->text(), QString("None"));

        form->findChild<QComboBox*>("ComboBox1")->setCurrentIndex(5);
        form->findChild<QComboBox*>("ComboBox2")->setCurrentIndex(1);
        QTest::mouseClick(button("Btn_ErrorLoadD"), Qt::LeftButton);
        auto* timers = form->findChild<TiThreadTimers*>("ThreadTimers_Error");
        QTRY_VERIFY_WITH_TIMEOUT(!timers->Enabled(1), kPatienceMs);
        const std::vector<std::string> log = drive.RequestLog();
        QCOMPARE(Count(log, Frame::BuildRequest("DIE", "0500")), 1);
        QCOMPARE(Count(log, Frame::BuildRequest("DIE", "0100")), 1);
        auto* plot = form->findChild<Plot*>("Plot_Error");
        QCOMPARE(plot->ChannelCount(), 2);
        QCOMPARE(plot->PointCount(0), 50);
        QCOMPARE(plot->PointCount(1), 50);

        // Reset at the drive, then clear: the table shows an empty history.
        drive.WithSim([](DriveSim& sim) { sim.SetAlarm(0); });
        QTest::mouseClick(button("Btn_ErrorHistoryClear"), Qt::LeftButton);
        QCOMPARE(boxes.Texts(), QStringList{QString::fromUtf8("Error data가 삭제 되었습니다..")});
        QTRY_COMPARE_WITH_TIMEOUT(grid->item(1, 1)->text(), QString("None"), kPatienceMs);
        QCOMPARE(grid->item(1, 2)->text(), QString("No Error"));
        drive.WithSim(
            [](DriveSim& sim) { QCOMPARE(sim.AlarmHistory().Entry(1), std::string("00")); });
        QCOMPARE(engine.CommError, 0);

        QTest::mouseClick(button("Btn_Exit"), Qt::LeftButton);
        QTRY_VERIFY(main.MdiArea()->subWindowList().isEmpty());
        QTRY_COMPARE(engine.AlarmHistoryRef, static_cast<IAlarmHistoryWindow*>(nullptr));
    }
};

QTEST_MAIN(ErrorDisplayE2ETest)
#include "ErrorDisplayE2ETest.moc"
