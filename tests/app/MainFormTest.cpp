// The main window: on line / off line, the status tick and the alarm LED,
// the rules by which task windows open, and the port set-up command.

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "app/ImageList.h"
#include "app/StatusFrm.h"
#include "app/TaskWindows.h"
#include "app/WindowPlacement.h"
#include "platform/Pause.h"
#include "platform/PortSettingsStore.h"
#include "platform/PortSetupDialog.h"
#include "platform/ThreadTimers.h"
#include "protocol/AlarmTables.h"
#include "protocol/Frame.h"
#include "tests/support/AppTestSupport.h"
#include "widgets/MessageService.h"

Q_DECLARE_METATYPE(ChildWindow)

namespace {

const ChildWindow kAllKinds[] = {ChildWindow::ParameterSet, ChildWindow::Store,
                                 ChildWindow::Monitoring,   ChildWindow::TriggerMonitoring,
                                 ChildWindow::ErrorDisplay, ChildWindow::ProgramDown};

// Stands in for a task window: counts how often the factory ran.
struct TestWindows {
    int created = 0;
    TMainForm::ChildFactory Factory(const QString& name) {
        return [this, name](TMainForm&) {
            ++created;
            auto* window = new QWidget;
            window->setObjectName(name);
            window->resize(320, 200);
            return window;
        };
    }
};

// Receives the URLs the program hands to the desktop.
class UrlCatcher : public QObject {
    Q_OBJECT
  public:
    QUrl opened;
  public slots:
    void Open(const QUrl& url) { opened = url; }
};

bool SameImage(const QIcon& a, const QIcon& b) {
    return a.pixmap(24, 24).toImage() == b.pixmap(24, 24).toImage();
}

// Runs `answer` on the dialog of `Type` once it is shown modally.
template <typename Type>
void AnswerModal(std::function<void(Type*)> answer) {
    QTimer::singleShot(0, [answer] {
        auto* window = qobject_cast<Type*>(QApplication::activeModalWidget());
        QVERIFY2(window, "the expected modal window is not shown");
        answer(window);
    });
}

}  // namespace

class MainFormTest : public QObject {
    Q_OBJECT
  private:
    std::unique_ptr<ScratchSettings> settings_;
    std::unique_ptr<PtyLine> line_;
    std::unique_ptr<TMainForm> main_;
    std::unique_ptr<MessageCapture> boxes_;

    TMainForm& Main() { return *main_; }
    TComm& Engine() { return main_->Engine(); }
    void GoOnline() {
        SetPortName(Main(), line_->Path());
        Main().ST_LEDClick();
        QVERIFY(Main().ComPort->Connected());
    }
    void Tick(int count = 1) { Main().Timers1->Fire(1, count); }

  private slots:
    void initTestCase() {
        REQUIRE_HANGUL_FONT();
        TiThreadTimers::SetDefaultMode(TiThreadTimers::Mode::Manual);
        Pause::SetSkipping(true);
    }

    void init() {
        settings_ = std::make_unique<ScratchSettings>();
        boxes_ = std::make_unique<MessageCapture>();
        line_ = std::make_unique<PtyLine>();
        main_ = std::make_unique<TMainForm>(TMainForm::Options{false});
        main_->show();
        QVERIFY(boxes_->Boxes().isEmpty());
    }

    void cleanup() {
        main_.reset();
        line_.reset();
        boxes_.reset();
        settings_.reset();
    }

    // ------------------------------------------------------------ on line / off line

    void onLineToggleSwitchesPortIndicatorsAndTicks() {
        GoOnline();
        QAction* online = Main().findChild<QAction*>("OnLine");
        QCOMPARE(online->text(), QString("&OffLine"));
        QVERIFY(SameImage(online->icon(), ImageList::Icon(ImageList::Online)));
        QVERIFY(OnLineLed(Main())->IsOn());
        QCOMPARE(OnLineLed(Main())->Label(), QString("On Line"));
        QVERIFY(Main().Timers1->Enabled(1));
        QVERIFY(!Main().Timers1->Enabled(2));

        Engine().LinkState = AwaitData;
        Main().Timers1->SetEnabled(2, true);
        online->trigger();
        QVERIFY(!Main().ComPort->Connected());
        QCOMPARE(online->text(), QString("&OnLine"));
        QVERIFY(SameImage(online->icon(), ImageList::Icon(ImageList::Offline)));
        QVERIFY(!OnLineLed(Main())->IsOn());
        QCOMPARE(OnLineLed(Main())->Label(), QString("Off Line"));
        QVERIFY(!Main().Timers1->Enabled(1));
        QVERIFY(!Main().Timers1->Enabled(2));
        QCOMPARE(Engine().LinkState, AwaitData);  // going off line leaves the link state

        // Back on line, the exchange cut off before is over: polling can send again.
        Engine().ContinuationKind = 1;
        QTest::mouseClick(OnLineLed(Main()), Qt::LeftButton);
        QVERIFY(Main().ComPort->Connected());
        QCOMPARE(Engine().LinkState, Idle);
        QCOMPARE(Engine().ContinuationKind, 0);
        QVERIFY(boxes_->Boxes().isEmpty());
    }

