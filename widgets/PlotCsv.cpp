#include "widgets/PlotCsv.h"

#include <QLocale>
#include <QSaveFile>
#include <cmath>
#include <limits>
#include <vector>

QByteArray CsvNumber(double value) {
    return QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
}

QByteArray CsvField(const QString& text) {
    QByteArray field = text.toUtf8();
    const bool quote = field.contains(',') || field.contains('"') || field.contains('\n') ||
                       field.contains('\r') || field != field.trimmed();
    if (!quote) return field;
    field.replace("\"", "\"\"");
    return '"' + field + '"';
}

QList<QByteArray> SplitCsvLine(const QByteArray& line) {
    QList<QByteArray> fields;
    QByteArray field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c != '"')
                field += c;
            else if (i + 1 < line.size() && line[i + 1] == '"')
                field += line[++i];
            else
                quoted = false;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.append(field);
            field.clear();
        } else {
            field += c;
        }
    }
    fields.append(field);
    return fields;
}

bool WritePlotCsv(QIODevice& out, const PlotSeriesList& channels) {
    QByteArray buffer = "\xEF\xBB\xBFx";
    for (const PlotSeries& channel : channels) buffer += ',' + CsvField(channel.title);
    buffer += "\r\n";

    // Merge the channels by x, one entry of each channel at most per row.
    std::vector<QCPGraphDataContainer::const_iterator> next, end;
    for (const PlotSeries& channel : channels) {
        next.push_back(channel.data->constBegin());
        end.push_back(channel.data->constEnd());
    }
    constexpr qsizetype kFlushBytes = 1 << 20;
    for (;;) {
        double x = std::numeric_limits<double>::infinity();
        for (std::size_t c = 0; c < next.size(); ++c)
            if (next[c] != end[c]) x = std::min(x, next[c]->key);
        if (std::isinf(x)) break;
        buffer += CsvNumber(x);
        for (std::size_t c = 0; c < next.size(); ++c) {
            buffer += ',';
            if (next[c] == end[c] || next[c]->key != x) continue;
            if (!std::isnan(next[c]->value)) buffer += CsvNumber(next[c]->value);
            ++next[c];
        }
        buffer += "\r\n";
        if (buffer.size() >= kFlushBytes) {
            if (out.write(buffer) != buffer.size()) return false;
            buffer.clear();
        }
    }
    return out.write(buffer) == buffer.size();
}

QString SavePlotCsv(const QString& path, const PlotSeriesList& channels) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    if (!WritePlotCsv(file, channels)) {
        const QString error = file.errorString();
        file.cancelWriting();
        return error;
    }
    return file.commit() ? QString() : file.errorString();
}
