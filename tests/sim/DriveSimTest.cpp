#include <gtest/gtest.h>

#include "protocol/AlarmTables.h"
#include "protocol/Commands.h"
#include "protocol/Frame.h"
#include "protocol/ReplyFields.h"
#include "protocol/StatusReply.h"
#include "sim/DriveSim.h"

namespace {

const std::string kAck(1, Frame::ACK), kNak(1, Frame::NAK), kGs(1, Frame::GS), kUs(1, Frame::US);

std::string Req(std::string_view command, std::string_view data = "") {
    return Frame::BuildRequest(command, data);
}

std::string Data(std::string_view body) {
    return Frame::BuildReply('R', body);
}

std::string ErrorFrame(std::string_view code) {
    return Frame::BuildReply('E', code);
}

// The single reply chunk a request gets.
std::string Ask(DriveSim& sim, std::string_view command, std::string_view data = "") {
    std::vector<std::string> chunks = sim.Feed(Req(command, data));
    EXPECT_EQ(chunks.size(), 1u) << command << data;
    return chunks.empty() ? std::string() : chunks.front();
}

StatusReply Status(DriveSim& sim) {
    std::string reply = Ask(sim, Cmd::STS);
    EXPECT_TRUE(Frame::ChecksumMatches(reply));
    return ParseStatusReply(*ReplyValue(reply));
}

struct Case {
    std::string_view command, data;
    std::string reply;
};

TEST(DriveSimTest, AnswersEachRequestOfTheTableOnAFreshDrive) {
    const Case cases[] = {
        {Cmd::LIV, "", kAck},
        {Cmd::LIVE, "", kAck},
        {Cmd::VER, "", Data("VERV1.20")},
        {Cmd::TYP, "", Data("TYP-_A5")},
        {Cmd::STS, "", Data("STSP 00RDY")},
        {Cmd::SET, "000", Data("SET1")},
        {Cmd::SET, "004", Data("SET100")},
        {Cmd::SET, "615", Data("SET200")},  // last row of the catalogue
        {Cmd::SET, "014", kUs},             // slot without a row
        {Cmd::SET, "618", kUs},
        {Cmd::SET, "019", kNak},  // no such slot
        {Cmd::SET, "700", kNak},
        {Cmd::SET, "00", kNak},
        {Cmd::SET, "", kNak},
        {Cmd::SET, "0a0", kNak},
        {Cmd::SVRON, "", kAck},
        {Cmd::SVROFF, "", kAck},
        {Cmd::SVROF, "", kAck},
        {Cmd::RST, "", kAck},
        {Cmd::STR, "0042000", kAck},
        {Cmd::STR, "004", kAck},   // the address alone commits the slot as it is
        {Cmd::CHP, "004", kNak},   // no value
        {Cmd::STR, "0145", kNak},  // slot not in use
        {Cmd::STR, "7005", kNak},  // no such slot
        {Cmd::CHP, "1015", kAck},
        {Cmd::VER, "1", kNak},  // takes no data
        {Cmd::SVRON, "X", kNak},
        {"XYZ", "", kNak},  // not a command
        {Cmd::MDM, "01", Data("MDM0")},
        {Cmd::MDM, "0015", Data("MDM0&0000")},
        {Cmd::MDM, "99", kNak},            // no such item
        {Cmd::MDM, "0", kNak},             // half a code
        {Cmd::MDM, "000102030405", kNak},  // six items
        {Cmd::TAT, "", kNak},              // nothing started to poll
        {Cmd::TAT, "05", kNak},
        {Cmd::ETC, "13", kAck},
        {Cmd::ETC, "99", kNak},
        {Cmd::JOG, "x", kNak},
        {Cmd::TMN, "08", kNak},
        {"MOX", "", kNak},  // a command this drive does not serve
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.command) + std::string(c.data));
        DriveSim sim;
        EXPECT_EQ(Ask(sim, c.command, c.data), c.reply);
    }
}

TEST(DriveSimTest, DataRepliesAreFramedAsTheClientReadsThem) {
    DriveSim sim;
    // 01 'R' "VERV1.20" ':' sums to 0x291: checksum digit '1'.
    EXPECT_EQ(Ask(sim, Cmd::VER), std::string("\x02\x01RVERV1.20:1\x03"));

    std::string type = Ask(sim, Cmd::TYP);
    EXPECT_TRUE(Frame::ChecksumMatches(type));
    EXPECT_EQ(type.substr(3, 3), Cmd::TYP);
    EXPECT_EQ(ReadMotorName(*ReplyValue(type)).text, "NQV 50W");
}

TEST(DriveSimTest, ConfiguredIdentityAndMarkerAppearInReplies) {
    DriveSim sim({.version = "V2.05", .motorCode = "RS10", .mode = "S", .marker = '#'});
    EXPECT_EQ(Ask(sim, Cmd::VER), Frame::BuildReply('#', "VERV2.05"));
    EXPECT_EQ(ReadMotorName(*ReplyValue(Ask(sim, Cmd::TYP))).text, "PJLS 1.0KW");
    EXPECT_TRUE(Status(sim).leds.velocity);
}

