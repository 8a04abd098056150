#include "monitoring/StartupSequence.h"

#include <string>

#include "protocol/Comm.h"
#include "protocol/Commands.h"

namespace {

// The address of Pr-0.nn.
std::string AssignmentAddress(int parameter) {
    std::string address = parameter < 10 ? "00" : "0";
    address += std::to_string(parameter);
    return address;
}

}  // namespace

void StartupSequence::Tick(IMonitorLink& link, IWindow& window) {
    if (PollStep == 0 && link.LinkFree()) {
        link.Send(Cmd::LIV, {}, AwaitAliveAck);
        PollStep = 1;
    }
    auto ready = [&] { return link.LinkAlive() && link.LinkFree(); };
    if (PollStep == 1 && ready()) {
        link.Send(Cmd::TYP, {}, AwaitData);
        PollStep = 2;
    }
    if (PollStep == 2 && ready()) {
        link.Send(Cmd::VER, {}, AwaitData);
        PollStep = 3;
    }
    if (PollStep == 3 && ready()) {
        link.Send(Cmd::STS, {}, AwaitData);
        PollStep = ReadIoAssignment ? 4 : kDone;
    }
    if (PollStep == 4 && ready()) {
        link.Send(Cmd::SET, AssignmentAddress(5), AwaitData);
        PollStep = 5;
    }
    // Steps 5..10: the value of Pr-0.(k) has arrived; read the next one.
    if (PollStep >= 5 && PollStep <= 10 && ready()) {
        window.ApplyIoAssignment(PollStep, link.ReadValue());
        link.Send(Cmd::SET, AssignmentAddress(PollStep + 1), AwaitData);
        ++PollStep;
    }
    if (PollStep == 11 && ready()) {
        window.ApplyIoAssignment(11, link.ReadValue());
        PollStep = kDone;
    }
    if (PollStep == kDone && ready()) {
        PollStep = 0;
        ReadIoAssignment = false;
        window.StartupComplete();
    }
}
