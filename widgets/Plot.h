#pragma once
// The program's XY plot: channels added and removed at run time, each with a
// title and one of two Y axes, fed with (x, y) points into a bounded history,
// drawn at a bounded frame rate, with an X axis that can follow the newest
// point. Every plot also carries the scope tools: pause, zoom and pan, two
// cursors with a read-out, CSV and image export, and capture files loaded as
// a read-only overlay. Windows only feed it; the drawing library stays inside.

#include <QColor>
#include <QElapsedTimer>
#include <QPointF>
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
struct PlotSeries;

class Plot : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kFrameIntervalMs = 33;  // at most ~30 frames a second
    static constexpr int kSettleMs = 300;        // a resting stream gets one smooth frame

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
    // What a channel holds in x order; a gap has a NaN y.
    QVector<QPointF> Entries(int channel) const;
    void ClearPoints();  // all points of all channels; the channels stay

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

    // Scope tools, also reachable from the tool strip and the context menu.
    // Paused, the plot keeps showing what it showed while data keeps
    // arriving into the history; resuming shows everything again.
    void SetPaused(bool paused);
    bool IsPaused() const { return paused_; }
    void FitAll();  // every axis to the data it carries; tracking off
    // The axes that wheel and drag act on inside the plot area; over an axis
    // they act on that axis alone.
    void SetGestureAxes(bool x, bool y1, bool y2);
    void SetCursorsVisible(bool visible);
    bool CursorsVisible() const { return cursorsVisible_; }
    void SetCursorPositions(double a, double b);
    double CursorA() const { return cursorX_[0]; }
    double CursorB() const { return cursorX_[1]; }
    QString CursorReadoutText() const;  // x at A and B, each channel's y there, the differences
    void SetToolStripVisible(bool visible);

    // Files: each reports its own errors to the user and returns false then.
    bool ExportCsv(const QString& path);           // what the plot holds, one column a channel
    bool ExportImage(const QString& path);         // the plot as shown, PNG or PDF by suffix
    bool SaveCapture(const QString& path);         // channels, titles, axes and points
    bool LoadCaptureOverlay(const QString& path);  // read-only, beside the live channels
    void RemoveOverlays();
    int OverlayChannelCount() const { return static_cast<int>(overlays_.size()); }

    // Asks for a file name (save or open); tests put in their own. Empty: cancelled.
    using FileChooser = std::function<QString(QWidget* parent, bool save, const QString& caption,
                                              const QString& filter)>;
    static void SetFileChooser(FileChooser chooser);

    double LastDrawMs() const { return lastDrawMs_; }
    double LastDrawCpuMs() const { return lastDrawCpuMs_; }  // the processor time of it
    bool LastDrawSmooth() const;  // false for the quick frames of a running stream

  signals:
    void Drawn();  // after each frame; LastDrawMs() tells how long it took

  private:
    struct Channel {
        QString title;
        PlotAxis axis;
        std::unique_ptr<PlotHistory> history;
        QCPGraph* graph;
    };

    void BuildUi();
    void BuildTools();
    void BuildCursors();
    QAction* AddAction(const char* name, const QString& text, const QString& tip);
    void ShowContextMenu(const QPoint& pos);
    void ConfigureGestures(const QPoint& pos);
    void OnMousePress(QMouseEvent* event);
    void OnMouseMove(QMouseEvent* event);
    void OnMouseRelease(QMouseEvent* event);
    void UpdateCursors();
    void UpdateReadout();
    void ChooseAndRun(bool save, const QString& caption, const QString& filter,
                      const QString& suffix, bool (Plot::*run)(const QString&));
    void ReportFileError(const QString& path, const QString& error);
    void DataChanged();
    void ScheduleDraw();
    void Draw();
    void ApplyTracking();
    void SetXAxisRange(double lower, double upper);
    void Recolour();
    QCPAxis* ValueAxis(PlotAxis axis) const;
    bool ValidChannel(int channel) const;
    static QColor ChannelColour(int index);

    QVector<PlotSeries> ShownSeries() const;  // the data the graphs draw now
    QVector<PlotSeries> HeldSeries() const;   // the histories

    QCustomPlot* canvas_ = nullptr;
    QToolBar* tools_ = nullptr;
    QLabel* readout_ = nullptr;
    QCPItemText* pausedMark_ = nullptr;
    QCPItemStraightLine* cursorLine_[2] = {};
    QCPItemText* cursorMark_[2] = {};
    double cursorX_[2] = {0.0, 0.0};
    bool cursorsVisible_ = false;
    int draggedCursor_ = -1;
    bool gestureX_ = true, gestureY1_ = false, gestureY2_ = false;
    bool paused_ = false;
    std::vector<QCPGraph*> overlays_;
    QCPTextElement* titleElement_ = nullptr;
    QString title_;
    bool titleVisible_ = true;
    std::vector<Channel> channels_;
    int historyLength_;

    bool tracking_ = true;
    double trackOrigin_ = 0.0;
    double xSpan_ = 10.0;
    bool settingRange_ = false;

    bool dataSinceDraw_ = false;
    QTimer frameTimer_;
    QTimer settleTimer_;
    QElapsedTimer sinceDraw_;
    double lastDrawMs_ = 0.0;
    double lastDrawCpuMs_ = 0.0;
};
