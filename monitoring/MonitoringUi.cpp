// The monitoring window's controls: the column of item lists on the left, the
// three pages, and the bar of switches and buttons below.

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "monitoring/MonitorItems.h"
#include "monitoring/MonitoringFrm.h"
#include "widgets/ArrowLed.h"
#include "widgets/LedMatrix.h"
#include "widgets/Plot.h"
#include "widgets/RectLed.h"
#include "widgets/RockerSwitch.h"
#include "widgets/RoundLedButton.h"
#include "widgets/SevenSegment.h"
#include "widgets/SlidingScale.h"
#include "widgets/ToggleSwitch.h"

namespace {

template <typename T>
T* Named(T* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

QPushButton* Button(const char* caption, const char* name, QWidget* parent) {
    auto* button = Named(new QPushButton(caption, parent), name);
    button->setMinimumHeight(28);
    return button;
}

RectLed* StatusLed(const char* caption, const char* name, QWidget* parent) {
    auto* led = Named(new RectLed(parent), name);
    led->SetLabel(caption);
    led->SetOnColor(QColor(60, 230, 60));
    led->SetOffColor(QColor(20, 80, 20));
    led->setMinimumSize(96, 22);
    led->setCursor(Qt::ArrowCursor);
    return led;
}

// A lamp button with its caption to its right.
QWidget* CaptionedLed(RoundLedButton*& led, const char* name, const QString& caption,
                      QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    led = Named(new RoundLedButton(row), name);
    led->setAccessibleName(caption);
    led->setFixedSize(16, 16);
    layout->addWidget(led);
    layout->addWidget(new QLabel(caption, row), 1);
    return row;
}

QLabel* Readout(const QString& name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setMinimumSize(150, 34);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setStyleSheet("background-color: black; color: rgb(128, 255, 255);");
    QFont font("Arial");
    font.setPixelSize(26);
    font.setBold(true);
    label->setFont(font);
    return label;
}

}  // namespace

void TFrm_Monitoring::BuildUi() {
    setObjectName("Frm_Monitoring");
    setWindowTitle("Monitoring");
    resize(940, 640);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* middle = new QHBoxLayout;
    middle->addWidget(BuildSelectColumn());
    PageControl_Monitor = Named(new QTabWidget(this), "PageControl_Monitor");
    PageControl_Monitor->setTabPosition(QTabWidget::South);
    PageControl_Monitor->addTab(BuildNormalPage(), "Nomal Monitor");
    PageControl_Monitor->addTab(BuildGraphPage(), "Graph Monitor");
    PageControl_Monitor->addTab(BuildTuningPage(), "Tuning.Etc");
    middle->addWidget(PageControl_Monitor, 1);
    layout->addLayout(middle, 1);
    layout->addWidget(BuildBottomBar());
    connect(PageControl_Monitor, &QTabWidget::currentChanged, this,
            &TFrm_Monitoring::PageControl_MonitorChange);
    ConnectOperations();
}

QWidget* TFrm_Monitoring::BuildSelectColumn() {
    auto* column = new QFrame(this);
    column->setFrameShape(QFrame::StyledPanel);
    column->setFixedWidth(180);
    auto* layout = new QVBoxLayout(column);
    auto* heading = new QLabel("SELECT", column);
    heading->setAlignment(Qt::AlignCenter);
    heading->setStyleSheet("font-weight: bold;");
    layout->addWidget(heading);
    for (int group = 0; group < 2; ++group) {
        const bool normal = group == 0;
        QWidget* row = normal ? CaptionedLed(Led_SelectD, "Led_SelectD", "Nomal", column)
                              : CaptionedLed(Led_SelectDG, "Led_SelectDG", "Graph", column);
        (normal ? Led_SelectD : Led_SelectDG)
            ->setToolTip(normal ? "디지탈 모니터링을 합니다." : "디지탈/그래프 모니터링을 합니다.");
        layout->addSpacing(8);
        layout->addWidget(row);
        for (int n = normal ? 1 : 5; n <= (normal ? 4 : 8); ++n) {
            Combo[n] = new QComboBox(column);
            Combo[n]->setObjectName(QString("Combo%1").arg(n));
            for (const MonitorItem& item : ItemTableOfSlot(n))
                Combo[n]->addItem(QString::fromStdString(std::string(item.text)));
            layout->addWidget(Combo[n]);
            connect(Combo[n], &QComboBox::currentIndexChanged, this,
                    &TFrm_Monitoring::Combo1Change);
        }
    }
    layout->addSpacing(8);
    layout->addWidget(new QLabel("Time[ms]", column));
    SpinEdit_TimeSelect = Named(new QSpinBox(column), "SpinEdit_TimeSelect");
    SpinEdit_TimeSelect->setRange(0, 50);
    layout->addWidget(SpinEdit_TimeSelect);
    layout->addStretch(1);
    connect(Led_SelectD, &RoundLedButton::clicked, this, &TFrm_Monitoring::Led_SelectDClick);
    connect(Led_SelectDG, &RoundLedButton::clicked, this, &TFrm_Monitoring::Led_SelectDGClick);
    connect(SpinEdit_TimeSelect, &QSpinBox::valueChanged, this,
            &TFrm_Monitoring::SpinEdit_TimeSelectChange);
    return column;
}

QWidget* TFrm_Monitoring::BuildNormalPage() {
    auto* page = Named(new QWidget, "Sheet_Normal");
    auto* layout = new QHBoxLayout(page);
    layout->addWidget(BuildReadouts(), 1);
    layout->addWidget(BuildDriveInfo(), 1);
    return page;
}

QWidget* TFrm_Monitoring::BuildReadouts() {
    auto* box = new QWidget(this);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    for (int group = 0; group < 2; ++group) {
        auto* section =
            new QGroupBox(group == 0 ? "Nomal Monitoring" : "Nomal/Graph Monitoring", box);
        auto* grid = new QGridLayout(section);
        int row = 0;
        if (group == 1) {
            auto* arrows = new QHBoxLayout;
            LedA_N = Named(new ArrowLed(ArrowLed::Direction::Left, section), "LedA_N");
            LedA_P = Named(new ArrowLed(ArrowLed::Direction::Right, section), "LedA_P");
            arrows->addStretch(1);
            arrows->addWidget(LedA_N);
            arrows->addWidget(LedA_P);
            arrows->addStretch(1);
            grid->addLayout(arrows, row++, 0, 1, 2);
        }
        for (int n = group * 4 + 1; n <= group * 4 + 4; ++n, ++row) {
            Label_Dig[n] = Readout(QString("Label_Dig%1").arg(n), section);
            Label_Unit[n] = new QLabel(section);
            Label_Unit[n]->setObjectName(QString("Label_Unit%1").arg(n));
            Label_Unit[n]->setMinimumWidth(50);
            grid->addWidget(Label_Dig[n], row, 0);
            grid->addWidget(Label_Unit[n], row, 1);
        }
        grid->setRowStretch(row, 1);
        layout->addWidget(section, 1);
    }
    return box;
}

QWidget* TFrm_Monitoring::BuildDriveInfo() {
    auto* box = new QWidget(this);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* identity = new QGroupBox(box);
    auto* idLayout = new QGridLayout(identity);
    idLayout->addWidget(new QLabel("Motor Type and Watt", identity), 0, 0);
    idLayout->addWidget(new QLabel("Software Version", identity), 0, 1);
    Label_MotorW = Named(new QLabel(identity), "Label_MotorW");
    Label_SoftVersion = Named(new QLabel(identity), "Label_SoftVersion");
    for (QLabel* label : {Label_MotorW, Label_SoftVersion}) {
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setMinimumHeight(26);
        label->setStyleSheet("font-weight: bold; background-color: white;");
    }
    idLayout->addWidget(Label_MotorW, 1, 0);
    idLayout->addWidget(Label_SoftVersion, 1, 1);
    layout->addWidget(identity);

    auto* io = new QGroupBox("I/O Monitoring", box);
    auto* ioLayout = new QVBoxLayout(io);
    CheckBox_IOMot = Named(new QCheckBox("I/O", io), "CheckBox_IOMot");
    CheckBox_IOMot->setChecked(true);
    LedMatrix_Mot = Named(new LedMatrix(3, 4, io), "LedMatrix_Mot");
    LedMatrix_Mot->setAccessibleName("I/O Monitoring");
    LedMatrix_Mot->setMinimumHeight(72);
    ioLayout->addWidget(CheckBox_IOMot);
    ioLayout->addWidget(LedMatrix_Mot);
    layout->addWidget(io);

    auto* status = new QGroupBox("Servo Status", box);
    auto* statusLayout = new QGridLayout(status);
    auto* mode = new QGroupBox("Control Mode", status);
    auto* modeLayout = new QGridLayout(mode);
    LedR_ControlModeP = StatusLed("POSITION", "LedR_ControlModeP", mode);
    LedR_ControlModeV = StatusLed("VELOCITY", "LedR_ControlModeV", mode);
    LedR_ControlModeT = StatusLed("TORQUE", "LedR_ControlModeT", mode);
    LedR_ControlModeC = StatusLed("CONTACT", "LedR_ControlModeC", mode);
    modeLayout->addWidget(LedR_ControlModeP, 0, 0);
    modeLayout->addWidget(LedR_ControlModeV, 0, 1);
    modeLayout->addWidget(LedR_ControlModeT, 1, 0);
    modeLayout->addWidget(LedR_ControlModeC, 1, 1);
    statusLayout->addWidget(mode, 0, 0, 1, 2);
    LedR_SpeedMatch = StatusLed("V-COM(P-COM)", "LedR_SpeedMatch", status);
    LedR_TGon = StatusLed("TG-ON", "LedR_TGon", status);
    statusLayout->addWidget(LedR_SpeedMatch, 1, 0);
    statusLayout->addWidget(LedR_TGon, 1, 1);
    auto* state = new QGroupBox("Status", status);
    auto* stateLayout = new QHBoxLayout(state);
    LedR_Status = StatusLed("", "LedR_Status", state);
    LedR_Status->setAccessibleName("Status");
    LedR_Status->setMinimumSize(120, 30);
    LedR_Status->SetOn(true);
    stateLayout->addWidget(LedR_Status);
    statusLayout->addWidget(state, 2, 0, 1, 2);
    layout->addWidget(status);
    layout->addStretch(1);
    return box;
}

QWidget* TFrm_Monitoring::BuildGraphPage() {
    auto* page = Named(new QWidget, "Graph");
    auto* layout = new QVBoxLayout(page);
    Plot_Graph = Named(new Plot(page), "Plot_Graph");
    layout->addWidget(Plot_Graph, 1);
    Label_StreamStatus = Named(new QLabel(page), "Label_StreamStatus");
    Label_StreamStatus->hide();
    layout->addWidget(Label_StreamStatus);
    return page;
}

QWidget* TFrm_Monitoring::BuildTuningPage() {
    auto* page = Named(new QWidget, "Sheet_GainJog");
    auto* layout = new QGridLayout(page);
    layout->addWidget(BuildOffsetGroup(), 0, 0);
    layout->addWidget(BuildTestGroup(), 0, 1);
    layout->addWidget(BuildGainEtcGroups(), 1, 0, 1, 2);
    layout->setRowStretch(2, 1);
    return page;
}

QWidget* TFrm_Monitoring::BuildOffsetGroup() {
    auto* group = new QGroupBox("Offset Tuning", this);
    auto* layout = new QGridLayout(group);
    layout->addWidget(CaptionedLed(Led_Speed, "Led_Speed", "SPEED", group), 0, 0);
    layout->addWidget(CaptionedLed(Led_Torque, "Led_Torque", "TORQUE", group), 1, 0);
    layout->addWidget(CaptionedLed(Led_Current, "Led_Current", "CURRENT", group), 2, 0);
    auto* automatic = new QGroupBox("Automatic", group);
    auto* autoLayout = new QVBoxLayout(automatic);
    Btn_AutoOffset = Button("Auto Offset Tuning", "Btn_AutoOffset", automatic);
    autoLayout->addWidget(Btn_AutoOffset);
    layout->addWidget(automatic, 0, 1, 2, 1);
    layout->addWidget(CaptionedLed(Led_Manual, "Led_Manual", "Manual", group), 2, 1);
    auto* manual = new QGroupBox("Manual", group);
    auto* manualLayout = new QGridLayout(manual);
    Sw_Offset = Named(new RockerSwitch(manual), "Sw_Offset");
    Sw_Offset->setAccessibleName("Offset");
    Sw_Offset->setFixedSize(24, 56);
    Seg_Offset = Named(new SevenSegmentReal(manual), "Seg_Offset");
    Seg_Offset->SetDigitCount(6);
    Seg_Offset->setMinimumSize(150, 44);
    Seg_Offset->setAccessibleName("Offset");
    Label_OffsetUnit = Named(new QLabel("[rpm]", manual), "Label_OffsetUnit");
    Btn_OffsetSave = Button("SAVE", "Btn_OffsetSave", manual);
    Btn_ESCOffset = Button("ESC", "Btn_ESCOffset", manual);
    manualLayout->addWidget(Sw_Offset, 0, 0, 2, 1);
    manualLayout->addWidget(Seg_Offset, 0, 1, 1, 2);
    manualLayout->addWidget(Label_OffsetUnit, 0, 3);
    manualLayout->addWidget(Btn_OffsetSave, 1, 1);
    manualLayout->addWidget(Btn_ESCOffset, 1, 2);
    layout->addWidget(manual, 3, 0, 1, 2);
    return group;
}

QWidget* TFrm_Monitoring::BuildTestGroup() {
    auto* group = new QGroupBox("Test Operation", this);
    auto* layout = new QGridLayout(group);
    SwR_JogOn = Named(new ToggleSwitch("Jog_on", group), "SwR_JogOn");
    Led_JogN = Named(new ArrowLed(ArrowLed::Direction::Left, group), "Led_JogN");
    Led_JogP = Named(new ArrowLed(ArrowLed::Direction::Right, group), "Led_JogP");
    Led_JogN->setAccessibleName("Reverse");
    Led_JogP->setAccessibleName("Forward");
    Led_JogN->setMinimumSize(56, 32);
    Led_JogP->setMinimumSize(56, 32);
    layout->addWidget(SwR_JogOn, 0, 0);
    layout->addWidget(Led_JogN, 0, 1);
    layout->addWidget(Led_JogP, 0, 2);
    layout->addWidget(new QLabel("SPEED", group), 1, 0);
    SEdit_JogSpeed = Named(new QSpinBox(group), "SEdit_JogSpeed");
    SEdit_JogSpeed->setRange(0, 5000);
    SEdit_JogSpeed->setValue(500);
    layout->addWidget(SEdit_JogSpeed, 1, 1);
    Btn_SaveJogSpeed = Button("Save", "Btn_SaveJogSpeed", group);
    layout->addWidget(Btn_SaveJogSpeed, 1, 2);
    Sw_TestRun = Button("TestRun", "Sw_TestRun", group);
    Sw_TestRun->setToolTip("Test Run");
    layout->addWidget(Sw_TestRun, 2, 0);
    Sliding_Speed = Named(new SlidingScale(group), "Sliding_Speed");
    Sliding_Speed->SetTitle("SPEED");
    Sliding_Speed->SetSpan(5000);
    layout->addWidget(Sliding_Speed, 3, 0, 1, 3);
    return group;
}

QWidget* TFrm_Monitoring::BuildGainEtcGroups() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* gain = new QGroupBox("Gain Tuning", row);
    auto* gainLayout = new QHBoxLayout(gain);
    Btn_AutoTuning = Button("Auto Gain Tuning", "Btn_AutoTuning", gain);
    Edit_GainValue = Named(new QLineEdit("0", gain), "Edit_GainValue");
    Edit_GainValue->setMaximumWidth(80);
    gainLayout->addWidget(Btn_AutoTuning);
    gainLayout->addWidget(new QLabel("Inertia Ratio", gain));
    gainLayout->addWidget(Edit_GainValue);
    gainLayout->addWidget(new QLabel("[%]", gain));
    layout->addWidget(gain);
    auto* etc = new QGroupBox("ETC", row);
    auto* etcLayout = new QGridLayout(etc);
    Btn_InitUserPara = Button("Parameter Init", "Btn_InitUserPara", etc);
    Btn_ResetABS = Button("ABS Encoder Reset", "Btn_ResetABS", etc);
    Btn_Homing = Button("Homing", "Btn_Homing", etc);
    Btn_GainBackup = Button("2-nd Gain Backup", "Btn_GainBackup", etc);
    etcLayout->addWidget(Btn_InitUserPara, 0, 0);
    etcLayout->addWidget(Btn_ResetABS, 0, 1);
    etcLayout->addWidget(Btn_Homing, 1, 0);
    etcLayout->addWidget(Btn_GainBackup, 1, 1);
    layout->addWidget(etc);
    return row;
}

