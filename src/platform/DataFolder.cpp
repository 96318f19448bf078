#include "platform/DataFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace quelm::platform {

QString ResolveDataFolder(const QString& executableFolder) {
    const QString home = qEnvironmentVariable("QUELM_HOME");
    if (!home.isEmpty())
        return QDir::cleanPath(QDir::fromNativeSeparators(home));
    if (QFileInfo::exists(QDir(executableFolder).filePath(QStringLiteral("Quelm.mdb"))))
        return QDir::cleanPath(executableFolder);
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

} // namespace quelm::platform
