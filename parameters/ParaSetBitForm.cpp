#include "parameters/ParaSetBitForm.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "parameters/BitFieldChoices.h"
#include "parameters/Catalogue.h"
#include "parameters/FormFonts.h"
#include "widgets/RoundLedButton.h"

namespace {

constexpr int kWidth = 247;
constexpr int kPanelTop = 33 + 24;
constexpr int kPanelHeight = 217;

QLabel* Banner(QWidget* parent, const char* name, int top, int height, const QColor& color,
               int pixels) {
    auto* banner = new QLabel(parent);
    banner->setObjectName(name);
    banner->setGeometry(0, top, kWidth, height);
    banner->setAlignment(Qt::AlignCenter);
    banner->setFrameShape(QFrame::Panel);
    banner->setFrameShadow(QFrame::Raised);
    banner->setFont(ArialPixels(pixels, true));
    banner->setStyleSheet(QString("color: %1;").arg(color.name()));
    return banner;
}

}  // namespace

TForm_ParaSetting::TForm_ParaSetting(TEditHandOver& handOver, QWidget* parent)
    : QDialog(parent), handOver_(handOver) {
    for (const ControlMode& mode : ControlModes()) ControlModeCodes.push_back(mode.code);
    BuildUi();
    Panel1->hide();
    Panel5->hide();
    BuildChoices();
}

void TForm_ParaSetting::BuildUi() {
    setObjectName("Form_ParaSetting");
    setWindowTitle("ParaSetting");
    setFixedSize(kWidth, 325);
    setFont(ArialPixels(11));

    Panel3 = Banner(this, "Panel3", 0, 33, Qt::blue, 16);
    Panel4 = Banner(this, "Panel4", 33, 24, Qt::red, 13);
    Panel1 = BuildChoicePanel();
    Panel5 = BuildModePanel();

    Btn_SetPara = new QPushButton("SET", this);
    Btn_SetPara->setObjectName("Btn_SetPara");
    Btn_SetPara->setGeometry(8, kPanelTop + kPanelHeight + 5, 156, 41);
    Btn_Exit = new QPushButton("EXIT", this);
    Btn_Exit->setObjectName("Btn_Exit");
    Btn_Exit->setGeometry(174, kPanelTop + kPanelHeight + 5, 65, 41);
    for (QPushButton* button : {Btn_SetPara, Btn_Exit}) {
        button->setAutoDefault(false);
        button->setFont(ArialPixels(13, true));
    }
    connect(Btn_SetPara, &QPushButton::clicked, this, &TForm_ParaSetting::Btn_SetParaClick);
    connect(Btn_Exit, &QPushButton::clicked, this, &TForm_ParaSetting::Btn_ExitClick);
}

// Four rows, top to bottom for characters 4, 3, 2, 1 of the value.
QWidget* TForm_ParaSetting::BuildChoicePanel() {
    auto* panel = new QFrame(this);
    panel->setObjectName("Panel1");
    panel->setGeometry(0, kPanelTop, kWidth, kPanelHeight);
    for (int row = 1; row <= 4; ++row) {
        const int k = 5 - row;
        auto* label = new QLabel(panel);
        label->setObjectName(QString("iLabel%1").arg(k));
        label->setGeometry(19, 8 + 48 * (row - 1), 209, 16);
        label->setStyleSheet("color: navy;");
        auto* combo = new QComboBox(panel);
        combo->setObjectName(QString("ComboBox%1").arg(k));
        combo->setGeometry(19, 24 + 48 * (row - 1), 209, 22);
        iLabel[k - 1] = label;
        ComboBox[k - 1] = combo;
    }
    return panel;
}

QWidget* TForm_ParaSetting::BuildModePanel() {
    auto* panel = new QFrame(this);
    panel->setObjectName("Panel5");
    panel->setGeometry(0, kPanelTop, kWidth, kPanelHeight);
    const auto modes = ControlModes();
    for (int i = 0; i < static_cast<int>(modes.size()); ++i) {
        auto* led = new RoundLedButton(panel);
        led->setObjectName(QString("iLedRound%1").arg(i + 1));
        led->setGeometry(40, 10 + 18 * i, 17, 17);
        led->SetOnColor(Qt::red);
        led->setAccessibleName(QString::fromStdString(modes[i].label));
        auto* label = new QLabel(QString::fromStdString(modes[i].label), panel);
        label->setObjectName(QString("Label_Mode%1").arg(i + 1));
        label->setGeometry(64, 10 + 18 * i, 170, 17);
        label->setFont(ArialPixels(11, true));
        connect(led, &RoundLedButton::clicked, this, [this, i] { iLedRoundClick(i + 1); });
        iLedRound.push_back(led);
    }
    return panel;
}

void TForm_ParaSetting::BuildChoices() {
    const int code = handOver_.EditCode;
    Panel3->setText(QString::fromStdString(EditCaption(GroupOf(code), NumberOf(code))));
    Panel4->setText(QString::fromStdString(FunctionTitle(code)));
    (code == 0 ? Panel5 : Panel1)->show();
    if (code == 0)
        ShowControlMode();
    else
        ShowChoices();
}

void TForm_ParaSetting::ShowControlMode() {
    const int active = ControlModeIndex(handOver_.EditValue);
    for (int i = 0; i < static_cast<int>(iLedRound.size()); ++i) iLedRound[i]->SetOn(i == active);
}

void TForm_ParaSetting::ShowChoices() {
    const BitFieldLayout* layout = FindBitFieldLayout(handOver_.EditCode);
    if (!layout) return;
    for (int k = 1; k <= 4; ++k) {
        const ChoiceRow& row = layout->ForCharacter(k);
        QComboBox* combo = ComboBox[k - 1];
        iLabel[k - 1]->setText(QString::fromStdString(row.label));
        combo->clear();
        for (const std::string& entry : row.entries) combo->addItem(QString::fromStdString(entry));
        combo->setEnabled(row.enabled);
        combo->setCurrentIndex(ChosenEntry(*layout, handOver_.EditValue, k));
    }
}

void TForm_ParaSetting::iLedRoundClick(int k) {
    for (RoundLedButton* led : iLedRound) led->SetOn(false);
    iLedRound[k - 1]->SetOn(true);
}

std::string TForm_ParaSetting::ComposeValue() const {
    if (handOver_.EditCode == 0) {
        for (std::size_t i = 0; i < iLedRound.size(); ++i)
            if (iLedRound[i]->IsOn()) return ControlModeCodes[i];
        return handOver_.EditValue;  // no mode chosen: nothing to change
    }
    const BitFieldLayout* layout = FindBitFieldLayout(handOver_.EditCode);
    if (!layout) return handOver_.EditValue;
    std::array<int, 4> chosen{};
    for (int k = 1; k <= 4; ++k) chosen[k - 1] = ComboBox[k - 1]->currentIndex();
    const std::string composed = ComposeBitFields(*layout, handOver_.EditValue, chosen);
    // A short text such as "765" holds the same digits as "0765": unchanged, not rewritten.
    return composed == FourDigits(handOver_.EditValue) ? handOver_.EditValue : composed;
}

void TForm_ParaSetting::Btn_SetParaClick() {
    handOver_.EditValue = ComposeValue();
    accept();
}

void TForm_ParaSetting::Btn_ExitClick() {
    reject();
}
