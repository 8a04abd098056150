#include "platform/PortMessages.h"

#include <cerrno>
#include <cstring>

namespace {

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

std::string Joined(const std::vector<std::string>& items) {
    std::string joined;
    for (const std::string& item : items) joined += (joined.empty() ? "" : ", ") + item;
    return joined;
}

std::string PortLine(const PortFacts& facts) {
    if (facts.port.empty()) return "Port: none chosen";
    std::string line = "Port: " + facts.port;
    if (!facts.device.empty() && facts.device != facts.port) line += " (" + facts.device + ")";
    return line;
}

// brltty claims many USB serial adapters as braille displays the moment they appear.
const char* kBrailleHint =
    "On some systems the braille-display service (brltty) takes USB serial adapters "
    "as they are plugged in; if this adapter vanishes or stays busy, remove that service.";

std::string NoPermission(PortPlatform platform, const PortFacts& facts) {
    std::string text = "You have no permission to use this port.";
    if (platform != PortPlatform::Linux) return text + " Ask the administrator for access to it.";
    if (facts.group.empty() || facts.group == "root") {
        text += " Ask the administrator for access to it.";
    } else if (facts.userInGroup && !facts.sessionHasGroup) {
        text += " It belongs to the group \"" + facts.group + "\", and " +
                (facts.user.empty() ? std::string("you were") : facts.user + " was") +
                " added to that group after logging in: log out and log in again.";
    } else if (facts.userInGroup) {
        text += " It belongs to the group \"" + facts.group +
                "\", which is not allowed to read and write it; ask the administrator.";
    } else {
        const std::string user = facts.user.empty() ? "$USER" : facts.user;
        text += " It belongs to the group \"" + facts.group + "\". Add yourself to that group:\n" +
                "    sudo usermod -aG " + facts.group + " " + user + "\n" +
                "then log out and log in again (a new group counts from the next login).";
    }
    if (facts.kind == PortKind::UsbAdapter) text += std::string("\n") + kBrailleHint;
    return text;
}

std::string Busy(PortPlatform platform, const PortFacts& facts) {
    std::string text =
        "Another program is using this port. Close it (a terminal program, another copy of "
        "this program";
    text += platform == PortPlatform::Linux ? ", or the modem manager probing it)" : ")";
    text += " and go on line again.";
    if (platform == PortPlatform::Linux && facts.kind == PortKind::UsbAdapter)
        text += std::string("\n") + kBrailleHint;
    return text;
}

std::string Missing(PortPlatform platform, const PortFacts& facts) {
    std::string text;
    if (facts.port.empty()) {
        text = "No port is chosen: choose one in \"Com Port Set-Up\".";
    } else {
        text = "There is no such port on this computer.";
        if (facts.kind == PortKind::UsbAdapter)
            text += " Check that the adapter is plugged in.";
        else if (facts.kind == PortKind::PseudoTerminal)
            text += " A pseudo-terminal exists only while the program serving it runs.";
    }
    text += facts.present.empty() ? "\nNo serial port is present now."
                                  : "\nPorts present now: " + Joined(facts.present) + ".";
    if (platform == PortPlatform::Linux && facts.kind == PortKind::UsbAdapter)
        text += std::string("\n") + kBrailleHint;
    return text;
}

std::string Refused(const PortFacts& facts) {
    std::string text = "The device does not accept these settings";
    if (!facts.settings.empty()) text += " (" + facts.settings + ")";
    return text + "; choose others in \"Com Port Set-Up\".";
}

std::string NoHardware(const PortFacts& facts) {
    if (facts.kind == PortKind::BuiltIn)
        return "The device answers with an input/output error: there is no serial port "
               "hardware behind it. Choose another port.";
    return "The device answers with an input/output error; unplug it and plug it in again.";
}

std::string Meaning(int error, PortPlatform platform, const PortFacts& facts) {
    switch (error) {
        case EACCES:
        case EPERM:
            return NoPermission(platform, facts);
        case EBUSY:
            return Busy(platform, facts);
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return Missing(platform, facts);
        case EINVAL:
            return Refused(facts);
        case EIO:
            return NoHardware(facts);
        default:
            return std::string("The system says: ") + std::strerror(error) + ".";
    }
}

}  // namespace

PortKind KindOfDevice(const std::string& device) {
    if (StartsWith(device, "/dev/ttyUSB") || StartsWith(device, "/dev/ttyACM"))
        return PortKind::UsbAdapter;
    if (StartsWith(device, "/dev/pts/") || StartsWith(device, "/dev/ptmx"))
        return PortKind::PseudoTerminal;
    if (StartsWith(device, "/dev/ttyS") || StartsWith(device, "/dev/ttyAMA") ||
        StartsWith(device, "COM"))
        return PortKind::BuiltIn;
    return PortKind::Unknown;
}

std::string OpenFailureMessage(int error, PortPlatform platform, const PortFacts& facts) {
    return std::string(PortText::kOpenFailed) + " (win error code: " + std::to_string(error) +
           ")\n" + PortLine(facts) + "\n" + Meaning(error, platform, facts);
}

std::string LinkLostMessage(const std::string& port, const std::string& reason) {
    std::string text = "The connection on port " + port + " was lost; the program is off line.";
    if (!reason.empty()) text += "\nThe system said: " + reason;
    return text;
}

std::string PortBackNotice(const std::string& port) {
    return "Port " + port + " is back: go on line to use it again.";
}

std::string LatencyHint(const std::string& port, int ms) {
    return "Port " + port + ": the adapter holds replies back up to " + std::to_string(ms) +
           " ms, so exchanges are slower. A udev rule lowers it: ACTION==\"add\", "
           "SUBSYSTEM==\"usb-serial\", ATTR{latency_timer}=\"1\" in "
           "/etc/udev/rules.d/99-usb-serial-latency.rules";
}
