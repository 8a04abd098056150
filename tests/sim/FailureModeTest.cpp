#include <gtest/gtest.h>

#include <numeric>

#include "protocol/Commands.h"
#include "protocol/Frame.h"
#include "sim/DriveSim.h"
#include "sim/FailureMode.h"

namespace {

const std::string kAck(1, Frame::ACK);
const std::string kVersionReply = Frame::BuildReply('R', "VERV1.20");

std::string Req(std::string_view command, std::string_view data = "") {
    return Frame::BuildRequest(command, data);
}

DriveSim::Reply One(DriveSim& sim, std::string_view command, std::string_view data = "") {
    std::vector<DriveSim::Exchange> exchanges = sim.Receive(Req(command, data));
    EXPECT_EQ(exchanges.size(), 1u) << command;
    return exchanges.empty() ? DriveSim::Reply{} : exchanges.front().reply;
}

DriveSim SimWith(Failure failure) {
    DriveSim sim;
    sim.SetFailure(failure);
    return sim;
}

bool IsProtocolByte(char byte) {
    return byte == Frame::STX || byte == Frame::ETX || byte == Frame::Station ||
           byte == Frame::ACK || byte == Frame::NAK || byte == Frame::GS || byte == Frame::RS ||
           byte == Frame::US;
}

TEST(FailureModeTest, ParsesModeNamesAndArguments) {
    const std::pair<std::string_view, std::optional<Failure>> cases[] = {
        {"none", Failure{FailureMode::None, 0}},
        {"split", Failure{FailureMode::Split, 2}},
        {"split:5", Failure{FailureMode::Split, 5}},
        {"Bad-Checksum", Failure{FailureMode::BadChecksum, 0}},
        {"NAK", Failure{FailureMode::Nak, 0}},
        {"error-reply", Failure{FailureMode::ErrorReply, 21}},
        {"error-reply:61", Failure{FailureMode::ErrorReply, 61}},
        {"nth-try:3", Failure{FailureMode::NthTry, 3}},
        {"disconnect:4", Failure{FailureMode::Disconnect, 4}},
        {"stall", Failure{FailureMode::Stall, 1, kDefaultStallMs}},
        {"stall:40", Failure{FailureMode::Stall, 40, kDefaultStallMs}},
        {"stall:40:280", Failure{FailureMode::Stall, 40, 280}},
        {"twice", Failure{FailureMode::Twice, 0}},
        {"unheard", Failure{FailureMode::Unheard, 1}},
        {"unheard:40", Failure{FailureMode::Unheard, 40}},
        {"unheard:0", std::nullopt},
        {"stall:0:280", std::nullopt},
        {"stall:3:0", std::nullopt},
        {"stall:3:", std::nullopt},
        {"stall:3:5s", std::nullopt},
        {"split:3:5", std::nullopt},
        {"twice:2", std::nullopt},
        {"split:1", std::nullopt},  // one chunk is no split
        {"error-reply:100", std::nullopt},
        {"garbage:0", std::nullopt},
        {"garbage:x", std::nullopt},
        {"garbage:", std::nullopt},
        {"nak:2", std::nullopt},
        {"split:3x", std::nullopt},
        {"bogus", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ParseFailure(text), expected) << text;
    }
    for (FailureMode mode : {FailureMode::Silent, FailureMode::TrailingBytes, FailureMode::Rs}) {
        EXPECT_EQ(ParseFailure(FailureName(mode)), (Failure{mode, DefaultArgument(mode)}));
    }
}

TEST(FailureModeTest, RefusalsAndSilenceLeaveTheDriveUntouched) {
    const std::pair<Failure, DriveSim::Reply> cases[] = {
        {{FailureMode::Silent, 0}, {}},
        {{FailureMode::Nak, 0}, {{std::string(1, Frame::NAK)}}},
        {{FailureMode::Rs, 0}, {{std::string(1, Frame::RS)}}},
        {{FailureMode::ErrorReply, 53}, {{Frame::BuildReply('E', "53")}}},
        {{FailureMode::ErrorReply, 7}, {{Frame::BuildReply('E', "07")}}},
    };
    for (const auto& [failure, reply] : cases) {
        SCOPED_TRACE(std::string(FailureName(failure.mode)));
        DriveSim sim = SimWith(failure);
        EXPECT_EQ(One(sim, Cmd::SVRON), reply);
        EXPECT_EQ(One(sim, Cmd::LIV), reply);
        EXPECT_FALSE(sim.ServoOn());
        EXPECT_EQ(sim.Requests().size(), 2u);
    }
}

TEST(FailureModeTest, SplitCutsTheReplyIntoChunksThatAddUp) {
    DriveSim sim = SimWith({FailureMode::Split, 3});
    DriveSim::Reply reply = One(sim, Cmd::VER);
    ASSERT_EQ(reply.chunks.size(), 3u);
    for (const std::string& chunk : reply.chunks) EXPECT_FALSE(chunk.empty());
    EXPECT_EQ(std::accumulate(reply.chunks.begin(), reply.chunks.end(), std::string()),
              kVersionReply);
    EXPECT_EQ(One(sim, Cmd::LIV).chunks, std::vector<std::string>{kAck}) << "one byte stays one";
}

TEST(FailureModeTest, BadChecksumBreaksFramesButNotControlBytes) {
    DriveSim sim = SimWith({FailureMode::BadChecksum, 0});
    std::string reply = One(sim, Cmd::VER).chunks.at(0);
    EXPECT_FALSE(Frame::ChecksumMatches(reply));
    EXPECT_EQ(reply.size(), kVersionReply.size());
    EXPECT_EQ(reply.substr(0, reply.size() - 2), kVersionReply.substr(0, reply.size() - 2));
    EXPECT_NE(std::string("0123456789ABCDEF").find(reply[reply.size() - 2]), std::string::npos);
    EXPECT_EQ(One(sim, Cmd::SVRON).chunks, std::vector<std::string>{kAck});
    EXPECT_TRUE(sim.ServoOn()) << "the drive acted; only the reply is damaged";
}

TEST(FailureModeTest, TrailingBytesFollowTheEtxInTheSameChunk) {
    DriveSim sim = SimWith({FailureMode::TrailingBytes, 2});
    DriveSim::Reply reply = One(sim, Cmd::VER);
    ASSERT_EQ(reply.chunks.size(), 1u);
    const std::string& chunk = reply.chunks.front();
    ASSERT_EQ(chunk.size(), kVersionReply.size() + 2);
    EXPECT_EQ(chunk.substr(0, kVersionReply.size()), kVersionReply);
    EXPECT_FALSE(Frame::ChecksumMatches(chunk));
}

TEST(FailureModeTest, GarbageReplacesTheReplyWithNonProtocolBytes) {
    DriveSim sim = SimWith({FailureMode::Garbage, 64});
    std::string first = One(sim, Cmd::SVRON).chunks.at(0);
    std::string second = One(sim, Cmd::VER).chunks.at(0);
    EXPECT_EQ(first.size(), 64u);
    EXPECT_NE(first, second);
    for (char byte : first + second) EXPECT_FALSE(IsProtocolByte(byte)) << int(byte);
    EXPECT_TRUE(sim.ServoOn());

    DriveSim again = SimWith({FailureMode::Garbage, 64});
    EXPECT_EQ(One(again, Cmd::SVRON).chunks.at(0), first) << "same seed, same garbage";
}

TEST(FailureModeTest, NthTryAnswersOnlyTheNthIdenticalRequestInARow) {
    DriveSim sim = SimWith({FailureMode::NthTry, 3});
    EXPECT_TRUE(One(sim, Cmd::SVRON).chunks.empty());
    EXPECT_TRUE(One(sim, Cmd::SVRON).chunks.empty());
    EXPECT_FALSE(sim.ServoOn()) << "unheard requests are not acted on";
    EXPECT_EQ(One(sim, Cmd::SVRON).chunks, std::vector<std::string>{kAck});
    EXPECT_TRUE(sim.ServoOn());

    // The next exchange needs its own three tries; a different frame restarts the count.
    EXPECT_TRUE(One(sim, Cmd::VER).chunks.empty());
    EXPECT_TRUE(One(sim, Cmd::LIV).chunks.empty());
    EXPECT_TRUE(One(sim, Cmd::VER).chunks.empty());
    EXPECT_TRUE(One(sim, Cmd::VER).chunks.empty());
    EXPECT_EQ(One(sim, Cmd::VER).chunks, std::vector<std::string>{kVersionReply});
}

TEST(FailureModeTest, DisconnectHangsUpAfterNAnsweredRequests) {
    DriveSim sim = SimWith({FailureMode::Disconnect, 2});
    EXPECT_EQ(One(sim, Cmd::LIV), (DriveSim::Reply{{kAck}, false}));
    // The second request arrives with a third in the same read: the line goes
    // down after the second reply and the third is never seen.
    std::vector<DriveSim::Exchange> exchanges = sim.Receive(Req(Cmd::VER) + Req(Cmd::SVRON));
    ASSERT_EQ(exchanges.size(), 1u);
    EXPECT_EQ(exchanges[0].reply, (DriveSim::Reply{{kVersionReply}, true}));
    EXPECT_TRUE(sim.LineDown());
    EXPECT_TRUE(sim.Feed(Req(Cmd::LIV)).empty());
    EXPECT_FALSE(sim.ServoOn());
}

TEST(FailureModeTest, DisconnectAtZeroHangsUpOnTheFirstRequestUnanswered) {
    DriveSim sim = SimWith({FailureMode::Disconnect, 0});
    EXPECT_EQ(One(sim, Cmd::SVRON), (DriveSim::Reply{{}, true}));
    EXPECT_FALSE(sim.ServoOn());
    EXPECT_TRUE(sim.LineDown());
}

TEST(FailureModeTest, SwitchingBackToNoneAnswersNormallyAgain) {
    DriveSim sim = SimWith({FailureMode::NthTry, 2});
    One(sim, Cmd::VER);
    sim.SetFailure(FailureMode::None);
    EXPECT_EQ(One(sim, Cmd::VER).chunks, std::vector<std::string>{kVersionReply});
}

TEST(FailureModeTest, StallHoldsBackTheNthAnswerOnly) {
    DriveSim sim = SimWith({FailureMode::Stall, 2, 280});
    const DriveSim::Reply first = One(sim, Cmd::SET, "000");
    EXPECT_EQ(first.stallMs, 0);
    const DriveSim::Reply second = One(sim, Cmd::SET, "001");
    EXPECT_EQ(second.stallMs, 280);
    EXPECT_EQ(second.chunks,
              std::vector<std::string>{Frame::BuildReply('R', "SET" + *sim.Slot("001"))});
    EXPECT_EQ(One(sim, Cmd::SET, "001").stallMs, 0);
    sim.SetFailure({FailureMode::Stall, 1, 50});  // a new mode counts from the start
    EXPECT_EQ(One(sim, Cmd::LIV).stallMs, 50);
}

// The resend of the lost request is a request like any other: it is answered.
TEST(FailureModeTest, UnheardLosesTheNthRequestOnlyAndAnswersTheRest) {
    DriveSim sim = SimWith({FailureMode::Unheard, 2});
    EXPECT_EQ(One(sim, Cmd::VER).chunks, std::vector<std::string>{kVersionReply});
    EXPECT_EQ(One(sim, Cmd::SVRON), DriveSim::Reply{});
    EXPECT_FALSE(sim.ServoOn()) << "an unheard request is not acted on";
    EXPECT_EQ(One(sim, Cmd::SVRON).chunks, std::vector<std::string>{kAck});
    EXPECT_TRUE(sim.ServoOn());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(One(sim, Cmd::VER).chunks, std::vector<std::string>{kVersionReply}) << i;
    EXPECT_EQ(sim.Requests().size(), 6u) << "the lost request was on the wire";

    sim.SetFailure({FailureMode::Unheard, 1});  // a new mode counts from the start
    EXPECT_EQ(One(sim, Cmd::LIV), DriveSim::Reply{});
    EXPECT_EQ(One(sim, Cmd::LIV).chunks, std::vector<std::string>{kAck});
}

TEST(FailureModeTest, TwiceSendsEveryAnswerTwiceBackToBack) {
    DriveSim sim = SimWith({FailureMode::Twice, 0});
    EXPECT_EQ(One(sim, Cmd::VER).chunks, std::vector<std::string>{kVersionReply + kVersionReply});
    EXPECT_EQ(One(sim, Cmd::SVRON).chunks, std::vector<std::string>{kAck + kAck});
    EXPECT_TRUE(sim.ServoOn());  // acted on once
    EXPECT_EQ(sim.Requests().size(), 2u);
}

}  // namespace
