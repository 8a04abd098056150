// The monitoring window on the wire: what it sends for each user action and
// timer tick, and what it shows for the drive's replies.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

#include "monitoring/IoSignals.h"
#include "parameters/Parameter.h"
#include "protocol/AlarmTables.h"
#include "tests/monitoring/MonitorRig.h"
#include "widgets/ArrowLed.h"
#include "widgets/LedMatrix.h"
#include "widgets/RectLed.h"
#include "widgets/RockerSwitch.h"
#include "widgets/RoundLedButton.h"
#include "widgets/SevenSegment.h"
#include "widgets/SlidingScale.h"
#include "widgets/ToggleSwitch.h"

using Requests = std::vector<std::string>;

class MonitoringWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { REQUIRE_HANGUL_FONT(); }
    void firstOpeningReadsTheSignalAssignmentOnce();
    void normalSlotsAndTheIoWord();
    void arrowsFollowTheFirstGraphValue();
    void monitoringNeedsAnItem();
    void tuningPageSwitchesTheServoOff();
    void unansweredAliveCheckLeavesQuestionMarks();
    void jogReverseThenRelease();
    void jogWithoutSpeedReadSendsNoJog();
    void autoTuningShowsTheInertiaFirst();
    void etcProceduresAndTheirTickLimits();
    void torqueManualOffsetUp();
    void statusDisplay();
    void assignmentCaptions();
    void malformedRepliesAbortAndRecover();
    void activeWindowFollowsTheMdiChild();
};

namespace {

void Select(QWidget* window, int slot, int entry) {
    Find<QComboBox>(window, qPrintable(QString("Combo%1").arg(slot)))->setCurrentIndex(entry);
}

// A window that has run its first start-up sequence.
std::unique_ptr<TFrm_Monitoring> OpenStarted(MonitorRig& rig) {
    auto window = rig.Open();
    rig.StartUp(*window);
    rig.TakeRequests();
    return window;
}

QString Text(QWidget* window, const char* label) {
    return Find<QLabel>(window, label)->text();
}

}  // namespace

void MonitoringWindowTest::firstOpeningReadsTheSignalAssignmentOnce() {
    MonitorRig rig;
    auto window = rig.Open();
    rig.StartUp(*window);
    QCOMPARE(rig.TakeRequests(), (Requests{"LIV", "TYP", "VER", "STS", "SET005", "SET006", "SET007",
                                           "SET008", "SET009", "SET010", "SET011"}));
    QCOMPARE(Text(window.get(), "Label_MotorW"), QString("NQV 50W"));
    QCOMPARE(Text(window.get(), "Label_SoftVersion"), QString("V1.20"));
    QVERIFY(Find<ToggleSwitch>(window.get(), "Sw_Monitoring")->isEnabled());
    QVERIFY(Find<QPushButton>(window.get(), "Btn_AutoTuning")->isEnabled());
    const Requests later{"LIV", "TYP", "VER", "STS"};
    window->FormDeactivate();
    window->FormActivate();
    rig.StartUp(*window);
    QCOMPARE(rig.TakeRequests(), later);
    Find<RockerSwitch>(window.get(), "SwR_UpDownAxis")->setEnabled(true);
    emit Find<RockerSwitch>(window.get(), "SwR_UpDownAxis")->UpClick();
    QCOMPARE(Text(window.get(), "Label_Axis"), QString("Axis 1"));
    rig.StartUp(*window);
    QCOMPARE(rig.TakeRequests(), later);
    emit Find<RockerSwitch>(window.get(), "SwR_UpDownAxis")->DownClick();
    emit Find<RockerSwitch>(window.get(), "SwR_UpDownAxis")->DownClick();
    QCOMPARE(Text(window.get(), "Label_Axis"), QString("Axis 0"));
    rig.StartUp(*window);
    rig.TakeRequests();
    Find<QPushButton>(window.get(), "Btn_ServoAlarmReset")->click();
    rig.Deliver();
    rig.StartUp(*window);
    QCOMPARE(rig.TakeRequests(), (Requests{"RST", "LIV", "TYP", "VER", "STS"}));
}

