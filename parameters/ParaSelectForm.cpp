#include "parameters/ParaSelectForm.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "parameters/MonitorSetting.h"
#include "parameters/NumberEdit.h"
#include "widgets/MessageService.h"
#include "widgets/RockerSwitch.h"
#include "widgets/SevenSegment.h"

namespace {

constexpr int kWidth = 361;
constexpr int kPanelHeight = 170;
const QColor kLit(128, 255, 255);
const QColor kMotorUnlit(0, 64, 128);
const QColor kMonitorUnlit(5, 118, 113);

template <typename Display>
Display* Segments(QWidget* parent, const char* name, const char* caption, const QColor& unlit,
                  QRect where) {
    auto* display = new Display(parent);
    display->setObjectName(name);
    display->setAccessibleName(caption);
    display->SetLitColor(kLit);
    display->SetUnlitColor(unlit);
    display->setGeometry(where);
    return display;
}

RockerSwitch* Rocker(QWidget* parent, const char* name, const char* caption, QRect where) {
    auto* rocker = new RockerSwitch(parent);
    rocker->setObjectName(name);
    rocker->setAccessibleName(caption);
    rocker->setGeometry(where);
    return rocker;
}

QLineEdit* TextBox(QWidget* parent, const char* name, QRect where) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignCenter);
    box->setGeometry(where);
    return box;
}

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), text.size());
}

}  // namespace

TForm_ParaSelect::TForm_ParaSelect(TEditHandOver& handOver, QWidget* parent)
    : QDialog(parent), handOver_(handOver) {
    BuildUi();
    if (handOver_.SelectMotorMode == 1)
        OpenMotor();
    else
        OpenMonitor();
}

void TForm_ParaSelect::BuildUi() {
    setObjectName("Form_ParaSelect");
    setWindowTitle("Selecting screen");
    setFixedSize(kWidth, 229);
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);

    Panel1 = BuildMotorPanel();
    Panel2 = BuildMonitorPanel();

    Btn_SET = new QPushButton("SET", this);
    Btn_SET->setObjectName("Btn_SET");
    Btn_SET->setToolTip("선택된 값을 저장합니다");
    Btn_SET->setGeometry(96, kPanelHeight + 12, 120, 41);
    Btn_Exit = new QPushButton("EXIT", this);
    Btn_Exit->setObjectName("Btn_Exit");
    Btn_Exit->setGeometry(228, kPanelHeight + 12, 120, 41);
    for (QPushButton* button : {Btn_SET, Btn_Exit}) button->setAutoDefault(false);
    connect(Btn_SET, &QPushButton::clicked, this, &TForm_ParaSelect::Btn_SETClick);
    connect(Btn_Exit, &QPushButton::clicked, this, &TForm_ParaSelect::Btn_ExitClick);
}

QWidget* TForm_ParaSelect::BuildMotorPanel() {
    auto* panel = new QWidget(this);
    panel->setObjectName("Panel1");
    panel->setGeometry(0, 0, kWidth, kPanelHeight);
    Char_Motor1 = Segments<SevenSegmentChar>(panel, "Char_Motor1", "Motor type", kMotorUnlit,
                                             {40, 16, 48, 80});
    Sw_Motor1 = Rocker(panel, "Sw_Motor1", "Motor type", {92, 24, 24, 64});
    hChar_Motor2 = Segments<SevenSegmentHex>(panel, "hChar_Motor2", "Rated power", kMotorUnlit,
                                             {136, 16, 88, 80});
    Sw_Motor2 = Rocker(panel, "Sw_Motor2", "Rated power", {228, 24, 24, 64});
    Char_Motor3 =
        Segments<SevenSegmentChar>(panel, "Char_Motor3", "Encoder", kMotorUnlit, {272, 16, 48, 80});
    Sw_Motor3 = Rocker(panel, "Sw_Motor3", "Encoder", {324, 24, 24, 64});
    Edit_Morot = TextBox(panel, "Edit_Morot", {16, 108, 100, 24});
    Edit_Text = TextBox(panel, "Edit_Text", {16, 138, 332, 24});

    connect(Sw_Motor1, &RockerSwitch::UpClick, this, [this] { Sw_Motor1Click(+1); });
    connect(Sw_Motor1, &RockerSwitch::DownClick, this, [this] { Sw_Motor1Click(-1); });
    connect(Sw_Motor2, &RockerSwitch::UpClick, this, [this] { Sw_Motor2Click(+1); });
    connect(Sw_Motor2, &RockerSwitch::DownClick, this, [this] { Sw_Motor2Click(-1); });
    connect(Sw_Motor3, &RockerSwitch::UpClick, this, [this] { Sw_Motor3Click(+1); });
    connect(Sw_Motor3, &RockerSwitch::DownClick, this, [this] { Sw_Motor3Click(-1); });
    return panel;
}

