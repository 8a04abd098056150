// The real application against the stand-in drive over a pseudo-terminal: the
// trigger window arms the drive's recorder, a jog start in the drive crosses
// the speed level, and the recording comes back in 30 blocks and is plotted,
// once in "Single" mode and three times over in "Nomal" mode.

#include <QMdiArea>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <algorithm>

#include "app/Main.h"
#include "app/TaskWindows.h"
#include "platform/ComPort.h"
#include "platform/PortSettingsStore.h"
#include "protocol/Frame.h"
#include "sim/PtyDrive.h"
#include "tests/support/AppTestSupport.h"
#include "trigger/TriggerForm.h"
#include "widgets/MessageService.h"
#include "widgets/Plot.h"

namespace {

constexpr int kPatienceMs = 20000;
constexpr int kLevel = 100;
constexpr std::size_t kPairs = 300, kPreTrigger = 60;  // point 3: 20 % before the trigger

std::size_t Count(const PtyDrive& drive, const std::string& frame) {
    const std::vector<std::string> log = drive.RequestLog();
    return static_cast<std::size_t>(std::count(log.begin(), log.end(), frame));
}

// Speed feedback of each pair: rising through the level at the trigger pair.
void CheckRise(const TFrmTrigger& window) {
    const std::vector<TriggerPair>& pairs = window.Capture().LastRecording();
    QCOMPARE(pairs.size(), kPairs);
    QCOMPARE(pairs.back().x, (kPairs - 1) * 0.0002);
    std::vector<int> speed;
    for (const TriggerPair& pair : pairs) speed.push_back(pair.channel1);
    QString trace;
    for (std::size_t i = 0; i < speed.size(); i += 10) trace += QString::number(speed[i]) + " ";
    QVERIFY2(speed.front() < kLevel, qPrintable(trace));
    QVERIFY2(speed[kPreTrigger - 1] < kLevel, qPrintable(trace));
    QVERIFY2(speed[kPreTrigger] >= kLevel, qPrintable(trace));
    QVERIFY2(speed.back() > speed[kPreTrigger] + 100, qPrintable(trace));
    QVERIFY2(std::is_sorted(speed.begin(), speed.end()), qPrintable(trace));
}

struct StoredPort {
    explicit StoredPort(const PtyDrive& drive) {
        PortSettings stored;
        stored.Port = QString::fromStdString(drive.SlavePath());
        StorePortSettings(stored);
    }
};

class Session {
  public:
    Session() {
        RegisterTaskWindows(main);
        main.show();
        main.ST_LEDClick();
    }

    // Waits for the drive to be polled (armed, BSY), then starts a jog once
    // an earlier one has run out and the motor stands still.
    void JogWhenArmed(std::size_t setups) {
        const std::string setup = Frame::BuildRequest("MOT",
                                                      "0001000013013"
                                                      "100");
        const std::string poll = Frame::BuildRequest("MOT", "");
        QTRY_VERIFY_WITH_TIMEOUT(Count(drive, setup) >= setups && drive.RequestLog().back() == poll,
                                 kPatienceMs);
        QTest::qWait(900);
        drive.WithSim([](DriveSim& sim) { sim.StartJog('+'); });
    }

    ScratchSettings scratch;
    MessageCapture boxes;
    PtyDrive drive;
    StoredPort port{drive};  // before the main window, which reads it
    TMainForm main{TMainForm::Options{false}};
};

void Configure(TFrmTrigger& window) {
    window.findChild<QSpinBox*>("SpinEdit_TriggerPoint")->setValue(3);
    window.findChild<QSpinBox*>("SpinEdit_TriggeredValue")->setValue(kLevel);
}

}  // namespace

class TriggerE2ETest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { REQUIRE_HANGUL_FONT(); }

    void singleCaptureOfAJogStart() {
        Session s;
        QVERIFY(s.main.ComPort->Connected());
        s.main.OpenChildWindow(ChildWindow::TriggerMonitoring);
        s.main.OpenChildWindow(ChildWindow::TriggerMonitoring);
        QCOMPARE(s.main.findChildren<TFrmTrigger*>().size(), 1);
        auto* window = s.main.findChild<TFrmTrigger*>();
        QTRY_COMPARE(s.main.Engine().ActiveWindow, std::int32_t(TriggerActive));
        Configure(*window);
        auto* start = window->findChild<QPushButton*>("Btn_StartTrigger");
        start->click();
        s.JogWhenArmed(1);
        auto* plot = window->findChild<Plot*>("Plot_Trigger");
        QTRY_COMPARE_WITH_TIMEOUT(window->Capture().RecordingsCompleted(), 1, kPatienceMs);
        QCOMPARE(plot->PointCount(0), int(kPairs));
        QCOMPARE(plot->PointCount(1), int(kPairs));
        QCOMPARE(start->text(), QString("START"));
        QCOMPARE(s.main.Engine().LinkState, std::uint8_t(Idle));
        QCOMPARE(s.main.Engine().CommError, 0);
        for (int block = 0; block < 30; ++block) {
            const QString number = QString("%1").arg(block, 2, 10, QChar('0'));
            QCOMPARE(Count(s.drive, Frame::BuildRequest("MOT", number.toStdString())), 1u);
        }
        CheckRise(*window);
        QCOMPARE(s.boxes.Texts(), QStringList{});
    }

    void nomalCapturesThreeJogStartsThenStops() {
        Session s;
        s.main.OpenChildWindow(ChildWindow::TriggerMonitoring);
        auto* window = s.main.findChild<TFrmTrigger*>();
        Configure(*window);
        window->findChild<QPushButton*>("ToggleSw_SingleNomal")->click();
        auto* start = window->findChild<QPushButton*>("Btn_StartTrigger");
        start->click();
        const std::string lastBlock = Frame::BuildRequest("MOT", "29");
        for (std::size_t recording = 1; recording <= 3; ++recording) {
            s.JogWhenArmed(recording);
            QTRY_COMPARE_WITH_TIMEOUT(window->Capture().RecordingsCompleted(), int(recording),
                                      kPatienceMs);
            QCOMPARE(Count(s.drive, lastBlock), recording);
            CheckRise(*window);
            QCOMPARE(window->findChild<Plot*>("Plot_Trigger")->PointCount(0), int(kPairs));
            QCOMPARE(start->text(), QString("STOP"));
        }
        start->click();
        QTRY_COMPARE_WITH_TIMEOUT(s.drive.RequestLog().back(), Frame::BuildRequest("ESC", ""),
                                  kPatienceMs);
        QTRY_COMPARE(s.main.Engine().LinkState, std::uint8_t(Idle));
        bool armed = true;
        s.drive.WithSim([&](DriveSim& sim) { armed = sim.CaptureRecorder().Armed(); });
        QVERIFY(!armed);
        QCOMPARE(s.main.Engine().CommError, 0);
        QCOMPARE(s.boxes.Texts(), QStringList{});
    }
};

QTEST_MAIN(TriggerE2ETest)
#include "TriggerE2ETest.moc"
