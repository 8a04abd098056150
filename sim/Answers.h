#pragma once
// The pieces every family of the stand-in drive's commands answers with, and
// the checks on texts a reply will carry.

#include <stdexcept>
#include <string>
#include <string_view>

#include "protocol/Frame.h"

namespace SimAnswer {

inline std::string Control(char byte) {
    return std::string(1, byte);
}

inline std::string TwoDigits(int code) {
    return std::string{char('0' + code / 10), char('0' + code % 10)};
}

inline std::string ErrorFrame(int code) {
    return Frame::BuildReply(Frame::ErrorMarker, TwoDigits(code));
}

// Printable ASCII without ':', which would end a reply value early.
inline bool IsReplyText(std::string_view text) {
    for (char c : text)
        if (c < 0x20 || c > 0x7E || c == ':') return false;
    return true;
}

inline void RequireReplyText(std::string_view what, std::string_view text) {
    if (!IsReplyText(text)) {
        throw std::invalid_argument(std::string(what) + " must be printable text without ':'");
    }
}

inline void RequireCode(std::string_view what, int code) {
    if (code < 0 || code > 99) throw std::out_of_range(std::string(what) + " must be 0..99");
}

}  // namespace SimAnswer
