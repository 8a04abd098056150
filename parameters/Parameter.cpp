#include "parameters/Parameter.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTableWidget>

#include "parameters/NumberEdit.h"
#include "parameters/ParaSelectForm.h"
#include "parameters/ParaSetBitForm.h"
#include "parameters/ParameterGrid.h"
#include "protocol/AlarmTables.h"
#include "protocol/Commands.h"
#include "widgets/MdiActivation.h"
#include "widgets/MessageService.h"
#include "widgets/RockerSwitch.h"

namespace {

// Slot k holds number k - 1, so the last slot of a group has the group's slot count.
constexpr int kLastSlot = kSlotsPerGroup;

QString FromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

TParameterFrm::TParameterFrm(TComm& comm, ProgressWindow statusFormActive, QWidget* parent)
    : QWidget(parent), comm_(comm), statusFormActive_(std::move(statusFormActive)) {
    BuildUi();
    FormCreate();
}

TParameterFrm::~TParameterFrm() {
    RxSpinEdit1->disconnect(this);  // closing moves the focus; this window is half gone by then
    if (comm_.EditorRef == this) comm_.EditorRef = nullptr;
    if (comm_.ReaderRef == this) comm_.ReaderRef = nullptr;
}

void TParameterFrm::FormCreate() {
    axisIndex_ = 0;
    ShowAxis();
    FillGroup();
    TabControl_Para->setCurrentIndex(0);
    TabControl_ParaChange();
    Btn_ParameterRead->setToolTip("서보드라이브 파라메타를 읽어 옵니다");
    Btn_ParaInit->setToolTip("파라메타를 초기값으로 복원합니다.");
    // Only axis 0 is ever addressed: the station byte on the wire is fixed.
    Sw_AxisUpDown->setEnabled(false);
    // Placing the cursor is not a selection by the user: INIT stays enabled.
    const QSignalBlocker quiet(StringGrid_Para);
    StringGrid_Para->setCurrentCell(0, 1);
}

// ---------------------------------------------------------------- activation

// Inside the main window the editor sits in a sub-window; the area says when it is the active one.
void TParameterFrm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!activation_) activation_ = new MdiActivation(this, [this] { FormActivate(); });
    activation_->Attach();
}

void TParameterFrm::FormActivate() {
    comm_.ActiveWindow = EditorActive;
}

// ---------------------------------------------------------------- axis

void TParameterFrm::ShowAxis() {
    const QString axis = FromUtf8(AxisChars[static_cast<std::size_t>(axisIndex_)]);
    Panel1->setText("Parameter Edit Axis " + axis);
    Label_ParaAxis->setText("Axis " + axis);
}

void TParameterFrm::Sw_AxisUpDownUpClick() {
    axisIndex_ = std::min(axisIndex_ + 1, static_cast<int>(AxisChars.size()) - 1);
    ShowAxis();
}

void TParameterFrm::Sw_AxisUpDownDownClick() {
    axisIndex_ = std::max(axisIndex_ - 1, 0);
    ShowAxis();
}

// ---------------------------------------------------------------- grid

int TParameterFrm::CurrentRow() const {
    return StringGrid_Para->currentRow() + 1;
}

int TParameterFrm::CurrentColumn() const {
    return StringGrid_Para->currentColumn();
}

void TParameterFrm::SetCell(int column, int row, const QString& text) {
    StringGrid_Para->item(row - 1, column)->setText(text);
}

void TParameterFrm::ShowDisplayNumbers() {
    for (int row = 1; row < kRows; ++row)
        SetCell(0, row, FromUtf8(DisplayNumber(selectedGroup_, row - 1)));
}

void TParameterFrm::FillGroup() {
    for (int row = 1; row < kRows; ++row) {
        const ParameterDef* def = FindParameter(ParameterCode(selectedGroup_, row - 1));
        SetCell(1, row, def ? FromUtf8(def->name) : QString());
        SetCell(3, row, def ? FromUtf8(def->unit) : QString());
        SetCell(4, row, def ? FromUtf8(def->description) : QString());
        SetCell(kValueColumn, row, FromUtf8(ParameterValues[selectedGroup_][row]));
    }
}

