#include "store/CategoryTables.h"

#include "platform/Database.h"
#include "platform/Names.h"
#include "store/Catalogue.h"
#include "store/PendingPictures.h"
#include "store/TableSql.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <sqlite3.h>
#include <stdexcept>
#include <thread>

namespace quelm::store {

using platform::ColumnType;
using platform::Database;
using platform::EngineError;
using platform::Transaction;
using platform::Value;

namespace {

std::optional<QString> CheckTableName(const QString& name) {
    if (auto reason = platform::CheckSqlName(name))
        return QStringLiteral("テーブル名「") + platform::NameForMessage(name) + QStringLiteral("」: ") + *reason;
    return std::nullopt;
}

// Names that come from the configuration rather than from the user: a bad one is a damaged catalogue.
void RequireTableName(const QString& name) {
    if (auto problem = CheckTableName(name))
        throw EngineError(*problem);
}

std::optional<QString> CheckGroup(const QString& label, const QStringList& names, const QStringList& fixedColumns) {
    // The key columns go first, so a user field that repeats one of them is the one reported.
    if (auto problem = platform::CheckSqlNames(fixedColumns + names)) {
        const int k = problem->index - static_cast<int>(fixedColumns.size());
        return label + QString::number(k + 1) + QStringLiteral("「") + platform::NameForMessage(names.value(k)) +
               QStringLiteral("」: ") + problem->reason;
    }
    return std::nullopt;
}

const QString MainGroupLabel = QStringLiteral("メイン項目");
const QString SubGroupLabel = QStringLiteral("サブ項目");
QStringList MainFixedColumns() {
    return {MainKeyColumn, PictureFlagColumn};
}
QStringList SubFixedColumns() {
    return {MainKeyColumn, SubKeyColumn};
}

// Type words go into the table SQL as they are stored, so only the three known words may pass.
std::optional<QString> CheckTypes(const QStringList& types) {
    for (const QString& t : types) {
        const QString word = t.trimmed().toUpper();
        if (word != TypeText && word != TypeLong && word != TypeDate)
            return QStringLiteral("データ型「") + t + QStringLiteral("」は使えません。");
    }
    return std::nullopt;
}

std::optional<QString> CheckSectionTypes(const ConfigSection& s) {
    if (auto problem = CheckTypes(MainFieldTypes(s)))
        return problem;
    return CheckTypes(SubFieldTypes(s));
}

QString AlreadyExists(const QString& table) {
    return QStringLiteral("テーブル「") + table.trimmed() + QStringLiteral("」は既に存在します。");
}

QStringList Trimmed(const QStringList& names) {
    QStringList l;
    for (const QString& n : names)
        l << n.trimmed();
    return l;
}

bool IsNumeric(const Value& v) {
    switch (v.kind()) {
    case Value::Kind::Integer:
    case Value::Kind::Real:
        return true;
    case Value::Kind::Text: {
        bool ok = false;
        v.toText().trimmed().toDouble(&ok);
        return ok;
    }
    default:
        return false;
    }
}

// What an old cell becomes in the rebuilt table: one blank means empty; number and date fields keep only what is a
// number or a date; everything else, keys and picture flag included, is carried as it is.
Value CarriedValue(const Value& v, bool userField, ColumnType type) {
    if (v.kind() == Value::Kind::Text && v.toText() == QLatin1String(" "))
        return Value();
    if (userField && type == ColumnType::Long)
        return IsNumeric(v) ? v : Value();
    if (userField && type == ColumnType::Date)
        return v.kind() == Value::Kind::Date ? v : Value();
    return v;
}

// Rows copied so far out of all rows a rename copies, for the caller's progress report.
class CopyTally {
public:
    CopyTally() = default;
    CopyTally(RebuildProgress report, std::int64_t total) : report_(std::move(report)), total_(total) { reportNow(0); }
    // Rows of the table being copied so far. The report never goes back, even when a copy starts over row by row.
    void reportNow(std::int64_t copiedOfTable) {
        reported_ = std::max(reported_, std::min(before_ + copiedOfTable, total_));
        if (report_)
            report_(reported_, total_);
    }
    void tableDone(std::int64_t rows) { before_ += rows; }

private:
    RebuildProgress report_;
    std::int64_t total_ = 0;
    std::int64_t before_ = 0;
    std::int64_t reported_ = 0;
};

// Rows per piece of a copy: small enough for the progress window to move several times a second.
constexpr int CopyPieceRows = 16384;

// One column's copy in SQL: what the cell becomes, and its kind for the engine's stored_as_is check, under which that
// is exactly what CarriedValue and the column's own checks would store. Every stored form of a well-kept catalogue
// passes; anything else (a blob, a fraction, an odd date text, a text over the limit) leaves the table to the
// row-by-row copy, which converts or refuses it.
struct SqlCarry {
    QString value;
    char kind;
};

std::optional<SqlCarry> SqlCarryOf(const platform::Column& from, const platform::Column& to) {
    if (from.type != to.type || from.maxLength != to.maxLength)
        return std::nullopt;
    const QString c = platform::QuoteIdentifier(from.name);
    // CASE rather than NULLIF: a function's result is a copy of the text, a column in CASE is not.
    const QString emptied = QStringLiteral("CASE WHEN %1 = ' ' THEN NULL ELSE %1 END").arg(c);
    switch (to.type) {
    case ColumnType::Text:
        if (to.maxLength != 255)
            return std::nullopt;
        return SqlCarry{emptied, 't'};
    case ColumnType::Long:
        return to.primaryKey ? SqlCarry{c, 'K'} : SqlCarry{emptied, 'l'};
    case ColumnType::Short:
        return to.primaryKey ? std::nullopt : std::optional<SqlCarry>(SqlCarry{emptied, 's'});
    case ColumnType::Date:
        // A stored date keeps its text; only a midnight time is dropped, as a date written by the program has none.
        return SqlCarry{QStringLiteral("CASE WHEN length(%1) = 19 AND substr(%1, 11) = ' 00:00:00' "
                                       "THEN substr(%1, 1, 10) ELSE %2 END")
                            .arg(c, emptied),
                        'd'};
    case ColumnType::Other:
        break;
    }
    return std::nullopt;
}

// Whether every row of table from keeps every cell to the byte through the column-by-column copy (copies_as_is): then
// the rows can be copied as the engine stores them.
bool EveryRowCopiesAsIs(Database& db, const QString& from, const QString& kinds, const QStringList& cells) {
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> query(
        db.prepare(QStringLiteral("SELECT NOT EXISTS (SELECT 1 FROM %1 WHERE NOT copies_as_is('%2', %3))")
                       .arg(platform::QuoteIdentifier(from), kinds, cells.join(QLatin1String(", ")))),
        sqlite3_finalize);
    if (sqlite3_step(query.get()) != SQLITE_ROW)
        db.raise();
    return sqlite3_column_int(query.get(), 0) == 1;
}

// A whole table's copy in SQL: each target column's name and value, and the kinds and source cells of the check.
struct SqlCopy {
    QStringList names, values, cells;
    QString kinds;
};

std::optional<SqlCopy> SqlCopyOf(const QList<platform::Column>& source, const QList<platform::Column>& target) {
    SqlCopy copy;
    for (int c = 0; c < target.size(); ++c) {
        const auto carry = SqlCarryOf(source[c], target[c]);
        if (!carry)
            return std::nullopt;
        copy.names << target[c].name;
        copy.values << carry->value;
        copy.kinds += QLatin1Char(carry->kind);
        copy.cells << platform::QuoteIdentifier(source[c].name);
    }
    return copy;
}

// A table's copy check as CopyBySql will ask it, from the table's own columns: the rebuilt table has the same ones.
struct CopyCheck {
    QString table;
    QString kinds;
    QStringList cells;
};

std::optional<CopyCheck> CopyCheckOf(Database& db, const QString& table) {
    const QList<platform::Column> columns = db.columns(table);
    const std::optional<SqlCopy> copy = SqlCopyOf(columns, columns);
    if (!copy)
        return std::nullopt;
    return CopyCheck{table, copy->kinds, copy->cells};
}

// The copy checks of the tables a rename rebuilds, run on a second connection that sees the same state while the
// first copies: a table goes across as the engine stores it before its answer is in, and is emptied again should a
// cell need the column-by-column copy. So the check, which reads every cell and costs about as much as the copy,
// takes no time of its own on a machine with a second core. Where no second connection can be had, each check runs
// on the first connection before its copy, as it would without this.
class CopyChecks {
public:
    CopyChecks(Database& db, std::vector<CopyCheck> checks, std::function<void()> tick)
        : db_(db), checks_(std::move(checks)), answers_(checks_.size()), tick_(std::move(tick)) {
        if (checks_.empty())
            return;
        twin_ = platform::ReadTwin::open(db);
        if (!twin_)
            return;
        reading_ = true;
        // Until the second connection has read, the first cannot write pages to the file; it keeps up to 64 MB of
        // them meanwhile, and beyond that waits, keeping the progress window painted.
        db.execute(QStringLiteral("PRAGMA cache_spill = %1").arg((std::int64_t{64} << 20) / db.pageSize()));
        sqlite3_busy_handler(db.handle(), &CopyChecks::Busy, this);
        worker_ = std::thread([this] { run(); });
    }