TEST(DriveSimTest, RejectsConfigurationThatWouldBreakReplies) {
    EXPECT_THROW(DriveSim({.version = "V1:20"}), std::invalid_argument);
    EXPECT_THROW(DriveSim({.motorCode = std::string("-_\x03") + "5"}), std::invalid_argument);
    EXPECT_THROW(DriveSim({.marker = 'E'}), std::invalid_argument);
    EXPECT_THROW(DriveSim({.mode = "CTS"}), std::invalid_argument);
    DriveSim sim;
    EXPECT_THROW(sim.SetAlarm(100), std::out_of_range);
    EXPECT_THROW(sim.SetSlot("019", "1"), std::invalid_argument);
}

TEST(DriveSimTest, WrittenParametersReadBack) {
    DriveSim sim;
    EXPECT_EQ(Ask(sim, Cmd::STR, "2013000"), kAck);
    EXPECT_EQ(Ask(sim, Cmd::SET, "201"), Data("SET3000"));
    EXPECT_EQ(Ask(sim, Cmd::CHP, "004-150.5"), kAck);
    EXPECT_EQ(*sim.Slot("004"), "-150.5");
    // A letter right after STR belongs to the data, not to the mnemonic.
    EXPECT_EQ(Ask(sim, Cmd::STR, "000A"), kAck);
    EXPECT_EQ(Ask(sim, Cmd::SET, "000"), Data("SETA"));
}

TEST(DriveSimTest, RefusesStoresToChosenAddressesWithNak) {
    DriveSim sim({.refusedStores = {"004"}});
    EXPECT_EQ(Ask(sim, Cmd::CHP, "0042000"), kNak);
    EXPECT_EQ(Ask(sim, Cmd::STR, "0042000"), kNak);
    EXPECT_EQ(*sim.Slot("004"), "100");
    EXPECT_EQ(Ask(sim, Cmd::CHP, "0052000"), kAck);
    EXPECT_EQ(Ask(sim, Cmd::SET, "004"), Data("SET100"));  // reads still work
}

TEST(DriveSimTest, RefusesStoreWithGsWhileServoRunsButTakesBlockDownload) {
    DriveSim sim;
    ASSERT_EQ(Ask(sim, Cmd::SVRON), kAck);
    EXPECT_TRUE(sim.ServoOn());
    EXPECT_EQ(Status(sim).wordKind, StatusReply::Word::Run);

    EXPECT_EQ(Ask(sim, Cmd::STR, "0042000"), kGs);
    EXPECT_EQ(*sim.Slot("004"), "100");
    EXPECT_EQ(Ask(sim, Cmd::CHP, "0042000"), kAck);
    EXPECT_EQ(*sim.Slot("004"), "2000");

    ASSERT_EQ(Ask(sim, Cmd::SVROFF), kAck);
    EXPECT_EQ(Ask(sim, Cmd::STR, "004300"), kAck);
    EXPECT_EQ(Status(sim).word, "RDY");
}

TEST(DriveSimTest, AlarmAnswersErrorRepliesUntilReset) {
    DriveSim sim;
    Ask(sim, Cmd::SVRON);
    sim.SetAlarm(21);
    EXPECT_FALSE(sim.ServoOn()) << "an alarm trips the servo";

    StatusReply status = Status(sim);
    EXPECT_EQ(status.wordKind, StatusReply::Word::Alarm);
    EXPECT_EQ(AlarmNames[status.code], "Instant Overload");

    for (auto [command, data] :
         {std::pair{Cmd::SET, "000"}, {Cmd::STR, "0045"}, {Cmd::CHP, "0045"}, {Cmd::SVRON, ""}}) {
        SCOPED_TRACE(command);
        std::string reply = Ask(sim, command, data);
        EXPECT_EQ(reply, ErrorFrame("21"));
        EXPECT_TRUE(Frame::ChecksumMatches(reply));
        EXPECT_EQ(ReadCode(reply.substr(3, 2)), 21);
    }
    EXPECT_EQ(*sim.Slot("004"), "100");
    for (std::string_view command : {Cmd::LIV, Cmd::LIVE, Cmd::SVROFF, Cmd::SVROF}) {
        EXPECT_EQ(Ask(sim, command), kAck) << command;
    }
    EXPECT_EQ(Ask(sim, Cmd::VER), Data("VERV1.20"));
    EXPECT_EQ(Ask(sim, "XYZ"), kNak) << "an unknown command is still unknown";

    EXPECT_EQ(Ask(sim, Cmd::RST), kAck);
    EXPECT_EQ(sim.Alarm(), 0);
    EXPECT_EQ(Ask(sim, Cmd::SET, "000"), Data("SET1"));
    EXPECT_EQ(Status(sim).word, "RDY");
}

