#include <QtCore/qtestsupport_core.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSerialPort>
#include <QSocketNotifier>
#include <QTimer>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/ComPort.h"
#include "platform/PortMessages.h"
#include "sim/Pty.h"
#include "tests/platform/LinkLossProbe.h"

namespace {

using Rts = PortSettings::Rts;

// The first line of a port error: the fixed text with the number.
std::string FirstLine(const char* message) {
    const std::string text = message;
    return text.substr(0, text.find('\n'));
}

// ---------------------------------------------------------------- PortSettings

TEST(PortSettingsTest, DefaultsOpenCom1At9600EightNoneOneWithoutFlowControl) {
    const PortSettings s;
    EXPECT_EQ(s.Port, "COM1");
    EXPECT_EQ(s.EffectiveBaudRate(), 9600);
    EXPECT_EQ(s.DataBits, "8");
    EXPECT_EQ(s.StopBits, "1");
    EXPECT_EQ(s.Parity, "None");
    EXPECT_EQ(s.RtsMode, Rts::Inactive);
    EXPECT_FALSE(s.DtrActive || s.CtsOutFlow || s.DsrOutFlow || s.XonXoffIn || s.XonXoffOut);
    EXPECT_EQ(s.XonChar, 17);
    EXPECT_EQ(s.XoffChar, 19);
    EXPECT_EQ(s.FlowControl(), "None");
}

TEST(PortSettingsTest, ListsOfferTheDialogChoices) {
    EXPECT_EQ(PortSettings::BaudRates(),
              QStringList({"110", "300", "600", "1200", "2400", "4800", "9600", "14400", "19200",
                           "38400", "56000", "57600", "115200", "128000", "256000", "Custom"}));
    EXPECT_EQ(PortSettings::DataBitsList(), QStringList({"5", "6", "7", "8"}));
    EXPECT_EQ(PortSettings::StopBitsList(), QStringList({"1", "1.5", "2"}));
    EXPECT_EQ(PortSettings::Parities(), QStringList({"None", "Odd", "Even", "Mark", "Space"}));
    EXPECT_EQ(PortSettings::FlowControls(),
              QStringList({"Hardware", "Software", "None", "Custom"}));
}

TEST(PortSettingsTest, EffectiveBaudRateUsesTheCustomRateOnlyForCustom) {
    PortSettings s;
    s.CustomBaudRate = 250000;
    s.BaudRate = "115200";
    EXPECT_EQ(s.EffectiveBaudRate(), 115200);
    s.BaudRate = "Custom";
    EXPECT_EQ(s.EffectiveBaudRate(), 250000);
}

struct Lines {
    Rts rts;
    bool cts, xonIn, xonOut;
};

PortSettings WithLines(Lines l) {
    PortSettings s;
    s.RtsMode = l.rts;
    s.CtsOutFlow = l.cts;
    s.XonXoffIn = l.xonIn;
    s.XonXoffOut = l.xonOut;
    return s;
}

struct FlowCase {
    const char* choice;
    Lines expected;  // from a start of RTS active, CTS on, XON/XOFF in only
};

void PrintTo(const FlowCase& c, std::ostream* os) {
    *os << '"' << c.choice << '"';
}

class ApplyFlowControlTest : public testing::TestWithParam<FlowCase> {};

TEST_P(ApplyFlowControlTest, SetsTheFourLinesAndLeavesDtrAndDsrAlone) {
    const Lines start{Rts::Active, true, true, false};
    PortSettings s = WithLines(start);
    s.DtrActive = true;
    s.DsrOutFlow = true;
    s.ApplyFlowControl(GetParam().choice);
    const Lines e = GetParam().expected;
    EXPECT_EQ(s.RtsMode, e.rts);
    EXPECT_EQ(s.CtsOutFlow, e.cts);
    EXPECT_EQ(s.XonXoffIn, e.xonIn);
    EXPECT_EQ(s.XonXoffOut, e.xonOut);
    EXPECT_TRUE(s.DtrActive);
    EXPECT_TRUE(s.DsrOutFlow);
}

INSTANTIATE_TEST_SUITE_P(Choices, ApplyFlowControlTest,
                         testing::Values(FlowCase{"Hardware", {Rts::Handshake, true, false, false}},
                                         FlowCase{"Software", {Rts::Inactive, false, true, true}},
                                         FlowCase{"None", {Rts::Inactive, false, false, false}},
                                         FlowCase{"Custom", {Rts::Active, true, true, false}},
                                         FlowCase{"RTS/CTS", {Rts::Active, true, true, false}},
                                         FlowCase{"", {Rts::Active, true, true, false}}));

TEST(PortSettingsTest, EachNamedChoiceReadsBackAsItself) {
    for (const char* choice : {"Hardware", "Software", "None"}) {
        PortSettings s = WithLines({Rts::Handshake, false, true, false});
        s.ApplyFlowControl(choice);
        EXPECT_EQ(s.FlowControl(), choice);
    }
}

struct DeriveCase {
    Lines lines;
    const char* flow;
};

void PrintTo(const DeriveCase& c, std::ostream* os) {
    *os << c.flow;
}

class FlowControlDerivationTest : public testing::TestWithParam<DeriveCase> {};

TEST_P(FlowControlDerivationTest, NamesTheLineSettings) {
    EXPECT_EQ(WithLines(GetParam().lines).FlowControl(), GetParam().flow);
}

INSTANTIATE_TEST_SUITE_P(
    Mixtures, FlowControlDerivationTest,
    testing::Values(DeriveCase{{Rts::Handshake, true, false, false}, "Hardware"},
                    DeriveCase{{Rts::Inactive, false, true, true}, "Software"},
                    DeriveCase{{Rts::Inactive, false, false, false}, "None"},
                    DeriveCase{{Rts::Handshake, true, true, true}, "Custom"},
                    DeriveCase{{Rts::Handshake, false, false, false}, "Custom"},
                    DeriveCase{{Rts::Inactive, true, false, false}, "Custom"},
                    DeriveCase{{Rts::Active, false, false, false}, "Custom"},
                    DeriveCase{{Rts::Active, false, true, true}, "Custom"},
                    DeriveCase{{Rts::Inactive, false, true, false}, "Custom"},
                    DeriveCase{{Rts::Inactive, false, false, true}, "Custom"}));

// ---------------------------------------------------------------- TComPort over a pty

void EnsureApplication() {
    static int argc = 1;
    static char name[] = "com_port_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
}

// The far end of a pseudo-terminal, standing where the drive would be.
class FarEnd {
  public:
    QString SlavePath() const { return QString::fromStdString(pty_.slavePath); }
    void Write(const std::string& bytes) {
        ASSERT_EQ(::write(pty_.master.Get(), bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    // Everything that arrives until `count` bytes are there or the time is up.
    std::string Read(std::size_t count, int timeoutMs = 2000) {
        std::string got;
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (got.size() < count && std::chrono::steady_clock::now() < until) {
            pollfd p{pty_.master.Get(), POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0) continue;
            char chunk[4096];
            const ssize_t n = ::read(pty_.master.Get(), chunk, sizeof chunk);
            if (n > 0) got.append(chunk, std::size_t(n));
        }
        return got;
    }
    // The far end goes away: the line is lost for whoever holds the device.
    void Close() {
        pty_.master.Reset();
        pty_.slave.Reset();
    }

  private:
    RawPty pty_ = OpenRawPty();
};

// One receive notification: the count announced and the bytes PortRead gave.
struct Notification {
    int count;
    std::string bytes;
};

class ComPortTest : public testing::Test {
  protected:
    void SetUp() override {
        EnsureApplication();
        QObject::connect(&port, &TComPort::OnRxChar, [this](int count) {
            std::string bytes;
            port.PortRead(bytes, count);
            notifications.push_back({count, bytes});
        });
        QObject::connect(&port, &TComPort::LinkLost, [this](const QString&) { ++linkLost; });
    }

    void OpenOn(const FarEnd& pty, PortSettings settings = {}) {
        settings.Port = pty.SlavePath();
        port.SetSettings(settings);
        port.Open();
    }
    QSerialPort& Serial() { return *port.findChild<QSerialPort*>(); }
    std::string Received() const {
        std::string all;
        for (const auto& n : notifications) all += n.bytes;
        return all;
    }
    bool WaitForReceived(std::size_t count) {
        return QTest::qWaitFor([&] { return Received().size() >= count; }, 3000);
    }

    FarEnd pty;
    TComPort port;
    std::vector<Notification> notifications;
    int linkLost = 0;
};

TEST_F(ComPortTest, FrameGoesOutWholeAndTheReplyIsAnnounced) {
    OpenOn(pty);
    ASSERT_TRUE(port.Connected());
    const std::string frame = "\x02\x01#SET000:A\x03";
    port.PortWrite(frame);
    EXPECT_EQ(pty.Read(frame.size()), frame);

    pty.Write("\x02\x01 SET12:B\x03");
    ASSERT_TRUE(WaitForReceived(11));
    EXPECT_EQ(Received(), "\x02\x01 SET12:B\x03");
    EXPECT_EQ(notifications.front().count, int(notifications.front().bytes.size()));
}

TEST_F(ComPortTest, EachBurstRaisesItsOwnNotificationReadingWhatWaits) {
    OpenOn(pty);
    for (const std::string burst : {"AB", "CDE", "F"}) {
        const std::size_t before = notifications.size();
        pty.Write(burst);
        ASSERT_TRUE(QTest::qWaitFor([&] { return notifications.size() > before; }, 3000));
        EXPECT_EQ(notifications.back().bytes, burst);
        EXPECT_EQ(notifications.back().count, int(burst.size()));
    }
}

TEST_F(ComPortTest, BurstLargerThanTheInputBufferArrivesWholeInBufferSizedReads) {
    OpenOn(pty);
    std::string burst;
    for (int i = 0; i < 3000; ++i) burst += char('a' + i % 26);
    pty.Write(burst);
    ASSERT_TRUE(WaitForReceived(burst.size()));
    EXPECT_EQ(Received(), burst);
    EXPECT_GE(notifications.size(), 3u);
    for (const auto& n : notifications) {
        EXPECT_LE(n.count, TComPort::kBufferSize);
        EXPECT_EQ(n.count, int(n.bytes.size()));
    }
}

// A reply already waiting when a request is written must reach the handler
// after PortWrite returns, when the caller has set up what it expects.
TEST_F(ComPortTest, BytesArrivingDuringAWriteAreAnnouncedAfterIt) {
    OpenOn(pty);
    pty.Write("\x06");
    port.PortWrite("\x02\x01#VER:B\x03");
    EXPECT_TRUE(notifications.empty());
    ASSERT_TRUE(WaitForReceived(1));
    EXPECT_EQ(Received(), "\x06");
}

TEST_F(ComPortTest, PortReadTakesAtMostCountAndReplacesTheBuffer) {
    QObject::disconnect(&port, &TComPort::OnRxChar, nullptr, nullptr);
    OpenOn(pty);
    int announced = 0;
    QObject::connect(&port, &TComPort::OnRxChar, [&](int count) { announced = count; });
    pty.Write("12345");
    ASSERT_TRUE(QTest::qWaitFor([&] { return announced >= 5; }, 3000));
    std::string buffer = "old";
    EXPECT_EQ(port.PortRead(buffer, 2), 2);
    EXPECT_EQ(buffer, "12");
    EXPECT_EQ(port.PortRead(buffer, 10), 3);
    EXPECT_EQ(buffer, "345");
    EXPECT_EQ(port.PortRead(buffer, 10), 0);
    EXPECT_EQ(buffer, "");
}

// A pseudo-terminal keeps 8 data bits and no parity (other choices are refused, below).
struct ConfigCase {
    const char *baud, *stopBits, *flow;
    int custom;
    qint32 expectedBaud;
    QSerialPort::StopBits expectedStop;
    QSerialPort::FlowControl expectedFlow;
};

void PrintTo(const ConfigCase& c, std::ostream* os) {
    *os << c.baud << ' ' << c.stopBits << ' ' << c.flow;
}

class ComPortConfigTest : public ComPortTest, public testing::WithParamInterface<ConfigCase> {};

TEST_P(ComPortConfigTest, OpenAppliesTheSettings) {
    const ConfigCase c = GetParam();
    PortSettings s;
    s.BaudRate = c.baud;
    s.CustomBaudRate = c.custom;
    s.StopBits = c.stopBits;
    s.ApplyFlowControl(c.flow);
    OpenOn(pty, s);
    EXPECT_EQ(Serial().baudRate(), c.expectedBaud);
    EXPECT_EQ(Serial().dataBits(), QSerialPort::Data8);
    EXPECT_EQ(Serial().parity(), QSerialPort::NoParity);
    EXPECT_EQ(Serial().stopBits(), c.expectedStop);
    EXPECT_EQ(Serial().flowControl(), c.expectedFlow);
    EXPECT_EQ(Serial().readBufferSize(), TComPort::kBufferSize);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, ComPortConfigTest,
    testing::Values(ConfigCase{"9600", "1", "None", 9600, 9600, QSerialPort::OneStop,
                               QSerialPort::NoFlowControl},
                    ConfigCase{"Custom", "2", "Hardware", 250000, 250000, QSerialPort::TwoStop,
                               QSerialPort::HardwareControl},
                    ConfigCase{"115200", "1", "Software", 9600, 115200, QSerialPort::OneStop,
                               QSerialPort::SoftwareControl}));

TEST_F(ComPortTest, CustomLineMixtureRunsWithoutFlowControl) {
    PortSettings s;
    s.CtsOutFlow = true;  // CTS without RTS handshake is no named choice
    OpenOn(pty, s);
    EXPECT_EQ(Serial().flowControl(), QSerialPort::NoFlowControl);
}

TEST_F(ComPortTest, NewSettingsReconfigureAnOpenPortAtOnce) {
    OpenOn(pty);
    PortSettings s = port.Settings();
    s.BaudRate = "115200";
    s.StopBits = "2";
    s.ApplyFlowControl("Software");
    port.SetSettings(s);
    EXPECT_TRUE(port.Connected());
    EXPECT_EQ(Serial().baudRate(), 115200);
    EXPECT_EQ(Serial().stopBits(), QSerialPort::TwoStop);
    EXPECT_EQ(Serial().flowControl(), QSerialPort::SoftwareControl);
}

TEST_F(ComPortTest, NewPortNameReopensOnTheNewDevice) {
    OpenOn(pty);
    FarEnd other;
    PortSettings s = port.Settings();
    s.Port = other.SlavePath();
    port.SetSettings(s);
    ASSERT_TRUE(port.Connected());
    port.PortWrite("moved");
    EXPECT_EQ(other.Read(5), "moved");
    EXPECT_EQ(pty.Read(1, 100), "");
}

struct OpenFailure {
    const char* port;
    const char* message;  // the first line
    const char* named;    // how the second line names the port
};

void PrintTo(const OpenFailure& c, std::ostream* os) {
    *os << '"' << c.port << '"';
}

class ComPortOpenFailureTest : public ComPortTest,
                               public testing::WithParamInterface<OpenFailure> {};

TEST_P(ComPortOpenFailureTest, ThrowsWithTheSystemErrorNumber) {
    PortSettings s;
    s.Port = GetParam().port;
    port.SetSettings(s);
    try {
        port.Open();
        FAIL() << "open succeeded";
    } catch (const PortError& e) {
        EXPECT_EQ(FirstLine(e.what()), GetParam().message);
        EXPECT_NE(std::string(e.what()).find(GetParam().named), std::string::npos) << e.what();
    }
    EXPECT_FALSE(port.Connected());
}

INSTANTIATE_TEST_SUITE_P(
    Ports, ComPortOpenFailureTest,
    testing::Values(
        OpenFailure{"", "Unable to open com port (win error code: 2)", "\nPort: none chosen\n"},
        OpenFailure{"/dev/vrx5-no-such-port", "Unable to open com port (win error code: 2)",
                    "\nPort: /dev/vrx5-no-such-port\n"},
        OpenFailure{"vrx5-no-such-port", "Unable to open com port (win error code: 2)",
                    "\nPort: vrx5-no-such-port (/dev/vrx5-no-such-port)\n"}));

struct RefusedCase {
    const char *baud, *dataBits, *parity;
    int custom;
};

void PrintTo(const RefusedCase& c, std::ostream* os) {
    *os << c.baud << '/' << c.custom << ' ' << c.dataBits << ' ' << c.parity;
}

class ComPortRefusedSettingTest : public ComPortTest,
                                  public testing::WithParamInterface<RefusedCase> {};

// A device that cannot run as asked must not be left running some other way.
TEST_P(ComPortRefusedSettingTest, FailsTheOpen) {
    PortSettings s;
    s.Port = pty.SlavePath();
    s.BaudRate = GetParam().baud;
    s.CustomBaudRate = GetParam().custom;
    s.DataBits = GetParam().dataBits;
    s.Parity = GetParam().parity;
    port.SetSettings(s);
    try {
        port.Open();
        FAIL() << "open succeeded";
    } catch (const PortError& e) {
        EXPECT_EQ(FirstLine(e.what()), "Unable to open com port (win error code: 22)");
        EXPECT_NE(std::string(e.what()).find("does not accept these settings"), std::string::npos)
            << e.what();
    }
    EXPECT_FALSE(port.Connected());
}

INSTANTIATE_TEST_SUITE_P(Pty, ComPortRefusedSettingTest,
                         testing::Values(RefusedCase{"Custom", "8", "None", 0},
                                         RefusedCase{"9600", "7", "None", 9600},
                                         RefusedCase{"9600", "8", "Even", 9600}));

TEST_F(ComPortTest, RefusedSettingOnAnOpenPortThrowsAndKeepsItOpen) {
    OpenOn(pty);
    PortSettings s = port.Settings();
    s.BaudRate = "19200";
    s.DataBits = "7";
    EXPECT_THROW(port.SetSettings(s), PortError);
    EXPECT_TRUE(port.Connected());
    EXPECT_EQ(port.Settings().DataBits, "8");  // what it still runs with, so that is what is stored
    EXPECT_EQ(port.Settings().BaudRate, "9600");
    EXPECT_EQ(Serial().baudRate(), 9600);
}

TEST_F(ComPortTest, PortIsOpenedExclusively) {
    OpenOn(pty);
    TComPort second;
    second.SetSettings(port.Settings());
    try {
        second.Open();
        FAIL() << "second open succeeded";
    } catch (const PortError& e) {
        EXPECT_EQ(FirstLine(e.what()), "Unable to open com port (win error code: 16)");  // EBUSY
        EXPECT_NE(std::string(e.what()).find("Another program is using this port"),
                  std::string::npos)
            << e.what();
    }
    EXPECT_FALSE(second.Connected());
    port.PortWrite("still mine");
    EXPECT_EQ(pty.Read(10), "still mine");
}

TEST_F(ComPortTest, WriteToAClosedPortThrows) {
    try {
        port.PortWrite("x");
        FAIL() << "write succeeded";
    } catch (const PortError& e) {
        EXPECT_STREQ(e.what(), "WriteFile function failed (win error code: 9)");
    }
}

TEST_F(ComPortTest, CloseStopsNotificationsAndDiscardsInput) {
    OpenOn(pty);
    port.Close();
    EXPECT_FALSE(port.Connected());
    pty.Write("late");
    QTest::qWait(100);
    EXPECT_TRUE(notifications.empty());
    std::string buffer = "old";
    EXPECT_EQ(port.PortRead(buffer, 4), 0);
    EXPECT_EQ(buffer, "");
}

TEST_F(ComPortTest, WriteFromAnotherThreadRunsOnThePortsThread) {
    OpenOn(pty);
    std::atomic<bool> done = false;
    std::string failure;
    std::thread worker([&] {
        try {
            port.PortWrite(":10000000\r\n");
        } catch (const std::exception& e) {
            failure = e.what();
        }
        done = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 3000));
    worker.join();
    EXPECT_EQ(failure, "");
    EXPECT_EQ(pty.Read(11), ":10000000\r\n");

    port.Close();
    done = false;
    std::thread late([&] {
        try {
            port.PortWrite("x");
        } catch (const PortError& e) {
            failure = e.what();
        }
        done = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 3000));
    late.join();
    EXPECT_EQ(failure, "WriteFile function failed (win error code: 9)");
}

// The port's thread is busy (here: blocked joining the writer, as a window
// stopping its download worker is): the writer gives up its queued write
// instead of waiting for ever, and nothing of it is sent.
TEST_F(ComPortTest, AQueuedWriteIsGivenUpWhenStoppedBeforeItBegan) {
    OpenOn(pty);
    std::stop_source stop;
    std::atomic<bool> queued = false;
    bool written = true;
    std::thread worker([&] {
        queued = true;
        written = port.PortWrite(":00000001FF\r\n", stop.get_token());
    });
    while (!queued) std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    stop.request_stop();
    worker.join();  // the port's thread never ran the write meanwhile
    EXPECT_FALSE(written);
    QTest::qWait(100);  // the queued write comes due now and is skipped
    EXPECT_EQ(pty.Read(1), "");
}

// ---------------------------------------------------------------- losing the line

class LinkLossTest : public ComPortTest {
  protected:
    void SetUp() override {
        ComPortTest::SetUp();
        QObject::connect(&port, &TComPort::LinkLost,
                         [this](const QString& message) { lostMessage = message.toStdString(); });
    }
    void CountErrors() { probe = std::make_unique<LinkLossProbe>(Serial()); }
    static int TicksOver(int ms) { return LinkLossProbe::TicksOver(ms); }
    // QSerialPort's own watch on the device for bytes to read.
    QSocketNotifier* ReadNotifier() {
        for (QSocketNotifier* notifier : Serial().findChildren<QSocketNotifier*>())
            if (notifier->type() == QSocketNotifier::Read) return notifier;
        return nullptr;
    }
    // Waits until bytes the far end wrote can be read from the device.
    bool ReplyWaiting() {
        pollfd waiting{int(Serial().handle()), POLLIN, 0};
        return ::poll(&waiting, 1, 3000) == 1;
    }
    void ExpectTheLineStillWorks() {
        QCoreApplication::sendPostedEvents();  // a LinkLost would be posted
        EXPECT_EQ(linkLost, 0) << lostMessage;
        ASSERT_TRUE(port.Connected());
        pty.Write("\x15");
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return Received().find('\x15') != std::string::npos; }, 3000))
            << "reading stopped";
        port.PortWrite("x");
        EXPECT_EQ(pty.Read(1), "x");
    }

