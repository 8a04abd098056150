#include "platform/PortDiagnosis.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>

#include "platform/ComPort.h"

#ifdef Q_OS_UNIX
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>
#endif

QString PortListing::Details() const {
    QStringList parts;
    for (const QString& part : {description, manufacturer}) {
        if (!part.isEmpty()) parts << part;
    }
    if (!serialNumber.isEmpty()) parts << "serial " + serialNumber;
    return parts.join(", ");
}

PortPlatform CurrentPortPlatform() {
#if defined(Q_OS_LINUX)
    return PortPlatform::Linux;
#elif defined(Q_OS_WIN)
    return PortPlatform::Windows;
#else
    return PortPlatform::Other;
#endif
}

QString SystemLocation(const QString& portName) {
#ifdef Q_OS_UNIX
    const bool isPath =
        portName.startsWith('/') || portName.startsWith("./") || portName.startsWith("../");
    return isPath ? portName : "/dev/" + portName;
#else
    return portName;
#endif
}

QList<PortListing> AvailablePorts() {
    QList<PortListing> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        ports.append(
            {info.portName(), info.description(), info.manufacturer(), info.serialNumber()});
    }
    std::sort(ports.begin(), ports.end(), [](const PortListing& a, const PortListing& b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    return ports;
}

namespace {

std::string Settings(const PortSettings& s) {
    return QString("%1 baud, %2 data bits, parity %3, %4 stop bits, flow control %5")
        .arg(s.EffectiveBaudRate())
        .arg(s.DataBits, s.Parity, s.StopBits, s.FlowControl())
        .toStdString();
}

#ifdef Q_OS_UNIX
// The group of the node, the user, and whether the user is (or already acts as) a member.
void AddAccessFacts(PortFacts& facts, const QString& device) {
    struct stat info {};
    if (::stat(QFile::encodeName(device).constData(), &info) != 0) return;
    if (const group* owner = ::getgrgid(info.st_gid)) facts.group = owner->gr_name;
    const passwd* user = ::getpwuid(::geteuid());
    if (!user) return;
    facts.user = user->pw_name;

    int count = 64;
    std::vector<gid_t> listed(static_cast<std::size_t>(count));
    if (::getgrouplist(user->pw_name, user->pw_gid, listed.data(), &count) < 0) {
        listed.resize(static_cast<std::size_t>(count));
        ::getgrouplist(user->pw_name, user->pw_gid, listed.data(), &count);
    }
    listed.resize(static_cast<std::size_t>(std::max(count, 0)));
    facts.userInGroup = std::find(listed.begin(), listed.end(), info.st_gid) != listed.end();

    std::vector<gid_t> session(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
    session.resize(static_cast<std::size_t>(
        std::max(::getgroups(static_cast<int>(session.size()), session.data()), 0)));
    facts.sessionHasGroup = ::getegid() == info.st_gid ||
                            std::find(session.begin(), session.end(), info.st_gid) != session.end();
}
#endif

}  // namespace

PortFacts GatherPortFacts(const PortSettings& settings) {
    PortFacts facts;
    facts.port = settings.Port.toStdString();
    facts.settings = Settings(settings);
    for (const PortListing& listing : AvailablePorts())
        facts.present.push_back(listing.name.toStdString());
    if (settings.Port.isEmpty()) return facts;
    const QString location = SystemLocation(settings.Port);
    const QFileInfo info(location);
    const QString device = info.isSymLink() ? info.canonicalFilePath() : location;
    if (!device.isEmpty() && device != settings.Port) facts.device = device.toStdString();
    facts.kind = KindOfDevice((device.isEmpty() ? location : device).toStdString());
#ifdef Q_OS_UNIX
    AddAccessFacts(facts, location);
#endif
    return facts;
}

DeviceIdentity IdentifyDevice(const QString& portName) {
    DeviceIdentity identity;
    if (portName.isEmpty()) return identity;
#ifdef Q_OS_UNIX
    struct stat info {};
    if (::stat(QFile::encodeName(SystemLocation(portName)).constData(), &info) != 0)
        return identity;
    identity.present = true;
    identity.node = (static_cast<unsigned long long>(info.st_dev) << 32) ^ info.st_ino;
    identity.rdev = info.st_rdev;
#else
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (info.portName().compare(portName, Qt::CaseInsensitive) == 0) identity.present = true;
    }
#endif
    return identity;
}

bool DeviceUsable(const QString& portName) {
#ifdef Q_OS_UNIX
    return ::access(QFile::encodeName(SystemLocation(portName)).constData(), R_OK | W_OK) == 0;
#else
    return IdentifyDevice(portName).present;
#endif
}

std::optional<int> LatencyTimerMs(const QString& portName, const QString& sysRoot) {
    const QString location = SystemLocation(portName);
    QString device = QFileInfo(location).canonicalFilePath();
    if (device.isEmpty()) device = location;
    if (KindOfDevice(device.toStdString()) != PortKind::UsbAdapter) return std::nullopt;
    QFile file(QDir(sysRoot).filePath("bus/usb-serial/devices/" + QFileInfo(device).fileName() +
                                      "/latency_timer"));
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    bool ok = false;
    const int ms = QString::fromLatin1(file.readAll()).trimmed().toInt(&ok);
    return ok ? std::optional<int>(ms) : std::nullopt;
}
