#include "platform/ComPort.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QScopeGuard>
#include <QSerialPort>
#include <QThread>
#include <cerrno>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>

#include "platform/PortDiagnosis.h"
#include "platform/PortMessages.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstring>
#endif

// ---------------------------------------------------------------- PortSettings

const QStringList& PortSettings::BaudRates() {
    static const QStringList list{"110",    "300",    "600",    "1200",  "2400",  "4800",
                                  "9600",   "14400",  "19200",  "38400", "56000", "57600",
                                  "115200", "128000", "256000", "Custom"};
    return list;
}

const QStringList& PortSettings::DataBitsList() {
    static const QStringList list{"5", "6", "7", "8"};
    return list;
}

const QStringList& PortSettings::StopBitsList() {
    static const QStringList list{"1", "1.5", "2"};
    return list;
}

const QStringList& PortSettings::Parities() {
    static const QStringList list{"None", "Odd", "Even", "Mark", "Space"};
    return list;
}

const QStringList& PortSettings::FlowControls() {
    static const QStringList list{"Hardware", "Software", "None", "Custom"};
    return list;
}

int PortSettings::EffectiveBaudRate() const {
    if (BaudRate.compare("Custom", Qt::CaseInsensitive) == 0) return CustomBaudRate;
    bool ok = false;
    const int rate = BaudRate.toInt(&ok);
    return ok && rate > 0 ? rate : 9600;
}

void PortSettings::ApplyFlowControl(const QString& choice) {
    const auto is = [&](const char* name) {
        return choice.compare(name, Qt::CaseInsensitive) == 0;
    };
    if (!is("Hardware") && !is("Software") && !is("None")) return;
    RtsMode = Rts::Inactive;
    CtsOutFlow = false;
    XonXoffIn = false;
    XonXoffOut = false;
    if (is("Hardware")) {
        RtsMode = Rts::Handshake;
        CtsOutFlow = true;
    } else if (is("Software")) {
        XonXoffIn = true;
        XonXoffOut = true;
    }
}

QString PortSettings::FlowControl() const {
    const bool xonBoth = XonXoffIn && XonXoffOut;
    const bool xonNone = !XonXoffIn && !XonXoffOut;
    if (RtsMode == Rts::Handshake && CtsOutFlow && xonNone) return "Hardware";
    if (RtsMode == Rts::Inactive && !CtsOutFlow && xonBoth) return "Software";
    if (RtsMode == Rts::Inactive && !CtsOutFlow && xonNone) return "None";
    return "Custom";
}

// ---------------------------------------------------------------- helpers

