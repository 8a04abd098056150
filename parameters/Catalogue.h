#pragma once
// The drive's parameter catalogue: how a parameter is numbered and addressed
// on the wire, and the constant table of the parameters this tool knows (texts,
// edit kind, range, default). Pure functions of constant data, safe from any
// thread.

#include <span>
#include <string>
#include <vector>

// A parameter value exactly as the drive reports it and as it is sent back.
using ValueText = std::string;

// How a parameter's value is edited.
enum class EditKind { SpinInteger, SpinReal, BitFields, MotorSelection, MonitorSelection };

// One catalogue row. minimum and maximum are an inclusive range and only mean
// something for the numeric kinds (SpinInteger, SpinReal); they are 0 otherwise.
struct ParameterDef {
    int code;  // ParameterCode: group * 100 + number
    std::string name, unit, description;
    EditKind editKind;
    double minimum, maximum;
    std::string defaultValue;  // what INIT writes
};

// The slots the drive is asked for: groups 0..6, numbers 0..18 in each.
inline constexpr int kGroupCount = 7;
inline constexpr int kSlotsPerGroup = 19;
inline constexpr int kSlotCount = kGroupCount * kSlotsPerGroup;

constexpr int ParameterCode(int group, int number) {
    return group * 100 + number;
}
constexpr int GroupOf(int code) {
    return code / 100;
}
constexpr int NumberOf(int code) {
    return code % 100;
}

// Numbers in use in a group: kSlotsPerGroup for groups 0..6, 0 for any other.
int SlotCount(int group);
// Whether group/number is one of the kSlotCount slots read from the drive.
bool IsSlot(int group, int number);
// The addresses of all slots in block-read order: "000" .. "018", "100" .. "618".
std::vector<std::string> AllAddresses();

// All rows in code order.
std::span<const ParameterDef> AllParameters();
// The row for a code; null for slots without a row and codes outside the slots.
const ParameterDef* FindParameter(int code);
// The rows of one group in number order; empty for a group outside 0..6.
std::span<const ParameterDef> GroupParameters(int group);

// The three-character wire address: group digit, number as two digits ("103",
// "012"). Numbers up to 99 are accepted because parameter files carry a
// twentieth slot (number 19). Throws std::out_of_range for a group outside
// 0..9 or a number outside 0..99.
std::string ParameterAddress(int group, int number);
// "P1.03": the editor grid's number column. Same domain as ParameterAddress.
std::string DisplayNumber(int group, int number);
// "Pr1.10  Edit": the caption of the function-bit settings window.
std::string EditCaption(int group, int number);

bool IsNumeric(EditKind kind);
// minimum <= value <= maximum for numeric rows; false for the other kinds and NaN.
bool InRange(const ParameterDef& def, double value);

// The general decimal form of a composed value: up to 15 significant digits,
// no trailing zeros, a point as separator whatever the locale ("100", "-5000",
// "150.5"). Throws std::invalid_argument for infinities and NaN, which have no
// form the drive accepts.
std::string FormatValue(double value);
