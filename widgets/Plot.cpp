#include "widgets/Plot.h"

#include <QLabel>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <ctime>

#include "qcustomplot.h"
#include "widgets/PlotHistory.h"

QColor Plot::ChannelColour(int index) {
    // Distinct on a white background and in print.
    static const QColor palette[] = {QColor(0, 90, 200),  QColor(210, 30, 30), QColor(0, 150, 60),
                                     QColor(160, 0, 160), QColor(230, 120, 0), QColor(0, 160, 170),
                                     QColor(120, 80, 40), QColor(60, 60, 60)};
    return palette[index % std::size(palette)];
}

Plot::Plot(QWidget* parent) : QWidget(parent), historyLength_(PlotHistory::kDefaultLimit) {
    BuildUi();
    frameTimer_.setSingleShot(true);
    connect(&frameTimer_, &QTimer::timeout, this, &Plot::Draw);
    settleTimer_.setSingleShot(true);
    connect(&settleTimer_, &QTimer::timeout, this, &Plot::ScheduleDraw);
}

Plot::~Plot() = default;

void Plot::BuildUi() {
    canvas_ = new QCustomPlot(this);
    canvas_->setObjectName("PlotCanvas");
    canvas_->setNoAntialiasingOnDrag(true);
    canvas_->setPlottingHint(QCP::phFastPolylines, true);
    // One paint buffer: a second one would be cleared and blended every frame.
    canvas_->layer("overlay")->setMode(QCPLayer::lmLogical);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(canvas_, 1);
    readout_ = new QLabel(this);
    readout_->setObjectName("Label_CursorReadout");
    readout_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    readout_->setContentsMargins(4, 2, 4, 2);
    readout_->hide();
    layout->addWidget(readout_);

    canvas_->plotLayout()->insertRow(0);
    titleElement_ = new QCPTextElement(canvas_, QString(), QFont(font().family(), 10, QFont::Bold));
    canvas_->plotLayout()->addElement(0, 0, titleElement_);

    canvas_->yAxis->setLabel(PlotAxisName(PlotAxis::Y1));
    canvas_->yAxis2->setLabel(PlotAxisName(PlotAxis::Y2));
    canvas_->yAxis2->setVisible(true);
    canvas_->yAxis2->setTickLabels(true);
    canvas_->xAxis->setRange(0.0, xSpan_);
    canvas_->yAxis->setRange(0.0, 100.0);
    canvas_->yAxis2->setRange(0.0, 100.0);

    canvas_->legend->setVisible(true);
    QFont legendFont = font();
    legendFont.setPointSize(8);
    canvas_->legend->setFont(legendFont);
    canvas_->legend->setBrush(QColor(255, 255, 255, 210));
    canvas_->axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignLeft);

    BuildTools();
    layout->insertWidget(0, tools_);

    connect(canvas_->xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this,
            [this](const QCPRange&) {
                // A range the user chose by hand ends tracking.
                if (!settingRange_) tracking_ = false;
            });
}

void Plot::SetTitle(const QString& title) {
    title_ = title;
    titleElement_->setText(title);
    setAccessibleName(title);
    ScheduleDraw();
}

void Plot::SetTitleVisible(bool visible) {
    if (visible == titleVisible_) return;
    titleVisible_ = visible;
    QCPLayoutGrid* grid = canvas_->plotLayout();
    if (visible) {
        grid->insertRow(0);
        grid->addElement(0, 0, titleElement_);
    } else {
        grid->take(titleElement_);
        grid->simplify();
    }
    ScheduleDraw();
}

void Plot::SetLegendVisible(bool visible) {
    canvas_->legend->setVisible(visible);
    ScheduleDraw();
}

QCPAxis* Plot::ValueAxis(PlotAxis axis) const {
    return axis == PlotAxis::Y1 ? canvas_->yAxis : canvas_->yAxis2;
}

bool Plot::ValidChannel(int channel) const {
    return channel >= 0 && channel < ChannelCount();
}

int Plot::AddChannel(const QString& title, PlotAxis axis) {
    Channel channel{title, axis, std::make_unique<PlotHistory>(historyLength_), nullptr};
    channel.graph = canvas_->addGraph(canvas_->xAxis, ValueAxis(axis));
    channel.graph->setName(title);
    // Paused, a new channel shows nothing until the plot resumes.
    channel.graph->setData(paused_ ? QSharedPointer<QCPGraphDataContainer>::create()
                                   : channel.history->Data());
    channel.graph->setAdaptiveSampling(true);
    channels_.push_back(std::move(channel));
    Recolour();
    ScheduleDraw();
    return ChannelCount() - 1;
}

void Plot::RemoveChannel(int channel) {
    if (!ValidChannel(channel)) return;
    canvas_->removeGraph(channels_[channel].graph);
    channels_.erase(channels_.begin() + channel);
    Recolour();
    ScheduleDraw();
}

void Plot::RemoveAllChannels() {
    for (Channel& channel : channels_) canvas_->removeGraph(channel.graph);
    channels_.clear();
    ScheduleDraw();
}

