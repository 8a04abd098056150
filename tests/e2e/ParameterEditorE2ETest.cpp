// The real application against the stand-in drive over a pseudo-terminal:
// the main window opens a parameter editor, READ fetches every slot through
// the real port, engine, timers and progress window, and a changed value ends
// up stored in the drive.

#include <QMdiArea>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "app/StatusFrm.h"
#include "parameters/Catalogue.h"
#include "parameters/NumberEdit.h"
#include "parameters/Parameter.h"
#include "protocol/Frame.h"
#include "sim/PtyDrive.h"
#include "tests/support/AppSession.h"

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
        PtyDrive drive;
        drive.WithSim([](DriveSim& sim) { sim.SetSlot("513", "24321"); });
        AppSession s(drive);
        QVERIFY(s.GoOnLine());
        TComm& engine = s.Engine();

        auto* editor = s.Open<TParameterFrm>("Parameter Set");
        QVERIFY(editor);
        QCOMPARE(editor->windowTitle(), QString("Parameter Edit1"));
        QTRY_COMPARE(engine.ActiveWindow, std::int32_t(EditorActive));

        // A read that hangs must not hang the test: Cancel it after a while.
        QVERIFY2(s.ClickThroughProgress(editor->findChild<QPushButton*>("Btn_ParameterRead"),
                                        kPatienceMs),
                 "the progress window did not close by itself");
        QVERIFY(!s.Main().findChild<TFrm_Status*>());

        // The window may close just before the last reply; the read ends with it.
        QTRY_COMPARE_WITH_TIMEOUT(engine.ContinuationKind, 0, 5000);
        QCOMPARE(engine.LinkState, std::uint8_t(Idle));
        const std::vector<std::string> requests = s.Requests();
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
        QCOMPARE(s.Requests().back(), Frame::BuildRequest("STR", "004150.5"));

        // While the servo runs the drive refuses: the status bar says so, the row goes back.
        drive.WithSim([](DriveSim& sim) { sim.SetServoOn(true); });
        TypeAndCommit(*editor, 5, "200");
        QTRY_COMPARE_WITH_TIMEOUT(
            s.Status(), QString("Can not change this parameter when the servo is running. !!!"),
            5000);
        QCOMPARE(Grid(*editor)->item(4, 2)->text(), QString("150.5"));
        drive.WithSim([&](DriveSim& sim) { held = sim.Slot("004"); });
        QCOMPARE(held, std::optional<std::string>("150.5"));
        QCOMPARE(s.Boxes().Texts(), QStringList{});

        QTest::mouseClick(editor->findChild<QPushButton*>("Btn_Exit"), Qt::LeftButton);
        QTRY_VERIFY(s.Main().MdiArea()->subWindowList().isEmpty());
        QTRY_COMPARE(engine.EditorRef, static_cast<IParameterEditor*>(nullptr));
    }
};

QTEST_MAIN(ParameterEditorE2ETest)
#include "ParameterEditorE2ETest.moc"
