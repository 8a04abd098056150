// The real application against the stand-in drive over a pseudo-terminal: a
// request the drive never hears while the monitoring window polls, resent
// and answered; monitoring switched off while the next request is held back
// for the answer still owed, then on again. The link must not freeze and the
// window must poll again, once, without start-up rounds in a loop.

#include <QComboBox>
#include <QElapsedTimer>
#include <QTest>

#include "monitoring/MonitoringFrm.h"
#include "platform/ThreadTimers.h"
#include "protocol/Frame.h"
#include "sim/PtyDrive.h"
#include "tests/support/AppSession.h"
#include "widgets/ToggleSwitch.h"

namespace {

std::size_t Count(const std::vector<std::string>& frames, std::size_t from,
                  std::string_view command, std::string_view data = {}) {
    return CountRequests({frames.begin() + std::ptrdiff_t(from), frames.end()}, command, data);
}

// The drive's log ends with the same request twice: the engine resent it.
bool EndsWithAResend(const std::vector<std::string>& frames, std::size_t from) {
    return frames.size() >= from + 2 && frames[frames.size() - 1] == frames[frames.size() - 2];
}

}  // namespace

class UnheardRequestE2ETest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { REQUIRE_HANGUL_FONT(); }

    void monitoringOffWhileARequestIsHeldThenOnAgainPolls() {
        PtyDrive drive;
        AppSession session(drive);
        auto* window = session.OpenOnLine<TFrm_Monitoring>("Monitoring");
        QVERIFY(window);
        TComm& engine = session.Engine();
        QTRY_VERIFY_WITH_TIMEOUT(!window->MonitorTimers()->Enabled(1), 10000);
        auto* monitoring = window->findChild<ToggleSwitch*>("Sw_Monitoring");
        QTRY_VERIFY_WITH_TIMEOUT(monitoring->isEnabled(), 10000);

        // Graph mode on page 0 polls MDM with slots 5 and 6, and STS.
        window->findChild<QComboBox*>("Combo5")->setCurrentIndex(1);
        window->findChild<QComboBox*>("Combo6")->setCurrentIndex(4);
        monitoring->setChecked(true);
        QTRY_VERIFY_WITH_TIMEOUT(Count(drive.RequestLog(), 0, "MDM", "000315") >= 5, 10000);

        const std::size_t mark = drive.RequestLog().size();
        drive.WithSim([](DriveSim& sim) { sim.SetFailure({FailureMode::Unheard, 1}); });
        QTRY_VERIFY_WITH_TIMEOUT(EndsWithAResend(drive.RequestLog(), mark), 10000);
        // The resend was answered; the next poll waits for the first copy's answer.
        QTRY_VERIFY_WITH_TIMEOUT(engine.Draining(), 10000);
        monitoring->setChecked(false);
        QCOMPARE(engine.LinkState, std::uint8_t(Idle));

        // The start-up sequence runs once more and ends: nothing is left held.
        const std::size_t off = drive.RequestLog().size();
        QTRY_VERIFY_WITH_TIMEOUT(Count(drive.RequestLog(), off, "STS") >= 1, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!window->MonitorTimers()->Enabled(1), 10000);
        QVERIFY(!engine.Draining());

        const std::size_t on = drive.RequestLog().size();
        QElapsedTimer resumed;
        resumed.start();
        monitoring->setChecked(true);
        QTRY_VERIFY_WITH_TIMEOUT(Count(drive.RequestLog(), on, "MDM", "000315") >= 1, 10000);
        const qint64 firstMs = resumed.elapsed();
        QTRY_VERIFY_WITH_TIMEOUT(Count(drive.RequestLog(), on, "MDM", "000315") >= 20, 10000);
        qInfo("polling resumed: first MDM %lld ms, 20 MDM %lld ms after monitoring was switched on",
              firstMs, resumed.elapsed());
        const auto log = drive.RequestLog();
        QCOMPARE(Count(log, on, "LIV"), std::size_t(0));
        QCOMPARE(Count(log, on, "TYP"), std::size_t(0));
        QCOMPARE(engine.CommError, 0);
        QCOMPARE(session.Boxes().Texts(), QStringList{});
    }
};

QTEST_MAIN(UnheardRequestE2ETest)
#include "UnheardRequestE2ETest.moc"
