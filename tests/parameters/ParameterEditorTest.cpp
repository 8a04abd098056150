// The parameter editor driven through its widgets, checked on the wire: the
// requests the stand-in drive received and what the drive then holds.

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "parameters/Catalogue.h"
#include "parameters/NumberEdit.h"
#include "parameters/ParaSelectForm.h"
#include "parameters/ParaSetBitForm.h"
#include "protocol/Frame.h"
#include "tests/parameters/EditorRig.h"
#include "widgets/MessageService.h"
#include "widgets/RockerSwitch.h"

namespace {

using Strings = std::vector<std::string>;

QTableWidget* Grid(TParameterFrm& editor) {
    return editor.findChild<QTableWidget*>("StringGrid_Para");
}
NumberEdit* NumberBox(TParameterFrm& editor) {
    return editor.findChild<NumberEdit*>("RxSpinEdit1");
}
QPushButton* ButtonOf(QWidget& window, const char* name) {
    return window.findChild<QPushButton*>(name);
}

void Click(QPushButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

void ShowGroup(TParameterFrm& editor, int group) {
    auto* tabs = editor.findChild<QTabBar*>("TabControl_Para");
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(group).center());
}

// Selects the cell of a grid row (1..19) with the mouse.
void SelectCell(TParameterFrm& editor, int row, int column = TParameterFrm::kValueColumn) {
    QTableWidget* grid = Grid(editor);
    const QRect cell = grid->visualItemRect(grid->item(row - 1, column));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

QString CellText(TParameterFrm& editor, int row, int column = TParameterFrm::kValueColumn) {
    return Grid(editor)->item(row - 1, column)->text();
}

void PressEnter(TParameterFrm& editor) {
    QTest::keyClick(Grid(editor), Qt::Key_Return);
}

// Types into the open number editor (replacing its text) and ends with `key`.
void TypeNumber(TParameterFrm& editor, const QString& text, Qt::Key key = Qt::Key_Return) {
    NumberEdit* box = NumberBox(editor);
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
    QTest::keyClick(box, key);
}

// Runs `act` on the modal dialog of type Dialog as soon as it is up.
template <typename Dialog>
void WhenDialogOpens(std::function<void(Dialog&)> act, bool* seen) {
    QTimer::singleShot(0, [act, seen] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        *seen = dialog != nullptr;
        if (!dialog) return;
        act(*dialog);
    });
}

// A new editor that has read the drive, the requests of the read forgotten.
std::unique_ptr<TParameterFrm> ReadEditor(EditorRig& rig) {
    auto editor = rig.OpenEditor();
    Click(ButtonOf(*editor, "Btn_ParameterRead"));
    rig.ForgetRequests();
    return editor;
}

Strings AllReads() {
    Strings reads;
    for (const std::string& address : AllAddresses()) reads.push_back("SET" + address);
    return reads;
}

}  // namespace

class ParameterEditorTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { REQUIRE_HANGUL_FONT(); }

    void opensWithTheGivenLayout() {
        EditorRig rig;
        auto editor = rig.OpenEditor();
        QTableWidget* grid = Grid(*editor);
        const int widths[] = {50, 184, 110, 40, 623};
        const char* headers[] = {"번호", "이 름", "설정값", "단위", "비 고"};
        for (int column = 0; column < 5; ++column) {
            QCOMPARE(grid->columnWidth(column), widths[column]);
            QCOMPARE(grid->horizontalHeaderItem(column)->text(),
                     QString::fromUtf8(headers[column]));
        }
        QCOMPARE(grid->rowCount() + 1, TParameterFrm::kRows);
        QCOMPARE(grid->horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
        auto* tabs = editor->findChild<QTabBar*>("TabControl_Para");
        QCOMPARE(tabs->count(), 7);
        QCOMPARE(tabs->tabText(6), QString("GROUP 6"));
        QCOMPARE(tabs->shape(), QTabBar::RoundedSouth);
        QCOMPARE(editor->findChild<QLabel*>("Panel1")->text(), QString("Parameter Edit Axis 0"));
        QCOMPARE(editor->findChild<QLabel*>("Label_ParaAxis")->text(), QString("Axis 0"));
        QVERIFY(!editor->findChild<RockerSwitch*>("Sw_AxisUpDown")->isEnabled());
        QCOMPARE(CellText(*editor, 1, 0), QString("P0.00"));
        QCOMPARE(CellText(*editor, 6, 1), QString("입력신호할당1"));
        QCOMPARE(CellText(*editor, 15, 0), QString("P0.14"));
        QCOMPARE(CellText(*editor, 15, 1), QString());
        QVERIFY(NumberBox(*editor)->isHidden());
        QCOMPARE(rig.comm.ActiveWindow, std::int32_t(EditorActive));
        // Before any read every value cell is empty; the cursor is on row 1, column 1, INIT
        // enabled.
        for (int row = 1; row < TParameterFrm::kRows; ++row)
            QCOMPARE(CellText(*editor, row), QString());
        QCOMPARE(grid->currentRow(), 0);
        QCOMPARE(grid->currentColumn(), 1);
        QVERIFY(ButtonOf(*editor, "Btn_ParaInit")->isEnabled());
    }

    // The rocker stays disabled; its handlers still keep to the 36 axis characters.
    void axisHandlersKeepToTheAxisCharacters() {
        EditorRig rig;
        auto editor = rig.OpenEditor();
        auto* caption = editor->findChild<QLabel*>("Panel1");
        auto* axis = editor->findChild<QLabel*>("Label_ParaAxis");
        editor->Sw_AxisUpDownDownClick();
        QCOMPARE(axis->text(), QString("Axis 0"));
        for (int i = 0; i < 10; ++i) editor->Sw_AxisUpDownUpClick();
        QCOMPARE(axis->text(), QString("Axis A"));
        for (int i = 0; i < 30; ++i) editor->Sw_AxisUpDownUpClick();
        QCOMPARE(caption->text(), QString("Parameter Edit Axis Z"));
        QCOMPARE(axis->text(), QString("Axis Z"));
    }

    void cellsArePaintedByTheirRules() {
        EditorRig rig;
        auto editor = rig.OpenEditor();
        SelectCell(*editor, 3, 1);
        QTableWidget* grid = Grid(*editor);
        const QImage picture = grid->grab().toImage();
        auto colourAt = [&](int row, int column) {
            const QRect cell = grid->visualItemRect(grid->item(row - 1, column));
            return picture.pixelColor(grid->viewport()->mapTo(grid, cell.topLeft() + QPoint(3, 3)));
        };
        QCOMPARE(colourAt(1, 0), QColor(223, 223, 223));
        QCOMPARE(colourAt(1, 1), QColor(239, 239, 239));
        QCOMPARE(colourAt(1, 2), QColor(217, 222, 214));
        QCOMPARE(colourAt(1, 4), QColor(239, 239, 239));
        QCOMPARE(colourAt(3, 1), QColor(128, 128, 192));
    }

    // The first READ asks for all 133 slots in order; the progress window closes by itself.
    void firstReadAsksForEverySlotInOrder() {
        EditorRig rig;
        auto editor = rig.OpenEditor();
        Click(ButtonOf(*editor, "Btn_ParameterRead"));
        QCOMPARE(rig.Requests(), AllReads());
        QCOMPARE(rig.progressShown, 1);
        QVERIFY(rig.progressClosedItself);
        QVERIFY(rig.comm.TransferProgress > 99.0 && rig.comm.TransferProgress < 99.5);
        QCOMPARE(rig.comm.LinkState, std::uint8_t(Idle));
        QCOMPARE(rig.comm.ContinuationKind, 0);
        QVERIFY(!rig.hooks.timeoutTimer);
        QCOMPARE(CellText(*editor, 6), QString("4321"));
        QCOMPARE(CellText(*editor, 5), QString("100"));
        QCOMPARE(editor->ParameterValue(6, 16), std::string("200"));  // Pr-6.15, the last row read
        QCOMPARE(editor->ParameterValue(6, 19), std::string());       // Pr-6.18: US
    }

    void readWithGroup3SelectedShowsGroup3Again() {
        EditorRig rig;
        auto editor = rig.OpenEditor();
        ShowGroup(*editor, 3);
        Click(ButtonOf(*editor, "Btn_ParameterRead"));
        QCOMPARE(rig.Requests().size(), std::size_t(kSlotCount));
        QCOMPARE(editor->SelectedGroup(), 3);
        QCOMPARE(CellText(*editor, 1, 0), QString("P3.00"));
        QCOMPARE(CellText(*editor, 2), QString("2048"));
        QCOMPARE(CellText(*editor, 6), QString());  // Pr-3.05: not used
        QCOMPARE(editor->ParameterValue(0, 6), std::string("4321"));
    }

    // Slots the drive answered with US stay empty: no edit, INIT disabled; likewise before a read.
    void unusedSlotsCannotBeEdited() {
        EditorRig rig;
        auto editor = rig.OpenEditor();
        MessageCapture boxes;
        SelectCell(*editor, 6);
        PressEnter(*editor);
        QCOMPARE(boxes.Texts(), QStringList{"Not used in this parameter!!!"});
        QCOMPARE(boxes.Boxes().front().kind, MessageService::Kind::Information);

        Click(ButtonOf(*editor, "Btn_ParameterRead"));
        rig.ForgetRequests();
        boxes.Clear();
        SelectCell(*editor, 15);  // P0.14
        QVERIFY(!ButtonOf(*editor, "Btn_ParaInit")->isEnabled());
        PressEnter(*editor);
        QTest::mouseDClick(Grid(*editor)->viewport(), Qt::LeftButton, {},
                           Grid(*editor)->visualItemRect(Grid(*editor)->item(14, 2)).center());
        QCOMPARE(boxes.Texts(),
                 (QStringList{"Not used in this parameter!!!", "Not used in this parameter!!!"}));
        QVERIFY(NumberBox(*editor)->isHidden());
        editor->Btn_ParaInitClick();  // no catalogue default: nothing either
        QCOMPARE(rig.Requests(), Strings{});
        SelectCell(*editor, 6);
        QVERIFY(ButtonOf(*editor, "Btn_ParaInit")->isEnabled());
    }

    void numberEntry_data() {
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("sent");  // empty: nothing may be sent, "Range over." shown
        QTest::newRow("Pr-0.04 6000") << 0 << 5 << "6000" << int(Qt::Key_Return) << "STR0046000";
        QTest::newRow("Pr-0.04 6001") << 0 << 5 << "6001" << int(Qt::Key_Return) << "";
        QTest::newRow("Pr-0.04 150.5") << 0 << 5 << "150.5" << int(Qt::Key_Return) << "STR004150.5";
        QTest::newRow("Pr-0.04 100.0") << 0 << 5 << "100.0" << int(Qt::Key_Return) << "STR004100";
        QTest::newRow("Pr-0.04 -0.1") << 0 << 5 << "-0.1" << int(Qt::Key_Return) << "";
        QTest::newRow("Escape commits") << 1 << 4 << "77" << int(Qt::Key_Escape) << "STR10377";
        QTest::newRow("Enter commits") << 1 << 4 << "77" << int(Qt::Key_Enter) << "STR10377";
        QTest::newRow("empty is the minimum")
            << 2 << 6 << "" << int(Qt::Key_Return) << "STR205-5000";
        QTest::newRow("minus is the minimum")
            << 2 << 6 << "-" << int(Qt::Key_Return) << "STR205-5000";
        QTest::newRow("Pr-2.05 -5000") << 2 << 6 << "-5000" << int(Qt::Key_Escape) << "STR205-5000";
        QTest::newRow("Pr-2.00 99") << 2 << 1 << "99" << int(Qt::Key_Return) << "";
        QTest::newRow("Pr-0.12 0") << 0 << 13 << "0" << int(Qt::Key_Return) << "";
        QTest::newRow("too long for an integer")
            << 0 << 13 << "99999999999999999999" << int(Qt::Key_Return) << "";
        QTest::newRow("letters are refused")
            << 0 << 13 << "1x2" << int(Qt::Key_Return) << "STR01212";
    }

    void numberEntry() {
        QFETCH(int, group);
        QFETCH(int, row);
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(QString, sent);
        EditorRig rig;
        auto editor = ReadEditor(rig);
        ShowGroup(*editor, group);
        SelectCell(*editor, row);
        const QString before = CellText(*editor, row);
        PressEnter(*editor);
        QVERIFY(NumberBox(*editor)->isVisible());
        MessageCapture boxes;
        TypeNumber(*editor, typed, Qt::Key(key));
        if (sent.isEmpty()) {
            QCOMPARE(boxes.Texts(), QStringList{"Range over."});
            QCOMPARE(boxes.Boxes().front().kind, MessageService::Kind::Error);
            QVERIFY(NumberBox(*editor)->isVisible());
            QCOMPARE(NumberBox(*editor)->text(), typed);
            QCOMPARE(rig.Requests(), Strings{});
            QCOMPARE(CellText(*editor, row), before);
            return;
        }
        QCOMPARE(boxes.Texts(), QStringList{});
        QCOMPARE(rig.Requests(), Strings{sent.toStdString()});
        QVERIFY(NumberBox(*editor)->isHidden());
        QCOMPARE(CellText(*editor, row), sent.mid(6));
        rig.Deliver();
        QCOMPARE(rig.sim.Slot(sent.mid(3, 3).toStdString()),
                 std::optional(sent.mid(6).toStdString()));
        QCOMPARE(rig.comm.LinkState, std::uint8_t(Idle));
    }

    // A drive value outside the range is shown clamped; one that is no number leaves the box empty.
    void numberEditorSeed_data() {
        QTest::addColumn<QString>("driveValue");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("sent");
        QTest::newRow("above the range") << "900"
                                         << "700"
                                         << "STR103700";
        QTest::newRow("below the range") << "-3"
                                         << "0"
                                         << "STR1030";
        QTest::newRow("not a number") << "abc"
                                      << ""
                                      << "STR1030";
    }

    void numberEditorSeed() {
        QFETCH(QString, driveValue);
        QFETCH(QString, shown);
        QFETCH(QString, sent);
        EditorRig rig;
        rig.sim.SetSlot("103", driveValue.toStdString());
        auto editor = ReadEditor(rig);
        ShowGroup(*editor, 1);
        SelectCell(*editor, 4);
        PressEnter(*editor);
        QCOMPARE(NumberBox(*editor)->text(), shown);
        QTest::keyClick(NumberBox(*editor), Qt::Key_Return);
        QCOMPARE(rig.Requests(), Strings{sent.toStdString()});
    }

    // The real parameter shows one decimal place; its buttons step by 1 within the range.
    void numberEditorStepsWithinTheRange() {
        EditorRig rig;
        rig.sim.SetSlot("004", "5999.5");
        auto editor = rig.OpenEditor();
        Click(ButtonOf(*editor, "Btn_ParameterRead"));
        SelectCell(*editor, 5);
        PressEnter(*editor);
        NumberEdit* box = NumberBox(*editor);
        QCOMPARE(box->text(), QString("5999.5"));
        box->stepBy(1);
        QCOMPARE(box->text(), QString("6000.0"));
        box->stepBy(1);
        QCOMPARE(box->text(), QString("6000.0"));
        box->stepBy(-3);
        QCOMPARE(box->text(), QString("5997.0"));
        // The box sits over the value cell: 2 pixels in, 1 below its top.
        const QRect cell = Grid(*editor)->visualItemRect(Grid(*editor)->item(4, 2));
        const QPoint corner = Grid(*editor)->viewport()->mapTo(Grid(*editor), cell.topLeft());
        QCOMPARE(box->geometry().topLeft(), corner + QPoint(2, 1));
        QCOMPARE(box->width(), cell.width());
    }

    void tabChangeClosesTheNumberEditorWithoutWriting() {
        EditorRig rig;
        auto editor = ReadEditor(rig);
        SelectCell(*editor, 5);
        PressEnter(*editor);
        QTest::keyClicks(NumberBox(*editor), "15");
        ShowGroup(*editor, 1);
        QVERIFY(NumberBox(*editor)->isHidden());
        QCOMPARE(rig.Requests(), Strings{});
        QCOMPARE(editor->ParameterValue(0, 5), std::string("100"));
        QCOMPARE(CellText(*editor, 1, 0), QString("P1.00"));
    }

    void leavingTheNumberEditorWritesNothing() {
        EditorRig rig;
        auto editor = ReadEditor(rig);
        SelectCell(*editor, 5);
        PressEnter(*editor);
        QTest::keyClicks(NumberBox(*editor), "15");
        ButtonOf(*editor, "Btn_ParameterRead")->setFocus();
        QVERIFY(NumberBox(*editor)->isHidden());
        QCOMPARE(rig.Requests(), Strings{});
    }

    // GS to a store: the status text, and the written slot back to its old value
    // even when the user has moved to another row meanwhile.
    void refusedStoreRollsBack() {
        EditorRig rig;
        auto editor = rig.OpenEditor();
        Click(ButtonOf(*editor, "Btn_ParameterRead"));
        rig.sim.SetServoOn(true);
        SelectCell(*editor, 5);
        PressEnter(*editor);
        TypeNumber(*editor, "150");
        QCOMPARE(CellText(*editor, 5), QString("150"));
        SelectCell(*editor, 2);
        rig.Deliver();
        QCOMPARE(rig.hooks.status,
                 std::string("Can not change this parameter when the servo is running. !!!"));
        QCOMPARE(CellText(*editor, 5), QString("100"));
        QCOMPARE(editor->ParameterValue(0, 5), std::string("100"));
        QCOMPARE(CellText(*editor, 2), QString("41"));
        QCOMPARE(rig.sim.Slot("004"), std::optional<std::string>("100"));
        QCOMPARE(rig.comm.LinkState, std::uint8_t(Idle));

        rig.sim.SetServoOn(false);
        SelectCell(*editor, 5);
        PressEnter(*editor);
        TypeNumber(*editor, "150");
        rig.Deliver();
        QCOMPARE(CellText(*editor, 5), QString("150"));
        QCOMPARE(rig.sim.Slot("004"), std::optional<std::string>("150"));
    }

    void initWritesTheDefault_data() {
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("sent");
        QTest::newRow("Pr-0.05") << 0 << 6 << "STR0054321";
        QTest::newRow("Pr-0.06 short text") << 0 << 7 << "STR006765";
        QTest::newRow("Pr-1.09, row 10") << 1 << 10 << "STR109200";
        QTest::newRow("Pr-1.10, row 11") << 1 << 11 << "STR1101";
        QTest::newRow("Pr-2.05 from the name column") << 2 << 6 << "STR205100";
    }

    void initWritesTheDefault() {
        QFETCH(int, group);
        QFETCH(int, row);
        QFETCH(QString, sent);
        EditorRig rig;
        auto editor = rig.OpenEditor();
        Click(ButtonOf(*editor, "Btn_ParameterRead"));
        const std::string address = sent.mid(3, 3).toStdString();
        rig.sim.SetSlot(address, "7");
        Click(ButtonOf(*editor, "Btn_ParameterRead"));
        rig.ForgetRequests();
        ShowGroup(*editor, group);
        SelectCell(*editor, row, group == 2 ? 1 : 2);  // INIT acts whatever the column
        Click(ButtonOf(*editor, "Btn_ParaInit"));
        QCOMPARE(rig.Requests(), Strings{sent.toStdString()});
        QCOMPARE(CellText(*editor, row), sent.mid(6));
        rig.Deliver();
        QCOMPARE(rig.sim.Slot(address), std::optional(sent.mid(6).toStdString()));
    }

    // Nothing read yet, the cursor on its first cell: INIT writes the default of Pr-0.00.
    void initRightAfterOpening() {
        EditorRig rig;
        auto editor = rig.OpenEditor();
        Click(ButtonOf(*editor, "Btn_ParaInit"));
        QCOMPARE(rig.Requests(), Strings{"STR0001"});
    }

    void functionBitsThroughTheDialog() {
        EditorRig rig;
        auto editor = ReadEditor(rig);
        SelectCell(*editor, 6);

        bool seen = false;
        WhenDialogOpens<TForm_ParaSetting>(
            [](TForm_ParaSetting& dialog) { Click(ButtonOf(dialog, "Btn_Exit")); }, &seen);
        PressEnter(*editor);
        QVERIFY(seen);
        WhenDialogOpens<TForm_ParaSetting>(
            [](TForm_ParaSetting& dialog) { Click(ButtonOf(dialog, "Btn_SetPara")); }, &seen);
        PressEnter(*editor);
        QVERIFY(seen);
        QCOMPARE(rig.Requests(), Strings{});  // closed without a change: nothing sent

        WhenDialogOpens<TForm_ParaSetting>(
            [](TForm_ParaSetting& dialog) {
                dialog.findChild<QComboBox*>("ComboBox4")->setCurrentIndex(8);
                Click(ButtonOf(dialog, "Btn_SetPara"));
            },
            &seen);
        QTest::mouseDClick(Grid(*editor)->viewport(), Qt::LeftButton, {},
                           Grid(*editor)->visualItemRect(Grid(*editor)->item(5, 2)).center());
        QVERIFY(seen);
        QCOMPARE(rig.Requests(), Strings{"STR0054328"});
        QCOMPARE(CellText(*editor, 6), QString("4328"));
        rig.Deliver();
        QCOMPARE(rig.sim.Slot("005"), std::optional<std::string>("4328"));
    }

    // A short text shows the digits the drive holds; SET without a change writes nothing.
    void shortFunctionBitTextIsReadAsDigits() {
        EditorRig rig;
        auto editor = ReadEditor(rig);
        SelectCell(*editor, 7);  // Pr-0.06, "765"
        QStringList shown;
        bool seen = false;
        WhenDialogOpens<TForm_ParaSetting>(
            [&shown](TForm_ParaSetting& dialog) {
                for (int k = 1; k <= 4; ++k)
                    shown << dialog.findChild<QComboBox*>(QString("ComboBox%1").arg(k))
                                 ->currentText();
                Click(ButtonOf(dialog, "Btn_SetPara"));
            },
            &seen);
        PressEnter(*editor);
        QVERIFY(seen);
        QCOMPARE(shown, (QStringList{"0: 사용않함", "7: DI# 7, Pin NO:9", "6: DI# 6, Pin NO:8",
                                     "5: DI# 5, Pin NO:7"}));
        QCOMPARE(rig.Requests(), Strings{});
    }

    void motorCodeThroughTheDialog() {
        EditorRig rig;
        rig.sim.SetSlot("001", "26A5D");
        auto editor = ReadEditor(rig);
        SelectCell(*editor, 2);
        bool seen = false;
        WhenDialogOpens<TForm_ParaSelect>(
            [](TForm_ParaSelect& dialog) {
                QTest::mouseClick(dialog.findChild<RockerSwitch*>("Sw_Motor1")->UpHalf(),
                                  Qt::LeftButton);
                Click(ButtonOf(dialog, "Btn_SET"));
            },
            &seen);
        PressEnter(*editor);
        QVERIFY(seen);
        QCOMPARE(rig.Requests(), Strings{"STR00130A59"});
    }

    void monitorSettingThroughTheDialog() {
        EditorRig rig;
        auto editor = ReadEditor(rig);
        ShowGroup(*editor, 5);
        SelectCell(*editor, 13);  // Pr-5.12, "500": item 0 at its maximum scale
        bool seen = false;
        WhenDialogOpens<TForm_ParaSelect>(
            [](TForm_ParaSelect& dialog) { Click(ButtonOf(dialog, "Btn_SET")); }, &seen);
        PressEnter(*editor);
        QVERIFY(seen);
        QCOMPARE(rig.Requests(), Strings{});  // the value already set: nothing sent
        WhenDialogOpens<TForm_ParaSelect>(
            [](TForm_ParaSelect& dialog) {
                QTest::mouseClick(dialog.findChild<RockerSwitch*>("Sw_AMonitor2")->DownHalf(),
                                  Qt::LeftButton);
                Click(ButtonOf(dialog, "Btn_SET"));
            },
            &seen);
        PressEnter(*editor);
        QVERIFY(seen);
        QCOMPARE(rig.Requests(), Strings{"STR512499"});
    }

    // Replies go to the editor that sent the request, not to the one opened last;
    // closing another editor does not cut the link of the sender.
    void repliesGoToTheEditorThatAsked() {
        EditorRig rig;
        auto first = rig.OpenEditor();
        Click(ButtonOf(*first, "Btn_ParameterRead"));
        auto second = rig.OpenEditor();
        rig.sim.SetServoOn(true);
        SelectCell(*first, 5);
        PressEnter(*first);
        TypeNumber(*first, "150");
        second.reset();
        rig.Deliver();
        QCOMPARE(CellText(*first, 5), QString("100"));
        QCOMPARE(first->ParameterValue(0, 5), std::string("100"));

        // The sender closes before the refusal arrives: nothing is stored anywhere.
        SelectCell(*first, 5);
        PressEnter(*first);
        TypeNumber(*first, "200");
        first.reset();
        QCOMPARE(rig.comm.EditorRef, nullptr);
        rig.Deliver();
        QCOMPARE(rig.comm.LinkState, std::uint8_t(Idle));
    }

    // A reply the engine rejects (wrong echo) leaves its slot empty instead of
    // repeating the value of the slot before it; the read goes on.
    void rejectedReplyIsNotStoredUnderTheNextSlot() {
        EditorRig rig;
        rig.port.reshape = [](const std::string& request, const std::string& reply) {
            const auto parsed = ParseRequest(request);
            return parsed && parsed->data == "005" ? Frame::BuildReply('R', "SEX4321") : reply;
        };
        auto editor = rig.OpenEditor();
        Click(ButtonOf(*editor, "Btn_ParameterRead"));
        QCOMPARE(rig.Requests(), AllReads());
        QCOMPARE(editor->ParameterValue(0, 5), std::string("100"));
        QCOMPARE(editor->ParameterValue(0, 6), std::string());
        QCOMPARE(editor->ParameterValue(0, 7), std::string("765"));
    }

    // A read that fails stops where it is: what came in is kept, the grid is not refilled
    // and the progress window closes by itself, the error staying in the status panel.
    void failedReadStopsWhereItIs() {
        EditorRig rig;
        rig.port.reshape = [](const std::string& request, const std::string& reply) {
            const auto parsed = ParseRequest(request);
            return parsed && parsed->data == "104" ? std::string(1, Frame::NAK) : reply;
        };
        auto editor = rig.OpenEditor();
        Click(ButtonOf(*editor, "Btn_ParameterRead"));
        QCOMPARE(rig.Requests().size(), std::size_t(19 + 5));
        QVERIFY(rig.progressClosedItself);
        QCOMPARE(rig.hooks.status, std::string("NAK Error!!!"));
        QCOMPARE(editor->ParameterValue(0, 6), std::string("4321"));
        QCOMPARE(CellText(*editor, 6), QString());
        ShowGroup(*editor, 1);
        QCOMPARE(CellText(*editor, 4), QString("50"));
        QCOMPARE(CellText(*editor, 5), QString());
    }

    // A request that finds the port closed ends the read and leaves the link idle, not
    // waiting for a reply that cannot come; a read whose first request never went out
    // shows no progress window.
    void closedPortEndsTheRead_data() {
        QTest::addColumn<QString>("closeAfter");  // reply after which the line is lost; "": before
        QTest::addColumn<int>("requests");
        QTest::addColumn<int>("progressShown");
        QTest::newRow("before the first request") << "" << 0 << 0;
        QTest::newRow("during the read") << "104" << 19 + 5 << 1;
    }

    void closedPortEndsTheRead() {
        QFETCH(QString, closeAfter);
        QFETCH(int, requests);
        QFETCH(int, progressShown);
        EditorRig rig;
        rig.port.open = !closeAfter.isEmpty();
        const std::string lostAfter = closeAfter.toStdString();
        rig.port.reshape = [&rig, lostAfter](const std::string& request, const std::string& reply) {
            const auto parsed = ParseRequest(request);
            if (parsed && parsed->data == lostAfter) rig.port.open = false;
            return reply;
        };
        auto editor = rig.OpenEditor();
        Click(ButtonOf(*editor, "Btn_ParameterRead"));
        QCOMPARE(rig.Requests().size(), std::size_t(requests));
        QCOMPARE(rig.hooks.warnings, Strings{"Can not open the Com port !!!"});
        QCOMPARE(rig.progressShown, progressShown);
        QCOMPARE(rig.comm.LinkState, std::uint8_t(Idle));
        QCOMPARE(rig.comm.ContinuationKind, 0);
        QVERIFY(!rig.hooks.timeoutTimer);
        QCOMPARE(editor->ParameterValue(1, 5), closeAfter.isEmpty() ? "" : std::string("1000"));
    }
};

QTEST_MAIN(ParameterEditorTest)
#include "ParameterEditorTest.moc"
