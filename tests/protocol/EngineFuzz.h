#pragma once
// One fuzz run of the engine: the input bytes choose the awaited state, the
// shared flags and a sequence of chunks; afterwards five silent ticks must
// leave the link idle, done, or resending. Shared by the seeded driver of the
// normal suite and the libFuzzer target.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "protocol/Commands.h"
#include "protocol/ReplyFields.h"
#include "protocol/StatusReply.h"
#include "tests/protocol/EngineDoubles.h"

struct FuzzVerdict {
    bool ok = true;
    std::string why;
};

inline FuzzVerdict FuzzEngineOnce(const std::uint8_t* data, std::size_t size) {
    std::size_t at = 0;
    auto next = [&]() -> std::uint8_t { return at < size ? data[at++] : 0; };

    EngineRig rig;
    RecordingReader reader;
    RecordingMonitor monitor;
    reader.comm = &rig.comm;
    reader.sendNext = next() % 4;
    rig.comm.EditorRef = &reader;
    rig.comm.ReaderRef = &reader;
    rig.comm.MonitorRef = &monitor;
    rig.comm.ActiveWindow = next() % 6;
    rig.comm.GraphTimeSelect = next() % 2;
    rig.comm.ContinuationKind = next() % 5;
    const auto commands = Commands();
    const CommandDef& command = commands[next() % commands.size()];
    const std::uint8_t states[] = {AwaitAck, AwaitData, AwaitAliveAck, Idle};
    rig.Send(command.mnemonic, "000", states[next() % 4]);

    // Chunks: a length byte, then that many bytes, until the input ends.
    while (at < size) {
        const std::size_t length = next();
        std::string chunk;
        while (chunk.size() < length && at < size) chunk += static_cast<char>(next());
        rig.comm.HandleChunk(chunk);
        // The pure readers must reject rather than crash.
        try {
            (void)ReplyValue(chunk);
        } catch (const std::exception&) {
        }
        try {
            (void)ReadMotorName(chunk);
        } catch (const std::exception&) {
        }
        try {
            (void)ParseStatusReply(chunk);
        } catch (const std::exception&) {
        }
        try {
            (void)Frame::ChecksumMatches(chunk);
        } catch (const Frame::ChecksumOverflow&) {
        }
    }

    const auto sentBefore = rig.port.written.size();
    rig.Ticks(5);
    const bool resent = rig.port.written.size() > sentBefore;
    const auto state = rig.comm.LinkState;
    if (state == Idle || state == ReplyDone || resent) return {};
    if (rig.comm.PartialReply.size() > TComm::kMaxReplyBytes) return {false, "unbounded reply"};
    if (!rig.hooks.timer)
        return {false, "waiting with no time-out: state " + std::to_string(state)};
    return {false, "no resend after five silent ticks: state " + std::to_string(state)};
}
