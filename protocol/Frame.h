#pragma once
// Byte layout of the drive link: control bytes, request frames and the
// one-digit checksum shared by both directions.

#include <stdexcept>
#include <string>
#include <string_view>

namespace Frame {

inline constexpr char STX = 0x02;
inline constexpr char ETX = 0x03;
inline constexpr char Station = 0x01;
inline constexpr char ACK = 0x06;
inline constexpr char NAK = 0x15;
inline constexpr char GS = 0x1D;
inline constexpr char RS = 0x1E;
inline constexpr char US = 0x1F;
inline constexpr char ErrorMarker = 'E';

// Which bytes a checksum covers: a request being built (everything after STX)
// or a complete received frame (after STX up to and including the ':').
enum class Direction { Sending, Checking };

// The byte sum is kept in 16 bits; a frame that would overflow it is refused.
struct ChecksumOverflow : std::runtime_error {
    ChecksumOverflow() : std::runtime_error("frame checksum overflow") {}
};

// One upper-case hex digit, or "" when the frame does not start with STX.
// Throws ChecksumOverflow for frames whose byte sum exceeds 65535.
std::string FrameChecksum(std::string_view frame, Direction direction);

// STX 0x01 '#' mnemonic data ':' checksum ETX.
std::string BuildRequest(std::string_view command, std::string_view data);

// True when the character before ETX matches the frame's own checksum.
bool ChecksumMatches(std::string_view frame);

// A data reply built the way the drive builds it: STX station marker body ':' checksum ETX.
// `body` starts at position 4 (the mnemonic echo or status word, then the value).
std::string BuildReply(char marker, std::string_view body, char station = Station);

}  // namespace Frame
