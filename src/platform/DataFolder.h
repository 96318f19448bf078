#pragma once

#include <QString>

namespace quelm::platform {

// Where the catalogue lives: $QUELM_HOME; else the executable's folder when it holds Quelm.mdb (a portable copy);
// else the user's data folder. Paths use '/'.
QString ResolveDataFolder(const QString& executableFolder);

} // namespace quelm::platform