    std::unique_ptr<LinkLossProbe> probe;
    std::string lostMessage;
};

// Bytes that raised a read notification were taken by the time it is served
// (the wait of a write had read them): the read returns nothing, which
// QSerialPort reports as a read failure worded with whatever errno an
// earlier, unrelated call left behind. The line is still there.
class StaleReadTest : public LinkLossTest, public testing::WithParamInterface<int> {};

TEST_P(StaleReadTest, AReadThatFindsNothingIsNoLineLoss) {
    OpenOn(pty);
    QSocketNotifier* reader = ReadNotifier();
    ASSERT_NE(reader, nullptr);
    errno = GetParam();
    QEvent activation(QEvent::SockAct);
    QCoreApplication::sendEvent(reader, &activation);
    ExpectTheLineStillWorks();
}

INSTANTIATE_TEST_SUITE_P(LeftOverErrno, StaleReadTest, testing::Values(ENOTTY, EAGAIN, EINTR, 0),
                         [](const auto& info) {
                             switch (info.param) {
                                 case ENOTTY:
                                     return std::string("ENOTTY");
                                 case EAGAIN:
                                     return std::string("EAGAIN");
                                 case EINTR:
                                     return std::string("EINTR");
                                 default:
                                     return std::string("None");
                             }
                         });

// The race as the program meets it: a timer tick that writes (a resend) is
// served in the same turn of the event loop as the read notification of the
// reply, and before it.
TEST_F(LinkLossTest, AReplyTakenByTheWaitOfAWriteIsNoLineLoss) {
    OpenOn(pty);
    pty.Write("\x06");
    ASSERT_TRUE(ReplyWaiting());
    const std::string resend = "\x02\x01#VER:B\x03";
    QMetaObject::invokeMethod(
        &port, [&] { port.PortWrite(resend); }, Qt::QueuedConnection);
    QCoreApplication::processEvents();
    EXPECT_EQ(pty.Read(resend.size()), resend);
    ASSERT_TRUE(WaitForReceived(1)) << lostMessage;
    EXPECT_EQ(Received().substr(0, 1), "\x06");
    ExpectTheLineStillWorks();
}

// A far end that closes leaves reads returning nothing; the reason given is
// what the device answers now, not an errno some earlier call left.
TEST_F(LinkLossTest, FarEndClosingIsReportedInTheDevicesOwnWords) {
    OpenOn(pty);
    errno = EAGAIN;
    pty.Close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return linkLost > 0; }, 3000));
    EXPECT_EQ(lostMessage, LinkLostMessage(port.Settings().Port.toStdString(), std::strerror(EIO)));
}

