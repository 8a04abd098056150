// The main window's menus, tool bar and status bar.

#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/ImageList.h"
#include "app/Main.h"
#include "widgets/ClockDisplay.h"
#include "widgets/RectLed.h"
#include "widgets/RoundLed.h"

namespace {

constexpr int kStatusBarHeight = 24;

}  // namespace

void TMainForm::BuildUi() {
    setWindowTitle("VRX5 Application");
    setWindowIcon(ImageList::Icon(ImageList::Application));
    resize(1024, 768);

    MdiArea_ = new QMdiArea;
    MdiArea_->setObjectName("MdiArea");
    MdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    MdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(MdiArea_, &QMdiArea::subWindowActivated, this, &TMainForm::NoteMainWindowActive);

    auto* client = new QWidget;
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(MdiArea_, 1);
    layout->addWidget(BuildStatusBar());
    setCentralWidget(client);

    BuildActions();
    BuildMenus();
    BuildToolBar();
}

QAction* TMainForm::AddAction(const QString& name, const QString& caption, const QString& hint,
                              int image, void (TMainForm::*handler)()) {
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    if (!hint.isEmpty()) {
        action->setStatusTip(hint);
        action->setToolTip(hint);
    }
    if (image >= 0) action->setIcon(ImageList::Icon(image));
    if (handler) connect(action, &QAction::triggered, this, handler);
    return action;
}

void TMainForm::BuildActions() {
    BuildChildActions();
    OnLine = AddAction("OnLine", "OnLine", "Com port Open/Close", ImageList::Offline,
                       &TMainForm::ST_LEDClick);
    ComPortSetUp = AddAction("ComPortSetUp", "Com Port Set-Up", "Com port set up",
                             ImageList::ComPortSetUp, &TMainForm::ComPortSetUpClick);
    FileExit = AddAction("FileExit", "E&xit", "", -1, nullptr);  // a menu bar item shows no picture
    connect(FileExit, &QAction::triggered, this, &QWidget::close);
    BuildEditActions();
    BuildWindowActions();
    HelpAbout = AddAction("HelpAbout", "&About...", "", ImageList::About, &TMainForm::AboutClick);
    HelpContents =
        AddAction("HelpContents", "&Help...", "", ImageList::Help, &TMainForm::HelpClick);
}

void TMainForm::BuildChildActions() {
    struct ChildAction {
        ChildWindow kind;
        const char* name;
        const char* caption;
        const char* hint;
        int image;
    };
    const ChildAction childActions[] = {
        {ChildWindow::ParameterSet, "ParameterSet", "Parameter Set", "Parameter Setting",
         ImageList::ParameterSet},
        {ChildWindow::Store, "Store", "Store(Servo<->PC)", "Parameter Store", ImageList::Store},
        {ChildWindow::Monitoring, "Monitoring", "Monitoring", "Monitoring", ImageList::Monitoring},
        {ChildWindow::TriggerMonitoring, "TriggerMonitoring", "Trigger Monitoring",
         "Trigger monitoring", ImageList::TriggerMonitoring},
        {ChildWindow::ProgramDown, "ProgramDown", "Program Down..", "", ImageList::ProgramDown},
        {ChildWindow::ErrorDisplay, "ErrorDisplay", "Error Display..", "", ImageList::ErrorDisplay},
    };
    for (const ChildAction& entry : childActions) {
        QAction* action = AddAction(entry.name, entry.caption, entry.hint, entry.image, nullptr);
        action->setEnabled(false);  // until the window is plugged in
        const ChildWindow kind = entry.kind;
        connect(action, &QAction::triggered, this, [this, kind] { OpenChildWindow(kind); });
        children_[kind].action = action;
    }
}

void TMainForm::BuildEditActions() {
    EditCut = AddAction("EditCut", "Cu&t", "", ImageList::Cut, nullptr);
    EditCopy = AddAction("EditCopy", "&Copy", "", ImageList::Copy, nullptr);
    EditPaste = AddAction("EditPaste", "&Paste", "", ImageList::Paste, nullptr);
    EditCut->setShortcut(QKeySequence("Ctrl+X"));
    EditCopy->setShortcut(QKeySequence("Ctrl+C"));
    EditPaste->setShortcut(QKeySequence("Ctrl+V"));
    connect(EditCut, &QAction::triggered, this, [this] { EditCommand("cut"); });
    connect(EditCopy, &QAction::triggered, this, [this] { EditCommand("copy"); });
    connect(EditPaste, &QAction::triggered, this, [this] { EditCommand("paste"); });
}

void TMainForm::BuildWindowActions() {
    WindowCascade = AddAction("WindowCascade", "&Cascade", "", ImageList::Cascade, nullptr);
    WindowTileHorizontal = AddAction("WindowTileHorizontal", "Tile &Horizontally", "",
                                     ImageList::TileHorizontally, nullptr);
    WindowTileVertical =
        AddAction("WindowTileVertical", "Tile &Vertically", "", ImageList::TileVertically, nullptr);
    WindowMinimizeAll = AddAction("WindowMinimizeAll", "&Minimize All", "", ImageList::MinimizeAll,
                                  &TMainForm::MinimizeAll);
    WindowArrangeAll = AddAction("WindowArrangeAll", "&Arrange All", "", ImageList::ArrangeAll,
                                 &TMainForm::ArrangeAll);
    connect(WindowCascade, &QAction::triggered, MdiArea_, &QMdiArea::cascadeSubWindows);
    connect(WindowTileHorizontal, &QAction::triggered, this,
            [this] { TileSubWindows(Qt::Vertical); });
    connect(WindowTileVertical, &QAction::triggered, this,
            [this] { TileSubWindows(Qt::Horizontal); });
}

