// The shell against the stand-in drive over a pseudo-terminal, with the real
// port and real timer threads: stored settings name the line, the program
// goes on line, and a drive alarm reaches the status bar.

#include <QTest>

#include "platform/PortMessages.h"
#include "platform/PortSettingsStore.h"
#include "platform/PortWatch.h"
#include "protocol/Commands.h"
#include "sim/PtyDrive.h"
#include "tests/support/AppTestSupport.h"
#include "widgets/MessageService.h"

class EndToEndTest : public QObject {
    Q_OBJECT
  private:
    static void Request(TComm& engine, const std::string& address) {
        engine.SendData.Command = "SET";
        engine.SendData.Data = address;
        engine.SendCommand("SET", address);
        engine.LinkState = AwaitData;
    }

  private slots:
    void initTestCase() { REQUIRE_HANGUL_FONT(); }

    void driveAlarmReplyShowsItsNameInTheStatusPanel() {
        ScratchSettings scratch;
        MessageCapture boxes;
        PtyDrive drive;
        PortSettings stored;
        stored.Port = QString::fromStdString(drive.SlavePath());
        StorePortSettings(stored);

        TMainForm main(TMainForm::Options{false});
        main.show();
        main.ST_LEDClick();
        QVERIFY(main.ComPort->Connected());
        TComm& engine = main.Engine();

        Request(engine, "000");
        QTRY_COMPARE_WITH_TIMEOUT(engine.LinkState, ReplyDone, 5000);
        QCOMPARE(engine.CommError, 0);
        QVERIFY(!engine.ReadData.Data.empty());

        drive.WithSim([](DriveSim& sim) { sim.SetFailure({FailureMode::ErrorReply, 21}); });
        Request(engine, "001");
        QTRY_COMPARE_WITH_TIMEOUT(engine.CommError, 21, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(StatusPanel(main)->text(), QString("Instant Overload"), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(AlarmLed(main)->IsOn(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!AlarmLed(main)->IsOn(), 5000);  // it blinks

        QTest::mouseClick(AlarmLed(main), Qt::LeftButton);
        QCOMPARE(StatusPanel(main)->text(), QString());
        QTest::qWait(1200);
        QCOMPARE(StatusPanel(main)->text(), QString());
        QVERIFY(!AlarmLed(main)->IsOn());
        QVERIFY(boxes.Boxes().isEmpty());
    }

    // The drive goes away and comes back on the same symlink, as an adapter
    // under /dev/serial/by-id does when it is unplugged and plugged in again.
    void driveThatComesBackIsAnnouncedAndWorksAtTheFirstTry() {
        ScratchSettings scratch;
        MessageCapture boxes;
        QTemporaryDir dir;
        const QString link = dir.filePath("drive");
        auto drive =
            std::make_unique<PtyDrive>(DriveSim(), PtyDriveOptions{.linkPath = link.toStdString()});
        PortSettings stored;
        stored.Port = link;
        StorePortSettings(stored);

        TMainForm main(TMainForm::Options{false});
        main.show();
        main.ST_LEDClick();
        QVERIFY(main.ComPort->Connected());
        TComm& engine = main.Engine();
        Request(engine, "000");
        QTRY_COMPARE_WITH_TIMEOUT(engine.LinkState, ReplyDone, 5000);

        drive->Disconnect();
        QTRY_VERIFY_WITH_TIMEOUT(!OnLineLed(main)->IsOn(), 5000);
        QCOMPARE(boxes.Boxes().size(), 1);
        QVERIFY2(boxes.Texts()[0].startsWith("The connection on port " + link +
                                             " was lost; the program is off line."),
                 qPrintable(boxes.Texts()[0]));

        auto* watch = main.findChild<PortWatch*>("PortWatch");
        QVERIFY(watch->Watching());
        drive->Stop();  // unplugged: the link is gone
        watch->Check();
        const QString backNotice = QString::fromStdString(PortBackNotice(link.toStdString()));
        QVERIFY(StatusPanel(main)->text() != backNotice);

        drive =
            std::make_unique<PtyDrive>(DriveSim(), PtyDriveOptions{.linkPath = link.toStdString()});
        QTRY_COMPARE_WITH_TIMEOUT(StatusPanel(main)->text(), backNotice, 10000);
        QVERIFY(!main.ComPort->Connected());  // the user decides when to go on line
        QVERIFY(!watch->Watching());

        main.ST_LEDClick();
        QVERIFY(main.ComPort->Connected());
        Request(engine, "001");
        QTRY_COMPARE_WITH_TIMEOUT(engine.LinkState, ReplyDone, 5000);
        QCOMPARE(engine.CommError, 0);
        QVERIFY(!engine.ReadData.Data.empty());
        QCOMPARE(boxes.Boxes().size(), 1);
    }
};

QTEST_MAIN(EndToEndTest)
#include "EndToEndTest.moc"
