// A real program download end to end: a binary of this machine turned into
// Intel HEX by objcopy, sent by the download window through the real port to
// the drive-sim program on a pseudo-terminal, whose memory image must equal
// the binary byte for byte.

#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "download/PgmDownForm.h"
#include "protocol/Commands.h"
#include "tests/support/AppSession.h"

namespace {

constexpr int kPatienceMs = 180000;
// Part of coreutils, so on every machine; over 64 KB, so its HEX file needs
// extended segment address records.
constexpr const char* kBinary = "/usr/bin/chgrp";

// drive-sim with its image file; the slave path is the first line it prints.
class DriveSimProgram {
  public:
    explicit DriveSimProgram(const QString& imagePath) {
        process_.setProgram(VRX5_DRIVE_SIM_PATH);
        process_.setArguments({"--download-image", imagePath});
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        process_.start();
        if (process_.waitForStarted(10000) && process_.waitForReadyRead(10000))
            path_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
    }
    ~DriveSimProgram() {
        process_.terminate();
        if (!process_.waitForFinished(5000)) process_.kill();
    }
    QString Path() const { return path_; }
    QString Report() {
        report_ += QString::fromLocal8Bit(process_.readAllStandardError());
        return report_;
    }

  private:
    QProcess process_;
    QString path_;
    QString report_;
};

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class DownloadE2ETest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { REQUIRE_HANGUL_FONT(); }

    void objcopyHexFileArrivesAsTheBinary() {
        QTemporaryDir dir;
        const QString hex = dir.filePath("program.hex"), image = dir.filePath("image.bin");
        const QByteArray binary = ReadAll(kBinary);
        QVERIFY2(binary.size() > 65536, kBinary);
        QProcess objcopy;
        objcopy.start("objcopy", {"-I", "binary", "-O", "ihex", kBinary, hex});
        QVERIFY2(objcopy.waitForFinished(60000) && objcopy.exitCode() == 0,
                 "objcopy failed; it comes with the Debian package binutils");
        QVERIFY(ReadAll(hex).contains("\n:02000002"));  // a segment record past 64 KB

        DriveSimProgram drive(image);
        QVERIFY(!drive.Path().isEmpty());
        AppSession s(drive.Path(), {.answer = QMessageBox::Yes});
        QVERIFY(s.GoOnLine());

        auto* window = s.OpenAsDialog<TForm_PgmDown>(ChildWindow::ProgramDown);
        QVERIFY(window);
        window->SetFileChooser([&](QWidget*, const QString&, const QString&) { return hex; });
        window->Btn_FileSelectClick();
        window->Btn_DownModeClick();
        QTRY_COMPARE_WITH_TIMEOUT(s.Engine().LinkState, std::uint8_t(Idle), 10000);
        window->findChild<QPushButton*>("Btn_Start")->click();
        QTRY_COMPARE_WITH_TIMEOUT(window->StatusText(1), QString("Down load complete !!!!"),
                                  kPatienceMs);
        QCOMPARE(s.Boxes().Texts(),
                 QStringList{"실행 하시겠습니까 !!!"});  // Down Mode, and nothing else

        QTRY_COMPARE_WITH_TIMEOUT(ReadAll(image).size(), binary.size(), 20000);
        QVERIFY(ReadAll(image) == binary);
        QTRY_VERIFY_WITH_TIMEOUT(
            drive.Report().contains(
                QString("bytes at 0x00000000\n").prepend(QString::number(binary.size()) + " ")),
            10000);
        QVERIFY2(!drive.Report().contains("line "), qPrintable(drive.Report()));

        // Out of download mode, the drive answers the protocol again.
        TComm& engine = s.Engine();
        engine.SendData.Command = Cmd::VER;
        engine.SendData.Data.clear();
        engine.SendCommand(engine.SendData.Command, "");
        engine.LinkState = AwaitData;
        QTRY_COMPARE_WITH_TIMEOUT(engine.LinkState, std::uint8_t(ReplyDone), 10000);
        QCOMPARE(engine.CommError, 0);
    }
};

QTEST_MAIN(DownloadE2ETest)
#include "DownloadE2ETest.moc"
