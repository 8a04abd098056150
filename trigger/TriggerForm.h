#pragma once
// The trigger monitoring window: the user picks two signals, a trigger source
// with its edge, point and level, and the time base; START arms the drive,
// waits for the trigger, reads the recording back in blocks and plots it,
// once ("Single") or again and again until STOP ("Nomal"). The rules live in
// TriggerCapture and TriggerSettings; this class builds the controls and
// shows what they ask for.

#include <QWidget>

#include "protocol/Comm.h"
#include "trigger/TriggerCapture.h"
#include "trigger/TriggerSettings.h"

class LedBar;
class Plot;
class QComboBox;
class QLabel;
class QMdiSubWindow;
class QPushButton;
class QRadioButton;
class QSpinBox;
class RockerSwitch;
class RoundLedButton;
class TiThreadTimers;

class TFrmTrigger : public QWidget, public ITriggerWindow, private ITriggerCaptureView {
    Q_OBJECT
  public:
    explicit TFrmTrigger(TComm& comm, QWidget* parent = nullptr);
    ~TFrmTrigger() override;

    // Engine side.
    void SetLinkControls(bool enabled) override;
    void ReadTriggerCapture() override;

    // Handlers.
    void FormActivate();
    void FormDeactivate();
    void ComboBox1Change();
    void ComboBox3Change();
    void Led_IOSelClick();
    void SpinEdit_TriggerDivisionChange();
    void Btn_StartTriggerClick();
    void Btn_ClearClick();
    void SwR_UpDownAxisTriggerUpClick();
    void SwR_UpDownAxisTriggerDownClick();
    void Btn_ServoAlarmResetTriggerClick();
    void Btn_ExitTriggerClick();

    // The settings column as it stands.
    TriggerSettings Settings() const;
    const TriggerCapture& Capture() const { return capture_; }
    int TriggerAxis() const { return triggerAxis_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildUi();
    QWidget* BuildSettingsColumn();
    QWidget* BuildPlotArea();
    QWidget* BuildBottomBar();
    void FormCreate();
    void FillTriggerSources(bool data);
    void ShowAxis();
    void SendAliveCheck(const std::string& command);
    void HookActivation(QMdiSubWindow* sub);
    void BlinkTick();

    // ITriggerCaptureView
    void SetSequenceTimer(bool on) override;
    void SetBlinking(bool on) override;
    void SetEscapeTimer(bool on) override;
    void ShowProgress(double percent) override;
    void HideProgress() override;
    void ClearPlot() override;
    void PlotCapture(const std::vector<TriggerPair>& pairs,
                     const std::vector<TriggerGap>& gaps) override;
    void ShowNote(const std::string& note) override;
    void ShowCapturing(bool capturing) override;
    void PauseMs(int ms) override;

    TComm& comm_;
    TriggerCapture capture_;
    int triggerAxis_ = 0;
    bool active_ = false;
    bool activationHooked_ = false;
    bool closing_ = false;

    QComboBox* ComboBox1 = nullptr;
    QComboBox* ComboBox2 = nullptr;
    QComboBox* ComboBox3 = nullptr;
    RoundLedButton* Led_IOSel = nullptr;
    QSpinBox* SpinEdit_TriggerDivision = nullptr;
    QSpinBox* SpinEdit_TriggerOfData = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QSpinBox* SpinEdit_TriggerPoint = nullptr;
    QSpinBox* SpinEdit_TriggeredValue = nullptr;
    Plot* Plot_Trigger = nullptr;
    LedBar* LedBar1_Trigger = nullptr;
    QLabel* Label_StatusTrigger = nullptr;
    QLabel* Label_NoteTrigger = nullptr;  // what is missing from the recording shown
    QPushButton* ToggleSw_SingleNomal = nullptr;
    QPushButton* Btn_Clear = nullptr;
    RockerSwitch* SwR_UpDownAxisTrigger = nullptr;
    QLabel* Label_AxisTrigger = nullptr;
    QPushButton* Btn_ExitTrigger = nullptr;
    QPushButton* Btn_ServoAlarmResetTrigger = nullptr;
    QPushButton* Btn_StartTrigger = nullptr;
    TiThreadTimers* ThreadTimers_Trigger = nullptr;
};
