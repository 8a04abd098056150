// The plot's tool strip and context menu, its mouse gestures, pause and fit.

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <cmath>

#include "qcustomplot.h"
#include "widgets/Plot.h"
#include "widgets/PlotHistory.h"

namespace {

constexpr int kCursorGrabPixels = 5;
const char kCaptureFilter[] = "Plot captures (*.vrx5plot)";

}  // namespace

QAction* Plot::AddAction(const char* name, const QString& text, const QString& tip) {
    auto* action = new QAction(text, this);
    action->setObjectName(name);
    action->setToolTip(tip);
    addAction(action);
    return action;
}

void Plot::BuildTools() {
    tools_ = new QToolBar(this);
    tools_->setObjectName("ToolBar_Plot");
    tools_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QFont small = font();
    small.setPointSize(8);
    tools_->setFont(small);
    tools_->setStyleSheet(
        "QToolBar { spacing: 1px; padding: 0px; } QToolButton { padding: 1px 4px; }");

    QAction* pause = AddAction("Action_Pause", "Pause", "Freeze the picture; data keeps arriving");
    pause->setCheckable(true);
    connect(pause, &QAction::toggled, this, &Plot::SetPaused);
    QAction* fit =
        AddAction("Action_FitAll", "Fit all", "Show all data on every axis (double-click)");
    connect(fit, &QAction::triggered, this, &Plot::FitAll);
    QAction* track = AddAction("Action_Track", "Track", "Resume and follow the newest point");
    connect(track, &QAction::triggered, this, &Plot::ReturnToTracking);
    QAction* cursors =
        AddAction("Action_Cursors", "Cursors", "Two cursors A and B with a read-out");
    cursors->setCheckable(true);
    connect(cursors, &QAction::toggled, this, &Plot::SetCursorsVisible);

    QAction* zoom[3] = {
        AddAction("Action_ZoomX", "X", "Wheel and drag act on the X axis"),
        AddAction("Action_ZoomY1", "Y1", "Wheel and drag act on Y-Axis 1"),
        AddAction("Action_ZoomY2", "Y2", "Wheel and drag act on Y-Axis 2"),
    };
    for (QAction* axis : zoom) {
        axis->setCheckable(true);
        connect(axis, &QAction::toggled, this, [this, zoom] {
            SetGestureAxes(zoom[0]->isChecked(), zoom[1]->isChecked(), zoom[2]->isChecked());
        });
    }
    zoom[0]->setChecked(true);

    QAction* csv =
        AddAction("Action_ExportCsv", "Export CSV...", "All points held, one column a channel");
    connect(csv, &QAction::triggered, this, [this] {
        ChooseAndRun(true, "Export CSV", "CSV files (*.csv)", "csv", &Plot::ExportCsv);
    });
    QAction* image =
        AddAction("Action_ExportImage", "Export picture...", "The plot as shown, PNG or PDF");
    connect(image, &QAction::triggered, this, [this] {
        ChooseAndRun(true, "Export picture", "PNG image (*.png);;PDF document (*.pdf)", "png",
                     &Plot::ExportImage);
    });
    QAction* save =
        AddAction("Action_SaveCapture", "Save capture...", "Keep this recording in a file");
    connect(save, &QAction::triggered, this, [this] {
        ChooseAndRun(true, "Save capture", kCaptureFilter, "vrx5plot", &Plot::SaveCapture);
    });
    QAction* load = AddAction("Action_LoadCapture", "Load capture...",
                              "Show a saved recording beside the live data");
    connect(load, &QAction::triggered, this, [this] {
        ChooseAndRun(false, "Load capture", kCaptureFilter, QString(), &Plot::LoadCaptureOverlay);
    });
    QAction* unload = AddAction("Action_RemoveOverlays", "Remove overlays",
                                "Take the loaded recordings off the plot");
    unload->setEnabled(false);
    connect(unload, &QAction::triggered, this, &Plot::RemoveOverlays);

    tools_->addActions({pause, fit, track});
    tools_->addSeparator();
    tools_->addAction(cursors);
    tools_->addSeparator();
    tools_->addWidget(new QLabel(" Zoom ", tools_));
    tools_->addActions({zoom[0], zoom[1], zoom[2]});
    tools_->addSeparator();
    auto* files = new QToolButton(tools_);
    files->setObjectName("Btn_PlotFiles");
    files->setText("File");
    files->setPopupMode(QToolButton::InstantPopup);
    auto* fileMenu = new QMenu(files);
    fileMenu->addActions({csv, image});
    fileMenu->addSeparator();
    fileMenu->addActions({save, load, unload});
    files->setMenu(fileMenu);
    tools_->addWidget(files);

    canvas_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(canvas_, &QWidget::customContextMenuRequested, this, &Plot::ShowContextMenu);
    canvas_->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    connect(canvas_, &QCustomPlot::mousePress, this, &Plot::OnMousePress);
    connect(canvas_, &QCustomPlot::mouseMove, this, &Plot::OnMouseMove);
    connect(canvas_, &QCustomPlot::mouseRelease, this, &Plot::OnMouseRelease);
    connect(canvas_, &QCustomPlot::mouseWheel, this,
            [this](QWheelEvent* event) { ConfigureGestures(event->position().toPoint()); });
    connect(canvas_, &QCustomPlot::mouseDoubleClick, this, [this](QMouseEvent* event) {
        if (event->button() == Qt::LeftButton) FitAll();
    });

    pausedMark_ = new QCPItemText(canvas_);
    pausedMark_->position->setType(QCPItemPosition::ptAxisRectRatio);
    pausedMark_->position->setCoords(0.99, 0.02);
    pausedMark_->setPositionAlignment(Qt::AlignTop | Qt::AlignRight);
    pausedMark_->setText("PAUSED");
    pausedMark_->setFont(QFont(font().family(), 9, QFont::Bold));
    pausedMark_->setColor(QColor(200, 0, 0));
    pausedMark_->setPen(QPen(QColor(200, 0, 0)));
    pausedMark_->setBrush(QColor(255, 255, 255, 220));
    pausedMark_->setPadding(QMargins(4, 2, 4, 2));
    pausedMark_->setVisible(false);
    BuildCursors();
}

