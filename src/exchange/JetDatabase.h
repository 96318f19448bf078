#pragma once

#include "exchange/InventoryDatabase.h"

#include <QDateTime>

class QIODevice;

namespace quelm::exchange {

// Opens a genuine Access file (Jet 3 or Jet 4) for reading. libmdb may loop for ever or eat memory on a damaged
// file, so the file is read whole by the reader program (quelm-mdbreader) in a process of its own, under a time and
// a memory limit, and its tables are handed back through a pipe. Raises InventoryError when the file cannot be read,
// the reader is not there, or the reader is stopped at a limit.
std::unique_ptr<InventoryDatabase> OpenJetDatabase(const QString& path);

// The reader program's limits: it is stopped when it sends nothing for the first, or runs longer than the second.
inline constexpr int JetReaderQuietMs = 3000;
inline constexpr int JetReaderTotalMs = 60000;

// The reader program's work: opens the file through libmdb in this process (Jet 3 texts decoded by the code page
// the file names in its header, 932 for a Japanese Access; Jet 4 texts from UTF-16 with or without its compression)
// and writes every user table to out. Returns the program's exit code.
int WriteJetDump(const QString& path, QIODevice& out);
// The tables a reader wrote, as a database; InventoryError when the dump is damaged or tells of an error.
std::unique_ptr<InventoryDatabase> ReadJetDump(const QByteArray& dump);

// A Jet date: days since 1899-12-30, the fraction the time of day (its absolute value, also before that day).
QDateTime JetDateTime(double serial);

} // namespace quelm::exchange
