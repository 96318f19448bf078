#pragma once

#include "exchange/InventoryDatabase.h"

namespace quelm::exchange {

// Opens a file by what its first bytes say it is, with the reader of its kind (SQLite or Access); raises
// InventoryError when it is missing, of another kind or unreadable.
std::unique_ptr<InventoryDatabase> OpenInventoryFile(const QString& path);

} // namespace quelm::exchange
