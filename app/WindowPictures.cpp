// window-pictures [DIR]: renders every window of the program, and the menus of
// the main window, to DIR/<Name>.png (default ./window-pictures), without a
// display, so the whole program can be looked at anywhere.

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <functional>

#include "app/About.h"
#include "app/Logo.h"
#include "app/Main.h"
#include "app/StatusFrm.h"
#include "app/TaskWindows.h"
#include "download/PgmDownForm.h"
#include "monitoring/MonitoringFrm.h"
#include "parameters/ParaSelectForm.h"
#include "parameters/ParaSetBitForm.h"
#include "platform/ComPort.h"
#include "platform/PortSetupDialog.h"
#include "platform/ThreadTimers.h"
#include "protocol/Frame.h"
#include "trigger/TriggerForm.h"
#include "widgets/HangulFont.h"
#include "widgets/LedBar.h"
#include "widgets/MessageService.h"
#include "widgets/Plot.h"

#ifdef Q_OS_UNIX
#include <unistd.h>

#include <QSocketNotifier>

#include "app/AlarmHistoryPicture.h"
#include "sim/DriveSim.h"
#include "sim/Pty.h"
#endif
#include <QFile>
#include <deque>

#include "store/ParameterFile.h"
#include "store/StoreForm.h"

namespace {

QWidget* DownloadPicture(TMainForm& main, bool toTheEnd);

// The graph page streaming speed feedback and torque command at 5 ms: the
// points a stream plots, and the figures under the graph.
QWidget* MonitoringStreamPicture(TMainForm& main) {
    auto* window = new TFrm_Monitoring(main.Engine(), &main);
    window->setWindowFlag(Qt::Window);
    window->ShowMotorName("NQV 50W");
    window->ShowVersion("V1.20");
    window->findChild<QTabWidget*>("PageControl_Monitor")
        ->setCurrentIndex(TFrm_Monitoring::GraphPage);
    window->findChild<QComboBox*>("Combo5")->setCurrentIndex(1);
    window->findChild<QComboBox*>("Combo6")->setCurrentIndex(4);
    window->findChild<QSpinBox*>("SpinEdit_TimeSelect")->setValue(5);
    Plot* plot = window->GraphPlot();
    for (int i = 0; i <= 1400; ++i) {
        const double t = i * 0.005;
        const double speed = 50.0 + 40.0 * (1.0 - std::exp(-std::fmod(t, 3.5) / 0.3)) *
                                        (std::fmod(t, 7.0) < 3.5 ? 1 : -1);
        plot->AddPoint(0, t, speed);
        plot->AddPoint(1, t,
                       40.0 + 30.0 * std::exp(-std::fmod(t, 3.5) / 0.3) + 2.0 * std::sin(40.0 * t));
    }
    auto* status = window->findChild<QLabel*>("Label_StreamStatus");
    status->setText(QString::fromStdString(StreamStatusText(5.02, 5, 0, 0)));
    status->show();
    plot->DrawNow();
    return window;
}

// The plot widget as an engineer leaves it: two channels on two axes, a gap
// in one line, cursors A and B with their read-out, paused while data goes on.
QWidget* PlotScopePicture() {
    auto* plot = new Plot;
    plot->resize(760, 460);
    plot->SetTitle("Monitoring");
    plot->AddChannel("속도피드백");
    plot->AddChannel("토크지령", PlotAxis::Y2);
    plot->SetXSpan(5.0);
    plot->SetYRange(PlotAxis::Y1, -2000.0, 4000.0);
    plot->SetYRange(PlotAxis::Y2, -150.0, 300.0);
    for (int i = 0; i <= 6000; ++i) {
        const double t = i * 0.001;
        plot->AddPoint(0, t, 1500.0 * std::sin(2.0 * M_PI * 0.8 * t));
        if (i == 3600) plot->AddGap(1, t);
        if (i < 3600 || i > 3900) plot->AddPoint(1, t, 80.0 * std::cos(2.0 * M_PI * 0.8 * t));
    }
    plot->SetCursorsVisible(true);
    plot->SetCursorPositions(2.15, 2.9);
    plot->SetPaused(true);
    for (int i = 6001; i <= 8000; ++i) plot->AddPoint(0, i * 0.001, 0.0);
    plot->DrawNow();
    return plot;
}

// The monitoring window on `page`, filled the way replies fill it; nothing is sent.
QWidget* MonitoringPicture(TMainForm& main, int page) {
    auto* window = new TFrm_Monitoring(main.Engine(), &main);
    window->setWindowFlag(Qt::Window);
    window->ShowMotorName("NQV 50W");
    window->ShowVersion("V1.20");
    window->ShowDriveStatus(ParseStatusReply("CS11RUN"));
    window->findChild<QComboBox*>("Combo5")->setCurrentIndex(1);
    window->findChild<QComboBox*>("Combo6")->setCurrentIndex(4);
    window->findChild<QComboBox*>("Combo7")->setCurrentIndex(5);
    main.Engine().ReadData.Data = "-1500&32.5&123456&05A5";
    window->ShowMonitorValues();
    auto* pages = window->findChild<QTabWidget*>("PageControl_Monitor");
    const QSignalBlocker quiet(pages);
    pages->setCurrentIndex(page);
    if (page == 1) window->findChild<QWidget*>("Panel_Graph")->show();
    return window;
}

// One picture: the file name and how to make the window.
struct Picture {
    const char* name;
    std::function<QWidget*(TMainForm&)> create;
};

// The trigger window part-way through a capture of a jog start, on an engine of
// its own whose drive answers are fed in here: 0 blocks read is the wait for
// the trigger, 10 of 10 the finished capture; the drive answers `emptyBlock` with US.
QWidget* TriggerWindowAt(TMainForm& main, int blocksRead, int emptyBlock = -1) {
    struct QuietPort : ILinkPort {
        bool Connected() const override { return true; }
        void PortWrite(const std::string&) override {}
    };
    static QuietPort port;
    static TComm engine(port, main);
    engine.AbortExchange();  // the picture before may have left a capture running
    auto* window = new TFrmTrigger(engine);
    window->findChild<QSpinBox*>("SpinEdit_TriggerDivision")->setValue(5);
    window->findChild<QSpinBox*>("SpinEdit_TriggerOfData")->setValue(10);
    window->findChild<QSpinBox*>("SpinEdit_TriggerPoint")->setValue(3);
    window->findChild<QSpinBox*>("SpinEdit_TriggeredValue")->setValue(20);
    auto* timers = window->findChild<TiThreadTimers*>("ThreadTimers_Trigger");
    window->Btn_StartTriggerClick();
    timers->Fire(1);
    engine.HandleChunk(std::string(1, Frame::ACK));
    timers->Fire(1);
    engine.HandleChunk(Frame::BuildReply('R', "BSY"));
    if (blocksRead == 0) return window;
    engine.HandleChunk(Frame::BuildReply('R', "TOK"));
    for (int block = 0; block < blocksRead; ++block) {
        if (block == emptyBlock) {
            engine.HandleChunk(std::string(1, Frame::US));
            continue;
        }
        std::string samples = "MOT";
        for (int i = block * 10; i < block * 10 + 10; ++i) {
            const double t = (i - 17) * 0.001;  // the jog starts 3 ms before the trigger
            const double command = t >= 0 ? 80 : 0;
            const double feedback = t >= 0 ? 80 * (1 - std::exp(-t / 0.015)) : 0;
            samples += (samples.size() > 3 ? "&" : "") + std::to_string(std::lround(feedback)) +
                       "&" + std::to_string(std::lround(command));
        }
        engine.HandleChunk(Frame::BuildReply('R', samples));
    }
    return window;
}

// Windows no menu command opens by itself; the task windows come from
// RegisterTaskWindows. A dialog of a task window is one more line here.
const Picture kPictures[] = {
    {"TForm_Logo", [](TMainForm& main) -> QWidget* { return new TForm_Logo(&main); }},
    {"TAboutBox", [](TMainForm& main) -> QWidget* { return new TAboutBox(&main); }},
    {"TPortSetupDialog",
     [](TMainForm& main) -> QWidget* {
         // A machine with an adapter plugged in, so the details column shows.
         const auto ports = [] {
             return QList<PortListing>{{"ttyS0", "", "", ""},
                                       {"ttyUSB0", "FT232R USB UART", "FTDI", "A50285BI"}};
         };
         PortSettings settings = main.ComPort->Settings();
         settings.Port = "ttyUSB0";
         return new TPortSetupDialog(settings, ports, &main);
     }},
    {"TFrm_Status",
     [](TMainForm& main) -> QWidget* {
         main.Engine().ContinuationKind = 1;
         auto* status = new TFrm_Status(main.Engine(), &main);
         main.Engine().TransferProgress = 70.0;
         status->Timer_StatusTimer();
         return status;
     }},
    // The parameter editor's dialogs, each opened on a value as the editor hands it over.
    {"TForm_ParaSetting",
     [](TMainForm& main) -> QWidget* {
         static TEditHandOver handOver{"4321", 5};
         return new TForm_ParaSetting(handOver, &main);
     }},
    {"TForm_ParaSetting_ControlMode",
     [](TMainForm& main) -> QWidget* {
         static TEditHandOver handOver{"A", 0};
         return new TForm_ParaSetting(handOver, &main);
     }},
    {"TForm_ParaSelect_Motor",
     [](TMainForm& main) -> QWidget* {
         static TEditHandOver handOver{"26A5D", 1, 1};
         return new TForm_ParaSelect(handOver, &main);
     }},
    {"TForm_ParaSelect_Monitor",
     [](TMainForm& main) -> QWidget* {
         static TEditHandOver handOver{"20045", 512, 0};
         return new TForm_ParaSelect(handOver, &main);
     }},
    {"TFrmTrigger_Waiting", [](TMainForm& main) { return TriggerWindowAt(main, 0); }},
    {"TFrmTrigger_Reading", [](TMainForm& main) { return TriggerWindowAt(main, 4); }},
    {"TFrmTrigger_Finished", [](TMainForm& main) { return TriggerWindowAt(main, 10); }},
    {"TFrmTrigger_EmptyBlock", [](TMainForm& main) { return TriggerWindowAt(main, 10, 2); }},
    {"Plot_Scope", [](TMainForm&) { return PlotScopePicture(); }},
#ifdef Q_OS_UNIX
    {"TForm_ErrorDisplay_Loaded", [](TMainForm&) { return AlarmHistoryPicture(); }},
#endif
    // The download window during a download and after it; before is TForm_PgmDown.
    {"TForm_PgmDown_Loading", [](TMainForm& main) { return DownloadPicture(main, false); }},
    {"TForm_PgmDown_Complete", [](TMainForm& main) { return DownloadPicture(main, true); }},
    // The monitoring window's pages as they look with a drive answering.
    {"TFrm_Monitoring_Normal", [](TMainForm& main) { return MonitoringPicture(main, 0); }},
    {"TFrm_Monitoring_Graph", [](TMainForm& main) { return MonitoringPicture(main, 1); }},
    {"TFrm_Monitoring_GraphStream", [](TMainForm& main) { return MonitoringStreamPicture(main); }},
    {"TFrm_Monitoring_Tuning", [](TMainForm& main) { return MonitoringPicture(main, 2); }},
};

// Shows a window offscreen, saves what it looks like and destroys it.
class Camera {
  public:
    explicit Camera(QString dir) : dir_(std::move(dir)) {}

