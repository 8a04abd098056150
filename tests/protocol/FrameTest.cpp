#include <gtest/gtest.h>

#include "protocol/Frame.h"

namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s += static_cast<char>(v);
    return s;
}

TEST(Frame, WorkedExamples) {
    EXPECT_EQ(Frame::BuildRequest("VER", ""),
              Bytes({0x02, 0x01, 0x23, 0x56, 0x45, 0x52, 0x3A, 0x42, 0x03}));
    const std::string set = Frame::BuildRequest("SET", "000");
    EXPECT_EQ(set.substr(set.size() - 3), Bytes({0x3A, 0x41, 0x03}));
    EXPECT_EQ(set, "\x02\x01#SET000:A\x03");
}

TEST(Frame, LongMnemonicsAreSentWhole) {
    EXPECT_EQ(Frame::BuildRequest("SVROFF", "").substr(0, 10), "\x02\x01#SVROFF:");
    EXPECT_EQ(Frame::BuildRequest("LIVE", "").substr(3, 5), "LIVE:");
}

struct ChecksumCase {
    std::string frame;
    Frame::Direction direction;
    std::string expected;
};

class FrameChecksumTest : public testing::TestWithParam<ChecksumCase> {};

TEST_P(FrameChecksumTest, LowNibbleAsUpperCaseHex) {
    EXPECT_EQ(Frame::FrameChecksum(GetParam().frame, GetParam().direction), GetParam().expected);
}

using enum Frame::Direction;
INSTANTIATE_TEST_SUITE_P(
    Cases, FrameChecksumTest,
    testing::Values(ChecksumCase{"\x02\x01#VER:", Sending, "B"},
                    ChecksumCase{"\x02\x01#VER:B\x03", Checking,
                                 "B"},  // the same bytes, seen from the reply side
                    ChecksumCase{"\x02\x01#SET000:", Sending, "A"},
                    ChecksumCase{"\x02\x01", Sending, "1"},
                    ChecksumCase{"\x02\x0F", Sending, "F"},  // digits above 9 are letters
                    ChecksumCase{"\x02\x09", Sending, "9"}, ChecksumCase{"\x02\x10", Sending, "0"},
                    ChecksumCase{"#VER:", Sending, ""},  // no STX: no checksum at all
                    ChecksumCase{"", Checking, ""}));

TEST(Frame, ChecksumMatchIsCaseSensitiveAndPositional) {
    // 01 + 'R' + ':' = 0x8D: the digit is a letter.
    const std::string reply = "\x02\x01R:D\x03";
    EXPECT_EQ(Frame::BuildReply('R', ""), reply);
    EXPECT_TRUE(Frame::ChecksumMatches(reply));
    EXPECT_FALSE(Frame::ChecksumMatches("\x02\x01R:d\x03"));  // a lower-case digit fails
    EXPECT_FALSE(Frame::ChecksumMatches("\x02\x01R:E\x03"));
    // Trailing bytes after ETX move the checksum position, so the check fails.
    EXPECT_FALSE(Frame::ChecksumMatches(reply + "\x06"));
    EXPECT_FALSE(Frame::ChecksumMatches(reply + "xx"));
}

TEST(Frame, SumOverflowIsRefused) {
    // 0xFF a byte: 257 bytes exceed 65535 (257 * 255 = 65535 exactly, one more overflows).
    std::string frame(1, Frame::STX);
    frame += std::string(257, '\xFF');
    EXPECT_EQ(Frame::FrameChecksum(frame, Sending), "F");
    frame += '\xFF';
    EXPECT_THROW(Frame::FrameChecksum(frame, Sending), Frame::ChecksumOverflow);
    EXPECT_THROW(Frame::BuildRequest(std::string(300, '\xFF'), ""), Frame::ChecksumOverflow);
}

}  // namespace
