#include "platform/Pause.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {
std::atomic<bool> skipping{false};
std::atomic<long long> skippedMs{0};
}  // namespace

namespace Pause {

void Sleep(int ms) {
    if (ms <= 0) return;
    if (skipping) {
        skippedMs += ms;
        return;
    }
    // Deliberately no event processing: the caller wants the interface to stand still.
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void SetSkipping(bool skip) {
    skipping = skip;
}

long long SkippedMs() {
    return skippedMs;
}

}  // namespace Pause
