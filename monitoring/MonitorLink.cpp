#include "monitoring/MonitorLink.h"

#include "protocol/Comm.h"

bool CommLink::LinkFree() const {
    return comm_.LinkState == Idle || comm_.LinkState == ReplyDone;
}

bool CommLink::LinkAlive() const {
    return comm_.LinkAlive == 1;
}

const std::string& CommLink::PendingCommand() const {
    return comm_.SendData.Command;
}

const std::string& CommLink::PendingData() const {
    return comm_.SendData.Data;
}

std::string& CommLink::ReadValue() {
    return comm_.ReadData.Data;
}

void CommLink::Send(std::string_view command, std::string_view data, std::uint8_t linkState) {
    comm_.Request(command, data, linkState);
}

void CommLink::Poll(std::string_view command, std::uint8_t linkState) {
    comm_.Poll(command, linkState);
}