void MonitoringWindowTest::normalSlotsAndTheIoWord() {
    MonitorRig rig;
    auto window = OpenStarted(rig);
    emit Find<RoundLedButton>(window.get(), "Led_SelectD")->clicked();
    Select(window.get(), 1, 1);
    Select(window.get(), 3, 3);
    QCOMPARE(Text(window.get(), "Label_Unit3"), QString("mV"));
    rig.port.replies["MDM"] = Data("MDM12&530&00A5");
    Find<ToggleSwitch>(window.get(), "Sw_Monitoring")->setChecked(true);
    QVERIFY(!Find<QComboBox>(window.get(), "Combo1")->isEnabled());
    rig.Tick(window->OperationTimers(), 2, 4);
    QCOMPARE(rig.TakeRequests(), (Requests{"MDM101315", "STS", "MDM101315", "STS"}));
    QCOMPARE(Text(window.get(), "Label_Dig1"), QString("12"));
    QCOMPARE(Text(window.get(), "Label_Dig3"), QString("530"));
    auto* leds = Find<LedMatrix>(window.get(), "LedMatrix_Mot");
    QList<bool> lit;
    for (int n = 0; n < 12; ++n) lit << leds->IsLit(n / 4, n % 4);
    QCOMPARE(lit, (QList<bool>{true, false, true, false, false, true, false, true, false, false,
                               false, false}));
    QCOMPARE(leds->Caption(1, 3), QString("E-STOP"));
    QCOMPARE(leds->Caption(2, 3), QString("S-ALM"));

    // Switching off stops polling and runs the start-up steps again.
    Find<ToggleSwitch>(window.get(), "Sw_Monitoring")->setChecked(false);
    rig.Tick(window->OperationTimers(), 2, 3);
    rig.StartUp(*window);
    QCOMPARE(rig.TakeRequests(), (Requests{"LIV", "TYP", "VER", "STS"}));
    QVERIFY(Find<QComboBox>(window.get(), "Combo1")->isEnabled());
}

void MonitoringWindowTest::arrowsFollowTheFirstGraphValue() {
    MonitorRig rig;
    auto window = OpenStarted(rig);
    Select(window.get(), 5, 1);
    Find<QCheckBox>(window.get(), "CheckBox_IOMot")->setChecked(false);
    Find<ToggleSwitch>(window.get(), "Sw_Monitoring")->setChecked(true);
    auto* n = Find<ArrowLed>(window.get(), "LedA_N");
    auto* p = Find<ArrowLed>(window.get(), "LedA_P");
    struct Case {
        const char* reply;
        bool n, p;
    };
    for (const Case& c :
         {Case{"MDM-20", false, true}, Case{"MDM35", true, false}, Case{"MDM0", false, false}}) {
        rig.port.replies["MDM"] = Data(c.reply);
        rig.Tick(window->OperationTimers(), 2, 2);
        QCOMPARE(n->IsOn(), c.n);
        QCOMPARE(p->IsOn(), c.p);
    }
    QCOMPARE(rig.TakeRequests().front(), std::string("MDM00"));
    QCOMPARE(Text(window.get(), "Label_Dig5"), QString("0"));
}

void MonitoringWindowTest::monitoringNeedsAnItem() {
    MonitorRig rig;
    auto window = OpenStarted(rig);
    Find<ToggleSwitch>(window.get(), "Sw_Monitoring")->setChecked(true);
    QCOMPARE(rig.boxes.Texts(), QStringList{"모니터링하고자하는 항목을 선택하세요."});
    QVERIFY(!Find<ToggleSwitch>(window.get(), "Sw_Monitoring")->isChecked());
    QVERIFY(!window->OperationTimers()->Enabled(2));
}

