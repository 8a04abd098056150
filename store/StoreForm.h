#pragma once
// The parameter store window: copies a drive's whole parameter set into the
// window (Read), from the window into the drive (PC->Servo), into a parameter
// file (PC->File) and from a file (double-click in the file list), shows the
// set as 20 text lines and prints them.

#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "store/StoreSet.h"
#include "store/StoreTransfer.h"

class QComboBox;
class QFileSystemModel;
class QLineEdit;
class QListView;
class QListWidget;
class QMenu;
class QPrinter;
class QPushButton;
class QTreeView;
class TiThreadTimers;
class RockerSwitch;

// What the store window takes from the main window.
struct StoreServices {
    // Shows the modal progress window; returns once it has closed.
    std::function<void()> StatusForm_Active;
    // The main window's status panel.
    std::function<void(const std::string&)> SetStatusText;
    // Where parameter files are kept.
    QString ParameterDirectory;
    // The axis the store addresses (0..35), kept from one store window to the next.
    std::shared_ptr<int> StoreAxis = std::make_shared<int>(0);
    // Lets the user pick a printer (the system's print dialog); false when cancelled.
    std::function<bool(QPrinter&, QWidget* parent)> ChoosePrinter;
};

namespace StoreText {
inline constexpr const char* Complete = "Procedure (PC -> Servo) is complete";
inline constexpr const char* CompleteBox = "Procedure (PC -> Servo) is complete!";
inline constexpr const char* Fail = "Procedure (PC -> Servo) is fail!";
inline constexpr const char* NoDirectory = "Parameter Directory Not Found!";
}  // namespace StoreText

class TFormStore : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kWriteTickMs = 5;

    TFormStore(TComm& comm, StoreServices services, QWidget* parent = nullptr);
    ~TFormStore() override;

    // Handlers.
    void FormActivate();
    void Btn_ReadStoreClick();
    void Btn_PcToServoStoreClick();
    void Btn_PcToFileStoreClick();
    void FileListBox1Click(const QString& fileName);
    void FileListBox1DblClick(const QString& fileName);
    void RxSpinButton1TopClick();
    void RxSpinButton1BottomClick();
    void Print_StartClick();
    void Btn_ExitClick();
    void ThreadTimers_PrmSetTimer1();

    // The directory the browser shows: saving writes there.
    QString CurrentDirectory() const { return currentDirectory_; }
    void ChangeDirectory(const QString& path);
    const StoreSet& StoreValues() const { return values_; }
    // Writes the list's lines to an opened printer, one printed line each.
    void PrintList(QPrinter& printer);

  protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void BuildUi();
    QWidget* BuildBrowser();
    QWidget* BuildControls();
    void FormCreate();
    void ShowAxis();
    void ShowList();
    void ShowDirectory();
    void ShowResult();
    QString AxisLabel() const;
    void SetStatusText(const std::string& text);

    TComm& comm_;
    StoreServices services_;
    StoreSet values_;
    StoreTransfer transfer_;
    QString currentDirectory_;
    bool activationHooked_ = false;
    bool centred_ = false;

    QListWidget* TextListBox1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QComboBox* DriveComboBox1 = nullptr;
    QTreeView* DirectoryListBox1 = nullptr;
    QListView* FileListBox1 = nullptr;
    QFileSystemModel* directoryModel_ = nullptr;
    QFileSystemModel* fileModel_ = nullptr;
    QLineEdit* Edit_FileName = nullptr;
    QLineEdit* Edit_AxisStore = nullptr;
    RockerSwitch* RxSpinButton1 = nullptr;
    QPushButton* Btn_PcToServoStore = nullptr;
    QPushButton* Btn_PcToFileStore = nullptr;
    QPushButton* Btn_ReadStore = nullptr;
    QPushButton* Btn_Exit = nullptr;
    TiThreadTimers* ThreadTimers_PrmSet = nullptr;
};