    bool Take(QWidget* window, const QString& name) {
        QPointer<QWidget> guard(window);
        window->show();
        QApplication::processEvents();
        QApplication::processEvents();
        const QString file = QDir(dir_).filePath(name + ".png");
        const bool saved = guard && guard->grab().save(file);
        std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(file));
        if (guard) delete guard.data();
        return saved;
    }

  private:
    QString dir_;
};

// Puts `main` on line with a pseudo-terminal for a port, where the machine has them.
void GoOnline(TMainForm& main) {
#ifdef Q_OS_UNIX
    static RawPty line;
    try {
        line = OpenRawPty();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "window-pictures: no pseudo-terminal, off line: %s\n", error.what());
        return;
    }
    PortSettings settings = main.ComPort->Settings();
    settings.Port = QString::fromStdString(line.slavePath);
    main.ComPort->SetSettings(settings);
    main.ST_LEDClick();
#else
    (void)main;
#endif
}

// A program download to a pty whose far end takes everything: stopped at 40 %
// (the download goes on while the picture is taken) or run to its end.
QWidget* DownloadPicture(TMainForm& main, bool toTheEnd) {
    static QTemporaryDir dir;
    const QString path = dir.filePath("program.hex");
    if (QFile file(path); file.open(QIODevice::WriteOnly)) {
        for (int i = 0; i < 2000; ++i)
            file.write(":10010000214601360121470136007EFE09D2190140\r\n");
        file.write(":00000001FF\r\n");
    }
    auto* window = qobject_cast<TForm_PgmDown*>(main.CreateChildWindow(ChildWindow::ProgramDown));
    window->OpenDownloadFile(path);
#ifdef Q_OS_UNIX
    static RawPty line;
    if (main.ComPort->Connected()) main.ST_LEDClick();
    try {
        line = OpenRawPty();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "window-pictures: no pseudo-terminal: %s\n", error.what());
        return window;
    }
    PortSettings settings = main.ComPort->Settings();
    settings.Port = QString::fromStdString(line.slavePath);
    main.ComPort->SetSettings(settings);
    main.ST_LEDClick();
    auto* drain = new QSocketNotifier(line.master.Get(), QSocketNotifier::Read, window);
    QObject::connect(drain, &QSocketNotifier::activated, [fd = line.master.Get()] {
        char buffer[4096];
        while (::read(fd, buffer, sizeof buffer) > 0) {
        }
    });
    {
        MessageCapture yes(QMessageBox::Yes);
        window->Btn_DownModeClick();
    }
    window->Btn_StartClick();
    const auto* bar = window->findChild<LedBar*>("iLedBar1");
    QDeadlineTimer deadline(60000);
    while (window->Downloading() && (toTheEnd || bar->Value() < 40.0) && !deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 10);
