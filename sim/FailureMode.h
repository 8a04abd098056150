#pragma once
// The named ways the stand-in drive can misbehave on the wire, so tests and
// demos can drive the client's error paths on purpose.

#include <optional>
#include <string>
#include <string_view>

enum class FailureMode {
    None,           // answer normally
    Silent,         // never answer; the request is lost before the drive acts on it
    Split,          // answer in n chunks (n >= 2)
    BadChecksum,    // data and error frames carry a wrong checksum character
    Nak,            // every request refused with NAK; the drive does not act on it
    Rs,             // every request refused with RS; the drive does not act on it
    ErrorReply,     // every request answered with the error frame E + code n
    Garbage,        // the answer is replaced by n random bytes that are no protocol bytes
    NthTry,         // only the n-th identical request in a row is acted on and answered
    TrailingBytes,  // n extra bytes after the ETX of data and error frames, same chunk
    Disconnect,     // after n answered requests the far end closes
    Stall,          // at the n-th request the drive freezes for ms milliseconds, then
                    // answers it and everything received meanwhile, in order
    Twice,          // every answer is sent twice, back to back
    Unheard,        // the n-th request goes unheard: not acted on, never answered;
                    // the ones after it are answered normally
};

struct Failure {
    FailureMode mode = FailureMode::None;
    int n = 0;   // the mode's argument; see DefaultArgument()
    int ms = 0;  // the length of a Stall
    bool operator==(const Failure&) const = default;
};

// The argument a mode gets when none is given: Split 2, ErrorReply 21 (an alarm
// with a name), Garbage 8, NthTry 2, TrailingBytes 1, Disconnect 0, Stall 1
// (for kDefaultStallMs), Unheard 1, others 0.
int DefaultArgument(FailureMode mode);
inline constexpr int kDefaultStallMs = 500;

// Command-line name of a mode: "none", "silent", "split", "bad-checksum", "nak",
// "rs", "error-reply", "garbage", "nth-try", "trailing-bytes", "disconnect",
// "stall", "twice", "unheard".
std::string_view FailureName(FailureMode mode);

// Reads "MODE" or "MODE:N", and for a stall "stall:N:MS" (mode names
// case-insensitive). nullopt when the name is unknown, a number is not one,
// or it is out of range for the mode.
std::optional<Failure> ParseFailure(std::string_view text);

// Every mode name, for help texts.
std::string FailureNames(std::string_view separator);
