#include "platform/PortSettingsStore.h"

#include <QSettings>
#include <QStandardPaths>

namespace {

// The root a key names, spelt as the registry spells it; empty when unknown.
QString CanonicalRoot(const QString& root) {
    for (const char* known : {"HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER"}) {
        if (root.compare(known, Qt::CaseInsensitive) == 0) return known;
    }
    return {};
}

// The list entry `value` names regardless of case, or `fallback`.
QString Match(const QString& value, const QStringList& entries, const QString& fallback) {
    for (const QString& entry : entries) {
        if (entry.compare(value, Qt::CaseInsensitive) == 0) return entry;
    }
    return fallback;
}

QString KeyOf(const QString& baseKey, const QString& objectName) {
    return baseKey + "\\" + objectName;
}

}  // namespace

std::unique_ptr<QSettings> OpenSettingsKey(const QString& key) {
    const qsizetype split = key.indexOf('\\');
    const QString root = CanonicalRoot(split < 0 ? key : key.left(split));
    if (root.isEmpty()) return nullptr;
    const QString path = split < 0 ? QString() : key.mid(split + 1);
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(root + "\\" + path, QSettings::NativeFormat);
#else
    // Elsewhere one INI file holds every key: [ROOT] then path\value=... lines.
    const QString file =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/vrx5/vrx5.ini";
    auto settings = std::make_unique<QSettings>(file, QSettings::IniFormat);
    settings->beginGroup(root + "/" + QString(path).replace('\\', '/'));
    return settings;
#endif
}

void LoadPortSettings(PortSettings& settings, const QString& baseKey, const QString& objectName) {
    const auto store = OpenSettingsKey(KeyOf(baseKey, objectName));
    if (!store || store->status() != QSettings::NoError) throw PortError(PortStore::kLoadFailed);
    const auto text = [&](const char* name) { return store->value(name).toString(); };

    settings.Port = text("Port");
    settings.BaudRate = Match(text("BaudRate"), PortSettings::BaudRates(), "9600");
    if (settings.BaudRate == "Custom") {
        bool ok = false;
        const int rate = store->value("CustomBaudRate").toInt(&ok);
        if (ok) settings.CustomBaudRate = rate;
    }
    settings.StopBits = Match(text("StopBits"), PortSettings::StopBitsList(), "1");
    settings.DataBits = Match(text("DataBits"), PortSettings::DataBitsList(), "8");
    settings.Parity = Match(text("Parity"), PortSettings::Parities(), "None");
    settings.ApplyFlowControl(Match(text("FlowControl"), PortSettings::FlowControls(), "Custom"));
}

void StorePortSettings(const PortSettings& settings, const QString& baseKey,
                       const QString& objectName) {
    const auto store = OpenSettingsKey(KeyOf(baseKey, objectName));
    if (!store || !store->isWritable()) throw PortError(PortStore::kStoreFailed);
    store->setValue("Port", settings.Port);
    store->setValue("BaudRate", settings.BaudRate);
    if (settings.BaudRate.compare("Custom", Qt::CaseInsensitive) == 0)
        store->setValue("CustomBaudRate", settings.CustomBaudRate);
    store->setValue("StopBits", settings.StopBits);
    store->setValue("DataBits", settings.DataBits);
    store->setValue("Parity", settings.Parity);
    store->setValue("FlowControl", settings.FlowControl());
    store->sync();
    if (store->status() != QSettings::NoError) throw PortError(PortStore::kStoreFailed);
}
