#pragma once
// The one serial port to the drive, on QSerialPort: the settings table and its
// defaults, open/close, framed writes with a deadline, and the receive
// notification. An unplugged line closes the port once and reports LinkLost.

#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <stdexcept>
#include <stop_token>
#include <string>

#include "platform/PortDiagnosis.h"
#include "protocol/LinkInterfaces.h"

class QSerialPort;

// The user-visible settings (string forms as stored and listed in the dialog)
// and the individual flow-control line settings.
struct PortSettings {
    enum class Rts { Inactive, Active, Handshake };

    QString Port = "COM1";
    QString BaudRate = "9600";  // or "Custom", then CustomBaudRate applies
    int CustomBaudRate = 9600;
    QString DataBits = "8";
    QString StopBits = "1";
    QString Parity = "None";

    Rts RtsMode = Rts::Inactive;
    bool DtrActive = false;
    bool CtsOutFlow = false;
    bool DsrOutFlow = false;
    bool XonXoffIn = false;
    bool XonXoffOut = false;
    char XonChar = 17;
    char XoffChar = 19;

    static const QStringList& BaudRates();  // ... "256000", "Custom"
    static const QStringList& DataBitsList();
    static const QStringList& StopBitsList();
    static const QStringList& Parities();
    static const QStringList& FlowControls();  // "Hardware", "Software", "None", "Custom"

    int EffectiveBaudRate() const;
    // Applies a flow-control choice to the line settings; "Custom" (or unknown) changes nothing.
    void ApplyFlowControl(const QString& choice);
    // The flow-control string the four line settings amount to.
    QString FlowControl() const;
};

// An error of the port layer, with the user-visible message.
struct PortError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The drive's serial port. It belongs to the thread that created it; writes
// from other threads are carried out there.
class TComPort : public QObject, public ILinkPort {
    Q_OBJECT
  public:
    static constexpr int kBufferSize = 1024;

    explicit TComPort(QObject* parent = nullptr);
    ~TComPort() override;

    bool Connected() const override;
    // Returns once the bytes are out. Throws PortError("WriteFile function failed
    // (win error code: N)"). From another thread it waits for the port's thread,
    // which must be running its event loop.
    void PortWrite(const std::string& bytes) override;
    // The same from another thread, given up when `stop` is requested before
    // the port's thread has begun the write: then nothing is sent and it
    // returns false. A write already begun is waited for.
    bool PortWrite(const std::string& bytes, std::stop_token stop);

    // While a program download owns the line, the frames PortWrite(bytes) is
    // given are not put on it: they would land inside the program. Their
    // exchanges go unanswered and time out as with a silent drive.
    void SetReservedForDownload(bool reserved) { reserved_ = reserved; }

    // Throws PortError("Unable to open com port (win error code: N)"), followed
    // on further lines by the port and what the failure means.
    void Open();
    void Close();

    const PortSettings& Settings() const { return settings_; }
    // The device node the last successful Open reached.
    const DeviceIdentity& OpenedDevice() const { return opened_; }
    // Reconfigures an open port at once; a new port name closes and reopens it.
    // Throws PortError("Unable to open com port ...") when the device refuses a setting.
    void SetSettings(const PortSettings& settings);

    // Reads up to `count` waiting bytes into `buffer` (replacing it); returns the number read.
    int PortRead(std::string& buffer, int count);

  signals:
    // Bytes have arrived; `count` is the number waiting.
    void OnRxChar(int count);
    // The line failed (unplugged, far end gone): the port is already closed.
    // `message` names the port and ends with the reason the device gives.
    // Posted, so it arrives from the event loop; at most once per open.
    void LinkLost(const QString& message);

  private:
    void ApplySettings();
    void ApplyOrRestore(const PortSettings& previous);
    void ApplyLineSettings();
    void OnReadyRead();
    void OnError(int error);
    void ResumeReading();
    void WriteHere(const std::string& bytes);
    bool WriteFromOtherThread(const std::string& bytes, std::stop_token stop);
    void AwaitWritten(std::size_t count);

    QSerialPort* serial_;
    PortSettings settings_;
    std::atomic<bool> reserved_ = false;
    DeviceIdentity opened_;
    bool lost_ = false;  // this open has ended; it reports no (further) LinkLost
    // Set while PortWrite waits: bytes arriving then are announced afterwards,
    // once the caller has set up what it expects.
    bool writing_ = false;
    bool rxPending_ = false;
    unsigned openCount_ = 0;
};
