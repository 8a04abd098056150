// The real application against the stand-in drive over a pseudo-terminal: the
// store window reads the drive, saves the set, the parameter editor changes
// the drive, the store loads the file, writes it back and reads again; then
// the list is printed to a PDF file through the system's print dialog.

#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/StatusFrm.h"
#include "parameters/Catalogue.h"
#include "parameters/NumberEdit.h"
#include "parameters/Parameter.h"
#include "sim/PtyDrive.h"
#include "store/ParameterFile.h"
#include "store/StoreForm.h"
#include "tests/support/AppSession.h"

namespace {

constexpr int kPatienceMs = 30000;

std::map<std::string, std::string> DriveSlots(PtyDrive& drive) {
    std::map<std::string, std::string> held;
    drive.WithSim([&](DriveSim& sim) {
        for (const std::string& address : AllAddresses())
            held[address] = sim.Slot(address).value_or("");
    });
    return held;
}

// Answers the print dialog the way a user choosing "print to file" does.
void PrintToFileWhenAsked(const QString& pdf, bool* seen) {
    QTimer::singleShot(100, [pdf, seen] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        *seen = dialog != nullptr;
        if (!dialog) return;
        for (auto* box : dialog->findChildren<QLineEdit*>()) {
            if (box->objectName() == "filename") box->setText(pdf);
        }
        dialog->printer()->setOutputFileName(pdf);
        dialog->accept();
    });
}

}  // namespace

