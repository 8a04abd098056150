#pragma once
// The parameter editor window: reads all parameters of the drive in one block
// read, shows them group by group in a grid, and writes one parameter at a
// time as soon as the user changes it (in place for numbers, through the
// function-bit and selection dialogs for packed and compound values) or
// restores its default with INIT. Replies of the exchanges it starts come
// back to it, whichever editor was opened last.

#include <QWidget>
#include <array>
#include <functional>
#include <string>

#include "parameters/Catalogue.h"
#include "parameters/EditHandOver.h"
#include "parameters/ParameterGrid.h"
#include "protocol/Comm.h"

class MdiActivation;
class NumberEdit;
class QLabel;
class QPushButton;
class QTabBar;
class QTableWidget;
class RockerSwitch;

class TParameterFrm : public QWidget, public IParameterEditor {
    Q_OBJECT
  public:
    // Shows the modal progress window of a block read and returns once it has closed.
    using ProgressWindow = std::function<void()>;

    TParameterFrm(TComm& comm, ProgressWindow statusFormActive, QWidget* parent = nullptr);
    ~TParameterFrm() override;

    // Engine side.
    void BlockReadStep() override;
    void RollBackRefusedWrite() override;

    // Handlers.
    void FormActivate();
    void Sw_AxisUpDownUpClick();
    void Sw_AxisUpDownDownClick();
    void TabControl_ParaChange();
    void StringGrid_ParaClick();
    void StringGrid_ParaDblClick();
    void RxSpinEdit1KeyPress(int key);
    void RxSpinEdit1Exit();
    void Btn_ParameterReadClick();
    void Btn_ParaInitClick();
    void Btn_ExitClick();

    // The value text of a slot; slot k (1..19) holds parameter number k - 1.
    const ValueText& ParameterValue(int group, int slot) const {
        return ParameterValues[group][slot];
    }
    int SelectedGroup() const { return selectedGroup_; }

    static constexpr int kRows = 20;  // the header row and one row a slot
    static constexpr int kValueColumn = ParaGrid::kValueColumn;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void BuildUi();
    QWidget* BuildTopBar();
    QWidget* BuildGridArea();
    QWidget* BuildBottomBar();
    void FormCreate();
    void ShowAxis();
    void FillGroup();
    void ShowDisplayNumbers();

    // Grid rows are numbered as the window shows them: 0 the header, 1..19 the slots.
    int CurrentRow() const;
    int CurrentColumn() const;
    void SetCell(int column, int row, const QString& text);
    int CurrentCode() const { return selectedGroup_ * 100 + CurrentRow() - 1; }

    bool StringGrid_ParaKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void StartEdit();
    void BeginEdit(int code);
    void ShowNumberEditor(double minimum, EditKind kind, double maximum);
    void PlaceNumberEditor();
    template <typename Dialog>
    void EditInDialog();
    void WriteEditValue();
    void StoreValue(const ValueText& value);
    void SendStore(const ValueText& value);
    bool SendRead(const std::string& address);

    TComm& comm_;
    ProgressWindow statusFormActive_;
    int axisIndex_ = 0;
    int selectedGroup_ = 0;
    // [group][slot]; slot 0 is not used, slot 20 is never filled.
    std::array<std::array<ValueText, 21>, kGroupCount> ParameterValues;
    int EditorReadGroup = 0;
    int ReadSlot = 0;
    ValueText PreviousValue;
    TEditHandOver HandOver;
    // The slot the outstanding store is for: a refusal rolls back that slot,
    // even when the user has moved on meanwhile.
    int storeGroup_ = 0;
    int storeRow_ = 1;
    MdiActivation* activation_ = nullptr;

    QLabel* Panel1 = nullptr;
    QTabBar* TabControl_Para = nullptr;
    QTableWidget* StringGrid_Para = nullptr;
    NumberEdit* RxSpinEdit1 = nullptr;
    RockerSwitch* Sw_AxisUpDown = nullptr;
    QLabel* Label_ParaAxis = nullptr;
    QPushButton* Btn_ParaInit = nullptr;
    QPushButton* Btn_ParameterRead = nullptr;
    QPushButton* Btn_Exit = nullptr;
};
