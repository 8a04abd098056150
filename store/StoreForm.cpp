#include "store/StoreForm.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include "platform/ThreadTimers.h"
#include "protocol/AlarmTables.h"
#include "store/ParameterFile.h"
#include "widgets/MessageService.h"

namespace {

QString FromBytes(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

bool ShowPrintDialog(QPrinter& printer, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace

TFormStore::TFormStore(TComm& comm, StoreServices services, QWidget* parent)
    : QWidget(parent),
      comm_(comm),
      services_(std::move(services)),
      transfer_(comm, values_),
      ThreadTimers_PrmSet(new TiThreadTimers(this)) {
    if (!services_.ChoosePrinter) services_.ChoosePrinter = ShowPrintDialog;
    if (!services_.StoreAxis) services_.StoreAxis = std::make_shared<int>(0);
    BuildUi();
    FormCreate();
}

// The pacing timer goes first: no tick may reach a window that is half gone.
TFormStore::~TFormStore() {
    delete ThreadTimers_PrmSet;
    ThreadTimers_PrmSet = nullptr;
    transfer_.StopWrite();
}

void TFormStore::FormCreate() {
    ShowAxis();
    ThreadTimers_PrmSet->setObjectName("ThreadTimers_PrmSet");
    ThreadTimers_PrmSet->SetInterval(1, kWriteTickMs);
    ThreadTimers_PrmSet->SetOnTimer(1, [this](TiThreadTimers*) { ThreadTimers_PrmSetTimer1(); });
    transfer_.ReadComplete = [this] { ShowList(); };
    const QFileInfo directory(services_.ParameterDirectory);
    if (directory.isDir() && directory.isExecutable()) {
        ChangeDirectory(directory.absoluteFilePath());
    } else {
        MessageService::Warning(this, StoreText::NoDirectory);
        ChangeDirectory(QDir::currentPath());
    }
    // The list shows a set once one is read or loaded; a new window has none.
}

// ---------------------------------------------------------------- activation

bool TFormStore::event(QEvent* event) {
    // Only on its own, as in tests; inside the main window the sub-window's activation counts.
    if (event->type() == QEvent::WindowActivate && isWindow()) FormActivate();
    return QWidget::event(event);
}

void TFormStore::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!sub || activationHooked_) return;
    connect(sub, &QMdiSubWindow::aboutToActivate, this, &TFormStore::FormActivate);
    activationHooked_ = true;
    if (sub->mdiArea() && sub->mdiArea()->activeSubWindow() == sub) FormActivate();
}

void TFormStore::FormActivate() {
    comm_.ActiveWindow = StoreActive;
}

// ---------------------------------------------------------------- axis

QString TFormStore::AxisLabel() const {
    return QString::fromStdString(AxisChars[static_cast<std::size_t>(*services_.StoreAxis)]);
}

void TFormStore::ShowAxis() {
    Edit_AxisStore->setText(AxisLabel());
}

void TFormStore::RxSpinButton1TopClick() {
    *services_.StoreAxis =
        std::min(*services_.StoreAxis + 1, static_cast<int>(AxisChars.size()) - 1);
    ShowAxis();
}

void TFormStore::RxSpinButton1BottomClick() {
    *services_.StoreAxis = std::max(*services_.StoreAxis - 1, 0);
    ShowAxis();
}

// ---------------------------------------------------------------- the list

void TFormStore::ShowList() {
    TextListBox1->clear();
    for (const std::string& line : values_.ListLines()) TextListBox1->addItem(FromBytes(line));
}

// ---------------------------------------------------------------- transfers

void TFormStore::Btn_ReadStoreClick() {
    // A request that never went out (the port is closed) has nothing to show progress of.
    if (transfer_.StartRead(AxisLabel().toStdString()) && services_.StatusForm_Active)
        services_.StatusForm_Active();
}

void TFormStore::Btn_PcToServoStoreClick() {
    transfer_.StartWrite(AxisLabel().toStdString());
    SetStatusText({});
    ThreadTimers_PrmSet->SetEnabled(1, true);
    if (services_.StatusForm_Active) services_.StatusForm_Active();
    // The progress window closes once the drive has answered the final store;
    // closed earlier, the user cancelled, and the write stops there.
    if (transfer_.Writing()) {
        transfer_.StopWrite();
        comm_.TransferOk = 0;
    }
    ThreadTimers_PrmSet->SetEnabled(1, false);
    ShowResult();
}

void TFormStore::ThreadTimers_PrmSetTimer1() {
    transfer_.WriteTick();
    if (!transfer_.Writing()) ThreadTimers_PrmSet->SetEnabled(1, false);
}

void TFormStore::ShowResult() {
    if (comm_.TransferOk == 1) {
        SetStatusText(StoreText::Complete);
        MessageService::Information(this, StoreText::CompleteBox);
    } else {
        MessageService::Warning(this, StoreText::Fail);
    }
}

void TFormStore::SetStatusText(const std::string& text) {
    if (services_.SetStatusText) services_.SetStatusText(text);
}

// ---------------------------------------------------------------- files

void TFormStore::Btn_PcToFileStoreClick() {
    const QString name = Edit_FileName->text();
    if (const QString refusal = ParameterFile::SaveRefusal(values_, name); !refusal.isEmpty()) {
        MessageService::Warning(this, refusal);
        return;
    }
    const ParameterFile::Outcome saved =
        ParameterFile::Save(values_, ParameterFile::FilePath(currentDirectory_, name));
    if (!saved.Ok()) MessageService::Error(this, saved.error);
    ShowDirectory();
}

// The name box takes the file name up to its first dot.
void TFormStore::FileListBox1Click(const QString& fileName) {
    Edit_FileName->setText(fileName.section('.', 0, 0));
    SetStatusText({});
}

void TFormStore::FileListBox1DblClick(const QString& fileName) {
    const ParameterFile::Outcome loaded =
        ParameterFile::Load(QDir(currentDirectory_).filePath(fileName), values_);
    if (!loaded.Ok()) MessageService::Error(this, loaded.error);
    ShowList();
}

// ---------------------------------------------------------------- printing

void TFormStore::Print_StartClick() {
    QPrinter printer;
    printer.setDocName(windowTitle());
    if (!services_.ChoosePrinter(printer, this)) return;
    PrintList(printer);
}

void TFormStore::PrintList(QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        MessageService::Error(this,
                              QString("The printer %1 could not be started.")
                                  .arg(printer.printerName().isEmpty() ? printer.outputFileName()
                                                                       : printer.printerName()));
        return;
    }
    QFont font = TextListBox1->font();
    painter.setFont(QFont(font, painter.device()));
    const QFontMetrics metrics(painter.font(), painter.device());
    const int lineHeight = metrics.lineSpacing();
    const int pageHeight = painter.viewport().height();
    int top = 0;
    for (int row = 0; row < TextListBox1->count(); ++row) {
        if (top + lineHeight > pageHeight && top > 0) {
            printer.newPage();
            top = 0;
        }
        painter.drawText(0, top + metrics.ascent(), TextListBox1->item(row)->text());
        top += lineHeight;
    }
    painter.end();
}

void TFormStore::Btn_ExitClick() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}
