#pragma once

#include "platform/ListRow.h"
#include "platform/Value.h"

#include <QList>
#include <QString>
#include <QStringEncoder>
#include <QStringList>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace quelm::platform {

// How long a connection waits for another's lock on the file before it gives up.
inline constexpr int BusyMilliseconds = 3000;

// Any failure of the engine, carrying its message.
class EngineError : public std::runtime_error {
public:
    explicit EngineError(const QString& message) : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// Declared types: TEXT / TEXT(n), LONG (32-bit), SHORT (16-bit), DATE; anything else is stored as given.
enum class ColumnType { Text, Long, Short, Date, Other };

struct Column {
    QString name;
    ColumnType type = ColumnType::Other;
    int maxLength = 0; // characters a TEXT column holds; 0 means no limit
    bool primaryKey = false;
};

class Recordset;
class Transaction;

// One open catalogue file. Each operation opens it, works and lets it go, so nothing stays locked between events.
class Database {
public:
    // Opens an existing database file; fails clearly when it is missing or is not a database.
    static std::unique_ptr<Database> open(const QString& path);
    // The same for a file of another program that is only read: the engine never writes to it.
    static std::unique_ptr<Database> openReadOnly(const QString& path);
    // Creates a new, empty database file (the file must not exist).
    static std::unique_ptr<Database> create(const QString& path);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const QString& path() const { return path_; }

    // Runs exactly one statement; any text after the first statement is an error and nothing runs.
    void execute(const QString& sql);
    // Compared as the engine compares names: ASCII letters in either case.
    bool tableExists(const QString& table);
    QList<QString> tableNames();
    // The largest whole number in a column (an indexed column answers at once); 0 for an empty table or no numbers.
    std::int64_t maxOf(const QString& table, const QString& column);
    // The declared columns of a table, in creation order.
    QList<Column> columns(const QString& table);
    // Number of rows of a table.
    std::int64_t rowCount(const QString& table);
    // Bytes of one page of the file.
    std::int64_t pageSize();

    // Copies rows of table `from` into table `to` by INSERT … SELECT, piece by piece in the source's rowid order, so a
    // long copy can report between pieces: target column k gets expression k (SQL over the source's columns), and
    // only rows meeting `condition` go. After each piece progress(rows copied so far). Stops after the first piece
    // that copied fewer rows than it held and returns the rows copied, so a caller comparing it with the row count
    // learns early that some row did not qualify.
    std::int64_t copyRows(const QString& from, const QString& to, const QStringList& targetColumns,
                          const QStringList& expressions, const QString& condition, int pieceRows,
                          const std::function<void(std::int64_t copied)>& progress = {});

    // The whole table, in ascending primary key, else in insertion order.
    std::unique_ptr<Recordset> openTable(const QString& table);
    // Only the rows whose column equals key, through the column's index; same order as a full scan.
    std::unique_ptr<Recordset> openTable(const QString& table, const QString& column, const Value& key);
    // The whole table in the order its rows are stored: read straight through, without visiting the primary key's
    // index for every row, which makes a full scan several times faster.
    // Limited to the rows whose rowid lies in [fromRowid, toRowid], it lets two connections share one scan.
    std::unique_ptr<Recordset> openTableInStoredOrder(const QString& table,
                                                      std::int64_t fromRowid = std::numeric_limits<std::int64_t>::min(),
                                                      std::int64_t toRowid = std::numeric_limits<std::int64_t>::max());
    // The primary key's columns in key order; empty without one.
    QStringList primaryKey(const QString& table);

    sqlite3* handle() const { return db_; }
    // Prepares one statement, refusing trailing statements.
    sqlite3_stmt* prepare(const QString& sql);
    [[noreturn]] void raise(const QString& context = {}) const;

private:
    Database(sqlite3* db, QString path);
    static std::unique_ptr<Database> openWith(const QString& path, int flags, int busyMilliseconds = BusyMilliseconds);
    std::unique_ptr<Recordset> openTableImpl(const QString& table, const QString& filterColumn, const Value* key,
                                             bool keyOrder, const QString& rowidCondition = {});

    sqlite3* db_;
    QString path_;
    int savepointDepth_ = 0;
    friend class Transaction;
    friend class ReadTwin;
};

// All or nothing: everything done on the database while the guard lives is undone unless commit() is called.
// Guards nest (savepoints), so a helper may open its own inside a caller's.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Database& db_;
    QString name_;
    bool done_ = false;
};

// A second, read-only connection that sees the same state of the catalogue as a first one, so that a long read can
// be split over two threads (each connection used by one thread at a time). It takes the first connection's read
// lock, which no write can be committed past while the first's transaction lasts, and then starts its own reading.
class ReadTwin {
public:
    // db must be inside a Transaction. Null where the twin could not be sure to read the same state: no transaction,
    // a write-ahead log (each of its readers sees the state of its own start), or a twin that cannot open or lock the
    // file at once (a writer is waiting); the caller then does the work alone.
    static std::unique_ptr<ReadTwin> open(Database& db);
    ~ReadTwin();
    ReadTwin(const ReadTwin&) = delete;
    ReadTwin& operator=(const ReadTwin&) = delete;

