// The real application reads every parameter slot from a stand-in drive that
// stalls long enough for the engine to resend, or answers every request twice.
// Whatever happens, no slot may end up holding another slot's value: each
// holds the drive's value, or the read ends with a message and the slot still
// holds what it held before.

#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>

#include "app/Main.h"
#include "app/StatusFrm.h"
#include "app/TaskWindows.h"
#include "parameters/Catalogue.h"
#include "parameters/Parameter.h"
#include "platform/ComPort.h"
#include "platform/PortSettingsStore.h"
#include "sim/PtyDrive.h"
#include "tests/support/AppTestSupport.h"
#include "widgets/MessageService.h"

namespace {

constexpr int kPatienceMs = 60000;

// Every used slot gets a value of its own, so a value in the wrong place shows.
void GiveEverySlotItsOwnValue(DriveSim& sim) {
    for (const std::string& address : AllAddresses())
        if (sim.Slot(address)) sim.SetSlot(address, "7" + address);
}

// The main window on line with the drive, a parameter editor open.
struct App {
    explicit App(PtyDrive& drive) : main(StoredPort(drive)) {
        RegisterTaskWindows(main);
        main.show();
        main.ST_LEDClick();
        main.OpenChildWindow(ChildWindow::ParameterSet);
        editor = main.findChild<TParameterFrm*>();
    }

    // Presses READ and waits until the read is over; false when it hung.
    bool Read() {
        QTimer guard;  // a read that hangs must not hang the test
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [this] {
            if (auto* status = main.findChild<TFrm_Status*>()) status->Btn_CancelClick();
        });
        guard.start(kPatienceMs);
        QTest::mouseClick(editor->findChild<QPushButton*>("Btn_ParameterRead"), Qt::LeftButton);
        if (!guard.isActive()) return false;
        guard.stop();
        // The window may close just before the last reply comes.
        return QTest::qWaitFor([this] { return main.Engine().ContinuationKind == 0; }, 10000) &&
               !main.findChild<TFrm_Status*>();
    }

    QString Status() { return StatusPanel(main)->text(); }

    // The main window finds the drive's port among its stored settings.
    static TMainForm::Options StoredPort(PtyDrive& drive) {
        PortSettings stored;
        stored.Port = QString::fromStdString(drive.SlavePath());
        StorePortSettings(stored);
        return TMainForm::Options{false};
    }

    TMainForm main;
    TParameterFrm* editor = nullptr;
};

struct SlotCheck {
    int fromDrive = 0, unchanged = 0;
    QStringList wrong;
};

SlotCheck CheckSlots(PtyDrive& drive, const TParameterFrm& editor,
                     const std::vector<std::string>& before) {
    SlotCheck check;
    std::size_t i = 0;
    for (int group = 0; group < kGroupCount; ++group) {
        for (int number = 0; number < kSlotsPerGroup; ++number, ++i) {
            const std::string address = ParameterAddress(group, number);
            std::optional<std::string> held;
            drive.WithSim([&](DriveSim& sim) { held = sim.Slot(address); });
            const std::string& value = editor.ParameterValue(group, number + 1);
            if (value == held.value_or(""))
                ++check.fromDrive;
            else if (value == before[i])
                ++check.unchanged;
            else
                check.wrong << QString("%1=%2").arg(QString::fromStdString(address),
                                                    QString::fromStdString(value));
        }
    }
    return check;
}

// A resend written while the late reply comes in must not be taken for a lost line.
QString LineLost(const MessageCapture& boxes) {
    return "the line was reported lost: " + boxes.Texts().join(" / ");
}

std::vector<std::string> EditorValues(const TParameterFrm& editor) {
    std::vector<std::string> values;
    for (int group = 0; group < kGroupCount; ++group)
        for (int number = 0; number < kSlotsPerGroup; ++number)
            values.push_back(editor.ParameterValue(group, number + 1));
    return values;
}

}  // namespace

class ResendE2ETest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { REQUIRE_HANGUL_FONT(); }

    // Stalls shorter than the engine's patience are resent and end well;
    // a longer one ends with the time-out message. Never a shifted value.
    void readThroughAStall_data() {
        QTest::addColumn<int>("stallMs");
        QTest::addColumn<int>("atRequest");
        for (int ms : {280, 350, 450, 600, 1200})
            for (int at : {1, 60, 133}) QTest::addRow("%d ms at request %d", ms, at) << ms << at;
    }
    void readThroughAStall() {
        QFETCH(int, stallMs);
        QFETCH(int, atRequest);
        ScratchSettings scratch;
        MessageCapture boxes;
        PtyDrive drive(DriveSim(), {.turnaroundMs = 5});
        drive.WithSim([&](DriveSim& sim) {
            GiveEverySlotItsOwnValue(sim);
            sim.SetFailure({FailureMode::Stall, atRequest, stallMs});
        });
        App app(drive);
        QVERIFY(app.editor);
        const std::vector<std::string> before = EditorValues(*app.editor);

        QVERIFY2(app.Read(), "the read hung");
        const SlotCheck check = CheckSlots(drive, *app.editor, before);
        QVERIFY2(check.wrong.isEmpty(), qPrintable(check.wrong.join(", ")));
        QVERIFY2(app.main.ComPort->Connected(), qPrintable(LineLost(boxes)));
        if (stallMs < 1000) {
            QCOMPARE(app.Status(), QString());
            QCOMPARE(check.fromDrive, kSlotCount);
            QCOMPARE(app.main.Engine().CommError, 0);
        } else {
            QCOMPARE(app.Status(), QString(LinkText::Timeout));
            // Read again at once: the drive answers the four copies late, in
            // the middle of it, and must not mislead it.
            drive.WithSim([](DriveSim& sim) { sim.SetFailure(FailureMode::None); });
            QVERIFY2(app.Read(), "the second read hung");
            const SlotCheck again = CheckSlots(drive, *app.editor, before);
            QVERIFY2(again.wrong.isEmpty(), qPrintable(again.wrong.join(", ")));
            QVERIFY2(app.main.ComPort->Connected(), qPrintable(LineLost(boxes)));
            QCOMPARE(again.fromDrive, kSlotCount);
            QVERIFY(app.main.Engine().DroppedReplies >= 4);
        }
        const std::vector<std::string> requests = drive.RequestLog();
        QVERIFY2(std::ranges::adjacent_find(requests) != requests.end(),
                 "the stall caused no resend");
        QCOMPARE(boxes.Texts(), QStringList{});
    }

    // A drive that answers every request twice cannot be read; it must not be misread.
    void readFromADriveThatAnswersTwice() {
        ScratchSettings scratch;
        MessageCapture boxes;
        PtyDrive drive(DriveSim(), {.turnaroundMs = 1});
        drive.WithSim([](DriveSim& sim) {
            GiveEverySlotItsOwnValue(sim);
            sim.SetFailure(FailureMode::Twice);
        });
        App app(drive);
        QVERIFY(app.editor);
        const std::vector<std::string> before = EditorValues(*app.editor);
        QVERIFY2(app.Read(), "the read hung");
        const SlotCheck check = CheckSlots(drive, *app.editor, before);
        QVERIFY2(check.wrong.isEmpty(), qPrintable(check.wrong.join(", ")));
        QCOMPARE(app.Status(), QString(LinkText::PacketError));
        QCOMPARE(app.main.Engine().CommError, 1);
    }
};

QTEST_MAIN(ResendE2ETest)
#include "ResendE2ETest.moc"
