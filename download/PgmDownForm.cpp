#include "download/PgmDownForm.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <filesystem>

#include "download/IntelHex.h"
#include "platform/ComPort.h"
#include "protocol/Comm.h"
#include "protocol/Commands.h"
#include "widgets/LedBar.h"
#include "widgets/MessageService.h"

namespace {

QString DefaultChooser(QWidget* parent, const QString& title, const QString& filters) {
    return QFileDialog::getOpenFileName(parent, title, QString(), filters);
}

std::filesystem::path SystemPath(const QString& path) {
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

}  // namespace

TForm_PgmDown::TForm_PgmDown(TComm& comm, TComPort& port, QWidget* parent)
    : QWidget(parent, Qt::Dialog), comm_(comm), port_(port), chooser_(DefaultChooser) {
    BuildUi();
    FormCreate();
    // The port may go before this window (the program ends): the worker must not outlive it.
    connect(&port_, &QObject::destroyed, this, [this] { worker_.reset(); });
}

TForm_PgmDown::~TForm_PgmDown() {
    StopDownload();
}

void TForm_PgmDown::FormCreate() {
    Btn_Start->setEnabled(false);
    SetStatus(DownText::PleaseSelect);
}

// ---------------------------------------------------------------- handlers

// A cancelled dialog keeps the file chosen before.
void TForm_PgmDown::Btn_FileSelectClick() {
    const QString path = chooser_(this, DownText::SelectFile, DownText::Filters);
    if (!path.isEmpty()) OpenDownloadFile(path);
    SetStatus(DownText::PleaseDownMode);
}

void TForm_PgmDown::OpenDownloadFile(const QString& path) {
    DownloadFile.reset();
    DownloadFileSize = 0;
    const QString fullPath = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    auto file = std::make_unique<std::ifstream>(SystemPath(path), std::ios::binary);
    if (!file->is_open()) {
        Label_FileName->clear();
        Label_FileName->setToolTip({});
        MessageService::Error(this, DownText::FileIoError);
        return;
    }
    file->seekg(0, std::ios::end);
    const auto size = file->tellg();
    file->seekg(0, std::ios::beg);
    DownloadFileSize = size > 0 ? static_cast<std::uint64_t>(size) : 0;
    DownloadFile = std::move(file);
    Label_FileName->setText(fullPath);
    Label_FileName->setToolTip(fullPath);
}

void TForm_PgmDown::Btn_DownModeClick() {
    if (MessageService::Show(this, MessageService::Kind::Information, DownText::ConfirmDownMode,
                             QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    comm_.Request(Cmd::ETC, "14");
    // The engine has told the user already when the port is closed.
    if (!port_.Connected()) return;
    Btn_Start->setEnabled(true);
    SetStatus(DownText::PleaseStart);
}

void TForm_PgmDown::Btn_StartClick() {
    if (Label_FileName->text().isEmpty()) return;
    if (Downloading()) {
        StopDownload();
        SetStatus(DownText::Stopped);
        return;
    }
    if (FileReadyToSend()) StartDownload();
}

void TForm_PgmDown::Btn_ExitClick() {
    close();
}

void TForm_PgmDown::closeEvent(QCloseEvent* event) {
    StopDownload();
    DownloadFile.reset();
    QWidget::closeEvent(event);
}

// ---------------------------------------------------------------- the run

// A file that is no valid Intel HEX goes out only when the user says so.
bool TForm_PgmDown::FileReadyToSend() {
    if (!port_.Connected()) {
        MessageService::Warning(this, LinkText::PortClosed, QMessageBox::Yes);
        return false;
    }
    if (!DownloadFile) return false;
    Rewind();
    const IntelHex::CheckResult check = IntelHex::Check(*DownloadFile);
    const bool readFailed = DownloadFile->bad();
    Rewind();
    if (readFailed) {
        MessageService::Error(this, DownText::FileIoError);
        return false;
    }
    if (check.Ok()) return true;
    const QString problem = QString::fromStdString(IntelHex::Describe(check));
    if (MessageService::Show(this, MessageService::Kind::Confirmation,
                             QString(DownText::NotIntelHex).arg(problem),
                             QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
        return true;
    SetStatus(problem);
    return false;
}

void TForm_PgmDown::StartDownload() {
    ++run_;
    Btn_Start->setText(DownText::Stop);
    Btn_FileSelect->setEnabled(false);
    Btn_DownMode->setEnabled(false);
    Btn_Exit->setEnabled(false);
    timeLeft_.emplace(DownloadFileSize, TimeLeft::Clock::now());
    lastProgress_ = {};
    ShowProgress(0, DownloadFileSize);
    SetStatus(DownText::Loading);
    port_.SetReservedForDownload(true);
    worker_ = std::make_unique<TDownLoad>(*DownloadFile, DownloadFileSize,
                                          static_cast<TDownLoad::ILineWriter&>(*this),
                                          static_cast<TDownLoad::IObserver&>(*this));
    worker_->Start();
}

// Joins the worker; what it posted before it ended is dropped with the run.
void TForm_PgmDown::StopDownload() {
    if (!worker_) return;
    worker_.reset();
    ++run_;
    EndRun(true);
}

// Back to a state where the file and the drive can be handled again.
void TForm_PgmDown::EndRun(bool startEnabled) {
    worker_.reset();
    port_.SetReservedForDownload(false);
    Rewind();
    Btn_Start->setText(DownText::Start);
    Btn_Start->setEnabled(startEnabled);
    Btn_FileSelect->setEnabled(true);
    Btn_DownMode->setEnabled(true);
    Btn_Exit->setEnabled(true);
}

void TForm_PgmDown::Rewind() {
    if (!DownloadFile) return;
    DownloadFile->clear();
    DownloadFile->seekg(0, std::ios::beg);
}

void TForm_PgmDown::ShowProgress(std::uint64_t bytes, std::uint64_t total) {
    const double percent = total == 0 ? 0.0 : 100.0 * static_cast<double>(bytes) / total;
    iLedBar1->SetValue(percent);
    if (!timeLeft_) return;
    timeLeft_->Update(bytes, TimeLeft::Clock::now());
    StatusPanels[0]->setText(QString::fromStdString(TimeLeft::PercentText(percent)));
    StatusPanels[2]->setText(
        QString::fromStdString(TimeLeft::DurationText(timeLeft_->Remaining())));
}

void TForm_PgmDown::ShowOutcome(const TDownLoad::Outcome& outcome) {
    using Result = TDownLoad::Result;
    switch (outcome.result) {
        case Result::Complete:
            EndRun(false);
            ShowProgress(DownloadFileSize, DownloadFileSize);
            iLedBar1->SetValue(100.0);
            StatusPanels[0]->setText(QString::fromStdString(TimeLeft::PercentText(100.0)));
            SetStatus(DownText::Complete);
            break;
        case Result::NoEndRecord:
            // Every line went out, yet the drive is still waiting for the end of the program.
            EndRun(false);
            StatusPanels[2]->clear();
            SetStatus(QString(DownText::NoEndRecord).arg(outcome.lines));
            break;
        case Result::WriteFailed: {
            EndRun(true);
            StatusPanels[2]->clear();
            const QString text =
                QString(DownText::WriteFailed).arg(QString::fromStdString(outcome.error));
            SetStatus(text);
            // A lost line has been reported by the main window already.
            if (port_.Connected()) MessageService::Error(this, text);
            break;
        }
        case Result::ReadFailed:
            EndRun(true);
            StatusPanels[2]->clear();
            SetStatus(DownText::FileIoError);
            MessageService::Error(this, DownText::FileIoError);
            break;
        case Result::Stopped:
            break;
    }
}

void TForm_PgmDown::SetStatus(const QString& text) {
    StatusPanels[1]->setText(text);
}

QString TForm_PgmDown::StatusText(int panel) const {
    return panel >= 0 && panel < 3 ? StatusPanels[panel]->text() : QString();
}

// ---------------------------------------------------------------- worker side

bool TForm_PgmDown::WriteLine(const std::string& line, std::stop_token stop) {
    return port_.PortWrite(line, stop);
}

// A bar and a time left redrawn for every line would cost the port's thread
// more than the line itself; a few updates a second are what the eye takes in.
void TForm_PgmDown::Progress(std::uint64_t bytes, std::uint64_t total) {
    const auto now = TimeLeft::Clock::now();
    if (bytes < total && now - lastProgress_ < kProgressInterval) return;
    lastProgress_ = now;
    QMetaObject::invokeMethod(
        this,
        [this, run = run_, bytes, total] {
            if (run == run_ && worker_) ShowProgress(bytes, total);
        },
        Qt::QueuedConnection);
}

void TForm_PgmDown::Finished(const TDownLoad::Outcome& outcome) {
    QMetaObject::invokeMethod(
        this,
        [this, run = run_, outcome] {
            if (run == run_ && worker_) ShowOutcome(outcome);
        },
        Qt::QueuedConnection);
}