QWidget* TFrm_Monitoring::BuildBottomBar() {
    auto* bar = Named(new QFrame(this), "Panel_Bottom");
    bar->setFrameShape(QFrame::Panel);
    bar->setFrameShadow(QFrame::Raised);
    auto* layout = new QHBoxLayout(bar);
    Btn_ServoAlarmReset = Button("RESET", "Btn_ServoAlarmReset", bar);
    Btn_ServoAlarmReset->setToolTip("서보 드라이브의 에러를 클리어 합니다.");
    Btn_Exit = Button("EXIT", "Btn_Exit", bar);
    Btn_Exit->setToolTip("모니터링 화면을 종료합니다.");
    SwR_UpDownAxis = Named(new RockerSwitch(bar), "SwR_UpDownAxis");
    SwR_UpDownAxis->setAccessibleName("Axis");
    SwR_UpDownAxis->setToolTip("축을 선택 합니다");
    SwR_UpDownAxis->setFixedSize(24, 48);
    Label_Axis = Named(new QLabel(bar), "Label_Axis");
    Label_Axis->setMinimumWidth(70);
    Label_Axis->setAlignment(Qt::AlignCenter);
    Label_Axis->setStyleSheet("font-weight: bold; background-color: rgb(224, 192, 255);");
    Sw_ServoOn = Named(new ToggleSwitch(" SV_ON  ", bar), "Sw_ServoOn");
    Sw_ServoOn->setToolTip("Servo On");
    Sw_Monitoring = Named(new ToggleSwitch("Monitor", bar), "Sw_Monitoring");
    Sw_Monitoring->setToolTip("Monitoring");
    Panel_Graph = Named(new QFrame(bar), "Panel_Graph");
    auto* graphLayout = new QHBoxLayout(Panel_Graph);
    graphLayout->setContentsMargins(0, 0, 0, 0);
    Btn_GraphClear = Button("CLEAR", "Btn_GraphClear", Panel_Graph);
    Btn_GraphClear->setToolTip("그래프를 처음 부터 다시 실행 합니다. 화면 삭제");
    graphLayout->addWidget(Btn_GraphClear);
    layout->addWidget(Btn_ServoAlarmReset);
    layout->addWidget(Btn_Exit);
    layout->addSpacing(12);
    layout->addWidget(SwR_UpDownAxis);
    layout->addWidget(Label_Axis);
    layout->addStretch(1);
    layout->addWidget(Panel_Graph);
    layout->addWidget(Sw_ServoOn);
    layout->addWidget(Sw_Monitoring);
    connect(Btn_Exit, &QPushButton::clicked, this, &TFrm_Monitoring::Btn_ExitClick);
    connect(Btn_GraphClear, &QPushButton::clicked, this, &TFrm_Monitoring::Btn_GraphClearClick);
    connect(SwR_UpDownAxis, &RockerSwitch::UpClick, this, &TFrm_Monitoring::SwR_UpDownAxisUpClick);
    connect(SwR_UpDownAxis, &RockerSwitch::DownClick, this,
            &TFrm_Monitoring::SwR_UpDownAxisDownClick);
    connect(Sw_Monitoring, &ToggleSwitch::toggled, this, &TFrm_Monitoring::Sw_MonitoringChange);
    connect(Sw_ServoOn, &ToggleSwitch::toggled, this, &TFrm_Monitoring::Sw_ServoOnChange);
    connect(Btn_ServoAlarmReset, &QPushButton::clicked, this,
            &TFrm_Monitoring::Btn_ServoAlarmResetClick);
    return bar;
}

