#include "platform/PortWatch.h"

PortWatch::PortWatch(QObject* parent) : QObject(parent) {
    timer_.setInterval(kIntervalMs);
    connect(&timer_, &QTimer::timeout, this, &PortWatch::Check);
}

void PortWatch::Watch(const QString& port, const DeviceIdentity& lost) {
    port_ = port;
    lost_ = lost;
    seenGone_ = false;
    timer_.start();
}

void PortWatch::Stop() {
    timer_.stop();
}

void PortWatch::Check() {
    if (!Watching()) return;
    const DeviceIdentity now = IdentifyDevice(port_);
    if (!now.present) {
        seenGone_ = true;
        return;
    }
    if (!seenGone_ && now == lost_) return;  // still the node that failed
    if (!DeviceUsable(port_)) return;
    Stop();
    emit Back(port_);
}
