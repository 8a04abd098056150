#pragma once
// The monitoring window: the drive's motor type, version and servo status,
// the twelve I/O signal LEDs and up to four live values, polled with MDM and
// STS; a graph page; and the page of drive operations (jog, test run, auto
// tuning, offsets, homing and the ETC procedures). Its rules live in the
// plain classes of this folder; this class builds the controls, forwards
// their events and shows the results.

#include <QElapsedTimer>
#include <QWidget>
#include <array>
#include <vector>

#include "monitoring/MonitorLink.h"
#include "monitoring/MonitorStream.h"
#include "monitoring/Operations.h"
#include "monitoring/StartupSequence.h"
#include "protocol/Comm.h"

class ArrowLed;
class LedMatrix;
class MdiActivation;
class Plot;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class RectLed;
class RockerSwitch;
class RoundLedButton;
class SevenSegmentReal;
class SlidingScale;
class TiThreadTimers;
class ToggleSwitch;

namespace MonitoringText {
inline constexpr const char* NoItem = "모니터링하고자하는 항목을 선택하세요.";
inline constexpr const char* NoMode = "모니터링하고자하는 LED를 선택하세요..";
inline constexpr const char* MonitoringStopped = "진행중이던 모니터링이 중지 됩니다.";
}  // namespace MonitoringText

class TFrm_Monitoring : public QWidget, public IMonitorWindow, private StartupSequence::IWindow {
    Q_OBJECT
  public:
    enum Pages { NormalPage = 0, GraphPage = 1, TuningPage = 2 };

    explicit TFrm_Monitoring(TComm& comm, QWidget* parent = nullptr);
    ~TFrm_Monitoring() override;

    // Engine side.
    void SetLinkControls(bool enabled) override;
    void StopOnAbort() override;
    void StopPollTimer() override;
    void AcknowledgeAlarm() override;
    bool ManualOffsetActive() const override { return offset_.OffsetMode != 0; }
    void ShowMonitorValues() override;
    void ReadMonitorStream() override;
    void ShowMotorName(const std::string& name) override;
    void ShowVersion(const std::string& version) override;
    void ShowDriveStatus(const StatusReply& status) override;

    // Handlers; tests call them too.
    void FormActivate();
    void FormDeactivate();
    void Combo1Change();
    void Led_SelectDClick();
    void Led_SelectDGClick();
    void Sw_MonitoringChange();
    void PageControl_MonitorChange();
    void SwR_UpDownAxisUpClick();
    void SwR_UpDownAxisDownClick();
    void SpinEdit_TimeSelectChange();
    void Btn_ExitClick();
    void Btn_GraphClearClick();

    // Drive operations.
    void Sw_ServoOnChange();
    void Btn_ServoAlarmResetClick();
    void Sw_TestRunChange();
    void SwR_JogOnChange();
    void Led_JogPMouseDown();
    void Led_JogNMouseDown();
    void Led_JogMouseUp();
    void Btn_SaveJogSpeedClick();
    void Btn_AutoTuningClick();
    void Btn_AutoOffsetClick();
    void Btn_HomingClick();
    void Btn_GainBackupClick();
    void Btn_ResetABSClick();
    void Btn_InitUserParaClick();
    void Led_SpeedClick();
    void Led_TorqueClick();
    void Led_CurrentClick();
    void Led_ManualClick();
    void Sw_OffsetDownClick();
    void Sw_OffsetUpClick();
    void Btn_OffsetSaveClick();
    void Btn_ESCOffsetClick();

    // Timer channels.
    void ThreadTimers1Timer1();   // plotting of the monitoring stream
    void Timers_MonitorTimer1();  // start-up sequence
    void Timers_MonitorTimer9();  // status LED blink
    void ThreadTimers1Timer2();   // MDM/STS polling
    void ThreadTimers1Timer3();   // manual offset
    void ThreadTimers1Timer5();   // jog commands
    void ThreadTimers1Timer6();   // ETC progress
    void ThreadTimers1Timer8();   // TAT progress
    void ThreadTimers1Timer9();   // jog speed read

    TiThreadTimers* MonitorTimers() const { return Timers_Monitor; }
    TiThreadTimers* OperationTimers() const { return ThreadTimers1; }
    int PollStep() const { return startup_.PollStep; }
    int JogCommand() const { return JogCommand_; }
    Plot* GraphPlot() const { return Plot_Graph; }
    const StreamRing& Stream() const { return stream_; }
    std::int64_t Unplottable() const { return unplottable_; }
    double StreamTime = 0.0;  // x of the next stream sample; CLEAR sets it to 0
    double StreamStep = 0.0;  // seconds between stream samples
    const std::string& SlotCode(int slot) const {
        return SlotCode_[static_cast<std::size_t>(slot)];
    }

    // The selected axis, kept while the program runs.
    static int MonitorAxis;

  signals:
    // RESET: the main window darkens its alarm LED and empties its status text.
    void AlarmAcknowledged();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void BuildUi();
    QWidget* BuildSelectColumn();
    QWidget* BuildNormalPage();
    QWidget* BuildReadouts();
    QWidget* BuildDriveInfo();
    QWidget* BuildGraphPage();
    QWidget* BuildTuningPage();
    QWidget* BuildOffsetGroup();
    QWidget* BuildTestGroup();
    QWidget* BuildGainEtcGroups();
    QWidget* BuildBottomBar();
    void BuildTimers();
    void ConnectOperations();
    void FormCreate();
    void InitOperations();

