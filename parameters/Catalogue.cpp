#include "parameters/Catalogue.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>

namespace {

void CheckAddressable(int group, int number) {
    if (group < 0 || group > 9 || number < 0 || number > 99)
        throw std::out_of_range("parameter " + std::to_string(group) + "." +
                                std::to_string(number) + " has no three-character address");
}

// "g.nn" with the number always two digits.
std::string DottedNumber(int group, int number) {
    CheckAddressable(group, number);
    std::string text = std::to_string(group) + ".";
    if (number < 10) text += '0';
    return text + std::to_string(number);
}

}  // namespace

int SlotCount(int group) {
    return group >= 0 && group < kGroupCount ? kSlotsPerGroup : 0;
}

bool IsSlot(int group, int number) {
    return number >= 0 && number < SlotCount(group);
}

std::vector<std::string> AllAddresses() {
    std::vector<std::string> addresses;
    addresses.reserve(kSlotCount);
    for (int group = 0; group < kGroupCount; ++group)
        for (int number = 0; number < SlotCount(group); ++number)
            addresses.push_back(ParameterAddress(group, number));
    return addresses;
}

const ParameterDef* FindParameter(int code) {
    if (code < 0 || !IsSlot(GroupOf(code), NumberOf(code))) return nullptr;
    const auto rows = AllParameters();
    const auto row = std::ranges::lower_bound(rows, code, {}, &ParameterDef::code);
    return row != rows.end() && row->code == code ? &*row : nullptr;
}

std::span<const ParameterDef> GroupParameters(int group) {
    if (SlotCount(group) == 0) return {};
    const auto rows = AllParameters();
    const auto first = ParameterCode(group, 0);
    const auto last = ParameterCode(group, kSlotsPerGroup);
    const auto begin = std::ranges::lower_bound(rows, first, {}, &ParameterDef::code);
    const auto end = std::ranges::lower_bound(rows, last, {}, &ParameterDef::code);
    return {begin, end};
}

std::string ParameterAddress(int group, int number) {
    std::string address = DottedNumber(group, number);
    address.erase(1, 1);
    return address;
}

std::string DisplayNumber(int group, int number) {
    return "P" + DottedNumber(group, number);
}

std::string EditCaption(int group, int number) {
    return "Pr" + DottedNumber(group, number) + "  Edit";
}

bool IsNumeric(EditKind kind) {
    return kind == EditKind::SpinInteger || kind == EditKind::SpinReal;
}

bool InRange(const ParameterDef& def, double value) {
    return IsNumeric(def.editKind) && def.minimum <= value && value <= def.maximum;
}

std::string FormatValue(double value) {
    if (!std::isfinite(value)) throw std::invalid_argument("a value must be a finite number");
    if (value == 0) value = 0;  // no "-0"
    char text[32];  // sign, 15 digits, point and a three-digit exponent fit with room to spare
    const auto end =
        std::to_chars(text, text + sizeof text, value, std::chars_format::general, 15).ptr;
    return {text, end};
}
