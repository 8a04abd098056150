#pragma once
// The frame window of the program: it owns the serial port, the engine and
// its time-out timer, the status bar every window reports into, the menus and
// tool bar that open the task windows, and start-up and shut-down.

#include <QMainWindow>
#include <QPointer>
#include <QSet>
#include <exception>
#include <functional>
#include <map>
#include <memory>

#include "protocol/Comm.h"

class ClockDisplay;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class RectLed;
class RoundLed;
class PortWatch;
class TComPort;
class TiThreadTimers;

// The task windows the menus open.
enum class ChildWindow {
    ParameterSet,
    Store,
    Monitoring,
    TriggerMonitoring,
    ErrorDisplay,
    ProgramDown
};

namespace MainText {
inline constexpr const char* PortNotOpenEditor = "Please Com Port Open... ";
inline constexpr const char* PortNotOpen = "Please Com Port Open..";
}  // namespace MainText

// How the main window starts; tests and the window pictures leave the splash out.
struct MainFormOptions {
    bool ShowSplash = true;
};

class TMainForm : public QMainWindow, public IEngineHooks {
    Q_OBJECT
  public:
    using Options = MainFormOptions;
    // Creates a window and hands it the main window (its engine, its status services).
    using ChildFactory = std::function<QWidget*(TMainForm& main)>;

    explicit TMainForm(Options options = {}, QWidget* parent = nullptr);
    ~TMainForm() override;

    TComm& Engine() { return *engine_; }
    TComPort* const ComPort;
    TiThreadTimers* const Timers1;

    // A command whose window has no factory stays disabled.
    void RegisterChildWindow(ChildWindow kind, ChildFactory factory);
    // Creates the window without the rules of the menu command (for pictures of it).
    QWidget* CreateChildWindow(ChildWindow kind);
    // The menu command: port check, then the opening rule of the window kind.
    void OpenChildWindow(ChildWindow kind);
    QAction* CommandAction(ChildWindow kind) const;
    QMdiArea* MdiArea() const { return MdiArea_; }
    // Where parameter files are kept: PARAMETER beside the program, or in the
    // user's data folder when the program's folder cannot hold it; empty when neither can.
    static QString ParameterDirectory();

    // Shows the progress window modally; returns when it has closed.
    void StatusForm_Active();

    void ST_LEDClick();
    void ST_LedAlarmClick();
    // The alarm LED dark and the status text empty.
    void ClearAlarmIndicator();
    void Timers1Timer1();
    void Timers1Timer2();
    void ComPortRxChar(int count);
    void ComPortSetUpClick();
    void AboutClick();
    void HelpClick();

    // The engine's hooks.
    void SetStatusText(const std::string& text) override;
    void SetCommLed(bool on) override;
    void SetTimeoutTimer(bool enabled) override;
    void ShowWarning(const std::string& text) override;
    void RestoreCursor() override;
    void PauseMs(int ms) override;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    // A task window command: its menu action, how to make the window, the open one.
    struct ChildCommand {
        QAction* action = nullptr;
        ChildFactory factory;
        QPointer<QWidget> instance;  // the single-instance kinds remember theirs
    };

    void BuildUi();
    void BuildActions();
    void BuildChildActions();
    void BuildEditActions();
    void BuildWindowActions();
    void BuildMenus();
    void BuildToolBar();
    QWidget* BuildStatusBar();
    QLabel* BuildStatusPanel(QWidget* bar);
    QAction* AddAction(const QString& name, const QString& caption, const QString& hint, int image,
                       void (TMainForm::*handler)());
    void FormCreate();
    void FormShow();
    void GoOnline();
    void GoOffline();
    void ShowLinkState(bool online);
    void OnLinkLost(const QString& message);
    void OnPortBack(const QString& port);
    void HintLatency();
    void ShowPortError(const std::exception& error);
    void NoteMainWindowActive();

    QMdiSubWindow* AddChild(QWidget* window, bool fillArea = false);
    QMdiSubWindow* SubWindowOf(const QWidget* window) const;
    void BringToFront(QMdiSubWindow* sub);
    void OpenEditor(ChildCommand& command);
    void OpenSingle(ChildCommand& command);
    void OpenModal(ChildCommand& command);
    void FillWindowMenu();
    void TileSubWindows(Qt::Orientation stacking);
    void MinimizeAll();
    void ArrangeAll();
    void EditCommand(const char* slot);

    Options options_;
    std::unique_ptr<TComm> engine_;
    std::map<ChildWindow, ChildCommand> children_;
    int blinkCount_ = 0;
    bool lossReported_ = false;  // the send that met the lost line has shown its warning
    bool shown_ = false;
    PortWatch* portWatch_ = nullptr;  // looks for the lost port while off line after a loss
    QSet<QString> latencyHinted_;     // ports whose slow adapter has been mentioned

    QMdiArea* MdiArea_ = nullptr;
    ClockDisplay* Clock = nullptr;
    RectLed* ST_LedAlarm = nullptr;
    QLabel* Panel_MainStatus = nullptr;
    RoundLed* ST_LedComPort = nullptr;
    RectLed* ST_LED = nullptr;
    QMenu* WindowMenu = nullptr;
    QAction* OnLine = nullptr;
    QAction* ComPortSetUp = nullptr;
    QAction* EditCut = nullptr;
    QAction* EditCopy = nullptr;
    QAction* EditPaste = nullptr;
    QAction* WindowCascade = nullptr;
    QAction* WindowTileHorizontal = nullptr;
    QAction* WindowTileVertical = nullptr;
    QAction* WindowMinimizeAll = nullptr;
    QAction* WindowArrangeAll = nullptr;
    QAction* HelpAbout = nullptr;
    QAction* HelpContents = nullptr;
    QAction* FileExit = nullptr;
};