TEST_F(LinkLossTest, FarEndClosingDuringAPendingWriteClosesOnceWithoutSpinning) {
    OpenOn(pty);
    CountErrors();
    std::thread unplug([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        pty.Close();
    });
    // Far more than the pty holds, so the write is still pending when the far end goes.
    EXPECT_THROW(port.PortWrite(std::string(1 << 20, 'x')), PortError);
    unplug.join();
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(linkLost, 0) << "LinkLost must reach its receivers outside the write";

    const int ticks = TicksOver(300);
    EXPECT_EQ(linkLost, 1);
    EXPECT_LE(probe->linkErrors, 3);
    EXPECT_GE(ticks, 5);
    EXPECT_THROW(port.PortWrite("x"), PortError);
}

TEST_F(LinkLossTest, FarEndClosingWhileIdleClosesOnceAndEachOpenReportsItsOwnLoss) {
    OpenOn(pty);
    CountErrors();
    pty.Close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return linkLost > 0; }, 3000));
    TicksOver(200);
    EXPECT_EQ(linkLost, 1);
    EXPECT_LE(probe->linkErrors, 3);
    EXPECT_FALSE(port.Connected());

    FarEnd replugged;
    OpenOn(replugged);
    port.PortWrite("back");
    EXPECT_EQ(replugged.Read(4), "back");
    replugged.Close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return linkLost > 1; }, 3000));
    TicksOver(100);
    EXPECT_EQ(linkLost, 2);
}

}  // namespace