void TFrm_Monitoring::ConnectOperations() {
    connect(Sw_TestRun, &QPushButton::clicked, this, &TFrm_Monitoring::Sw_TestRunChange);
    connect(SwR_JogOn, &ToggleSwitch::toggled, this, &TFrm_Monitoring::SwR_JogOnChange);
    connect(Led_JogP, &ArrowLed::Pressed, this, &TFrm_Monitoring::Led_JogPMouseDown);
    connect(Led_JogN, &ArrowLed::Pressed, this, &TFrm_Monitoring::Led_JogNMouseDown);
    connect(Led_JogP, &ArrowLed::Released, this, &TFrm_Monitoring::Led_JogMouseUp);
    connect(Led_JogN, &ArrowLed::Released, this, &TFrm_Monitoring::Led_JogMouseUp);
    connect(Btn_SaveJogSpeed, &QPushButton::clicked, this, &TFrm_Monitoring::Btn_SaveJogSpeedClick);
    connect(Btn_AutoTuning, &QPushButton::clicked, this, &TFrm_Monitoring::Btn_AutoTuningClick);
    connect(Btn_AutoOffset, &QPushButton::clicked, this, &TFrm_Monitoring::Btn_AutoOffsetClick);
    connect(Btn_Homing, &QPushButton::clicked, this, &TFrm_Monitoring::Btn_HomingClick);
    connect(Btn_GainBackup, &QPushButton::clicked, this, &TFrm_Monitoring::Btn_GainBackupClick);
    connect(Btn_ResetABS, &QPushButton::clicked, this, &TFrm_Monitoring::Btn_ResetABSClick);
    connect(Btn_InitUserPara, &QPushButton::clicked, this, &TFrm_Monitoring::Btn_InitUserParaClick);
    connect(Led_Speed, &RoundLedButton::clicked, this, &TFrm_Monitoring::Led_SpeedClick);
    connect(Led_Torque, &RoundLedButton::clicked, this, &TFrm_Monitoring::Led_TorqueClick);
    connect(Led_Current, &RoundLedButton::clicked, this, &TFrm_Monitoring::Led_CurrentClick);
    connect(Led_Manual, &RoundLedButton::clicked, this, &TFrm_Monitoring::Led_ManualClick);
    connect(Sw_Offset, &RockerSwitch::DownClick, this, &TFrm_Monitoring::Sw_OffsetDownClick);
    connect(Sw_Offset, &RockerSwitch::UpClick, this, &TFrm_Monitoring::Sw_OffsetUpClick);
    connect(Btn_OffsetSave, &QPushButton::clicked, this, &TFrm_Monitoring::Btn_OffsetSaveClick);
    connect(Btn_ESCOffset, &QPushButton::clicked, this, &TFrm_Monitoring::Btn_ESCOffsetClick);
}