void TMainForm::BuildMenus() {
    QMenuBar* bar = menuBar();
    const auto menu = [bar](const char* name, const QString& caption, const QString& hint = {}) {
        QMenu* m = bar->addMenu(caption);
        m->setObjectName(name);
        m->setToolTipsVisible(true);
        if (!hint.isEmpty()) {
            m->menuAction()->setStatusTip(hint);
            m->menuAction()->setToolTip(hint);
        }
        return m;
    };
    bar->addAction(FileExit);

    QMenu* parameter = menu("ParameterMenu", "&Parameter");
    parameter->addAction(CommandAction(ChildWindow::ParameterSet));
    parameter->addAction(CommandAction(ChildWindow::Store));
    QMenu* monitor = menu("MonitorMenu", "Monitor");
    monitor->addAction(CommandAction(ChildWindow::Monitoring));
    monitor->addAction(CommandAction(ChildWindow::TriggerMonitoring));
    QMenu* etc = menu("EtcMenu", "Etc..");
    etc->addAction(CommandAction(ChildWindow::ProgramDown));
    etc->addAction(CommandAction(ChildWindow::ErrorDisplay));
    menu("ConnectionMenu", "Connection")->addAction(OnLine);
    menu("SetupMenu", "&Setup")->addAction(ComPortSetUp);
    QMenu* edit = menu("EditMenu", "&Edit", "Edit commands");
    edit->addActions({EditCut, EditCopy, EditPaste});
    WindowMenu = menu("WindowMenu", "&Window", "Window related commands");
    connect(WindowMenu, &QMenu::aboutToShow, this, &TMainForm::FillWindowMenu);
    FillWindowMenu();
    QMenu* help = menu("HelpMenu", "&Help", "Help topics");
    help->addAction(HelpAbout);
    help->addSeparator();
    help->addAction(HelpContents);
}

void TMainForm::BuildToolBar() {
    auto* tools = addToolBar("ToolBar1");
    tools->setObjectName("ToolBar1");
    tools->setMovable(false);
    tools->setIconSize(QSize(24, 24));
    tools->addAction(CommandAction(ChildWindow::ParameterSet));
    tools->addAction(CommandAction(ChildWindow::Store));
    tools->addSeparator();
    tools->addAction(CommandAction(ChildWindow::Monitoring));
    tools->addAction(CommandAction(ChildWindow::TriggerMonitoring));
    tools->addSeparator();
    tools->addAction(OnLine);
    tools->addSeparator();
    tools->addAction(ComPortSetUp);
    tools->addSeparator();
    tools->addActions({EditCut, EditCopy, EditPaste});
    tools->addSeparator();
    tools->addActions({WindowCascade, WindowTileHorizontal, WindowTileVertical});
}

namespace {

RectLed* MakeStatusLed(QWidget* bar, const char* name, int width, const QColor& on,
                       const QColor& off, const char* hint) {
    auto* led = new RectLed(bar);
    led->setObjectName(name);
    led->setFixedWidth(width);
    led->SetOnColor(on);
    led->SetOffColor(off);
    led->setToolTip(hint);
    return led;
}

}  // namespace

// One row under the task windows: clock, alarm LED, status text, on-line LED.
QWidget* TMainForm::BuildStatusBar() {
    auto* bar = new QWidget;
    bar->setObjectName("StatusBar1");
    bar->setFixedHeight(kStatusBarHeight);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(1, 1, 1, 1);
    row->setSpacing(2);

    Clock = new ClockDisplay(bar);
    Clock->setObjectName("Clock");
    Clock->setFixedWidth(73);

    ST_LedAlarm = MakeStatusLed(bar, "ST_LedAlarm", 81, QColor(255, 30, 30), QColor(100, 25, 25),
                                "Display  Alarm or Alarm clear..");
    ST_LedAlarm->SetLabel("ALARM");
    connect(ST_LedAlarm, &RectLed::clicked, this, &TMainForm::ST_LedAlarmClick);

    // White on a darker green stays readable; a bright green washes the label out.
    ST_LED = MakeStatusLed(bar, "ST_LED", 120, QColor(0, 160, 50), QColor(20, 80, 35),
                           "Repeat Online or Offline.");
    connect(ST_LED, &RectLed::clicked, this, &TMainForm::ST_LEDClick);

    row->addWidget(Clock);
    row->addWidget(ST_LedAlarm);
    row->addWidget(BuildStatusPanel(bar), 1);
    row->addWidget(ST_LED);
    return bar;
}

// The status text, indented past the communication LED at its left end.
QLabel* TMainForm::BuildStatusPanel(QWidget* bar) {
    Panel_MainStatus = new QLabel(bar);
    Panel_MainStatus->setObjectName("Panel_MainStatus");
    Panel_MainStatus->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel_MainStatus->setIndent(22);
    Panel_MainStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    QFont statusFont = Panel_MainStatus->font();
    statusFont.setBold(true);
    Panel_MainStatus->setFont(statusFont);
    Panel_MainStatus->setStyleSheet("color: red;");

    ST_LedComPort = new RoundLed(Panel_MainStatus);
    ST_LedComPort->setObjectName("ST_LedComPort");
    ST_LedComPort->SetOnColor(Qt::yellow);
    ST_LedComPort->setFixedSize(14, 14);
    auto* inside = new QHBoxLayout(Panel_MainStatus);
    inside->setContentsMargins(4, 0, 0, 0);
    inside->addWidget(ST_LedComPort, 0, Qt::AlignVCenter);
    inside->addStretch();
    return Panel_MainStatus;
}
