#pragma once
// The alarm history window: shows the drive's last eight alarms with their
// names, clears that history in the drive, and loads and plots what the drive
// recorded at its last alarm for up to three chosen quantities.

#include <QWidget>
#include <array>

#include "alarms/AlarmDataLoad.h"
#include "protocol/Comm.h"

class Plot;
class QComboBox;
class QLabel;
class QPushButton;
class QSplitter;
class QTableWidget;
class TiThreadTimers;

class TForm_ErrorDisplay : public QWidget, public IAlarmHistoryWindow {
    Q_OBJECT
  public:
    explicit TForm_ErrorDisplay(TComm& comm, QWidget* parent = nullptr);
    ~TForm_ErrorDisplay() override;

    // Engine side: the EHY decoder fills the table.
    void SetHistoryRow(int row, const std::string& code, const std::string& name) override;

    // Handlers.
    void FormActivate();
    void Btn_ErrorHistoryLoadClick();
    void Btn_ErrorHistoryClearClick();
    void ComboBox1Change();
    void Btn_ErrorLoadDClick();
    void ThreadTimers_ErrorTimer1();
    void Btn_ExitClick();

    const AlarmDataLoad& LoadSequence() const { return load_; }

    static constexpr int kRows = 9;  // the heading row and eight history rows
    static constexpr int kTimerMs = 10;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void BuildUi();
    QWidget* BuildSelectColumn();
    void FormCreate();
    std::array<QComboBox*, AlarmData::kSelectors> Selectors() const;
    void PlotReply(int channel, const AlarmSamples* samples);
    void FitValueAxis();
    void AddNote(const QString& note);
    // After a clear: the history is read once the drive has answered the clear.
    void ThreadTimers_ErrorTimer2();

    TComm& comm_;
    AlarmDataLoad load_;
    bool activationHooked_ = false;
    double plottedMin_ = 0.0, plottedMax_ = 0.0;
    bool plottedAny_ = false;

    QSplitter* Splitter1 = nullptr;
    Plot* Plot_Error = nullptr;
    QTableWidget* StringGrid_ErrorHistory = nullptr;
    QLabel* Label_Select = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QComboBox* ComboBox2 = nullptr;
    QComboBox* ComboBox3 = nullptr;
    QPushButton* Btn_ErrorLoadD = nullptr;
    QLabel* Label_LoadNote = nullptr;
    QPushButton* Btn_ErrorHistoryClear = nullptr;
    QPushButton* Btn_ErrorHistoryLoad = nullptr;
    QPushButton* Btn_Exit = nullptr;
    TiThreadTimers* ThreadTimers_Error = nullptr;
};
