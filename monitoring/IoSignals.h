#pragma once
// The captions of the twelve I/O LEDs and the I/O word that lights them.
// The captions of the input and output pins follow the drive's signal
// assignment parameters (Pr-0.05 .. Pr-0.11) and are kept for the life of the
// program: a monitoring window opened again shows what the last one read.

#include <array>
#include <string>
#include <string_view>

class IoSignalNames {
  public:
    static constexpr int kLabels = 10;  // DI#1..DI#7, DO#1..DO#3
    static constexpr int kLeds = 12;    // 3 rows x 4 columns

    IoSignalNames();

    // IoLabels[1..10].
    const std::string& IoLabel(int n) const { return labels_.at(static_cast<std::size_t>(n - 1)); }
    // Pr-0.05 (parameter 5) .. Pr-0.11 (11): each examined digit names the pin of
    // its column's signal. Digits that name no pin, missing or non-digit
    // characters, and other parameters change nothing.
    void ApplyIoAssignment(int parameter, std::string_view value);
    // The twelve LED captions, row by row (bit n of the I/O word is caption n).
    std::array<std::string, kLeds> Captions() const;

  private:
    std::array<std::string, kLabels> labels_;
};

// The program-wide captions.
IoSignalNames& IoLabels();

// LED n (row n / 4, column n % 4) is lit by bit n of the word.
std::array<bool, IoSignalNames::kLeds> IoLeds(unsigned word);
