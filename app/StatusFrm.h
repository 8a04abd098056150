#pragma once
// The progress window of block transfers: it shows TransferProgress on an LED
// bar, blinks its caption, closes itself once the transfer is through (or,
// for a block read, once the engine has ended it) and aborts the exchange when
// the user closes it first.

#include <QDialog>

class TComm;
class TiThreadTimers;
class LedBar;
class QLabel;
class QPushButton;

class TFrm_Status : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kTickMs = 50;

    explicit TFrm_Status(TComm& comm, QWidget* parent = nullptr);

    void Btn_CancelClick();
    void Timer_StatusTimer();
    // Closing the window before the transfer is through aborts it.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void BuildUi();
    void ShowCaption();

    TComm& comm_;
    TiThreadTimers* ThreadTimers_Status;
    LedBar* LedBar_Progress = nullptr;
    QLabel* Label_Status = nullptr;
    QPushButton* Btn_Cancel = nullptr;
    int tickCount_ = 0;
    bool captionYellow_ = true;
    bool transferThrough_ = false;
    bool showsRead_ = false;  // the block read running when the window opened
};
