// What the user reads when a port fails: error number x platform x kind of port.

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/PortMessages.h"

namespace {

using P = PortPlatform;
using K = PortKind;

PortFacts Facts(const std::string& port, K kind) {
    PortFacts facts;
    facts.port = port;
    facts.kind = kind;
    facts.group = "dialout";
    facts.user = "kim";
    facts.settings = "256000 baud, 7 data bits";
    facts.present = {"ttyS0", "ttyUSB1"};
    return facts;
}

struct MessageCase {
    const char* name;
    int error;
    P platform;
    K kind;
    std::vector<std::string> says;
    std::vector<std::string> never;
};

void PrintTo(const MessageCase& c, std::ostream* os) {
    *os << c.name;
}

class OpenFailureMessageTest : public testing::TestWithParam<MessageCase> {};

TEST_P(OpenFailureMessageTest, KeepsTheFixedLineFirstThenNamesThePortAndWhatToDo) {
    const MessageCase& c = GetParam();
    const std::string port = c.kind == K::PseudoTerminal ? "/dev/pts/9"
                             : c.platform == P::Windows  ? "COM3"
                                                         : "/dev/ttyUSB0";
    const std::string text = OpenFailureMessage(c.error, c.platform, Facts(port, c.kind));
    const std::string first =
        "Unable to open com port (win error code: " + std::to_string(c.error) + ")\nPort: " + port +
        "\n";
    EXPECT_EQ(text.substr(0, first.size()), first) << text;
    for (const std::string& part : c.says)
        EXPECT_NE(text.find(part), text.npos) << part << "\n" << text;
    for (const std::string& part : c.never)
        EXPECT_EQ(text.find(part), text.npos) << part << "\n" << text;
}

const std::string kUsermod = "sudo usermod -aG dialout kim";
const std::string kRelogin = "log out and log in again";
const std::string kBraille = "braille-display service";

INSTANTIATE_TEST_SUITE_P(
    Cases, OpenFailureMessageTest,
    testing::Values(
        MessageCase{"LinuxUsbNoPermission",
                    EACCES,
                    P::Linux,
                    K::UsbAdapter,
                    {"no permission", "group \"dialout\"", kUsermod, kRelogin, kBraille},
                    {}},
        MessageCase{"LinuxBuiltInNoPermission",
                    EACCES,
                    P::Linux,
                    K::BuiltIn,
                    {"group \"dialout\"", kUsermod, kRelogin},
                    {kBraille}},
        MessageCase{"WindowsNoPermission",
                    EACCES,
                    P::Windows,
                    K::BuiltIn,
                    {"no permission", "administrator"},
                    {"usermod", "group"}},
        MessageCase{"LinuxUsbBusy",
                    EBUSY,
                    P::Linux,
                    K::UsbAdapter,
                    {"Another program is using this port", "modem manager", kBraille},
                    {}},
        MessageCase{"LinuxPtyBusy",
                    EBUSY,
                    P::Linux,
                    K::PseudoTerminal,
                    {"Another program is using this port"},
                    {kBraille}},
        MessageCase{"WindowsBusy",
                    EBUSY,
                    P::Windows,
                    K::BuiltIn,
                    {"Another program is using this port"},
                    {"modem manager", kBraille}},
        MessageCase{"LinuxUsbMissing",
                    ENOENT,
                    P::Linux,
                    K::UsbAdapter,
                    {"no such port", "adapter is plugged in", "Ports present now: ttyS0, ttyUSB1."},
                    {}},
        MessageCase{"LinuxPtyMissing",
                    ENOENT,
                    P::Linux,
                    K::PseudoTerminal,
                    {"no such port", "program serving it runs", "Ports present now"},
                    {kBraille, "plugged in"}},
        MessageCase{"WindowsMissing",
                    ENOENT,
                    P::Windows,
                    K::BuiltIn,
                    {"no such port", "Ports present now: ttyS0, ttyUSB1."},
                    {kBraille}},
        MessageCase{
            "LinuxUsbGoneNode", ENXIO, P::Linux, K::UsbAdapter, {"no such port", "plugged in"}, {}},
        MessageCase{
            "LinuxRefusedSettings",
            EINVAL,
            P::Linux,
            K::PseudoTerminal,
            {"does not accept these settings (256000 baud, 7 data bits)", "\"Com Port Set-Up\""},
            {}},
        MessageCase{"LinuxBuiltInWithoutHardware",
                    EIO,
                    P::Linux,
                    K::BuiltIn,
                    {"no serial port hardware"},
                    {}},
        MessageCase{"LinuxUsbInputOutputError",
                    EIO,
                    P::Linux,
                    K::UsbAdapter,
                    {"unplug it and plug it in again"},
                    {"hardware"}},
        MessageCase{"OtherNumberGivesTheSystemsText",
                    ETIMEDOUT,
                    P::Linux,
                    K::Unknown,
                    {"The system says: "},
                    {}}));

TEST(OpenFailureMessageTest, GroupAdvicePrefersWhatTheUserCanDo) {
    PortFacts facts = Facts("/dev/ttyUSB0", K::UsbAdapter);
    facts.userInGroup = true;  // added, but this session predates it
    std::string text = OpenFailureMessage(EACCES, P::Linux, facts);
    EXPECT_NE(text.find("kim was added to that group after logging in: log out and log in again"),
              text.npos)
        << text;
    EXPECT_EQ(text.find("usermod"), text.npos) << text;

    facts.sessionHasGroup = true;  // the group itself may not write
    text = OpenFailureMessage(EACCES, P::Linux, facts);
    EXPECT_NE(text.find("not allowed to read and write it"), text.npos) << text;

    facts.group = "root";
    text = OpenFailureMessage(EACCES, P::Linux, facts);
    EXPECT_NE(text.find("Ask the administrator"), text.npos) << text;
    EXPECT_EQ(text.find("usermod"), text.npos) << text;
}

TEST(OpenFailureMessageTest, NamesTheNodeASymlinkLeadsToAndTheMissingChoice) {
    PortFacts facts = Facts("/dev/serial/by-id/usb-adapter", K::UsbAdapter);
    facts.device = "/dev/ttyUSB0";
    EXPECT_NE(OpenFailureMessage(EACCES, P::Linux, facts)
                  .find("\nPort: /dev/serial/by-id/usb-adapter (/dev/ttyUSB0)\n"),
              std::string::npos);

    PortFacts none = Facts("", K::Unknown);
    none.present.clear();
    const std::string text = OpenFailureMessage(ENOENT, P::Linux, none);
    EXPECT_NE(text.find("\nPort: none chosen\nNo port is chosen"), text.npos) << text;
    EXPECT_NE(text.find("No serial port is present now."), text.npos) << text;
}

TEST(PortMessagesTest, LossBackAndLatencyTexts) {
    EXPECT_EQ(LinkLostMessage("/dev/ttyUSB0", "Inappropriate ioctl for device"),
              "The connection on port /dev/ttyUSB0 was lost; the program is off line.\n"
              "The system said: Inappropriate ioctl for device");
    EXPECT_EQ(LinkLostMessage("COM3", ""),
              "The connection on port COM3 was lost; the program is off line.");
    EXPECT_EQ(PortBackNotice("ttyUSB0"), "Port ttyUSB0 is back: go on line to use it again.");
    const std::string hint = LatencyHint("ttyUSB0", 16);
    EXPECT_NE(hint.find("up to 16 ms"), hint.npos);
    EXPECT_NE(hint.find("ATTR{latency_timer}=\"1\""), hint.npos);
}

TEST(PortMessagesTest, KindOfDeviceFollowsTheNodeName) {
    EXPECT_EQ(KindOfDevice("/dev/ttyUSB3"), K::UsbAdapter);
    EXPECT_EQ(KindOfDevice("/dev/ttyACM0"), K::UsbAdapter);
    EXPECT_EQ(KindOfDevice("/dev/ttyS0"), K::BuiltIn);
    EXPECT_EQ(KindOfDevice("COM1"), K::BuiltIn);
    EXPECT_EQ(KindOfDevice("/dev/pts/4"), K::PseudoTerminal);
    EXPECT_EQ(KindOfDevice("/tmp/drive"), K::Unknown);
}

}  // namespace
