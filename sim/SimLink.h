#pragma once
// The stand-in drive behind an in-memory port, for tests and pictures that
// want real exchanges without a pseudo-terminal: a request is answered at
// once, and its reply waits until Deliver() hands it to the engine, the way a
// received chunk arrives later.

#include <deque>
#include <string>

#include "protocol/Comm.h"
#include "sim/DriveSim.h"

class SimLink : public ILinkPort {
  public:
    explicit SimLink(DriveSim& sim) : sim_(sim) {}

    bool Connected() const override { return open; }
    void PortWrite(const std::string& bytes) override {
        for (DriveSim::Exchange& exchange : sim_.Receive(bytes))
            for (std::string& chunk : exchange.reply.chunks) pending.push_back(std::move(chunk));
    }

    // Hands every waiting reply chunk to the engine; returns how many.
    int Deliver(TComm& comm) {
        int delivered = 0;
        while (!pending.empty()) {
            comm.RxBuffer = std::move(pending.front());
            pending.pop_front();
            comm.HandleChunk();
            ++delivered;
        }
        return delivered;
    }

    bool open = true;
    std::deque<std::string> pending;

  private:
    DriveSim& sim_;
};
