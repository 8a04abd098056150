// The store window driven through its controls, checked on the wire (the
// requests the stand-in drive received), in the drive and in its files.

#include <QFile>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include "parameters/Catalogue.h"
#include "store/ParameterFile.h"
#include "tests/store/StoreRig.h"
#include "widgets/MessageService.h"
#include "widgets/RockerSwitch.h"

namespace {

using Strings = std::vector<std::string>;

void Click(QWidget& window, const char* button) {
    QTest::mouseClick(window.findChild<QPushButton*>(button), Qt::LeftButton);
}

QStringList ListLines(TFormStore& store) {
    QStringList lines;
    auto* list = store.findChild<QListWidget*>("TextListBox1");
    for (int row = 0; row < list->count(); ++row) lines << list->item(row)->text();
    return lines;
}

QString NameBox(TFormStore& store) {
    return store.findChild<QLineEdit*>("Edit_FileName")->text();
}

void TypeName(TFormStore& store, const QString& name) {
    auto* box = store.findChild<QLineEdit*>("Edit_FileName");
    box->clear();
    QTest::keyClicks(box, name);
}

Strings AllReads() {
    Strings reads;
    for (const std::string& address : AllAddresses()) reads.push_back("SET" + address);
    return reads;
}

// Writes a file into `dir` holding `values` (file-order slot -> text).
void WriteSetFile(const QString& path, const std::map<int, std::string>& values) {
    StoreSet set;
    for (const auto& [slot, value] : values) set.SetInFileOrder(slot, value);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(ParameterFile::Content(set));
}

std::string DriveSlot(StoreRig& rig, const std::string& address) {
    return rig.link.sim.Slot(address).value_or("<unused>");
}

}  // namespace

class StoreFormTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { REQUIRE_HANGUL_FONT(); }

    void opensEmptyWithItsCaptionAndControls() {
        StoreRig rig;
        MessageCapture boxes;
        auto store = rig.OpenStore();
        QCOMPARE(store->windowTitle(), QString("Parameter Store"));
        QCOMPARE(store->size(), QSize(581, 396));
        QCOMPARE(rig.link.comm.ActiveWindow, std::int32_t(StoreActive));
        QCOMPARE(store->CurrentDirectory(), QDir(rig.files.path()).absolutePath());
        // The tree shows the current folder once it has been read.
        auto* tree = store->findChild<QTreeView*>("DirectoryListBox1");
        QTRY_VERIFY(tree->viewport()->rect().intersects(tree->visualRect(tree->currentIndex())));
        QCOMPARE(tree->currentIndex().data(QFileSystemModel::FilePathRole).toString(),
                 store->CurrentDirectory());
        QCOMPARE(store->findChild<QLineEdit*>("Edit_AxisStore")->text(), QString("0"));
        QVERIFY(store->findChild<QLineEdit*>("Edit_AxisStore")->isReadOnly());
        QCOMPARE(NameBox(*store), QString());
        QCOMPARE(ListLines(*store), QStringList{});
        QCOMPARE(store->findChild<QPushButton*>("Btn_ReadStore")->toolTip(),
                 QString("서보드라이브 파라메타를 읽어 옵니다"));
        QCOMPARE(boxes.Texts(), QStringList{});
    }

    void missingParameterDirectoryIsSaidAndTheBrowserStaysWhereItIs() {
        StoreRig rig;
        MessageCapture boxes;
        auto store = rig.OpenStore(rig.files.filePath("gone"));
        QCOMPARE(boxes.Texts(), QStringList{"Parameter Directory Not Found!"});
        QCOMPARE(store->CurrentDirectory(), QDir::currentPath());
    }

    // Unused slots answer US and stay empty; number 19 is never asked for.
    void readFetchesAll133SlotsAndShowsThem() {
        StoreRig rig;
        rig.link.sim.SetSlot("513", "24321");
        auto store = rig.OpenStore();
        Click(*store, "Btn_ReadStore");
        QCOMPARE(rig.progressShown, 1);
        QVERIFY(rig.progressClosedItself);
        QCOMPARE(rig.Requests(), AllReads());
        QCOMPARE(rig.link.comm.ContinuationKind, 0);
        QCOMPARE(rig.link.comm.LinkState, std::uint8_t(Idle));
        for (int group = 0; group < kGroupCount; ++group) {
            for (int number = 0; number < kSlotsPerGroup; ++number) {
                const auto held = rig.link.sim.Slot(ParameterAddress(group, number));
                QCOMPARE(store->StoreValues().At(group, number + 1), held.value_or(""));
            }
            QCOMPARE(store->StoreValues().At(group, 20), std::string());
        }
        const QStringList lines = ListLines(*store);
        QVERIFY(
            lines[0].startsWith("P0.00 : " + QString::fromStdString(*rig.link.sim.Slot("000"))));
        QVERIFY(lines[13].contains("P5.13 : 24321"));
        QVERIFY(lines[19].startsWith("P0.19 : " + QString(14, ' ') + "P1.19 : "));
    }

    void readAfterLoadKeepsTheTwentiethSlots() {
        StoreRig rig;
        WriteSetFile(rig.files.filePath("full.pf"), {{0, "9"}, {19, "from file"}, {139, "6.19"}});
        auto store = rig.OpenStore();
        store->FileListBox1DblClick("full.pf");
        QCOMPARE(store->StoreValues().At(0, 20), std::string("from file"));
        Click(*store, "Btn_ReadStore");
        QCOMPARE(store->StoreValues().At(0, 1), *rig.link.sim.Slot("000"));
        QCOMPARE(store->StoreValues().At(0, 20), std::string("from file"));
        QCOMPARE(store->StoreValues().At(6, 20), std::string("6.19"));
        QVERIFY(ListLines(*store)[19].contains("P6.19 : 6.19"));
    }

    // Values go out trimmed, one CHP at a time; the STR of Pr-0.00 ends the write as stored.
    void writeSendsEveryValueThenStoresPr000() {
        StoreRig rig;
        MessageCapture boxes;
        WriteSetFile(rig.files.filePath("w.pf"),
                     {{0, " 1"}, {4, " 12 "}, {42, "-300"}, {138, "7"}, {139, "x"}});
        auto store = rig.OpenStore();
        store->FileListBox1DblClick("w.pf");
        rig.link.sim.SetSlot("618", "0");
        Click(*store, "Btn_PcToServoStore");
        QCOMPARE(rig.Requests(),
                 (Strings{"CHP0001", "CHP00412", "CHP202-300", "CHP6187", "CHP619x", "STR000 1"}));
        QVERIFY(rig.progressClosedItself);
        // The drive has no Pr-6.19: its refusal makes the write a failure.
        QCOMPARE(boxes.Texts(), QStringList{"Procedure (PC -> Servo) is fail!"});
        QCOMPARE(DriveSlot(rig, "004"), std::string("12"));
        QCOMPARE(DriveSlot(rig, "202"), std::string("-300"));
        QCOMPARE(DriveSlot(rig, "000"), std::string(" 1"));  // the final store is not trimmed
        QCOMPARE(store->StoreValues().At(0, 5), std::string(" 12 "));  // blanks kept here
    }

    void writeOfASetTheDriveTakesIsComplete() {
        StoreRig rig;
        MessageCapture boxes;
        auto store = rig.OpenStore();
        Click(*store, "Btn_ReadStore");
        rig.link.ForgetRequests();
        rig.link.comm.TransferProgress = 0;
        Click(*store, "Btn_PcToServoStore");
        const Strings requests = rig.Requests();
        QCOMPARE(requests.size(), std::size_t(84 + 1));  // every value in use, then the store
        QCOMPARE(requests.back(), "STR000" + *rig.link.sim.Slot("000"));
        QCOMPARE(boxes.Boxes().size(), 1);
        QCOMPARE(boxes.Boxes()[0].kind, MessageService::Kind::Information);
        QCOMPARE(boxes.Texts(), QStringList{"Procedure (PC -> Servo) is complete!"});
        QCOMPARE(rig.statusTexts.back(), std::string("Procedure (PC -> Servo) is complete"));
    }

    void emptySetSendsOnlyTheStore() {
        StoreRig rig;
        MessageCapture boxes;
        auto store = rig.OpenStore();
        Click(*store, "Btn_PcToServoStore");
        QCOMPARE(rig.Requests(), Strings{"STR000"});
        QCOMPARE(boxes.Texts(), QStringList{"Procedure (PC -> Servo) is complete!"});
    }

    // A refused value fails the write; the rest is still sent.
    void refusedValueShowsTheFailMessage() {
        StoreRig rig({.refusedStores = {"004"}});
        MessageCapture boxes;
        WriteSetFile(rig.files.filePath("r.pf"), {{0, "1"}, {4, "50"}, {5, "60"}});
        auto store = rig.OpenStore();
        store->FileListBox1DblClick("r.pf");
        Click(*store, "Btn_PcToServoStore");
        QCOMPARE(rig.Requests(), (Strings{"CHP0001", "CHP00450", "CHP00560", "STR0001"}));
        QCOMPARE(boxes.Texts(), QStringList{"Procedure (PC -> Servo) is fail!"});
        QCOMPARE(rig.link.hooks.status, std::string("NAK Error!!!"));
        QCOMPARE(DriveSlot(rig, "005"), std::string("60"));
    }

    // A silent drive: every value times out, which is no success.
    void writeToASilentDriveFails() {
        StoreRig rig;
        MessageCapture boxes;
        rig.link.sim.SetFailure(FailureMode::Silent);
        WriteSetFile(rig.files.filePath("s.pf"), {{0, "1"}});
        auto store = rig.OpenStore();
        store->FileListBox1DblClick("s.pf");
        rig.duringProgress = [&rig](int, TFrm_Status&) {
            for (int tick = 0; tick < 5; ++tick) rig.link.comm.HandleTimeout();
        };
        Click(*store, "Btn_PcToServoStore");
        QCOMPARE(boxes.Texts(), QStringList{"Procedure (PC -> Servo) is fail!"});
        QCOMPARE(rig.link.hooks.status, std::string("Communication time out error !!!"));
    }

    void cancelStopsTheWrite() {
        StoreRig rig;
        MessageCapture boxes;
        auto store = rig.OpenStore();
        Click(*store, "Btn_ReadStore");
        rig.link.ForgetRequests();
        rig.duringProgress = [](int round, TFrm_Status& status) {
            if (round == 10) status.Btn_CancelClick();
        };
        Click(*store, "Btn_PcToServoStore");
        const std::size_t sent = rig.Requests().size();
        QVERIFY(sent > 0 && sent <= 11);
        QCOMPARE(boxes.Texts(), QStringList{"Procedure (PC -> Servo) is fail!"});
        store->findChild<TiThreadTimers*>("ThreadTimers_PrmSet")->Fire(1, 50);
        rig.link.Deliver();
        QCOMPARE(rig.Requests().size(), sent);
    }

    // The drive refuses the final store while the servo runs: no editor is rolled back.
    void refusedFinalStoreFailsAndLeavesTheEditorAlone() {
        StoreRig rig;
        MessageCapture boxes;
        auto editor = rig.link.OpenEditor();
        QTest::mouseClick(editor->findChild<QPushButton*>("Btn_ParameterRead"), Qt::LeftButton);
        QTest::mouseClick(editor->findChild<QPushButton*>("Btn_ParaInit"), Qt::LeftButton);
        rig.link.Deliver();
        QCOMPARE(rig.link.comm.EditorRef, static_cast<IParameterEditor*>(editor.get()));
        const std::string editorValue = editor->ParameterValue(0, 1);

        rig.link.sim.SetServoOn(true);
        auto store = rig.OpenStore();
        WriteSetFile(rig.files.filePath("g.pf"), {{0, "2"}});
        store->FileListBox1DblClick("g.pf");
        Click(*store, "Btn_PcToServoStore");
        QCOMPARE(boxes.Texts(), QStringList{"Procedure (PC -> Servo) is fail!"});
        QCOMPARE(editor->ParameterValue(0, 1), editorValue);
    }

    // Replies of a block read go to the window that asked, whichever is in front.
    void blockReadRepliesGoToTheReaderThatAsked() {
        StoreRig rig;
        auto editor = rig.link.OpenEditor();
        auto store = rig.OpenStore();
        rig.link.comm.EditorRef = editor.get();
        rig.link.comm.ActiveWindow = EditorActive;
        Click(*store, "Btn_ReadStore");
        QCOMPARE(store->StoreValues().At(0, 1), *rig.link.sim.Slot("000"));
        QCOMPARE(editor->ParameterValue(0, 1), std::string());

        auto other = rig.OpenStore();  // a fresh, empty store window in front
        store.reset();
        other->FormActivate();
        QTest::mouseClick(editor->findChild<QPushButton*>("Btn_ParameterRead"), Qt::LeftButton);
        QCOMPARE(editor->ParameterValue(0, 1), *rig.link.sim.Slot("000"));
        QCOMPARE(other->StoreValues(), StoreSet());
    }

    // Closed during its read, the window gets nothing more: the read ends.
    void closingDuringTheReadDropsTheReplies() {
        StoreRig rig;
        rig.runProgress = false;
        auto editor = rig.link.OpenEditor();
        auto store = rig.OpenStore();
        rig.link.comm.EditorRef = editor.get();
        Click(*store, "Btn_ReadStore");
        QCOMPARE(rig.link.port.pending.size(), std::size_t(1));
        store.reset();
        QCOMPARE(rig.link.comm.ReaderRef, nullptr);
        rig.link.Deliver();
        QCOMPARE(rig.link.comm.LinkState, std::uint8_t(Idle));
        QCOMPARE(rig.link.comm.ContinuationKind, 0);
        QCOMPARE(rig.Requests(), Strings{"SET000"});
        QCOMPARE(editor->ParameterValue(0, 1), std::string());
    }

    void axisClampsAndOutlivesTheWindowWhileTheListDoesNot() {
        StoreRig rig;
        auto store = rig.OpenStore();
        auto* rocker = store->findChild<RockerSwitch*>("RxSpinButton1");
        auto* axis = store->findChild<QLineEdit*>("Edit_AxisStore");
        rocker->DownHalf()->click();
        QCOMPARE(axis->text(), QString("0"));
        for (int i = 0; i < 40; ++i) rocker->UpHalf()->click();
        QCOMPARE(axis->text(), QString("Z"));
        rocker->DownHalf()->click();
        QCOMPARE(axis->text(), QString("Y"));
        Click(*store, "Btn_ReadStore");
        QCOMPARE(rig.link.comm.SendData.Axis, std::string("\x01"));  // the wire keeps station 1

        store.reset();
        auto again = rig.OpenStore();
        QCOMPARE(again->findChild<QLineEdit*>("Edit_AxisStore")->text(), QString("Y"));
        QCOMPARE(again->StoreValues(), StoreSet());
        QCOMPARE(ListLines(*again), QStringList{});
    }

    void saveRefusesThenWritesTheTypedName() {
        StoreRig rig;
        MessageCapture boxes;
        auto store = rig.OpenStore();
        TypeName(*store, "abc.pf");
        Click(*store, "Btn_PcToFileStore");
        QCOMPARE(boxes.Texts(), QStringList{"Parameter data not found!"});
        Click(*store, "Btn_ReadStore");
        TypeName(*store, "");
        Click(*store, "Btn_PcToFileStore");
        QCOMPARE(boxes.Texts(), (QStringList{"Parameter data not found!", "File name not found!"}));
        QCOMPARE(QDir(rig.files.path()).entryList(QDir::Files), QStringList{});

        TypeName(*store, "abc.pf");
        Click(*store, "Btn_PcToFileStore");
        QCOMPARE(boxes.Boxes().size(), 2);
        QFile saved(rig.files.filePath("abc.pf.pf"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), ParameterFile::Content(store->StoreValues()));
        auto* list = store->findChild<QListView*>("FileListBox1");
        QTRY_COMPARE(list->model()->rowCount(list->rootIndex()), 1);
    }

    void failedSaveAndLoadSayWhy() {
        StoreRig rig;
        MessageCapture boxes;
        auto store = rig.OpenStore();
        Click(*store, "Btn_ReadStore");
        TypeName(*store, "sub/x");  // no such folder
        Click(*store, "Btn_PcToFileStore");
        QCOMPARE(boxes.Boxes().size(), 1);
        QVERIFY2(boxes.Texts()[0].contains("x.pf"), qPrintable(boxes.Texts()[0]));
        const StoreSet before = store->StoreValues();
        store->FileListBox1DblClick("missing.pf");
        QCOMPARE(boxes.Boxes().size(), 2);
        QVERIFY(boxes.Texts()[1].contains("missing.pf"));
        QCOMPARE(store->StoreValues(), before);
    }

    void clickingAFileNamesItUpToItsFirstDot() {
        StoreRig rig;
        QFile(rig.files.filePath("a.b.pf")).open(QIODevice::WriteOnly);
        QFile(rig.files.filePath("other.txt")).open(QIODevice::WriteOnly);
        auto store = rig.OpenStore();
        rig.statusTexts.clear();
        auto* list = store->findChild<QListView*>("FileListBox1");
        QTRY_COMPARE(list->model()->rowCount(list->rootIndex()), 1);
        const QModelIndex file = list->model()->index(0, 0, list->rootIndex());
        QCOMPARE(file.data().toString(), QString("a.b.pf"));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(file).center());
        QCOMPARE(NameBox(*store), QString("a"));
        QCOMPARE(rig.statusTexts, Strings{""});
    }

    void printsTheTwentyListLines() {
        StoreRig rig;
        auto store = rig.OpenStore();
        Click(*store, "Btn_ReadStore");
        rig.printTo = rig.files.filePath("list.pdf");
        store->Print_StartClick();
        QFile pdf(rig.printTo);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.readAll().startsWith("%PDF"));
        rig.printTo.clear();  // cancelled: nothing printed
        QFile::remove(rig.files.filePath("list.pdf"));
        store->Print_StartClick();
        QVERIFY(!QFile::exists(rig.files.filePath("list.pdf")));
    }
};

QTEST_MAIN(StoreFormTest)
#include "StoreFormTest.moc"
