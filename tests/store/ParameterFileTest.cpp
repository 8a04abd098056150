// Parameter files on disk: the 140-line layout, the two refusals, replacing a
// file only when the new one is complete, and loading whatever the file holds.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "store/ParameterFile.h"

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

StoreSet Filled(const std::string& tag) {
    StoreSet set;
    for (int n = 0; n < StoreSet::kValues; ++n) set.SetInFileOrder(n, tag + std::to_string(n));
    return set;
}

class ParameterFileTest : public testing::Test {
  protected:
    QString Path(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

TEST_F(ParameterFileTest, SavesOneLinePerSlotWithCrLf) {
    StoreSet set;
    set.Set(0, 1, "1");
    const QString path = ParameterFile::FilePath(dir.path(), "one");
    ASSERT_TRUE(ParameterFile::Save(set, path).Ok());
    EXPECT_EQ(ReadAll(Path("one.pf")), "1" + QByteArray("\r\n").repeated(140));

    set.Set(0, 2, " 12 ");  // blanks are part of the value
    set.Set(6, 20, "619");
    ASSERT_TRUE(ParameterFile::Save(set, path).Ok());
    const QList<QByteArray> lines = ReadAll(path).split('\n');
    ASSERT_EQ(lines.size(), 141);  // 140 lines and nothing after the last line end
    EXPECT_EQ(lines[1], " 12 \r");
    EXPECT_EQ(lines[139], "619\r");
    EXPECT_EQ(lines[140], "");
}

TEST_F(ParameterFileTest, RefusesWithoutPr000ThenWithoutName) {
    StoreSet set = Filled("v");
    set.Set(0, 1, "");
    EXPECT_EQ(ParameterFile::SaveRefusal(set, ""), ParameterFile::NoDataText);
    EXPECT_EQ(ParameterFile::SaveRefusal(set, "name"), ParameterFile::NoDataText);
    set.Set(0, 1, "1");
    EXPECT_EQ(ParameterFile::SaveRefusal(set, ""), ParameterFile::NoNameText);
    EXPECT_EQ(ParameterFile::SaveRefusal(set, "name"), QString());
}

TEST_F(ParameterFileTest, TakesTheNameAsTyped) {
    EXPECT_EQ(ParameterFile::FilePath("/d", "abc.pf"), "/d/abc.pf.pf");
    EXPECT_EQ(ParameterFile::FilePath("/d", " a "), "/d/ a .pf");
    EXPECT_EQ(ParameterFile::FilePath("/d", "sub/x"), "/d/sub/x.pf");
}

TEST_F(ParameterFileTest, RoundTripKeepsEverySlotAndReplacesTheOldFile) {
    const QString path = Path("set.pf");
    ASSERT_TRUE(ParameterFile::Save(Filled("old-and-longer-"), path).Ok());
    const StoreSet saved = Filled("n");
    ASSERT_TRUE(ParameterFile::Save(saved, path).Ok());
    EXPECT_EQ(ReadAll(path), ParameterFile::Content(saved));
    StoreSet loaded = Filled("previous");
    ASSERT_TRUE(ParameterFile::Load(path, loaded).Ok());
    EXPECT_EQ(loaded, saved);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"set.pf"});  // no leftovers
}

struct LoadCase {
    const char* name;
    QByteArray content;
    std::vector<std::pair<int, std::string>> expected;  // file-order slot, value
};

// Every slot not listed must come out empty.
TEST_F(ParameterFileTest, LoadsWhatEverTheLinesHold) {
    const QByteArray long25 = "1234567890123456789012345";
    const LoadCase cases[] = {
        {"short file", "1\r\n2\r\n", {{0, "1"}, {1, "2"}}},
        {"LF only", "1\n\n3\n", {{0, "1"}, {2, "3"}}},
        {"no final line end", "1\r\n2", {{0, "1"}, {1, "2"}}},
        {"25 characters cut, next line next slot",
         long25 + "\r\nnext\r\n",
         {{0, "12345678901234567890"}, {1, "next"}}},
        {"20 characters and CR",
         "12345678901234567890\r\nb\n",
         {{0, "12345678901234567890"}, {1, "b"}}},
        {"CR inside a line stays", "a\rb\n", {{0, "a\rb"}}},
        {"blanks kept", "  7 \r\n", {{0, "  7 "}}},
        {"empty file", "", {}},
        {"lines after the 140th ignored", QByteArray("x\n").repeated(139) + "last\nextra\n", {}},
    };
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.name);
        WriteAll(Path("case.pf"), c.content);
        StoreSet loaded = Filled("old");
        ASSERT_TRUE(ParameterFile::Load(Path("case.pf"), loaded).Ok());
        StoreSet expected;
        if (std::string(c.name) == "lines after the 140th ignored") {
            for (int n = 0; n < 139; ++n) expected.SetInFileOrder(n, "x");
            expected.SetInFileOrder(139, "last");
        }
        for (const auto& [slot, value] : c.expected) expected.SetInFileOrder(slot, value);
        EXPECT_EQ(loaded, expected);
    }
}