#endif
    return window;
}

bool TakeMainWindow(Camera& camera, TMainForm& main) {
    auto* plain = new TMainForm(TMainForm::Options{false});
    RegisterTaskWindows(*plain);
    bool ok = camera.Take(plain, "TMainForm");
    // The status bar as it looks on line while a drive alarm is shown and blinking.
    auto* alarm = new TMainForm(TMainForm::Options{false});
    RegisterTaskWindows(*alarm);
    GoOnline(*alarm);
    alarm->Engine().CommError = 21;
    alarm->Timers1Timer1();
    alarm->Timers1Timer1();
    alarm->SetCommLed(true);
    ok = camera.Take(alarm, "TMainForm_Alarm") && ok;
    for (QAction* item : main.menuBar()->actions()) {
        QMenu* menu = item->menu();
        if (!menu) continue;
        menu->popup(QPoint(0, 0));
        QApplication::processEvents();
        ok = camera.Take(menu, "Menu_" + menu->objectName()) && ok;
    }
    return ok;
}

}  // namespace

#ifdef Q_OS_UNIX
// The stand-in drive in process: replies wait until Pump() hands them to the engine.
class InProcessDrive : public ILinkPort {
  public:
    bool Connected() const override { return true; }
    void PortWrite(const std::string& bytes) override {
        for (std::string& chunk : sim_.Feed(bytes)) pending_.push_back(std::move(chunk));
    }
    void Pump(TComm& comm) {
        while (!pending_.empty()) {
            comm.HandleChunk(pending_.front());
            pending_.pop_front();
        }
    }

