#pragma once
// Capture files: a plot's channels with their titles, axes and points, kept so
// an engineer can open a recording later beside live data.
//
// Format, version 1: UTF-8 text, one record a line, fields separated by commas
// and quoted like CSV where they need it; LF or CRLF line ends.
//
//   VRX5 plot capture,1             magic and format version
//   title,<plot title>
//   channel,<Y-Axis 1|Y-Axis 2>,<channel title>      one line a channel, in order
//   points,<number of point lines that follow>
//   <channel>,<x>,<y>               channel index from 0; y empty for a gap
//   end
//
// Numbers are written with a decimal point, as the shortest text that reads
// back to the same double. Point lines of a channel are in x order. A reader
// refuses a later version, a file without the "end" line (truncated), a count
// that does not match, and anything over the limits below.

#include <QIODevice>
#include <QString>

#include "widgets/PlotSeries.h"

struct PlotCapture {
    QString title;
    PlotSeriesList channels;
};

struct PlotCaptureLimits {
    qint64 maxFileBytes = 256LL << 20;
    int maxChannels = 64;
    qint64 maxPoints = 16'000'000;  // point lines, gaps included
    int maxLineBytes = 4096;
};

inline constexpr int kPlotCaptureVersion = 1;

bool WritePlotCapture(QIODevice& out, const PlotCapture& capture);
// Writes the file completely or not at all; empty when done, else the reason.
QString SavePlotCapture(const QString& path, const PlotCapture& capture);

// Empty when read into `capture`; otherwise a message for the user, and
// `capture` is left as it was.
QString ReadPlotCapture(QIODevice& in, PlotCapture& capture, const PlotCaptureLimits& limits = {});
QString LoadPlotCapture(const QString& path, PlotCapture& capture,
                        const PlotCaptureLimits& limits = {});