void MonitoringWindowTest::tuningPageSwitchesTheServoOff() {
    MonitorRig rig;
    auto window = OpenStarted(rig);
    auto* servo = Find<ToggleSwitch>(window.get(), "Sw_ServoOn");
    servo->setChecked(true);
    rig.Deliver();
    Select(window.get(), 5, 1);
    Find<ToggleSwitch>(window.get(), "Sw_Monitoring")->setChecked(true);
    Find<QTabWidget>(window.get(), "PageControl_Monitor")->setCurrentIndex(2);
    rig.Deliver();
    QCOMPARE(rig.TakeRequests(), (Requests{"SVRON", "SVROFF"}));
    QCOMPARE(rig.boxes.Texts(), QStringList{"진행중이던 모니터링이 중지 됩니다."});
    QVERIFY(!servo->isEnabled());
    QVERIFY(!Find<ToggleSwitch>(window.get(), "Sw_Monitoring")->isEnabled());
    QVERIFY(!Find<ToggleSwitch>(window.get(), "Sw_Monitoring")->isChecked());
}

void MonitoringWindowTest::unansweredAliveCheckLeavesQuestionMarks() {
    MonitorRig rig;
    rig.port.replies["LIV"] = std::nullopt;
    auto window = rig.Open();
    rig.Tick(window->MonitorTimers(), 1);
    for (int i = 0; i < 5; ++i) rig.comm.HandleTimeout();
    QCOMPARE(Text(window.get(), "Label_MotorW"), QString("????"));
    QCOMPARE(Text(window.get(), "Label_SoftVersion"), QString("???"));
    QVERIFY(!window->MonitorTimers()->Enabled(1));
    QVERIFY(!Find<QPushButton>(window.get(), "Btn_ServoAlarmReset")->isEnabled());
    QVERIFY(!Find<ToggleSwitch>(window.get(), "Sw_ServoOn")->isEnabled());
    QCOMPARE(rig.TakeRequests(), Requests{"LIV"});  // no resend

    rig.port.replies["LIV"] = Ack();
    window->FormActivate();
    rig.StartUp(*window);
    QCOMPARE(Text(window.get(), "Label_MotorW"), QString("NQV 50W"));
    QVERIFY(Find<ToggleSwitch>(window.get(), "Sw_ServoOn")->isEnabled());
}

void MonitoringWindowTest::jogReverseThenRelease() {
    MonitorRig rig;
    auto window = OpenStarted(rig);
    rig.port.replies["SET201"] = Data("SET500");
    Find<QTabWidget>(window.get(), "PageControl_Monitor")->setCurrentIndex(2);
    rig.Tick(window->OperationTimers(), 9, 3);
    Find<ToggleSwitch>(window.get(), "SwR_JogOn")->setChecked(true);
    rig.Tick(window->OperationTimers(), 9, 3);
    QVERIFY(window->OperationTimers()->Enabled(5));
    auto* reverse = Find<ArrowLed>(window.get(), "Led_JogN");
    QTest::mousePress(reverse, Qt::LeftButton);
    QVERIFY(reverse->IsOn());
    QCOMPARE(Find<SlidingScale>(window.get(), "Sliding_Speed")->Value(), -500.0);
    rig.TakeRequests();
    rig.Tick(window->OperationTimers(), 5, 3);
    QCOMPARE(rig.TakeRequests(), (Requests{"JOG-", "JOG-", "JOG-"}));
    QTest::mouseRelease(reverse, Qt::LeftButton);
    QCOMPARE(Find<SlidingScale>(window.get(), "Sliding_Speed")->Value(), 0.0);
    rig.Tick(window->OperationTimers(), 5, 2);
    Find<ToggleSwitch>(window.get(), "SwR_JogOn")->setChecked(false);
    rig.Deliver();
    rig.Tick(window->OperationTimers(), 5, 2);
    QCOMPARE(rig.TakeRequests(), (Requests{"JOG0", "JOG0", "SVROF"}));
    QVERIFY(!reverse->isEnabled());
    QVERIFY(Find<QPushButton>(window.get(), "Btn_AutoTuning")->isEnabled());
}

