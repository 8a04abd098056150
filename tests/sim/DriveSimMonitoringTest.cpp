// The stand-in drive's monitoring commands on a clock the test steps: the
// motor follows jog and test run, procedures report BSY for their time,
// offsets move, the status follows the servo, the mode and the alarms.

#include <gtest/gtest.h>

#include "protocol/Commands.h"
#include "protocol/Frame.h"
#include "protocol/ReplyFields.h"
#include "sim/DriveSim.h"
#include "sim/Stream.h"

namespace {

struct Drive {
    explicit Drive(DriveSim::Config config = {})
        : sim([&] {
              config.clock = clock.Clock();
              return config;
          }()) {}

    // The reply to one request: the value of a data reply, "ACK", "NAK" or the raw bytes.
    std::string Ask(std::string_view command, std::string_view data = {}) {
        std::string reply;
        for (const std::string& chunk : sim.Feed(Frame::BuildRequest(command, data)))
            reply += chunk;
        if (reply == std::string(1, Frame::ACK)) return "ACK";
        if (reply == std::string(1, Frame::NAK)) return "NAK";
        if (auto value = ReplyValue(reply, 4)) return *value;
        return reply;
    }
    double Number(std::string_view code) { return std::stod(Ask(Cmd::MDM, code).substr(3)); }

    ManualSimClock clock;
    DriveSim sim;
};

}  // namespace

TEST(DriveSimMonitoring, JogFollowsThroughTheLagAndStopsWithoutRenewal) {
    Drive drive;
    drive.sim.SetSlot("201", "500");
    EXPECT_EQ(drive.Ask(Cmd::JOG, "-"), "ACK");
    for (int i = 0; i < 5; ++i) {
        drive.clock.Advance(0.2);
        drive.Ask(Cmd::JOG, "-");
    }
    EXPECT_NEAR(drive.Number("00"), -500, 2);
    EXPECT_EQ(drive.Ask(Cmd::STS), "STSP 11RUN");
    EXPECT_LT(drive.Number("03"), 5);
    EXPECT_LT(drive.Number("04"), -1000);  // the position integrates the speed
    drive.clock.Advance(2.0);              // no JOG renewed: the motor stops by itself
    EXPECT_NEAR(drive.Number("00"), 0, 1);
    EXPECT_EQ(drive.Ask(Cmd::SVROF), "ACK");
    EXPECT_EQ(drive.Ask(Cmd::STS), "STSP 00RDY");
}

TEST(DriveSimMonitoring, TestRunTurnsBothWays) {
    Drive drive;
    drive.sim.SetSlot("201", "300");
    EXPECT_EQ(drive.Ask(Cmd::ETC, "13"), "ACK");
    drive.clock.Advance(0.8);
    EXPECT_NEAR(drive.Number("00"), 300, 5);
    drive.clock.Advance(1.5);
    EXPECT_NEAR(drive.Number("00"), -300, 10);
}

TEST(DriveSimMonitoring, ProceduresAnswerBusyForTheirTime) {
    DriveSim::Config config;
    config.procedureSeconds = {{"TAT01", 2.0}, {"ETC10", 6.0}};
    Drive drive(config);
    EXPECT_EQ(drive.Ask(Cmd::TAT, "01"), "ACK");
    drive.clock.Advance(1.9);
    EXPECT_EQ(drive.Ask(Cmd::TAT), "BSY");
    EXPECT_EQ(drive.Ask(Cmd::SET, "004"), "SET100");
    drive.clock.Advance(0.2);
    EXPECT_EQ(drive.Ask(Cmd::TAT), "TOK");
    EXPECT_EQ(drive.Ask(Cmd::SET, "004"), "SET250");  // the tuned inertia ratio
    EXPECT_EQ(drive.Ask(Cmd::ETC, "10"), "ACK");
    drive.clock.Advance(5.9);
    EXPECT_EQ(drive.Ask(Cmd::ETC), "BSY");
    drive.clock.Advance(0.2);
    EXPECT_EQ(drive.Ask(Cmd::ETC), "TOK");
    EXPECT_EQ(drive.Ask(Cmd::ETC, "11"), "ACK");  // default time 1 s
    EXPECT_EQ(drive.Ask(Cmd::ETC), "BSY");
}

