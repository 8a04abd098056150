#include "protocol/StatusReply.h"

#include <stdexcept>

#include "protocol/AlarmTables.h"

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

struct ModeRow {
    std::string_view text;
    ModeLeds leds;
};

// position, velocity, torque, contact
constexpr ModeRow kModes[] = {
    {"P", {true, false, false, false}}, {"S", {false, true, false, false}},
    {"T", {false, false, true, false}}, {"C", {false, false, false, true}},
    {"CT", {false, false, true, true}}, {"CS", {false, true, false, true}},
    {"CP", {true, false, false, true}}, {"TS", {false, true, true, false}},
    {"TP", {true, false, true, false}}, {"SP", {true, true, false, false}},
};

void ApplyMode(std::string_view text, StatusReply& reply) {
    for (const ModeRow& row : kModes) {
        if (row.text == text) {
            reply.mode = StatusReply::Mode::Lit;
            reply.leds = row.leds;
            return;
        }
    }
    if (text.size() == 1)
        reply.mode = StatusReply::Mode::Unchanged;
    else if (text.size() == 2)
        reply.mode = StatusReply::Mode::Unknown;
    else
        reply.mode = StatusReply::Mode::ReadError;
}

}  // namespace

StatusReply ParseStatusReply(std::string_view value) {
    if (value.size() < 5) throw std::out_of_range("status reply too short");
    StatusReply reply;
    ApplyMode(Trim(value.substr(0, 2)), reply);
    reply.speedMatch = value[2] == '1';
    reply.tgOn = value[3] == '1';
    reply.word = std::string(Trim(value.substr(4, 3)));
    if (reply.word == "RUN") {
        reply.wordKind = StatusReply::Word::Run;
    } else if (!reply.word.empty() && (reply.word[0] == 'E' || reply.word[0] == 'W')) {
        reply.wordKind =
            reply.word[0] == 'E' ? StatusReply::Word::Alarm : StatusReply::Word::Warning;
        reply.code = ReadCode(std::string_view(reply.word).substr(1, 2));
    }
    return reply;
}

std::optional<std::string> StatusReply::StatusText() const {
    if (wordKind == Word::Alarm) return AlarmNames[code];
    if (wordKind == Word::Warning) return WarningNames[code];
    if (mode == Mode::Unknown) return kUnknownModeText;
    if (mode == Mode::ReadError) return kModeReadErrorText;
    return std::nullopt;
}
