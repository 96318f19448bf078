#pragma once

#include "exchange/InventoryDatabase.h"

namespace quelm::exchange {

// Opens an SQLite database read-only as an inventory database; raises InventoryError when the engine cannot.
std::unique_ptr<InventoryDatabase> OpenSqliteInventory(const QString& path);

} // namespace quelm::exchange
