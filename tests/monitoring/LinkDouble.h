#pragma once
// A link for the step machines: records what they send, and lets a test say
// whether the link is free and what the last reply held.

#include <string>
#include <vector>

#include "monitoring/MonitorLink.h"

class LinkDouble : public IMonitorLink {
  public:
    bool LinkFree() const override { return free; }
    bool LinkAlive() const override { return alive; }
    const std::string& PendingCommand() const override { return command; }
    const std::string& PendingData() const override { return data; }
    std::string& ReadValue() override { return value; }
    void Send(std::string_view c, std::string_view d, std::uint8_t state) override {
        command = c;
        data = d;
        sent.push_back(command + data + "/" + std::to_string(state));
        free = freeAfterSend;
    }
    void Poll(std::string_view c, std::uint8_t state) override {
        command = c;
        sent.push_back(command + "/" + std::to_string(state));
        free = freeAfterSend;
    }

    bool free = true;
    bool alive = true;
    bool freeAfterSend = false;  // a send makes the link busy until the test frees it
    std::string command, data, value;
    std::vector<std::string> sent;
};
