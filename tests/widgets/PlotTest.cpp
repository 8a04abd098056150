#include <QAction>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "qcustomplot.h"
#include "widgets/HangulFont.h"
#include "widgets/MessageService.h"
#include "widgets/Plot.h"

namespace {

// A shown plot of two channels on their two axes, 0..10 s at 10 Hz.
struct Scope {
    Plot plot;
    QCustomPlot* canvas;

    Scope() {
        plot.resize(700, 400);
        plot.AddChannel("speed");
        plot.AddChannel("torque", PlotAxis::Y2);
        plot.SetXSpan(10.0);
        for (int i = 0; i <= 100; ++i) {
            plot.AddPoint(0, i * 0.1, i);
            plot.AddPoint(1, i * 0.1, -i);
        }
        plot.show();
        canvas = plot.findChild<QCustomPlot*>();
        plot.DrawNow();
    }
    QAction* Action(const char* name) { return plot.findChild<QAction*>(name); }
    int ShownPoints(int channel) { return canvas->graph(channel)->data()->size(); }
    QPoint Centre() { return canvas->axisRect()->rect().center(); }
    QPoint OverY2Axis() { return QPoint(canvas->axisRect()->rect().right() + 15, Centre().y()); }
    void Wheel(QPoint at, int delta) {
        QWheelEvent event(at, canvas->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(canvas, &event);
    }
};

}  // namespace

// The plot widget offscreen: channels on their axes, the view, the frame rate.
class PlotTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        const QString missing = MissingHangulFontMessage();
        if (!missing.isEmpty()) QFAIL(qPrintable(missing));
    }

    void channelsAreDrawnAgainstTheirAxisAndRenumberedOnRemoval() {
        Plot plot;
        auto* canvas = plot.findChild<QCustomPlot*>();
        QVERIFY(canvas);
        QCOMPARE(canvas->yAxis->label(), QString("Y-Axis 1"));
        QCOMPARE(canvas->yAxis2->label(), QString("Y-Axis 2"));
        QVERIFY(canvas->yAxis2->visible());

        QCOMPARE(plot.AddChannel("속도피드백"), 0);
        QCOMPARE(plot.AddChannel("토크지령", PlotAxis::Y2), 1);
        QCOMPARE(plot.AddChannel("위치오차"), 2);
        QCOMPARE(canvas->graph(1)->valueAxis(), canvas->yAxis2);
        QCOMPARE(canvas->graph(2)->valueAxis(), canvas->yAxis);
        QCOMPARE(canvas->graph(1)->name(), QString("토크지령"));

        plot.AddPoint(2, 1.0, 5.0);
        plot.RemoveChannel(0);
        QCOMPARE(plot.ChannelCount(), 2);
        QCOMPARE(plot.ChannelTitle(0), QString("토크지령"));
        QCOMPARE(plot.ChannelAxis(0), PlotAxis::Y2);
        QCOMPARE(plot.ChannelTitle(1), QString("위치오차"));
        QCOMPARE(plot.PointCount(1), 1);
        QCOMPARE(canvas->graphCount(), 2);

        plot.RemoveChannel(7);  // no such channel: nothing happens
        plot.AddPoint(7, 1.0, 1.0);
        QCOMPARE(plot.ChannelCount(), 2);

        plot.ClearPoints();
        QCOMPARE(plot.ChannelCount(), 2);
        QCOMPARE(plot.PointCount(1), 0);
        plot.RemoveAllChannels();
        QCOMPARE(plot.ChannelCount(), 0);
        QCOMPARE(canvas->graphCount(), 0);
    }

    // While tracking, the right edge follows the newest point once the data
    // passes the span; a fixed range ends tracking until it is resumed.
    void trackingFollowsTheNewestPoint() {
        Plot plot;
        plot.AddChannel("a");
        plot.AddChannel("b", PlotAxis::Y2);
        plot.SetXSpan(5.0);
        plot.AddPoint(0, 1.0, 1.0);
        plot.DrawNow();
        QCOMPARE(plot.XRange(), std::make_pair(0.0, 5.0));
        plot.AddPoint(1, 7.5, 1.0);
        plot.DrawNow();
        QCOMPARE(plot.XRange(), std::make_pair(2.5, 7.5));

        plot.SetXRange(0.0, 0.03);
        QVERIFY(!plot.IsTracking());
        plot.AddPoint(0, 9.0, 1.0);
        plot.DrawNow();
        QCOMPARE(plot.XRange(), std::make_pair(0.0, 0.03));

        plot.ClearPoints();
        plot.ReturnToTracking();
        plot.DrawNow();
        QCOMPARE(plot.XRange(), std::make_pair(0.0, 0.03));

        plot.SetYRange(PlotAxis::Y2, -10.0, 20.0);
        QCOMPARE(plot.YRange(PlotAxis::Y2), std::make_pair(-10.0, 10.0));
        QCOMPARE(plot.YRange(PlotAxis::Y1), std::make_pair(0.0, 100.0));
    }

    // Thousands of points make one quick frame, not one a point; when the
    // stream rests, one smooth frame follows and then nothing.
    void pointsAreDrawnAtABoundedRate() {
        Plot plot;
        plot.AddChannel("a");
        QSignalSpy frames(&plot, &Plot::Drawn);
        for (int i = 0; i < 5000; ++i) plot.AddPoint(0, i * 0.001, i % 100);
        QTRY_COMPARE(frames.count(), 1);
        QVERIFY(!plot.LastDrawSmooth());
        QTRY_VERIFY(plot.LastDrawSmooth());
        QTest::qWait(2 * Plot::kFrameIntervalMs);
        QCOMPARE(frames.count(), 2);
        QCOMPARE(plot.PointCount(0), 5000);
    }

    // Paused, the picture keeps what it showed while points go on into the
    // history; resuming (or back to tracking) shows them.
    void pauseKeepsThePictureWhileDataArrives() {
        Scope scope;
        scope.Action("Action_Pause")->trigger();
        QVERIFY(scope.plot.IsPaused());
        QCOMPARE(scope.Action("Action_Pause")->text(), QString("Resume"));
        const auto range = scope.plot.XRange();
        for (int i = 101; i <= 200; ++i) scope.plot.AddPoint(0, i * 0.1, i);
        scope.plot.DrawNow();
        QCOMPARE(scope.plot.PointCount(0), 201);
        QCOMPARE(scope.ShownPoints(0), 101);
        QCOMPARE(scope.plot.XRange(), range);

        // The trigger window clears and refills while the user looks.
        scope.plot.ClearPoints();
        scope.plot.DrawNow();
        QCOMPARE(scope.ShownPoints(0), 101);

        scope.plot.AddPoint(0, 3.0, 1.0);
        scope.Action("Action_Track")->trigger();
        QVERIFY(!scope.plot.IsPaused());
        QVERIFY(scope.plot.IsTracking());
        QCOMPARE(scope.ShownPoints(0), 1);
        QVERIFY(!scope.Action("Action_Pause")->isChecked());
    }

    // The wheel zooms the chosen axes inside the plot and the axis under the
    // mouse outside it; a change of X by hand ends tracking; fit all shows everything.
    void wheelDragAndFitActOnTheRightAxes() {
        Scope scope;
        const auto y1 = scope.plot.YRange(PlotAxis::Y1);
        const auto y2 = scope.plot.YRange(PlotAxis::Y2);
        const auto x = scope.plot.XRange();
        scope.Wheel(scope.Centre(), 120);
        QVERIFY(scope.plot.XRange().second - scope.plot.XRange().first < x.second - x.first);
        QVERIFY(!scope.plot.IsTracking());
        QCOMPARE(scope.plot.YRange(PlotAxis::Y1), y1);

        const auto zoomedX = scope.plot.XRange();
        scope.Wheel(scope.OverY2Axis(), 120);
        QCOMPARE(scope.plot.XRange(), zoomedX);
        QCOMPARE(scope.plot.YRange(PlotAxis::Y1), y1);
        QVERIFY(scope.plot.YRange(PlotAxis::Y2) != y2);

        scope.plot.SetGestureAxes(false, true, true);
        QVERIFY(!scope.Action("Action_ZoomX")->isChecked());
        const auto before = scope.plot.YRange(PlotAxis::Y1);
        QTest::mousePress(scope.canvas, Qt::LeftButton, {}, scope.Centre());
        QTest::mouseMove(scope.canvas, scope.Centre() + QPoint(40, 60));
        QTest::mouseRelease(scope.canvas, Qt::LeftButton, {}, scope.Centre() + QPoint(40, 60));
        QCOMPARE(scope.plot.XRange(), zoomedX);
        QVERIFY(scope.plot.YRange(PlotAxis::Y1) != before);

        scope.Action("Action_FitAll")->trigger();
        QVERIFY(scope.plot.XRange().first <= 0.0 && scope.plot.XRange().second >= 10.0);
        QVERIFY(scope.plot.YRange(PlotAxis::Y1).first <= 0.0);
        QVERIFY(scope.plot.YRange(PlotAxis::Y1).second >= 100.0);
        QVERIFY(scope.plot.YRange(PlotAxis::Y2).first <= -100.0);
        QVERIFY(!scope.plot.IsTracking());
    }

    // The cursors start inside the view, move by dragging without moving the
    // view, and the read-out shows each channel at A and B.
    void cursorsReadTheChannelsAndMoveByDragging() {
        Scope scope;
        scope.Action("Action_Cursors")->trigger();
        QVERIFY(scope.plot.CursorsVisible());
        QVERIFY(scope.plot.findChild<QLabel*>("Label_CursorReadout")->isVisible());
        QVERIFY(scope.plot.CursorA() > 0.0 && scope.plot.CursorB() < 10.0);

        scope.plot.SetCursorPositions(2.0, 5.0);
        scope.plot.DrawNow();
        QCOMPARE(scope.plot.CursorReadoutText(),
                 QString("A: x = 2   B: x = 5   Δx = 3   1/Δx = 0.333333\n"
                         "speed   A: 20   B: 50   Δy = 30\n"
                         "torque   A: -20   B: -50   Δy = -30"));

        const auto range = scope.plot.XRange();
        const QPoint grab(qRound(scope.canvas->xAxis->coordToPixel(2.0)), scope.Centre().y());
        const QPoint drop(qRound(scope.canvas->xAxis->coordToPixel(4.0)), scope.Centre().y());
        QTest::mousePress(scope.canvas, Qt::LeftButton, {}, grab);
        QTest::mouseMove(scope.canvas, drop);
        QTest::mouseRelease(scope.canvas, Qt::LeftButton, {}, drop);
        QVERIFY(qAbs(scope.plot.CursorA() - 4.0) < 0.05);
        QCOMPARE(scope.plot.XRange(), range);

        scope.plot.SetCursorsVisible(false);
        QVERIFY(!scope.plot.findChild<QLabel*>("Label_CursorReadout")->isVisible());
    }

    // The file actions ask for a name, add the suffix, write the file; a
    // capture comes back as an overlay that the windows' channel calls leave alone.
    void fileActionsExportSaveAndLoadOverlays() {
        Scope scope;
        QTemporaryDir dir;
        QString answer;
        Plot::SetFileChooser(
            [&](QWidget*, bool, const QString&, const QString&) { return answer; });
        MessageCapture boxes;

        answer = dir.filePath("table");
        scope.Action("Action_ExportCsv")->trigger();
        QFile csv(dir.filePath("table.csv"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QCOMPARE(csv.readLine(), QByteArray("\xEF\xBB\xBFx,speed,torque\r\n"));

        for (const char* name : {"picture.png", "picture.pdf"}) {
            answer = dir.filePath(name);
            scope.Action("Action_ExportImage")->trigger();
            QVERIFY(QFileInfo(answer).size() > 1000);
        }
        QVERIFY(!scope.plot.ExportImage(dir.filePath("picture.jpg")));

        answer = dir.filePath("run");
        scope.Action("Action_SaveCapture")->trigger();
        answer = dir.filePath("run.vrx5plot");
        scope.Action("Action_LoadCapture")->trigger();
        QCOMPARE(scope.plot.OverlayChannelCount(), 2);
        QCOMPARE(scope.canvas->graph(3)->name(), QString("torque (run)"));
        QCOMPARE(scope.canvas->graph(3)->valueAxis(), scope.canvas->yAxis2);
        QCOMPARE(scope.canvas->graph(3)->data()->size(), 101);
        QVERIFY(scope.Action("Action_RemoveOverlays")->isEnabled());
        scope.plot.RemoveAllChannels();
        scope.plot.AddChannel("new");
        QCOMPARE(scope.plot.OverlayChannelCount(), 2);
        QCOMPARE(scope.canvas->graphCount(), 3);
        scope.Action("Action_RemoveOverlays")->trigger();
        QCOMPARE(scope.canvas->graphCount(), 1);

        answer = dir.filePath("table.csv");
        scope.Action("Action_LoadCapture")->trigger();
        QCOMPARE(scope.plot.OverlayChannelCount(), 0);
        answer.clear();  // cancelled: nothing happens
        scope.Action("Action_SaveCapture")->trigger();
        Plot::SetFileChooser({});

        QCOMPARE(boxes.Boxes().size(), 2);
        QVERIFY(boxes.Texts()[0].contains("PNG (.png) or PDF (.pdf)"));
        QCOMPARE(boxes.Boxes()[1].kind, MessageService::Kind::Error);
        QVERIFY(boxes.Texts()[1].contains("This file is not a plot capture."));
    }

    void titleAndLegendCanBeHidden() {
        Plot plot;
        auto* canvas = plot.findChild<QCustomPlot*>();
        plot.SetTitle("Monitoring");
        QCOMPARE(canvas->plotLayout()->rowCount(), 2);
        plot.SetTitleVisible(false);
        QCOMPARE(canvas->plotLayout()->rowCount(), 1);
        plot.SetTitleVisible(true);
        QCOMPARE(canvas->plotLayout()->rowCount(), 2);
        QCOMPARE(plot.Title(), QString("Monitoring"));
        plot.SetLegendVisible(false);
        QVERIFY(!canvas->legend->visible());
    }
};

QTEST_MAIN(PlotTest)
#include "PlotTest.moc"
