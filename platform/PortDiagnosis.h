#pragma once
// Looks at the system around a serial port: the device node a name leads to,
// who may use it, which ports are present, whether it is the same device as
// before, and the latency timer of a USB serial adapter. Feeds PortMessages.

#include <QList>
#include <QString>
#include <optional>

#include "platform/PortMessages.h"

struct PortSettings;

// The serial ports present, as the "Port" list offers them.
struct PortListing {
    QString name;  // what is stored and opened
    QString description;
    QString manufacturer;
    QString serialNumber;
    // Description, manufacturer and serial number, those that are known.
    QString Details() const;
};

// Which node a port name stands for at one moment; a device that went away
// and came back is another node even under the same name.
struct DeviceIdentity {
    bool present = false;
    unsigned long long node = 0;  // file system and inode of the node
    unsigned long long rdev = 0;
    bool operator==(const DeviceIdentity&) const = default;
};

PortPlatform CurrentPortPlatform();

// The path the system opens for a port name ("ttyS0" is /dev/ttyS0).
QString SystemLocation(const QString& portName);

// The ports present, sorted by name.
QList<PortListing> AvailablePorts();

// Everything PortMessages needs to explain a failure on `settings.Port`.
PortFacts GatherPortFacts(const PortSettings& settings);

// The node `portName` leads to now (following symlinks).
DeviceIdentity IdentifyDevice(const QString& portName);

// True when the current user may read and write `portName` (without opening it).
bool DeviceUsable(const QString& portName);

// The latency timer of the USB serial adapter behind `portName`, read from
// <sysRoot>/bus/usb-serial/devices/<tty>/latency_timer; nothing for other ports.
std::optional<int> LatencyTimerMs(const QString& portName, const QString& sysRoot = "/sys");