    Database& db() { return *db_; }

private:
    ReadTwin() = default;
    std::unique_ptr<Database> db_;
    std::unique_ptr<Transaction> reading_;
};

// A scan over one table with DAO-style editing. Assignments are checked against the declared column types,
// which SQLite itself would not do: LONG takes a 32-bit whole number, DATE a date, TEXT at most 255 characters.
class Recordset {
public:
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    const QString& table() const { return table_; }
    int fieldCount() const { return static_cast<int>(columns_.size()); }
    const Column& column(int i) const { return columns_.at(i); }
    // Position of a column by name; raises EngineError when there is none.
    int indexOf(const QString& name) const;

    bool eof() const { return eof_; }
    void moveFirst();
    // A recordset opened on a key covers the rows of another key, with the statement it already has.
    void requery(const Value& key);
    void moveNext();
    // Exact number of rows the recordset covers.
    int recordCount();

    Value value(int i) const;
    Value value(const QString& name) const { return value(indexOf(name)); }
    // The cell as a list shows it (fast path for filling lists): empty for Null, yyyy/MM/dd for dates.
    QString text(int i) const;
    // The same text appended to a list row straight from the engine's UTF-8, without making a QString.
    void appendText(int i, ListRow::Builder& row) const;
    // The first columns cells of the row appended so, each as appendText would.
    void appendTexts(int columns, ListRow::Builder& row) const;
    // The engine's UTF-8 text of the cell, valid until the recordset moves; a null view (data() == nullptr) for Null.
    // For scans that only read: a row changed through this recordset raises EngineError.
    std::string_view utf8Text(int i) const;
    // The UTF-8 of the cell as appendText writes it, valid until the recordset moves or this is asked again; the
    // same limits as utf8Text.
    std::string_view listUtf8(int i) const;
    // The cell's number when the engine holds a whole number there; nullopt for Null, a text or a real.
    std::optional<std::int64_t> wholeNumber(int i) const;

    void addNew();
    void edit();
    // Checks and converts the value for the column; raises EngineError and keeps the buffer unchanged if it does not
    // fit.
    void setValue(int i, const Value& v);
    void setValue(const QString& name, const Value& v) { setValue(indexOf(name), v); }
    void update();
    void cancelUpdate();
    // Deletes the current row; the caller moves on with moveNext().
    void deleteCurrent();

    // Converts a value to what the column stores, or raises EngineError.
    static Value coerce(const Column& column, const Value& v);

private:
    friend class Database;
    Recordset(Database& db, QString table, QList<Column> columns, QString selectSql, Value key, bool keyed);
    void step();
    void requireRow() const;
    // appendText of a column in range on a row as the engine holds it.
    void appendEngineText(int i, ListRow::Builder& row) const;
    // The list's UTF-8 of a column in range on an unchanged row; a date or a number is written into scratch.
    std::string_view engineListText(int i, char (&scratch)[32]) const;
    void requireUnchanged(int i) const;
    void addRow();
    void bindForAdd(int i);

    enum class EditMode { None, Add, Edit };
    Database& db_;
    QString table_;
    std::vector<Column> columns_;
    QString selectSql_;
    Value key_;
    bool keyed_;
    sqlite3_stmt* stmt_ = nullptr;
    sqlite3_stmt* insert_ = nullptr; // the add statement, prepared on the first add
    // The UTF-8 of the texts bound to the add statement, one buffer per column reused from row to row, so adding
    // many rows neither allocates a copy per cell nor has the engine make one.
    std::vector<std::string> bound_;
    QStringEncoder utf8_{QStringEncoder::Utf8, QStringConverter::Flag::Stateless};
    bool eof_ = true;
    std::int64_t rowid_ = 0;
    EditMode mode_ = EditMode::None;
    std::vector<Value> buffer_;
    std::vector<Value> written_; // values of the current row after an edit, which the statement no longer shows
    bool deleted_ = false;
    mutable char listText_[32] = {}; // listUtf8's date or number
};

// Writes a consistent copy of an open database to the new file `targetPath` through the engine's online backup, so a
// file being written is never copied half way. Raises EngineError (and removes the half-made file) on failure, its
// message for the user's eyes (a full disk said as such, else the engine's text as a detail). The copy
// goes in pieces of a megabyte or so, each told to progress (bytes done, bytes in all); false from it stops the copy:
// the half-made file is removed and false returned.
using CopyProgress = std::function<bool(std::int64_t done, std::int64_t total)>;
bool CopyDatabase(Database& source, const QString& targetPath, const CopyProgress& progress = {});

// While one lives, the engine calls tick every million or so of its steps inside any statement of db, so that a long
// statement (a VACUUM, a rebuild's copy) can keep a progress window painting.
class EngineTicks {
public:
    EngineTicks(Database& db, std::function<void()> tick);
    ~EngineTicks();
    EngineTicks(const EngineTicks&) = delete;
    EngineTicks& operator=(const EngineTicks&) = delete;

private:
    static int Tick(void* self);
    Database& db_;
    std::function<void()> tick_;
};

// Double-quoted SQL identifier; names are checked before they get here, this only keeps quoting well-formed.
QString QuoteIdentifier(const QString& name);

} // namespace quelm::platform
