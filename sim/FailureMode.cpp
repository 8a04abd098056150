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
    ModeInfo{FailureMode::Stall, "stall", 1, 1, 1000000},
    ModeInfo{FailureMode::Twice, "twice", 0, 0, 0},
    ModeInfo{FailureMode::Unheard, "unheard", 1, 1, 1000000},
};

constexpr int kMaxStallMs = 600000;

std::optional<int> Number(std::string_view text, int minimum, int maximum) {
    int n = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || n < minimum ||
        n > maximum) {
        return std::nullopt;
    }
    return n;
}

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
    const int defaultMs = info->mode == FailureMode::Stall ? kDefaultStallMs : 0;
    if (colon == std::string_view::npos)
        return Failure{info->mode, info->defaultArgument, defaultMs};

    std::string_view rest = text.substr(colon + 1);
    std::size_t second = info->mode == FailureMode::Stall ? rest.find(':') : std::string_view::npos;
    std::optional<int> n = Number(rest.substr(0, second), info->minimum, info->maximum);
    if (!n) return std::nullopt;
    if (second == std::string_view::npos) return Failure{info->mode, *n, defaultMs};
    std::optional<int> ms = Number(rest.substr(second + 1), 1, kMaxStallMs);
    if (!ms) return std::nullopt;
    return Failure{info->mode, *n, *ms};
}

std::string FailureNames(std::string_view separator) {
    std::string names;
    for (const ModeInfo& m : kModes) {
        if (!names.empty()) names += separator;
        names += m.name;
    }
    return names;
}