namespace {

QSerialPort::DataBits ToDataBits(const QString& text) {
    if (text == "5") return QSerialPort::Data5;
    if (text == "6") return QSerialPort::Data6;
    if (text == "7") return QSerialPort::Data7;
    return QSerialPort::Data8;
}

QSerialPort::StopBits ToStopBits(const QString& text) {
    if (text == "1.5") return QSerialPort::OneAndHalfStop;
    if (text == "2") return QSerialPort::TwoStop;
    return QSerialPort::OneStop;
}

QSerialPort::Parity ToParity(const QString& text) {
    const auto is = [&](const char* name) { return text.compare(name, Qt::CaseInsensitive) == 0; };
    if (is("Odd")) return QSerialPort::OddParity;
    if (is("Even")) return QSerialPort::EvenParity;
    if (is("Mark")) return QSerialPort::MarkParity;
    if (is("Space")) return QSerialPort::SpaceParity;
    return QSerialPort::NoParity;
}

QSerialPort::FlowControl ToFlowControl(const QString& choice) {
    if (choice == "Hardware") return QSerialPort::HardwareControl;
    if (choice == "Software") return QSerialPort::SoftwareControl;
    return QSerialPort::NoFlowControl;
}

bool LinkFailure(int error) {
    return error == QSerialPort::ResourceError || error == QSerialPort::ReadError ||
           error == QSerialPort::WriteError;
}

// QSerialPort keeps the system error to itself; this is the closest errno.
int ErrorNumber(QSerialPort::SerialPortError error) {
    switch (error) {
        case QSerialPort::DeviceNotFoundError:
            return ENOENT;
        case QSerialPort::PermissionError:  // the OS let us in, the lock of another user did not
        case QSerialPort::OpenError:
            return EBUSY;
        case QSerialPort::ResourceError:
            return ENXIO;
        case QSerialPort::UnsupportedOperationError:
            return ENOTSUP;
        case QSerialPort::TimeoutError:
            return ETIMEDOUT;
        case QSerialPort::NotOpenError:
            return EBADF;
        default:
            return EIO;
    }
}

// After a failed open, asks the system itself why the device cannot be opened.
int OpenErrorNumber(const QSerialPort& serial) {
    if (serial.portName().isEmpty()) return ENOENT;
#ifdef Q_OS_UNIX
    const QByteArray path = QFile::encodeName(SystemLocation(serial.portName()));
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return errno;
    ::close(fd);
#endif
    return ErrorNumber(serial.error());
}

PortError ErrorWithCode(const char* what, int number) {
    return PortError(QString("%1 (win error code: %2)").arg(what).arg(number).toStdString());
}

// The open failure with the port named and the number explained.
PortError OpenFailure(int number, const PortSettings& settings) {
    return PortError(OpenFailureMessage(number, CurrentPortPlatform(), GatherPortFacts(settings)));
}

constexpr const char* kWriteFailed = "WriteFile function failed";

// Whether the device behind an open port still answers, and if not, why in
// the system's own words. QSerialPort cannot tell: a terminal read with
// nothing waiting returns no bytes, just as one whose far end hung up does,
// and it reports both as a failure worded with whatever errno an earlier,
// unrelated call left behind.
struct LineCheck {
    bool alive;
    std::string reason;
};

LineCheck CheckLine(const QSerialPort& serial) {
#ifdef Q_OS_UNIX
    int waiting = 0;
    if (::ioctl(static_cast<int>(serial.handle()), FIONREAD, &waiting) == 0) return {true, {}};
    return {false, std::strerror(errno)};
#else
    // Here the error text is taken right after the failing call.
    return {false, serial.errorString().toStdString()};
#endif
}

}  // namespace

// ---------------------------------------------------------------- TComPort

TComPort::TComPort(QObject* parent) : QObject(parent), serial_(new QSerialPort(this)) {
    connect(serial_, &QSerialPort::readyRead, this, &TComPort::OnReadyRead);
    connect(serial_, &QSerialPort::errorOccurred, this,
            [this](QSerialPort::SerialPortError error) { OnError(error); });
}

TComPort::~TComPort() {
    Close();
}

bool TComPort::Connected() const {
    return serial_->isOpen();
}

void TComPort::Open() {
    if (serial_->isOpen()) {
        ApplySettings();
        return;
    }
    serial_->setPortName(settings_.Port);
    if (!serial_->open(QIODevice::ReadWrite))
        throw OpenFailure(OpenErrorNumber(*serial_), settings_);
    ++openCount_;
    opened_ = IdentifyDevice(settings_.Port);
    lost_ = false;
    rxPending_ = false;
    serial_->setReadBufferSize(kBufferSize);
    try {
        ApplySettings();
    } catch (const PortError&) {
        Close();
        throw;
    }
    serial_->clearError();
}

void TComPort::Close() {
    if (!serial_->isOpen()) return;
    lost_ = true;  // errors while closing are no loss of the line
    serial_->clear();
    serial_->close();
    rxPending_ = false;
}

void TComPort::SetSettings(const PortSettings& settings) {
    const bool reopen = serial_->isOpen() && settings.Port != settings_.Port;
    const PortSettings previous = settings_;
    settings_ = settings;
    if (reopen) {
        Close();
        Open();
    } else if (serial_->isOpen()) {
        ApplyOrRestore(previous);
    }
}

