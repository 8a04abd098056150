// Where parameter files go: beside the program, or the user's data folder
// when the program's folder cannot hold them.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/ParameterFolder.h"

namespace {

class ParameterFolderTest : public testing::Test {
  protected:
    QTemporaryDir root;
    QString program = root.filePath("bin");
    QString userData = root.filePath("home/.local/share/vrx5");
};

TEST_F(ParameterFolderTest, BesideTheProgramWhenItsFolderTakesIt) {
    ASSERT_TRUE(QDir().mkpath(program));
    EXPECT_EQ(ChooseParameterFolder(program, userData), program + "/PARAMETER");
    EXPECT_TRUE(QDir(program).exists("PARAMETER"));
    EXPECT_FALSE(QDir(userData).exists());
}

// Root may write anywhere, so the unwritable folder is one no one can create:
// the program's "folder" is a file.
TEST_F(ParameterFolderTest, UserDataFolderWhenTheProgramsFolderCannotHoldIt) {
    QFile blocker(root.filePath("bin"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_EQ(ChooseParameterFolder(program, userData), userData + "/PARAMETER");
    EXPECT_TRUE(QDir(userData).exists("PARAMETER"));
}

TEST_F(ParameterFolderTest, UserDataFolderWhenTheProgramsFolderIsReadOnly) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    ASSERT_TRUE(QDir().mkpath(program + "/PARAMETER"));
    ASSERT_EQ(::chmod(QFile::encodeName(program + "/PARAMETER").constData(), 0555), 0);
    EXPECT_EQ(ChooseParameterFolder(program, userData), userData + "/PARAMETER");
    ::chmod(QFile::encodeName(program + "/PARAMETER").constData(), 0755);
}

// Root could write into /usr/bin, but an installed program keeps files out of it.
TEST_F(ParameterFolderTest, UserDataFolderForAProgramInstalledInASystemFolder) {
    for (const char* installed : {"/usr/bin", "/usr/local/bin", "/opt/vrx5/bin"}) {
        EXPECT_EQ(ChooseParameterFolder(installed, userData), userData + "/PARAMETER") << installed;
    }
    EXPECT_FALSE(QDir("/usr/bin").exists("PARAMETER"));
}

TEST_F(ParameterFolderTest, EmptyWhenNeitherPlaceCanHoldIt) {
    QFile blocker(root.filePath("home"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QFile bin(program);
    ASSERT_TRUE(bin.open(QIODevice::WriteOnly));
    EXPECT_EQ(ChooseParameterFolder(program, userData), QString());
}

}  // namespace
