#include <QSignalSpy>
#include <QTest>

#include "qcustomplot.h"
#include "widgets/HangulFont.h"
#include "widgets/Plot.h"

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

    // Thousands of points make a handful of frames, not one a point.
    void pointsAreDrawnAtABoundedRate() {
        Plot plot;
        plot.AddChannel("a");
        QSignalSpy frames(&plot, &Plot::Drawn);
        for (int i = 0; i < 5000; ++i) plot.AddPoint(0, i * 0.001, i % 100);
        QTRY_COMPARE(frames.count(), 1);
        QTest::qWait(3 * Plot::kFrameIntervalMs);
        QCOMPARE(frames.count(), 1);
        QCOMPARE(plot.PointCount(0), 5000);
    }
};

QTEST_MAIN(PlotTest)
#include "PlotTest.moc"
