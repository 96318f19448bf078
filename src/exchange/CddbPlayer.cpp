#include "exchange/CddbPlayer.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace quelm::exchange {

std::optional<PlayerCommand> PlayerCommandIn(const QString& folder) {
    if (folder.trimmed().isEmpty())
        return std::nullopt;
    const QDir dir(folder);
    const QFileInfo native(dir.filePath(QStringLiteral("Player")));
    if (native.isFile() && native.isExecutable())
        return PlayerCommand{native.absoluteFilePath(), {}};
    const QFileInfo windows(dir.filePath(QStringLiteral("Player.exe")));
    if (!windows.isFile())
        return std::nullopt;
    const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
    if (wine.isEmpty())
        return std::nullopt;
    return PlayerCommand{wine, {windows.absoluteFilePath()}};
}

} // namespace quelm::exchange