    void goingOnLineWithoutAUsablePortFails_data() {
        QTest::addColumn<QString>("port");
        QTest::newRow("no port chosen") << QString();
        QTest::newRow("missing device") << QString("/dev/vrx5-no-such-port");
    }
    void goingOnLineWithoutAUsablePortFails() {
        QFETCH(QString, port);
        SetPortName(Main(), port);
        Main().ST_LEDClick();
        QCOMPARE(boxes_->Boxes().size(), 1);
        QCOMPARE(boxes_->Boxes()[0].kind, MessageService::Kind::Error);
        const QRegularExpression text(
            R"(^Unable to open com port \(win error code: [1-9]\d*\)\nPort: (.*)\n)");
        const auto match = text.match(boxes_->Texts()[0]);
        QVERIFY2(match.hasMatch(), qPrintable(boxes_->Texts()[0]));
        QCOMPARE(match.captured(1), port.isEmpty() ? QString("none chosen") : port);
        QVERIFY(!Main().ComPort->Connected());
        QVERIFY(!OnLineLed(Main())->IsOn());
        QCOMPARE(OnLineLed(Main())->Label(), QString("Off Line"));
        QVERIFY(!Main().Timers1->Enabled(1));
    }

    void firstRunWithoutStoredSettingsHasNoPort() {
        const PortSettings& settings = Main().ComPort->Settings();
        QCOMPARE(settings.Port, QString());
        QCOMPARE(settings.EffectiveBaudRate(), 9600);
        QCOMPARE(settings.DataBits, QString("8"));
        QCOMPARE(settings.StopBits, QString("1"));
        QCOMPARE(settings.Parity, QString("None"));
        QCOMPARE(OnLineLed(Main())->Label(), QString("Off Line"));
        QVERIFY(QDir(QCoreApplication::applicationDirPath()).exists("PARAMETER"));
    }

    void lostLineGoesOffLineAndSaysSoOnce() {
        GoOnline();
        line_->Hangup();
        QTRY_VERIFY_WITH_TIMEOUT(!OnLineLed(Main())->IsOn(), 5000);
        QTest::qWait(200);
        QCOMPARE(boxes_->Boxes().size(), 1);
        QCOMPARE(boxes_->Boxes()[0].kind, MessageService::Kind::Error);
        QVERIFY2(boxes_->Texts()[0].startsWith("The connection on port " + line_->Path() +
                                               " was lost; the program is off line.\n"),
                 qPrintable(boxes_->Texts()[0]));
        QVERIFY(!Main().Timers1->Enabled(1));
        QCOMPARE(Main().findChild<QAction*>("OnLine")->text(), QString("&OnLine"));
    }

    void sendMeetingALostLineSaysSoOnce() {
        GoOnline();
        line_->Hangup();
        Engine().SendData.Command = "SET";
        Engine().SendCommand("SET", "000");
        Engine().LinkState = AwaitData;
        QTRY_VERIFY_WITH_TIMEOUT(!OnLineLed(Main())->IsOn(), 5000);
        QTest::qWait(200);
        QCOMPARE(boxes_->Boxes().size(), 1);
        QCOMPARE(boxes_->Boxes()[0].text, QString(LinkText::SendFailed));

        // The next loss of the line is told again.
        PtyLine again;
        SetPortName(Main(), again.Path());
        Main().ST_LEDClick();
        QVERIFY(Main().ComPort->Connected());
        again.Hangup();
        QTRY_VERIFY_WITH_TIMEOUT(!OnLineLed(Main())->IsOn(), 5000);
        QCOMPARE(boxes_->Boxes().size(), 2);
    }

