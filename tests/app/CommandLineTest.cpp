// The two programs answer --help and --version on the terminal, without a
// window; vrx5 leaves Qt's own options to Qt and refuses anything else.

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sstream>

#include "app/CommandLine.h"

namespace {

QStringList Split(const char* args) {
    return QString(args).split(' ', Qt::SkipEmptyParts);
}

// AnswerCommandLine on `args` split at blanks: the exit code, or -1 to start.
int Answer(const QStringList& args, std::string* err = nullptr) {
    std::vector<std::string> owned;
    for (const QString& arg : args) owned.push_back(arg.toStdString());
    const std::vector<std::string_view> views(owned.begin(), owned.end());
    std::ostringstream out, errors;
    const std::optional<int> code = AnswerCommandLine(views, out, errors);
    if (err) *err = errors.str();
    return code.value_or(-1);
}

}  // namespace

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

    // What a session manager, a style choice or a test harness hands the program.
    void qtsOwnOptionsStartTheProgram_data() {
        QTest::addColumn<QString>("args");
        for (const char* args :
             {"-platform offscreen", "--platform offscreen", "-platform xcb:nomitshm",
              "-style Fusion", "-style=Fusion", "-stylesheet=a.qss", "-session 10ab12_1712",
              "-reverse", "-qwindowtitle Drive -qwindowgeometry 800x600+0+0",
              "-display :1 -geometry 800x600", "-platformtheme gtk3 -widgetcount"})
            QTest::newRow(args) << QString(args);
    }
    void qtsOwnOptionsStartTheProgram() {
        QFETCH(QString, args);
        std::string err;
        QCOMPARE(Answer(Split(qPrintable(args)), &err), -1);
        QCOMPARE(err, std::string());
    }

    void unknownOptionsAreRefused_data() {
        QTest::addColumn<QString>("args");
        QTest::addColumn<QString>("complaint");
        QTest::newRow("ours") << "--port /dev/ttyS0"
                              << "unexpected argument '--port'";
        QTest::newRow("after a Qt option") << "-style Fusion -x"
                                           << "unexpected argument '-x'";
        QTest::newRow("a file") << "set.pf"
                                << "unexpected argument 'set.pf'";
        QTest::newRow("unknown with a value") << "-speed=9600"
                                              << "unexpected argument '-speed=9600'";
        QTest::newRow("Qt option without its value") << "-session"
                                                     << "option '-session' needs a value";
    }
    void unknownOptionsAreRefused() {
        QFETCH(QString, args);
        QFETCH(QString, complaint);
        std::string err;
        QCOMPARE(Answer(Split(qPrintable(args)), &err), 2);
        QVERIFY2(QString::fromStdString(err).startsWith("vrx5: " + complaint + "\nusage: vrx5"),
                 err.c_str());
    }

    void helpAndVersionAnswerBesideQtOptions() {
        const Run version =
            Start(VRX5_APP_PATH, Split("-style Fusion -platform offscreen --version"));
        QCOMPARE(version.code, 0);
        QCOMPARE(version.out, QString("vrx5 " VRX5_VERSION "\n"));
        QCOMPARE(Answer(Split("-session 1_2 --help")), 0);
    }

    // No display, so the window system of the environment cannot start: the
    // program runs only if -platform reached Qt, which then loads its plugin.
    void vrx5StartsOnThePlatformItIsGiven() {
        QTemporaryDir scratch;
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("TMPDIR", scratch.path());
        env.insert("XDG_CONFIG_HOME", scratch.path());
        process.setProcessEnvironment(env);
        process.start(VRX5_APP_PATH, Split("-platform offscreen -style Fusion -session 10ab_17"));
        QVERIFY(process.waitForStarted(10000));
        const QString maps = QString("/proc/%1/maps").arg(process.processId());
        const auto loaded = [&] {
            QFile file(maps);
            return file.open(QIODevice::ReadOnly) && file.readAll().contains("libqoffscreen");
        };
        QTRY_VERIFY_WITH_TIMEOUT(loaded() || process.state() != QProcess::Running, 30000);
        QVERIFY2(process.state() == QProcess::Running,
                 qPrintable(QString::fromUtf8(process.readAllStandardError())));
        process.kill();
        process.waitForFinished(10000);
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
