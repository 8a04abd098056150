// The alarm history window on a real engine and the stand-in drive in
// process: the table it fills from EHY, the clear, the selector chain, LOAD
// with its DIE requests and plotted channels, and how its table is painted.

#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "alarms/ErrorDisplayForm.h"
#include "platform/ThreadTimers.h"
#include "protocol/AlarmTables.h"
#include "protocol/Frame.h"
#include "sim/SimLink.h"
#include "widgets/HangulFont.h"
#include "widgets/MessageService.h"
#include "widgets/Plot.h"

namespace {

class RecordingHooks : public IEngineHooks {
  public:
    void SetStatusText(const std::string& text) override { status = text; }
    void SetCommLed(bool) override {}
    void SetTimeoutTimer(bool) override {}
    void ShowWarning(const std::string& text) override { warnings.push_back(text); }
    void RestoreCursor() override {}
    void PauseMs(int) override {}
    std::string status;
    std::vector<std::string> warnings;
};

DriveSim::Config DriveOn(ManualSimClock& clock, bool initialised = true) {
    DriveSim::Config config;
    config.clock = clock.Clock();
    config.alarmMemoryInitialised = initialised;
    return config;
}

// An alarm history window on an engine whose port is the stand-in drive.
struct Rig {
    explicit Rig(bool initialised = true) : sim(DriveOn(clock, initialised)) {
        TiThreadTimers::SetDefaultMode(TiThreadTimers::Mode::Manual);
        form = std::make_unique<TForm_ErrorDisplay>(comm);
        form->show();
    }

    template <typename T>
    T* Find(const char* name) const {
        return form->findChild<T*>(name);
    }
    QTableWidget* Grid() const { return Find<QTableWidget>("StringGrid_ErrorHistory"); }
    QString Cell(int row, int column) const { return Grid()->item(row, column)->text(); }
    Plot* Graph() const { return Find<Plot>("Plot_Error"); }
    QComboBox* Combo(int n) const {
        return Find<QComboBox>(qPrintable(QString("ComboBox%1").arg(n)));
    }
    QPushButton* Button(const char* name) const { return Find<QPushButton>(name); }
    TiThreadTimers* Timers() const { return Find<TiThreadTimers>("ThreadTimers_Error"); }
    QString Note() const { return Find<QLabel>("Label_LoadNote")->text(); }

    // The requests the drive received, as mnemonic + data.
    QStringList Requests() const {
        QStringList requests;
        for (const std::string& frame : sim.Requests())
            if (auto request = ParseRequest(frame))
                requests << QString::fromStdString(std::string(request->mnemonic) +
                                                   std::string(request->data));
        return requests;
    }
    void Deliver() { port.Deliver(comm); }
    // Timer ticks of the load, each followed by the replies that came in, until it stops.
    int RunLoad(int limit = 20) {
        int ticks = 0;
        while (Timers()->Enabled(1) && ticks < limit) {
            Timers()->Fire(1);
            Deliver();
            ++ticks;
        }
        return ticks;
    }

    ManualSimClock clock;
    DriveSim sim;
    SimLink port{sim};
    RecordingHooks hooks;
    TComm comm{port, hooks};
    std::unique_ptr<TForm_ErrorDisplay> form;
};

}  // namespace

class ErrorDisplayFormTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        const QString missing = MissingHangulFontMessage();
        if (!missing.isEmpty()) QFAIL(qPrintable(missing));
    }

    void createdWithHeadingsAndNothingToLoad() {
        Rig rig;
        QCOMPARE(rig.form->windowTitle(), QString("Error Display"));
        QCOMPARE(rig.form->size(), QSize(578, 578));
        QCOMPARE(rig.Cell(0, 0), QString("NO"));
        QCOMPARE(rig.Cell(0, 1), QString("Error NO"));
        QCOMPARE(rig.Cell(0, 2), QString("Error Name"));
        for (int row = 1; row <= 8; ++row) QCOMPARE(rig.Cell(row, 0), QString::number(row));
        QCOMPARE(rig.Grid()->columnWidth(2), 302);
        for (int n = 1; n <= 3; ++n) {
            QCOMPARE(rig.Combo(n)->count(), 9);
            QCOMPARE(rig.Combo(n)->currentIndex(), 0);
            QCOMPARE(rig.Combo(n)->itemText(6), QString("Position error[Pulse]"));
        }
        QVERIFY(rig.Combo(1)->isEnabled());
        QVERIFY(!rig.Combo(2)->isEnabled());
        QVERIFY(!rig.Combo(3)->isEnabled());
        QVERIFY(!rig.Button("Btn_ErrorLoadD")->isEnabled());
        QCOMPARE(rig.Graph()->ChannelCount(), 0);
        QCOMPARE(rig.Button("Btn_Exit")->toolTip(), QString::fromUtf8("종료 합니다."));
        QCOMPARE(rig.comm.AlarmHistoryRef, rig.form.get());
        rig.form.reset();
        QCOMPARE(rig.comm.AlarmHistoryRef, nullptr);
    }

    void activationInTheMdiAreaMakesItTheActiveWindow() {
        Rig rig;
        QMdiArea area;
        area.show();
        auto* form = rig.form.release();
        QMdiSubWindow* sub = area.addSubWindow(form);
        sub->show();
        area.setActiveSubWindow(sub);
        QTRY_COMPARE(rig.comm.ActiveWindow, std::int32_t(AlarmHistoryActive));
    }

    // The drive's history as the rows show it; "FF" stops the filling.
    void historyRowsFromTheDrive() {
        {  // three alarms on a memory never initialised: FF at the fourth code
            Rig rig(false);
            for (int code : {21, 22, 50}) rig.sim.SetAlarm(code);
            for (int row = 1; row <= 8; ++row) rig.form->SetHistoryRow(row, "old", "kept");
            QTest::mouseClick(rig.Button("Btn_ErrorHistoryLoad"), Qt::LeftButton);
            QCOMPARE(rig.Requests(), QStringList{"EHY*"});
            QCOMPARE(rig.comm.LinkState, std::uint8_t(AwaitData));
            rig.Deliver();
            QCOMPARE(rig.Cell(1, 1), QString("50"));
            QCOMPARE(rig.Cell(1, 2), QString("Over Speed Error"));
            QCOMPARE(rig.Cell(3, 1), QString("21"));
            QCOMPARE(rig.Cell(3, 2), QString("Instant Overload"));
            for (int row = 4; row <= 8; ++row) {
                QCOMPARE(rig.Cell(row, 1), QString("old"));
                QCOMPARE(rig.Cell(row, 2), QString("kept"));
            }
            QCOMPARE(rig.hooks.status, std::string("Memory area not Initializing!!!"));
        }
        {  // an empty history
            Rig rig;
            rig.form->Btn_ErrorHistoryLoadClick();
            rig.Deliver();
            for (int row = 1; row <= 8; ++row) {
                QCOMPARE(rig.Cell(row, 1), QString("None"));
                QCOMPARE(rig.Cell(row, 2), QString::fromStdString(AlarmNames[0]));
            }
        }
        {  // a code that is no number: the rows before it stay, the exchange fails
            Rig rig;
            rig.form->SetHistoryRow(2, "old", "kept");
            rig.form->Btn_ErrorHistoryLoadClick();
            rig.port.pending = {Frame::BuildReply('R', "EHY21&x1&00&00&00&00&00&00")};
            rig.Deliver();
            QCOMPARE(rig.Cell(1, 1), QString("21"));
            QCOMPARE(rig.Cell(2, 1), QString("old"));
            QCOMPARE(rig.comm.CommError, 2);
            QCOMPARE(rig.comm.LinkState, std::uint8_t(ReplyDone));
        }
        {  // leading zeros go
            Rig rig;
            rig.sim.SetAlarm(7);
            rig.form->Btn_ErrorHistoryLoadClick();
            rig.Deliver();
            QCOMPARE(rig.Cell(1, 1), QString("7"));
            QCOMPARE(rig.Cell(2, 1), QString("None"));
        }
    }

    // The message comes at once; the history is read once the drive has acknowledged.
    void clearTellsTheUserThenReadsTheEmptyHistory() {
        Rig rig;
        rig.sim.SetAlarm(21);
        rig.sim.SetAlarm(0);
        MessageCapture boxes;
        QTest::mouseClick(rig.Button("Btn_ErrorHistoryClear"), Qt::LeftButton);
        QCOMPARE(boxes.Texts(), QStringList{QString::fromUtf8("Error data가 삭제 되었습니다..")});
        QCOMPARE(boxes.Boxes().front().kind, MessageService::Kind::Information);
        QCOMPARE(rig.Requests(), QStringList{"ETC09"});
        rig.Timers()->Fire(2);
        QCOMPARE(rig.Requests().size(), 1);  // the acknowledge is still on its way
        rig.Deliver();
        QCOMPARE(rig.comm.LinkState, std::uint8_t(Idle));
        rig.Timers()->Fire(2);
        QCOMPARE(rig.Requests(), (QStringList{"ETC09", "EHY*"}));
        QVERIFY(!rig.Timers()->Enabled(2));
        rig.Deliver();
        QCOMPARE(rig.Cell(1, 1), QString("None"));
        QVERIFY(rig.hooks.status.empty());
    }

    void clearingASelectorClearsAndDisablesTheOnesAfterIt() {
        Rig rig;
        rig.Combo(1)->setCurrentIndex(5);
        QVERIFY(rig.Combo(2)->isEnabled());
        QVERIFY(!rig.Combo(3)->isEnabled());
        rig.Combo(2)->setCurrentIndex(1);
        QVERIFY(rig.Combo(3)->isEnabled());
        QCOMPARE(rig.Graph()->ChannelCount(), 2);
        QCOMPARE(rig.Graph()->ChannelTitle(0), QString("Speed feedback[RPM]"));
        QCOMPARE(rig.Graph()->ChannelTitle(1), QString("U-phase current[A]"));
        QVERIFY(rig.Button("Btn_ErrorLoadD")->isEnabled());

        rig.Combo(1)->setCurrentIndex(0);
        QCOMPARE(rig.Combo(2)->currentIndex(), 0);
        QVERIFY(!rig.Combo(2)->isEnabled());
        QVERIFY(!rig.Combo(3)->isEnabled());
        QVERIFY(!rig.Button("Btn_ErrorLoadD")->isEnabled());
        QCOMPARE(rig.Graph()->ChannelCount(), 0);
        QCOMPARE(rig.Graph()->YRange(PlotAxis::Y1), std::make_pair(0.0, 0.1));
    }

    // 30 samples recorded: one DIE, plotted on channel 0 from 1 ms to 30 ms at phase 3.
    void loadWithOneSelectorPlotsItsReplyOnChannelZero() {
        Rig rig;
        rig.clock.Advance(0.0295);
        rig.sim.SetAlarm(21);
        QCOMPARE(rig.sim.AlarmHistory().SampleCount(), std::size_t(30));
        rig.Combo(1)->setCurrentIndex(5);
        QTest::mouseClick(rig.Button("Btn_ErrorLoadD"), Qt::LeftButton);
        QVERIFY(rig.Timers()->Enabled(1));
        QCOMPARE(rig.Timers()->Interval(1), 10);
        rig.Timers()->Fire(1);
        QCOMPARE(rig.Requests(), QStringList{"DIE0500"});
        rig.Deliver();
        rig.Timers()->Fire(1, 2);  // phases 1 and 2 find nothing selected
        QCOMPARE(rig.Graph()->PointCount(0), 0);
        QCOMPARE(rig.form->LoadSequence().Phase(), 3);
        rig.Timers()->Fire(1);
        QVERIFY(!rig.Timers()->Enabled(1));
        QCOMPARE(rig.Graph()->PointCount(0), 30);
        QCOMPARE(rig.Requests(), QStringList{"DIE0500"});
        const auto [from, to] = rig.Graph()->XRange();
        QVERIFY(qAbs(to - 0.030) < 1e-9);
        QVERIFY(qAbs(from - 0.0) < 1e-9);
        QVERIFY(rig.Note().isEmpty());
    }

    void loadPlotsEachQuantityOnItsChannelAndNotesWhatItLeftOut() {
        Rig rig;
        rig.clock.Advance(1.0);
        rig.sim.SetAlarm(21);
        rig.Combo(1)->setCurrentIndex(7);
        rig.Combo(2)->setCurrentIndex(6);
        rig.Combo(3)->setCurrentIndex(1);
        rig.form->Btn_ErrorLoadDClick();
        rig.Timers()->Fire(1);
        rig.Deliver();
        rig.Timers()->Fire(1);
        // The second reply is replaced: 62 samples, one of them no number.
        QCOMPARE(rig.Requests().back(), QString("DIE0600"));
        std::string long_value = "x";
        for (int i = 2; i <= 62; ++i) long_value += "&" + std::to_string(i);
        rig.port.pending = {Frame::BuildReply('R', "DIE" + long_value)};
        rig.Deliver();
        rig.Timers()->Fire(1);
        // The third exchange fails.
        rig.port.pending = {std::string(1, Frame::NAK)};
        rig.Deliver();
        rig.RunLoad();
        QCOMPARE(rig.Requests().mid(0), (QStringList{"DIE0700", "DIE0600", "DIE0100"}));
        QCOMPARE(rig.Graph()->PointCount(0), 50);
        QCOMPARE(rig.Graph()->PointCount(1), 49);
        QCOMPARE(rig.Graph()->PointCount(2), 0);
        QVERIFY2(rig.Note().contains("Position error[Pulse]: 12 samples after the 50th not shown"),
                 qPrintable(rig.Note()));
        QVERIFY(rig.Note().contains("Position error[Pulse]: 1 samples that are not numbers"));
        QVERIFY(rig.Note().contains("U-phase current[A]: no data"));
        // The value axis shows the loaded curves, not the empty initial range.
        const auto [low, high] = rig.Graph()->YRange(PlotAxis::Y1);
        QVERIFY(low < 2 && high > 311);

        rig.form->Btn_ErrorLoadDClick();  // again: the notes and points start over
        QVERIFY(rig.Note().isEmpty());
        QCOMPARE(rig.Graph()->PointCount(0), 0);
        rig.Timers()->Fire(1);
        // A selector changed meanwhile: the load ends, nothing lands under the new titles.
        rig.Combo(3)->setCurrentIndex(2);
        QVERIFY(!rig.Timers()->Enabled(1));
        rig.Deliver();
        QCOMPARE(rig.Graph()->ChannelTitle(2), QString("V-phase current[A]"));
        QCOMPARE(rig.Graph()->PointCount(0), 0);
    }

    // The scope tools of the plot work on the loaded data: CSV, cursors, a saved capture.
    void plotToolsWorkOnTheLoadedAlarmData() {
        Rig rig;
        rig.clock.Advance(0.0295);
        rig.sim.SetAlarm(21);
        rig.Combo(1)->setCurrentIndex(7);
        rig.form->Btn_ErrorLoadDClick();
        rig.RunLoad();
        Plot* plot = rig.Graph();
        QCOMPARE(plot->PointCount(0), 30);

        QTemporaryDir dir;
        const QString csv = dir.filePath("alarm.csv");
        QVERIFY(plot->ExportCsv(csv));
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QVERIFY2(lines[0].contains("DC-link Voltage[V]"), lines[0].constData());
        QVERIFY2(lines[1].startsWith("0.001,311"), lines[1].constData());
        QVERIFY2(lines[30].startsWith("0.03,311"), lines[30].constData());

        plot->SetCursorsVisible(true);
        plot->SetCursorPositions(0.005, 0.010);
        QVERIFY(plot->CursorReadoutText().contains("DC-link Voltage[V]"));

        const QString capture = dir.filePath("alarm.capture");
        QVERIFY(plot->SaveCapture(capture));
        QVERIFY(plot->LoadCaptureOverlay(capture));
        QCOMPARE(plot->OverlayChannelCount(), 1);
    }

    // Grey data cells, the name column green-grey, the current cell violet.
    void tablePaintsItsCells() {
        Rig rig;
        rig.form->SetHistoryRow(1, "21", "Instant Overload");
        rig.Grid()->setCurrentCell(2, 1);
        const QImage image = rig.Grid()->viewport()->grab().toImage();
        auto colourAt = [&](int row, int column) {
            const QRect cell = rig.Grid()->visualItemRect(rig.Grid()->item(row, column));
            return QColor(image.pixel(cell.left() + 3, cell.top() + 3));
        };
        QCOMPARE(colourAt(1, 1), QColor(239, 239, 239));
        QCOMPARE(colourAt(1, 2), QColor(217, 222, 214));
        QCOMPARE(colourAt(2, 1), QColor(128, 128, 192));
        QVERIFY(!(rig.Grid()->item(0, 1)->flags() & Qt::ItemIsSelectable));
        QVERIFY(!(rig.Grid()->item(3, 0)->flags() & Qt::ItemIsSelectable));
    }
};

QTEST_MAIN(ErrorDisplayFormTest)
#include "ErrorDisplayFormTest.moc"
