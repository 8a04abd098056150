// The function-bit and selection dialogs driven through their widgets; what
// they leave in EditValue is what the editor writes.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "parameters/NumberEdit.h"
#include "parameters/ParaSelectForm.h"
#include "parameters/ParaSetBitForm.h"
#include "widgets/HangulFont.h"
#include "widgets/MessageService.h"
#include "widgets/RockerSwitch.h"
#include "widgets/RoundLedButton.h"
#include "widgets/SevenSegment.h"

namespace {

template <typename T = QWidget>
T* Child(QWidget& window, const QString& name) {
    T* child = window.findChild<T*>(name);
    if (!child) qFatal("no control %s", qPrintable(name));
    return child;
}

QComboBox* Combo(QWidget& dialog, int k) {
    return Child<QComboBox>(dialog, QString("ComboBox%1").arg(k));
}

void Click(QWidget& dialog, const char* button) {
    QTest::mouseClick(Child<QPushButton>(dialog, button), Qt::LeftButton);
}

void Press(QWidget& dialog, const char* rocker, bool up, int times = 1) {
    auto* control = Child<RockerSwitch>(dialog, rocker);
    for (int i = 0; i < times; ++i)
        QTest::mouseClick(up ? control->UpHalf() : control->DownHalf(), Qt::LeftButton);
}

QString LineText(QWidget& dialog, const char* name) {
    return Child<QLineEdit>(dialog, name)->text();
}

// Indexes of the lit lamps of the control-mode panel, 1-based.
QList<int> LitLamps(QWidget& dialog) {
    QList<int> lit;
    for (int k = 1; k <= 11; ++k)
        if (Child<RoundLedButton>(dialog, QString("iLedRound%1").arg(k))->IsOn()) lit << k;
    return lit;
}

void TypeScale(TForm_ParaSelect& dialog, const QString& text) {
    auto* box = Child<NumberEdit>(dialog, "RxSpinEdit1");
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
}

unsigned ScaleShown(QWidget& dialog) {
    return Child<SevenSegmentNumber>(dialog, "iChar_AMonitor2")->Value();
}

}  // namespace

class ParameterDialogsTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        const QString missing = MissingHangulFontMessage();
        if (!missing.isEmpty()) QFAIL(qPrintable(missing));
    }

    // ------------------------------------------------------------ function bits

    void inputAssignmentShowsAndComposesDigits() {
        TEditHandOver handOver{"4321", 5};
        TForm_ParaSetting dialog(handOver);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QString("ParaSetting"));
        QCOMPARE(Child<QLabel>(dialog, "Panel3")->text(), QString("Pr0.05  Edit"));
        QCOMPARE(Child<QLabel>(dialog, "Panel4")->text(), QString("시퀀스 입력 신호 할당"));
        QVERIFY(Child(dialog, "Panel1")->isVisible());
        QVERIFY(!Child(dialog, "Panel5")->isVisible());
        QCOMPARE(Child<QLabel>(dialog, "iLabel4")->text(), QString("/SV-ON"));
        QCOMPARE(Child<QLabel>(dialog, "iLabel1")->text(), QString("/P-CON"));
        QCOMPARE(Combo(dialog, 4)->currentText(), QString("1: DI# 1, Pin NO:3"));
        QCOMPARE(Combo(dialog, 3)->currentIndex(), 2);
        QCOMPARE(Combo(dialog, 2)->currentIndex(), 3);
        QCOMPARE(Combo(dialog, 1)->currentText(), QString("4: DI# 4, Pin NO:6"));
        // The top row is the units digit.
        QVERIFY(Combo(dialog, 4)->y() < Combo(dialog, 1)->y());
        Combo(dialog, 4)->setCurrentIndex(8);
        Click(dialog, "Btn_SetPara");
        QCOMPARE(handOver.EditValue, std::string("4328"));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void reservedDigitsNeverChange_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("choice");  // entry chosen in the top row
        QTest::addColumn<QString>("result");
        QTest::newRow("Pr-1.10") << 110 << "0102" << 3 << "0103";
        QTest::newRow("Pr-0.09") << 9 << "3001" << 2 << "3002";
        QTest::newRow("Pr-2.13") << 213 << "9990" << 1 << "9991";
        QTest::newRow("Pr-6.07") << 607 << "5000" << 1 << "5001";
    }

    void reservedDigitsNeverChange() {
        QFETCH(int, code);
        QFETCH(QString, value);
        QFETCH(int, choice);
        QFETCH(QString, result);
        TEditHandOver handOver{value.toStdString(), code};
        TForm_ParaSetting dialog(handOver);
        dialog.show();
        QVERIFY(!Combo(dialog, 1)->isEnabled());
        QCOMPARE(Child<QLabel>(dialog, "iLabel1")->text(), QString("Reserved"));
        Combo(dialog, 4)->setCurrentIndex(choice);
        Click(dialog, "Btn_SetPara");
        QCOMPARE(QString::fromStdString(handOver.EditValue), result);
    }

    // SET without touching anything gives the value back, so the editor writes nothing.
    void unchangedChoicesGiveTheValueBack_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("value");
        for (int code : {2, 3, 5, 6, 7, 8, 9, 10, 11, 110, 213, 300, 606, 607, 608})
            QTest::newRow(qPrintable(QString("code %1").arg(code))) << code << "0000";
        QTest::newRow("Pr-0.03 0700") << 3 << "0700";
        QTest::newRow("Pr-0.06 short") << 6 << "765";
        QTest::newRow("Pr-0.10 short") << 10 << "321";
        QTest::newRow("Pr-0.02 zero") << 2 << "0";
        QTest::newRow("digit beyond its list") << 10 << "0009";
        QTest::newRow("not a digit") << 5 << "43x1";
    }

    void unchangedChoicesGiveTheValueBack() {
        QFETCH(int, code);
        QFETCH(QString, value);
        TEditHandOver handOver{value.toStdString(), code};
        TForm_ParaSetting dialog(handOver);
        dialog.show();
        Click(dialog, "Btn_SetPara");
        QCOMPARE(QString::fromStdString(handOver.EditValue), value);
    }

    void shortTextsShowTheDigitsTheDriveHolds() {
        TEditHandOver handOver{"700", 3};
        TForm_ParaSetting dialog(handOver);
        dialog.show();
        QCOMPARE(Combo(dialog, 2)->currentText(), QString("7 : 7"));
        QCOMPARE(Combo(dialog, 1)->currentText(), QString("0 : 기능 사용 안함"));
        for (int k : {3, 4}) {
            QVERIFY(Combo(dialog, k)->isEnabled());
            QCOMPARE(Combo(dialog, k)->count(), 1);
            QCOMPARE(Combo(dialog, k)->currentText(), QString("0 : Reserved"));
        }
        Combo(dialog, 1)->setCurrentIndex(2);
        Click(dialog, "Btn_SetPara");
        QCOMPARE(handOver.EditValue, std::string("2700"));
    }

    void polarityRowsOfferTwoEntries() {
        TEditHandOver handOver{"0110", 606};
        TForm_ParaSetting dialog(handOver);
        dialog.show();
        QCOMPARE(Combo(dialog, 4)->count(), 2);
        QCOMPARE(Combo(dialog, 3)->currentText(), QString("1 : 양수값->역방향 "));
        QCOMPARE(Combo(dialog, 1)->currentText(), QString("Reserved"));
        Combo(dialog, 4)->setCurrentIndex(1);
        Combo(dialog, 3)->setCurrentIndex(0);
        Click(dialog, "Btn_SetPara");
        QCOMPARE(handOver.EditValue, std::string("0101"));
    }

    void controlModeLamps_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QList<int>>("lit");
        QTest::newRow("A") << "A" << QList<int>{9};
        QTest::newRow("blanks around 3") << " 3 " << QList<int>{3};
        QTest::newRow("10") << "10" << QList<int>{11};
        QTest::newRow("none of the codes") << "7" << QList<int>{};
    }

    void controlModeLamps() {
        QFETCH(QString, value);
        QFETCH(QList<int>, lit);
        TEditHandOver handOver{value.toStdString(), 0};
        TForm_ParaSetting dialog(handOver);
        dialog.show();
        QVERIFY(Child(dialog, "Panel5")->isVisible());
        QVERIFY(!Child(dialog, "Panel1")->isVisible());
        QCOMPARE(Child<QLabel>(dialog, "Panel4")->text(), QString("제어 모드 설정"));
        QCOMPARE(LitLamps(dialog), lit);
        QCOMPARE(Child<QLabel>(dialog, "Label_Mode9")->text(), QString("CONTACT_SPEED"));
    }

    void controlModeSetAndExit() {
        TEditHandOver handOver{"A", 0};
        {
            TForm_ParaSetting dialog(handOver);
            dialog.show();
            QTest::mouseClick(Child(dialog, "iLedRound10"), Qt::LeftButton);
            QCOMPARE(LitLamps(dialog), QList<int>{10});
            Click(dialog, "Btn_Exit");
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
        }
        QCOMPARE(handOver.EditValue, std::string("A"));
        {
            TForm_ParaSetting dialog(handOver);
            dialog.show();
            QTest::mouseClick(Child(dialog, "iLedRound10"), Qt::LeftButton);
            Click(dialog, "Btn_SetPara");
        }
        QCOMPARE(handOver.EditValue, std::string("C"));
        // No lamp lit and none clicked: SET leaves the value alone rather than writing "".
        handOver.EditValue = "7";
        {
            TForm_ParaSetting dialog(handOver);
            dialog.show();
            Click(dialog, "Btn_SetPara");
        }
        QCOMPARE(handOver.EditValue, std::string("7"));
    }

    // ------------------------------------------------------------ motor code

    void motorCodeOpensAndStepsTheType() {
        TEditHandOver handOver{"26A5D", 1, 1};
        TForm_ParaSelect dialog(handOver);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QString("Selecting screen"));
        QVERIFY(Child(dialog, "Panel1")->isVisible());
        QVERIFY(!Child(dialog, "Panel2")->isVisible());
        QCOMPARE(LineText(dialog, "Edit_Morot"), QString("NQVZ"));
        QCOMPARE(int(Child<SevenSegmentChar>(dialog, "Char_Motor1")->Pattern()), 91);
        QCOMPARE(Child<SevenSegmentHex>(dialog, "hChar_Motor2")->Text(), QString("A5"));
        QCOMPARE(int(Child<SevenSegmentChar>(dialog, "Char_Motor3")->Pattern()), 55);
        QCOMPARE(LineText(dialog, "Edit_Text"), QString("Komotek/Panasonic 15-Wire 10000PPR INC"));
        QCOMPARE(Child<SevenSegmentChar>(dialog, "Char_Motor1")->LitColor(), QColor(128, 255, 255));
        QCOMPARE(Child<SevenSegmentChar>(dialog, "Char_Motor1")->UnlitColor(), QColor(0, 64, 128));

        Press(dialog, "Sw_Motor1", true);
        QCOMPARE(LineText(dialog, "Edit_Morot"), QString("PJLS"));
        QCOMPARE(int(Child<SevenSegmentChar>(dialog, "Char_Motor3")->Pattern()), 117);
        QCOMPARE(LineText(dialog, "Edit_Text"), QString("Komotek 15-Wire 5000PPR INC"));
        Click(dialog, "Btn_SET");
        QCOMPARE(handOver.EditValue, std::string("30A59"));
    }

    void motorTypeSkipsTheUnnamedRows() {
        TEditHandOver handOver{"35A59", 1, 1};
        TForm_ParaSelect dialog(handOver);
        dialog.show();
        QCOMPARE(LineText(dialog, "Edit_Morot"), QString("PJLL"));
        Press(dialog, "Sw_Motor1", true);
        QCOMPARE(LineText(dialog, "Edit_Morot"), QString("PJLQ"));
        Press(dialog, "Sw_Motor1", false);
        QCOMPARE(LineText(dialog, "Edit_Morot"), QString("PJLL"));
        Press(dialog, "Sw_Motor1", true, 4);
        Click(dialog, "Btn_SET");
        QCOMPARE(handOver.EditValue, std::string("39A59"));
    }

    void encoderAndPowerSwitches() {
        TEditHandOver handOver{"20018", 1, 1};
        TForm_ParaSelect dialog(handOver);
        dialog.show();
        auto* encoder = Child<SevenSegmentChar>(dialog, "Char_Motor3");
        QCOMPARE(int(encoder->Pattern()), 119);  // 8: A
        Press(dialog, "Sw_Motor3", true);
        QCOMPARE(int(encoder->Pattern()), 118);  // 11: H
        Press(dialog, "Sw_Motor3", true, 2);
        QCOMPARE(int(encoder->Pattern()), 55);  // 13: M, and there it stays
        Press(dialog, "Sw_Motor2", false, 5);
        QCOMPARE(Child<SevenSegmentHex>(dialog, "hChar_Motor2")->Text(), QString("A3"));
        Press(dialog, "Sw_Motor2", true, 20);
        QCOMPARE(Child<SevenSegmentHex>(dialog, "hChar_Motor2")->Text(), QString("15"));
        Click(dialog, "Btn_SET");
        QCOMPARE(handOver.EditValue, std::string("2015D"));
    }

    // An unmatched power code stays on the display; SET writes the table's code.
    void unmatchedMotorPartsAndExit() {
        TEditHandOver handOver{"26XYD", 1, 1};
        {
            TForm_ParaSelect dialog(handOver);
            dialog.show();
            QCOMPARE(Child<SevenSegmentHex>(dialog, "hChar_Motor2")->Text(), QString("XY"));
            Press(dialog, "Sw_Motor3", true);
            Click(dialog, "Btn_Exit");
        }
        QCOMPARE(handOver.EditValue, std::string("26XYD"));
        TForm_ParaSelect dialog(handOver);
        dialog.show();
        Click(dialog, "Btn_SET");
        QCOMPARE(handOver.EditValue, std::string("26A3D"));
    }

    // ------------------------------------------------------------ analog monitor

    void monitorOpensAtTheItemsMaximumScale() {
        TEditHandOver handOver{"20045", 512, 0};
        TForm_ParaSelect dialog(handOver);
        dialog.show();
        QVERIFY(Child(dialog, "Panel2")->isVisible());
        QVERIFY(!Child(dialog, "Panel1")->isVisible());
        QCOMPARE(Child<SevenSegmentNumber>(dialog, "iChar_AMonitor1")->Value(), 2u);
        QCOMPARE(LineText(dialog, "Edit_Commant"), QString("Position command"));
        QCOMPARE(Child<QLabel>(dialog, "Label_Unit")->text(), QString("[pulse]"));
        QCOMPARE(ScaleShown(dialog), 5000u);
        QCOMPARE(Child<NumberEdit>(dialog, "RxSpinEdit1")->text(), QString("5000"));
        QCOMPARE(Child<SevenSegmentNumber>(dialog, "iChar_AMonitor2")->UnlitColor(),
                 QColor(5, 118, 113));
        TypeScale(dialog, "45");
        QCOMPARE(ScaleShown(dialog), 45u);
        Click(dialog, "Btn_SET");
        QCOMPARE(handOver.EditValue, std::string("20045"));
    }

    void monitorItemAndScaleSwitches() {
        TEditHandOver handOver{"2500", 513, 0};  // four characters: item 0
        TForm_ParaSelect dialog(handOver);
        dialog.show();
        QCOMPARE(LineText(dialog, "Edit_Commant"), QString("Speed command"));
        QCOMPARE(ScaleShown(dialog), 500u);
        TypeScale(dialog, "45");
        Click(dialog, "Btn_SET");
        QCOMPARE(handOver.EditValue, std::string("45"));

        TForm_ParaSelect again(handOver);
        again.show();
        Press(again, "Sw_AMonitor1", true, 10);
        QCOMPARE(LineText(again, "Edit_Commant"), QString("Position error"));
        QCOMPARE(ScaleShown(again), 2500u);
        Press(again, "Sw_AMonitor2", true);
        QCOMPARE(ScaleShown(again), 2500u);
        Press(again, "Sw_AMonitor2", false, 3);
        QCOMPARE(ScaleShown(again), 2497u);
        Press(again, "Sw_AMonitor1", false, 5);
        QCOMPARE(LineText(again, "Edit_Commant"), QString("Torque command"));
        QCOMPARE(ScaleShown(again), 30u);
        TypeScale(again, "1");
        Press(again, "Sw_AMonitor2", false, 2);
        QCOMPARE(ScaleShown(again), 1u);
        Click(again, "Btn_SET");
        QCOMPARE(handOver.EditValue, std::string("10001"));
    }

    // A typed scale out of range is refused; the scale shown before stays and is what SET uses.
    void scaleOutOfRange() {
        TEditHandOver handOver{"10030", 609, 0};
        TForm_ParaSelect dialog(handOver);
        dialog.show();
        MessageCapture boxes;
        TypeScale(dialog, "31");
        QCOMPARE(boxes.Texts(), QStringList{"Range over... "});
        QCOMPARE(boxes.Boxes().front().kind, MessageService::Kind::Error);
        QCOMPARE(ScaleShown(dialog), 3u);
        TypeScale(dialog, "-2");
        QCOMPARE(boxes.Texts().size(), 2);
        Click(dialog, "Btn_SET");
        QCOMPARE(handOver.EditValue, std::string("10003"));
    }

    void monitorExitLeavesTheValue() {
        TEditHandOver handOver{"30500", 610, 0};
        TForm_ParaSelect dialog(handOver);
        dialog.show();
        Press(dialog, "Sw_AMonitor1", true);
        Click(dialog, "Btn_Exit");
        QCOMPARE(handOver.EditValue, std::string("30500"));
    }
};

QTEST_MAIN(ParameterDialogsTest)
#include "ParameterDialogsTest.moc"
