// The progress window of block transfers.

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "app/StatusFrm.h"
#include "platform/ThreadTimers.h"
#include "protocol/Comm.h"
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

        comm.ContinuationKind = 0;
        Tick(&status);
        QCOMPARE(caption->text(), QString("Parameter Writing..."));
    }
};

QTEST_MAIN(StatusFrmTest)
#include "StatusFrmTest.moc"