TEST(DriveSimTest, StatusShowsWarningsAndFlagsWithoutBlockingCommands) {
    DriveSim sim;
    sim.SetWarning(10);
    sim.SetSpeedMatch(true);
    sim.SetTgOn(true);
    sim.SetMode("CS");
    Ask(sim, Cmd::SVRON);

    StatusReply status = Status(sim);
    EXPECT_EQ(status.wordKind, StatusReply::Word::Warning);
    EXPECT_EQ(WarningNames[status.code], "Over speed command warning");
    EXPECT_TRUE(status.speedMatch);
    EXPECT_TRUE(status.tgOn);
    EXPECT_TRUE(status.leds.velocity && status.leds.contact);
    EXPECT_EQ(Ask(sim, Cmd::SET, "000"), Data("SET1"));

    sim.SetWarning(0);
    EXPECT_EQ(Status(sim).word, "RUN");
}

TEST(DriveSimTest, ReassemblesRequestsSplitAnywhere) {
    DriveSim sim;
    const std::string request = Req(Cmd::SET, "004");
    for (std::size_t i = 0; i + 1 < request.size(); ++i) {
        EXPECT_TRUE(sim.Feed(request.substr(i, 1)).empty()) << "answered after byte " << i;
    }
    EXPECT_EQ(sim.Feed(request.substr(request.size() - 1)),
              std::vector<std::string>{Data("SET100")});
    EXPECT_EQ(sim.Requests().back(), request);
}

TEST(DriveSimTest, AnswersConcatenatedRequestsInOrder) {
    DriveSim sim;
    const std::string bytes = Req(Cmd::SVRON) + Req(Cmd::STR, "0045") + Req(Cmd::VER);
    EXPECT_EQ(sim.Feed(bytes), (std::vector<std::string>{kAck, kGs, Data("VERV1.20")}));
    EXPECT_EQ(sim.Requests().size(), 3u);
}

TEST(DriveSimTest, SkipsNoiseAndRestartsAtANewStx) {
    DriveSim sim;
    const std::string half = Req(Cmd::SET, "000").substr(0, 5);
    EXPECT_EQ(sim.Feed("noise\x06" + half + Req(Cmd::LIV)), std::vector<std::string>{kAck});
    ASSERT_EQ(sim.Requests().size(), 1u);
    EXPECT_EQ(sim.Requests().front(), Req(Cmd::LIV));
}

TEST(DriveSimTest, AnswersAFrameThatNeverEndsWithNakAndRecovers) {
    DriveSim sim;
    std::string endless = {Frame::STX, Frame::Station, '#'};
    endless += std::string(RequestStream::kMaxFrame + 10, 'A');
    EXPECT_EQ(sim.Feed(endless), std::vector<std::string>{kNak});
    EXPECT_EQ(sim.Feed(Req(Cmd::LIV)), std::vector<std::string>{kAck});
}

TEST(DriveSimTest, BadChecksumIsRefusedAndNotActedOn) {
    DriveSim sim;
    std::string request = Req(Cmd::SVRON);
    request[request.size() - 2] = request[request.size() - 2] == '0' ? '1' : '0';
    EXPECT_EQ(sim.Feed(request), std::vector<std::string>{kNak});
    EXPECT_FALSE(sim.ServoOn());

    std::string lowerCase = Req(Cmd::VER);  // checksum digit 'B'
    lowerCase[lowerCase.size() - 2] = 'b';
    EXPECT_EQ(sim.Feed(lowerCase), std::vector<std::string>{kNak});
}

TEST(DriveSimTest, MalformedFramesGetNakAndOtherStationsSilence) {
    DriveSim sim;
    std::string noHash = Req(Cmd::LIV);
    noHash[2] = '$';
    std::string otherStation = {Frame::STX, 0x07, '#', 'L', 'I', 'V', ':'};
    otherStation += Frame::FrameChecksum(otherStation, Frame::Direction::Sending) + Frame::ETX;
    const std::string tooShort = {Frame::STX, Frame::Station, '#', ':', '3', Frame::ETX};
    EXPECT_EQ(sim.Feed(noHash), std::vector<std::string>{kNak});
    EXPECT_EQ(sim.Feed(tooShort), std::vector<std::string>{kNak});
    EXPECT_TRUE(sim.Feed(otherStation).empty());
    EXPECT_EQ(sim.Requests().size(), 3u) << "every frame is logged, answered or not";
}

TEST(DriveSimTest, LongerMnemonicsAreNotMistakenForShorterOnes) {
    DriveSim sim;
    Ask(sim, Cmd::SVRON);
    EXPECT_EQ(Ask(sim, Cmd::SVROFF), kAck);
    EXPECT_FALSE(sim.ServoOn());
    EXPECT_EQ(Ask(sim, Cmd::LIV, "E"), kAck) << "LIV + E is the frame of LIVE";
}

TEST(DriveSimTest, RequestLogKeepsTheMostRecentFrames) {
    DriveSim sim;
    for (std::size_t i = 0; i < DriveSim::kRequestLogLimit + 5; ++i) sim.Feed(Req(Cmd::LIV));
    sim.Feed(Req(Cmd::VER));
    EXPECT_EQ(sim.Requests().size(), DriveSim::kRequestLogLimit);
    EXPECT_EQ(sim.Requests().back(), Req(Cmd::VER));
}

}  // namespace
