#include <gtest/gtest.h>

#include <vector>

#include "sim/DriveSimOptions.h"

namespace {

DriveSimOptions Parse(std::vector<std::string_view> args) {
    return ParseDriveSimOptions(args);
}

TEST(DriveSimOptionsTest, ReadsTheMonitoringOptions) {
    DriveSimOptions options = Parse({"--inputs", "25", "--estop=1", "--procedure-time", "ETC10=6",
                                     "--procedure-time=TAT01=2.5", "--alarm-after", "12@10",
                                     "--warning-after=5@1.5", "--load", "20"});
    EXPECT_EQ(options.drive.inputs, 0x25u);
    EXPECT_TRUE(options.drive.emergencyStop);
    EXPECT_EQ(options.drive.procedureSeconds.at("ETC10"), 6.0);
    EXPECT_EQ(options.drive.procedureSeconds.at("TAT01"), 2.5);
    EXPECT_EQ(options.drive.alarmAfter, (std::pair{12, 10.0}));
    EXPECT_EQ(options.drive.warningAfter, (std::pair{5, 1.5}));
    EXPECT_EQ(options.drive.motor.loadPercent, 20.0);
    for (std::vector<std::string_view> bad : {std::vector<std::string_view>{"--inputs", "80"},
                                              {"--procedure-time", "XYZ01=1"},
                                              {"--procedure-time", "TAT01"},
                                              {"--alarm-after", "0@1"},
                                              {"--alarm-after", "12"},
                                              {"--warning-after", "5@-1"}})
        EXPECT_THROW(Parse(bad), std::invalid_argument) << bad[0] << " " << bad[1];
}

TEST(DriveSimOptionsTest, ReadsEveryOptionInBothForms) {
    DriveSimOptions options =
        Parse({"--baud", "9600", "--turnaround=15", "--chunk-gap", "3", "--link", "/tmp/drive",
               "--failure=split:4", "--motor", "RS10", "--firmware", "V2.00", "--download-image",
               "/tmp/image.bin", "--refuse", "004,619"});
    EXPECT_EQ(options.pty.baud, 9600);
    EXPECT_EQ(options.pty.turnaroundMs, 15);
    EXPECT_EQ(options.pty.chunkGapMs, 3);
    EXPECT_EQ(options.pty.linkPath, "/tmp/drive");
    EXPECT_EQ(options.failure, (Failure{FailureMode::Split, 4}));
    EXPECT_EQ(options.drive.motorCode, "RS10");
    EXPECT_EQ(options.drive.version, "V2.00");
    EXPECT_EQ(options.downloadImage, "/tmp/image.bin");
    EXPECT_EQ(options.drive.refusedStores, (std::set<std::string>{"004", "619"}));
    EXPECT_FALSE(options.help);
    EXPECT_FALSE(options.version);
    EXPECT_EQ(Parse({"--failure", "stall:40:350"}).failure, (Failure{FailureMode::Stall, 40, 350}));
    EXPECT_EQ(Parse({"--failure=twice"}).failure, (Failure{FailureMode::Twice, 0}));
    EXPECT_EQ(Parse({"--failure", "unheard:3"}).failure, (Failure{FailureMode::Unheard, 3}));
    EXPECT_NE(DriveSimUsage().find("unheard:N"), std::string::npos);
}

TEST(DriveSimOptionsTest, DefaultsServeANormalDriveWithoutPacing) {
    DriveSimOptions options = Parse({});
    EXPECT_EQ(options.pty.baud, 0);
    EXPECT_EQ(options.pty.turnaroundMs, 0);
    EXPECT_TRUE(options.pty.linkPath.empty());
    EXPECT_EQ(options.failure.mode, FailureMode::None);
    EXPECT_TRUE(Parse({"--help"}).help);
    // --version is the program's own; the drive's firmware version is --firmware.
    EXPECT_TRUE(Parse({"--version"}).version);
    EXPECT_EQ(Parse({"--version"}).drive.version, "V1.20");
}

TEST(DriveSimOptionsTest, RefusesBadOptionsWithTheirName) {
    const std::vector<std::vector<std::string_view>> cases = {
        {"--baud"},
        {"--baud", "-1"},
        {"--baud", "fast"},
        {"--turnaround=1.5"},
        {"--failure", "sometimes"},
        {"--link="},
        {"--download-image="},
        {"--refuse", "4,005"},
        {"--refuse=00x"},
        {"--colour", "red"},
        {"extra"},
    };
    for (const auto& args : cases) {
        try {
            Parse(args);
            ADD_FAILURE() << "accepted " << args.front();
        } catch (const std::invalid_argument& error) {
            std::string option(args.front().substr(0, args.front().find('=')));
            EXPECT_NE(std::string(error.what()).find(option), std::string::npos) << error.what();
        }
    }
}

TEST(DriveSimOptionsTest, AlarmAtStartAndUninitialisedHistory) {
    DriveSimOptions options = Parse({"--alarm", "50", "--alarm-memory=uninitialised"});
    EXPECT_EQ(options.alarm, 50);
    EXPECT_FALSE(options.drive.alarmMemoryInitialised);
    EXPECT_TRUE(Parse({}).drive.alarmMemoryInitialised);
    for (const auto& args : std::vector<std::vector<std::string_view>>{
             {"--alarm", "100"}, {"--alarm", "x"}, {"--alarm-memory", "blank"}}) {
        try {
            Parse(args);
            ADD_FAILURE() << "accepted " << args[1];
        } catch (const std::invalid_argument& error) {
            EXPECT_NE(std::string(error.what()).find(args[0]), std::string::npos) << error.what();
        }
    }
}

}  // namespace
