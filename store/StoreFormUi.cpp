// The store window's controls: the list of the set on the left; on the right
// the file browser (volumes, directory tree, parameter files), the name and
// axis boxes and the four buttons.

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

#include "store/ParameterFile.h"
#include "store/StoreForm.h"
#include "widgets/RockerSwitch.h"
#include "widgets/WindowHints.h"

namespace {

QPushButton* Button(const char* caption, const char* name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setMinimumHeight(28);
    return button;
}

QLineEdit* Box(const char* name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    return box;
}

}  // namespace

void TFormStore::BuildUi() {
    setObjectName("FormStore");
    setWindowTitle("Parameter Store");
    setFont(QFont("MS Sans Serif", 8));
    resize(581, 396);
    setProperty(kCentreInArea, true);

    TextListBox1 = new QListWidget(this);
    TextListBox1->setObjectName("TextListBox1");
    TextListBox1->setStyleSheet("QListWidget { background-color: rgb(227, 225, 204); }");
    TextListBox1->setContextMenuPolicy(Qt::CustomContextMenu);
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    QAction* print = PopupMenu1->addAction("Print");
    print->setObjectName("Print_Start");
    connect(print, &QAction::triggered, this, &TFormStore::Print_StartClick);
    connect(TextListBox1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(TextListBox1->mapToGlobal(at)); });

    auto* column = new QWidget(this);
    column->setFixedWidth(200);
    auto* right = new QVBoxLayout(column);
    right->setContentsMargins(0, 0, 0, 0);
    right->addWidget(BuildBrowser(), 1);
    right->addWidget(BuildControls());

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(TextListBox1, 1);
    layout->addWidget(column);
}

QWidget* TFormStore::BuildBrowser() {
    auto* browser = new QWidget(this);
    auto* layout = new QVBoxLayout(browser);
    layout->setContentsMargins(0, 0, 0, 0);

    DriveComboBox1 = new QComboBox(browser);
    DriveComboBox1->setObjectName("DriveComboBox1");
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady()) continue;
        const QString root = volume.rootPath();
        const QString name = volume.displayName();
        DriveComboBox1->addItem(name == root
                                    ? QDir::toNativeSeparators(root)
                                    : QString("%1 (%2)").arg(QDir::toNativeSeparators(root), name),
                                root);
    }

    directoryModel_ = new QFileSystemModel(this);
    directoryModel_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    directoryModel_->setRootPath(QDir::rootPath());
    DirectoryListBox1 = new QTreeView(browser);
    DirectoryListBox1->setObjectName("DirectoryListBox1");
    DirectoryListBox1->setModel(directoryModel_);
    DirectoryListBox1->setHeaderHidden(true);
    for (int column = 1; column < directoryModel_->columnCount(); ++column)
        DirectoryListBox1->hideColumn(column);

    fileModel_ = new QFileSystemModel(this);
    fileModel_->setFilter(QDir::Files);
    fileModel_->setNameFilters({ParameterFile::NameFilter});
    fileModel_->setNameFilterDisables(false);
    FileListBox1 = new QListView(browser);
    FileListBox1->setObjectName("FileListBox1");
    FileListBox1->setModel(fileModel_);

    layout->addWidget(DriveComboBox1);
    layout->addWidget(DirectoryListBox1, 3);
    layout->addWidget(FileListBox1, 2);

    // The tree fills in as folders are read: keep the current one in view.
    connect(directoryModel_, &QFileSystemModel::directoryLoaded, this,
            [this] { DirectoryListBox1->scrollTo(directoryModel_->index(currentDirectory_)); });
    connect(DriveComboBox1, &QComboBox::activated, this,
            [this](int index) { ChangeDirectory(DriveComboBox1->itemData(index).toString()); });
    connect(DirectoryListBox1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) {
                if (index.isValid()) ChangeDirectory(directoryModel_->filePath(index));
            });
    connect(FileListBox1, &QListView::clicked, this,
            [this](const QModelIndex& index) { FileListBox1Click(fileModel_->fileName(index)); });
    connect(FileListBox1, &QListView::doubleClicked, this, [this](const QModelIndex& index) {
        FileListBox1DblClick(fileModel_->fileName(index));
    });
    return browser;
}

