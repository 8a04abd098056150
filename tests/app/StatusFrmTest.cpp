// The progress window of block transfers.

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "app/StatusFrm.h"
#include "platform/ThreadTimers.h"
#include "protocol/Comm.h"
#include "protocol/Frame.h"
#include "widgets/HangulFont.h"
#include "widgets/LedBar.h"

namespace {

// A port that is always open and swallows what is written.
struct OpenPort : ILinkPort {
    bool Connected() const override { return true; }
    void PortWrite(const std::string&) override {}
};

// The ways a user can close the progress window.
enum CloseWay { CancelButton, EscapeKey, WindowManager };

// Engine hooks that show nothing.
struct QuietHooks : IEngineHooks {
    void SetStatusText(const std::string&) override {}
    void SetCommLed(bool) override {}
    void SetTimeoutTimer(bool) override {}
    void ShowWarning(const std::string&) override {}
    void RestoreCursor() override {}
    void PauseMs(int) override {}
};

// Engine hooks that keep the status text.
struct StatusHooks : QuietHooks {
    std::string status;
    void SetStatusText(const std::string& text) override { status = text; }
};

}  // namespace

class StatusFrmTest : public QObject {
    Q_OBJECT
  private:
    OpenPort port_;
    QuietHooks hooks_;

    static void Tick(TFrm_Status* status, int count = 1) {
        status->findChild<TiThreadTimers*>("ThreadTimers_Status")->Fire(1, count);
    }
    static void Settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

  private slots:
    void initTestCase() {
        const QString missing = MissingHangulFontMessage();
        if (!missing.isEmpty()) QFAIL(qPrintable(missing));
        TiThreadTimers::SetDefaultMode(TiThreadTimers::Mode::Manual);
    }

    void closesOncePastNinetyNine_data() {
        QTest::addColumn<double>("progress");
        QTest::addColumn<bool>("closes");
        QTest::newRow("98.5") << 98.5 << false;
        QTest::newRow("exactly 99.0") << 99.0 << false;
        QTest::newRow("after 132 steps") << 132 * 100.0 / 133 << true;
        QTest::newRow("100") << 100.0 << true;
    }
    void closesOncePastNinetyNine() {
        QFETCH(double, progress);
        QFETCH(bool, closes);
        TComm comm(port_, hooks_);
        comm.TransferProgress = 42.0;
        QPointer<TFrm_Status> status = new TFrm_Status(comm);
        QCOMPARE(comm.TransferProgress, 0.0);
        status->show();
        comm.LinkState = AwaitData;  // the last request of the block is still on its way
        comm.ContinuationKind = 1;
        comm.TransferProgress = progress;
        Tick(status);
        Settle();
        QCOMPARE(status.isNull(), closes);
        QCOMPARE(comm.LinkState, AwaitData);
        QCOMPARE(comm.ContinuationKind, 1);
        delete status.data();
    }

    // Whichever way the user closes the window, the transfer ends with it.
    void closingEarlyAbortsTheExchange_data() {
        QTest::addColumn<int>("way");
        QTest::newRow("Cancel button") << int(CancelButton);
        QTest::newRow("Escape key") << int(EscapeKey);
        QTest::newRow("window manager") << int(WindowManager);
    }
    void closingEarlyAbortsTheExchange() {
        QFETCH(int, way);
        TComm comm(port_, hooks_);
        comm.LinkState = AwaitData;
        comm.ContinuationKind = 1;
        QPointer<TFrm_Status> status = new TFrm_Status(comm);
        status->show();
        comm.TransferProgress = 50.0;
        if (way == CancelButton)
            QTest::mouseClick(status->findChild<QPushButton*>("Btn_Cancel"), Qt::LeftButton);
        else if (way == EscapeKey)
            QTest::keyClick(status, Qt::Key_Escape);
        else
            status->close();
        Settle();
        QVERIFY(status.isNull());
        QCOMPARE(comm.LinkState, Idle);
        QCOMPARE(comm.ContinuationKind, 0);
    }

