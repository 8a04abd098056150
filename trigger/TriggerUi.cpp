// The trigger window's controls: the settings column on the left, the
// progress bar, the waiting label and the plot on the right, and the bar of
// switches and buttons below.

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "platform/ThreadTimers.h"
#include "trigger/TriggerForm.h"
#include "widgets/LedBar.h"
#include "widgets/Plot.h"
#include "widgets/RockerSwitch.h"
#include "widgets/RoundLedButton.h"

namespace {

QFont ArialPixels(int pixels, bool bold = false) {
    QFont font("Arial");
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

template <typename W>
W* Named(W* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

QLabel* Heading(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(ArialPixels(13, true));
    return label;
}

QSpinBox* SpinEdit(const char* name, int minimum, int maximum, int value, QWidget* parent) {
    auto* box = Named(new QSpinBox(parent), name);
    box->setRange(minimum, maximum);
    box->setValue(value);
    return box;
}

QPushButton* Button(const char* caption, const char* name, const QString& hint, QWidget* parent) {
    auto* button = Named(new QPushButton(caption, parent), name);
    button->setFixedSize(68, 49);
    button->setFont(ArialPixels(13, true));
    button->setToolTip(hint);
    return button;
}

// A spin edit with its unit label to the right.
QWidget* WithUnit(QSpinBox* box, const char* unit, QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(box, 1);
    layout->addWidget(new QLabel(unit, row));
    return row;
}

}  // namespace

void TFrmTrigger::BuildUi() {
    setObjectName("FrmTrigger");
    setWindowTitle("Trigger Monitoring");
    setFont(ArialPixels(13));
    resize(900, 600);
    ThreadTimers_Trigger = Named(new TiThreadTimers(this), "ThreadTimers_Trigger");
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(BuildSettingsColumn(), 0, 0);
    layout->addWidget(BuildPlotArea(), 0, 1);
    layout->addWidget(BuildBottomBar(), 1, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(0, 1);
}

QWidget* TFrmTrigger::BuildSettingsColumn() {
    auto* column = Named(new QFrame(this), "Panel_TriggerSettings");
    column->setFrameShape(QFrame::Panel);
    column->setFrameShadow(QFrame::Raised);
    column->setFixedWidth(210);
    auto* layout = new QVBoxLayout(column);
    layout->setSpacing(3);

    ComboBox1 = Named(new QComboBox(column), "ComboBox1");
    ComboBox2 = Named(new QComboBox(column), "ComboBox2");
    for (const char* text : TriggerLists::ChannelTexts) {
        ComboBox1->addItem(text);
        ComboBox2->addItem(text);
    }
    layout->addWidget(Heading("Trigger Channel", column));
    layout->addWidget(ComboBox1);
    layout->addWidget(ComboBox2);

    auto* sourceHeading = new QWidget(column);
    auto* sourceRow = new QHBoxLayout(sourceHeading);
    sourceRow->setContentsMargins(0, 6, 0, 0);
    sourceRow->addWidget(Heading("   Trigger Source", sourceHeading), 1);
    Led_IOSel = Named(new RoundLedButton(sourceHeading), "Led_IOSel");
    Led_IOSel->setAccessibleName("I/O");
    Led_IOSel->setFixedSize(14, 14);
    sourceRow->addWidget(Led_IOSel);
    sourceRow->addWidget(new QLabel("I/O", sourceHeading));
    ComboBox3 = Named(new QComboBox(column), "ComboBox3");
    layout->addWidget(sourceHeading);
    layout->addWidget(ComboBox3);

    SpinEdit_TriggerDivision =
        SpinEdit("SpinEdit_TriggerDivision", 1, TriggerSettings::kDivisionMax, 1, column);
    SpinEdit_TriggerOfData = SpinEdit("SpinEdit_TriggerOfData", 1, TriggerSettings::kNumberMax,
                                      TriggerSettings::kNumberMax, column);
    layout->addWidget(Heading("Trigger Time Division", column));
    layout->addWidget(WithUnit(SpinEdit_TriggerDivision, "* 200usec", column));
    layout->addWidget(Heading("Number of Data", column));
    layout->addWidget(WithUnit(SpinEdit_TriggerOfData, "* 10", column));

    RadioButton1 = Named(new QRadioButton("Positive", column), "RadioButton1");
    RadioButton2 = Named(new QRadioButton("Negative", column), "RadioButton2");
    auto* edges = new QWidget(column);
    auto* edgeRow = new QHBoxLayout(edges);
    edgeRow->setContentsMargins(0, 0, 0, 0);
    edgeRow->addWidget(RadioButton1);
    edgeRow->addWidget(RadioButton2);
    layout->addWidget(Heading("Trigger Edge", column));
    layout->addWidget(edges);

    SpinEdit_TriggerPoint =
        SpinEdit("SpinEdit_TriggerPoint", 1, TriggerSettings::kPointMax, 1, column);
    SpinEdit_TriggeredValue = SpinEdit("SpinEdit_TriggeredValue", -TriggerSettings::kLevelLimit,
                                       TriggerSettings::kLevelLimit, 0, column);
    layout->addWidget(Heading("Trigger Point", column));
    layout->addWidget(SpinEdit_TriggerPoint);
    layout->addWidget(Heading("Trigger Level", column));
    layout->addWidget(SpinEdit_TriggeredValue);
    layout->addStretch(1);

    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TFrmTrigger::ComboBox1Change);
    connect(ComboBox2, &QComboBox::currentIndexChanged, this, &TFrmTrigger::ComboBox1Change);
    connect(ComboBox3, &QComboBox::currentIndexChanged, this, &TFrmTrigger::ComboBox3Change);
    connect(Led_IOSel, &RoundLedButton::clicked, this, &TFrmTrigger::Led_IOSelClick);
    connect(SpinEdit_TriggerDivision, &QSpinBox::valueChanged, this,
            &TFrmTrigger::SpinEdit_TriggerDivisionChange);
    connect(SpinEdit_TriggerOfData, &QSpinBox::valueChanged, this,
            &TFrmTrigger::SpinEdit_TriggerDivisionChange);
    return column;
}

QWidget* TFrmTrigger::BuildPlotArea() {
    auto* area = new QWidget(this);
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    auto* strip = new QWidget(area);
    strip->setFixedHeight(22);
    auto* stripRow = new QHBoxLayout(strip);
    stripRow->setContentsMargins(4, 0, 4, 0);
    Label_StatusTrigger = Named(new QLabel("Start triggering.....", strip), "Label_StatusTrigger");
    Label_StatusTrigger->setFont(ArialPixels(14, true));
    Label_StatusTrigger->setStyleSheet("color: rgb(200, 0, 0);");
    LedBar1_Trigger = Named(new LedBar(strip), "LedBar1_Trigger");
    LedBar1_Trigger->setAccessibleName("Reading");
    Label_NoteTrigger = Named(new QLabel(strip), "Label_NoteTrigger");
    Label_NoteTrigger->setStyleSheet("color: rgb(160, 80, 0);");
    Label_NoteTrigger->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    stripRow->addWidget(Label_StatusTrigger);
    stripRow->addWidget(LedBar1_Trigger, 1);
    stripRow->addWidget(Label_NoteTrigger, 1);
    stripRow->addStretch(0);
    layout->addWidget(strip);

    Plot_Trigger = Named(new Plot(area), "Plot_Trigger");
    Plot_Trigger->SetTitle("Trigger Monitoring");
    Plot_Trigger->SetTitleVisible(true);
    Plot_Trigger->SetLegendVisible(true);
    Plot_Trigger->SetTracking(false);
    layout->addWidget(Plot_Trigger, 1);
    return area;
}

QWidget* TFrmTrigger::BuildBottomBar() {
    auto* bar = Named(new QFrame(this), "Panel_TriggerButtons");
    bar->setFixedHeight(65);
    bar->setFrameShape(QFrame::Panel);
    bar->setFrameShadow(QFrame::Raised);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(8, 8, 8, 8);

    ToggleSw_SingleNomal = Named(new QPushButton("Single", bar), "ToggleSw_SingleNomal");
    ToggleSw_SingleNomal->setCheckable(true);
    ToggleSw_SingleNomal->setFixedSize(80, 49);
    ToggleSw_SingleNomal->setToolTip("Single/Nomal을 선택합니다");
    Btn_Clear = Button("CLEAR", "Btn_Clear", {}, bar);
    SwR_UpDownAxisTrigger = Named(new RockerSwitch(bar), "SwR_UpDownAxisTrigger");
    SwR_UpDownAxisTrigger->setAccessibleName("Axis");
    SwR_UpDownAxisTrigger->setToolTip("Select Axis");
    SwR_UpDownAxisTrigger->setFixedSize(24, 49);
    Label_AxisTrigger = Named(new QLabel(bar), "Label_AxisTrigger");
    Label_AxisTrigger->setFixedSize(80, 49);
    Label_AxisTrigger->setAlignment(Qt::AlignCenter);
    Label_AxisTrigger->setFont(ArialPixels(16, true));
    Label_AxisTrigger->setStyleSheet("background-color: rgb(224, 192, 255);");
    Btn_ExitTrigger = Button("EXIT", "Btn_ExitTrigger", "모니터링 화면을 종료합니다.", bar);
    Btn_ServoAlarmResetTrigger =
        Button("RESET", "Btn_ServoAlarmResetTrigger", "서보 드라이브의 에러를 클리어 합니다.", bar);
    Btn_StartTrigger = Button("START", "Btn_StartTrigger", "Start Trigger", bar);

    layout->addWidget(ToggleSw_SingleNomal);
    layout->addWidget(Btn_Clear);
    layout->addSpacing(16);
    layout->addWidget(SwR_UpDownAxisTrigger);
    layout->addWidget(Label_AxisTrigger);
    layout->addStretch(1);
    layout->addWidget(Btn_ServoAlarmResetTrigger);
    layout->addWidget(Btn_StartTrigger);
    layout->addWidget(Btn_ExitTrigger);

    connect(ToggleSw_SingleNomal, &QPushButton::toggled, this,
            [this](bool nomal) { ToggleSw_SingleNomal->setText(nomal ? "Nomal" : "Single"); });
    connect(Btn_Clear, &QPushButton::clicked, this, &TFrmTrigger::Btn_ClearClick);
    connect(SwR_UpDownAxisTrigger, &RockerSwitch::UpClick, this,
            &TFrmTrigger::SwR_UpDownAxisTriggerUpClick);
    connect(SwR_UpDownAxisTrigger, &RockerSwitch::DownClick, this,
            &TFrmTrigger::SwR_UpDownAxisTriggerDownClick);
    connect(Btn_ExitTrigger, &QPushButton::clicked, this, &TFrmTrigger::Btn_ExitTriggerClick);
    connect(Btn_ServoAlarmResetTrigger, &QPushButton::clicked, this,
            &TFrmTrigger::Btn_ServoAlarmResetTriggerClick);
    connect(Btn_StartTrigger, &QPushButton::clicked, this, &TFrmTrigger::Btn_StartTriggerClick);
    return bar;
}
