#pragma once
// Composes what the user is told when a serial port cannot be opened, loses
// its line, comes back or is slower than it need be. Plain C++: the facts
// about the port are gathered elsewhere (PortDiagnosis), so every wording
// can be tested for any error, platform and kind of port.

#include <string>
#include <vector>

enum class PortPlatform { Linux, Windows, Other };

// What kind of device a port name leads to; it decides which advice fits.
enum class PortKind { Unknown, BuiltIn, UsbAdapter, PseudoTerminal };

// What is known about the port at the moment of the failure.
struct PortFacts {
    std::string port;    // as the user named it; empty when none is chosen
    std::string device;  // the device node it leads to when that differs (a symlink)
    PortKind kind = PortKind::Unknown;
    std::string settings;              // the line settings asked for, e.g. "9600 baud, 8N1"
    std::string group;                 // the group that owns the device node
    std::string user;                  // the user the program runs as
    bool userInGroup = false;          // the group database lists the user in `group`
    bool sessionHasGroup = false;      // the running program already has `group`
    std::vector<std::string> present;  // the ports present now
};

namespace PortText {
inline constexpr const char* kOpenFailed = "Unable to open com port";
}  // namespace PortText

// The kind of device a node path such as "/dev/ttyUSB0" names.
PortKind KindOfDevice(const std::string& device);

// "Unable to open com port (win error code: N)", then the port and, where the
// number is understood, what it means and what to do about it.
std::string OpenFailureMessage(int error, PortPlatform platform, const PortFacts& facts);

// The line of an open port has failed; `reason` is the system's own text.
std::string LinkLostMessage(const std::string& port, const std::string& reason);

// The port lost earlier is present again.
std::string PortBackNotice(const std::string& port);

// A USB serial adapter whose latency timer holds replies back for `ms`.
std::string LatencyHint(const std::string& port, int ms);
