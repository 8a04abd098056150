#pragma once
// After the line of a port was lost, looks quietly (once a second) for that
// port to come back, and says so once: the device is present again, as a
// new node or after it was seen gone, and the user may read and write it.
// It never opens the port, so a device that resets on open is left alone.

#include <QObject>
#include <QString>
#include <QTimer>

#include "platform/PortDiagnosis.h"

class PortWatch : public QObject {
    Q_OBJECT
  public:
    static constexpr int kIntervalMs = 1000;

    explicit PortWatch(QObject* parent = nullptr);

    // Starts watching `port`, lost while it was the node `lost`.
    void Watch(const QString& port, const DeviceIdentity& lost);
    void Stop();
    bool Watching() const { return timer_.isActive(); }
    const QString& Port() const { return port_; }

    // One look; the timer calls it, tests may call it themselves.
    void Check();

  signals:
    void Back(const QString& port);

  private:
    QTimer timer_;
    QString port_;
    DeviceIdentity lost_;
    bool seenGone_ = false;
};