void TParameterFrm::TabControl_ParaChange() {
    RxSpinEdit1->hide();
    selectedGroup_ = std::max(TabControl_Para->currentIndex(), 0);
    ShowDisplayNumbers();
    FillGroup();
}

void TParameterFrm::StringGrid_ParaClick() {
    if (StringGrid_Para->currentRow() < 0) return;
    if (CurrentColumn() == kValueColumn) PlaceNumberEditor();
    Btn_ParaInit->setEnabled(!ParameterValues[selectedGroup_][CurrentRow()].empty());
}

// Over the current cell: its width, 2 pixels in from its left edge, 1 below its top.
void TParameterFrm::PlaceNumberEditor() {
    const QModelIndex index = StringGrid_Para->currentIndex();
    QRect cell = StringGrid_Para->visualRect(index);
    cell.translate(StringGrid_Para->viewport()->pos());
    RxSpinEdit1->setGeometry(cell.left() + 2, cell.top() + 1, cell.width(), cell.height() - 1);
}

bool TParameterFrm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == StringGrid_Para && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        return StringGrid_ParaKeyDown(key->key(), key->modifiers());
    }
    return QWidget::eventFilter(watched, event);
}

// True when the key is consumed.
bool TParameterFrm::StringGrid_ParaKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    if ((modifiers & ~Qt::KeypadModifier) == Qt::ControlModifier) return true;
    if (CurrentColumn() != kValueColumn) return false;
    StartEdit();
    return true;
}

void TParameterFrm::StringGrid_ParaDblClick() {
    if (CurrentColumn() == kValueColumn) StartEdit();
}

void TParameterFrm::StartEdit() {
    if (ParameterValues[selectedGroup_][CurrentRow()].empty()) {
        MessageService::Information(this, "Not used in this parameter!!!");
        return;
    }
    BeginEdit(CurrentCode());
}

// ---------------------------------------------------------------- editing

void TParameterFrm::BeginEdit(int code) {
    HandOver.EditCode = code;
    const ParameterDef* def = FindParameter(code);
    if (!def) return;
    switch (def->editKind) {
        case EditKind::SpinInteger:
        case EditKind::SpinReal:
            ShowNumberEditor(def->minimum, def->editKind, def->maximum);
            break;
        case EditKind::BitFields:
            EditInDialog<TForm_ParaSetting>();
            break;
        case EditKind::MotorSelection:
            HandOver.SelectMotorMode = 1;
            EditInDialog<TForm_ParaSelect>();
            break;
        case EditKind::MonitorSelection:
            HandOver.SelectMotorMode = 0;
            EditInDialog<TForm_ParaSelect>();
            break;
    }
}

template <typename Dialog>
void TParameterFrm::EditInDialog() {
    const ValueText current = ParameterValues[selectedGroup_][CurrentRow()];
    HandOver.EditValue = current;
    {
        Dialog dialog(HandOver, this);
        dialog.exec();
    }
    if (HandOver.EditValue != current) WriteEditValue();
}

void TParameterFrm::ShowNumberEditor(double minimum, EditKind kind, double maximum) {
    RxSpinEdit1->SetReal(kind == EditKind::SpinReal);
    RxSpinEdit1->SetRange(minimum, maximum);
    bool readable = false;
    const double seed = FromUtf8(ParameterValues[selectedGroup_][CurrentRow()]).toDouble(&readable);
    // A text the drive reported that is no number leaves the box empty for the user to fill.
    if (readable)
        RxSpinEdit1->SetValue(seed);
    else
        RxSpinEdit1->SetText({});
    PlaceNumberEditor();
    RxSpinEdit1->show();
    RxSpinEdit1->setFocus();
    RxSpinEdit1->selectAll();
}

