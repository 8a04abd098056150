// The real application against the stand-in drive over a pseudo-terminal:
// the main window opens a parameter editor, READ fetches every slot through
// the real port, engine, timers and progress window, and a changed value ends
// up stored in the drive.

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "app/Main.h"
#include "app/StatusFrm.h"
#include "app/TaskWindows.h"
#include "parameters/Catalogue.h"
#include "parameters/NumberEdit.h"
#include "parameters/Parameter.h"
#include "platform/ComPort.h"
#include "platform/PortSettingsStore.h"
#include "protocol/Frame.h"
#include "sim/PtyDrive.h"
#include "tests/support/AppTestSupport.h"
#include "widgets/MessageService.h"

namespace {

constexpr int kPatienceMs = 20000;

QTableWidget* Grid(TParameterFrm& editor) {
    return editor.findChild<QTableWidget*>("StringGrid_Para");
}

void SelectValueCell(TParameterFrm& editor, int row) {
    QTableWidget* grid = Grid(editor);
    QTest::mouseClick(
        grid->viewport(), Qt::LeftButton, {},
        grid->visualItemRect(grid->item(row - 1, TParameterFrm::kValueColumn)).center());
}

void TypeAndCommit(TParameterFrm& editor, int row, const QString& text) {
    SelectValueCell(editor, row);
    QTest::keyClick(Grid(editor), Qt::Key_Return);
    auto* box = editor.findChild<NumberEdit*>("RxSpinEdit1");
    QVERIFY(box->isVisible());
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
}

}  // namespace

class ParameterEditorE2ETest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { REQUIRE_HANGUL_FONT(); }

    void readAllSlotsThenStoreAChange() {
        ScratchSettings scratch;
        MessageCapture boxes;
        PtyDrive drive;
        drive.WithSim([](DriveSim& sim) { sim.SetSlot("513", "24321"); });
        PortSettings stored;
        stored.Port = QString::fromStdString(drive.SlavePath());
        StorePortSettings(stored);

        TMainForm main(TMainForm::Options{false});
        RegisterTaskWindows(main);
        main.show();
        main.ST_LEDClick();
        QVERIFY(main.ComPort->Connected());
        TComm& engine = main.Engine();

        main.OpenChildWindow(ChildWindow::ParameterSet);
        auto* editor = main.findChild<TParameterFrm*>();
        QVERIFY(editor);
        QCOMPARE(editor->windowTitle(), QString("Parameter Edit1"));
        QTRY_COMPARE(engine.ActiveWindow, std::int32_t(EditorActive));

        // A read that hangs must not hang the test: Cancel it after a while.
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&main] {
            if (auto* status = main.findChild<TFrm_Status*>()) status->Btn_CancelClick();
        });
        guard.start(kPatienceMs);
        QTest::mouseClick(editor->findChild<QPushButton*>("Btn_ParameterRead"), Qt::LeftButton);
        QVERIFY2(guard.isActive(), "the progress window did not close by itself");
        guard.stop();
        QVERIFY(!main.findChild<TFrm_Status*>());

        // The window may close just before the last reply; the read ends with it.
        QTRY_COMPARE_WITH_TIMEOUT(engine.ContinuationKind, 0, 5000);
        QCOMPARE(engine.LinkState, std::uint8_t(Idle));
        const std::vector<std::string> requests = drive.RequestLog();
        QCOMPARE(requests.size(), std::size_t(kSlotCount));
        const auto addresses = AllAddresses();
        for (std::size_t i = 0; i < addresses.size(); ++i)
            QCOMPARE(requests[i], Frame::BuildRequest("SET", addresses[i]));
        for (int group = 0; group < kGroupCount; ++group) {
            for (int number = 0; number < kSlotsPerGroup; ++number) {
                std::optional<std::string> held;
                drive.WithSim(
                    [&](DriveSim& sim) { held = sim.Slot(ParameterAddress(group, number)); });
                QCOMPARE(editor->ParameterValue(group, number + 1), held.value_or(""));
            }
        }
        QCOMPARE(editor->ParameterValue(5, 14), std::string("24321"));
        QCOMPARE(Grid(*editor)->item(5, 2)->text(), QString("4321"));

        TypeAndCommit(*editor, 5, "150.5");
        QTRY_COMPARE_WITH_TIMEOUT(engine.LinkState, std::uint8_t(Idle), 5000);
        std::optional<std::string> held;
        drive.WithSim([&](DriveSim& sim) { held = sim.Slot("004"); });
        QCOMPARE(held, std::optional<std::string>("150.5"));
        QCOMPARE(drive.RequestLog().back(), Frame::BuildRequest("STR", "004150.5"));

        // While the servo runs the drive refuses: the status bar says so, the row goes back.
        drive.WithSim([](DriveSim& sim) { sim.SetServoOn(true); });
        TypeAndCommit(*editor, 5, "200");
        QTRY_COMPARE_WITH_TIMEOUT(
            StatusPanel(main)->text(),
            QString("Can not change this parameter when the servo is running. !!!"), 5000);
        QCOMPARE(Grid(*editor)->item(4, 2)->text(), QString("150.5"));
        drive.WithSim([&](DriveSim& sim) { held = sim.Slot("004"); });
        QCOMPARE(held, std::optional<std::string>("150.5"));
        QCOMPARE(boxes.Texts(), QStringList{});

        QTest::mouseClick(editor->findChild<QPushButton*>("Btn_Exit"), Qt::LeftButton);
        QTRY_VERIFY(main.MdiArea()->subWindowList().isEmpty());
        QTRY_COMPARE(engine.EditorRef, static_cast<IParameterEditor*>(nullptr));
    }
};

QTEST_MAIN(ParameterEditorE2ETest)
#include "ParameterEditorE2ETest.moc"
