// The stand-in drive's download mode: entered with ETC 14, silent while the
// program's lines arrive, the memory image built from the records, bad
// records reported, and the normal protocol back after the end record.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "protocol/Commands.h"
#include "protocol/Frame.h"
#include "sim/DriveSim.h"

namespace {

const std::string kAck(1, Frame::ACK), kNak(1, Frame::NAK);

std::string Req(std::string_view command, std::string_view data = "") {
    return Frame::BuildRequest(command, data);
}

// An Intel HEX record with its checksum.
std::string Record(std::uint8_t type, std::uint16_t address,
                   const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> bytes{static_cast<std::uint8_t>(data.size()),
                                    static_cast<std::uint8_t>(address >> 8),
                                    static_cast<std::uint8_t>(address), type};
    bytes.insert(bytes.end(), data.begin(), data.end());
    unsigned sum = 0;
    for (std::uint8_t b : bytes) sum += b;
    bytes.push_back(static_cast<std::uint8_t>(0x100 - (sum & 0xFF)));
    std::string line = ":";
    for (std::uint8_t b : bytes) {
        static const char* digits = "0123456789ABCDEF";
        line += digits[b >> 4];
        line += digits[b & 15];
    }
    return line + "\r\n";
}

const std::string kEnd = ":00000001FF\r\n";

DriveSim InDownloadMode() {
    DriveSim sim;
    EXPECT_EQ(sim.Feed(Req(Cmd::ETC, "14")), std::vector<std::string>{kAck});
    EXPECT_TRUE(sim.Downloading());
    return sim;
}

TEST(SimDownload, BuildsTheImageFromDataSegmentAndLinearRecordsSilently) {
    DriveSim sim = InDownloadMode();
    int done = 0;
    sim.OnDownloadDone([&](const SimDownload::Result&) { ++done; });
    const std::string program = Record(4, 0, {0x00, 0x01}) +    // linear base 0x10000
                                Record(0, 0x0010, {1, 2, 3}) +  // 0x10010
                                Record(2, 0, {0x08, 0x00}) +    // segment base 0x8000
                                Record(0, 0x0004, {9}) +        // 0x8004: the lowest
                                Record(4, 0, {0x00, 0x01}) +
                                Record(0, 0x0012, {0x33, 4}) +  // overwrites the 3
                                Record(5, 0, {0, 1, 0, 0x10}) + kEnd;
    // Any cut of the stream gives no answer at all.
    for (std::size_t i = 0; i < program.size(); i += 7)
        EXPECT_TRUE(sim.Feed(program.substr(i, 7)).empty()) << "at byte " << i;
    EXPECT_FALSE(sim.Downloading());
    EXPECT_EQ(done, 1);
    const SimDownload::Result& result = sim.LastDownload();
    EXPECT_TRUE(result.ended);
    EXPECT_TRUE(result.bad.empty());
    EXPECT_EQ(result.records, 8u);
    EXPECT_EQ(result.base, 0x8004u);
    ASSERT_EQ(result.image.size(), 0x10014u - 0x8004u);
    EXPECT_EQ(result.image.front(), 9);
    EXPECT_EQ(result.image[1], 0xFF) << "gaps are erased flash";
    const std::size_t at = 0x10010u - 0x8004u;
    EXPECT_EQ(std::vector<std::uint8_t>(result.image.begin() + at, result.image.end()),
              (std::vector<std::uint8_t>{1, 2, 0x33, 4}));
}

TEST(SimDownload, ReportsBadRecordsAndKeepsTheGoodOnes) {
    DriveSim sim = InDownloadMode();
    std::string bad = Record(0, 0x0001, {0xAA});
    char& digit = bad[bad.size() - 3];  // the checksum's last digit
    digit = digit == '0' ? '1' : '0';
    sim.Feed(Record(0, 0, {0x55}) + bad + "not a record\r\n" + kEnd);
    const SimDownload::Result& result = sim.LastDownload();
    ASSERT_EQ(result.bad.size(), 2u);
    EXPECT_EQ(result.bad[0].line, 2u);
    EXPECT_NE(result.bad[0].reason.find("checksum is"), std::string::npos);
    EXPECT_EQ(result.bad[1].line, 3u);
    EXPECT_EQ(result.bad[1].text, "not a record");
    EXPECT_EQ(result.image, std::vector<std::uint8_t>{0x55});
    const std::string report = DownloadReport(result);
    EXPECT_NE(report.find("download: 2 records, 1 bytes at 0x00000000\n"), std::string::npos)
        << report;
    EXPECT_NE(report.find("download: line 3: does not start with ':' (not a record)"),
              std::string::npos)
        << report;
}

TEST(SimDownload, TheEndRecordHandsTheLineBackToTheProtocol) {
    DriveSim sim = InDownloadMode();
    // The request in the same chunk as the end record is answered.
    EXPECT_EQ(sim.Feed(Record(0, 0, {1}) + kEnd + Req(Cmd::LIV)), std::vector<std::string>{kAck});
    EXPECT_FALSE(sim.Downloading());
    // Frames while downloading are no requests: nothing answers them.
    EXPECT_EQ(sim.Feed(Req(Cmd::ETC, "14") + Req(Cmd::LIV)), std::vector<std::string>{kAck});
    EXPECT_TRUE(sim.Feed(Req(Cmd::LIV)).empty());
    EXPECT_TRUE(sim.Downloading());
}

TEST(SimDownload, OnlyKnownEtcCodesAreServed) {
    DriveSim sim;
    EXPECT_EQ(sim.Feed(Req(Cmd::ETC, "99")), std::vector<std::string>{kNak});
    EXPECT_EQ(sim.Feed(Req(Cmd::ETC)), std::vector<std::string>{kNak});
    EXPECT_FALSE(sim.Downloading());
}

TEST(SimDownload, WritesTheImageToAFile) {
    DriveSim sim = InDownloadMode();
    sim.Feed(Record(0, 0x0100, {0xDE, 0xAD}) + Record(0, 0x0104, {0xBE}) + kEnd);
    const std::string path = ::testing::TempDir() + "sim-download-image.bin";
    WriteDownloadImage(sim.LastDownload(), path);
    std::ifstream file(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};
    EXPECT_EQ(bytes, std::string("\xDE\xAD\xFF\xFF\xBE", 5));
    EXPECT_THROW(WriteDownloadImage(sim.LastDownload(), "/nonexistent/dir/image.bin"),
                 std::runtime_error);
}

}  // namespace