    // The line goes while a block read runs: the read ends and its progress
    // window closes by itself, still labelled a read.
    void lostLineDuringReadClosesTheProgressWindow() {
        GoOnline();
        Engine().ContinuationKind = 1;
        Engine().SendData.Command = "SET";
        Engine().SendCommand("SET", "000");
        Engine().LinkState = AwaitData;
        QVERIFY(Main().findChild<RoundLed*>("ST_LedComPort")->IsOn());

        QStringList captions;
        int ticks = 0;
        QTimer ticker;  // the progress window's timer runs by hand here
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            auto* status = Main().findChild<TFrm_Status*>();
            if (!status) return;
            captions << status->findChild<QLabel*>("Label_Status")->text();
            if (++ticks == 3) line_->Hangup();
            if (ticks > 400) status->Btn_CancelClick();  // do not hang the test
            status->findChild<TiThreadTimers*>("ThreadTimers_Status")->Fire(1);
        });
        ticker.start(10);
        Main().StatusForm_Active();
        ticker.stop();

        QVERIFY2(ticks <= 400, "the progress window stayed open");
        QVERIFY(!Main().findChild<TFrm_Status*>());
        QCOMPARE(captions.count("Parameter Reading..."), captions.size());
        QCOMPARE(Engine().LinkState, Idle);
        QCOMPARE(Engine().ContinuationKind, 0);
        QVERIFY(!Main().findChild<RoundLed*>("ST_LedComPort")->IsOn());
        QVERIFY(!OnLineLed(Main())->IsOn());
        QCOMPARE(boxes_->Boxes().size(), 1);
        QVERIFY(!StatusPanel(Main())->text().isEmpty());
        QVERIFY(boxes_->Texts()[0].startsWith(StatusPanel(Main())->text()));
    }

    // ------------------------------------------------------------ status tick and alarm

    void statusTickShowsAlarmNamesAboveTenAndBlinks_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("named");
        QTest::newRow("protocol error") << 1 << false;
        QTest::newRow("code 5") << 5 << false;
        QTest::newRow("code 10") << 10 << false;
        QTest::newRow("code 11") << 11 << true;
        QTest::newRow("Instant Overload") << 21 << true;
        QTest::newRow("code 99") << 99 << true;
    }
    void statusTickShowsAlarmNamesAboveTenAndBlinks() {
        QFETCH(int, code);
        QFETCH(bool, named);
        GoOnline();
        RectLed* led = AlarmLed(Main());
        const QString kept = "earlier text";
        StatusPanel(Main())->setText(kept);
        Engine().CommError = code;
        const QString expected = named ? QString::fromStdString(AlarmNames[code]) : kept;
        // The first error of the program's life: the LED first turns on at the second tick.
        const bool pattern[] = {false, true, false, true};
        for (bool lit : pattern) {
            Tick();
            QCOMPARE(led->IsOn(), lit);
            QCOMPARE(StatusPanel(Main())->text(), expected);
            StatusPanel(Main())->setText(kept);  // the name comes back on every tick
        }
        if (code == 21) QCOMPARE(expected, QString("Instant Overload"));
    }

    void noErrorMeansTheTickDoesNothing() {
        GoOnline();
        StatusPanel(Main())->setText("as it was");
        Tick(3);
        QVERIFY(!AlarmLed(Main())->IsOn());
        QCOMPARE(StatusPanel(Main())->text(), QString("as it was"));
    }

    void acknowledgeClearsTextAndLedAndTheCounterStaysUp() {
        GoOnline();
        Engine().CommError = 21;
        Tick(2);
        QVERIFY(AlarmLed(Main())->IsOn());
        QTest::mouseClick(AlarmLed(Main()), Qt::LeftButton);
        QCOMPARE(Engine().CommError, 0);
        QVERIFY(!AlarmLed(Main())->IsOn());
        QCOMPARE(StatusPanel(Main())->text(), QString());
        Tick(3);
        QVERIFY(!AlarmLed(Main())->IsOn());
        QCOMPARE(StatusPanel(Main())->text(), QString());

        // The blink counter is never reset: a later error blinks from its first tick.
        Engine().CommError = 5;
        Tick();
        QVERIFY(AlarmLed(Main())->IsOn());
    }

    void acknowledgeReachesTheMonitoringWindowInFront() {
        struct Monitor : IMonitorWindow {
            int acknowledged = 0;
            int suppressedWhileAcknowledged = 0;
            TComm* engine = nullptr;
            void SetLinkControls(bool) override {}
            void StopOnAbort() override {}
            void StopPollTimer() override {}
            void AcknowledgeAlarm() override {
                ++acknowledged;
                suppressedWhileAcknowledged = engine->SuppressSwitchEvents;
            }
            bool ManualOffsetActive() const override { return false; }
            void ShowMonitorValues() override {}
            void ReadMonitorStream() override {}
            void ShowMotorName(const std::string&) override {}
            void ShowVersion(const std::string&) override {}
            void ShowDriveStatus(const StatusReply&) override {}
        } monitor;
        monitor.engine = &Engine();
        Engine().MonitorRef = &monitor;
        for (int active : {int(EditorActive), int(MonitoringActive)}) {
            Engine().ActiveWindow = active;
            Engine().CommError = 21;
            QTest::mouseClick(AlarmLed(Main()), Qt::LeftButton);
        }
        Engine().MonitorRef = nullptr;
        QCOMPARE(monitor.acknowledged, 1);
        QCOMPARE(monitor.suppressedWhileAcknowledged, 1);
    }

    void goingOffLineFreezesTheBlink() {
        GoOnline();
        Engine().CommError = 21;
        Tick(2);
        QVERIFY(AlarmLed(Main())->IsOn());
        Main().ST_LEDClick();
        Tick(3);
        QVERIFY(AlarmLed(Main())->IsOn());
        Main().ST_LEDClick();
        Tick();
        QVERIFY(!AlarmLed(Main())->IsOn());
    }

    void engineHooksReachTheStatusBarAndTheMessageService() {
        Engine().SendData.Command = "TYP";
        Engine().SendCommand("TYP", "");
        QCOMPARE(boxes_->Boxes().size(), 1);
        QCOMPARE(boxes_->Boxes()[0].kind, MessageService::Kind::Warning);
        QCOMPARE(boxes_->Texts()[0], QString(LinkText::PortClosed));
        QCOMPARE(boxes_->Boxes()[0].buttons, QMessageBox::StandardButtons(QMessageBox::Yes));
        QVERIFY(!CommLed(Main())->IsOn());

        GoOnline();
        Engine().SendCommand("TYP", "");
        Engine().LinkState = AwaitData;
        QVERIFY(CommLed(Main())->IsOn());
        QVERIFY(Main().Timers1->Enabled(2));
        QCOMPARE(line_->Read(), Frame::BuildRequest("TYP", ""));
    }

    // ------------------------------------------------------------ receive and time-out

    void receivedBytesAndTimeoutTicksDriveTheEngine() {
        GoOnline();
        Engine().SendData.Command = "RST";
        Engine().SendCommand("RST", "");
        Engine().LinkState = AwaitAck;
        QVERIFY(!line_->Read().empty());
        line_->Write("\x06");
        QTRY_COMPARE_WITH_TIMEOUT(Engine().LinkState, Idle, 5000);
        QVERIFY(!CommLed(Main())->IsOn());
        QVERIFY(!Main().Timers1->Enabled(2));

        Engine().SendCommand("RST", "");
        Engine().LinkState = AwaitAck;
        line_->Read();
        Main().Timers1->Fire(2, 4 * 5);  // silence: three resends, then the error
        QCOMPARE(StatusPanel(Main())->text(), QString(LinkText::Timeout));
        QCOMPARE(Engine().CommError, 1);
    }

    // ------------------------------------------------------------ opening task windows

    void commandsWithoutAWindowAreDisabled() {
        for (ChildWindow kind : kAllKinds) QVERIFY(!Main().CommandAction(kind)->isEnabled());
        TestWindows windows;
        Main().RegisterChildWindow(ChildWindow::Monitoring, windows.Factory("Monitor"));
        QVERIFY(Main().CommandAction(ChildWindow::Monitoring)->isEnabled());
        QVERIFY(!Main().CommandAction(ChildWindow::Store)->isEnabled());
    }

    void offLineCommandsSayPleaseOpenAndOpenNothing() {
        TestWindows windows;
        for (ChildWindow kind : kAllKinds) Main().RegisterChildWindow(kind, windows.Factory("W"));
        for (ChildWindow kind : kAllKinds) Main().CommandAction(kind)->trigger();
        QCOMPARE(windows.created, 0);
        QVERIFY(Main().MdiArea()->subWindowList().isEmpty());
        QCOMPARE(boxes_->Texts(),
                 QStringList({"Please Com Port Open... ", "Please Com Port Open..",
                              "Please Com Port Open..", "Please Com Port Open..",
                              "Please Com Port Open..", "Please Com Port Open.."}));
        for (const auto& box : boxes_->Boxes()) QCOMPARE(box.kind, MessageService::Kind::Error);
    }

    void singleInstanceWindowsComeToTheFront() {
        GoOnline();
        TestWindows monitors, stores;
        Main().RegisterChildWindow(ChildWindow::Monitoring, monitors.Factory("Monitor"));
        Main().RegisterChildWindow(ChildWindow::Store, stores.Factory("Store"));
        QMdiArea* area = Main().MdiArea();

        Main().OpenChildWindow(ChildWindow::Monitoring);
        QMdiSubWindow* monitor = area->activeSubWindow();
        QVERIFY(monitor);
        Main().OpenChildWindow(ChildWindow::Store);
        QVERIFY(area->activeSubWindow() != monitor);
        Main().OpenChildWindow(ChildWindow::Monitoring);
        QCOMPARE(monitors.created, 1);
        QCOMPARE(area->subWindowList().size(), 2);
        QCOMPARE(area->activeSubWindow(), monitor);

        monitor->showMinimized();
        Main().OpenChildWindow(ChildWindow::Monitoring);
        QVERIFY(!monitor->isMinimized());

        // Closed windows are destroyed; the next command makes a new one.
        QPointer<QWidget> first = monitor->widget();
        monitor->close();
        QTRY_VERIFY(!first);
        Main().OpenChildWindow(ChildWindow::Monitoring);
        QCOMPARE(monitors.created, 2);
        QCOMPARE(area->subWindowList().size(), 2);
    }

    void editorsAreNumberedByTheChildWindowsOpen_data() {
        QTest::addColumn<bool>("monitorFirst");
        QTest::newRow("editors only") << false;
        QTest::newRow("after the monitoring window") << true;
    }
    void editorsAreNumberedByTheChildWindowsOpen() {
        QFETCH(bool, monitorFirst);
        GoOnline();
        TestWindows editors, monitors;
        Main().RegisterChildWindow(ChildWindow::ParameterSet, editors.Factory("Editor"));
        Main().RegisterChildWindow(ChildWindow::Monitoring, monitors.Factory("Monitor"));
        if (monitorFirst) Main().OpenChildWindow(ChildWindow::Monitoring);
        Main().OpenChildWindow(ChildWindow::ParameterSet);
        Main().OpenChildWindow(ChildWindow::ParameterSet);
        QCOMPARE(editors.created, 2);
        QStringList captions;
        for (QMdiSubWindow* sub : Main().MdiArea()->subWindowList()) {
            if (sub->widget()->objectName() == "Editor") captions << sub->widget()->windowTitle();
        }
        const int first = monitorFirst ? 2 : 1;
        QCOMPARE(captions, QStringList({QString("Parameter Edit%1").arg(first),
                                        QString("Parameter Edit%1").arg(first + 1)}));
    }

    void editorOpensFillingTheClientArea() {
        GoOnline();
        TestWindows editors, monitors;
        Main().RegisterChildWindow(ChildWindow::ParameterSet, editors.Factory("Editor"));
        Main().RegisterChildWindow(ChildWindow::Monitoring, monitors.Factory("Monitor"));
        Main().OpenChildWindow(ChildWindow::ParameterSet);
        Main().OpenChildWindow(ChildWindow::Monitoring);
        const QSize area = Main().MdiArea()->viewport()->size();
        for (QMdiSubWindow* sub : Main().MdiArea()->subWindowList()) {
            const bool editor = sub->widget()->objectName() == "Editor";
            QCOMPARE(sub->geometry() == QRect(QPoint(0, 0), area), editor);
        }
    }

    void programDownRunsModallyAndIsDestroyed() {
        GoOnline();
        TestWindows downloads;
        Main().RegisterChildWindow(ChildWindow::ProgramDown, downloads.Factory("Download"));
        QPointer<QWidget> shown;
        bool outlivedMinimizing = false;
        AnswerModal<QWidget>([&](QWidget* window) {
            shown = window;
            QCOMPARE(window->objectName(), QString("Download"));
            window->showMinimized();  // a download must survive its window being minimized
            QTimer::singleShot(50, window, [&] {
                outlivedMinimizing = true;
                shown->close();
            });
        });
        Main().OpenChildWindow(ChildWindow::ProgramDown);
        QCOMPARE(downloads.created, 1);
        QVERIFY(outlivedMinimizing);
        QTRY_VERIFY(!shown);
        QVERIFY(Main().MdiArea()->subWindowList().isEmpty());
    }

    void statusFormActiveReturnsWhenTheTransferIsThrough() {
        bool answered = false;
        AnswerModal<TFrm_Status>([&](TFrm_Status* status) {
            answered = true;
            Engine().TransferProgress = 99.5;
            status->findChild<TiThreadTimers*>("ThreadTimers_Status")->Fire(1);
        });
        Main().StatusForm_Active();
        QVERIFY(answered);
        QTRY_VERIFY(!Main().findChild<TFrm_Status*>());
    }

    void windowMenuListsTheOpenChildren() {
        GoOnline();
        TestWindows editors;
        Main().RegisterChildWindow(ChildWindow::ParameterSet, editors.Factory("Editor"));
        Main().OpenChildWindow(ChildWindow::ParameterSet);
        Main().OpenChildWindow(ChildWindow::ParameterSet);
        auto* menu = Main().findChild<QMenu*>("WindowMenu");
        emit menu->aboutToShow();
        QStringList entries;
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator()) entries << action->text();
        }
        QCOMPARE(entries,
                 QStringList({"&Cascade", "Tile &Horizontally", "Tile &Vertically", "&Minimize All",
                              "&Arrange All", "&1 Parameter Edit1", "&2 Parameter Edit2"}));
        menu->actions().constLast()->trigger();
        QCOMPARE(Main().MdiArea()->activeSubWindow()->windowTitle(), QString("Parameter Edit2"));
    }

    void tileCommandsShareTheAreaOut() {
        GoOnline();
        TestWindows editors;
        Main().RegisterChildWindow(ChildWindow::ParameterSet, editors.Factory("Editor"));
        Main().show();
        Main().OpenChildWindow(ChildWindow::ParameterSet);
        Main().OpenChildWindow(ChildWindow::ParameterSet);
        const QRect area = Main().MdiArea()->viewport()->rect();
        const auto subs = Main().MdiArea()->subWindowList();

        Main().findChild<QAction*>("WindowTileHorizontal")->trigger();
        QCOMPARE(subs[0]->geometry(), QRect(0, 0, area.width(), area.height() / 2));
        QCOMPARE(subs[1]->geometry().top(), area.height() / 2);
        Main().findChild<QAction*>("WindowTileVertical")->trigger();
        QCOMPARE(subs[0]->geometry(), QRect(0, 0, area.width() / 2, area.height()));
        QCOMPARE(subs[1]->geometry().left(), area.width() / 2);
        Main().findChild<QAction*>("WindowMinimizeAll")->trigger();
        QVERIFY(subs[0]->isMinimized() && subs[1]->isMinimized());
    }

    void editCommandsWorkOnTheFocusedControl() {
        GoOnline();
        QPointer<QLineEdit> edit;
        Main().RegisterChildWindow(ChildWindow::Monitoring, [&](TMainForm&) {
            edit = new QLineEdit("drive text");
            return edit.data();
        });
        Main().show();
        QVERIFY(QTest::qWaitForWindowActive(&Main()));
        Main().OpenChildWindow(ChildWindow::Monitoring);
        edit->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), edit.data());
        edit->selectAll();
        Main().findChild<QAction*>("EditCopy")->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QString("drive text"));
        Main().findChild<QAction*>("EditCut")->trigger();
        QCOMPARE(edit->text(), QString());
        Main().findChild<QAction*>("EditPaste")->trigger();
        QCOMPARE(edit->text(), QString("drive text"));
    }

    void aTaskWindowInFrontKeepsItsKindUntilItCloses() {
        GoOnline();
        TestWindows monitors;
        Main().RegisterChildWindow(ChildWindow::Monitoring, monitors.Factory("Monitor"));
        QVERIFY(QTest::qWaitForWindowActive(&Main()));
        Main().OpenChildWindow(ChildWindow::Monitoring);
        Engine().ActiveWindow = MonitoringActive;  // as the window does when activated
        QEvent activation(QEvent::ActivationChange);
        QApplication::sendEvent(&Main(), &activation);
        QCOMPARE(Engine().ActiveWindow, MonitoringActive);
        Main().MdiArea()->activeSubWindow()->close();
        QCOMPARE(Engine().ActiveWindow, MainWindowActive);
    }

    void aboutAndHelpNeedNoPort() {
        AnswerModal<QDialog>([](QDialog* about) {
            QCOMPARE(about->windowTitle(), QString("About"));
            QStringList lines;
            for (QLabel* label : about->findChildren<QLabel*>()) {
                if (!label->text().isEmpty()) lines << label->text();
            }
            QCOMPARE(lines, QStringList({"VRX5 Application", "Version: V1.20", "Date: 2006.8.30"}));
            about->accept();
        });
        Main().findChild<QAction*>("HelpAbout")->trigger();

        // Without a help file in the current folder, the guide shipped with the program opens.
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler("file", &catcher, "Open");
        QTemporaryDir folder;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(folder.path());
        Main().findChild<QAction*>("HelpContents")->trigger();
        QVERIFY2(catcher.opened.toLocalFile().endsWith("/index.html"),
                 qPrintable(catcher.opened.toString()));
        QVERIFY(QFileInfo(catcher.opened.toLocalFile()).isFile());

        // A help file there is handed to the desktop instead.
        QFile helpFile(folder.filePath("Rc2.HLP"));
        QVERIFY(helpFile.open(QIODevice::WriteOnly));
        helpFile.close();
        Main().findChild<QAction*>("HelpContents")->trigger();
        QDir::setCurrent(previous);
        QDesktopServices::unsetUrlHandler("file");
        QCOMPARE(catcher.opened, QUrl::fromLocalFile(folder.filePath("Rc2.HLP")));
        QVERIFY(boxes_->Boxes().isEmpty());
    }

    // ------------------------------------------------------------ port set-up

    void setUpCancelStillStoresTheSettings() {
        QVERIFY(!OpenSettingsKey("HKEY_LOCAL_MACHINE\\Software\\Norvik\\ComPort")
                     ->contains("BaudRate"));
        AnswerModal<TPortSetupDialog>([](TPortSetupDialog* dialog) {
            dialog->findChild<QComboBox*>("ComboBox_BaudRate")->setCurrentText("19200");
            dialog->reject();
        });
        Main().ComPortSetUpClick();
        QCOMPARE(Main().ComPort->Settings().BaudRate, QString("9600"));
        const auto stored = OpenSettingsKey("HKEY_LOCAL_MACHINE\\Software\\Norvik\\ComPort");
        QCOMPARE(stored->value("BaudRate").toString(), QString("9600"));
        QCOMPARE(stored->value("FlowControl").toString(), QString("None"));
        QVERIFY(stored->contains("Port"));
        QVERIFY(boxes_->Boxes().isEmpty());
    }

    void setUpWithANewPortWhileOnLineReopensThere() {
        GoOnline();
        PtyLine other;
        AnswerModal<TPortSetupDialog>([&](TPortSetupDialog* dialog) {
            dialog->findChild<QComboBox*>("ComboBox_Port")->setEditText(other.Path());
            dialog->findChild<QComboBox*>("ComboBox_BaudRate")->setCurrentText("38400");
            dialog->accept();
        });
        Main().findChild<QAction*>("ComPortSetUp")->trigger();
        QVERIFY(Main().ComPort->Connected());
        QVERIFY(OnLineLed(Main())->IsOn());
        QCOMPARE(Main().ComPort->Settings().Port, other.Path());
        Engine().SendCommand("RST", "");
        QVERIFY(!other.Read().empty());
        QVERIFY(line_->Read(100).empty());
        const auto stored = OpenSettingsKey("HKEY_LOCAL_MACHINE\\Software\\Norvik\\ComPort");
        QCOMPARE(stored->value("Port").toString(), other.Path());
        QCOMPARE(stored->value("BaudRate").toString(), QString("38400"));

        // A port that cannot be opened leaves the program off line, and says why.
        AnswerModal<TPortSetupDialog>([](TPortSetupDialog* dialog) {
            dialog->findChild<QComboBox*>("ComboBox_Port")->setEditText("/dev/vrx5-no-such-port");
            dialog->accept();
        });
        Main().ComPortSetUpClick();
        QVERIFY(!Main().ComPort->Connected());
        QVERIFY(!OnLineLed(Main())->IsOn());
        QCOMPARE(boxes_->Boxes().size(), 1);
        QVERIFY(boxes_->Texts()[0].startsWith("Unable to open com port"));
    }

    void storedSettingsAreLoadedAtCreation() {
        PortSettings stored;
        stored.Port = line_->Path();
        stored.BaudRate = "57600";
        stored.StopBits = "2";  // a pseudo-terminal takes 8 data bits without parity only
        StorePortSettings(stored);
        TMainForm second(TMainForm::Options{false});
        QCOMPARE(second.ComPort->Settings().Port, line_->Path());
        QCOMPARE(second.ComPort->Settings().BaudRate, QString("57600"));
        QCOMPARE(second.ComPort->Settings().StopBits, QString("2"));
        second.ST_LEDClick();
        QVERIFY2(second.ComPort->Connected(), qPrintable(boxes_->Texts().join("; ")));
    }

    void unreadableStoredSettingsStopTheRestOfTheStart() {
        QVERIFY(QDir(settings_->Path()).mkpath("vrx5"));
        QFile store(settings_->Path() + "/vrx5/vrx5.ini");
        QVERIFY(store.open(QIODevice::WriteOnly));
        store.write("[HKEY_LOCAL_MACHINE\n\x01\xff=\"unterminated\n");
        store.close();
        TMainForm broken(TMainForm::Options{false});
        QCOMPARE(boxes_->Texts(), QStringList({"Failed to load settings"}));
        QCOMPARE(OnLineLed(broken)->Label(), QString());
    }

    // ------------------------------------------------------------ placements

    void placementsAreKeptBetweenRuns() {
        TestWindows monitors;
        GoOnline();
        Main().RegisterChildWindow(ChildWindow::Monitoring, monitors.Factory("Monitor"));
        Main().show();
        Main().setGeometry(60, 70, 600, 450);
        Main().OpenChildWindow(ChildWindow::Monitoring);
        QMdiSubWindow* sub = Main().MdiArea()->activeSubWindow();
        sub->setGeometry(30, 40, 350, 260);
        QVERIFY(Main().close());

        TMainForm next(TMainForm::Options{false});
        QCOMPARE(next.geometry(), QRect(60, 70, 600, 450));
        next.show();
        next.RegisterChildWindow(ChildWindow::Monitoring, monitors.Factory("Monitor"));
        SetPortName(next, line_->Path());
        main_.reset();  // the line is free again
        next.ST_LEDClick();
        next.OpenChildWindow(ChildWindow::Monitoring);
        QCOMPARE(next.MdiArea()->activeSubWindow()->geometry(), QRect(30, 40, 350, 260));
    }

    // Frame included, as the windows of the main window are measured.
    void taskWindowsOpenAtTheirOwnSizes_data() {
        QTest::addColumn<ChildWindow>("kind");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("centred");
        QTest::newRow("store") << ChildWindow::Store << QSize(581, 396) << true;
        QTest::newRow("alarm history") << ChildWindow::ErrorDisplay << QSize(578, 578) << false;
    }
    void taskWindowsOpenAtTheirOwnSizes() {
        QFETCH(ChildWindow, kind);
        QFETCH(QSize, size);
        QFETCH(bool, centred);
        RegisterTaskWindows(Main());
        GoOnline();
        Main().OpenChildWindow(kind);
        QMdiSubWindow* sub = Main().MdiArea()->activeSubWindow();
        QVERIFY(sub);
        QCOMPARE(sub->size(), size);
        const QRect area = Main().MdiArea()->viewport()->rect();
        QVERIFY(area.contains(sub->geometry()));
        if (centred) QVERIFY((sub->geometry().center() - area.center()).manhattanLength() <= 2);
    }

    void aTaskWindowsStoredPlacementWinsOverItsSize() {
        RegisterTaskWindows(Main());
        GoOnline();
        Main().OpenChildWindow(ChildWindow::Store);
        Main().MdiArea()->activeSubWindow()->setGeometry(20, 30, 640, 420);
        QVERIFY(Main().close());

        TMainForm next(TMainForm::Options{false});
        RegisterTaskWindows(next);
        next.show();
        SetPortName(next, line_->Path());
        main_.reset();  // the line is free again
        next.ST_LEDClick();
        next.OpenChildWindow(ChildWindow::Store);
        QCOMPARE(next.MdiArea()->activeSubWindow()->geometry(), QRect(20, 30, 640, 420));
    }

    // A monitor unplugged, or another scale factor: what was stored is off every screen.
    void storedPlacementOutsideEveryScreenIsMovedAndShrunkOntoIt() {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const auto store = OpenSettingsKey(QString(WindowPlacement::kKey) + "\\MainForm");
        store->setValue("Left", screen.right() + 2000);
        store->setValue("Top", screen.bottom() + 500);
        store->setValue("Width", screen.width() * 2);
        store->setValue("Height", screen.height() * 2);
        store->setValue("State", 0);
        store->sync();
        TMainForm next(TMainForm::Options{false});
        QVERIFY2(screen.marginsRemoved(kFrameAllowance).contains(next.geometry()),
                 qPrintable(QString("%1,%2 %3x%4")
                                .arg(next.x())
                                .arg(next.y())
                                .arg(next.width())
                                .arg(next.height())));
    }

    void firstStartFitsTheScreen() {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(screen.marginsRemoved(kFrameAllowance).contains(Main().geometry()));
    }

    void fitOnScreensPicksTheScreenAndKeepsWhatFits_data() {
        QTest::addColumn<QRect>("stored");
        QTest::addColumn<QRect>("placed");
        // Two screens side by side; room inside each is the frame allowance smaller.
        QTest::newRow("fits as it is") << QRect(100, 100, 600, 400) << QRect(100, 100, 600, 400);
        QTest::newRow("on the second screen")
            << QRect(1500, 200, 600, 400) << QRect(1500, 200, 600, 400);
        QTest::newRow("mostly on the second, pushed in")
            << QRect(2700, 200, 600, 400) << QRect(2592, 200, 600, 400);
        QTest::newRow("beyond every screen: onto the primary one")
            << QRect(9000, 9000, 600, 400) << QRect(672, 672, 600, 400);
        QTest::newRow("larger than both: onto the one it covers most")
            << QRect(0, 0, 4000, 3000) << QRect(1288, 32, 1904, 1040);
        QTest::newRow("above the top") << QRect(200, -300, 600, 400) << QRect(200, 32, 600, 400);
    }
    void fitOnScreensPicksTheScreenAndKeepsWhatFits() {
        QFETCH(QRect, stored);
        QFETCH(QRect, placed);
        const QList<QRect> screens{QRect(0, 0, 1280, 1080), QRect(1280, 0, 1920, 1080)};
        QCOMPARE(FitOnScreens(stored, screens), placed);
    }
};

QTEST_MAIN(MainFormTest)
#include "MainFormTest.moc"
