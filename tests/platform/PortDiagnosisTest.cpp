// The facts gathered about a port, the latency timer of USB adapters, and the
// quiet watch for a lost port to come back.

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "platform/ComPort.h"
#include "platform/PortDiagnosis.h"
#include "platform/PortWatch.h"
#include "sim/Pty.h"

namespace {

void EnsureApplication() {
    static int argc = 1;
    static char name[] = "port_diagnosis_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
}

QString PathOf(const RawPty& pty) {
    return QString::fromStdString(pty.slavePath);
}

TEST(LatencyTimerTest, ReadsTheAdaptersTimerAndNothingForOtherPorts) {
    QTemporaryDir sys;
    const QString dir = sys.filePath("bus/usb-serial/devices/ttyUSB7");
    ASSERT_TRUE(QDir().mkpath(dir));
    QFile timer(dir + "/latency_timer");
    ASSERT_TRUE(timer.open(QIODevice::WriteOnly));
    timer.write("16\n");
    timer.close();

    EXPECT_EQ(LatencyTimerMs("ttyUSB7", sys.path()), 16);
    EXPECT_EQ(LatencyTimerMs("/dev/ttyUSB7", sys.path()), 16);
    EXPECT_EQ(LatencyTimerMs("ttyUSB8", sys.path()), std::nullopt);  // a driver without one
    EXPECT_EQ(LatencyTimerMs("ttyS0", sys.path()), std::nullopt);
    const RawPty pty = OpenRawPty();
    EXPECT_EQ(LatencyTimerMs(PathOf(pty), sys.path()), std::nullopt);
}

TEST(PortFactsTest, FollowASymlinkToTheNodeAndItsGroup) {
    EnsureApplication();
    const RawPty pty = OpenRawPty();
    QTemporaryDir dir;
    const QString link = dir.filePath("drive");
    PlaceLink(link.toStdString(), pty.slavePath);
    PortSettings settings;
    settings.Port = link;
    const PortFacts facts = GatherPortFacts(settings);
    EXPECT_EQ(facts.port, link.toStdString());
    EXPECT_EQ(facts.device, pty.slavePath);
    EXPECT_EQ(facts.kind, PortKind::PseudoTerminal);
    struct stat node {};
    ASSERT_EQ(::stat(pty.slavePath.c_str(), &node), 0);
    EXPECT_EQ(facts.group, ::getgrgid(node.st_gid)->gr_name);
    EXPECT_FALSE(facts.user.empty());
    EXPECT_EQ(facts.settings,
              "9600 baud, 8 data bits, parity None, 1 stop bits, flow control None");
}

class PortWatchTest : public testing::Test {
  protected:
    void SetUp() override {
        EnsureApplication();
        PointAt(first);
        watch.Watch(link, IdentifyDevice(link));
    }
    void PointAt(const RawPty& pty) { PlaceLink(link.toStdString(), pty.slavePath); }

    QTemporaryDir dir;
    QString link = dir.filePath("drive");
    RawPty first = OpenRawPty();
    PortWatch watch;
    QSignalSpy back{&watch, &PortWatch::Back};
};

TEST_F(PortWatchTest, SaysOnceThatThePortCameBackAfterItWasGone) {
    watch.Check();
    EXPECT_EQ(back.count(), 0) << "the node that failed is not back";
    ASSERT_EQ(::unlink(link.toLocal8Bit().constData()), 0);
    watch.Check();
    EXPECT_EQ(back.count(), 0);
    PointAt(first);  // the same node again, after it was seen gone: a replug
    watch.Check();
    ASSERT_EQ(back.count(), 1);
    EXPECT_EQ(back.at(0).at(0).toString(), link);
    EXPECT_FALSE(watch.Watching());
    watch.Check();
    EXPECT_EQ(back.count(), 1);
}

TEST_F(PortWatchTest, ANewNodeUnderTheNameIsBackEvenIfTheGapWasMissed) {
    const RawPty second = OpenRawPty();
    PointAt(second);
    watch.Check();
    EXPECT_EQ(back.count(), 1);
}

TEST_F(PortWatchTest, StoppedWatchSaysNothingAndLooksOnlyAboutOnceASecond) {
    EXPECT_GE(PortWatch::kIntervalMs, 1000);
    watch.Stop();
    const RawPty second = OpenRawPty();
    PointAt(second);
    watch.Check();
    EXPECT_EQ(back.count(), 0);
}

}  // namespace
