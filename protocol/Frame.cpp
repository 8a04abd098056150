#include "protocol/Frame.h"

#include <cstdint>
#include <limits>

namespace Frame {

namespace {

std::string SumDigit(std::string_view bytes) {
    std::uint32_t sum = 0;
    for (unsigned char c : bytes) {
        sum += c;
        if (sum > std::numeric_limits<std::uint16_t>::max()) throw ChecksumOverflow();
    }
    return std::string(1, "0123456789ABCDEF"[sum & 0x0F]);
}

}  // namespace

std::string FrameChecksum(std::string_view frame, Direction direction) {
    if (frame.empty() || frame.front() != STX) return {};
    if (direction == Direction::Sending) return SumDigit(frame.substr(1));
    // Checking: positions 2 .. length-2 (1-based), i.e. drop STX, checksum and ETX.
    if (frame.size() < 3) return SumDigit({});
    return SumDigit(frame.substr(1, frame.size() - 3));
}

std::string BuildRequest(std::string_view command, std::string_view data) {
    std::string frame;
    frame.reserve(command.size() + data.size() + 6);
    frame += STX;
    frame += Station;
    frame += '#';
    frame += command;
    frame += data;
    frame += ':';
    frame += FrameChecksum(frame, Direction::Sending);
    frame += ETX;
    return frame;
}

bool ChecksumMatches(std::string_view frame) {
    if (frame.size() < 2) return false;
    return std::string_view(&frame[frame.size() - 2], 1) ==
           FrameChecksum(frame, Direction::Checking);
}

std::string BuildReply(char marker, std::string_view body, char station) {
    std::string frame;
    frame += STX;
    frame += station;
    frame += marker;
    frame += body;
    frame += ':';
    frame += FrameChecksum(frame, Direction::Sending);
    frame += ETX;
    return frame;
}

}  // namespace Frame
