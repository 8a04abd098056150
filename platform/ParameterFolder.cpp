#include "platform/ParameterFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

constexpr const char* kFolderName = "PARAMETER";

// A folder that exists (made if need be) and takes new files.
bool Usable(const QString& dir) {
    return !dir.isEmpty() && QDir().mkpath(dir) && QFileInfo(dir).isWritable();
}

}  // namespace

QString ChooseParameterFolder(const QString& programDir, const QString& userDataDir) {
    for (const QString& base : {programDir, userDataDir}) {
        if (base.isEmpty()) continue;
        const QString dir = QDir(base).filePath(kFolderName);
        if (Usable(dir)) return QDir::cleanPath(dir);
    }
    return {};
}

QString ParameterFolder() {
    return ChooseParameterFolder(
        QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}