    void showsProgressAndABlinkingCaption() {
        TComm comm(port_, hooks_);
        comm.ContinuationKind = 1;
        TFrm_Status status(comm);
        auto* caption = status.findChild<QLabel*>("Label_Status");
        auto* bar = status.findChild<LedBar*>("LedBar_Progress");
        QCOMPARE(status.findChild<QPushButton*>("Btn_Cancel")->text(), QString("취 소"));
        QCOMPARE(status.size(), QSize(371, 127));

        comm.TransferProgress = 100.0 * 40 / 133;
        Tick(&status, 5);
        QCOMPARE(bar->Value(), comm.TransferProgress);
        QCOMPARE(caption->text(), QString("Parameter Reading..."));
        QVERIFY(caption->styleSheet().contains("yellow"));
        Tick(&status);  // the sixth tick swaps the colour and starts counting again
        QVERIFY(caption->styleSheet().contains("red"));
        Tick(&status, 5);
        QVERIFY(caption->styleSheet().contains("red"));
        Tick(&status);
        QVERIFY(caption->styleSheet().contains("yellow"));
    }

    // A write (the store window's) shows its own caption and closes by its progress only.
    void aWriteIsLabelledAsOneAndWaitsForItsProgress() {
        TComm comm(port_, hooks_);
        QPointer<TFrm_Status> status = new TFrm_Status(comm);
        status->show();
        auto* caption = status->findChild<QLabel*>("Label_Status");
        for (int kind : {0, 1, 0}) {
            comm.ContinuationKind = kind;
            Tick(status);
            Settle();
            QVERIFY(!status.isNull());
            QCOMPARE(caption->text(), QString("Parameter Writing..."));
        }
        comm.TransferProgress = 100.0;
        Tick(status);
        Settle();
        QVERIFY(status.isNull());
    }

    // The engine ends a block read: the window goes with it, still labelled a read,
    // and the error is what the status panel says.
    void closesWhenTheEngineEndsTheRead_data() {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<QString>("status");
        QTest::newRow("time-out") << "time-out" << QString(LinkText::Timeout);
        QTest::newRow("error reply") << "error reply" << QString();
        QTest::newRow("NAK") << "NAK" << QString(LinkText::Nak);
        QTest::newRow("rejected reply") << "rejected reply" << QString(LinkText::PacketError);
        QTest::newRow("answered twice") << "answered twice" << QString(LinkText::PacketError);
    }
    void closesWhenTheEngineEndsTheRead() {
        QFETCH(QString, ending);
        QFETCH(QString, status);
        StatusHooks hooks;
        TComm comm(port_, hooks);
        comm.ContinuationKind = 1;
        comm.SendData.Command = "SET";
        comm.SendCommand("SET", "000");
        comm.LinkState = AwaitData;
        QPointer<TFrm_Status> window = new TFrm_Status(comm);
        window->show();
        auto* caption = window->findChild<QLabel*>("Label_Status");
        for (int tick = 0; tick < 30; ++tick) {  // the time-out path resends meanwhile
            Tick(window);
            QCOMPARE(caption->text(), QString("Parameter Reading..."));
            if (ending == "time-out") comm.HandleTimeout();
        }
        QVERIFY(!window.isNull() || ending == "time-out");
        const std::string reply = Frame::BuildReply('R', "SET12");
        if (ending == "error reply") comm.HandleChunk(Frame::BuildReply('E', "21"));
        if (ending == "NAK") comm.HandleChunk(std::string(1, Frame::NAK));
        if (ending == "rejected reply") comm.HandleChunk("xyz");
        if (ending == "answered twice") comm.HandleChunk(reply + reply);
        if (!window.isNull()) {
            Tick(window);
            QCOMPARE(caption->text(), QString("Parameter Reading..."));
        }
        Settle();
        QVERIFY(window.isNull());
        QCOMPARE(comm.LinkState == Idle || comm.LinkState == ReplyDone, true);
        QCOMPARE(comm.ContinuationKind, 0);
        QCOMPARE(QString::fromStdString(hooks.status), status);
        QVERIFY(comm.CommError != 0);
    }
};

QTEST_MAIN(StatusFrmTest)
#include "StatusFrmTest.moc"
