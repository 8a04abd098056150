#pragma once
// The program's XY plot: channels added and removed at run time, each with a
// title and one of two Y axes, fed with (x, y) points into a bounded history,
// drawn at a bounded frame rate, with an X axis that can follow the newest
// point. Every plot also carries the scope tools: pause, zoom and pan, two
// cursors with a read-out, CSV and image export, and capture files loaded as
// a read-only overlay. Windows only feed it; the drawing library stays inside.

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QVector>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "widgets/PlotAxis.h"

class QAction;
class QCPAxis;
class QCPGraph;
class QCPItemStraightLine;
class QCPItemText;
class QCPTextElement;
class QCustomPlot;
class QLabel;
class QMouseEvent;
class QToolBar;
class QWheelEvent;
class PlotHistory;

class Plot : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kFrameIntervalMs = 33;  // at most ~30 frames a second

    explicit Plot(QWidget* parent = nullptr);
    ~Plot() override;

    void SetTitle(const QString& title);
    QString Title() const { return title_; }
    void SetTitleVisible(bool visible);
    void SetLegendVisible(bool visible);

    int AddChannel(const QString& title, PlotAxis axis = PlotAxis::Y1);
    void RemoveChannel(int channel);  // later channels move down by one
    void RemoveAllChannels();
    int ChannelCount() const { return static_cast<int>(channels_.size()); }
    QString ChannelTitle(int channel) const;
    PlotAxis ChannelAxis(int channel) const;

    // Points with a value that is not a finite number are not plotted.
    void AddPoint(int channel, double x, double y);
    void AddPoints(int channel, const QVector<double>& xs, const QVector<double>& ys);
    void AddGap(int channel, double x);  // the line breaks here; no point is drawn
    int PointCount(int channel) const;   // points held (gaps not counted)
    void ClearPoints();                  // all points of all channels; the channels stay

    void SetXRange(double min, double span);  // a fixed X range (tracking off)
    void SetXSpan(double span);  // visible X width; while tracking the right edge follows
    void SetYRange(PlotAxis axis, double min, double span);
    void SetTracking(bool on);
    void ReturnToTracking();  // also resumes a paused plot
    bool IsTracking() const { return tracking_; }
    void SetHistoryLength(int points);  // per channel; default 600000 (10 min at 1 kHz)
    int HistoryLength() const { return historyLength_; }

    void Replot();   // queued; drawing happens at most ~30 times a second
    void DrawNow();  // draws at once (pictures, export, tests)

    // What the axes show now: {min, max}.
    std::pair<double, double> XRange() const;
    std::pair<double, double> YRange(PlotAxis axis) const;

  signals:
    void Drawn();  // after each frame; LastDrawMs() tells how long it took

  public:
    double LastDrawMs() const { return lastDrawMs_; }

  private:
    struct Channel {
        QString title;
        PlotAxis axis;
        std::unique_ptr<PlotHistory> history;
        QCPGraph* graph;
    };

    void BuildUi();
    void ScheduleDraw();
    void Draw();
    void ApplyTracking();
    void SetXAxisRange(double lower, double upper);
    void Recolour();
    QCPAxis* ValueAxis(PlotAxis axis) const;
    bool ValidChannel(int channel) const;

    QCustomPlot* canvas_ = nullptr;
    QCPTextElement* titleElement_ = nullptr;
    QString title_;
    bool titleVisible_ = true;
    std::vector<Channel> channels_;
    int historyLength_;

    bool tracking_ = true;
    double trackOrigin_ = 0.0;
    double xSpan_ = 10.0;
    bool settingRange_ = false;

    QTimer frameTimer_;
    QElapsedTimer sinceDraw_;
    double lastDrawMs_ = 0.0;
};
