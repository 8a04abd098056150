#pragma once
// Lets only one copy of the program run at a time. On Windows a named shared
// memory object "tavo.exe" of 1024 bytes marks the running copy; elsewhere a
// lock file does, because a shared memory segment outlives a crashed process
// and would block every later start, whereas a lock file whose process is gone
// is recognised as stale.

#include <QString>
#include <memory>

class QLockFile;
class QSharedMemory;

class InstanceGuard {
  public:
    InstanceGuard();
    ~InstanceGuard();
    InstanceGuard(const InstanceGuard&) = delete;
    InstanceGuard& operator=(const InstanceGuard&) = delete;

    // True when this is the only copy; it stays so while the guard lives.
    bool Acquire();

    // The lock file's path (per user, in the temporary directory).
    static QString LockPath();

  private:
#ifdef Q_OS_WIN
    std::unique_ptr<QSharedMemory> memory_;
#else
    std::unique_ptr<QLockFile> lock_;
#endif
};