QString Plot::ChannelTitle(int channel) const {
    return ValidChannel(channel) ? channels_[channel].title : QString();
}

PlotAxis Plot::ChannelAxis(int channel) const {
    return ValidChannel(channel) ? channels_[channel].axis : PlotAxis::Y1;
}

void Plot::Recolour() {
    for (std::size_t i = 0; i < channels_.size(); ++i)
        channels_[i].graph->setPen(QPen(ChannelColour(static_cast<int>(i)), 1.2));
}

void Plot::AddPoint(int channel, double x, double y) {
    if (!ValidChannel(channel)) return;
    channels_[channel].history->Append(x, y);
    DataChanged();
}

void Plot::AddPoints(int channel, const QVector<double>& xs, const QVector<double>& ys) {
    if (!ValidChannel(channel)) return;
    channels_[channel].history->Append(xs, ys);
    DataChanged();
}

void Plot::AddGap(int channel, double x) {
    if (!ValidChannel(channel)) return;
    channels_[channel].history->AppendGap(x);
    DataChanged();
}

int Plot::PointCount(int channel) const {
    return ValidChannel(channel) ? channels_[channel].history->PointCount() : 0;
}

void Plot::ClearPoints() {
    for (Channel& channel : channels_) channel.history->Clear();
    DataChanged();
}

void Plot::SetHistoryLength(int points) {
    historyLength_ = std::max(1, points);
    for (Channel& channel : channels_) channel.history->SetLimit(historyLength_);
    ScheduleDraw();
}

void Plot::SetXAxisRange(double lower, double upper) {
    settingRange_ = true;
    canvas_->xAxis->setRange(lower, upper);
    settingRange_ = false;
}

void Plot::SetXRange(double min, double span) {
    tracking_ = false;
    trackOrigin_ = min;
    xSpan_ = span > 0.0 ? span : xSpan_;
    SetXAxisRange(min, min + xSpan_);
    ScheduleDraw();
}

void Plot::SetXSpan(double span) {
    if (!(span > 0.0)) return;
    xSpan_ = span;
    if (!tracking_)
        SetXAxisRange(canvas_->xAxis->range().lower, canvas_->xAxis->range().lower + span);
    ScheduleDraw();
}

void Plot::SetYRange(PlotAxis axis, double min, double span) {
    if (!(span > 0.0)) return;
    ValueAxis(axis)->setRange(min, min + span);
    ScheduleDraw();
}

void Plot::SetTracking(bool on) {
    tracking_ = on;
    if (!on) return;
    ApplyTracking();
    ScheduleDraw();
}

void Plot::ApplyTracking() {
    double newest = std::nan("");
    for (const Channel& channel : channels_) {
        const double last = channel.history->LastX();
        if (std::isfinite(last) && !(last <= newest)) newest = last;
    }
    const double upper =
        std::isfinite(newest) ? std::max(newest, trackOrigin_ + xSpan_) : trackOrigin_ + xSpan_;
    SetXAxisRange(upper - xSpan_, upper);
}

std::pair<double, double> Plot::XRange() const {
    const QCPRange range = canvas_->xAxis->range();
    return {range.lower, range.upper};
}

std::pair<double, double> Plot::YRange(PlotAxis axis) const {
    const QCPRange range = ValueAxis(axis)->range();
    return {range.lower, range.upper};
}

void Plot::Replot() {
    ScheduleDraw();
}

bool Plot::LastDrawSmooth() const {
    return canvas_->notAntialiasedElements() == QCP::aeNone;
}

void Plot::DataChanged() {
    // Paused, the picture stays as it is; the data only goes into the history.
    if (paused_) return;
    dataSinceDraw_ = true;
    ScheduleDraw();
}

void Plot::ScheduleDraw() {
    if (frameTimer_.isActive()) return;
    const qint64 since = sinceDraw_.isValid() ? sinceDraw_.elapsed() : kFrameIntervalMs;
    frameTimer_.start(static_cast<int>(std::max<qint64>(0, kFrameIntervalMs - since)));
}

void Plot::DrawNow() {
    frameTimer_.stop();
    Draw();
}

void Plot::Draw() {
    QElapsedTimer frame;
    frame.start();
    const std::clock_t cpuAtStart = std::clock();
    if (tracking_ && !paused_) ApplyTracking();
    if (cursorsVisible_) UpdateReadout();
    // Frames of a running stream draw their lines without smoothing, which
    // costs a third of the time; once the data rests, one smooth frame follows.
    const bool streaming = dataSinceDraw_ && tracking_ && !paused_;
    dataSinceDraw_ = false;
    canvas_->setNotAntialiasedElements(streaming ? QCP::aePlottables : QCP::aeNone);
    if (streaming) settleTimer_.start(kSettleMs);
    canvas_->replot(QCustomPlot::rpImmediateRefresh);
    lastDrawMs_ = frame.nsecsElapsed() * 1e-6;
    lastDrawCpuMs_ = (std::clock() - cpuAtStart) * 1000.0 / CLOCKS_PER_SEC;
    sinceDraw_.start();
    emit Drawn();
}
