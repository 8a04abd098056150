#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <cmath>
#include <limits>

#include "widgets/PlotCapture.h"
#include "widgets/PlotCsv.h"

namespace {

constexpr double kGap = std::numeric_limits<double>::quiet_NaN();

QSharedPointer<QCPGraphDataContainer> Data(const QVector<QCPGraphData>& entries) {
    auto data = QSharedPointer<QCPGraphDataContainer>::create();
    data->set(entries, true);
    return data;
}

// Entries as comparable pairs; a gap compares by its NaN-ness.
std::vector<std::pair<double, std::optional<double>>> Entries(const QCPGraphDataContainer& data) {
    std::vector<std::pair<double, std::optional<double>>> entries;
    for (auto it = data.constBegin(); it != data.constEnd(); ++it)
        entries.emplace_back(it->key,
                             std::isnan(it->value) ? std::nullopt : std::optional(it->value));
    return entries;
}

QByteArray CsvOf(const PlotSeriesList& channels) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(WritePlotCsv(buffer, channels));
    return buffer.data();
}

// Rows merge the channels by x; a missing point or a gap leaves the cell empty.
TEST(PlotCsvTest, OneXColumnAndOneColumnAChannel) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German));  // decimal comma locale
    const QByteArray csv = CsvOf({
        {"속도피드백", PlotAxis::Y1, Data({{0, 1.5}, {0.005, 2}, {0.0075, kGap}, {0.01, -3.25}})},
        {"Torque, \"cmd\"", PlotAxis::Y2, Data({{0.005, 10}, {0.02, 1e-7}})},
    });
    QLocale::setDefault(before);
    EXPECT_EQ(csv,
              "\xEF\xBB\xBFx,속도피드백,\"Torque, \"\"cmd\"\"\"\r\n"
              "0,1.5,\r\n"
              "0.005,2,10\r\n"
              "0.0075,,\r\n"
              "0.01,-3.25,\r\n"
              "0.02,,1e-07\r\n");
    EXPECT_EQ(CsvOf({}), "\xEF\xBB\xBFx\r\n");
}

// Every double comes back exactly, and quoted fields split back into their text.
TEST(PlotCsvTest, NumbersAndFieldsReadBackExactly) {
    for (double value : {0.1, 1.0 / 3.0, -123456.789, 1e-300, 6.02214076e23, -0.0}) {
        bool ok = false;
        EXPECT_EQ(CsvNumber(value).toDouble(&ok), value);
        EXPECT_TRUE(ok);
    }
    for (const QString& text : {QString("plain"), QString("a,b"), QString("say \"hi\""),
                                QString(" padded "), QString("줄\n바꿈"), QString()}) {
        const QList<QByteArray> fields = SplitCsvLine("x," + CsvField(text) + ",y");
        ASSERT_EQ(fields.size(), 3);
        EXPECT_EQ(QString::fromUtf8(fields[1]), text);
    }
}

TEST(PlotCsvTest, AFailedSaveLeavesNoFileAndSaysWhy) {
    QTemporaryDir dir;
    const QString path = dir.filePath("missing/folder/plot.csv");
    EXPECT_FALSE(SavePlotCsv(path, {}).isEmpty());
    EXPECT_FALSE(QFile::exists(path));
}

PlotCapture SampleCapture() {
    return {"Monitoring, run 2\nsecond line",
            {{"속도피드백", PlotAxis::Y1,
              Data({{0, 10}, {0.005, 12}, {0.0075, kGap}, {0.01, 1.0 / 3}})},
             {"Torque \"cmd\"", PlotAxis::Y2, Data({{0, 1}, {0.005, -2e-9}})},
             {"empty", PlotAxis::Y1, Data({})}}};
}

TEST(PlotCaptureTest, SavedCaptureLoadsBackAsItWas) {
    QTemporaryDir dir;
    const QString path = dir.filePath("run.vrx5plot");
    const PlotCapture saved = SampleCapture();
    ASSERT_EQ(SavePlotCapture(path, saved), "");

    PlotCapture loaded;
    ASSERT_EQ(LoadPlotCapture(path, loaded), "");
    EXPECT_EQ(loaded.title, "Monitoring, run 2 second line");  // a title is one line
    ASSERT_EQ(loaded.channels.size(), saved.channels.size());
    for (qsizetype c = 0; c < saved.channels.size(); ++c) {
        EXPECT_EQ(loaded.channels[c].title, saved.channels[c].title);
        EXPECT_EQ(loaded.channels[c].axis, saved.channels[c].axis);
        EXPECT_EQ(Entries(*loaded.channels[c].data), Entries(*saved.channels[c].data));
    }
}