void MonitoringWindowTest::jogWithoutSpeedReadSendsNoJog() {
    MonitorRig rig;
    auto window = OpenStarted(rig);
    rig.port.replies["SET201"] = std::nullopt;
    Find<QTabWidget>(window.get(), "PageControl_Monitor")->setCurrentIndex(2);
    rig.Tick(window->OperationTimers(), 9, 12);
    rig.comm.LinkState = Idle;  // the engine's time-out would have ended the read
    Find<ToggleSwitch>(window.get(), "SwR_JogOn")->setChecked(true);
    rig.Tick(window->OperationTimers(), 9, 20);
    QTest::mousePress(Find<ArrowLed>(window.get(), "Led_JogP"), Qt::LeftButton);
    rig.Tick(window->OperationTimers(), 5, 5);
    for (const std::string& request : rig.TakeRequests())
        QVERIFY2(request.rfind("JOG", 0) != 0, request.c_str());
    QCOMPARE(Find<QSpinBox>(window.get(), "SEdit_JogSpeed")->value(), 500);
}

void MonitoringWindowTest::autoTuningShowsTheInertiaFirst() {
    MonitorRig rig;
    auto window = OpenStarted(rig);
    Find<QTabWidget>(window.get(), "PageControl_Monitor")->setCurrentIndex(2);
    rig.Tick(window->OperationTimers(), 9, 3);
    auto* gain = Find<QLineEdit>(window.get(), "Edit_GainValue");
    QString gainWhenOk;
    MessageService::SetResponder([&](const MessageService::Box& box) {
        if (box.text == "Turning OK!!") gainWhenOk = gain->text();
        return QMessageBox::Ok;
    });
    rig.port.replies["TAT"] = Data("BSY");
    rig.port.replies["TAT01"] = Ack();
    rig.port.replies["SET004"] = Data("SET320");
    Find<QPushButton>(window.get(), "Btn_AutoTuning")->click();
    rig.Deliver();
    QVERIFY(QApplication::overrideCursor());
    rig.Tick(window->OperationTimers(), 8, 10);
    rig.port.replies["TAT"] = Data("TOK");
    rig.Tick(window->OperationTimers(), 8, 10);
    MessageService::SetResponder({});
    QCOMPARE(gainWhenOk, QString("320"));
    QVERIFY(!window->OperationTimers()->Enabled(8));
    QVERIFY(!QApplication::overrideCursor());
    const Requests sent = rig.TakeRequests();
    QCOMPARE(sent.back(), std::string("SET004"));
    QCOMPARE(sent[1], std::string("TAT01"));
}

void MonitoringWindowTest::etcProceduresAndTheirTickLimits() {
    struct Case {
        const char* button;
        int busyTicks;  // 50 ms ticks
        const char* message;
    };
    for (const Case& c : {Case{"Btn_ResetABS", 120, "Reset OK!!"},
                          Case{"Btn_GainBackup", 60, "Reset Error... or Short Time. "}}) {
        MonitorRig rig;
        auto window = OpenStarted(rig);
        Find<QTabWidget>(window.get(), "PageControl_Monitor")->setCurrentIndex(2);
        rig.Tick(window->OperationTimers(), 9, 3);
        rig.port.replies["ETC"] = Data("BSY");
        rig.port.replies["ETC10"] = rig.port.replies["ETC11"] = Ack();
        Find<QPushButton>(window.get(), c.button)->click();
        rig.Deliver();
        for (int tick = 0; tick < 200 && window->OperationTimers()->Enabled(6); ++tick) {
            if (tick == c.busyTicks) rig.port.replies["ETC"] = Data("TOK");
            rig.Tick(window->OperationTimers(), 6);
        }
        QCOMPARE(rig.boxes.Texts().last(), QString(c.message));
        QVERIFY(!QApplication::overrideCursor());
    }
}