    ~CopyChecks() {
        if (!worker_.joinable())
            return;
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
            if (twin_)
                sqlite3_interrupt(twin_->db().handle());
        }
        worker_.join();
        sqlite3_busy_timeout(db_.handle(), platform::BusyMilliseconds);
    }

    CopyChecks(const CopyChecks&) = delete;
    CopyChecks& operator=(const CopyChecks&) = delete;

    // Whether the answer for this table, checked with these kinds, comes from the second connection.
    bool ahead(const QString& table, const QString& kinds) const { return indexOf(table, kinds) >= 0; }

    // That answer, once the second connection has it; nullopt when it could not tell.
    std::optional<bool> answer(const QString& table, const QString& kinds) {
        const int i = indexOf(table, kinds);
        for (;;) {
            {
                std::unique_lock lock(mutex_);
                if (answered_.wait_for(lock, std::chrono::milliseconds(50), [&] { return done_ > i; }))
                    return answers_[static_cast<std::size_t>(i)];
            }
            tick_();
        }
    }

private:
    int indexOf(const QString& table, const QString& kinds) const {
        if (!worker_.joinable())
            return -1;
        for (std::size_t i = 0; i < checks_.size(); ++i) {
            if (checks_[i].table == table && checks_[i].kinds == kinds)
                return static_cast<int>(i);
        }
        return -1;
    }

