#pragma once
// Short pauses taken on the main thread (10-400 ms). They block the user
// interface on purpose; tests can make them return at once.

namespace Pause {
void Sleep(int ms);
// While skipping, Sleep() returns immediately and only adds up the time asked for.
void SetSkipping(bool skip);
long long SkippedMs();
}  // namespace Pause