// Enter and Escape both commit.
void TParameterFrm::RxSpinEdit1KeyPress(int) {
    const ParameterDef* def = FindParameter(HandOver.EditCode);
    if (CurrentColumn() != kValueColumn || !def) {
        RxSpinEdit1Exit();
        return;
    }
    const double value = RxSpinEdit1->ReadValue().value_or(def->minimum);
    if (!InRange(*def, value)) {
        MessageService::Error(this, "Range over.");
        return;
    }
    const ValueText text = FormatValue(value);
    StoreValue(text);
    RxSpinEdit1->hide();
    StringGrid_Para->setFocus();
    SendStore(text);
}

void TParameterFrm::RxSpinEdit1Exit() {
    RxSpinEdit1->hide();
    StringGrid_Para->setFocus();
}

void TParameterFrm::WriteEditValue() {
    StoreValue(HandOver.EditValue);
    StringGrid_Para->setFocus();
    SendStore(HandOver.EditValue);
}

// The new value goes into the grid and the table at once; the old one is kept
// in case the drive refuses it.
void TParameterFrm::StoreValue(const ValueText& value) {
    const int row = CurrentRow();
    SetCell(kValueColumn, row, FromUtf8(value));
    PreviousValue = ParameterValues[selectedGroup_][row];
    ParameterValues[selectedGroup_][row] = value;
    storeGroup_ = selectedGroup_;
    storeRow_ = row;
}

void TParameterFrm::SendStore(const ValueText& value) {
    const std::string data = ParameterAddress(storeGroup_, storeRow_ - 1) + value;
    comm_.EditorRef = this;
    comm_.Request(Cmd::STR, data);
}

void TParameterFrm::RollBackRefusedWrite() {
    ParameterValues[storeGroup_][storeRow_] = PreviousValue;
    if (storeGroup_ == selectedGroup_) SetCell(kValueColumn, storeRow_, FromUtf8(PreviousValue));
}

void TParameterFrm::Btn_ParaInitClick() {
    const ParameterDef* def = FindParameter(CurrentCode());
    if (!def) return;
    StoreValue(def->defaultValue);
    SendStore(def->defaultValue);
}

// ---------------------------------------------------------------- block read

void TParameterFrm::Btn_ParameterReadClick() {
    comm_.ContinuationKind = 1;
    EditorReadGroup = 0;
    ReadSlot = 1;
    comm_.ReaderRef = this;
    // A request that never went out (the port is closed) has nothing to show progress of.
    if (SendRead(ParameterAddress(0, 0)) && statusFormActive_) statusFormActive_();
}

// True when the request went out; a closed port aborts the exchange, which
// ends the read, and leaves the link idle instead of waiting for a reply.
bool TParameterFrm::SendRead(const std::string& address) {
    comm_.Request(Cmd::SET, address);
    return comm_.ContinuationKind == 1;
}

void TParameterFrm::BlockReadStep() {
    // A reply the decoder rejected leaves the previous slot's value in
    // ReadData; that value must not be stored under this slot.
    const bool rejected = comm_.LinkState == ReplyDone && comm_.CommError == 1;
    ParameterValues[EditorReadGroup][ReadSlot] = rejected ? ValueText() : comm_.ReadData.Data;
    if (ReadSlot == kLastSlot && EditorReadGroup < kGroupCount - 1) {
        ++EditorReadGroup;
        ReadSlot = 0;
    }
    if (ReadSlot == kLastSlot) {
        // Complete: the chain ends and the link goes idle.
        comm_.ContinuationKind = 0;
        comm_.LinkState = Idle;
        FillGroup();
        return;
    }
    comm_.TransferProgress += 100.0 / kSlotCount;
    ++ReadSlot;
    SendRead(ParameterAddress(EditorReadGroup, ReadSlot - 1));
}

void TParameterFrm::Btn_ExitClick() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}
