// The trigger window's controls on a real engine whose port records the frames
// written; the test answers as the drive would and steps the window's timer
// channels by hand.

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include "platform/Pause.h"
#include "platform/ThreadTimers.h"
#include "tests/protocol/EngineDoubles.h"
#include "trigger/TriggerForm.h"
#include "widgets/HangulFont.h"
#include "widgets/LedBar.h"
#include "widgets/Plot.h"
#include "widgets/RockerSwitch.h"
#include "widgets/RoundLedButton.h"

namespace {

struct FormRig {
    FormRig() {
        TiThreadTimers::SetDefaultMode(TiThreadTimers::Mode::Manual);
        Pause::SetSkipping(true);
        form = std::make_unique<TFrmTrigger>(rig.comm);
        form->show();
        form->FormActivate();
    }
    template <typename W>
    W* Get(const char* name) const {
        return form->findChild<W*>(name);
    }
    QPushButton* Button(const char* name) const { return Get<QPushButton>(name); }
    TiThreadTimers* Timers() const { return Get<TiThreadTimers>("ThreadTimers_Trigger"); }
    Plot* Graph() const { return Get<Plot>("Plot_Trigger"); }
    std::string LastSent() const {
        if (rig.port.written.empty()) return {};
        const std::string& frame = rig.port.written.back();
        return frame.substr(3, frame.find(':') - 3);
    }
    void Sequence(int ticks = 1) { Timers()->Fire(1, ticks); }
    void Ack() { rig.comm.HandleChunk(Byte(Frame::ACK)); }
    void Data(std::string_view body) { rig.comm.HandleChunk(Reply(body)); }
    // START, set-up acknowledged, first data request sent.
    void Arm() {
        Button("Btn_StartTrigger")->click();
        Sequence();
        Ack();
        Sequence();
    }

    EngineRig rig;
    std::unique_ptr<TFrmTrigger> form;
};

}  // namespace

class TriggerFormTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        const QString missing = MissingHangulFontMessage();
        if (!missing.isEmpty()) QFAIL(qPrintable(missing));
    }

    void startsWithTheGivenSettings() {
        FormRig f;
        QCOMPARE(f.form->windowTitle(), QString("Trigger Monitoring"));
        auto* first = f.Get<QComboBox>("ComboBox1");
        QCOMPARE(first->count(), 10);
        QCOMPARE(first->itemText(7), QString("Pulse Command Freq.[kpps] "));
        QCOMPARE(f.Get<QComboBox>("ComboBox2")->currentIndex(), 1);
        QCOMPARE(f.Get<QComboBox>("ComboBox3")->currentText(), QString("Speed Feedback"));
        QCOMPARE(f.Graph()->ChannelCount(), 2);
        QCOMPARE(f.Graph()->ChannelTitle(0), QString("Speed Feedback[rpm]"));
        QCOMPARE(f.Graph()->ChannelTitle(1), QString("Speed Command[rpm]"));
        QCOMPARE(f.Graph()->ChannelAxis(1), PlotAxis::Y1);
        QCOMPARE(f.Graph()->XRange().second - f.Graph()->XRange().first, 0.06);
        QCOMPARE(f.Graph()->YRange(PlotAxis::Y1), std::make_pair(0.0, 100.0));
        QVERIFY(f.Get<QRadioButton>("RadioButton1")->isChecked());
        QVERIFY(!f.Get<RockerSwitch>("SwR_UpDownAxisTrigger")->isEnabled());
        QVERIFY(!f.Get<QLabel>("Label_StatusTrigger")->isVisible());
        QVERIFY(!f.Get<LedBar>("LedBar1_Trigger")->isVisible());
        QCOMPARE(f.Get<QLabel>("Label_AxisTrigger")->text(), QString("Axis 0"));
        QCOMPARE(f.Button("ToggleSw_SingleNomal")->text(), QString("Single"));
        QCOMPARE(f.rig.comm.ActiveWindow, std::int32_t(TriggerActive));
        QCOMPARE(f.rig.comm.SkipNextStatus, std::uint8_t(1));
        QCOMPARE(f.rig.comm.TriggerRef, static_cast<ITriggerWindow*>(f.form.get()));

        f.Button("Btn_StartTrigger")->click();
        QCOMPARE(f.Button("Btn_StartTrigger")->text(), QString("STOP"));
        QVERIFY(!f.Button("Btn_ServoAlarmResetTrigger")->isEnabled());
        f.Sequence();
        QCOMPARE(f.LastSent(), std::string("MOT00010000130110"));
        QVERIFY(f.Get<QLabel>("Label_StatusTrigger")->isVisible());
        f.Timers()->Fire(2);
        QVERIFY(!f.Get<QLabel>("Label_StatusTrigger")->isVisible());  // blinking
        f.form.reset();
        QCOMPARE(f.rig.comm.TriggerRef, static_cast<ITriggerWindow*>(nullptr));
    }

    void ioSourceSwitchesTheListAndTheLevel() {
        FormRig f;
        auto* source = f.Get<QComboBox>("ComboBox3");
        auto* level = f.Get<QSpinBox>("SpinEdit_TriggeredValue");
        source->setCurrentIndex(9);
        QVERIFY(!level->isEnabled());
        f.Get<RoundLedButton>("Led_IOSel")->clicked();
        QVERIFY(f.Get<RoundLedButton>("Led_IOSel")->IsOn());
        QCOMPARE(source->count(), 12);
        QCOMPARE(source->currentIndex(), 0);
        QVERIFY(level->isEnabled());  // follows the entry the new list starts on
        source->setCurrentText("S-ALM");
        QVERIFY(!level->isEnabled());
        f.Get<QComboBox>("ComboBox2")->setCurrentIndex(3);
        f.Get<QSpinBox>("SpinEdit_TriggerDivision")->setValue(5);
        f.Get<QSpinBox>("SpinEdit_TriggerOfData")->setValue(10);
        f.Get<QRadioButton>("RadioButton2")->setChecked(true);
        f.Get<QSpinBox>("SpinEdit_TriggerPoint")->setValue(5);
        QCOMPARE(f.Graph()->ChannelTitle(1), QString("Torque Command[%]"));
        QCOMPARE(f.Graph()->XRange().second - f.Graph()->XRange().first, 0.1);
        f.Button("Btn_StartTrigger")->click();
        f.Sequence();
        QCOMPARE(f.LastSent(), std::string("MOT0003112051025"));
        f.Get<RoundLedButton>("Led_IOSel")->clicked();
        QCOMPARE(source->itemText(0), QString("Speed Feedback"));
    }

    void readsBlocksWithProgressAndPlots() {
        FormRig f;
        f.Get<QSpinBox>("SpinEdit_TriggerOfData")->setValue(3);
        f.Arm();
        f.Data("BSY");
        QCOMPARE(f.LastSent(), std::string("MOT"));
        f.Data("TOK");
        QCOMPARE(f.LastSent(), std::string("MOT00"));
        auto* bar = f.Get<LedBar>("LedBar1_Trigger");
        f.Data("MOT12&-3");
        QVERIFY(bar->isVisible());
        QVERIFY(!f.Get<QLabel>("Label_StatusTrigger")->isVisible());
        QVERIFY(qAbs(bar->Value() - 33.3) < 0.05);
        QCOMPARE(f.LastSent(), std::string("MOT01"));
        f.Data("MOT15&-4");
        QVERIFY(qAbs(bar->Value() - 66.7) < 0.05);
        QCOMPARE(f.LastSent(), std::string("MOT02"));
        f.Data("MOT20&-5");
        QVERIFY(!bar->isVisible());
        QCOMPARE(f.Graph()->PointCount(0), 3);
        QCOMPARE(f.Graph()->PointCount(1), 3);
        QCOMPARE(f.Button("Btn_StartTrigger")->text(), QString("START"));
        QVERIFY(f.Get<RockerSwitch>("SwR_UpDownAxisTrigger")->isEnabled());
        QCOMPARE(f.rig.comm.LinkState, std::uint8_t(Idle));

        f.Button("Btn_Clear")->click();
        QCOMPARE(f.Graph()->PointCount(0), 0);
        QCOMPARE(f.Graph()->ChannelCount(), 2);
    }

    // The drive answers block 01 with US: what follows stays at its time, the
    // line breaks where the block would have been, and the window says so.
    void emptyBlockLeavesAGapAndSaysSo() {
        FormRig f;
        f.Get<QSpinBox>("SpinEdit_TriggerOfData")->setValue(3);
        f.Arm();
        f.Data("TOK");
        f.Data("MOT12&-3");
        f.rig.comm.HandleChunk(Byte(Frame::US));
        QCOMPARE(f.LastSent(), std::string("MOT02"));
        f.Data("MOT20&-5");
        const QVector<QPointF> first = f.Graph()->Entries(0);
        QCOMPARE(first.size(), 3);
        QCOMPARE(first[0], QPointF(0, 12));
        QVERIFY(qIsNaN(first[1].y()));
        QCOMPARE(first[1].x(), 0.0002);
        QCOMPARE(first[2], QPointF(0.0004, 20));
        QCOMPARE(f.Graph()->Entries(1).last(), QPointF(0.0004, -5));
        auto* note = f.Get<QLabel>("Label_NoteTrigger");
        QVERIFY(note->isVisible());
        QCOMPARE(note->text(), QString("Block 01 came back empty: the plot has a gap there, the "
                                       "other samples are at their true times."));

        f.Button("Btn_Clear")->click();
        QVERIFY(!note->isVisible());
        f.Arm();
        f.Data("TOK");
        f.Data("MOT1&2");
        f.Data("MOT3&4");
        f.Data("MOT5&6");
        QCOMPARE(f.Graph()->Entries(0).last(), QPointF(0.0004, 5));
        QVERIFY(!note->isVisible());
    }

    void nomalRedrawsEachRecordingUntilStop() {
        FormRig f;
        f.Button("ToggleSw_SingleNomal")->click();
        QCOMPARE(f.Button("ToggleSw_SingleNomal")->text(), QString("Nomal"));
        f.Get<QSpinBox>("SpinEdit_TriggerOfData")->setValue(1);
        f.Button("Btn_StartTrigger")->click();
        QVERIFY(!f.Button("ToggleSw_SingleNomal")->isEnabled());
        for (int i = 0; i < 3; ++i) {
            f.Sequence();
            QCOMPARE(f.LastSent(), std::string("MOT00010000101110"));
            f.Ack();
            f.Sequence();
            f.Data("TOK");
            f.Data("MOT1&2&3&4");
            QCOMPARE(f.Graph()->PointCount(0), 2);  // redrawn, not added to
            QCOMPARE(f.Button("Btn_StartTrigger")->text(), QString("STOP"));
        }
        f.Button("Btn_StartTrigger")->click();
        QCOMPARE(f.Button("Btn_StartTrigger")->text(), QString("START"));
        f.Sequence(3);
        QCOMPARE(f.LastSent(), std::string("MOT00"));
        f.Timers()->Fire(9, 4);
        QCOMPARE(f.LastSent(), std::string("MOT00"));
        f.Timers()->Fire(9);
        QCOMPARE(f.LastSent(), std::string("ESC"));
        QCOMPARE(f.rig.comm.LinkState, std::uint8_t(AwaitAck));
        QVERIFY(!f.Timers()->Enabled(9));
    }

    void stopThenExitSendsNoEscape() {
        FormRig f;
        f.Arm();
        f.Button("Btn_StartTrigger")->click();
        f.Data("BSY");
        const std::size_t sent = f.rig.port.written.size();
        QPointer<TFrmTrigger> window = f.form.get();
        f.Button("Btn_ExitTrigger")->click();
        QVERIFY(!f.form->isVisible());
        f.Timers()->Fire(9, 10);
        QCOMPARE(f.rig.port.written.size(), sent);
        QVERIFY(Pause::SkippedMs() >= 100);
    }

    void linkControlsAxisAndReset() {
        FormRig f;
        f.form->SetLinkControls(false);
        QVERIFY(!f.Button("Btn_StartTrigger")->isEnabled());
        QVERIFY(f.form->findChild<Plot*>("Plot_Trigger")
                    ->isEnabled());  // what was captured stays usable
        QVERIFY(!f.Button("ToggleSw_SingleNomal")->isEnabled());
        QVERIFY(!f.Button("Btn_ServoAlarmResetTrigger")->isEnabled());
        f.form->SwR_UpDownAxisTriggerUpClick();
        QCOMPARE(f.Get<QLabel>("Label_AxisTrigger")->text(), QString("Axis 1"));
        QCOMPARE(f.LastSent(), std::string("LIVE"));
        QCOMPARE(f.rig.comm.LinkState, std::uint8_t(AwaitAliveAck));
        f.Ack();
        QVERIFY(f.Button("Btn_StartTrigger")->isEnabled());
        f.form->SwR_UpDownAxisTriggerDownClick();
        f.form->SwR_UpDownAxisTriggerDownClick();
        QCOMPARE(f.Get<QLabel>("Label_AxisTrigger")->text(), QString("Axis 0"));
        QCOMPARE(f.LastSent(), std::string("LIV"));
        f.rig.Ticks(5);  // unanswered: controls off, no message
        QVERIFY(!f.Button("Btn_StartTrigger")->isEnabled());
        QCOMPARE(f.rig.hooks.status, std::string());

        f.form->SetLinkControls(true);
        f.Button("Btn_ServoAlarmResetTrigger")->click();
        QCOMPARE(f.LastSent(), std::string("RST"));
        QCOMPARE(f.rig.comm.LinkState, std::uint8_t(AwaitAck));
    }

    // Reading a rise time off a capture, and keeping the capture.
    void scopeToolsWorkOnACapture() {
        FormRig f;
        f.Get<QSpinBox>("SpinEdit_TriggerOfData")->setValue(1);
        f.Arm();
        f.Data("TOK");
        f.Data("MOT0&0&10&100&63&100&90&100&100&100");
        Plot* plot = f.Graph();
        plot->SetPaused(true);
        QVERIFY(plot->IsPaused());
        plot->SetPaused(false);
        plot->SetCursorsVisible(true);
        plot->SetCursorPositions(0.0002, 0.0004);
        const QString readout = plot->CursorReadoutText();
        QVERIFY2(readout.contains("10") && readout.contains("63"), qPrintable(readout));

        QTemporaryDir dir;
        const QString csv = dir.filePath("capture.csv");
        QVERIFY(plot->ExportCsv(csv));
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY2(text.contains("Speed Feedback[rpm]") && text.contains("63"), qPrintable(text));
        const QString saved = dir.filePath("capture.vrx5plot");
        QVERIFY(plot->SaveCapture(saved));
        f.Button("Btn_Clear")->click();
        QVERIFY(plot->LoadCaptureOverlay(saved));
        QCOMPARE(plot->ChannelCount(), 2);  // the overlay sits beside the window's channels
    }

    void badSampleLeavesTheWindowUsable() {
        FormRig f;
        f.Get<QSpinBox>("SpinEdit_TriggerOfData")->setValue(1);
        f.Arm();
        f.Data("TOK");
        f.Data("MOT1&x");
        QCOMPARE(f.rig.comm.CommError, 2);
        QCOMPARE(f.Graph()->PointCount(0), 0);
        QCOMPARE(f.Button("Btn_StartTrigger")->text(), QString("STOP"));  // Single: the user stops
        f.Button("Btn_StartTrigger")->click();
        QCOMPARE(f.Button("Btn_StartTrigger")->text(), QString("START"));
        f.Arm();
        QCOMPARE(f.LastSent(), std::string("MOT"));
    }
};

QTEST_MAIN(TriggerFormTest)
#include "TriggerFormTest.moc"
