#pragma once
// The engine as the monitoring window's step machines use it: whether the
// link is free, the last reply value, and sending a request with the answer
// it expects. CommLink is the real one; tests put a recording double in.

#include <cstdint>
#include <string>
#include <string_view>

class TComm;

class IMonitorLink {
  public:
    virtual ~IMonitorLink() = default;
    virtual bool LinkFree() const = 0;  // Idle or ReplyDone
    virtual bool LinkAlive() const = 0;
    virtual const std::string& PendingCommand() const = 0;  // SendData.Command
    virtual const std::string& PendingData() const = 0;     // SendData.Data
    virtual std::string& ReadValue() = 0;                   // ReadData.Data
    // Sets SendData to the command and data, sends, then sets LinkState.
    virtual void Send(std::string_view command, std::string_view data, std::uint8_t linkState) = 0;
    // A progress poll: the command again with empty data; SendData.Data keeps the operation's code.
    virtual void Poll(std::string_view command, std::uint8_t linkState) = 0;
};

class CommLink : public IMonitorLink {
  public:
    explicit CommLink(TComm& comm) : comm_(comm) {}
    bool LinkFree() const override;
    bool LinkAlive() const override;
    const std::string& PendingCommand() const override;
    const std::string& PendingData() const override;
    std::string& ReadValue() override;
    void Send(std::string_view command, std::string_view data, std::uint8_t linkState) override;
    void Poll(std::string_view command, std::uint8_t linkState) override;

  private:
    TComm& comm_;
};
