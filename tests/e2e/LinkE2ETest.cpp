// The real serial port and transaction engine talking to the stand-in drive
// over a pseudo-terminal.

#include <QtCore/qtestsupport_core.h>
#include <gtest/gtest.h>

#include <QSerialPort>
#include <thread>

#include "protocol/Frame.h"
#include "sim/PtyDrive.h"
#include "tests/e2e/LinkHarness.h"
#include "tests/platform/LinkLossProbe.h"

namespace {

using namespace std::chrono_literals;

class LinkE2ETest : public testing::Test {
  protected:
    explicit LinkE2ETest(PtyDriveOptions options = {}) : drive(DriveSim(), options) {}

    void SetUp() override { link.Open(drive.SlavePath()); }

    bool AwaitSettled(int timeoutMs = 3000) {
        return QTest::qWaitFor([&] { return link.Settled(); }, timeoutMs);
    }
    void SetFailure(Failure failure) {
        drive.WithSim([&](DriveSim& sim) { sim.SetFailure(failure); });
    }
    std::string Slot(const char* address) {
        std::string value;
        drive.WithSim([&](DriveSim& sim) { value = sim.Slot(address).value_or("<unused>"); });
        return value;
    }

    PtyDrive drive;
    e2e::EngineLink link;
};

TEST_F(LinkE2ETest, ParameterReadIsFramedAnsweredAndDecoded) {
    drive.WithSim([](DriveSim& sim) { sim.SetSlot("001", "4321"); });
    for (const char* address : {"000", "001"}) {
        link.Send("SET", address, AwaitData);
        ASSERT_TRUE(AwaitSettled()) << address;
        EXPECT_EQ(link.comm.LinkState, ReplyDone);
        EXPECT_EQ(link.comm.ReadData.Data, Slot(address));
        EXPECT_EQ(link.comm.CommError, 0);
        EXPECT_EQ(drive.RequestLog().back(), Frame::BuildRequest("SET", address));
    }
    EXPECT_EQ(link.comm.ReadData.Data, "4321");
    EXPECT_TRUE(link.hooks.statusTexts.empty());
    EXPECT_TRUE(link.hooks.warnings.empty());
    EXPECT_FALSE(link.hooks.commLed);
}

TEST_F(LinkE2ETest, VersionReachesTheMonitoringWindow) {
    link.Send("VER", "", AwaitData);
    ASSERT_TRUE(AwaitSettled());
    EXPECT_EQ(link.monitor.version, DriveSim().Settings().version);
    EXPECT_EQ(link.comm.CommError, 0);
}

TEST_F(LinkE2ETest, ReplyInSeveralChunksIsReassembledAndDecodedOnce) {
    SetFailure({FailureMode::Split, 3});
    link.Send("SET", "000", AwaitData);
    ASSERT_TRUE(AwaitSettled());
    EXPECT_EQ(link.comm.ReadData.Data, Slot("000"));
    EXPECT_TRUE(link.hooks.statusTexts.empty());
    EXPECT_EQ(drive.RequestLog().size(), 1u);
}

TEST_F(LinkE2ETest, SilentDriveTimesOutAfterThreeResends) {
    SetFailure({FailureMode::Silent, 0});
    link.Send("SET", "000", AwaitData);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !link.hooks.statusTexts.empty(); }, 5000));
    EXPECT_EQ(link.hooks.statusTexts, std::vector<std::string>{LinkText::Timeout});
    const auto requests = drive.RequestLog();
    EXPECT_EQ(requests, std::vector<std::string>(4, Frame::BuildRequest("SET", "000")));
    EXPECT_EQ(link.comm.CommError, 1);
    EXPECT_EQ(link.comm.LinkState, Idle);
    EXPECT_FALSE(link.timeoutTick.isActive());
}

TEST_F(LinkE2ETest, AnswerOnTheSecondTryNeedsOneResend) {
    SetFailure({FailureMode::NthTry, 2});
    link.Send("SET", "000", AwaitData);
    ASSERT_TRUE(AwaitSettled(5000));
    EXPECT_EQ(link.comm.ReadData.Data, Slot("000"));
    EXPECT_EQ(drive.RequestLog().size(), 2u);
    EXPECT_EQ(link.comm.ResendCount, 1);
    EXPECT_TRUE(link.hooks.statusTexts.empty());
}

struct RefusalCase {
    Failure failure;
    const char* status;
};

void PrintTo(const RefusalCase& c, std::ostream* os) {
    *os << FailureName(c.failure.mode);
}

class LinkRefusalTest : public LinkE2ETest, public testing::WithParamInterface<RefusalCase> {};

TEST_P(LinkRefusalTest, ShowsTheErrorAndAbortsTheExchange) {
    SetFailure(GetParam().failure);
    link.Send("SET", "000", AwaitData);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !link.hooks.statusTexts.empty(); }, 3000));
    EXPECT_EQ(link.hooks.statusTexts.front(), GetParam().status);
    EXPECT_EQ(link.comm.CommError, 1);
    EXPECT_TRUE(AwaitSettled());
    EXPECT_EQ(drive.RequestLog().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Drive, LinkRefusalTest,
    testing::Values(RefusalCase{{FailureMode::Nak, 0}, LinkText::Nak},
                    RefusalCase{{FailureMode::Rs, 0}, LinkText::Rs},
                    RefusalCase{{FailureMode::BadChecksum, 0}, LinkText::ChecksumError},
                    RefusalCase{{FailureMode::Garbage, 8}, LinkText::PacketError}));

// ---------------------------------------------------------------- the drive going away

// A paced drive reads its input slowly, so a long write stays pending.
class LinkLossE2ETest : public LinkE2ETest {
  protected:
    LinkLossE2ETest() : LinkE2ETest(PtyDriveOptions{.baud = 9600}) {}

    void SetUp() override {
        LinkE2ETest::SetUp();
        probe = std::make_unique<LinkLossProbe>(*link.port.findChild<QSerialPort*>());
    }
    static int TicksOver(int ms) { return LinkLossProbe::TicksOver(ms); }
    void ExpectOffLine() {
        EXPECT_FALSE(link.port.Connected());
        EXPECT_EQ(link.linksLost, 1);
        EXPECT_LE(probe->linkErrors, 3);
        link.Send("SET", "000", AwaitData);
        EXPECT_EQ(link.hooks.warnings, std::vector<std::string>{LinkText::PortClosed});
    }

    std::unique_ptr<LinkLossProbe> probe;
};

TEST_F(LinkLossE2ETest, DriveGoingAwayDuringAPendingWriteClosesThePortOnce) {
    std::string lines;
    while (lines.size() < 200'000) lines += Frame::BuildRequest("VER", "");
    std::thread unplug([&] {
        std::this_thread::sleep_for(200ms);
        drive.Disconnect();
    });
    EXPECT_THROW(link.port.PortWrite(lines), PortError);
    unplug.join();
    EXPECT_GE(TicksOver(300), 5);
    ExpectOffLine();
}

TEST_F(LinkLossE2ETest, DriveGoingAwayWhileIdleClosesThePortOnce) {
    link.Send("SET", "000", AwaitData);
    ASSERT_TRUE(AwaitSettled());
    drive.Disconnect();
    ASSERT_TRUE(QTest::qWaitFor([&] { return link.linksLost > 0; }, 3000));
    EXPECT_GE(TicksOver(300), 5);
    ExpectOffLine();
}

}  // namespace