struct BadCapture {
    const char* what;
    QByteArray text;
    const char* error;  // part of the message the user sees
};

QByteArray Head(int points) {
    return "VRX5 plot capture,1\ntitle,t\nchannel,Y-Axis 1,a\nchannel,Y-Axis 2,b\npoints," +
           QByteArray::number(points) + "\n";
}

class PlotCaptureBadFileTest : public ::testing::TestWithParam<BadCapture> {};

// A file that is not a good capture is refused with a message, and the
// capture the caller holds stays as it was.
TEST_P(PlotCaptureBadFileTest, IsRefusedWithAClearMessage) {
    const BadCapture& bad = GetParam();
    QByteArray text = bad.text;
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadOnly);
    PlotCapture capture{"kept", {}};
    PlotCaptureLimits limits;
    limits.maxChannels = 3;
    limits.maxPoints = 100;
    limits.maxLineBytes = 200;
    limits.maxFileBytes = 4096;
    const QString error = ReadPlotCapture(buffer, capture, limits);
    EXPECT_TRUE(error.contains(bad.error)) << error.toStdString();
    EXPECT_EQ(capture.title, "kept");
    EXPECT_TRUE(capture.channels.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlotCaptureBadFileTest,
    ::testing::Values(
        BadCapture{"empty", "", "not a plot capture"},
        BadCapture{"text", "hello world\n", "not a plot capture"},
        BadCapture{"binary", QByteArray("\x89PNG\r\n\x1a\n\0\0\0", 11), "not a plot capture"},
        BadCapture{"exported CSV", "\xEF\xBB\xBFx,a\r\n0,1\r\n", "not a plot capture"},
        BadCapture{"later version", "VRX5 plot capture,2\n", "format version 2"},
        BadCapture{"cut in the header", "VRX5 plot capture,1\ntitle,t\n", "truncated"},
        BadCapture{"cut in the points", Head(3) + "0,0,1\n0,1,", "truncated"},
        BadCapture{"no end line", Head(1) + "0,0,1\n", "truncated"},
        BadCapture{"more points than announced", Head(1) + "0,0,1\n0,1,2\nend\n",
                   "line 7: more points"},
        BadCapture{"x not a number", Head(1) + "0,abc,1\nend\n", "line 6: x is not"},
        BadCapture{"y not finite", Head(1) + "1,0,nan\nend\n", "line 6: y is not"},
        BadCapture{"decimal comma", Head(1) + "0,0,1,5\nend\n", "needs channel, x and y"},
        BadCapture{"no such channel", Head(1) + "2,0,1\nend\n", "no such channel"},
        BadCapture{"unknown axis", "VRX5 plot capture,1\nchannel,Y-Axis 3,a\n", "unknown axis"},
        BadCapture{"unknown record", "VRX5 plot capture,1\ncolour,red\n", "unexpected record"},
        BadCapture{"too many channels",
                   "VRX5 plot capture,1\n" + QByteArray("channel,Y-Axis 1,a\n").repeated(4),
                   "more than 3 channels"},
        BadCapture{"too many points", Head(101), "at most 100"},
        BadCapture{"endless line", Head(1) + QByteArray(300, '1') + "\nend\n", "too long"},
        BadCapture{
            "huge stream",
            Head(99) +
                QByteArray("0,0.00000123456789,123456.789012345678901234567890\n").repeated(99) +
                "end\n",
            "too large"}),
    [](const ::testing::TestParamInfo<BadCapture>& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    });

// A huge file is refused from its size, before anything is read.
TEST(PlotCaptureTest, AHugeFileIsRefusedBeforeItIsRead) {
    QTemporaryDir dir;
    const QString path = dir.filePath("huge.vrx5plot");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(3LL << 20));  // sparse: no disk space used
    file.close();
    PlotCaptureLimits limits;
    limits.maxFileBytes = 2LL << 20;
    PlotCapture capture;
    EXPECT_EQ(LoadPlotCapture(path, capture, limits),
              "The capture file is too large (3 MB; at most 2 MB).");
    EXPECT_FALSE(LoadPlotCapture(dir.filePath("absent.vrx5plot"), capture).isEmpty());
}

}  // namespace
