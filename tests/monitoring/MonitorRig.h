#pragma once
// A monitoring window on a real engine whose port is a scripted drive: every
// request is logged as mnemonic + data and answered by a table the test can
// change; replies wait until the test delivers them. Timers are stepped by
// hand and pauses return at once.

#include <QApplication>
#include <QTest>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "monitoring/MonitoringFrm.h"
#include "platform/Pause.h"
#include "platform/ThreadTimers.h"
#include "protocol/Frame.h"
#include "sim/RequestStream.h"
#include "tests/parameters/EditorRig.h"
#include "widgets/MessageService.h"

inline std::string Ack() {
    return std::string(1, Frame::ACK);
}
inline std::string Data(std::string_view body) {
    return Frame::BuildReply('R', body);
}

class ScriptedPort : public ILinkPort {
  public:
    bool Connected() const override { return true; }
    void PortWrite(const std::string& bytes) override {
        const auto request = ParseRequest(bytes);
        if (!request) return;
        const std::string mnemonic(request->mnemonic), data(request->data);
        requests.push_back(mnemonic + data);
        if (auto reply = Answer(mnemonic, data)) pending.push_back(*reply);
    }

    // Answers by mnemonic + data first, then by mnemonic; nullopt: silence.
    std::optional<std::string> Answer(const std::string& mnemonic, const std::string& data) {
        if (auto it = replies.find(mnemonic + data); it != replies.end()) return it->second;
        if (auto it = replies.find(mnemonic); it != replies.end()) return it->second;
        return std::nullopt;
    }

    std::map<std::string, std::optional<std::string>> replies = {
        {"LIV", Ack()},
        {"TYP", Data("TYP-_A5")},
        {"VER", Data("VERV1.20")},
        {"STS", Data("STSP 00RDY")},
        {"SET", Data("SET0000")},
        {"MDM", Data("MDM0&0000")},
        {"SVRON", Ack()},
        {"SVROFF", Ack()},
        {"SVROF", Ack()},
        {"RST", Ack()},
        {"JOG", Ack()},
        {"TMN", Ack()},
        {"STR", Ack()},
        {"TAT", Ack()},
        {"ETC", Ack()},
    };
    std::vector<std::string> requests;
    std::deque<std::string> pending;
};

struct MonitorRig {
    MonitorRig() {
        TiThreadTimers::SetDefaultMode(TiThreadTimers::Mode::Manual);
        Pause::SetSkipping(true);
    }

    std::unique_ptr<TFrm_Monitoring> Open() {
        auto window = std::make_unique<TFrm_Monitoring>(comm);
        window->show();
        window->FormActivate();
        return window;
    }

    // Hands every queued reply to the engine, as the receive handler does.
    void Deliver() {
        while (!port.pending.empty()) {
            comm.RxBuffer = port.pending.front();
            port.pending.pop_front();
            comm.HandleChunk();
        }
    }

    // Ticks a channel of one of the window's timers, delivering replies after each tick.
    void Tick(TiThreadTimers* timers, int channel, int count = 1) {
        for (int i = 0; i < count; ++i) {
            timers->Fire(channel);
            Deliver();
        }
    }
    // Runs the start-up sequence to its end.
    void StartUp(TFrm_Monitoring& window) {
        for (int i = 0; i < 40 && window.MonitorTimers()->Enabled(1); ++i)
            Tick(window.MonitorTimers(), 1);
    }

    std::vector<std::string> TakeRequests() {
        std::vector<std::string> taken;
        taken.swap(port.requests);
        return taken;
    }

    ScriptedPort port;
    RecordingHooks hooks;
    TComm comm{port, hooks};
    MessageCapture boxes;
};

template <typename T>
T* Find(QWidget* window, const char* name) {
    T* child = window->findChild<T*>(name);
    if (!child) qFatal("no control %s", name);
    return child;
}
