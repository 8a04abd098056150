// Only one copy of the program runs at a time, and a crashed copy does not
// keep the next one from starting.

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "app/InstanceGuard.h"

class InstanceTest : public QObject {
    Q_OBJECT
  private:
    QTemporaryDir scratch_;

    // A copy of the program; `platform` is the window system it would use.
    std::unique_ptr<QProcess> Start(const QString& platform) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", platform);
        environment.insert("TMPDIR", scratch_.path());
        environment.insert("XDG_CONFIG_HOME", scratch_.path());
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(VRX5_APP_PATH, {});
        if (!process->waitForStarted(10000)) qFatal("vrx5 did not start");
        return process;
    }

    // A second copy that would need a window system that does not exist: it can
    // only end well if it ends before creating the application object.
    void ExpectSecondCopyEndsQuietly() {
        const auto second = Start("no-such-window-system");
        QVERIFY(second->waitForFinished(20000));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
    }

    // The process id the lock file names.
    static qint64 LockHolder() {
        QFile lock(InstanceGuard::LockPath());
        if (!lock.open(QIODevice::ReadOnly)) return -1;
        return lock.readLine().trimmed().toLongLong();
    }

    static void Stop(QProcess& process) {
        process.kill();
        process.waitForFinished(10000);
    }

  private slots:
    void initTestCase() {
        qputenv("TMPDIR", scratch_.path().toLocal8Bit());
        QVERIFY(scratch_.isValid());
    }

    void secondCopyEndsBeforeAnyWindow() {
        const auto first = Start("offscreen");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(InstanceGuard::LockPath()), 10000);
        ExpectSecondCopyEndsQuietly();
        QCOMPARE(first->state(), QProcess::Running);
        Stop(*first);
    }

    void aKilledCopyDoesNotBlockTheNextStart() {
        const auto crashed = Start("offscreen");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(InstanceGuard::LockPath()), 10000);
        Stop(*crashed);  // SIGKILL: nothing is cleaned up
        QVERIFY(QFile::exists(InstanceGuard::LockPath()));

        const auto next = Start("offscreen");
        // It took over the lock: a further copy is turned away while it runs.
        QTRY_COMPARE_WITH_TIMEOUT(LockHolder(), next->processId(), 10000);
        ExpectSecondCopyEndsQuietly();
        QCOMPARE(next->state(), QProcess::Running);
        Stop(*next);
    }
};

QTEST_GUILESS_MAIN(InstanceTest)
#include "InstanceTest.moc"