// A refused change leaves the port, and what it reports and stores, on the
// settings it still runs with.
void TComPort::ApplyOrRestore(const PortSettings& previous) {
    try {
        ApplySettings();
    } catch (const PortError&) {
        settings_ = previous;
        try {
            ApplySettings();
        } catch (const PortError&) {
        }
        throw;
    }
}

// A setting the device refuses (a custom rate of 0, say) must not leave the
// port running on its previous one unnoticed.
void TComPort::ApplySettings() {
    const bool applied = serial_->setBaudRate(settings_.EffectiveBaudRate()) &&
                         serial_->setDataBits(ToDataBits(settings_.DataBits)) &&
                         serial_->setStopBits(ToStopBits(settings_.StopBits)) &&
                         serial_->setParity(ToParity(settings_.Parity)) &&
                         serial_->setFlowControl(ToFlowControl(settings_.FlowControl()));
    if (!applied) {
        serial_->clearError();
        throw OpenFailure(EINVAL, settings_);
    }
    ApplyLineSettings();
}

// Modem lines: a pseudo-terminal has none and refuses these calls, which is harmless.
void TComPort::ApplyLineSettings() {
    serial_->setDataTerminalReady(settings_.DtrActive);
    // In handshake mode the driver owns RTS.
    if (settings_.RtsMode != PortSettings::Rts::Handshake)
        serial_->setRequestToSend(settings_.RtsMode == PortSettings::Rts::Active);
    if (serial_->error() == QSerialPort::UnsupportedOperationError) serial_->clearError();
}

void TComPort::PortWrite(const std::string& bytes) {
    if (reserved_) return;
    if (QThread::currentThread() != thread())
        WriteFromOtherThread(bytes, {});
    else
        WriteHere(bytes);
}

bool TComPort::PortWrite(const std::string& bytes, std::stop_token stop) {
    if (QThread::currentThread() != thread()) return WriteFromOtherThread(bytes, stop);
    WriteHere(bytes);
    return true;
}

namespace {

// A write handed to the port's thread. The caller may give up on it while it
// is queued; a port destroyed before it ran drops it, and the caller hears so.
struct HandedWrite {
    enum State { Queued, Running, Done, GivenUp, Dropped };
    std::mutex mutex;
    std::condition_variable_any changed;
    State state = Queued;
    std::exception_ptr failure;

    bool Begin() {
        std::lock_guard lock(mutex);
        if (state != Queued) return false;
        state = Running;
        return true;
    }
    void End(State end, std::exception_ptr error = {}) {
        {
            std::lock_guard lock(mutex);
            if (end == Dropped && state != Queued) return;
            state = end;
            failure = std::move(error);
        }
        changed.notify_all();
    }
};

}  // namespace

// The port object serves only its own thread, so another thread's write runs
// there while the caller waits, and a failure is rethrown to the caller. The
// wait is no blocking queued call: the port's thread may itself be waiting for
// the caller (a worker being stopped and joined), and then the caller gives up.
bool TComPort::WriteFromOtherThread(const std::string& bytes, std::stop_token stop) {
    auto job = std::make_shared<HandedWrite>();
    std::shared_ptr<void> dropGuard(nullptr, [job](void*) { job->End(HandedWrite::Dropped); });
    QMetaObject::invokeMethod(
        this,
        [this, job, dropGuard, bytes] {
            if (!job->Begin()) return;
            try {
                WriteHere(bytes);
                job->End(HandedWrite::Done);
            } catch (...) {
                job->End(HandedWrite::Done, std::current_exception());
            }
        },
        Qt::QueuedConnection);
    dropGuard.reset();

    std::unique_lock lock(job->mutex);
    const auto settled = [&] {
        return job->state == HandedWrite::Done || job->state == HandedWrite::Dropped;
    };
    job->changed.wait(lock, stop, settled);
    if (job->state == HandedWrite::Queued) {
        job->state = HandedWrite::GivenUp;
        return false;
    }
    job->changed.wait(lock, settled);
    if (job->state == HandedWrite::Dropped) throw ErrorWithCode(kWriteFailed, EBADF);
    if (job->failure) std::rethrow_exception(job->failure);
    return true;
}

