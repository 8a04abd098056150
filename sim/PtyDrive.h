#pragma once
// Serves a DriveSim on a pseudo-terminal so that a real serial-port client can
// talk to it: one worker thread reads requests from the master side, asks the
// sim for the answers and writes them back, paced like a serial line.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/DriveSim.h"
#include "sim/Pty.h"

struct PtyDriveOptions {
    int baud = 0;            // the line carries baud/10 bytes a second both ways; 0 = no pacing
    int turnaroundMs = 0;    // pause between a complete request and the start of its reply
    int chunkGapMs = 20;     // pause between the chunks of one reply, so a reader sees them apart
    std::string linkPath{};  // symlink kept to the slave while serving; empty = none
};

class PtyDrive {
  public:
    // Opens the pseudo-terminal, creates the symlink and starts serving.
    // Throws std::system_error when the pty or the symlink cannot be made.
    explicit PtyDrive(DriveSim sim = DriveSim(), PtyDriveOptions options = {});
    ~PtyDrive();
    PtyDrive(const PtyDrive&) = delete;
    PtyDrive& operator=(const PtyDrive&) = delete;

    // The device a client opens, for example /dev/pts/7.
    const std::string& SlavePath() const { return slavePath_; }
    // The symlink to SlavePath(), or empty when none was asked for.
    const std::string& LinkPath() const { return options_.linkPath; }

    // Runs `action` on the sim under the lock the worker uses, so tests can
    // read or change the drive's state between exchanges. `action` must not call
    // back into this PtyDrive.
    void WithSim(const std::function<void(DriveSim&)>& action);

    // The request frames received so far, in order (the last DriveSim::kRequestLogLimit).
    std::vector<std::string> RequestLog() const;
    // Waits until at least `count` request frames have arrived.
    bool WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const;

    // Closes the master side at once: the client sees the far end gone.
    // The drive does not come back; make a new PtyDrive to serve again.
    void Disconnect();
    // True once the master side is closed (Disconnect(), or the sim hung up).
    bool Disconnected() const;

    // Stops the worker, closes the pty and removes the symlink. Idempotent.
    void Stop();

  private:
    void Serve();
    void HandleInput();
    void Answer(const DriveSim::Reply& reply);
    void WritePaced(const std::string& chunk);
    bool WaitWritable();
    bool SleepUnlessHalted(std::chrono::steady_clock::duration pause);
    bool Halted() const { return stopping_ || disconnectRequested_; }
    void Wake();
    void LetTheClientRead();
    void CloseLine();

    PtyDriveOptions options_;
    std::string slavePath_;
    UniqueFd master_;       // touched by the worker only, once it runs
    UniqueFd slaveKeeper_;  // keeps the slave open, so the pty does not hang up between clients
    WakePipe wake_;         // readable once Stop() or Disconnect() was asked for

    std::atomic<bool> stopping_ = false;
    std::atomic<bool> disconnectRequested_ = false;
    bool stopped_ = false;  // Stop() finished; used by the owner's thread only

    mutable std::mutex mutex_;  // guards sim_, closed_ and the closing of the line
    mutable std::condition_variable changed_;
    DriveSim sim_;
    bool closed_ = false;
    std::thread worker_;
};
