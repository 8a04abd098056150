#pragma once
// Intel HEX records: the end-record rule the drive's loader goes by, one line
// parsed into a record, and a check of a whole program file before it is sent.
// C++ standard library only, so the stand-in drive reads records the same way.

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace IntelHex {

enum RecordType : std::uint8_t {
    Data = 0,
    EndOfFile = 1,
    ExtendedSegmentAddress = 2,
    StartSegmentAddress = 3,
    ExtendedLinearAddress = 4,
    StartLinearAddress = 5,
};

// Characters 2 to 5 of a line (counting from 1), blanks removed.
std::string EndField(std::string_view line);
// The loader's rule: a line whose end field is "0000" ends the download. An
// end-of-file record is such a line (so is a data record of no bytes at 00xx).
bool IsEndRecord(std::string_view line);

// `line` without its line end (CR and LF at its end are ignored).
struct Record {
    std::uint8_t type = Data;
    std::uint16_t address = 0;
    std::vector<std::uint8_t> data;
};

// A parsed line: the record, or why the line is not one.
struct Parsed {
    Record record;
    std::string error;  // empty when the line is a valid record
    bool Ok() const { return error.empty(); }
};

Parsed ParseRecord(std::string_view line);

// A line that is not a valid record, numbered from 1; 0 for the file as a whole.
struct Problem {
    std::size_t line = 0;
    std::string reason;
};

// What a program file holds up to the line that ends the download.
struct CheckResult {
    std::size_t lines = 0;   // lines that would be sent, the end record included
    bool endRecord = false;  // a line ends the download
    std::vector<Problem> problems;
    bool Ok() const { return problems.empty(); }
};

// Reads `file` from where it is to its end record (or its end) and checks
// every line as an Intel HEX record.
CheckResult Check(std::istream& file);

// The first problem, "line 12: checksum is 3F, should be 4A", and how many more.
std::string Describe(const CheckResult& result);

// Reads the next line with its line end (LF; the last line of a file may lack
// one). False at the end of the file.
bool ReadLine(std::istream& file, std::string& line);

}  // namespace IntelHex
