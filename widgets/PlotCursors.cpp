// The plot's two cursors A and B and their read-out.

#include <QLabel>

#include "qcustomplot.h"
#include "widgets/Plot.h"
#include "widgets/PlotHistory.h"
#include "widgets/PlotReadout.h"

namespace {

const QColor kCursorColour[2] = {QColor(0, 140, 0), QColor(200, 100, 0)};

}  // namespace

void Plot::BuildCursors() {
    for (int i = 0; i < 2; ++i) {
        cursorLine_[i] = new QCPItemStraightLine(canvas_);
        cursorLine_[i]->setPen(QPen(kCursorColour[i], 1.0, Qt::DashLine));
        cursorLine_[i]->setSelectable(false);
        cursorMark_[i] = new QCPItemText(canvas_);
        cursorMark_[i]->position->setTypeX(QCPItemPosition::ptPlotCoords);
        cursorMark_[i]->position->setTypeY(QCPItemPosition::ptAxisRectRatio);
        cursorMark_[i]->setPositionAlignment(Qt::AlignTop | Qt::AlignHCenter);
        cursorMark_[i]->setText(i == 0 ? "A" : "B");
        cursorMark_[i]->setFont(QFont(font().family(), 9, QFont::Bold));
        cursorMark_[i]->setColor(Qt::white);
        cursorMark_[i]->setBrush(kCursorColour[i]);
        cursorMark_[i]->setPadding(QMargins(3, 1, 3, 1));
        cursorMark_[i]->setSelectable(false);
        cursorLine_[i]->setVisible(false);
        cursorMark_[i]->setVisible(false);
    }
}

void Plot::SetCursorsVisible(bool visible) {
    if (visible && !cursorsVisible_) {
        // Start inside the view, at a third and two thirds of it.
        const QCPRange range = canvas_->xAxis->range();
        cursorX_[0] = range.lower + range.size() / 3.0;
        cursorX_[1] = range.lower + range.size() * 2.0 / 3.0;
    }
    cursorsVisible_ = visible;
    if (QAction* action = findChild<QAction*>("Action_Cursors")) {
        const QSignalBlocker block(action);
        action->setChecked(visible);
    }
    readout_->setVisible(visible);
    UpdateCursors();
    ScheduleDraw();
}

void Plot::SetCursorPositions(double a, double b) {
    cursorX_[0] = a;
    cursorX_[1] = b;
    UpdateCursors();
    ScheduleDraw();
}

void Plot::UpdateCursors() {
    for (int i = 0; i < 2; ++i) {
        cursorLine_[i]->point1->setCoords(cursorX_[i], 0.0);
        cursorLine_[i]->point2->setCoords(cursorX_[i], 1.0);
        cursorMark_[i]->position->setCoords(cursorX_[i], 0.0);
        cursorLine_[i]->setVisible(cursorsVisible_);
        cursorMark_[i]->setVisible(cursorsVisible_);
    }
    if (cursorsVisible_) UpdateReadout();
}

QString Plot::CursorReadoutText() const {
    return FormatReadout(ReadCursors(ShownSeries(), cursorX_[0], cursorX_[1]));
}

void Plot::UpdateReadout() {
    const CursorReadout readout = ReadCursors(ShownSeries(), cursorX_[0], cursorX_[1]);
    const auto cell = [](const QString& text) {
        return "<td align=right style='padding-left:14px'>" + text + "</td>";
    };
    QString html = QString(
                       "<table cellspacing=0 cellpadding=0 style='margin:0'><tr><td></td>"
                       "<td align=right style='padding-left:14px'><b style='color:%1'>A</b></td>"
                       "<td align=right style='padding-left:14px'><b style='color:%2'>B</b></td>"
                       "<td align=right style='padding-left:14px'><b>B - A</b></td><td></td></tr>")
                       .arg(kCursorColour[0].name(), kCursorColour[1].name());
    html += "<tr><td>x</td>" + cell(FormatReadoutNumber(readout.a)) +
            cell(FormatReadoutNumber(readout.b)) + cell(FormatReadoutNumber(readout.Dx())) +
            cell("&nbsp;&nbsp;1/&Delta;x = " + FormatReadoutNumber(readout.InverseDx())) + "</tr>";
    for (int i = 0; i < readout.rows.size() && i < ChannelCount(); ++i) {
        const CursorReadout::Row& row = readout.rows[i];
        html += QString("<tr><td style='color:%1'>%2</td>")
                    .arg(channels_[i].graph->pen().color().name(), row.title.toHtmlEscaped()) +
                cell(FormatReadoutNumber(row.atA)) + cell(FormatReadoutNumber(row.atB)) +
                cell(FormatReadoutNumber(row.Delta())) + "<td></td></tr>";
    }
    readout_->setText(html + "</table>");
}

QVector<PlotSeries> Plot::ShownSeries() const {
    QVector<PlotSeries> series;
    for (const Channel& channel : channels_)
        series.append({channel.title, channel.axis, channel.graph->data()});
    return series;
}

QVector<QPointF> Plot::Entries(int channel) const {
    QVector<QPointF> entries;
    if (!ValidChannel(channel)) return entries;
    for (const QCPGraphData& entry : *channels_[static_cast<std::size_t>(channel)].history->Data())
        entries.append({entry.key, entry.value});
    return entries;
}

QVector<PlotSeries> Plot::HeldSeries() const {
    QVector<PlotSeries> series;
    for (const Channel& channel : channels_)
        series.append({channel.title, channel.axis, channel.history->Data()});
    return series;
}
