#pragma once
// The named choices behind the function-bit parameters: for each one a
// function title and, for each of its four digits, a label and the options
// the digit selects (entry n is digit value n); the eleven control-mode codes
// of Pr-0.00; and the four-digit form in which values are read and composed.
// C++ standard library only.

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// One digit of a function-bit value as the user sees it.
struct ChoiceRow {
    std::string label;
    std::vector<std::string> entries;  // entry n selects digit value n
    bool enabled = true;               // a Reserved row is shown disabled and keeps its digit
};

// What the settings dialog shows for one function-bit parameter other than Pr-0.00.
struct BitFieldLayout {
    std::string title;
    // byDigit[0] is the units digit (the last character, the dialog's top row);
    // byDigit[3] the first character (the bottom row).
    std::array<ChoiceRow, 4> byDigit;

    // The row for character k (1..4) of the value text.
    const ChoiceRow& ForCharacter(int k) const { return byDigit[4 - k]; }
};

// The dialog's layout for a function-bit code other than 0; null for any other code.
const BitFieldLayout* FindBitFieldLayout(int code);

// The function title of a function-bit code, 0 included; empty for other codes.
std::string FunctionTitle(int code);

// One of the control modes of Pr-0.00: the label beside its lamp and its value text.
struct ControlMode {
    std::string label;
    std::string code;  // the value text of Pr-0.00
};

// The eleven control modes in LED order ("POSITION" "1" ... "NETWORK" "10").
std::span<const ControlMode> ControlModes();
// The mode whose code equals `value` with blanks trimmed from both ends; -1 for none.
int ControlModeIndex(std::string_view value);

// The four characters the dialog reads from a value text: blanks trimmed, a
// shorter text read as a number padded on the left with zeros ("765" gives
// "0765", "" gives "0000"), a longer one cut to its first four characters.
std::string FourDigits(std::string_view value);

// 0..9 for a decimal digit character, -1 for anything else.
int DigitValue(char c);

// The entry index to select for character k (1..4) of `value`: its digit
// value when the row has such an entry, -1 (no entry chosen) otherwise.
int ChosenEntry(const BitFieldLayout& layout, std::string_view value, int k);

// Composes the new value text. chosen[k - 1] is the entry chosen for
// character k, or -1 when none is chosen. An enabled row with a chosen entry
// gives that index; a Reserved row, or a row with nothing chosen, keeps the
// character the old value has there. Always four characters.
std::string ComposeBitFields(const BitFieldLayout& layout, std::string_view oldValue,
                             const std::array<int, 4>& chosen);
