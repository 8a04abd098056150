// The real application against the stand-in drive over a pseudo-terminal:
// the drive trips, the alarm history window shows the alarm on row 1, loads
// and plots two of the quantities the drive recorded, and clears the history.

#include <QComboBox>
#include <QMdiArea>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "alarms/ErrorDisplayForm.h"
#include "platform/ThreadTimers.h"
#include "sim/PtyDrive.h"
#include "tests/support/AppSession.h"
#include "widgets/Plot.h"

namespace {

constexpr int kPatienceMs = 10000;

}  // namespace

class ErrorDisplayE2ETest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { REQUIRE_HANGUL_FONT(); }

    void tripLoadPlotAndClear() {
        PtyDrive drive;
        AppSession s(drive);
        QVERIFY(s.GoOnLine());
        TComm& engine = s.Engine();

        auto* form = s.Open<TForm_ErrorDisplay>("Error Display..");
        QVERIFY(form);
        // One window, brought to the front.
        QCOMPARE(s.Open<TForm_ErrorDisplay>("Error Display.."), form);
        QCOMPARE(s.Main().findChildren<TForm_ErrorDisplay*>().size(), 1);
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
        QCOMPARE(s.Received("DIE", "0500"), 1u);
        QCOMPARE(s.Received("DIE", "0100"), 1u);
        auto* plot = form->findChild<Plot*>("Plot_Error");
        QCOMPARE(plot->ChannelCount(), 2);
        QCOMPARE(plot->PointCount(0), 50);
        QCOMPARE(plot->PointCount(1), 50);

        // Reset at the drive, then clear: the table shows an empty history.
        drive.WithSim([](DriveSim& sim) { sim.SetAlarm(0); });
        QTest::mouseClick(button("Btn_ErrorHistoryClear"), Qt::LeftButton);
        QCOMPARE(s.Boxes().Texts(),
                 QStringList{QString::fromUtf8("Error data가 삭제 되었습니다..")});
        QTRY_COMPARE_WITH_TIMEOUT(grid->item(1, 1)->text(), QString("None"), kPatienceMs);
        QCOMPARE(grid->item(1, 2)->text(), QString("No Error"));
        drive.WithSim(
            [](DriveSim& sim) { QCOMPARE(sim.AlarmHistory().Entry(1), std::string("00")); });
        QCOMPARE(engine.CommError, 0);

        QTest::mouseClick(button("Btn_Exit"), Qt::LeftButton);
        QTRY_VERIFY(s.Main().MdiArea()->subWindowList().isEmpty());
        QTRY_COMPARE(engine.AlarmHistoryRef, static_cast<IAlarmHistoryWindow*>(nullptr));
    }
};

QTEST_MAIN(ErrorDisplayE2ETest)
#include "ErrorDisplayE2ETest.moc"
