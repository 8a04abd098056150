// The two programs answer --help and --version on the terminal, without a
// window, and refuse anything else.

#include <QProcess>
#include <QTest>

class CommandLineTest : public QObject {
    Q_OBJECT
  private:
    struct Run {
        int code;
        QString out, err;
    };
    // Without a display: a window opened by mistake would fail the run.
    static Run Start(const QString& program, const QStringList& args) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.insert("QT_QPA_PLATFORM", "xcb");
        process.setProcessEnvironment(env);
        process.start(program, args);
        if (!process.waitForFinished(60000)) process.kill();
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

  private slots:
    void vrx5AnswersHelpAndVersionOnTheTerminal() {
        const Run version = Start(VRX5_APP_PATH, {"--version"});
        QCOMPARE(version.code, 0);
        QCOMPARE(version.out, QString("vrx5 " VRX5_VERSION "\n"));
        const Run help = Start(VRX5_APP_PATH, {"--help"});
        QCOMPARE(help.code, 0);
        QVERIFY(help.out.startsWith("usage: vrx5 [--help | --version]\n"));
        QVERIFY(help.err.isEmpty());
    }

    void vrx5TakesNoOtherOption() {
        const Run run = Start(VRX5_APP_PATH, {"--port", "/dev/ttyS0"});
        QCOMPARE(run.code, 2);
        QVERIFY(run.out.isEmpty());
        QVERIFY2(run.err.startsWith("vrx5: unexpected argument '--port'\nusage: vrx5"),
                 qPrintable(run.err));
    }

    void driveSimVersionIsItsOwn() {
        const Run run = Start(VRX5_DRIVE_SIM_PATH, {"--version"});
        QCOMPARE(run.code, 0);
        QCOMPARE(run.out, QString("drive-sim " VRX5_VERSION "\n"));
        QVERIFY(Start(VRX5_DRIVE_SIM_PATH, {"--help"}).out.contains("--firmware TEXT"));
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "CommandLineTest.moc"
