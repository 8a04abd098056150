#include "protocol/Commands.h"

#include <algorithm>

namespace {

using enum Decoder;

constexpr CommandDef kCommands[] = {
    {Cmd::SET, 3, 0, Value, "read one parameter value"},
    {Cmd::STR, 2, 0, None, "write a parameter value"},
    {Cmd::CHP, 2, 0, None, "write a parameter value during a block download"},
    {Cmd::TYP, 3, 0, MotorType, "motor type"},
    {Cmd::VER, 3, 0, Version, "firmware version"},
    {Cmd::STS, 3, 0, Status, "drive status"},
    {Cmd::MDM, 3, 0, MonitorValue, "read monitored values once"},
    {Cmd::MOR, 3, 0, MonitorValue, "monitoring stream"},
    {Cmd::TMN, 2, 0, None, "manual offset adjustment steps"},
    {Cmd::TAT, 2, 3, ProgressWord, "start a drive procedure and poll its progress word"},
    {Cmd::ETC, 2, 3, ProgressWord, "miscellaneous drive procedures"},
    {Cmd::JOG, 2, 0, None, "jog stop, forward, reverse"},
    {Cmd::SVRON, 2, 0, None, "servo on"},
    {Cmd::SVROFF, 2, 0, None, "servo off"},
    {Cmd::SVROF, 2, 0, None, "servo off when the jog switch is turned off"},
    {Cmd::RST, 2, 0, None, "reset the drive alarm"},
    {Cmd::LIV, 6, 0, None, "alive check"},
    {Cmd::LIVE, 6, 0, None, "alive check"},
    {Cmd::MOT, 2, 3, CaptureValue, "start and read a triggered capture"},
    {Cmd::ESC, 2, 0, None, "stop triggering"},
    {Cmd::EHY, 3, 0, AlarmHistory, "read the alarm history"},
    {Cmd::DIE, 3, 0, Value, "read the data recorded at an alarm"},
};

}  // namespace

std::span<const CommandDef> Commands() {
    return kCommands;
}

const CommandDef* FindCommand(std::string_view mnemonic) {
    auto it = std::ranges::find(kCommands, mnemonic, &CommandDef::mnemonic);
    return it == std::end(kCommands) ? nullptr : &*it;
}

Decoder DecoderFor(std::string_view mnemonic) {
    const CommandDef* def = FindCommand(mnemonic);
    return def ? def->decoder : Decoder::None;
}