class StoreE2ETest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { REQUIRE_HANGUL_FONT(); }

    void readSaveChangeLoadWriteBackReadAgainPrint() {
        QTemporaryDir files;
        PtyDrive drive;
        drive.WithSim([](DriveSim& sim) {
            sim.SetSlot("513", "24321");
            sim.SetSlot("004", "150.5");
        });
        AppSession s(drive);
        QVERIFY(s.GoOnLine());
        TComm& engine = s.Engine();

        auto* store = s.Open<TFormStore>("Store(Servo<->PC)");
        QVERIFY(store);
        QTRY_COMPARE(engine.ActiveWindow, std::int32_t(StoreActive));
        QMdiSubWindow* sub = s.Main().MdiArea()->subWindowList().front();
        QVERIFY((sub->geometry().center() - s.Main().MdiArea()->viewport()->rect().center())
                    .manhattanLength() <= 2);
        QCOMPARE(s.Open<TFormStore>("Store(Servo<->PC)"), store);  // one store window only
        QCOMPARE(s.Main().findChildren<TFormStore*>().size(), 1);
        store->ChangeDirectory(files.path());

        // Read and save.
        const auto original = DriveSlots(drive);
        QVERIFY2(
            s.ClickThroughProgress(store->findChild<QPushButton*>("Btn_ReadStore"), kPatienceMs),
            "the progress window did not close by itself");
        QTRY_COMPARE_WITH_TIMEOUT(engine.ContinuationKind, 0, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(store->StoreValues().At(6, 19), original.at("618"), 5000);
        for (int group = 0; group < kGroupCount; ++group) {
            for (int number = 0; number < kSlotsPerGroup; ++number)
                QCOMPARE(store->StoreValues().At(group, number + 1),
                         original.at(ParameterAddress(group, number)));
        }
        const StoreSet saved = store->StoreValues();
        auto* name = store->findChild<QLineEdit*>("Edit_FileName");
        QTest::keyClicks(name, "drive1");
        QTest::mouseClick(store->findChild<QPushButton*>("Btn_PcToFileStore"), Qt::LeftButton);
        QCOMPARE(s.Boxes().Texts(), QStringList{});
        QVERIFY(QFile::exists(files.filePath("drive1.pf")));

        // Change the drive through the parameter editor.
        auto* editor = s.Open<TParameterFrm>("Parameter Set");
        QVERIFY(editor);
        QTRY_COMPARE(engine.ActiveWindow, std::int32_t(EditorActive));
        QVERIFY(s.ClickThroughProgress(editor->findChild<QPushButton*>("Btn_ParameterRead"),
                                       kPatienceMs));
        QTRY_COMPARE_WITH_TIMEOUT(engine.ContinuationKind, 0, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(editor->ParameterValue(0, 5), std::string("150.5"), 5000);
        QCOMPARE(store->StoreValues(), saved);  // the editor's read went to the editor
        auto* grid = editor->findChild<QTableWidget*>("StringGrid_Para");
        QTest::mouseClick(
            grid->viewport(), Qt::LeftButton, {},
            grid->visualItemRect(grid->item(4, TParameterFrm::kValueColumn)).center());
        QTest::keyClick(grid, Qt::Key_Return);
        auto* number = editor->findChild<NumberEdit*>("RxSpinEdit1");
        number->selectAll();
        QTest::keyClick(number, Qt::Key_Backspace);
        QTest::keyClicks(number, "200");
        QTest::keyClick(number, Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(DriveSlots(drive).at("004"), std::string("200"), 5000);

        // Load the file, write it back.
        s.Activate(store);
        QTRY_COMPARE(engine.ActiveWindow, std::int32_t(StoreActive));
        auto* list = store->findChild<QListView*>("FileListBox1");
        QTRY_COMPARE(list->model()->rowCount(list->rootIndex()), 1);
        const QRect file = list->visualRect(list->model()->index(0, 0, list->rootIndex()));
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, file.center());
        QCOMPARE(store->StoreValues(), saved);
        QVERIFY(s.ClickThroughProgress(store->findChild<QPushButton*>("Btn_PcToServoStore"),
                                       kPatienceMs));
        QCOMPARE(s.Boxes().Texts(), QStringList{"Procedure (PC -> Servo) is complete!"});
        QCOMPARE(s.Status(), QString("Procedure (PC -> Servo) is complete"));
        QCOMPARE(DriveSlots(drive), original);

        // Read again: the drive holds the saved set.
        QVERIFY(
            s.ClickThroughProgress(store->findChild<QPushButton*>("Btn_ReadStore"), kPatienceMs));
        QTRY_COMPARE_WITH_TIMEOUT(engine.ContinuationKind, 0, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(store->StoreValues(), saved, 5000);

        // Print the list to a PDF file.
        const QString pdf = files.filePath("list.pdf");
        bool dialogSeen = false;
        PrintToFileWhenAsked(pdf, &dialogSeen);
        store->Print_StartClick();
        QVERIFY(dialogSeen);
        QVERIFY(QFile::exists(pdf));
        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        QVERIFY2(!pdftotext.isEmpty(),
                 "pdftotext is missing: install poppler-utils (scripts/setup)");
        QProcess text;
        text.start(pdftotext, {"-layout", pdf, "-"});
        QVERIFY(text.waitForFinished(20000));
        const QStringList lines =
            QString::fromUtf8(text.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        QStringList listed;
        for (const QString& line : lines) {
            if (line.trimmed().startsWith("P0.")) listed << line.simplified();
        }
        QCOMPARE(listed.size(), 20);
        QVERIFY2(listed[0].startsWith("P0.00 : " + QString::fromStdString(original.at("000"))),
                 qPrintable(listed[0]));
        QVERIFY2(listed[13].contains("P5.13 : 24321"), qPrintable(listed[13]));
        QVERIFY(listed[19].startsWith("P0.19 :"));
        QCOMPARE(s.Boxes().Texts().size(), 1);
    }

    // A drive that stalls long enough for resends, or answers every request
    // twice: every slot holds its own value, or the read ends with a message
    // and no slot holds another slot's value.
    void readSurvivesAStallingDrive_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("ms");
        QTest::newRow("stall 280 ms at 20") << int(FailureMode::Stall) << 20 << 280;
        QTest::newRow("stall 450 ms at 70") << int(FailureMode::Stall) << 70 << 450;
        QTest::newRow("stall 1200 ms at 120") << int(FailureMode::Stall) << 120 << 1200;
        QTest::newRow("answers twice") << int(FailureMode::Twice) << 0 << 0;
    }

    void readSurvivesAStallingDrive() {
        QFETCH(int, mode);
        QFETCH(int, at);
        QFETCH(int, ms);
        PtyDrive drive(DriveSim(), PtyDriveOptions{.turnaroundMs = 2});
        drive.WithSim([&](DriveSim& sim) {
            for (const std::string& address : AllAddresses())
                if (sim.Slot(address)) sim.SetSlot(address, "7" + address);
            Failure failure{static_cast<FailureMode>(mode),
                            DefaultArgument(static_cast<FailureMode>(mode))};
            if (failure.mode == FailureMode::Stall) failure = {FailureMode::Stall, at, ms};
            sim.SetFailure(failure);
        });
        AppSession s(drive);
        s.GoOnLine();
        auto* store = s.Open<TFormStore>("Store(Servo<->PC)");
        QVERIFY(store);
        QVERIFY2(
            s.ClickThroughProgress(store->findChild<QPushButton*>("Btn_ReadStore"), kPatienceMs),
            "the progress window stayed open");
        QTRY_COMPARE_WITH_TIMEOUT(s.Engine().ContinuationKind, 0, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!s.Main().findChild<TFrm_Status*>(), 5000);
        const auto held = DriveSlots(drive);
        const bool failed = !s.Status().isEmpty();
        int fromDrive = 0;
        for (int group = 0; group < kGroupCount; ++group) {
            for (int number = 0; number < kSlotsPerGroup; ++number) {
                const std::string& value = store->StoreValues().At(group, number + 1);
                const std::string& own = held.at(ParameterAddress(group, number));
                if (value == own && !value.empty()) ++fromDrive;
                QVERIFY2(value == own || (failed && value.empty()),
                         qPrintable(QString("P%1.%2 holds %3")
                                        .arg(group)
                                        .arg(number)
                                        .arg(QString::fromStdString(value))));
            }
        }
        if (!failed) QCOMPARE(fromDrive, 84);
    }
};

QTEST_MAIN(StoreE2ETest)
#include "StoreE2ETest.moc"
