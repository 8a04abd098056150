#include <gtest/gtest.h>

#include <vector>

#include "sim/DriveSimOptions.h"

namespace {

DriveSimOptions Parse(std::vector<std::string_view> args) {
    return ParseDriveSimOptions(args);
}

TEST(DriveSimOptionsTest, ReadsEveryOptionInBothForms) {
    DriveSimOptions options =
        Parse({"--baud", "9600", "--turnaround=15", "--chunk-gap", "3", "--link", "/tmp/drive",
               "--failure=split:4", "--motor", "RS10", "--version", "V2.00", "--refuse",
               "004,619"});
    EXPECT_EQ(options.pty.baud, 9600);
    EXPECT_EQ(options.pty.turnaroundMs, 15);
    EXPECT_EQ(options.pty.chunkGapMs, 3);
    EXPECT_EQ(options.pty.linkPath, "/tmp/drive");
    EXPECT_EQ(options.failure, (Failure{FailureMode::Split, 4}));
    EXPECT_EQ(options.drive.motorCode, "RS10");
    EXPECT_EQ(options.drive.version, "V2.00");
    EXPECT_EQ(options.drive.refusedStores, (std::set<std::string>{"004", "619"}));
    EXPECT_FALSE(options.help);
    EXPECT_EQ(Parse({"--failure", "stall:40:350"}).failure, (Failure{FailureMode::Stall, 40, 350}));
    EXPECT_EQ(Parse({"--failure=twice"}).failure, (Failure{FailureMode::Twice, 0}));
}

TEST(DriveSimOptionsTest, DefaultsServeANormalDriveWithoutPacing) {
    DriveSimOptions options = Parse({});
    EXPECT_EQ(options.pty.baud, 0);
    EXPECT_EQ(options.pty.turnaroundMs, 0);
    EXPECT_TRUE(options.pty.linkPath.empty());
    EXPECT_EQ(options.failure.mode, FailureMode::None);
    EXPECT_TRUE(Parse({"--help"}).help);
}

TEST(DriveSimOptionsTest, RefusesBadOptionsWithTheirName) {
    const std::vector<std::vector<std::string_view>> cases = {
        {"--baud"},
        {"--baud", "-1"},
        {"--baud", "fast"},
        {"--turnaround=1.5"},
        {"--failure", "sometimes"},
        {"--link="},
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

}  // namespace
