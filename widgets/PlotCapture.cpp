#include "widgets/PlotCapture.h"

#include <QFile>
#include <QSaveFile>
#include <cmath>
#include <optional>

#include "widgets/PlotCsv.h"

namespace {

constexpr char kMagic[] = "VRX5 plot capture";

QString SizeText(qint64 bytes) {
    return bytes >= (1 << 20) ? QString("%1 MB").arg(bytes >> 20) : QString("%1 bytes").arg(bytes);
}

QString OneLine(const QString& text) {
    QString line = text;
    line.replace('\r', ' ').replace('\n', ' ');
    return line;
}

std::optional<PlotAxis> AxisFromName(const QString& name) {
    for (PlotAxis axis : {PlotAxis::Y1, PlotAxis::Y2})
        if (name == PlotAxisName(axis)) return axis;
    return std::nullopt;
}

// Reads one line at a time within the limits and says what went wrong.
class CaptureReader {
  public:
    CaptureReader(QIODevice& in, const PlotCaptureLimits& limits) : in_(in), limits_(limits) {}

    QString Read(PlotCapture& result);

  private:
    // The next line without its line end; false at the end of the file or on a
    // line over the limit (then error_ says so).
    bool NextLine(QByteArray& line);
    QString Damaged(const QString& why) const {
        return QString("The capture file is damaged at line %1: %2.").arg(lineNumber_).arg(why);
    }
    // Why no further line came: a limit, or the file ended early.
    QString EndError() const {
        return error_.isEmpty() ? QStringLiteral("The capture file is truncated.") : error_;
    }
    QString ReadHeader(PlotCapture& capture, qint64& points);
    QString ReadPoints(PlotCapture& capture, qint64 points);

    QIODevice& in_;
    const PlotCaptureLimits& limits_;
    qint64 lineNumber_ = 0;
    qint64 bytesRead_ = 0;
    QString error_;
};

bool CaptureReader::NextLine(QByteArray& line) {
    if (in_.atEnd()) return false;
    line = in_.readLine(limits_.maxLineBytes + 2);
    ++lineNumber_;
    bytesRead_ += line.size();
    if (bytesRead_ > limits_.maxFileBytes) {
        error_ = QString("The capture file is too large (more than %1).")
                     .arg(SizeText(limits_.maxFileBytes));
        return false;
    }
    if (!line.endsWith('\n') && !in_.atEnd()) {
        error_ = Damaged("the line is too long");
        return false;
    }
    while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
    return true;
}

QString CaptureReader::Read(PlotCapture& result) {
    PlotCapture capture;
    qint64 points = 0;
    if (QString error = ReadHeader(capture, points); !error.isEmpty()) return error;
    if (QString error = ReadPoints(capture, points); !error.isEmpty()) return error;
    result = capture;
    return {};
}

QString CaptureReader::ReadHeader(PlotCapture& capture, qint64& points) {
    QByteArray line;
    if (!NextLine(line)) return error_.isEmpty() ? "This file is not a plot capture." : error_;
    const QList<QByteArray> magic = SplitCsvLine(line);
    if (magic.size() != 2 || magic[0] != kMagic) return "This file is not a plot capture.";
    bool ok = false;
    const int version = magic[1].toInt(&ok);
    if (!ok || version < 1) return "This file is not a plot capture.";
    if (version > kPlotCaptureVersion)
        return QString("This capture is in format version %1; this program reads version %2.")
            .arg(version)
            .arg(kPlotCaptureVersion);

    for (;;) {
        if (!NextLine(line)) return EndError();
        const QList<QByteArray> fields = SplitCsvLine(line);
        const QByteArray& kind = fields[0];
        if (kind == "title" && fields.size() == 2) {
            capture.title = QString::fromUtf8(fields[1]);
        } else if (kind == "channel" && fields.size() == 3) {
            const auto axis = AxisFromName(QString::fromUtf8(fields[1]));
            if (!axis) return Damaged("unknown axis");
            if (capture.channels.size() >= limits_.maxChannels)
                return QString("The capture file has more than %1 channels.")
                    .arg(limits_.maxChannels);
            capture.channels.append({QString::fromUtf8(fields[2]), *axis,
                                     QSharedPointer<QCPGraphDataContainer>::create()});
        } else if (kind == "points" && fields.size() == 2) {
            points = fields[1].toLongLong(&ok);
            if (!ok || points < 0) return Damaged("bad point count");
            if (points > limits_.maxPoints)
                return QString("The capture file is too large (%1 points; at most %2).")
                    .arg(points)
                    .arg(limits_.maxPoints);
            return {};
        } else {
            return Damaged("unexpected record");
        }
    }
}

QString CaptureReader::ReadPoints(PlotCapture& capture, qint64 points) {
    QVector<QVector<QCPGraphData>> entries(capture.channels.size());
    QByteArray line;
    for (qint64 i = 0; i < points; ++i) {
        if (!NextLine(line)) return EndError();
        const QList<QByteArray> fields = line.split(',');
        if (fields.size() != 3) return Damaged("a point needs channel, x and y");
        bool ok = false;
        const int channel = fields[0].toInt(&ok);
        if (!ok || channel < 0 || channel >= entries.size()) return Damaged("no such channel");
        const double x = fields[1].toDouble(&ok);
        if (!ok || !std::isfinite(x)) return Damaged("x is not a number");
        double y = std::nan("");
        if (!fields[2].isEmpty()) {
            y = fields[2].toDouble(&ok);
            if (!ok || !std::isfinite(y)) return Damaged("y is not a number");
        }
        entries[channel].append(QCPGraphData(x, y));
    }
    if (!NextLine(line)) return EndError();
    if (line != "end") return Damaged("more points than the file announces");
    for (qsizetype c = 0; c < entries.size(); ++c) capture.channels[c].data->set(entries[c]);
    return {};
}

}  // namespace

