// window-pictures [DIR]: renders every window of the program, and the menus of
// the main window, to DIR/<Name>.png (default ./window-pictures), without a
// display, so the whole program can be looked at anywhere.

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

#include "app/About.h"
#include "app/Logo.h"
#include "app/Main.h"
#include "app/StatusFrm.h"
#include "app/TaskWindows.h"
#include "parameters/ParaSelectForm.h"
#include "parameters/ParaSetBitForm.h"
#include "platform/ComPort.h"
#include "platform/PortSetupDialog.h"
#include "platform/ThreadTimers.h"
#include "widgets/HangulFont.h"

#ifdef Q_OS_UNIX
#include "sim/DriveSim.h"
#include "sim/Pty.h"
#endif
#include <QFile>
#include <deque>
#include "store/ParameterFile.h"
#include "store/StoreForm.h"

namespace {

// One picture: the file name and how to make the window.
struct Picture {
    const char* name;
    std::function<QWidget*(TMainForm&)> create;
};

// Windows no menu command opens by itself; the task windows come from
// RegisterTaskWindows. A dialog of a task window is one more line here.
const Picture kPictures[] = {
    {"TForm_Logo", [](TMainForm& main) -> QWidget* { return new TForm_Logo(&main); }},
    {"TAboutBox", [](TMainForm& main) -> QWidget* { return new TAboutBox(&main); }},
    {"TPortSetupDialog",
     [](TMainForm& main) -> QWidget* {
         return new TPortSetupDialog(main.ComPort->Settings(), AvailablePortNames(), &main);
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
        return StoreServices{[&drive, &comm] { drive.Pump(comm); }, {}, directory, std::make_shared<int>(0), {}};
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
