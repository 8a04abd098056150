// The download window in the program: the real main window, port and engine
// on a pseudo-terminal whose far end the test reads, so every check is of the
// bytes on the wire, the texts shown and the states of the buttons.

#include <poll.h>
#include <unistd.h>

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <mutex>
#include <thread>

#include "app/Main.h"
#include "app/TaskWindows.h"
#include "download/PgmDownForm.h"
#include "platform/ComPort.h"
#include "protocol/Frame.h"
#include "sim/Pty.h"
#include "tests/support/AppTestSupport.h"
#include "widgets/LedBar.h"
#include "widgets/MessageService.h"

namespace {

constexpr int kPatienceMs = 30000;

const std::string kLine1 = ":0300300002337A1E\r\n";
const std::string kLine2 = ":10010000214601360121470136007EFE09D2190140\r\n";
const std::string kBadLine = ":10010000214601360121470136007EFE09D2190141\r\n";
const std::string kEnd = ":00000001FF\r\n";

std::string Lines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += kLine2;
    return text;
}

// The drive's end of the line: a thread keeps reading, so the program's writes never back up.
class FarEnd {
  public:
    FarEnd() : pty_(OpenRawPty()), reader_([this](std::stop_token stop) { Read(stop); }) {}
    ~FarEnd() {
        reader_.request_stop();
        reader_.join();
    }
    QString Path() const { return QString::fromStdString(pty_.slavePath); }
    std::string Received() const {
        std::lock_guard lock(mutex_);
        return received_;
    }
    void Clear() {
        std::lock_guard lock(mutex_);
        received_.clear();
    }
    void Write(const std::string& bytes) {
        std::lock_guard lock(mutex_);
        QCOMPARE_EQ(::write(pty_.master.Get(), bytes.data(), bytes.size()),
                    static_cast<ssize_t>(bytes.size()));
    }
    void Hangup() {
        std::lock_guard lock(mutex_);
        pty_.master.Reset();
    }

  private:
    void Read(std::stop_token stop) {
        while (!stop.stop_requested()) {
            std::unique_lock lock(mutex_);
            if (!pty_.master.Valid()) return;
            pollfd fd{pty_.master.Get(), POLLIN, 0};
            lock.unlock();
            ::poll(&fd, 1, 10);
            lock.lock();
            if (!pty_.master.Valid()) return;
            char buffer[4096];
            const ssize_t n = ::read(pty_.master.Get(), buffer, sizeof buffer);
            if (n > 0) received_.append(buffer, static_cast<std::size_t>(n));
        }
    }

    RawPty pty_;
    mutable std::mutex mutex_;
    std::string received_;
    std::jthread reader_;
};

QString WriteFile(const QTemporaryDir& dir, const QString& name, const std::string& text) {
    const QString path = dir.filePath(name);
    std::ofstream(path.toStdString(), std::ios::binary) << text;
    return path;
}

// The program on line with the far end, and its download window opened as the menu would.
struct Rig {
    Rig() {
        RegisterTaskWindows(*main);
        SetPortName(*main, line.Path());
        main->ST_LEDClick();
        window = qobject_cast<TForm_PgmDown*>(main->CreateChildWindow(ChildWindow::ProgramDown));
        window->setParent(main.get(), Qt::Dialog);
        window->show();
    }

    QPushButton* Button(const char* name) const { return window->findChild<QPushButton*>(name); }
    LedBar* Bar() const { return window->findChild<LedBar*>("iLedBar1"); }
    QString Status() const { return window->StatusText(1); }

    // File chosen, Down Mode confirmed and acknowledged: START is ready.
    void Prepare(const std::string& text) {
        window->OpenDownloadFile(WriteFile(dir, "program.hex", text));
        boxes.SetAnswer(QMessageBox::Yes);
        window->Btn_DownModeClick();
        QTRY_COMPARE_WITH_TIMEOUT(line.Received(), Frame::BuildRequest("ETC", "14"), kPatienceMs);
        line.Write(std::string(1, Frame::ACK));
        QTRY_COMPARE_WITH_TIMEOUT(main->Engine().LinkState, std::uint8_t(Idle), kPatienceMs);
        line.Clear();
        boxes.Clear();
    }

    bool WaitFor(const std::function<bool()>& done) { return QTest::qWaitFor(done, kPatienceMs); }

