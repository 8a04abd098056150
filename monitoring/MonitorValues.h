#pragma once
// What an MDM reply shows: its fields split at '&', which field goes to which
// slot's read-out or graph channel, the direction arrows of the first graph
// value and the I/O word. Malformed replies throw, so the engine handles
// them as it does any decoder error.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::size_t kMaxMonitorFields = 5;

// Throws std::out_of_range on a sixth field.
std::vector<std::string> SplitMonitorFields(std::string_view value);

// A hexadecimal word 0..FFFF; throws std::invalid_argument otherwise.
unsigned ReadIoWord(std::string_view field);

// A field as a real number; throws std::invalid_argument when it is none.
double ReadMonitorNumber(std::string_view field);

// LedA_N points left and is lit for a positive value, LedA_P for a negative one.
struct DirectionArrows {
    bool n = false, p = false;
    bool operator==(const DirectionArrows&) const = default;
};
DirectionArrows ArrowsFor(double value);

// Where the window stands when a reply arrives.
struct MonitorLayout {
    bool normalMode = false;           // Led_SelectD lit (else Led_SelectDG)
    int page = 0;                      // MonitorPage
    std::array<std::string, 9> codes;  // SlotCode[1..8]; index 0 unused
    bool ioBox = true;                 // CheckBox_IOMot
};

struct MonitorView {
    std::array<std::optional<std::string>, 9> digits;  // Label_Dig1..8 texts to set
    std::optional<DirectionArrows> arrows;
    std::vector<double> graphValues;  // channel 0, 1, ... on the graph page
    std::optional<unsigned> ioWord;
};

// Throws (std::exception) when the reply has too many fields, too few for the
// selected slots, a non-numeric value where one is read as a number, or a bad I/O word.
MonitorView ReadMonitorValues(std::string_view value, const MonitorLayout& layout);
