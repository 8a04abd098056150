#pragma once
// The selection dialog for the compound codes: the motor code of Pr-0.01
// (type, rated power, encoder) and the analog monitor settings (item, scale),
// shown on seven-segment displays and stepped with rocker switches. It reads
// EditValue and SelectMotorMode of the hand-over when it opens and, on SET,
// leaves the composed code in EditValue; it sends nothing.

#include <QDialog>

#include "parameters/EditHandOver.h"
#include "parameters/MotorCode.h"

class QLabel;
class QLineEdit;
class QPushButton;
class NumberEdit;
class RockerSwitch;
class SevenSegmentChar;
class SevenSegmentHex;
class SevenSegmentNumber;

class TForm_ParaSelect : public QDialog {
    Q_OBJECT
  public:
    explicit TForm_ParaSelect(TEditHandOver& handOver, QWidget* parent = nullptr);

  private:
    void BuildUi();
    QWidget* BuildMotorPanel();
    QWidget* BuildMonitorPanel();
    void OpenMotor();
    void OpenMonitor();

    void ShowMotorType();
    void ShowEncoder();
    void Sw_Motor1Click(int delta);
    void Sw_Motor2Click(int delta);
    void Sw_Motor3Click(int delta);

    void ShowMonitorItem();
    void Sw_AMonitor1Click(int delta);
    void Sw_AMonitor2Click(int delta);
    void RxSpinEdit1Change(double value);

    void Btn_SETClick();
    void Btn_ExitClick();

    TEditHandOver& handOver_;
    MotorChoice motor_;
    int item_ = 0;
    int scale_ = 0;
    int currentMaximum_ = 0;

    QWidget* Panel1 = nullptr;
    QWidget* Panel2 = nullptr;
    SevenSegmentChar* Char_Motor1 = nullptr;
    SevenSegmentHex* hChar_Motor2 = nullptr;
    SevenSegmentChar* Char_Motor3 = nullptr;
    RockerSwitch* Sw_Motor1 = nullptr;
    RockerSwitch* Sw_Motor2 = nullptr;
    RockerSwitch* Sw_Motor3 = nullptr;
    QLineEdit* Edit_Morot = nullptr;
    QLineEdit* Edit_Text = nullptr;
    SevenSegmentNumber* iChar_AMonitor1 = nullptr;
    SevenSegmentNumber* iChar_AMonitor2 = nullptr;
    RockerSwitch* Sw_AMonitor1 = nullptr;
    RockerSwitch* Sw_AMonitor2 = nullptr;
    QLineEdit* Edit_Commant = nullptr;
    NumberEdit* RxSpinEdit1 = nullptr;
    QLabel* Label_Unit = nullptr;
    QPushButton* Btn_SET = nullptr;
    QPushButton* Btn_Exit = nullptr;
};
