// The real application against the stand-in drive over a pseudo-terminal: the
// trigger window arms the drive's recorder, a jog start in the drive crosses
// the speed level, and the recording comes back in 30 blocks and is plotted,
// once in "Single" mode and three times over in "Nomal" mode.

#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <algorithm>
#include <cmath>

#include "protocol/Frame.h"
#include "sim/PtyDrive.h"
#include "tests/support/AppSession.h"
#include "trigger/TriggerForm.h"
#include "widgets/Plot.h"

namespace {

constexpr int kPatienceMs = 20000;
constexpr int kLevel = 100;
constexpr std::size_t kPairs = 300, kPreTrigger = 60;  // point 3: 20 % before the trigger

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

// Waits until the window has armed the drive's recorder anew and polls it
// (BSY), then starts a jog once an earlier one has run out and the motor
// stands still. The drive's request log is cleared there, so the caller
// counts the frames of this recording only: it keeps the last few thousand
// frames, and three recordings polled without pause can outgrow it.
void JogWhenArmed(AppSession& s) {
    const auto armedAnew = [&s] {
        bool armed = false;
        s.Drive().WithSim([&](DriveSim& sim) {
            armed = sim.CaptureRecorder().Armed() && !sim.CaptureRecorder().Triggered();
        });
        return armed && s.LastRequest() == Frame::BuildRequest("MOT", "");
    };
    QTRY_VERIFY_WITH_TIMEOUT(armedAnew(), kPatienceMs);
    QCOMPARE(s.Received("MOT",
                        "0001000013013"
                        "100"),
             1u);
    s.Drive().WithSim([](DriveSim& sim) { sim.ClearRequests(); });
    const auto standsStill = [&s] {
        MotorState motor;
        s.Drive().WithSim([&](DriveSim& sim) { motor = sim.MotorModel().StateAt(sim.Now()); });
        return motor.speedCommand == 0 && std::abs(motor.speedFeedback) < 1;
    };
    QTRY_VERIFY_WITH_TIMEOUT(standsStill(), kPatienceMs);
    s.Drive().WithSim([](DriveSim& sim) { sim.StartJog('+'); });
}

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
        PtyDrive drive;
        AppSession s(drive);
        QVERIFY(s.GoOnLine());
        auto* window = s.Open<TFrmTrigger>("Trigger Monitoring");
        QVERIFY(window);
        QCOMPARE(s.Open<TFrmTrigger>("Trigger Monitoring"), window);
        QCOMPARE(s.Main().findChildren<TFrmTrigger*>().size(), 1);
        QTRY_COMPARE(s.Engine().ActiveWindow, std::int32_t(TriggerActive));
        Configure(*window);
        auto* start = window->findChild<QPushButton*>("Btn_StartTrigger");
        start->click();
        JogWhenArmed(s);
        auto* plot = window->findChild<Plot*>("Plot_Trigger");
        QTRY_COMPARE_WITH_TIMEOUT(window->Capture().RecordingsCompleted(), 1, kPatienceMs);
        QCOMPARE(plot->PointCount(0), int(kPairs));
        QCOMPARE(plot->PointCount(1), int(kPairs));
        QCOMPARE(start->text(), QString("START"));
        QCOMPARE(s.Engine().LinkState, std::uint8_t(Idle));
        QCOMPARE(s.Engine().CommError, 0);
        for (int block = 0; block < 30; ++block) {
            const QString number = QString("%1").arg(block, 2, 10, QChar('0'));
            QCOMPARE(s.Received("MOT", number.toStdString()), 1u);
        }
        CheckRise(*window);
        QCOMPARE(s.Boxes().Texts(), QStringList{});
    }

    void nomalCapturesThreeJogStartsThenStops() {
        PtyDrive drive;
        AppSession s(drive);
        s.GoOnLine();
        auto* window = s.Open<TFrmTrigger>("Trigger Monitoring");
        QVERIFY(window);
        Configure(*window);
        window->findChild<QPushButton*>("ToggleSw_SingleNomal")->click();
        auto* start = window->findChild<QPushButton*>("Btn_StartTrigger");
        start->click();
        for (std::size_t recording = 1; recording <= 3; ++recording) {
            JogWhenArmed(s);
            QTRY_COMPARE_WITH_TIMEOUT(window->Capture().RecordingsCompleted(), int(recording),
                                      kPatienceMs);
            QCOMPARE(s.Received("MOT", "29"), 1u);
            CheckRise(*window);
            QCOMPARE(window->findChild<Plot*>("Plot_Trigger")->PointCount(0), int(kPairs));
            QCOMPARE(start->text(), QString("STOP"));
        }
        start->click();
        QTRY_COMPARE_WITH_TIMEOUT(s.LastRequest(), Frame::BuildRequest("ESC", ""), kPatienceMs);
        QTRY_COMPARE(s.Engine().LinkState, std::uint8_t(Idle));
        bool armed = true;
        drive.WithSim([&](DriveSim& sim) { armed = sim.CaptureRecorder().Armed(); });
        QVERIFY(!armed);
        QCOMPARE(s.Engine().CommError, 0);
        QCOMPARE(s.Boxes().Texts(), QStringList{});
    }
};

QTEST_MAIN(TriggerE2ETest)
#include "TriggerE2ETest.moc"