    void run() {
        for (std::size_t i = 0; i < checks_.size(); ++i) {
            std::optional<bool> answer;
            try {
                if (!stopping())
                    answer = EveryRowCopiesAsIs(twin_->db(), checks_[i].table, checks_[i].kinds, checks_[i].cells);
            } catch (...) {
                // Left to the first connection, which checks the table itself.
            }
            const std::lock_guard lock(mutex_);
            answers_[i] = answer;
            ++done_;
            answered_.notify_all();
        }
        const std::lock_guard lock(mutex_);
        twin_.reset(); // its read lock goes: the first connection may write to the file
        reading_ = false;
        answered_.notify_all();
    }

    bool stopping() {
        const std::lock_guard lock(mutex_);
        return stopping_;
    }

    // The first connection waits for the file while the second still reads it, then for others as long as usual.
    static int Busy(void* self, int count) {
        auto* me = static_cast<CopyChecks*>(self);
        if (count == 0)
            me->callsWhileReading_ = 0;
        bool reading = false;
        {
            std::unique_lock lock(me->mutex_);
            reading = me->reading_;
            if (reading)
                me->answered_.wait_for(lock, std::chrono::milliseconds(50), [me] { return !me->reading_; });
        }
        if (reading) {
            ++me->callsWhileReading_;
            me->tick_();
            return 1;
        }
        if ((count - me->callsWhileReading_) * 10 >= platform::BusyMilliseconds)
            return 0;
        sqlite3_sleep(10);
        return 1;
    }