QWidget* TFormStore::BuildControls() {
    auto* controls = new QWidget(this);
    auto* grid = new QGridLayout(controls);
    grid->setContentsMargins(0, 0, 0, 0);

    Edit_FileName = Box("Edit_FileName", controls);
    auto* extension = new QLabel(" .PF", controls);
    extension->setObjectName("Label_Extension");
    Edit_AxisStore = Box("Edit_AxisStore", controls);
    Edit_AxisStore->setReadOnly(true);
    Edit_AxisStore->setStyleSheet("QLineEdit { background-color: rgb(198, 223, 215); }");
    RxSpinButton1 = new RockerSwitch(controls);
    RxSpinButton1->setObjectName("RxSpinButton1");
    RxSpinButton1->setAccessibleName("Axis");
    RxSpinButton1->setFixedSize(16, 24);

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(Edit_FileName, 1);
    nameRow->addWidget(extension);
    auto* axisRow = new QHBoxLayout;
    axisRow->addWidget(Edit_AxisStore, 1);
    axisRow->addWidget(RxSpinButton1);
    grid->addWidget(new QLabel("Name :", controls), 0, 0);
    grid->addLayout(nameRow, 0, 1);
    grid->addWidget(new QLabel("Axis :", controls), 1, 0);
    grid->addLayout(axisRow, 1, 1);

    Btn_PcToServoStore = Button("PC->Servo", "Btn_PcToServoStore", controls);
    Btn_PcToServoStore->setToolTip("열려 있는 파라메타를 서보에 저장합니다");
    Btn_PcToFileStore = Button("PC->File", "Btn_PcToFileStore", controls);
    Btn_PcToFileStore->setToolTip("열려 있는 파라메타를 파일에 저장합니다");
    Btn_ReadStore = Button("Read", "Btn_ReadStore", controls);
    Btn_ReadStore->setToolTip("서보드라이브 파라메타를 읽어 옵니다");
    Btn_Exit = Button("EXIT", "Btn_Exit", controls);
    auto* buttons = new QGridLayout;
    buttons->addWidget(Btn_PcToServoStore, 0, 0);
    buttons->addWidget(Btn_PcToFileStore, 0, 1);
    buttons->addWidget(Btn_ReadStore, 1, 0);
    buttons->addWidget(Btn_Exit, 1, 1);
    grid->addLayout(buttons, 2, 0, 1, 2);

    connect(RxSpinButton1, &RockerSwitch::UpClick, this, &TFormStore::RxSpinButton1TopClick);
    connect(RxSpinButton1, &RockerSwitch::DownClick, this, &TFormStore::RxSpinButton1BottomClick);
    connect(Btn_PcToServoStore, &QPushButton::clicked, this, &TFormStore::Btn_PcToServoStoreClick);
    connect(Btn_PcToFileStore, &QPushButton::clicked, this, &TFormStore::Btn_PcToFileStoreClick);
    connect(Btn_ReadStore, &QPushButton::clicked, this, &TFormStore::Btn_ReadStoreClick);
    connect(Btn_Exit, &QPushButton::clicked, this, &TFormStore::Btn_ExitClick);
    return controls;
}

// ---------------------------------------------------------------- browsing

void TFormStore::ChangeDirectory(const QString& path) {
    const QString absolute = QDir(path).absolutePath();
    if (absolute == currentDirectory_) return;
    currentDirectory_ = absolute;
    ShowDirectory();
}

// The three browser controls follow the current directory.
void TFormStore::ShowDirectory() {
    const QString volume = QStorageInfo(currentDirectory_).rootPath();
    {
        const QSignalBlocker quiet(DriveComboBox1);
        DriveComboBox1->setCurrentIndex(DriveComboBox1->findData(volume));
    }
    DirectoryListBox1->setRootIndex(directoryModel_->index(volume));
    const QModelIndex here = directoryModel_->index(currentDirectory_);
    {
        const QSignalBlocker quiet(DirectoryListBox1->selectionModel());
        DirectoryListBox1->setCurrentIndex(here);
    }
    DirectoryListBox1->expand(here);
    DirectoryListBox1->scrollTo(here);
    FileListBox1->setRootIndex(fileModel_->setRootPath(currentDirectory_));
}
