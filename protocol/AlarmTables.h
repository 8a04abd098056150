#pragma once
// Names of the drive's alarm and warning codes and the axis labels, plus the
// conversion every reader of a two-character code shares.

#include <array>
#include <stdexcept>
#include <string>
#include <string_view>

// A code that is not a decimal number or lies outside 0..99.
struct CodeError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

extern const std::array<std::string, 100> AlarmNames;
extern const std::array<std::string, 100> WarningNames;
extern const std::array<std::string, 36> AxisChars;

// Trims blanks and reads a signed decimal integer; throws CodeError otherwise.
int ReadDecimal(std::string_view text);
// ReadDecimal, then checks 0..99; the index of AlarmNames / WarningNames.
int ReadCode(std::string_view text);
