#pragma once

#include "platform/Value.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <stdexcept>

namespace quelm::exchange {

// A database file of another program, read and never written: the inventory program's Dravn.mdb, or a catalogue
// brought over from Windows. The file is either an SQLite database or a genuine Access (Jet 3 / Jet 4) file; both
// forms give the same rows through this interface (readers: SqliteInventory, JetDatabase; OpenInventoryFile picks one).

// Any failure to read such a file: missing, of an unknown kind, damaged, or without the table asked for.
class InventoryError : public std::runtime_error {
public:
    explicit InventoryError(const QString& message) : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// A forward scan over one table, in table order.
class InventoryTable {
public:
    virtual ~InventoryTable() = default;
    virtual int columnCount() const = 0;
    virtual QString columnName(int i) const = 0;
    // Moves to the next row (the first on the first call); false after the last.
    virtual bool next() = 0;
    // A cell of the current row: Null, whole number, real, text or date. Columns past the last read as Null.
    virtual platform::Value value(int i) const = 0;
};

class InventoryDatabase {
public:
    enum class Format { Sqlite, Jet3, Jet4, Ace };

    virtual ~InventoryDatabase() = default;
    virtual Format format() const = 0;
    // The user tables, in the file's own order.
    virtual QStringList tableNames() = 0;
    // Table names are matched as the engine of the file matches them: ASCII letters in either case.
    bool hasTable(const QString& name);
    // Raises InventoryError when there is no such table.
    virtual std::unique_ptr<InventoryTable> openTable(const QString& name) = 0;
};

// Whether two table names are the same for the engines: ASCII letters in either case, every other character exact.
bool SameTableName(const QString& a, const QString& b);

} // namespace quelm::exchange
