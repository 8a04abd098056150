#pragma once
// Keeps the serial port settings between runs: seven named values under the
// key "<base key>\<port object name>", by default
// HKEY_LOCAL_MACHINE\Software\Norvik\ComPort.

#include <QString>
#include <memory>

#include "platform/ComPort.h"

class QSettings;

namespace PortStore {
inline constexpr const char* kBaseKey = "HKEY_LOCAL_MACHINE\\Software\\Norvik";
inline constexpr const char* kObjectName = "ComPort";
inline constexpr const char* kLoadFailed = "Failed to load settings";
inline constexpr const char* kStoreFailed = "Failed to store settings";
}  // namespace PortStore

// Opens "ROOT\path" of the settings store, ROOT being HKEY_LOCAL_MACHINE or
// HKEY_CURRENT_USER in any case; the returned settings have that key as
// their current group. nullptr for an unknown root.
std::unique_ptr<QSettings> OpenSettingsKey(const QString& key);

// Replaces the port settings that are stored by the stored ones; an unknown
// string gives the default, an unknown flow control leaves the line settings
// as they are. Throws PortError(kLoadFailed).
void LoadPortSettings(PortSettings& settings, const QString& baseKey = PortStore::kBaseKey,
                      const QString& objectName = PortStore::kObjectName);

// Throws PortError(kStoreFailed).
void StorePortSettings(const PortSettings& settings, const QString& baseKey = PortStore::kBaseKey,
                       const QString& objectName = PortStore::kObjectName);
