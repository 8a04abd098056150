#include "app/InstanceGuard.h"

#include <QDir>
#include <QLockFile>
#include <QSharedMemory>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

InstanceGuard::InstanceGuard() = default;
InstanceGuard::~InstanceGuard() = default;

QString InstanceGuard::LockPath() {
#ifdef Q_OS_WIN
    return {};
#else
    return QDir(QDir::tempPath()).filePath(QString("tavo.exe-%1.lock").arg(::getuid()));
#endif
}

bool InstanceGuard::Acquire() {
#ifdef Q_OS_WIN
    memory_ = std::make_unique<QSharedMemory>();
    memory_->setNativeKey("tavo.exe");
    return memory_->create(1024, QSharedMemory::ReadWrite);
#else
    lock_ = std::make_unique<QLockFile>(LockPath());
    // A live holder keeps its lock however long it runs; only a dead one loses it.
    lock_->setStaleLockTime(0);
    return lock_->tryLock(0);
#endif
}
