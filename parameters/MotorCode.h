#pragma once
// The motor parameter Pr-0.01 names the motor type, its rated power and its
// encoder in one five-character code ("10A53": type 10, power A5, encoder 3).
// These are the tables behind that code, how it is read and composed, and the
// stepping rules of the selection window's switches. C++ standard library only.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// One row of the motor type table: the code's first two characters and how the type is shown.
struct MotorType {
    std::string_view code;    // the first two characters of the motor code
    std::string_view prefix;  // series prefix
    std::string_view letter;  // empty for row 0
    std::uint8_t segments;    // seven-segment pattern, bit 0 = segment a ... bit 6 = g
};

// One encoder, indexed by the hexadecimal digit that ends the motor code.
struct EncoderKind {
    std::string_view description;
    char shownAs;
    std::uint8_t segments;
};

std::span<const MotorType> MotorTypes();          // 19 rows
std::span<const std::string_view> RatedPowers();  // 15 codes, "A3" .. "15"
std::span<const EncoderKind> Encoders();          // 16 rows, indexed by the hex digit

// Series prefix followed by the letter ("NQVZ", "NQV" for row 0).
std::string SeriesName(int type);

// What the window shows and composes for a motor code.
struct MotorChoice {
    int type = 0;
    int power = 0;
    int encoder = 0;
    std::string powerText;  // characters 3 and 4 as the value has them, until the power is stepped
};

// Reads a motor code (blanks trimmed). A type or power matching no row gives
// row 0 / index 0 (the power text keeps the characters). A fifth character
// that is missing or not a hexadecimal digit gives the type's default encoder.
MotorChoice ReadMotorCode(std::string_view value);
// Type code + power code + encoder as one upper-case hexadecimal digit.
std::string ComposeMotorCode(const MotorChoice& choice);

// The encoder a type change sets: 0 for rows 0-2, 8 for rows 3-8, 9 for rows 9-18.
int DefaultEncoder(int type);
// Type switch: rows 15 and 16 are skipped, the result stays within 0..18.
int StepMotorType(int type, int delta);
// Power switch: within 0..14.
int StepRatedPower(int power, int delta);
// Encoder switch: only among the encoders the type allows (0-7; 8, 11, 13; 9-15).
int StepEncoder(int type, int encoder, int delta);