TEST(DriveSimMonitoring, OffsetStepsShowInTheMonitorItems) {
    Drive drive;
    for (int i = 0; i < 3; ++i) drive.Ask(Cmd::TMN, "01");
    drive.Ask(Cmd::TMN, "02");
    for (int i = 0; i < 5; ++i) drive.Ask(Cmd::TMN, "04");
    EXPECT_EQ(drive.Ask(Cmd::TMN, "06"), "ACK");
    drive.clock.Advance(0.5);
    EXPECT_EQ(drive.Ask(Cmd::MDM, "0003"), "MDM2&0.5");
}

TEST(DriveSimMonitoring, StatusModeAlarmAndIoWord) {
    DriveSim::Config config;
    config.inputs = 0x25;
    config.emergencyStop = true;
    config.alarmAfter = std::pair{12, 3.0};
    Drive drive(config);
    drive.sim.SetSlot("000", "A");
    EXPECT_EQ(drive.Ask(Cmd::STS), "STSCS00RDY");
    EXPECT_EQ(drive.Ask(Cmd::SVRON), "ACK");
    EXPECT_EQ(drive.Ask(Cmd::STS), "STSCS10RUN");
    EXPECT_EQ(drive.Ask(Cmd::MDM, "15"), "MDM05A5");  // inputs, E-STOP, DO#1 ready, DO#3 match
    drive.clock.Advance(3.0);
    EXPECT_EQ(drive.Ask(Cmd::STS), "STSCS00E12");
    EXPECT_EQ(drive.Ask(Cmd::MDM, "15"), "MDM08A5");  // S-ALM, servo tripped off
    EXPECT_EQ(drive.Ask(Cmd::RST), "ACK");
    EXPECT_EQ(drive.Ask(Cmd::STS), "STSCS00RDY");
    drive.clock.Advance(10);
    EXPECT_EQ(drive.Ask(Cmd::STS), "STSCS00RDY");  // raised once only
}

// The value of a MOR reply split at '&'.
static std::vector<std::string> Fields(const std::string& value) {
    std::vector<std::string> fields;
    std::size_t start = 3;  // after the echo
    for (;;) {
        const std::size_t end = value.find('&', start);
        fields.push_back(value.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos) return fields;
        start = end + 1;
    }
}

TEST(DriveSimStream, SamplesAtThePeriodAlternatingOldestFirst) {
    Drive drive;
    drive.sim.SetSlot("201", "1000");
    drive.Ask(Cmd::JOG, "+");
    EXPECT_EQ(drive.Ask(Cmd::MOR, "050003"), "ACK");
    EXPECT_EQ(drive.Ask(Cmd::MOR), "ACK");  // nothing sampled yet
    drive.clock.Advance(0.0201);
    const auto fields = Fields(drive.Ask(Cmd::MOR));
    ASSERT_EQ(fields.size(), 8u);  // four samples of two items
    for (std::size_t i = 2; i < fields.size(); i += 2)
        EXPECT_GT(std::stod(fields[i]), std::stod(fields[i - 2]));  // speeding up, in order
    EXPECT_EQ(drive.Ask(Cmd::MOR), "ACK");
    EXPECT_EQ(drive.sim.MonitorStream().Sent(), 4);
}

TEST(DriveSimStream, RepliesStayShortAndTheBacklogIsBounded) {
    Drive drive;
    EXPECT_EQ(drive.Ask(Cmd::MOR, "010001"), "ACK");
    drive.clock.Advance(0.1);
    std::size_t total = 0;
    for (std::string value; (value = drive.Ask(Cmd::MOR)) != "ACK";) {
        EXPECT_LE(value.size() - 3, Stream::kMaxValue);
        total += Fields(value).size();
    }
    EXPECT_EQ(total, 200u);  // 100 samples of two items

    drive.clock.Advance(10.0);  // nobody asked for 10 s: only the last 3 s are kept
    drive.Ask(Cmd::MOR);
    EXPECT_EQ(drive.sim.MonitorStream().Dropped(), 7000);
    EXPECT_EQ(drive.Ask(Cmd::MOR, "15"), "NAK");
    EXPECT_EQ(drive.Ask(Cmd::MOR, "0015"), "NAK");
    EXPECT_EQ(drive.Ask(Cmd::MOR, "5100"), "NAK");
}