void Plot::SetToolStripVisible(bool visible) {
    tools_->setVisible(visible);
}

void Plot::ShowContextMenu(const QPoint& pos) {
    QMenu menu(this);
    for (const char* name : {"Action_Pause", "Action_FitAll", "Action_Track", "", "Action_Cursors",
                             "", "Action_ExportCsv", "Action_ExportImage", "", "Action_SaveCapture",
                             "Action_LoadCapture", "Action_RemoveOverlays"}) {
        if (!*name)
            menu.addSeparator();
        else
            menu.addAction(findChild<QAction*>(name));
    }
    menu.exec(canvas_->mapToGlobal(pos));
}

// --- pause, fit, gestures -------------------------------------------------

void Plot::SetPaused(bool paused) {
    if (paused == paused_) return;
    if (paused && tracking_) ApplyTracking();  // freeze what the next frame would show
    paused_ = paused;
    for (Channel& channel : channels_)
        channel.graph->setData(
            paused ? QSharedPointer<QCPGraphDataContainer>::create(*channel.history->Data())
                   : channel.history->Data());
    pausedMark_->setVisible(paused);
    if (QAction* action = findChild<QAction*>("Action_Pause")) {
        const QSignalBlocker block(action);
        action->setChecked(paused);
        action->setText(paused ? "Resume" : "Pause");
    }
    ScheduleDraw();
}

void Plot::ReturnToTracking() {
    SetPaused(false);
    SetTracking(true);
}

void Plot::FitAll() {
    tracking_ = false;
    canvas_->xAxis->rescale(true);
    for (QCPAxis* axis : {canvas_->yAxis, canvas_->yAxis2}) {
        if (axis->graphs().isEmpty()) continue;
        axis->rescale(true);
        axis->scaleRange(1.1);
    }
    ScheduleDraw();
}

void Plot::SetGestureAxes(bool x, bool y1, bool y2) {
    gestureX_ = x;
    gestureY1_ = y1;
    gestureY2_ = y2;
    const std::pair<const char*, bool> states[] = {
        {"Action_ZoomX", x}, {"Action_ZoomY1", y1}, {"Action_ZoomY2", y2}};
    for (const auto& [name, on] : states) {
        QAction* action = findChild<QAction*>(name);
        const QSignalBlocker block(action);
        action->setChecked(on);
    }
}

void Plot::ConfigureGestures(const QPoint& pos) {
    const QRect area = canvas_->axisRect()->rect();
    bool x = gestureX_, y1 = gestureY1_, y2 = gestureY2_;
    if (pos.y() > area.bottom() && pos.x() >= area.left() && pos.x() <= area.right()) {
        x = true, y1 = y2 = false;  // over the X axis
    } else if (pos.x() < area.left()) {
        x = y2 = false, y1 = true;  // over Y-Axis 1
    } else if (pos.x() > area.right()) {
        x = y1 = false, y2 = true;  // over Y-Axis 2
    }
    QList<QCPAxis*> horizontal, vertical;
    if (x) horizontal << canvas_->xAxis;
    if (y1) vertical << canvas_->yAxis;
    if (y2) vertical << canvas_->yAxis2;
    Qt::Orientations orientations;
    if (x) orientations |= Qt::Horizontal;
    if (y1 || y2) orientations |= Qt::Vertical;
    QCPAxisRect* rect = canvas_->axisRect();
    rect->setRangeDrag(orientations);
    rect->setRangeZoom(orientations);
    rect->setRangeDragAxes(horizontal, vertical);
    rect->setRangeZoomAxes(horizontal, vertical);
}

void Plot::OnMousePress(QMouseEvent* event) {
    ConfigureGestures(event->pos());
    draggedCursor_ = -1;
    if (!cursorsVisible_ || event->button() != Qt::LeftButton) return;
    for (int i = 0; i < 2; ++i) {
        const double pixel = canvas_->xAxis->coordToPixel(cursorX_[i]);
        if (std::abs(pixel - event->pos().x()) <= kCursorGrabPixels) {
            draggedCursor_ = i;
            canvas_->setInteraction(QCP::iRangeDrag, false);  // the cursor moves, not the view
            return;
        }
    }
}

void Plot::OnMouseMove(QMouseEvent* event) {
    if (draggedCursor_ < 0) return;
    cursorX_[draggedCursor_] = canvas_->xAxis->pixelToCoord(event->pos().x());
    UpdateCursors();
    ScheduleDraw();
}

void Plot::OnMouseRelease(QMouseEvent*) {
    if (draggedCursor_ < 0) return;
    draggedCursor_ = -1;
    canvas_->setInteraction(QCP::iRangeDrag, true);
}