  private:
    DriveSim sim_;
    std::deque<std::string> pending_;
};

// The store window after a real read of the stand-in drive, and with a file loaded.
bool TakeStoreWindows(Camera& camera, TMainForm& main, const QString& files) {
    InProcessDrive drive;
    TComm comm(drive, main);
    auto services = [&drive, &comm](QString directory) {
        return StoreServices{
            [&drive, &comm] { drive.Pump(comm); }, {}, directory, std::make_shared<int>(0), {}};
    };
    auto* read = new TFormStore(comm, services(files));
    read->Btn_ReadStoreClick();
    bool ok = camera.Take(read, "TFormStore_Read");

    StoreSet set;
    for (int n = 0; n < StoreSet::kValues; ++n) set.SetInFileOrder(n, std::to_string(100 + n * 7));
    set.Set(2, 3, "  -5000");
    QFile file(QDir(files).filePath("line3.pf"));
    if (file.open(QIODevice::WriteOnly)) file.write(ParameterFile::Content(set));
    file.close();
    auto* loaded = new TFormStore(comm, services(files));
    loaded->FileListBox1Click("line3.pf");
    loaded->FileListBox1DblClick("line3.pf");
    return camera.Take(loaded, "TFormStore_Loaded") && ok;
}
#endif

int main(int argc, char** argv) {
    // Pictures must neither read nor change the user's stored settings and placements.
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TiThreadTimers::SetDefaultMode(TiThreadTimers::Mode::Manual);

    QApplication application(argc, argv);
    if (const QString missing = MissingHangulFontMessage(); !missing.isEmpty()) {
        std::fprintf(stderr, "window-pictures: %s\n", qPrintable(missing));
        return 1;
    }
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString("window-pictures");
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "window-pictures: cannot create %s\n", qPrintable(dir));
        return 1;
    }

    Camera camera(dir);
    TMainForm main(TMainForm::Options{false});
    RegisterTaskWindows(main);
    bool ok = TakeMainWindow(camera, main);
    for (const Picture& picture : kPictures)
        ok = camera.Take(picture.create(main), picture.name) && ok;
    for (ChildWindow kind :
         {ChildWindow::ParameterSet, ChildWindow::Store, ChildWindow::Monitoring,
          ChildWindow::TriggerMonitoring, ChildWindow::ErrorDisplay, ChildWindow::ProgramDown}) {
        if (QWidget* window = main.CreateChildWindow(kind))
            ok = camera.Take(window, window->metaObject()->className()) && ok;
    }
#ifdef Q_OS_UNIX
    QTemporaryDir files;
    ok = TakeStoreWindows(camera, main, files.path()) && ok;
#endif
    return ok ? 0 : 1;
}
