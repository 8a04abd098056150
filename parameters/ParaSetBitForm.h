#pragma once
// The function-bit settings dialog: sets a packed function-bit parameter by
// choosing a named option for each of its digits, or the control mode Pr-0.00
// with eleven lamps. It reads EditCode and EditValue of the hand-over when it
// opens and, on SET, leaves the composed value in EditValue; it sends nothing.

#include <QDialog>
#include <array>
#include <string>
#include <vector>

#include "parameters/EditHandOver.h"

class QComboBox;
class QLabel;
class QPushButton;
class QWidget;
class RoundLedButton;

class TForm_ParaSetting : public QDialog {
    Q_OBJECT
  public:
    explicit TForm_ParaSetting(TEditHandOver& handOver, QWidget* parent = nullptr);

    // The value texts of Pr-0.00 in lamp order.
    std::vector<std::string> ControlModeCodes;

  private:
    void BuildUi();
    QWidget* BuildChoicePanel();
    QWidget* BuildModePanel();
    void BuildChoices();
    void ShowControlMode();
    void ShowChoices();
    void iLedRoundClick(int k);
    void Btn_SetParaClick();
    void Btn_ExitClick();
    std::string ComposeValue() const;

    TEditHandOver& handOver_;
    QLabel* Panel3 = nullptr;
    QLabel* Panel4 = nullptr;
    QWidget* Panel1 = nullptr;
    QWidget* Panel5 = nullptr;
    std::array<QLabel*, 4> iLabel{};         // iLabel1 .. iLabel4
    std::array<QComboBox*, 4> ComboBox{};    // ComboBox1 .. ComboBox4: characters 1 .. 4
    std::vector<RoundLedButton*> iLedRound;  // iLedRound1 .. iLedRound11
    QPushButton* Btn_SetPara = nullptr;
    QPushButton* Btn_Exit = nullptr;
};
