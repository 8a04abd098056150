#pragma once
// The drive status reply (STS) taken apart into the fields the status display
// shows: control mode LEDs, the two flag LEDs and the status word.

#include <optional>
#include <string>
#include <string_view>

struct ModeLeds {
    bool position = false, velocity = false, torque = false, contact = false;
    bool operator==(const ModeLeds&) const = default;
};

struct StatusReply {
    enum class Mode { Lit, Unchanged, Unknown, ReadError };
    enum class Word { Run, Alarm, Warning, Other };

    Mode mode = Mode::Unchanged;
    ModeLeds leds;  // meaningful when mode is Lit
    bool speedMatch = false;
    bool tgOn = false;
    std::string word;  // centre text of LedR_Status
    Word wordKind = Word::Other;
    int code = 0;  // alarm or warning number for Word::Alarm / Word::Warning

    // Text for the main status panel, if the reply sets one.
    std::optional<std::string> StatusText() const;
    // True when the reply is a rejection with CommError 1 (unknown mode).
    bool RejectsMode() const { return mode == Mode::Unknown || mode == Mode::ReadError; }
};

inline constexpr const char* kUnknownModeText = "Noting Control Mode!!";
inline constexpr const char* kModeReadErrorText = "Status Control Mode Read Error!!";

// `value` is the reply from frame position 7 on. Throws (std::exception) when it
// is too short for the flags or the status word, or its code is not 0..99.
StatusReply ParseStatusReply(std::string_view value);