void MonitoringWindowTest::torqueManualOffsetUp() {
    MonitorRig rig;
    auto window = OpenStarted(rig);
    Find<QTabWidget>(window.get(), "PageControl_Monitor")->setCurrentIndex(2);
    rig.Tick(window->OperationTimers(), 9, 3);
    emit Find<RoundLedButton>(window.get(), "Led_Torque")->clicked();
    emit Find<RoundLedButton>(window.get(), "Led_Manual")->clicked();
    QVERIFY(window->ManualOffsetActive());
    QVERIFY(!Find<QPushButton>(window.get(), "Btn_AutoOffset")->isEnabled());
    rig.port.replies["MDM03"] = Data("MDM12.3");
    rig.TakeRequests();
    rig.Tick(window->OperationTimers(), 3, 2);
    emit Find<RockerSwitch>(window.get(), "Sw_Offset")->UpClick();
    rig.Tick(window->OperationTimers(), 3, 3);
    QCOMPARE(rig.TakeRequests(), (Requests{"MDM03", "MDM03", "TMN04", "MDM03", "MDM03"}));
    auto* display = Find<SevenSegmentReal>(window.get(), "Seg_Offset");
    QCOMPARE(display->Decimals(), 1);
    QCOMPARE(display->Text(), QString("12.3"));
    // Back on the first page the manual mode ends.
    Find<QTabWidget>(window.get(), "PageControl_Monitor")->setCurrentIndex(0);
    QVERIFY(!window->ManualOffsetActive());
    QVERIFY(!window->OperationTimers()->Enabled(3));
}

void MonitoringWindowTest::statusDisplay() {
    MonitorRig rig;
    auto window = OpenStarted(rig);
    auto* status = Find<RectLed>(window.get(), "LedR_Status");
    auto* servo = Find<ToggleSwitch>(window.get(), "Sw_ServoOn");
    auto sts = [&](const char* value) {
        rig.port.replies["STS"] = Data(std::string("STS") + value);
        rig.comm.SendData.Command = "STS";
        rig.comm.SendCommand("STS", {});
        rig.comm.LinkState = AwaitData;
        rig.Deliver();
    };
    sts("CS11RUN");
    QVERIFY(servo->isChecked());
    QCOMPARE(rig.TakeRequests(), Requests{"STS"});  // shown on, nothing sent
    QVERIFY(Find<RectLed>(window.get(), "LedR_ControlModeV")->IsOn());
    QVERIFY(Find<RectLed>(window.get(), "LedR_ControlModeC")->IsOn());
    QVERIFY(!Find<RectLed>(window.get(), "LedR_ControlModeP")->IsOn());
    QVERIFY(!Find<RectLed>(window.get(), "LedR_ControlModeT")->IsOn());
    QVERIFY(Find<RectLed>(window.get(), "LedR_SpeedMatch")->IsOn());
    sts("X 00RDY");
    QVERIFY(Find<RectLed>(window.get(), "LedR_ControlModeV")->IsOn());
    QVERIFY(!servo->isChecked());
    sts("XY00RDY");
    QCOMPARE(rig.hooks.status, std::string("Noting Control Mode!!"));
    QCOMPARE(rig.comm.CommError, 1);
    sts("P 00E12");
    QCOMPARE(status->Label(), QString("E12"));
    QCOMPARE(rig.hooks.status, AlarmNames[12]);
    QVERIFY(window->MonitorTimers()->Enabled(9));
    const bool before = status->IsOn();
    window->MonitorTimers()->Fire(9);
    QCOMPARE(status->IsOn(), !before);
    window->MonitorTimers()->Fire(9);
    QCOMPARE(status->IsOn(), before);
    // RESET stops the blink and leaves the LED lit.
    Find<QPushButton>(window.get(), "Btn_ServoAlarmReset")->click();
    QVERIFY(!window->MonitorTimers()->Enabled(9));
    QVERIFY(status->IsOn());
}

void MonitoringWindowTest::assignmentCaptions() {
    IoLabels() = IoSignalNames();
    MonitorRig rig;
    rig.port.replies["SET005"] = Data("SET4321");
    rig.port.replies["SET009"] = Data("SET0005");
    auto window = OpenStarted(rig);
    auto* leds = Find<LedMatrix>(window.get(), "LedMatrix_Mot");
    QCOMPARE(leds->Caption(0, 0), QString("/SV-ON"));
    QCOMPARE(leds->Caption(0, 1), QString("P-OT"));
    QCOMPARE(leds->Caption(0, 2), QString("N-OT"));
    QCOMPARE(leds->Caption(0, 3), QString("/P-CON"));
    QCOMPARE(leds->Caption(1, 0), QString("/ABS-DT"));
    // Kept for the program's life: a window opened later shows them at once.
    window.reset();
    MonitorRig again;
    auto second = again.Open();
    QCOMPARE(Find<LedMatrix>(second.get(), "LedMatrix_Mot")->Caption(0, 0), QString("/SV-ON"));
    IoLabels() = IoSignalNames();
}

