// The plot's files: CSV and picture export, capture files and their overlays.

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "qcustomplot.h"
#include "widgets/MessageService.h"
#include "widgets/Plot.h"
#include "widgets/PlotCapture.h"
#include "widgets/PlotCsv.h"

namespace {

Plot::FileChooser& Chooser() {
    static Plot::FileChooser chooser;
    return chooser;
}

QString AskForFile(QWidget* parent, bool save, const QString& caption, const QString& filter) {
    if (Chooser()) return Chooser()(parent, save, caption, filter);
    return save ? QFileDialog::getSaveFileName(parent, caption, QString(), filter)
                : QFileDialog::getOpenFileName(parent, caption, QString(), filter);
}

}  // namespace

void Plot::SetFileChooser(FileChooser chooser) {
    Chooser() = std::move(chooser);
}

void Plot::ChooseAndRun(bool save, const QString& caption, const QString& filter,
                        const QString& suffix, bool (Plot::*run)(const QString&)) {
    QString path = AskForFile(this, save, caption, filter);
    if (path.isEmpty()) return;
    if (save && !suffix.isEmpty() && QFileInfo(path).suffix().isEmpty()) path += '.' + suffix;
    (this->*run)(path);
}

void Plot::ReportFileError(const QString& path, const QString& error) {
    MessageService::Error(this, QString("%1\n\n%2").arg(QDir::toNativeSeparators(path), error));
}

bool Plot::ExportCsv(const QString& path) {
    const QString error = SavePlotCsv(path, HeldSeries());
    if (!error.isEmpty()) ReportFileError(path, error);
    return error.isEmpty();
}

bool Plot::ExportImage(const QString& path) {
    dataSinceDraw_ = false;  // a picture gets the smooth lines
    DrawNow();
    const QString suffix = QFileInfo(path).suffix().toLower();
    bool saved = false;
    if (suffix == "pdf")
        saved = canvas_->savePdf(path);
    else if (suffix == "png")
        saved = canvas_->savePng(path);
    else {
        ReportFileError(path, "Pictures are saved as PNG (.png) or PDF (.pdf).");
        return false;
    }
    if (!saved) ReportFileError(path, "The picture could not be written.");
    return saved;
}

bool Plot::SaveCapture(const QString& path) {
    const QString error = SavePlotCapture(path, PlotCapture{title_, HeldSeries()});
    if (!error.isEmpty()) ReportFileError(path, error);
    return error.isEmpty();
}

bool Plot::LoadCaptureOverlay(const QString& path) {
    PlotCapture capture;
    const QString error = LoadPlotCapture(path, capture);
    if (!error.isEmpty()) {
        ReportFileError(path, error);
        return false;
    }
    const QString source = QFileInfo(path).completeBaseName();
    for (const PlotSeries& channel : capture.channels) {
        QCPGraph* graph = canvas_->addGraph(canvas_->xAxis, ValueAxis(channel.axis));
        graph->setName(QString("%1 (%2)").arg(channel.title, source));
        graph->setData(channel.data);
        graph->setAdaptiveSampling(true);
        graph->setPen(QPen(ChannelColour(static_cast<int>(overlays_.size())).lighter(130), 1.2,
                           Qt::DashLine));
        overlays_.push_back(graph);
    }
    findChild<QAction*>("Action_RemoveOverlays")->setEnabled(!overlays_.empty());
    ScheduleDraw();
    return true;
}

void Plot::RemoveOverlays() {
    for (QCPGraph* graph : overlays_) canvas_->removeGraph(graph);
    overlays_.clear();
    findChild<QAction*>("Action_RemoveOverlays")->setEnabled(false);
    ScheduleDraw();
}