    // StartupSequence::IWindow.
    void ApplyIoAssignment(int parameter, const std::string& value) override;
    void StartupComplete() override;

    void ShowIoLabels();
    void ShowIoWord(unsigned word);
    void ShowAxis();
    void SelectAxis(int step);
    void StartStartup(bool suppressSwitches = true);
    void StopStartup();
    void SetPagesEnabled(bool enabled);
    void ClearStreamlessSlots();
    void SetSwitchQuietly(ToggleSwitch* sw, bool on);
    void SetComboRange(int first, int last, bool enabled);
    void StartMonitoring();
    void StopMonitoring();
    void ApplyPageSwitches();
    void EnterNormalPage();
    void EnterGraphPage();
    void EnterTuningPage();
    // The graph page (MonitoringGraph.cpp).
    void SetUpGraph();
    void RebuildGraphChannels();
    void AddGraphValues(const std::vector<double>& values);
    void StartStream();
    void ShowStreamStatus();
    void SetOperationControls(bool enabled);
    void SetJogLockedControls(bool enabled);
    void SetOffsetLockedControls(bool enabled);
    void SetOffsetSelector(RoundLedButton* lit);
    void StartProgress(ProgressPoll::Kind kind, int channel);
    void FinishProgress(int channel, const ProgressResult& result);
    void SendNow(std::string_view command, std::string_view data, std::uint8_t linkState);
    void Wait(int ms);
    void SetBusyCursor();
    void RestoreCursor();
    RoundLedButton* SelectedOffsetLed() const;

    TComm& comm_;
    CommLink link_;
    MdiActivation* activation_ = nullptr;
    StartupSequence startup_;
    std::array<std::string, 9> SlotCode_;
    int MonitorPage = NormalPage;
    int JogCommand_ = JogOff;
    JogSpeedRead jogRead_;
    ProgressPoll progress_;
    ManualOffset offset_;
    bool busyCursor_ = false;
    static constexpr std::int32_t ContinuationStream = 2;
    StreamRing stream_;
    StreamRate rate_;
    std::int64_t unplottable_ = 0;
    QElapsedTimer channelClock_;  // MDM points: seconds since the channels were made
    QElapsedTimer streamClock_;   // arrival times for the achieved period

    // Left column.
    RoundLedButton* Led_SelectD = nullptr;
    RoundLedButton* Led_SelectDG = nullptr;
    std::array<QComboBox*, 9> Combo{};
    QSpinBox* SpinEdit_TimeSelect = nullptr;
    QTabWidget* PageControl_Monitor = nullptr;
    // Page "Nomal Monitor".
    std::array<QLabel*, 9> Label_Dig{};
    std::array<QLabel*, 9> Label_Unit{};
    ArrowLed* LedA_N = nullptr;
    ArrowLed* LedA_P = nullptr;
    QLabel* Label_MotorW = nullptr;
    QLabel* Label_SoftVersion = nullptr;
    QCheckBox* CheckBox_IOMot = nullptr;
    LedMatrix* LedMatrix_Mot = nullptr;
    RectLed* LedR_ControlModeP = nullptr;
    RectLed* LedR_ControlModeV = nullptr;
    RectLed* LedR_ControlModeT = nullptr;
    RectLed* LedR_ControlModeC = nullptr;
    RectLed* LedR_SpeedMatch = nullptr;
    RectLed* LedR_TGon = nullptr;
    RectLed* LedR_Status = nullptr;
    // Page "Tuning.Etc".
    RoundLedButton* Led_Speed = nullptr;
    RoundLedButton* Led_Torque = nullptr;
    RoundLedButton* Led_Current = nullptr;
    QPushButton* Btn_AutoOffset = nullptr;
    RoundLedButton* Led_Manual = nullptr;
    RockerSwitch* Sw_Offset = nullptr;
    QPushButton* Btn_OffsetSave = nullptr;
    QPushButton* Btn_ESCOffset = nullptr;
    SevenSegmentReal* Seg_Offset = nullptr;
    QLabel* Label_OffsetUnit = nullptr;
    ToggleSwitch* SwR_JogOn = nullptr;
    ArrowLed* Led_JogN = nullptr;
    ArrowLed* Led_JogP = nullptr;
    QSpinBox* SEdit_JogSpeed = nullptr;
    QPushButton* Btn_SaveJogSpeed = nullptr;
    QPushButton* Sw_TestRun = nullptr;
    SlidingScale* Sliding_Speed = nullptr;
    QPushButton* Btn_AutoTuning = nullptr;
    QLineEdit* Edit_GainValue = nullptr;
    QPushButton* Btn_InitUserPara = nullptr;
    QPushButton* Btn_ResetABS = nullptr;
    QPushButton* Btn_Homing = nullptr;
    QPushButton* Btn_GainBackup = nullptr;
    // Bottom bar.
    QPushButton* Btn_ServoAlarmReset = nullptr;
    QPushButton* Btn_Exit = nullptr;
    RockerSwitch* SwR_UpDownAxis = nullptr;
    QLabel* Label_Axis = nullptr;
    ToggleSwitch* Sw_ServoOn = nullptr;
    ToggleSwitch* Sw_Monitoring = nullptr;
    QFrame* Panel_Graph = nullptr;
    QPushButton* Btn_GraphClear = nullptr;
    // Page "Graph Monitor".
    Plot* Plot_Graph = nullptr;
    QLabel* Label_StreamStatus = nullptr;

    TiThreadTimers* Timers_Monitor = nullptr;
    TiThreadTimers* ThreadTimers1 = nullptr;
};
