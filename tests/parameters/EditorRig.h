#pragma once
// A parameter editor on a real engine whose port talks to the stand-in drive
// in process. The drive answers each request at once; its reply waits in a
// queue until the test delivers it, the way a received chunk would arrive
// later. The progress window of a block read is the real one, its timer
// stepped by hand.

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/StatusFrm.h"
#include "parameters/Parameter.h"
#include "platform/ThreadTimers.h"
#include "protocol/Comm.h"
#include "sim/DriveSim.h"
#include "sim/RequestStream.h"
#include "tests/support/RequireHangulFont.h"

// The stand-in drive behind an in-memory port.
class SimPort : public ILinkPort {
  public:
    explicit SimPort(DriveSim& sim) : sim_(sim) {}

    bool Connected() const override { return open; }
    void PortWrite(const std::string& bytes) override {
        for (DriveSim::Exchange& exchange : sim_.Receive(bytes)) {
            for (std::string& chunk : exchange.reply.chunks)
                pending.push_back(reshape ? reshape(exchange.request, chunk) : chunk);
        }
    }

    bool open = true;
    std::deque<std::string> pending;
    // Lets a test change a reply on its way, by the request it answers.
    std::function<std::string(const std::string& request, const std::string& reply)> reshape;

  private:
    DriveSim& sim_;
};

// The main window's side of the engine, recorded instead of shown.
class RecordingHooks : public IEngineHooks {
  public:
    void SetStatusText(const std::string& text) override { status = text; }
    void SetCommLed(bool) override {}
    void SetTimeoutTimer(bool enabled) override { timeoutTimer = enabled; }
    void ShowWarning(const std::string& text) override { warnings.push_back(text); }
    void RestoreCursor() override {}
    void PauseMs(int) override {}

    std::string status;
    bool timeoutTimer = false;
    std::vector<std::string> warnings;
};

struct EditorRig {
    EditorRig() { TiThreadTimers::SetDefaultMode(TiThreadTimers::Mode::Manual); }

    // A new editor window, shown and active.
    std::unique_ptr<TParameterFrm> OpenEditor() {
        auto editor = std::make_unique<TParameterFrm>(comm, [this] { ShowProgress(); });
        editor->show();
        QApplication::setActiveWindow(editor.get());
        editor->FormActivate();
        progressOwner = editor.get();
        return editor;
    }

    // Hands every queued reply to the engine, as the receive handler does.
    void Deliver() {
        while (!port.pending.empty()) {
            comm.RxBuffer = port.pending.front();
            port.pending.pop_front();
            comm.HandleChunk();
        }
    }

    // The requests the drive received, as mnemonic + data ("SET000", "STR0046000").
    std::vector<std::string> Requests() const {
        std::vector<std::string> requests;
        for (const std::string& frame : sim.Requests()) {
            if (const auto request = ParseRequest(frame))
                requests.push_back(std::string(request->mnemonic) + std::string(request->data));
        }
        return requests;
    }
    void ForgetRequests() { sim.ClearRequests(); }

    DriveSim sim;
    SimPort port{sim};
    RecordingHooks hooks;
    TComm comm{port, hooks};
    QWidget* progressOwner = nullptr;
    int progressShown = 0;
    bool progressClosedItself = false;
    bool deliverDuringProgress = true;

  private:
    // The block read's modal progress window: the replies arrive while it is
    // up, then one tick of its timer decides whether it closes itself.
    void ShowProgress() {
        ++progressShown;
        QPointer<TFrm_Status> status = new TFrm_Status(comm, progressOwner);
        status->show();
        if (deliverDuringProgress) Deliver();
        status->findChild<TiThreadTimers*>("ThreadTimers_Status")->Fire(1);
        progressClosedItself = !status || !status->isVisible();
        delete status.data();
    }
};