    ScratchSettings scratch;
    QTemporaryDir dir;
    MessageCapture boxes{QMessageBox::Yes};
    FarEnd line;
    std::unique_ptr<TMainForm> main = std::make_unique<TMainForm>(TMainForm::Options{false});
    TForm_PgmDown* window = nullptr;
};

}  // namespace

class PgmDownFormTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { REQUIRE_HANGUL_FONT(); }

    void startsWaitingForAFileWithStartDisabled() {
        Rig rig;
        QCOMPARE(rig.window->windowTitle(), QString("Program Download"));
        QCOMPARE(rig.window->size(), QSize(480, 269));
        QCOMPARE(rig.Status(), QString("Please file select!!"));
        QVERIFY(!rig.Button("Btn_Start")->isEnabled());
        QCOMPARE(rig.Button("Btn_FileSelect")->toolTip(),
                 QString("프로그램을 파일에서 불러 옵니다"));
        QCOMPARE(rig.Button("Btn_Exit")->toolTip(), QString("종료 합니다."));
    }

    void selectFileAsksWithTheDialogAndShowsTheFullPath() {
        Rig rig;
        const QString path = WriteFile(rig.dir, "a.hex", kLine1 + kEnd);
        QString title, filters;
        rig.window->SetFileChooser([&](QWidget*, const QString& t, const QString& f) {
            title = t;
            filters = f;
            return path;
        });
        rig.window->Btn_FileSelectClick();
        QCOMPARE(title, QString("Select File"));
        QCOMPARE(filters, QString("Hex files (*.hex);;All files (*.*)"));
        auto* label = rig.window->findChild<QLabel*>("Label_FileName");
        QCOMPARE(label->text(), QDir::toNativeSeparators(path));
        QCOMPARE(rig.Status(), QString("Please DOWN MODE button click!!!"));
        QVERIFY(!rig.Button("Btn_Start")->isEnabled());

        // A cancelled dialog keeps the file; one that cannot be read is an error and no file.
        rig.window->SetFileChooser(
            [](QWidget*, const QString&, const QString&) { return QString(); });
        rig.window->Btn_FileSelectClick();
        QCOMPARE(label->text(), QDir::toNativeSeparators(path));
        rig.window->SetFileChooser(
            [&](QWidget*, const QString&, const QString&) { return rig.dir.filePath("gone.hex"); });
        rig.window->Btn_FileSelectClick();
        QCOMPARE(rig.boxes.Texts(), QStringList{"File I/O error."});
        QVERIFY(label->text().isEmpty());
    }

    void downModeSendsEtc14OnlyWhenConfirmed() {
        Rig rig;
        rig.window->OpenDownloadFile(WriteFile(rig.dir, "a.hex", kLine1 + kEnd));
        rig.Button("Btn_Start")->click();  // disabled: nothing happens
        rig.boxes.SetAnswer(QMessageBox::No);
        rig.window->Btn_DownModeClick();
        QCOMPARE(rig.boxes.Boxes().size(), 1);
        QCOMPARE(rig.boxes.Boxes()[0].kind, MessageService::Kind::Information);
        QCOMPARE(rig.boxes.Boxes()[0].text, QString("실행 하시겠습니까 !!!"));
        QCOMPARE(rig.boxes.Boxes()[0].buttons, QMessageBox::Yes | QMessageBox::No);
        QTest::qWait(200);
        QVERIFY(rig.line.Received().empty());
        QVERIFY(!rig.Button("Btn_Start")->isEnabled());

        rig.boxes.SetAnswer(QMessageBox::Yes);
        rig.window->Btn_DownModeClick();
        QTRY_COMPARE_WITH_TIMEOUT(rig.line.Received(), Frame::BuildRequest("ETC", "14"),
                                  kPatienceMs);
        QCOMPARE(rig.main->Engine().LinkState, std::uint8_t(AwaitAck));
        QVERIFY(rig.Button("Btn_Start")->isEnabled());
        QCOMPARE(rig.Status(), QString("Please START button click!!!"));
    }

    void completeFileSendsEveryLineEndRecordLastAndNothingAfter() {
        Rig rig;
        const std::string sent = kLine1 + kLine2 + kLine2 + kEnd;
        rig.Prepare(sent + kLine1 + kLine2);
        rig.Button("Btn_Start")->click();
        QCOMPARE(rig.Button("Btn_Start")->text(), QString("STOP"));
        QVERIFY(!rig.Button("Btn_FileSelect")->isEnabled());
        QVERIFY(!rig.Button("Btn_DownMode")->isEnabled());
        QVERIFY(!rig.Button("Btn_Exit")->isEnabled());
        QCOMPARE(rig.Status(), QString("Down loading!!!"));

        QVERIFY(rig.WaitFor([&] { return rig.Status() == "Down load complete !!!!"; }));
        QTest::qWait(200);
        QCOMPARE(rig.line.Received(), sent);
        QCOMPARE(rig.Bar()->Value(), 100.0);
        QCOMPARE(rig.window->StatusText(0), QString("100 %"));
        QCOMPARE(rig.window->StatusText(2), QString("0:00"));
        QCOMPARE(rig.Button("Btn_Start")->text(), QString("START"));
        QVERIFY(!rig.Button("Btn_Start")->isEnabled());
        QVERIFY(rig.Button("Btn_FileSelect")->isEnabled());
        QVERIFY(rig.Button("Btn_DownMode")->isEnabled());
        QVERIFY(rig.Button("Btn_Exit")->isEnabled());
        QVERIFY(rig.boxes.Boxes().isEmpty());
    }

    void stopThenStartSendsTheFirstLineAgain() {
        Rig rig;
        const std::string text = kLine1 + Lines(3000) + kEnd;
        rig.Prepare(text);
        rig.Button("Btn_Start")->click();
        // A frame of another window, and its resends, stay off the line meanwhile.
        TComm& engine = rig.main->Engine();
        engine.SendData.Command = "VER";
        engine.SendCommand("VER", "");
        engine.LinkState = AwaitData;
        QVERIFY(rig.WaitFor([&] { return engine.ResendCount >= 1; }));
        QVERIFY(rig.WaitFor([&] { return rig.line.Received().size() >= 3 * kLine2.size(); }));
        engine.AbortExchange();
        rig.Button("Btn_Start")->click();
        QVERIFY(!rig.window->Downloading());
        QCOMPARE(rig.Status(), QString("Stop down loading"));
        QCOMPARE(rig.Button("Btn_Start")->text(), QString("START"));
        QVERIFY(rig.Button("Btn_Start")->isEnabled());
        QVERIFY(rig.Button("Btn_FileSelect")->isEnabled());
        QVERIFY(rig.Button("Btn_Exit")->isEnabled());
        QTest::qWait(200);
        const std::string stopped = rig.line.Received();
        QVERIFY(text.starts_with(stopped));
        QTest::qWait(200);
        QCOMPARE(rig.line.Received().size(), stopped.size());  // nothing after STOP

        rig.line.Clear();
        rig.Button("Btn_Start")->click();
        QVERIFY(rig.WaitFor([&] { return rig.line.Received().size() >= kLine1.size(); }));
        QVERIFY(rig.line.Received().starts_with(kLine1));
        rig.Button("Btn_Start")->click();
    }

    void aFileWithoutEndRecordStopsAtItsEnd() {
        Rig rig;
        const std::string text = kLine1 + kLine2;
        rig.Prepare(text);
        rig.Button("Btn_Start")->click();  // the check finds the missing end record
        QCOMPARE(rig.boxes.Boxes().size(), 1);
        QVERIFY(rig.boxes.Boxes()[0].text.contains("no end record: the file ends after line 2"));
        QVERIFY(rig.WaitFor([&] { return !rig.window->Downloading(); }));
        // The far end's reader may still be taking the last line off the pty.
        QTRY_COMPARE_WITH_TIMEOUT(rig.line.Received(), text, kPatienceMs);
        QCOMPARE(rig.Status(), QString("No end record: 2 lines sent, download not complete"));
        QCOMPARE(rig.Bar()->Value(), 100.0);
        QVERIFY(!rig.Button("Btn_Start")->isEnabled());
        QVERIFY(rig.Button("Btn_Exit")->isEnabled());
    }

    void aBadChecksumIsCaughtBeforeAnythingIsSent() {
        Rig rig;
        const std::string text = kLine1 + kBadLine + kEnd;
        rig.Prepare(text);
        rig.boxes.SetAnswer(QMessageBox::No);
        rig.Button("Btn_Start")->click();
        QCOMPARE(rig.boxes.Boxes().size(), 1);
        QCOMPARE(rig.boxes.Boxes()[0].kind, MessageService::Kind::Confirmation);
        QCOMPARE(rig.boxes.Boxes()[0].text,
                 QString("This file is not a valid Intel HEX file:\n"
                         "line 2: checksum is 41, should be 40\n\nSend it anyway?"));
        QCOMPARE(rig.Status(), QString("line 2: checksum is 41, should be 40"));
        QVERIFY(!rig.window->Downloading());
        QTest::qWait(200);
        QVERIFY(rig.line.Received().empty());

        // Confirmed, it goes out exactly as it stands.
        rig.boxes.SetAnswer(QMessageBox::Yes);
        rig.Button("Btn_Start")->click();
        QVERIFY(rig.WaitFor([&] { return rig.Status() == "Down load complete !!!!"; }));
        QCOMPARE(rig.line.Received(), text);
    }

    void aPulledCableEndsTheDownloadWithOneMessage() {
        Rig rig;
        rig.Prepare(Lines(3000) + kEnd);
        rig.Button("Btn_Start")->click();
        QVERIFY(rig.WaitFor([&] { return rig.line.Received().size() >= 3 * kLine2.size(); }));
        rig.line.Hangup();
        QVERIFY(rig.WaitFor([&] { return !rig.window->Downloading(); }));
        QVERIFY(rig.Status().startsWith("Down load failed: "));
        QTest::qWait(300);
        // The main window's, for the lost line.
        QVERIFY2(rig.boxes.Boxes().size() == 1, qPrintable(rig.boxes.Texts().join(" | ")));
        QVERIFY(!rig.main->ComPort->Connected());
        QCOMPARE(rig.Button("Btn_Start")->text(), QString("START"));
        QVERIFY(rig.Button("Btn_Exit")->isEnabled());
        QVERIFY(rig.Button("Btn_FileSelect")->isEnabled());
    }

    void closingTheWindowOrTheProgramStopsTheDownload() {
        Rig rig;
        rig.Prepare(Lines(3000) + kEnd);
        rig.Button("Btn_Start")->click();
        QVERIFY(rig.WaitFor([&] { return rig.line.Received().size() >= 3 * kLine2.size(); }));
        rig.window->close();
        QVERIFY(!rig.window->Downloading());
        QTest::qWait(100);
        const std::size_t sent = rig.line.Received().size();
        QTest::qWait(200);
        QCOMPARE(rig.line.Received().size(), sent);

        Rig program;
        program.Prepare(Lines(3000) + kEnd);
        program.Button("Btn_Start")->click();
        QVERIFY(
            program.WaitFor([&] { return program.line.Received().size() >= 3 * kLine2.size(); }));
        program.main.reset();  // the download window and the port go with it
        QTest::qWait(100);
        const std::size_t before = program.line.Received().size();
        QTest::qWait(200);
        QCOMPARE(program.line.Received().size(), before);
    }

    void programDownOpensModallyOnlyWhileThePortIsOpen() {
        ScratchSettings scratch;
        MessageCapture boxes;
        FarEnd line;
        TMainForm main(TMainForm::Options{false});
        RegisterTaskWindows(main);
        main.show();
        main.OpenChildWindow(ChildWindow::ProgramDown);
        QCOMPARE(boxes.Texts(), QStringList{"Please Com Port Open.."});
        QVERIFY(!main.findChild<TForm_PgmDown*>());

        SetPortName(main, line.Path());
        main.ST_LEDClick();
        QPoint seen;
        bool modal = false;
        QTimer::singleShot(0, [&] {
            auto* window = main.findChild<TForm_PgmDown*>();
            QVERIFY(window);
            modal = window->isModal() && window->isWindow();
            window->move(123, 77);
            seen = window->pos();
            window->findChild<QPushButton*>("Btn_Exit")->click();
        });
        main.OpenChildWindow(ChildWindow::ProgramDown);
        QVERIFY(modal);
        QVERIFY(!main.findChild<TForm_PgmDown*>());  // destroyed on close

        QPoint restored;
        QTimer::singleShot(0, [&] {
            auto* window = main.findChild<TForm_PgmDown*>();
            QVERIFY(window);
            restored = window->pos();
            window->close();
        });
        main.OpenChildWindow(ChildWindow::ProgramDown);
        QCOMPARE(restored, seen);
    }
};

QTEST_MAIN(PgmDownFormTest)
#include "PgmDownFormTest.moc"