void TComPort::WriteHere(const std::string& bytes) {
    if (!serial_->isOpen()) throw ErrorWithCode(kWriteFailed, EBADF);
    serial_->clearError();
    writing_ = true;
    const auto announceDeferred = qScopeGuard([this] {
        writing_ = false;
        if (rxPending_)
            QMetaObject::invokeMethod(this, &TComPort::OnReadyRead, Qt::QueuedConnection);
    });
    const auto size = static_cast<qint64>(bytes.size());
    if (serial_->write(bytes.data(), size) != size)
        throw ErrorWithCode(kWriteFailed, ErrorNumber(serial_->error()));
    AwaitWritten(bytes.size());
}

// One waitForBytesWritten call returns after the first chunk has gone out.
void TComPort::AwaitWritten(std::size_t count) {
    const QDeadlineTimer deadline(1000 + 100 * static_cast<qint64>(count));
    while (serial_->isOpen() && serial_->bytesToWrite() > 0) {
        if (deadline.hasExpired()) throw ErrorWithCode(kWriteFailed, ETIMEDOUT);
        if (!serial_->waitForBytesWritten(static_cast<int>(deadline.remainingTime())) &&
            serial_->error() != QSerialPort::TimeoutError && serial_->isOpen())
            throw ErrorWithCode(kWriteFailed, ErrorNumber(serial_->error()));
    }
    // Only a failing line closes the port during the wait.
    if (!serial_->isOpen()) throw ErrorWithCode(kWriteFailed, ENXIO);
}

void TComPort::OnReadyRead() {
    if (writing_) {
        rxPending_ = true;
        return;
    }
    rxPending_ = false;
    if (!serial_->isOpen()) return;
    const auto waiting = serial_->bytesAvailable();
    if (waiting > 0) emit OnRxChar(static_cast<int>(waiting));
}

int TComPort::PortRead(std::string& buffer, int count) {
    buffer.clear();
    if (!serial_->isOpen() || count <= 0) return 0;
    const QByteArray data = serial_->read(count);
    buffer.assign(data.constData(), static_cast<std::size_t>(data.size()));
    return static_cast<int>(buffer.size());
}

// A vanished device makes QSerialPort repeat its error endlessly while the
// port stays open, so the first one closes it. LinkLost is posted so that its
// receivers never run inside a write or a read of the port.
void TComPort::OnError(int error) {
    if (!LinkFailure(error) || lost_ || !serial_->isOpen()) return;
    const LineCheck line = CheckLine(*serial_);
    if (line.alive) {
        // A read that found nothing (its bytes were taken by the wait of a
        // write); a write that really failed says so to its caller.
        serial_->clearError();
        ResumeReading();
        return;
    }
    lost_ = true;
    const QString reason =
        QString::fromStdString(LinkLostMessage(settings_.Port.toStdString(), line.reason));
    Close();
    const unsigned lostOpen = openCount_;
    QMetaObject::invokeMethod(
        this,
        [this, reason, lostOpen] {
            if (lostOpen == openCount_) emit LinkLost(reason);
        },
        Qt::QueuedConnection);
}

// QSerialPort switches its read notification off after some of those
// misread failures and on again whenever a read reaches past its buffer;
// peeking one byte past it does that and leaves the buffer as it is.
void TComPort::ResumeReading() {
    QByteArray probe(serial_->bytesAvailable() + 1, Qt::Uninitialized);
    serial_->peek(probe.data(), probe.size());
}
