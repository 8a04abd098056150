#include "app/UserGuide.h"

#include <QDir>
#include <QFileInfo>

QString FindUserGuide(const QString& programDir) {
    const QStringList candidates{
        QDir(programDir).filePath("../share/vrx5/guide/index.html"),
        QStringLiteral(VRX5_SOURCE_DOCS "/index.html"),
    };
    for (const QString& candidate : candidates) {
        if (QFileInfo(candidate).isFile()) return QFileInfo(candidate).canonicalFilePath();
    }
    return {};
}