    Database& db_;
    std::vector<CopyCheck> checks_;
    std::vector<std::optional<bool>> answers_;
    std::function<void()> tick_;
    std::unique_ptr<platform::ReadTwin> twin_;
    std::mutex mutex_;
    std::condition_variable answered_;
    int done_ = 0;
    bool reading_ = false;
    bool stopping_ = false;
    int callsWhileReading_ = 0;
    std::thread worker_;
};

// The whole table by INSERT … SELECT when every column has an SQL form and every row passes the check: as the
// engine stores the records when no cell changes (its transfer of whole records costs a fraction of composing each
// row), else in pieces for the progress report. False when it could not: nothing of the attempt is left behind.
bool CopyBySql(Database& db, const QString& from, const QString& to, const QList<platform::Column>& source,
               const QList<platform::Column>& target, std::int64_t rows, CopyTally& tally, CopyChecks& checks) {
    const std::optional<SqlCopy> sql = SqlCopyOf(source, target);
    if (!sql)
        return false;
    const auto& [names, values, cells, kinds] = *sql;
    // While a long statement runs, the progress is told again what it last heard, so that its window keeps painting.
    const platform::EngineTicks ticks(db, [&tally] { tally.reportNow(0); });
    const QString copyAsStored = QStringLiteral("INSERT INTO %1 SELECT * FROM %2")
                                     .arg(platform::QuoteIdentifier(to), platform::QuoteIdentifier(from));
    const bool ahead = checks.ahead(from, kinds);
    if (ahead)
        db.execute(copyAsStored);
    const std::optional<bool> answer = ahead ? checks.answer(from, kinds) : std::nullopt;
    if (answer ? *answer : EveryRowCopiesAsIs(db, from, kinds, cells)) {
        if (!ahead)
            db.execute(copyAsStored);
        tally.reportNow(rows);
        return true;
    }
    if (ahead)
        db.execute(QStringLiteral("DELETE FROM %1").arg(platform::QuoteIdentifier(to)));
    const QString check = QStringLiteral("stored_as_is('%1', %2)").arg(kinds, cells.join(QLatin1String(", ")));
    Transaction attempt(db);
    const std::int64_t copied =
        db.copyRows(from, to, names, values, check, CopyPieceRows, [&](std::int64_t n) { tally.reportNow(n); });
    if (copied != rows)
        return false; // a row needs the conversion of the row-by-row copy; the attempt is undone
    attempt.commit();
    return true;
}

void CopyRowByRow(Database& db, const QString& from, const QString& to, int userColumns, CopyTally& tally) {
    auto src = db.openTable(from);
    auto dst = db.openTable(to);
    const int columns = dst->fieldCount();
    std::int64_t copied = 0;
    for (; !src->eof(); src->moveNext()) {
        dst->addNew();
        for (int c = 0; c < columns; ++c)
            dst->setValue(c, CarriedValue(src->value(c), c < userColumns, dst->column(c).type));
        dst->update();
        if (++copied % CopyPieceRows == 0)
            tally.reportNow(copied);
    }
    tally.reportNow(copied);
}

void CopyRows(Database& db, const QString& from, const QString& to, int userColumns, CopyTally& tally,
              CopyChecks& checks) {
    const QList<platform::Column> source = db.columns(from);
    const QList<platform::Column> target = db.columns(to);
    if (source.size() != target.size())
        throw EngineError(QStringLiteral("テーブル「%1」の列の数が違います（%2 列、%3 列のはず）。")
                              .arg(from)
                              .arg(source.size())
                              .arg(target.size()));
    const std::int64_t rows = db.rowCount(from);
    if (!CopyBySql(db, from, to, source, target, rows, tally, checks))
        CopyRowByRow(db, from, to, userColumns, tally);
    tally.tableDone(rows);
}

enum class Kind { Main, Sub };

QString Rebuild(Database& db, const ConfigSection& section, const QStringList& names, Kind kind, CopyTally& tally,
                CopyChecks& checks) {
    const bool main = kind == Kind::Main;
    const QString oldName = (main ? section.SavedMainTable : section.SavedSubTable).trimmed();
    const QString newName = NextTableName(oldName);
    RequireTableName(oldName);
    RequireTableName(newName);
    if (auto problem = main ? CheckGroup(MainGroupLabel, names, MainFixedColumns())
                            : CheckGroup(SubGroupLabel, names, SubFixedColumns()))
        throw EngineError(*problem);
    const QStringList types = main ? MainFieldTypes(section) : SubFieldTypes(section);
    if (auto problem = CheckTypes(types))
        throw EngineError(*problem);

    db.execute(main ? CreateMainTableSql(newName, Trimmed(names), types)
                    : CreateSubTableSql(newName, Trimmed(names), types));
    CopyRows(db, oldName, newName, main ? MainFieldSlots : SubFieldSlots, tally, checks);
    // The old table holds the rows the new one now holds, so the engine's secure delete, which overwrites every freed
    // page, would only cost time (a third of a large rebuild's writing). The setting ends with the connection.
    db.execute(QStringLiteral("PRAGMA secure_delete = OFF"));
    db.execute(DropTableSql(oldName));
    return newName;
}

} // namespace

QString NextTableName(const QString& oldName) {
    const QString name = oldName.trimmed();
    const qsizetype p = name.indexOf(QLatin1Char('_'));
    if (p < 0)
        return name + QStringLiteral("_1");
    // The number is read from the leading digits after the "_"; anything else counts as 0.
    qint64 n = 0;
    for (qsizetype i = p + 1; i < name.size() && name[i].unicode() >= '0' && name[i].unicode() <= '9'; ++i) {
        if (n < 100000000000000000LL)
            n = n * 10 + (name[i].unicode() - '0');
    }
    return name.left(p + 1) + QString::number(n + 1);
}