QWidget* TForm_ParaSelect::BuildMonitorPanel() {
    auto* panel = new QWidget(this);
    panel->setObjectName("Panel2");
    panel->setGeometry(0, 0, kWidth, kPanelHeight);
    iChar_AMonitor1 = Segments<SevenSegmentNumber>(panel, "iChar_AMonitor1", "Monitor item",
                                                   kMonitorUnlit, {40, 16, 48, 80});
    Sw_AMonitor1 = Rocker(panel, "Sw_AMonitor1", "Monitor item", {92, 24, 24, 64});
    iChar_AMonitor2 = Segments<SevenSegmentNumber>(panel, "iChar_AMonitor2", "Scale", kMonitorUnlit,
                                                   {140, 16, 176, 80});
    iChar_AMonitor2->SetDigitCount(4);
    Sw_AMonitor2 = Rocker(panel, "Sw_AMonitor2", "Scale", {324, 24, 24, 64});
    Edit_Commant = TextBox(panel, "Edit_Commant", {16, 112, 140, 24});

    RxSpinEdit1 = new NumberEdit(panel);
    RxSpinEdit1->setObjectName("RxSpinEdit1");
    RxSpinEdit1->setGeometry(172, 112, 96, 24);
    Label_Unit = new QLabel(panel);
    Label_Unit->setObjectName("Label_Unit");
    Label_Unit->setGeometry(276, 112, 80, 24);
    Label_Unit->setStyleSheet("color: cyan; font-weight: bold;");

    connect(Sw_AMonitor1, &RockerSwitch::UpClick, this, [this] { Sw_AMonitor1Click(+1); });
    connect(Sw_AMonitor1, &RockerSwitch::DownClick, this, [this] { Sw_AMonitor1Click(-1); });
    connect(Sw_AMonitor2, &RockerSwitch::UpClick, this, [this] { Sw_AMonitor2Click(+1); });
    connect(Sw_AMonitor2, &RockerSwitch::DownClick, this, [this] { Sw_AMonitor2Click(-1); });
    connect(RxSpinEdit1, &NumberEdit::ValueChanged, this, &TForm_ParaSelect::RxSpinEdit1Change);
    return panel;
}

// --- motor code ---------------------------------------------------------------

void TForm_ParaSelect::OpenMotor() {
    motor_ = ReadMotorCode(handOver_.EditValue);
    ShowMotorType();
    hChar_Motor2->SetText(Text(motor_.powerText));
    ShowEncoder();
    Panel1->show();
    Panel2->hide();
}

void TForm_ParaSelect::ShowMotorType() {
    const MotorType& type = MotorTypes()[motor_.type];
    Char_Motor1->SetPattern(type.segments, type.letter.empty() ? "-" : Text(type.letter));
    Edit_Morot->setText(Text(SeriesName(motor_.type)));
}

void TForm_ParaSelect::ShowEncoder() {
    const EncoderKind& encoder = Encoders()[motor_.encoder];
    Char_Motor3->SetPattern(encoder.segments, QString(QChar(encoder.shownAs)));
    Edit_Text->setText(Text(encoder.description));
}

void TForm_ParaSelect::Sw_Motor1Click(int delta) {
    motor_.type = StepMotorType(motor_.type, delta);
    ShowMotorType();
    motor_.encoder = DefaultEncoder(motor_.type);
    ShowEncoder();
}

void TForm_ParaSelect::Sw_Motor2Click(int delta) {
    motor_.power = StepRatedPower(motor_.power, delta);
    hChar_Motor2->SetText(Text(RatedPowers()[motor_.power]));
}

void TForm_ParaSelect::Sw_Motor3Click(int delta) {
    motor_.encoder = StepEncoder(motor_.type, motor_.encoder, delta);
    ShowEncoder();
}

// --- analog monitor -----------------------------------------------------------

void TForm_ParaSelect::OpenMonitor() {
    item_ = ReadMonitorItem(handOver_.EditValue);
    ShowMonitorItem();
    Panel2->show();
    Panel1->hide();
}

// The item's texts, and the scale at the item's maximum.
void TForm_ParaSelect::ShowMonitorItem() {
    const AnalogMonitorItem& item = MonitorItems()[item_];
    iChar_AMonitor1->SetValue(static_cast<unsigned>(item_));
    Edit_Commant->setText(Text(item.name));
    Label_Unit->setText(Text(item.unit));
    currentMaximum_ = item.maximumScale;
    scale_ = currentMaximum_;
    iChar_AMonitor2->SetValue(static_cast<unsigned>(scale_));
    RxSpinEdit1->SetRange(0, currentMaximum_);
    RxSpinEdit1->SetValue(currentMaximum_);
}

void TForm_ParaSelect::Sw_AMonitor1Click(int delta) {
    item_ = std::clamp(item_ + delta, 0, static_cast<int>(MonitorItems().size()) - 1);
    ShowMonitorItem();
}

void TForm_ParaSelect::Sw_AMonitor2Click(int delta) {
    scale_ = std::clamp(scale_ + delta, 1, currentMaximum_);
    RxSpinEdit1->SetValue(scale_);
}

void TForm_ParaSelect::RxSpinEdit1Change(double value) {
    if (value < RxSpinEdit1->Minimum() || value > RxSpinEdit1->Maximum()) {
        MessageService::Error(this, "Range over... ");
        return;
    }
    scale_ = static_cast<int>(value);
    iChar_AMonitor2->SetValue(static_cast<unsigned>(scale_));
}

// --- buttons ------------------------------------------------------------------

void TForm_ParaSelect::Btn_SETClick() {
    handOver_.EditValue = handOver_.SelectMotorMode == 1 ? ComposeMotorCode(motor_)
                                                         : ComposeMonitorValue(item_, scale_);
    accept();
}

void TForm_ParaSelect::Btn_ExitClick() {
    reject();
}
