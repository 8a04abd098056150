#pragma once
// The catalogue of every command mnemonic sent to the drive: the answer its
// sender waits for and the decoder that handles its data reply.

#include <cstdint>
#include <span>
#include <string_view>

namespace Cmd {
inline constexpr std::string_view SET = "SET", STR = "STR", CHP = "CHP", TYP = "TYP", VER = "VER",
                                  STS = "STS", MDM = "MDM", MOR = "MOR", TMN = "TMN", TAT = "TAT",
                                  ETC = "ETC", JOG = "JOG", SVRON = "SVRON", SVROFF = "SVROFF",
                                  SVROF = "SVROF", RST = "RST", LIV = "LIV", LIVE = "LIVE",
                                  MOT = "MOT", ESC = "ESC", EHY = "EHY", DIE = "DIE";
}  // namespace Cmd

// Which decoder handles a command's data reply.
enum class Decoder : std::uint8_t {
    None,          // answered with ACK, or read by a continuation reader
    Value,         // SET, DIE: station + echo, value from position 7
    MonitorValue,  // MDM, MOR: as Value, then the monitoring window shows it
    CaptureValue,  // MOT: station only, value from position 4
    ProgressWord,  // TAT, ETC: station only, the word at positions 4-6
    MotorType,     // TYP
    Version,       // VER
    Status,        // STS
    AlarmHistory,  // EHY
};

struct CommandDef {
    std::string_view mnemonic;
    std::uint8_t answer;      // LinkState the sender sets after SendCommand
    std::uint8_t pollAnswer;  // LinkState while a procedure is polled, 0 if never polled
    Decoder decoder;
    std::string_view purpose;
};

std::span<const CommandDef> Commands();
const CommandDef* FindCommand(std::string_view mnemonic);
Decoder DecoderFor(std::string_view mnemonic);
