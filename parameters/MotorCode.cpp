#include "parameters/MotorCode.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "parameters/TrimBlanks.h"

namespace {

constexpr std::string_view kHexDigits = "0123456789ABCDEF";

// The encoders a type row allows, in ascending order.
std::span<const int> AllowedEncoders(int type) {
    static constexpr int kIncremental[] = {0, 1, 2, 3, 4, 5, 6, 7};
    static constexpr int kPanasonic[] = {8, 11, 13};
    static constexpr int kKomotek[] = {9, 10, 11, 12, 13, 14, 15};
    if (type <= 2) return kIncremental;
    if (type <= 8) return kPanasonic;
    return kKomotek;
}

int HexDigitValue(char c) {
    const char upper = (c >= 'a' && c <= 'f') ? static_cast<char>(c - 'a' + 'A') : c;
    const auto at = kHexDigits.find(upper);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

}  // namespace

std::span<const MotorType> MotorTypes() {
    static constexpr MotorType types[] = {
        {"00", "NQV", "", 64},   {"10", "NQV", "R", 80},  {"11", "NQV", "T", 120},
        {"20", "NQV", "S", 109}, {"21", "NQV", "D", 94},  {"22", "NQV", "H", 118},
        {"24", "NQV", "K", 117}, {"25", "NQV", "Q", 103}, {"26", "NQV", "Z", 91},
        {"30", "PJL", "S", 109}, {"31", "PJL", "D", 94},  {"32", "PJL", "H", 118},
        {"33", "PJL", "F", 113}, {"34", "PJL", "K", 117}, {"35", "PJL", "L", 56},
        {"36", "PJL", "-", 0},   {"37", "PJL", "-", 0},   {"38", "PJL", "Q", 103},
        {"39", "PJL", "Z", 91},
    };
    return types;
}

std::span<const std::string_view> RatedPowers() {
    static constexpr std::string_view codes[] = {"A3", "A5", "A8", "01", "02", "03", "04", "05",
                                                 "06", "07", "08", "09", "10", "12", "15"};
    return codes;
}

std::span<const EncoderKind> Encoders() {
    static constexpr EncoderKind encoders[] = {
        {"Tamagawa 15-Wire 2048PPR INC", 'S', 109},
        {"Tamagawa 9-Wire 2048PPR INC", 'B', 124},
        {"Tamagawa 11bit Compact ABS", 'A', 119},
        {"Tamagawa 15-Wire 2500PPR INC", 'D', 94},
        {"Tamagawa 15-Wire 2000PPR INC", 'C', 57},
        {"Tamagawa 15-Wire 5000PPR INC", 'K', 117},
        {"Tamagawa 17bit Serial ABS", 'Q', 103},
        {"Tamagawa 17bit Serial INC", 'R', 80},
        {"Panasonic 11-Wire 2500PPR INC", 'A', 119},
        {"Komotek 15-Wire 5000PPR INC", 'K', 117},
        {"Komotek 15-Wire 6000PPR INC", 'L', 56},
        {"Komotek/Panasonic 11bit Full/Compact ABS", 'H', 118},
        {"Komotek 9-Wire 2500PPR INC", 'A', 119},
        {"Komotek/Panasonic 15-Wire 10000PPR INC", 'M', 55},
        {"Komotek 17bit Serial ABS", 'Q', 103},
        {"Komotek 17bit Serial INC", 'R', 80},
    };
    return encoders;
}

std::string SeriesName(int type) {
    const MotorType& row = MotorTypes()[type];
    return std::string(row.prefix) + std::string(row.letter);
}

MotorChoice ReadMotorCode(std::string_view value) {
    const std::string_view text = TrimBlanks(value);
    MotorChoice choice;
    const auto types = MotorTypes();
    const auto type = std::ranges::find(types, text.substr(0, 2), &MotorType::code);
    choice.type = type == types.end() ? 0 : static_cast<int>(type - types.begin());

    choice.powerText = std::string(text.substr(std::min<std::size_t>(2, text.size()), 2));
    const auto powers = RatedPowers();
    const auto power = std::ranges::find(powers, std::string_view(choice.powerText));
    choice.power = power == powers.end() ? 0 : static_cast<int>(power - powers.begin());

    const int encoder = text.size() >= 5 ? HexDigitValue(text[4]) : -1;
    choice.encoder = encoder >= 0 ? encoder : DefaultEncoder(choice.type);
    return choice;
}

std::string ComposeMotorCode(const MotorChoice& choice) {
    return std::string(MotorTypes()[choice.type].code) + std::string(RatedPowers()[choice.power]) +
           kHexDigits[choice.encoder];
}

int DefaultEncoder(int type) {
    return AllowedEncoders(type).front();
}

int StepMotorType(int type, int delta) {
    int next = type + delta;
    if (next == 15 || next == 16) next = delta > 0 ? 17 : 14;
    return std::clamp(next, 0, static_cast<int>(MotorTypes().size()) - 1);
}

int StepRatedPower(int power, int delta) {
    return std::clamp(power + delta, 0, static_cast<int>(RatedPowers().size()) - 1);
}

// The next allowed encoder in the direction of the step, or the last one that
// way when there is none; an encoder the type does not allow (as a value read
// from the drive may name) moves onto the allowed ones.
int StepEncoder(int type, int encoder, int delta) {
    const auto allowed = AllowedEncoders(type);
    if (delta > 0) {
        const auto above = std::ranges::upper_bound(allowed, encoder);
        return above == allowed.end() ? allowed.back() : *above;
    }
    const auto below = std::ranges::lower_bound(allowed, encoder);
    return below == allowed.begin() ? allowed.front() : *std::prev(below);
}
