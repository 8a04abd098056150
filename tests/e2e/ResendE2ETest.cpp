// The real application reads every parameter slot from a stand-in drive that
// stalls long enough for the engine to resend, or answers every request twice.
// Whatever happens, no slot may end up holding another slot's value: each
// holds the drive's value, or the read ends with a message and the slot still
// holds what it held before.

#include <QPushButton>
#include <QTest>
#include <algorithm>

#include "app/StatusFrm.h"
#include "parameters/Catalogue.h"
#include "parameters/Parameter.h"
#include "sim/PtyDrive.h"
#include "tests/support/AppSession.h"

namespace {

constexpr int kPatienceMs = 60000;

// Every used slot gets a value of its own, so a value in the wrong place shows.
void GiveEverySlotItsOwnValue(DriveSim& sim) {
    for (const std::string& address : AllAddresses())
        if (sim.Slot(address)) sim.SetSlot(address, "7" + address);
}

std::vector<std::string> EditorValues(const TParameterFrm& editor) {
    std::vector<std::string> values;
    for (int group = 0; group < kGroupCount; ++group)
        for (int number = 0; number < kSlotsPerGroup; ++number)
            values.push_back(editor.ParameterValue(group, number + 1));
    return values;
}

// The application on line with the drive, a parameter editor open.
struct App {
    explicit App(PtyDrive& drive) : session(drive) {
        session.GoOnLine();
        editor = session.Open<TParameterFrm>("Parameter Set");
        if (editor) before = EditorValues(*editor);
    }

    // Presses READ and waits until the read is over; false when it hung.
    bool Read() {
        if (!session.ClickThroughProgress(editor->findChild<QPushButton*>("Btn_ParameterRead"),
                                          kPatienceMs))
            return false;
        // The window may close just before the last reply comes.
        return QTest::qWaitFor([this] { return session.Engine().ContinuationKind == 0; }, 10000) &&
               !session.Main().findChild<TFrm_Status*>();
    }

    AppSession session;
    TParameterFrm* editor = nullptr;
    std::vector<std::string> before;  // the editor's values before the first read
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
QString LineLost(App& app) {
    return "the line was reported lost: " + app.session.Boxes().Texts().join(" / ");
}

// Presses READ, waits for its end and checks that no slot holds another slot's value.
void ReadWithoutShift(App& app, PtyDrive& drive, const char* hung, SlotCheck& check) {
    QVERIFY2(app.Read(), hung);
    check = CheckSlots(drive, *app.editor, app.before);
    QVERIFY2(check.wrong.isEmpty(), qPrintable(check.wrong.join(", ")));
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
        PtyDrive drive(DriveSim(), {.turnaroundMs = 5});
        drive.WithSim([&](DriveSim& sim) {
            GiveEverySlotItsOwnValue(sim);
            sim.SetFailure({FailureMode::Stall, atRequest, stallMs});
        });
        App app(drive);
        QVERIFY(app.editor);
        SlotCheck check;
        ReadWithoutShift(app, drive, "the read hung", check);
        if (QTest::currentTestFailed()) return;
        QVERIFY2(app.session.Connected(), qPrintable(LineLost(app)));
        if (stallMs < 1000) {
            QCOMPARE(app.session.Status(), QString());
            QCOMPARE(check.fromDrive, kSlotCount);
            QCOMPARE(app.session.Engine().CommError, 0);
        } else {
            QCOMPARE(app.session.Status(), QString(LinkText::Timeout));
            // Read again at once: the drive answers the four copies late, in
            // the middle of it, and must not mislead it.
            drive.WithSim([](DriveSim& sim) { sim.SetFailure(FailureMode::None); });
            SlotCheck again;
            ReadWithoutShift(app, drive, "the second read hung", again);
            if (QTest::currentTestFailed()) return;
            QVERIFY2(app.session.Connected(), qPrintable(LineLost(app)));
            QCOMPARE(again.fromDrive, kSlotCount);
            QVERIFY(app.session.Engine().DroppedReplies >= 4);
        }
        const std::vector<std::string> requests = app.session.Requests();
        QVERIFY2(std::ranges::adjacent_find(requests) != requests.end(),
                 "the stall caused no resend");
        QCOMPARE(app.session.Boxes().Texts(), QStringList{});
    }

    // A drive that answers every request twice cannot be read; it must not be misread.
    void readFromADriveThatAnswersTwice() {
        PtyDrive drive(DriveSim(), {.turnaroundMs = 1});
        drive.WithSim([](DriveSim& sim) {
            GiveEverySlotItsOwnValue(sim);
            sim.SetFailure(FailureMode::Twice);
        });
        App app(drive);
        QVERIFY(app.editor);
        SlotCheck check;
        ReadWithoutShift(app, drive, "the read hung", check);
        if (QTest::currentTestFailed()) return;
        QCOMPARE(app.session.Status(), QString(LinkText::PacketError));
        QCOMPARE(app.session.Engine().CommError, 1);
    }
};

QTEST_MAIN(ResendE2ETest)
#include "ResendE2ETest.moc"
