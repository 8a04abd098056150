#pragma once
// The program download window: the user picks an Intel HEX file, puts the
// drive into download mode with ETC 14 and starts the worker, which sends the
// file line by line while the window shows its progress and the time left.
// The worker's lines are handed to the port's thread and its reports are
// queued to this window; STOP, Exit and closing all end the worker first.

#include <QWidget>
#include <cstdint>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>

#include "download/DownLoad.h"
#include "download/TimeLeft.h"

class LedBar;
class QLabel;
class QPushButton;
class TComPort;
class TComm;

// The window's texts.
namespace DownText {
inline constexpr const char* Caption = "Program Download";
inline constexpr const char* SelectFile = "Select File";
inline constexpr const char* Filters = "Hex files (*.hex);;All files (*.*)";
inline constexpr const char* FileIoError = "File I/O error.";
inline constexpr const char* ConfirmDownMode = "실행 하시겠습니까 !!!";
inline constexpr const char* PleaseSelect = "Please file select!!";
inline constexpr const char* PleaseDownMode = "Please DOWN MODE button click!!!";
inline constexpr const char* PleaseStart = "Please START button click!!!";
inline constexpr const char* Loading = "Down loading!!!";
inline constexpr const char* Stopped = "Stop down loading";
inline constexpr const char* Complete = "Down load complete !!!!";
inline constexpr const char* Start = "START";
inline constexpr const char* Stop = "STOP";
inline constexpr const char* FileSelectHint = "프로그램을 파일에서 불러 옵니다";
inline constexpr const char* ExitHint = "종료 합니다.";
inline constexpr const char* NotIntelHex =
    "This file is not a valid Intel HEX file:\n%1\n\nSend it anyway?";
inline constexpr const char* NoEndRecord = "No end record: %1 lines sent, download not complete";
inline constexpr const char* WriteFailed = "Down load failed: %1";
}  // namespace DownText

class TForm_PgmDown : public QWidget, private TDownLoad::ILineWriter, private TDownLoad::IObserver {
    Q_OBJECT
  public:
    // Asks for an existing file; an empty path when the user cancels.
    using FileChooser =
        std::function<QString(QWidget* parent, const QString& title, const QString& filters)>;

    static constexpr int kClientWidth = 480;
    static constexpr int kClientHeight = 269;

    // A dialog window of `parent`.
    TForm_PgmDown(TComm& comm, TComPort& port, QWidget* parent = nullptr);
    ~TForm_PgmDown() override;

    void SetFileChooser(FileChooser chooser) { chooser_ = std::move(chooser); }

    // Handlers.
    void Btn_FileSelectClick();
    void Btn_DownModeClick();
    void Btn_StartClick();
    void Btn_ExitClick();

    // Takes `path` as the program file, as choosing it in the dialog does.
    void OpenDownloadFile(const QString& path);
    bool Downloading() const { return static_cast<bool>(worker_); }
    // The status bar's panels 0..2.
    QString StatusText(int panel) const;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildUi();
    QWidget* BuildFileRow();
    QWidget* BuildButtonRow();
    QWidget* BuildStatusBar();
    void FormCreate();

    bool FileReadyToSend();
    void StartDownload();
    void StopDownload();
    void EndRun(bool startEnabled);
    void Rewind();
    void SetStatus(const QString& text);
    void ShowProgress(std::uint64_t bytes, std::uint64_t total);
    void ShowOutcome(const TDownLoad::Outcome& outcome);

    // Worker side: these run on the worker's thread.
    bool WriteLine(const std::string& line, std::stop_token stop) override;
    void Progress(std::uint64_t bytes, std::uint64_t total) override;
    void Finished(const TDownLoad::Outcome& outcome) override;

    TComm& comm_;
    TComPort& port_;
    FileChooser chooser_;
    std::unique_ptr<std::ifstream> DownloadFile;
    std::uint64_t DownloadFileSize = 0;
    std::unique_ptr<TDownLoad> worker_;
    std::optional<TimeLeft> timeLeft_;
    unsigned run_ = 0;  // reports of an earlier run are dropped
    static constexpr std::chrono::milliseconds kProgressInterval{50};
    TimeLeft::Clock::time_point lastProgress_{};  // the worker's thread only

    QPushButton* Btn_FileSelect = nullptr;
    QLabel* Label_FileName = nullptr;
    LedBar* iLedBar1 = nullptr;
    QPushButton* Btn_DownMode = nullptr;
    QPushButton* Btn_Start = nullptr;
    QPushButton* Btn_Exit = nullptr;
    QWidget* StatusBar_Down = nullptr;
    QLabel* StatusPanels[3] = {};
};
