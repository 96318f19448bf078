#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace quelm::exchange {

// How the player is started from its folder.
struct PlayerCommand {
    QString program;
    QStringList arguments;
};

// The player of a folder: an executable "Player" there, else "Player.exe" through wine when wine is installed.
// nullopt when neither can be started.
std::optional<PlayerCommand> PlayerCommandIn(const QString& folder);

} // namespace quelm::exchange
