// How the stand-in drive misbehaves on the wire when a failure mode is set:
// requests it does not hear or refuses, and answers it damages, splits,
// doubles, delays or follows with a hang-up.

#include <algorithm>

#include "sim/Answers.h"
#include "sim/DriveSim.h"

namespace {

constexpr std::string_view kHexDigits = "0123456789ABCDEF";

using SimAnswer::Control;

bool IsFrame(std::string_view answer) {
    return !answer.empty() && answer.front() == Frame::STX;
}

// The checksum character moved to the next hex digit: always wrong, still a digit.
void CorruptChecksum(std::string& frame) {
    char& digit = frame[frame.size() - 2];
    std::size_t value = kHexDigits.find(digit);
    digit = kHexDigits[(value == std::string_view::npos ? 0 : value + 1) % kHexDigits.size()];
}

// `bytes` cut into `count` pieces as even as possible (fewer when it is shorter).
std::vector<std::string> SplitInto(const std::string& bytes, int count) {
    std::size_t pieces = std::clamp<std::size_t>(count, 1, std::max<std::size_t>(bytes.size(), 1));
    std::vector<std::string> chunks;
    for (std::size_t i = 0; i < pieces; ++i) {
        std::size_t begin = i * bytes.size() / pieces, end = (i + 1) * bytes.size() / pieces;
        chunks.push_back(bytes.substr(begin, end - begin));
    }
    return chunks;
}

}  // namespace

void DriveSim::SetFailure(Failure failure) {
    failure_ = failure;
    lastFrame_.clear();
    repeats_ = 0;
    answered_ = 0;
    received_ = 0;
}

// A request the drive does not hear is logged (it was on the wire) but not acted on.
DriveSim::Reply DriveSim::Answer(const std::string& frame) {
    Log(frame);
    ++received_;
    switch (failure_.mode) {
        case FailureMode::Silent:
            return {};
        case FailureMode::Nak:
            return {{Control(Frame::NAK)}};
        case FailureMode::Rs:
            return {{Control(Frame::RS)}};
        case FailureMode::ErrorReply:
            return {{SimAnswer::ErrorFrame(failure_.n)}};
        case FailureMode::NthTry:
            if (SkipForNthTry(frame)) return {};
            break;
        case FailureMode::Unheard:
            if (received_ == failure_.n) return {};
            break;
        case FailureMode::Disconnect:
            if (answered_ >= failure_.n) return {{}, true};
            break;
        case FailureMode::Stall: {
            Reply reply = Shape(Handle(frame));
            if (received_ == failure_.n) reply.stallMs = failure_.ms;
            return reply;
        }
        default:
            break;
    }
    return Shape(Handle(frame));
}

DriveSim::Reply DriveSim::Shape(std::string answer) {
    if (answer.empty()) return {};
    switch (failure_.mode) {
        case FailureMode::BadChecksum:
            if (IsFrame(answer)) CorruptChecksum(answer);
            break;
        case FailureMode::TrailingBytes:
            if (IsFrame(answer)) answer += RandomBytes(failure_.n);
            break;
        case FailureMode::Garbage:
            answer = RandomBytes(failure_.n);
            break;
        case FailureMode::Twice:
            answer += answer;
            break;
        default:
            break;
    }
    Reply reply;
    if (failure_.mode == FailureMode::Split) {
        reply.chunks = SplitInto(answer, failure_.n);
    } else {
        reply.chunks.push_back(std::move(answer));
    }
    if (failure_.mode == FailureMode::Disconnect) reply.close = ++answered_ >= failure_.n;
    return reply;
}

// A resend is the same frame again; the first n-1 of a run go unheard.
bool DriveSim::SkipForNthTry(const std::string& frame) {
    repeats_ = frame == lastFrame_ ? repeats_ + 1 : 1;
    lastFrame_ = frame;
    if (repeats_ < failure_.n) return true;
    repeats_ = 0;
    lastFrame_.clear();
    return false;
}

// Bytes from 0x20 up: never STX, ETX, the station byte or a control reply.
std::string DriveSim::RandomBytes(int count) {
    std::string bytes(static_cast<std::size_t>(std::max(count, 0)), ' ');
    for (char& byte : bytes) byte = static_cast<char>(0x20 + garbage_() % 0xE0);
    return bytes;
}
