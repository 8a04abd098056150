#include "sim/FailureMode.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>

namespace {

struct ModeInfo {
    FailureMode mode;
    std::string_view name;
    int defaultArgument;
    int minimum, maximum;  // accepted arguments
};

constexpr std::array kModes = {
    ModeInfo{FailureMode::None, "none", 0, 0, 0},
    ModeInfo{FailureMode::Silent, "silent", 0, 0, 0},
    ModeInfo{FailureMode::Split, "split", 2, 2, 64},
    ModeInfo{FailureMode::BadChecksum, "bad-checksum", 0, 0, 0},
    ModeInfo{FailureMode::Nak, "nak", 0, 0, 0},
    ModeInfo{FailureMode::Rs, "rs", 0, 0, 0},
    ModeInfo{FailureMode::ErrorReply, "error-reply", 21, 0, 99},
    ModeInfo{FailureMode::Garbage, "garbage", 8, 1, 4096},
    ModeInfo{FailureMode::NthTry, "nth-try", 2, 1, 1000},
    ModeInfo{FailureMode::TrailingBytes, "trailing-bytes", 1, 1, 4096},
    ModeInfo{FailureMode::Disconnect, "disconnect", 0, 0, 1000000},
};

const ModeInfo& Info(FailureMode mode) {
    return *std::ranges::find(kModes, mode, &ModeInfo::mode);
}

bool SameName(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

int DefaultArgument(FailureMode mode) {
    return Info(mode).defaultArgument;
}

std::string_view FailureName(FailureMode mode) {
    return Info(mode).name;
}

std::optional<Failure> ParseFailure(std::string_view text) {
    std::size_t colon = text.find(':');
    std::string_view name = text.substr(0, colon);
    auto info =
        std::ranges::find_if(kModes, [&](const ModeInfo& m) { return SameName(m.name, name); });
    if (info == kModes.end()) return std::nullopt;
    if (colon == std::string_view::npos) return Failure{info->mode, info->defaultArgument};

    std::string_view number = text.substr(colon + 1);
    int n = 0;
    auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), n);
    if (number.empty() || error != std::errc() || end != number.data() + number.size() ||
        n < info->minimum || n > info->maximum) {
        return std::nullopt;
    }
    return Failure{info->mode, n};
}

std::string FailureNames(std::string_view separator) {
    std::string names;
    for (const ModeInfo& m : kModes) {
        if (!names.empty()) names += separator;
        names += m.name;
    }
    return names;
}
