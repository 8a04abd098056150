#pragma once
// Pure readings of reply values: the motor name of a TYP reply and the
// entries of an alarm history (EHY) reply.

#include <optional>
#include <string>
#include <string_view>

// The value of a data reply: frame positions 7 up to the first ':' (empty when
// the frame is too short). Returns nullopt when no ':' follows.
std::optional<std::string> ReplyValue(std::string_view frame, std::size_t firstPosition = 7);

struct MotorName {
    std::string text;         // prefix + capacity + suffix
    bool recognised = false;  // false: the series prefix matched nothing
};

// `value` is the TYP reply value (frame position 7 on). Throws (std::exception)
// when the capacity is neither a known code nor a decimal number.
MotorName ReadMotorName(std::string_view value);

struct HistoryEntry {
    enum class Kind { None, Code, NotInitialised } kind;
    int code = 0;  // for Kind::Code
};

// Entry `row` (1..8) of an EHY reply frame. Throws when it is missing or not 0..99.
HistoryEntry ReadHistoryEntry(std::string_view frame, int row);