TEST_F(ParameterFileTest, FileThatCannotBeOpenedLeavesTheSetAndSaysWhy) {
    StoreSet set = Filled("keep");
    const ParameterFile::Outcome missing = ParameterFile::Load(Path("none.pf"), set);
    EXPECT_FALSE(missing.Ok());
    EXPECT_TRUE(missing.error.contains("none.pf")) << missing.error.toStdString();
    EXPECT_TRUE(missing.error.contains("No such file")) << missing.error.toStdString();
    EXPECT_FALSE(ParameterFile::Load(dir.path(), set).Ok());  // a directory
    EXPECT_EQ(set, Filled("keep"));
}

// The file opens but its first read fails: nothing read, nothing changed, the reason told.
TEST_F(ParameterFileTest, ReadErrorKeepsTheSlotsNotRead) {
    StoreSet set = Filled("keep");
    const ParameterFile::Outcome failed = ParameterFile::Load("/proc/self/mem", set);
    EXPECT_FALSE(failed.Ok());
    EXPECT_TRUE(failed.error.contains("mem")) << failed.error.toStdString();
    EXPECT_EQ(set, Filled("keep"));
}

TEST_F(ParameterFileTest, SaveIntoAPlaceThatCannotHoldFilesSaysWhy) {
    WriteAll(Path("plain"), "not a directory");
    const ParameterFile::Outcome failed =
        ParameterFile::Save(Filled("v"), ParameterFile::FilePath(Path("plain"), "x"));
    EXPECT_FALSE(failed.Ok());
    EXPECT_TRUE(failed.error.contains("x.pf")) << failed.error.toStdString();
}

// The disk fills half way through the new file (a file size limit stands in
// for it): the old file stays whole and the reason is told.
TEST_F(ParameterFileTest, SaveThatFailsHalfWayLeavesTheOldFile) {
    const QString path = Path("kept.pf");
    ASSERT_TRUE(ParameterFile::Save(Filled("old"), path).Ok());
    const QByteArray before = ReadAll(path);

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 200;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const ParameterFile::Outcome failed = ParameterFile::Save(Filled("new-value-"), path);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(failed.Ok());
    EXPECT_TRUE(failed.error.contains("kept.pf")) << failed.error.toStdString();
    EXPECT_TRUE(failed.error.contains("large")) << failed.error.toStdString();  // EFBIG
    EXPECT_EQ(ReadAll(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"kept.pf"});
}

long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A file that is no parameter file loads like any other, and its size costs nothing.
TEST_F(ParameterFileTest, BinaryAndHugeFilesLoadInLittleMemory) {
    QByteArray binary;
    for (int i = 0; i < 256 * 64; ++i) binary.append(static_cast<char>(i * 7));
    WriteAll(Path("binary.pf"), binary);
    StoreSet set;
    ASSERT_TRUE(ParameterFile::Load(Path("binary.pf"), set).Ok());
    for (int n = 0; n < StoreSet::kValues; ++n) EXPECT_LE(set.InFileOrder(n).size(), 20u);

    // 2 GB without a line end but for one in the middle: sparse, nothing on disk.
    const QString huge = Path("huge.pf");
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.write("first"));
        ASSERT_TRUE(file.seek(qint64(1) << 30));
        ASSERT_TRUE(file.write("\r\nsecond\n"));
        ASSERT_TRUE(file.resize(qint64(2) << 30));
    }
    const long before = PeakKilobytes();
    ASSERT_TRUE(ParameterFile::Load(huge, set).Ok());
    EXPECT_EQ(set.At(0, 1), "first" + std::string(15, '\0'));
    EXPECT_EQ(set.At(0, 2), "second");
    EXPECT_EQ(set.At(0, 3), std::string(20, '\0'));
    EXPECT_EQ(set.At(0, 4), "");
    EXPECT_LT(PeakKilobytes() - before, 16 * 1024);
}

}  // namespace