SlotOffer OfferSlots(const CategoryConfig& config) {
    int cd = 1;
    int dvd = 4;
    for (int s = FirstSlotSection; s <= LastSlotSection; ++s) {
        if (!config[s].inUse())
            continue;
        if (s == 5 || s == 6)
            ++cd;
        if (s == 8 || s == 9)
            ++dvd;
    }
    SlotOffer offer;
    if (cd == 1 || cd == 2)
        offer.cdButton = cd;
    if (dvd == 4 || dvd == 5)
        offer.dvdButton = dvd;
    return offer;
}

std::optional<QString> CheckFieldNames(const QStringList& mainNames, const QStringList& subNames) {
    if (auto problem = CheckGroup(MainGroupLabel, mainNames, MainFixedColumns()))
        return problem;
    return CheckGroup(SubGroupLabel, subNames, SubFixedColumns());
}

std::optional<QString> AddSlot(AppState& state, int section) {
    const ConfigSection& slot = state.config[section];
    if (section < FirstSlotSection || section > LastSlotSection || slot.inUse())
        return slot.ShumokuName.trimmed() + QStringLiteral("は既に追加されています。");
    if (auto problem = CheckFieldNames(MainFieldNames(slot), SubFieldNames(slot)))
        return problem;
    if (auto problem = CheckSectionTypes(slot))
        return problem;
    const QString mainTable = slot.SavedMainTable.trimmed();
    const QString subTable = slot.SavedSubTable.trimmed();
    for (const QString& t : {mainTable, subTable}) {
        if (auto problem = CheckTableName(t))
            return problem;
    }
    if (platform::FoldSqlName(mainTable) == platform::FoldSqlName(subTable))
        return AlreadyExists(subTable);

    auto db = OpenCatalogue(state.databasePath());
    for (const QString& t : {mainTable, subTable}) {
        if (db->tableExists(t))
            return AlreadyExists(t);
    }
    CategoryConfig next = state.config;
    Transaction tx(*db);
    db->execute(CreateMainTableSql(mainTable, MainFieldNames(slot), MainFieldTypes(slot)));
    db->execute(CreateSubTableSql(subTable, SubFieldNames(slot), SubFieldTypes(slot)));
    next[section].InUse = 1;
    next[section].Dirty = 1;
    SaveConfig(*db, next);
    tx.commit();
    state.config = next;
    return std::nullopt;
}

DataDeletion DeleteCategoryData(AppState& state, int section, const std::function<void()>& compacting) {
    const ConfigSection& slot = state.config[section];
    if (!slot.inUse())
        return DataDeletion::NotCreated;
    const QString mainTable = slot.TableName.trimmed();
    const QString subTable = slot.SubTableName.trimmed();
    RequireTableName(mainTable);
    RequireTableName(subTable);

    auto db = OpenCatalogue(state.databasePath());
    CategoryConfig next = state.config;
    QList<std::int64_t> pictures;
    bool hadRows = false;
    {
        Transaction tx(*db);
        db->execute(QStringLiteral("DELETE FROM ") + platform::QuoteIdentifier(subTable));
        {
            auto rs = db->openTable(mainTable);
            for (; !rs->eof(); rs->moveNext()) {
                hadRows = true;
                const Value flag = rs->value(MainFieldSlots + 1);
                if (!flag.isNull() && flag.toInt() == 1)
                    pictures << rs->value(MainFieldSlots).toInt();
            }
        }
        if (hadRows) {
            db->execute(QStringLiteral("DELETE FROM ") + platform::QuoteIdentifier(mainTable));
            next[section].RegNo = 0;
            next[section].Dirty = 1;
            SaveConfig(*db, next);
            QStringList names;
            for (const std::int64_t regNo : pictures)
                names << QFileInfo(state.RecordPicturePath(section, regNo)).fileName();
            ListPicturesToDelete(*db, names);
        }
        tx.commit();
    }
    if (!hadRows)
        return DataDeletion::NothingToDelete;
    state.config = next;
    ++state.TablesGeneration[section];
    // Files cannot be rolled back, so they go only once the rows are gone for good; the list written with the rows'
    // deletion lets the next start finish the job if this is cut off.
    DeleteListedPictures(state.databasePath(), state.pictureFolder());
    Compact(state.databasePath(), compacting);
    return DataDeletion::Deleted;
}

