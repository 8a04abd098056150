#pragma once
// The plot as a spreadsheet table: one x column, then one column a channel
// with the channel titles as headers. Rows go in x order; a channel without a
// point at a row's x (or with a gap there) leaves its cell empty. UTF-8 with a
// byte-order mark (so spreadsheets read Korean titles right), comma separated,
// CRLF line ends, numbers with a decimal point whatever the locale, fields
// quoted where they need it.

#include <QByteArray>
#include <QIODevice>
#include <QList>

#include "widgets/PlotSeries.h"

// A number as the shortest text that reads back to the same double.
QByteArray CsvNumber(double value);
// A text field, quoted when it holds a separator, a quote, a line end or
// leading or trailing blanks.
QByteArray CsvField(const QString& text);
// The fields of one line (without its line end), quotes undone.
QList<QByteArray> SplitCsvLine(const QByteArray& line);

// False when the device refused a write.
bool WritePlotCsv(QIODevice& out, const PlotSeriesList& channels);
// Writes the file completely or not at all; empty when done, else the reason.
QString SavePlotCsv(const QString& path, const PlotSeriesList& channels);
