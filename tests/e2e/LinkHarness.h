#pragma once
// The main window's share of a drive exchange, reduced to what the engine
// needs: the serial port feeding received chunks to TComm, a 50 ms time-out
// tick, and hooks and a monitoring window that record what they were told.

#include <QCoreApplication>
#include <QTimer>
#include <string>
#include <vector>

#include "platform/ComPort.h"
#include "protocol/Comm.h"

namespace e2e {

inline void EnsureApplication() {
    static int argc = 1;
    static char name[] = "link_e2e";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
}

// Records what the engine shows; the time-out tick is switched through `timer`.
class RecordingHooks : public IEngineHooks {
  public:
    explicit RecordingHooks(QTimer& timer) : timer_(timer) {}

    void SetStatusText(const std::string& text) override { statusTexts.push_back(text); }
    void SetCommLed(bool on) override { commLed = on; }
    void SetTimeoutTimer(bool enabled) override {
        if (!enabled)
            timer_.stop();
        else if (!timer_.isActive())
            timer_.start();
    }
    void ShowWarning(const std::string& text) override { warnings.push_back(text); }
    void RestoreCursor() override {}
    void PauseMs(int ms) override { pausedMs += ms; }

    std::vector<std::string> statusTexts;
    std::vector<std::string> warnings;
    bool commLed = false;
    int pausedMs = 0;

  private:
    QTimer& timer_;
};

// Keeps what the version and type decoders hand to the monitoring window.
class RecordingMonitor : public IMonitorWindow {
  public:
    void SetLinkControls(bool) override {}
    void StopOnAbort() override {}
    void StopPollTimer() override {}
    void AcknowledgeAlarm() override {}
    bool ManualOffsetActive() const override { return false; }
    void ShowMonitorValues() override {}
    void ReadMonitorStream() override {}
    void ShowMotorName(const std::string& name) override { motorName = name; }
    void ShowVersion(const std::string& text) override { version = text; }
    void ShowDriveStatus(const StatusReply&) override {}

    std::string motorName, version;
};

// TComPort + TComm wired the way the main window wires them.
class EngineLink {
  public:
    EngineLink() {
        EnsureApplication();
        timeoutTick.setInterval(50);
        QObject::connect(&timeoutTick, &QTimer::timeout, [this] { comm.HandleTimeout(); });
        QObject::connect(&port, &TComPort::OnRxChar, [this](int count) { ComPortRxChar(count); });
        QObject::connect(&port, &TComPort::LinkLost, [this](const QString&) {
            ++linksLost;
            timeoutTick.stop();  // going off line stops the tick, LinkState stays
        });
        comm.MonitorRef = &monitor;
    }

    void Open(const std::string& device, PortSettings settings = {}) {
        settings.Port = QString::fromStdString(device);
        port.SetSettings(settings);
        port.Open();
    }

    // A window's send: SendData, SendCommand, then the state it expects.
    void Send(const std::string& command, const std::string& data, LinkStates awaited) {
        comm.SendData.Command = command;
        comm.SendData.Data = data;
        comm.SendCommand(command, data);
        comm.LinkState = awaited;
    }

    // True when nothing is awaited any more and the time-out tick is off.
    bool Settled() const {
        return (comm.LinkState == Idle || comm.LinkState == ReplyDone) && !timeoutTick.isActive();
    }

    QTimer timeoutTick;
    TComPort port;
    RecordingHooks hooks{timeoutTick};
    RecordingMonitor monitor;
    TComm comm{port, hooks};
    int linksLost = 0;

  private:
    void ComPortRxChar(int count) {
        comm.RxBuffer.clear();
        port.PortRead(comm.RxBuffer, count);
        comm.HandleChunk();
    }
};

}  // namespace e2e
