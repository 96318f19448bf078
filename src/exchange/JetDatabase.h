#pragma once

#include "exchange/InventoryDatabase.h"

#include <QDateTime>

namespace quelm::exchange {

// Opens a genuine Access file (Jet 3 or Jet 4) for reading through libmdb. Jet 3 texts are decoded by the code page
// the file names in its header (932 for files made by a Japanese Access), Jet 4 texts from UTF-16 with or without
// its compression. Raises InventoryError when libmdb cannot read the file.
std::unique_ptr<InventoryDatabase> OpenJetDatabase(const QString& path);

// A Jet date: days since 1899-12-30, the fraction the time of day (its absolute value, also before that day).
QDateTime JetDateTime(double serial);

} // namespace quelm::exchange
