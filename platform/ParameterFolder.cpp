#include "platform/ParameterFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

constexpr const char* kFolderName = "PARAMETER";

// Where the system's packages put programs: never a place for the user's files,
// even when the user (root) could write there.
bool SystemFolder(const QString& dir) {
    const QString clean = QDir::cleanPath(dir);
    for (const char* prefix : {"/usr/", "/bin", "/sbin", "/opt/"}) {
        if (clean.startsWith(prefix) || clean + "/" == prefix) return true;
    }
    return false;
}

// A folder that exists (made if need be) and takes new files.
bool Usable(const QString& dir) {
    return !dir.isEmpty() && QDir().mkpath(dir) && QFileInfo(dir).isWritable();
}

}  // namespace

QString ChooseParameterFolder(const QString& programDir, const QString& userDataDir) {
    for (const QString& base : {programDir, userDataDir}) {
        if (base.isEmpty() || (base == programDir && SystemFolder(base))) continue;
        const QString dir = QDir(base).filePath(kFolderName);
        if (Usable(dir)) return QDir::cleanPath(dir);
    }
    return {};
}

QString ParameterFolder() {
    return ChooseParameterFolder(QCoreApplication::applicationDirPath(),
                                 QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}
