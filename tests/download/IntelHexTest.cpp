// The end-record rule, records parsed from lines, and the check of a whole file.

#include <gtest/gtest.h>

#include <sstream>

#include "download/IntelHex.h"

namespace {

using IntelHex::Check;
using IntelHex::EndField;
using IntelHex::IsEndRecord;
using IntelHex::ParseRecord;

TEST(EndRecordRule, CharactersTwoToFiveWithoutBlanks) {
    struct Case {
        const char* line;
        const char* field;
        bool end;
    } cases[] = {
        {":00000001FF\r\n", "0000", true},
        {":10010000214601360121470136007EFE09D2190140\r\n", "1001", false},
        {":0 0 0 0 0001FF", "00", false},  // blanks go, and the field is what is left of 2..5
        {": 00000001FF", "000", false},
        {":0000", "0000", true},
        {":000", "000", false},
        {"", "", false},
        {":00001000F0", "0000", true},  // a data record of no bytes at 00xx ends it too
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EndField(c.line), c.field) << c.line;
        EXPECT_EQ(IsEndRecord(c.line), c.end) << c.line;
    }
}

TEST(ParseRecord, ValidRecordsOfEveryType) {
    const auto data = ParseRecord(":0300300002337A1E\r\n");
    ASSERT_TRUE(data.Ok()) << data.error;
    EXPECT_EQ(data.record.type, IntelHex::Data);
    EXPECT_EQ(data.record.address, 0x0030);
    EXPECT_EQ(data.record.data, (std::vector<std::uint8_t>{0x02, 0x33, 0x7A}));

    EXPECT_EQ(ParseRecord(":020000021200EA").record.type, IntelHex::ExtendedSegmentAddress);
    EXPECT_EQ(ParseRecord(":020000040800F2").record.type, IntelHex::ExtendedLinearAddress);
    EXPECT_EQ(ParseRecord(":0400000300003800C1").record.type, IntelHex::StartSegmentAddress);
    EXPECT_EQ(ParseRecord(":04000005000000CD2A").record.type, IntelHex::StartLinearAddress);
    EXPECT_TRUE(ParseRecord(":00000001FF\n").Ok());
    EXPECT_EQ(ParseRecord(":10010000214601360121470136007EFE09D2190140").record.data.size(), 16u);
    EXPECT_TRUE(ParseRecord(":0300300002337a1e").Ok()) << "lower-case digits";
}

TEST(ParseRecord, SaysWhyALineIsNoRecord) {
    struct Case {
        const char* line;
        const char* error;
    } cases[] = {
        {"\r\n", "empty line"},
        {"0300300002337A1E", "does not start with ':'"},
        {":0300300002337G1E", "character 15 is not a hex digit"},
        {":03003000 2337A1E", "character 10 is not a hex digit"},
        {":000000", "too short for a record"},
        {":0300300002337A1", "odd number of hex digits"},
        {":0300300002331E", "holds 2 data bytes, its length says 3"},
        {":0300300002337A1F", "checksum is 1F, should be 1E"},
        {":00000006FA", "unknown record type 06"},
        {":0100000100FE", "a type 01 record holds 0 bytes, not 1"},
        {":0100000412E9", "a type 04 record holds 2 bytes, not 1"},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseRecord(c.line).error, c.error) << c.line;
}

TEST(Check, AFileUpToItsEndRecord) {
    std::istringstream file(
        ":0300300002337A1E\r\n"
        ":00000001FF\r\n"
        "anything after the end record is not sent, so not checked\r\n");
    const auto result = Check(file);
    EXPECT_TRUE(result.Ok()) << IntelHex::Describe(result);
    EXPECT_TRUE(result.endRecord);
    EXPECT_EQ(result.lines, 2u);
}

TEST(Check, ReportsEveryBadLineAndAMissingEndRecord) {
    std::istringstream file(
        ":0300300002337A1E\r\n"
        ":0300300002337A1F\r\n"
        ":0300300002337A1E\r\n"
        "garbage\r\n"
        ":0300300002337A1E");  // the last line has no line end
    const auto result = Check(file);
    EXPECT_FALSE(result.endRecord);
    EXPECT_EQ(result.lines, 5u);
    ASSERT_EQ(result.problems.size(), 3u);
    EXPECT_EQ(result.problems[0].line, 2u);
    EXPECT_EQ(result.problems[1].line, 4u);
    EXPECT_EQ(result.problems[2].line, 0u);
    EXPECT_EQ(result.problems[2].reason, "no end record: the file ends after line 5");
    EXPECT_EQ(IntelHex::Describe(result),
              "line 2: checksum is 1F, should be 1E (and 2 more problems)");
}

TEST(Check, ALineThatEndsTheDownloadButIsNoEndOfFileRecord) {
    std::istringstream file(":00001000F0\r\n:00000001FF\r\n");
    const auto result = Check(file);
    EXPECT_TRUE(result.endRecord);
    EXPECT_EQ(result.lines, 1u);
    EXPECT_EQ(IntelHex::Describe(result), "line 1: ends the download but is no end record");
}

TEST(Check, AnEmptyFileHasNoEndRecord) {
    std::istringstream file("");
    const auto result = Check(file);
    EXPECT_EQ(IntelHex::Describe(result), "the file is empty");
}

TEST(ReadLine, KeepsLineEndsExactly) {
    std::istringstream file("a\r\nb\n\nc");
    std::string line;
    std::vector<std::string> lines;
    while (IntelHex::ReadLine(file, line)) lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::string>{"a\r\n", "b\n", "\n", "c"}));
}

}  // namespace