bool WritePlotCapture(QIODevice& out, const PlotCapture& capture) {
    QByteArray text = QByteArray(kMagic) + ',' + QByteArray::number(kPlotCaptureVersion) + '\n';
    text += "title," + CsvField(OneLine(capture.title)) + '\n';
    qint64 points = 0;
    for (const PlotSeries& channel : capture.channels) {
        text += "channel," + CsvField(PlotAxisName(channel.axis)) + ',' +
                CsvField(OneLine(channel.title)) + '\n';
        points += channel.data->size();
    }
    text += "points," + QByteArray::number(points) + '\n';
    constexpr qsizetype kFlushBytes = 1 << 20;
    for (qsizetype c = 0; c < capture.channels.size(); ++c) {
        const QByteArray prefix = QByteArray::number(c) + ',';
        const QCPGraphDataContainer& data = *capture.channels[c].data;
        for (auto it = data.constBegin(); it != data.constEnd(); ++it) {
            text += prefix + CsvNumber(it->key) + ',';
            if (!std::isnan(it->value)) text += CsvNumber(it->value);
            text += '\n';
            if (text.size() >= kFlushBytes) {
                if (out.write(text) != text.size()) return false;
                text.clear();
            }
        }
    }
    text += "end\n";
    return out.write(text) == text.size();
}

QString SavePlotCapture(const QString& path, const PlotCapture& capture) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    if (!WritePlotCapture(file, capture)) {
        const QString error = file.errorString();
        file.cancelWriting();
        return error;
    }
    return file.commit() ? QString() : file.errorString();
}

QString ReadPlotCapture(QIODevice& in, PlotCapture& capture, const PlotCaptureLimits& limits) {
    return CaptureReader(in, limits).Read(capture);
}

QString LoadPlotCapture(const QString& path, PlotCapture& capture,
                        const PlotCaptureLimits& limits) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return file.errorString();
    if (file.size() > limits.maxFileBytes)
        return QString("The capture file is too large (%1; at most %2).")
            .arg(SizeText(file.size()), SizeText(limits.maxFileBytes));
    return ReadPlotCapture(file, capture, limits);
}
