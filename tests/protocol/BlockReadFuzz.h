#pragma once
// One fuzz run of a whole block read: the engine reads every parameter slot
// from a drive that answers in order, and the input bytes decide how the
// drive's answers reach the engine: in chunks cut anywhere, after stalls long
// enough to make the engine resend (the drive then answers every copy), with
// copies the drive never heard. Afterwards every slot that was stored must
// hold its own value, and a read that did not finish must have said why.
// Shared by the seeded driver of the normal suite and the libFuzzer target.
//
// The drive is never silent for a guard time between the answers it owes to
// the copies of one request: that is the one thing the engine must assume,
// since replies carry no address.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "tests/protocol/EngineDoubles.h"

namespace blockread {

constexpr int kSlots = 40;  // enough for several resends and drains in one read

inline std::string Address(int slot) {
    return std::string{char('0' + slot / 19), char('0' + slot % 19 / 10),
                       char('0' + slot % 19 % 10)};
}
// Every slot has a value of its own; every seventh is unused and answered US.
inline std::string ValueOf(int slot) {
    return slot % 7 == 3 ? "" : "V" + std::to_string(slot);
}

// Stores each value under the address it asked for and asks for the next.
struct Reader : IParameterEditor {
    TComm* comm = nullptr;
    int slot = 0;
    bool done = false;
    std::map<int, std::string> stored;
    void Start() {
        comm->ContinuationKind = 1;
        Ask();
    }
    void BlockReadStep() override {
        const bool rejected = comm->LinkState == ReplyDone && comm->CommError == 1;
        if (!rejected) stored[slot] = comm->ReadData.Data;
        if (++slot == kSlots) {
            comm->ContinuationKind = 0;
            comm->LinkState = Idle;
            done = true;
            return;
        }
        Ask();
    }
    void RollBackRefusedWrite() override {}
    void Ask() {
        comm->SendData.Command = "SET";
        comm->SendData.Data = Address(slot);
        comm->SendCommand("SET", Address(slot));
        comm->LinkState = AwaitData;
    }
};

// The drive: hears the frames the engine wrote (unless deaf to one) and queues
// one answer a frame, in order. `request` tells which request an answer is for.
struct Drive {
    struct Answer {
        std::string bytes;
        int request;
        bool started = false;
    };
    std::deque<Answer> outbox;
    std::size_t heard = 0;
    int deafTo = 0;  // frames to ignore
    int lastAnswered = -1;

    void Hear(const std::vector<std::string>& written) {
        for (; heard < written.size(); ++heard) {
            if (deafTo > 0) {
                --deafTo;
                continue;
            }
            const std::string& frame = written[heard];
            const std::size_t at = frame.find("SET");
            const int slot =
                (frame[at + 3] - '0') * 19 + (frame[at + 4] - '0') * 10 + (frame[at + 5] - '0');
            const std::string value = ValueOf(slot);
            outbox.push_back({value.empty() ? Byte(Frame::US) : Reply("SET" + value), slot});
        }
    }
    // True when the answer in front is owed to a copy of a request already answered.
    bool OwesACopy() const { return !outbox.empty() && outbox.front().request == lastAnswered; }
    // Takes up to `count` bytes off the front of the queue.
    std::string Take(std::size_t count) {
        std::string chunk;
        while (count > 0 && !outbox.empty()) {
            Answer& answer = outbox.front();
            const std::size_t n = std::min(count, answer.bytes.size());
            chunk += answer.bytes.substr(0, n);
            answer.bytes.erase(0, n);
            count -= n;
            lastAnswered = answer.request;
            if (answer.bytes.empty()) outbox.pop_front();
        }
        return chunk;
    }
};

struct Verdict {
    bool ok = true;
    std::string why;
};

inline Verdict RunOnce(const std::uint8_t* data, std::size_t size) {
    std::size_t at = 0;
    auto next = [&]() -> std::uint8_t { return at < size ? data[at++] : 0; };

    EngineRig rig;
    Reader reader;
    Drive drive;
    reader.comm = &rig.comm;
    rig.comm.EditorRef = &reader;
    rig.comm.ReaderRef = &reader;
    rig.comm.ActiveWindow = EditorActive;
    rig.comm.ResendCount = 0;
    reader.Start();

    auto tick = [&](int n) {
        for (int i = 0; i < n; ++i) {
            rig.comm.HandleTimeout();
            drive.Hear(rig.port.written);
        }
    };
    // Ticks of silence since the last bytes while the drive owes a copy's answer:
    // together they stay below the guard, however many stalls the input asks for.
    int quietWhileOwing = 0;
    auto deliver = [&](std::size_t bytes) {
        drive.Hear(rig.port.written);
        const std::string chunk = drive.Take(bytes);
        if (!chunk.empty()) {
            rig.comm.HandleChunk(chunk);
            quietWhileOwing = 0;
        }
        drive.Hear(rig.port.written);
    };
    const auto settled = [&] {
        const auto state = rig.comm.LinkState;
        return rig.comm.ContinuationKind == 0 && !rig.comm.Draining() &&
               (state == Idle || state == ReplyDone);
    };

    while (at < size && !settled()) {
        drive.Hear(rig.port.written);
        const std::uint8_t op = next();
        switch (op % 6) {
            case 0:
            case 1:
                deliver(1 + next() % 40);
                break;  // a chunk cut anywhere
            case 2:
                deliver(1000);
                break;  // all that is queued
            case 3:
                if (drive.OwesACopy()) {
                    const int ticks = std::min<int>(next() % TComm::kMinGuardTicks,
                                                    TComm::kMinGuardTicks - 1 - quietWhileOwing);
                    tick(ticks);
                    quietWhileOwing += ticks;
                }
                break;
            case 4:  // a stall: nothing answered
                if (!drive.OwesACopy()) tick(next() % 30);
                break;
            case 5:
                drive.deafTo = next() % 3;
                break;  // copies lost on the way
        }
    }
    // The rest goes smoothly: whole answers as they come, silence only when none is due.
    for (int step = 0; step < 20000 && !settled(); ++step) {
        drive.Hear(rig.port.written);
        if (!drive.outbox.empty())
            deliver(drive.outbox.front().bytes.size());
        else
            tick(1);
    }

    if (!settled()) return {false, "the read never ended"};
    for (const auto& [slot, value] : reader.stored) {
        if (value != ValueOf(slot))
            return {false, "slot " + Address(slot) + " holds '" + value + "'"};
    }
    if (!reader.done && rig.comm.CommError == 0)
        return {false, "the read stopped without an error"};
    return {};
}

}  // namespace blockread