QString CreateTableMain(Database& db, const ConfigSection& section, const QStringList& names) {
    CopyTally quiet;
    CopyChecks none(db, {}, {});
    return Rebuild(db, section, names, Kind::Main, quiet, none);
}

QString CreateTableSub(Database& db, const ConfigSection& section, const QStringList& names) {
    CopyTally quiet;
    CopyChecks none(db, {}, {});
    return Rebuild(db, section, names, Kind::Sub, quiet, none);
}

std::optional<QString> RenameFields(AppState& state, int section, const QStringList& mainNames,
                                    const QStringList& subNames, const RebuildProgress& progress) {
    if (mainNames.size() != MainFieldSlots || subNames.size() != SubFieldSlots)
        throw std::invalid_argument("RenameFields: 15 main and 10 sub names expected");
    const ConfigSection& slot = state.config[section];
    if (section < FirstSlotSection || section > LastSlotSection || !slot.inUse())
        return slot.ShumokuName + QStringLiteral("のファイルが作成されていません。");

    bool mainChanged = false;
    for (int k = 1; k <= MainFieldSlots; ++k)
        mainChanged = mainChanged || mainNames[k - 1] != slot.FieldName[k];
    bool subChanged = false;
    for (int k = 1; k <= SubFieldSlots; ++k)
        subChanged = subChanged || subNames[k - 1] != slot.SubFieldName[k];

    if (auto problem = CheckFieldNames(mainNames, subNames))
        return problem;
    if (auto problem = CheckSectionTypes(slot))
        return problem;

    // The new table names must be free: not an existing table, not each other, not the table of another slot
    // (a slot not added yet would otherwise never be able to create its tables).
    QStringList newNames;
    if (mainChanged)
        newNames << NextTableName(slot.SavedMainTable);
    if (subChanged)
        newNames << NextTableName(slot.SavedSubTable);
    for (const QString& t : newNames) {
        if (auto problem = CheckTableName(t))
            return problem;
    }
    if (newNames.size() == 2 && platform::FoldSqlName(newNames[0]) == platform::FoldSqlName(newNames[1]))
        return AlreadyExists(newNames[1]);
    for (int other = FirstSlotSection; other <= LastSlotSection; ++other) {
        if (other == section)
            continue;
        const ConfigSection& o = state.config[other];
        for (const QString& t : newNames) {
            for (const QString& used : {o.TableName, o.SubTableName, o.SavedMainTable, o.SavedSubTable}) {
                if (platform::FoldSqlName(used) == platform::FoldSqlName(t))
                    return QStringLiteral("テーブル名「") + t + QStringLiteral("」は種目「") + o.ShumokuName.trimmed() +
                           QStringLiteral("」のテーブル名として使われています。");
            }
        }
    }

    auto db = OpenCatalogue(state.databasePath());
    for (const QString& t : newNames) {
        if (db->tableExists(t))
            return AlreadyExists(t);
    }

    CategoryConfig next = state.config;
    ConfigSection& s = next[section];
    Transaction tx(*db);
    // The rows of both rebuilds make one progress report; a table that is missing fails in the rebuild itself.
    std::int64_t rows = 0;
    std::vector<CopyCheck> checks;
    for (const QString& t : {mainChanged ? slot.SavedMainTable.trimmed() : QString(),
                             subChanged ? slot.SavedSubTable.trimmed() : QString()}) {
        if (t.isEmpty() || CheckTableName(t) || !db->tableExists(t))
            continue;
        rows += db->rowCount(t);
        if (auto check = CopyCheckOf(*db, t))
            checks.push_back(std::move(*check));
    }
    CopyTally tally(mainChanged || subChanged ? progress : RebuildProgress(), rows);
    CopyChecks ahead(*db, std::move(checks), [&tally] { tally.reportNow(0); });
    if (mainChanged)
        s.TableName = Rebuild(*db, slot, mainNames, Kind::Main, tally, ahead);
    if (subChanged)
        s.SubTableName = Rebuild(*db, slot, subNames, Kind::Sub, tally, ahead);
    for (int k = 1; k <= MainFieldSlots; ++k)
        s.FieldName[k] = mainNames[k - 1];
    for (int k = 1; k <= SubFieldSlots; ++k)
        s.SubFieldName[k] = subNames[k - 1];
    s.Dirty = 1;
    SaveConfig(*db, next);
    tx.commit();
    state.config = next;
    ++state.TablesGeneration[section];
    return std::nullopt;
}

} // namespace quelm::store
