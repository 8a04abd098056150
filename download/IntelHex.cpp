#include "download/IntelHex.h"

#include <algorithm>
#include <cstdio>

namespace IntelHex {
namespace {

constexpr std::size_t kHeaderDigits = 8;  // length, address, type
constexpr std::size_t kMinimumLine = 1 + kHeaderDigits + 2;

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string Hex2(unsigned value) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", value & 0xFFu);
    return text;
}

std::string_view WithoutLineEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    return line;
}

// The number of data bytes a record of `type` must carry, or -1 for any number.
int RequiredLength(std::uint8_t type) {
    switch (type) {
        case EndOfFile:
            return 0;
        case ExtendedSegmentAddress:
        case ExtendedLinearAddress:
            return 2;
        case StartSegmentAddress:
        case StartLinearAddress:
            return 4;
        default:
            return -1;
    }
}

}  // namespace

std::string EndField(std::string_view line) {
    std::string field(line.substr(std::min<std::size_t>(1, line.size()), 4));
    std::erase(field, ' ');
    return field;
}

bool IsEndRecord(std::string_view line) {
    return EndField(line) == "0000";
}

Parsed ParseRecord(std::string_view line) {
    line = WithoutLineEnd(line);
    if (line.empty()) return {{}, "empty line"};
    if (line.front() != ':') return {{}, "does not start with ':'"};
    for (std::size_t i = 1; i < line.size(); ++i) {
        if (HexValue(line[i]) < 0)
            return {{}, "character " + std::to_string(i + 1) + " is not a hex digit"};
    }
    if (line.size() < kMinimumLine) return {{}, "too short for a record"};
    if ((line.size() - 1) % 2 != 0) return {{}, "odd number of hex digits"};

    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 1; i + 1 < line.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(HexValue(line[i]) * 16 + HexValue(line[i + 1])));
    const std::size_t length = bytes[0];
    if (bytes.size() != length + 5) {
        return {{},
                "holds " + std::to_string(bytes.size() - 5) + " data bytes, its length says " +
                    std::to_string(length)};
    }
    unsigned sum = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i) sum += bytes[i];
    const unsigned expected = (0x100u - (sum & 0xFFu)) & 0xFFu;
    if (bytes.back() != expected)
        return {{}, "checksum is " + Hex2(bytes.back()) + ", should be " + Hex2(expected)};

    Record record;
    record.type = bytes[3];
    record.address = static_cast<std::uint16_t>(bytes[1] << 8 | bytes[2]);
    record.data.assign(bytes.begin() + 4, bytes.end() - 1);
    if (record.type > StartLinearAddress) return {{}, "unknown record type " + Hex2(record.type)};
    const int required = RequiredLength(record.type);
    if (required >= 0 && static_cast<int>(length) != required) {
        return {{},
                "a type " + Hex2(record.type) + " record holds " + std::to_string(required) +
                    " bytes, not " + std::to_string(length)};
    }
    return {std::move(record), {}};
}

bool ReadLine(std::istream& file, std::string& line) {
    line.clear();
    if (!std::getline(file, line)) return false;
    if (!file.eof()) line += '\n';
    return true;
}

CheckResult Check(std::istream& file) {
    CheckResult result;
    std::string line;
    while (ReadLine(file, line)) {
        ++result.lines;
        const Parsed parsed = ParseRecord(line);
        if (!parsed.Ok()) {
            result.problems.push_back({result.lines, parsed.error});
        }
        if (IsEndRecord(line)) {
            result.endRecord = true;
            if (parsed.Ok() && parsed.record.type != EndOfFile)
                result.problems.push_back({result.lines, "ends the download but is no end record"});
            break;
        }
    }
    if (result.lines == 0) {
        result.problems.push_back({0, "the file is empty"});
    } else if (!result.endRecord) {
        result.problems.push_back(
            {0, "no end record: the file ends after line " + std::to_string(result.lines)});
    }
    return result;
}

std::string Describe(const CheckResult& result) {
    if (result.problems.empty()) return {};
    const Problem& first = result.problems.front();
    std::string text = first.line > 0 ? "line " + std::to_string(first.line) + ": " : "";
    text += first.reason;
    if (const std::size_t more = result.problems.size() - 1; more > 0)
        text +=
            " (and " + std::to_string(more) + (more == 1 ? " more problem)" : " more problems)");
    return text;
}

}  // namespace IntelHex