void MonitoringWindowTest::malformedRepliesAbortAndRecover() {
    for (const char* reply : {"MDM1&2&3&4&5&6", "MDM12&530&XYZ", "MDM12&530&1FFFF"}) {
        MonitorRig rig;
        auto window = OpenStarted(rig);
        emit Find<RoundLedButton>(window.get(), "Led_SelectD")->clicked();
        Select(window.get(), 1, 1);
        Select(window.get(), 3, 3);
        rig.port.replies["MDM"] = Data(reply);
        Find<ToggleSwitch>(window.get(), "Sw_Monitoring")->setChecked(true);
        rig.Tick(window->OperationTimers(), 2);
        QCOMPARE(rig.comm.CommError, 2);
        QVERIFY(!window->OperationTimers()->Enabled(2));
        QVERIFY(!Find<ToggleSwitch>(window.get(), "Sw_Monitoring")->isChecked());
        QVERIFY(!Find<ToggleSwitch>(window.get(), "Sw_Monitoring")->isEnabled());
        QCOMPARE(Text(window.get(), "Label_Dig1"), QString("0"));
        window->FormActivate();
        rig.StartUp(*window);
        QVERIFY(Find<ToggleSwitch>(window.get(), "Sw_Monitoring")->isEnabled());
        QVERIFY(Find<QTabWidget>(window.get(), "PageControl_Monitor")->isEnabled());
    }
    // A status number outside 0..99 and a short status reply are aborted the same way.
    for (const char* reply : {"STSP 00E1X", "STSP 0"}) {
        MonitorRig rig;
        auto window = OpenStarted(rig);
        rig.port.replies["STS"] = Data(reply);
        window->FormActivate();
        rig.StartUp(*window);
        QCOMPARE(rig.comm.CommError, 2);
        rig.port.replies["STS"] = Data("STSP 00RDY");
        window->FormActivate();
        rig.StartUp(*window);
        QVERIFY(Find<ToggleSwitch>(window.get(), "Sw_Monitoring")->isEnabled());
    }
}

void MonitoringWindowTest::activeWindowFollowsTheMdiChild() {
    MonitorRig rig;
    QMdiArea area;
    area.resize(1200, 900);
    area.show();
    QApplication::setActiveWindow(&area);
    auto* editor = new TParameterFrm(rig.comm, {});
    auto* monitor = new TFrm_Monitoring(rig.comm);
    QMdiSubWindow* editorSub = area.addSubWindow(editor);
    QMdiSubWindow* monitorSub = area.addSubWindow(monitor);
    editorSub->show();
    monitorSub->show();
    area.setActiveSubWindow(editorSub);
    QCOMPARE(rig.comm.ActiveWindow, int(EditorActive));
    area.setActiveSubWindow(monitorSub);
    QCOMPARE(rig.comm.ActiveWindow, int(MonitoringActive));
    QVERIFY(monitor->MonitorTimers()->Enabled(1));
    // The frame losing and regaining the focus (a message box) changes nothing.
    QWidget box;
    box.show();
    QApplication::setActiveWindow(&box);
    QApplication::setActiveWindow(&area);
    QCOMPARE(rig.comm.ActiveWindow, int(MonitoringActive));
    // A WindowActivate sent to every child (what Qt does then) does not move it either.
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(editor, &activate);
    QCOMPARE(rig.comm.ActiveWindow, int(MonitoringActive));
    area.setActiveSubWindow(editorSub);
    QCOMPARE(rig.comm.ActiveWindow, int(EditorActive));
    QVERIFY(!Find<ToggleSwitch>(monitor, "Sw_Monitoring")->isEnabled());  // deactivated
}

QTEST_MAIN(MonitoringWindowTest)
#include "MonitoringWindowTest.moc"
