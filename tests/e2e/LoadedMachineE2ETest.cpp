// The real application against the stand-in drive over a pseudo-terminal on a
// machine so loaded that the main thread stalls: the time-out ticks queued
// during the stall are served before the reply that came in meanwhile, so the
// engine resends while that reply waits on the line. The write's wait then
// takes the reply, and the read notification it had raised finds nothing.
// That is no lost line: a "Nomal" trigger capture goes on recording and re-arms.

#include <unistd.h>

#include <QPushButton>
#include <QSocketNotifier>
#include <QTest>
#include <chrono>
#include <thread>

#include "platform/ComPort.h"
#include "sim/PtyDrive.h"
#include "tests/support/AppSession.h"
#include "trigger/TriggerForm.h"

namespace {

constexpr int kPatienceMs = 30000;
// The drive answers this long after a request: the stall has begun by then.
constexpr int kTurnaroundMs = 60;
// Longer than the engine's time-out (5 ticks of 50 ms), and far longer than
// the drive takes to answer.
constexpr auto kStall = std::chrono::milliseconds(400);

// Stalls the main thread from inside the event loop's turn that serves read
// notifications, as a busy machine does: the poll that follows then finds
// the queued ticks and the reply at once.
class MainThreadStall {
  public:
    MainThreadStall() {
        if (::pipe(pipe_) != 0) qFatal("no pipe");
        notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
            char byte;
            if (::read(pipe_[0], &byte, 1) == 1) std::this_thread::sleep_for(kStall);
            ++stalls;
        });
    }
    ~MainThreadStall() {
        notifier_.reset();
        ::close(pipe_[0]);
        ::close(pipe_[1]);
    }
    void Soon() {
        if (::write(pipe_[1], "s", 1) != 1) qFatal("pipe full");
    }
    int stalls = 0;

  private:
    int pipe_[2];
    std::unique_ptr<QSocketNotifier> notifier_;
};

DriveSim TriggeringAtOnce() {
    DriveSim::Config config;
    config.trigger = Recorder::Trigger::AtOnce;
    return DriveSim(config);
}

}  // namespace

class LoadedMachineE2ETest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { REQUIRE_HANGUL_FONT(); }

    void nomalCaptureRearmsAfterAStallOfTheMainThread() {
        PtyDrive drive(TriggeringAtOnce(), {.turnaroundMs = kTurnaroundMs});
        AppSession session(drive);
        auto* window = session.OpenOnLine<TFrmTrigger>("Trigger Monitoring");
        QVERIFY(window);
        TMainForm& main = session.Main();
        MessageCapture& boxes = session.Boxes();
        window->findChild<QPushButton*>("ToggleSw_SingleNomal")->click();

        // In the second recording, right after the request for block 05 went out.
        MainThreadStall stall;
        bool asked = false;
        const TriggerCapture& capture = window->Capture();
        connect(main.ComPort, &TComPort::OnRxChar, this, [&] {
            if (asked || capture.RecordingsCompleted() != 1 || capture.TriggerBlockCount() != 5)
                return;
            asked = true;
            stall.Soon();
        });
        window->findChild<QPushButton*>("Btn_StartTrigger")->click();

        QTRY_VERIFY_WITH_TIMEOUT(stall.stalls == 1, kPatienceMs);
        QTRY_VERIFY_WITH_TIMEOUT(capture.RecordingsCompleted() >= 3 || !main.ComPort->Connected(),
                                 kPatienceMs);
        QVERIFY2(main.ComPort->Connected(), qPrintable(boxes.Texts().join(" / ")));
        QCOMPARE(capture.LastRecording().size(), std::size_t(300));
        const std::vector<std::string> log = drive.RequestLog();
        QVERIFY2(std::adjacent_find(log.begin(), log.end()) != log.end(),
                 "the stall caused no resend");
        QCOMPARE(boxes.Texts(), QStringList{});
    }
};

QTEST_MAIN(LoadedMachineE2ETest)
#include "LoadedMachineE2ETest.moc"
