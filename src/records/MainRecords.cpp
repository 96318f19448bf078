#include "records/MainRecords.h"

#include "platform/CodePage.h"
#include "platform/Database.h"
#include "platform/Names.h"
#include "store/Catalogue.h"

#include <QRegularExpression>
#include <algorithm>
#include <future>
#include <iterator>
#include <limits>
#include <numeric>
#include <sqlite3.h>

namespace quelm::records {

using platform::Database;
using platform::EngineError;
using platform::Recordset;
using platform::Value;
using store::ConfigSection;

namespace {

int FieldCountOf(const ConfigSection& s) {
    return std::clamp<int>(s.FieldCount, 0, store::MainFieldSlots);
}

platform::ListRow RowOf(const Recordset& rs, int columns, platform::ListRow::Builder& builder) {
    rs.appendTexts(columns, builder);
    return builder.finish();
}

// Full-width ASCII and the ideographic space as their narrow forms; everything else unchanged.
QString Narrow(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if (u >= 0xFF01 && u <= 0xFF5E)
            c = QChar(static_cast<char16_t>(u - 0xFF01 + 0x21));
        else if (u == 0x3000)
            c = QLatin1Char(' ');
    }
    return out;
}

// Puts rows in the order of their keys, keys[i] being the key of rows[i]; rows already in that order stay as they are.
void PutInKeyOrder(std::vector<platform::ListRow>& rows, const std::vector<std::int64_t>& keys) {
    if (std::is_sorted(keys.begin(), keys.end()))
        return;
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
    std::vector<platform::ListRow> sorted;
    sorted.reserve(rows.size());
    for (std::size_t i : order)
        sorted.push_back(std::move(rows[i]));
    rows = std::move(sorted);
}

// Rows at least this far apart in rowid are read on two threads: below it a second connection costs more than it saves.
constexpr std::int64_t RowidsWorthTwoThreads = 16384;

// The rows of one rowid range that keep accepts, in stored order, and their record numbers; nullopt at the first
// record number that is not a whole number.
struct StoredRows {
    std::vector<platform::ListRow> rows;
    std::vector<std::int64_t> keys;
};

template <typename Keep> std::optional<StoredRows> ReadStoredRows(Recordset& rs, int columns, int keyPos, Keep& keep) {
    StoredRows out;
    platform::ListRow::Builder builder(columns);
    for (; !rs.eof(); rs.moveNext()) {
        if (!keep(rs))
            continue;
        const std::optional<RecordKey> key = RecordKeyOf(rs, keyPos, -1);
        if (!key)
            return std::nullopt;
        out.keys.push_back(key->regNo);
        out.rows.push_back(RowOf(rs, columns, builder));
    }
    return out;
}

// The rows of a main table that keep accepts, in stored order with their record numbers: a large table in two halves
// of its rowids, the upper on another thread over a second connection that sees the same state. Not when the caller
// is inside a transaction of its own, whose writes the second connection would not see. nullopt when the table is
// not keyed by record numbers or holds one that is not a whole number.
template <typename Keep>
std::optional<StoredRows> ReadStoredRowsOf(Database& db, const QString& table, int columns, int keyPos, Keep& keep) {
    std::optional<platform::Transaction> reading;
    if (sqlite3_get_autocommit(db.handle()) != 0)
        reading.emplace(db); // one state for both connections
    auto rs = db.openTableInStoredOrder(table);
    RequireColumnCount(*rs, columns);
    if (!KeyedByRecordNumbers(db, *rs, keyPos, -1))
        return std::nullopt;
    const std::int64_t highest = reading ? db.maxOf(table, QStringLiteral("rowid")) : 0;
    const std::unique_ptr<platform::ReadTwin> twin =
        highest >= 2 * RowidsWorthTwoThreads ? platform::ReadTwin::open(db) : nullptr;
    std::optional<StoredRows> stored;
    if (twin) {
        const std::int64_t middle = highest / 2;
        auto later = std::async(std::launch::async, [&, own = keep]() mutable {
            // A copy of keep: a matcher it holds folds texts into a buffer of its own.
            auto upper = twin->db().openTableInStoredOrder(table, middle, std::numeric_limits<std::int64_t>::max());
            RequireColumnCount(*upper, columns);
            return ReadStoredRows(*upper, columns, keyPos, own);
        });
        try {
            rs = db.openTableInStoredOrder(table, std::numeric_limits<std::int64_t>::min(), middle - 1);
            stored = ReadStoredRows(*rs, columns, keyPos, keep);
        } catch (...) {
            later.wait(); // the other thread uses this frame's names and keep
            throw;
        }
        std::optional<StoredRows> upper = later.get();
        if (stored && upper) {
            stored->rows.reserve(stored->rows.size() + upper->rows.size());
            std::move(upper->rows.begin(), upper->rows.end(), std::back_inserter(stored->rows));
            stored->keys.insert(stored->keys.end(), upper->keys.begin(), upper->keys.end());
        } else {
            stored.reset();
        }
    } else {
        stored = ReadStoredRows(*rs, columns, keyPos, keep);
    }
    if (reading)
        reading->commit(); // it only read: ending it so leaves the caller's other statements alone
    return stored;
}

// The rows of a main table that keep accepts, in key order. They are read straight through in stored order, which
// spares a visit to the key's index for every record, and put in key order afterwards where the table does not store
// them so. A table whose key is not 登録ＮＯ (at keyPos), or that holds a 登録ＮＯ that is not a whole number (a file
// from elsewhere), is read in key order by the engine.
template <typename Keep>
std::vector<platform::ListRow> ReadInKeyOrder(Database& db, const QString& table, int columns, int keyPos,
                                              Keep&& keep) {
    if (std::optional<StoredRows> stored = ReadStoredRowsOf(db, table, columns, keyPos, keep)) {
        PutInKeyOrder(stored->rows, stored->keys);
        return std::move(stored->rows);
    }
    std::vector<platform::ListRow> rows;
    platform::ListRow::Builder builder(columns);
    auto rs = db.openTable(table);
    RequireColumnCount(*rs, columns);
    for (; !rs->eof(); rs->moveNext())
        if (keep(*rs))
            rows.push_back(RowOf(*rs, columns, builder));
    return rows;
}

} // namespace

// ---------------------------------------------------------------- record list

std::vector<ListColumn> FieldListColumns(std::span<const QString> names, int count, QString (*typeOf)(int)) {
    std::vector<ListColumn> columns;
    columns.reserve(count + 2);
    for (int k = 1; k <= count; ++k) {
        int width = 1400;
        Qt::Alignment align = Qt::AlignLeft;
        if (k == 1) {
            width = 3700;
        } else if (k == 2) {
            width = 2000;
        } else if (const QString type = typeOf(k); type == store::TypeLong) {
            width = 1000;
            align = Qt::AlignRight;
        } else if (type == store::TypeDate) {
            width = 1500;
            align = Qt::AlignRight;
        }
        columns.push_back({names[k], width, align});
    }
    return columns;
}

std::vector<ListColumn> MainListColumns(const ConfigSection& section) {
    std::vector<ListColumn> columns =
        FieldListColumns(section.FieldName, FieldCountOf(section), store::MainFieldTypeOf);
    columns.push_back({RegNoHeading, 0, Qt::AlignRight});
    columns.push_back({PictureHeading, 0, Qt::AlignRight});
    return columns;
}

std::vector<platform::ListRow> ReadMainRows(Database& db, const store::AppState& state) {
    const ConfigSection& s = state.config[CheckedSection(state.CurrentSection)];
    const QString table = CheckedTableName(s.TableName);
    const int n = FieldCountOf(s);
    const int columns = n + 2;
    std::vector<platform::ListRow> rows;
    platform::ListRow::Builder builder(columns);

    if (state.ListMode != 0 && state.ListMode != 1) {
        auto rs = db.openTable(table, store::MainKeyColumn, Value(state.CurrentRegNo));
        RequireColumnCount(*rs, columns);
        if (!rs->eof())
            rows.push_back(RowOf(*rs, columns, builder));
        return rows;
    }

    if (state.ListMode == 0)
        return ReadInKeyOrder(db, table, columns, n, [](const Recordset&) { return true; });
    const store::FieldSearch& criteria = state.FieldSearchCriteria;
    const FieldSearchMatcher matcher(criteria);
    if (!matcher.known() || criteria.searchField < 0 || criteria.searchField >= n)
        return rows;
    // The matcher goes with the predicate, so that each thread of the read has its own (see ReadStoredRowsOf).
    return ReadInKeyOrder(db, table, columns, n, [matcher, field = criteria.searchField](const Recordset& rs) {
        return matcher.matches(rs.value(field));
    });
}

FieldSearchMatcher::FieldSearchMatcher(const store::FieldSearch& criteria)
    : criteria_(criteria), text_(criteria.searchType == store::TypeText ? criteria.searchText : QString(),
                                 criteria.exactMatch == 1 ? TextFold::Exact : TextFold::CaseWidthKana),
      known_(criteria.searchType == store::TypeText || criteria.searchType == store::TypeLong ||
             criteria.searchType == store::TypeDate) {}

bool MatchesFieldSearch(const Value& cell, const store::FieldSearch& criteria) {
    return FieldSearchMatcher(criteria).matches(cell);
}

bool FieldSearchMatcher::matches(const Value& cell) const {
    const store::FieldSearch& criteria = criteria_;
    if (cell.isNull())
        return false;
    if (criteria.searchType == store::TypeText)
        return text_.occursIn(cell.toText());
    if (criteria.searchType == store::TypeLong) {
        if (cell.kind() == Value::Kind::Integer)
            return cell.toInt() == criteria.searchNumber;
        if (cell.kind() == Value::Kind::Real)
            return cell.toReal() == criteria.searchNumber;
        return false;
    }
    if (criteria.searchType == store::TypeDate) {
        if (cell.kind() != Value::Kind::Date)
            return false;
        const QDate day = criteria.searchDate.isValid() ? criteria.searchDate : store::FieldSearch::ZeroDate;
        // Day and time of day compared apart: a QDateTime comparison goes through the time zone, which made a scan
        // of a large table several times slower. The sought value is midnight of its day, so a time makes it later.
        const QDateTime v = cell.toDate();
        const int order = v.date() < day ? -1 : v.date() > day ? 1 : (v.time() > QTime(0, 0) ? 1 : 0);
        switch (criteria.dateComparison) {
        case 0:
            return order == 0;
        case 1:
            return order > 0;
        case 2:
            return order < 0;
        default:
            return false;
        }
    }
    return false;
}

// ---------------------------------------------------------------- sub records

SubCounts CountSubRecords(Database& db, const ConfigSection& section, qint64 regNo) {
    SubCounts counts;
    const SubTable t = CheckedSubTable(section);
    auto rs = t.openRowsOf(db, regNo);
    for (; !rs->eof(); rs->moveNext()) {
        ++counts.count;
        // A number past the 32-bit range counts as the largest one, so the next add reports the limit instead of
        // reusing a number.
        const std::int64_t subNo =
            std::min<std::int64_t>(rs->value(t.subNoPos).toInt(), std::numeric_limits<std::int32_t>::max());
        if (subNo > counts.maxSubNo)
            counts.maxSubNo = static_cast<int>(subNo);
    }
    return counts;
}

int SectionOfCategory(const store::CategoryConfig& config, const QString& name, int fallback) {
    for (int s = store::FirstSlotSection; s <= store::LastSlotSection; ++s) {
        if (config[s].ShumokuName == name)
            return s;
    }
    return fallback;
}

int CheckedSection(int section) {
    if (section < store::FirstSlotSection || section > store::LastSlotSection)
        throw EngineError(QStringLiteral("種目のセクション %1 はありません。").arg(section));
    return section;
}

QString CheckedTableName(const QString& configured) {
    const QString name = configured.trimmed();
    if (auto problem = platform::CheckSqlName(name))
        throw EngineError(*problem);
    return name;
}

void RequireColumnCount(const Recordset& rs, int count) {
    if (rs.fieldCount() < count)
        throw EngineError(QStringLiteral("テーブル '%1' の列の数が足りません。").arg(rs.table()));
}

bool KeyedByRecordNumbers(Database& db, const Recordset& rs, int regNoPos, int subNoPos) {
    QStringList wanted{store::MainKeyColumn};
    if (subNoPos >= 0)
        wanted << store::SubKeyColumn;
    return db.primaryKey(rs.table()) == wanted && rs.indexOf(store::MainKeyColumn) == regNoPos &&
           (subNoPos < 0 || rs.indexOf(store::SubKeyColumn) == subNoPos);
}

std::optional<RecordKey> RecordKeyOf(const Recordset& rs, int regNoPos, int subNoPos) {
    const std::optional<std::int64_t> regNo = rs.wholeNumber(regNoPos);
    const std::optional<std::int64_t> subNo = subNoPos >= 0 ? rs.wholeNumber(subNoPos) : std::int64_t{0};
    if (!regNo || !subNo)
        return std::nullopt;
    return RecordKey{*regNo, *subNo};
}

SubTable CheckedSubTable(const ConfigSection& section) {
    SubTable t;
    t.name = CheckedTableName(section.SubTableName);
    t.regNoPos = std::clamp<int>(section.SubFieldCount, 0, store::SubFieldSlots);
    t.subNoPos = t.regNoPos + 1;
    return t;
}

std::unique_ptr<Recordset> SubTable::openRowsOf(Database& db, std::int64_t regNo) const {
    auto rs = db.openTable(name, store::MainKeyColumn, Value(regNo));
    RequireColumnCount(*rs, subNoPos + 1);
    return rs;
}

void SetLeadingValues(Recordset& rs, const std::vector<Value>& values) {
    for (int i = 0; i < static_cast<int>(values.size()); ++i)
        rs.setValue(i, values[i]);
}

int UpdateRecords(Recordset& rs, const std::vector<Value>& values, const RecordFilter& wanted) {
    int rows = 0;
    for (; !rs.eof(); rs.moveNext()) {
        if (wanted && !wanted(rs))
            continue;
        rs.edit();
        SetLeadingValues(rs, values);
        rs.update();
        ++rows;
    }
    return rows;
}

int DeleteRecords(Recordset& rs, const RecordFilter& wanted) {
    int rows = 0;
    for (; !rs.eof(); rs.moveNext()) {
        if (wanted && !wanted(rs))
            continue;
        rs.deleteCurrent();
        ++rows;
    }
    return rows;
}

// ---------------------------------------------------------------- editor

QString TypeErrorMessage(const QString& fieldName, const QString& text) {
    return fieldName + QStringLiteral("が相違しています。[ ") + text + QStringLiteral(" ]");
}

QString MainFieldType(const ConfigSection& section, int k) {
    const QString configured = section.FieldType[k].trimmed().toUpper();
    if (configured == store::TypeText || configured == store::TypeLong || configured == store::TypeDate)
        return configured;
    return store::MainFieldTypeOf(k);
}

QString SubFieldType(const ConfigSection& section, int k) {
    const QString configured = section.SubFieldType[k].trimmed().toUpper();
    if (configured == store::TypeText || configured == store::TypeLong || configured == store::TypeDate)
        return configured;
    return store::SubFieldTypeOf(k);
}

EditFields MainEditFields(const ConfigSection& section) {
    EditFields f;
    for (int k = 1; k <= FieldCountOf(section); ++k) {
        f.names.push_back(section.FieldName[k]);
        f.types.push_back(MainFieldType(section, k));
    }
    return f;
}

EditFields SubEditFields(const ConfigSection& section) {
    EditFields f;
    const int m = std::clamp<int>(section.SubFieldCount, 0, store::SubFieldSlots);
    for (int k = 1; k <= m; ++k) {
        f.names.push_back(section.SubFieldName[k]);
        f.types.push_back(SubFieldType(section, k));
    }
    return f;
}

std::optional<int> FindTooLongText(const EditFields& fields, const std::vector<FieldInput>& inputs) {
    const int n = std::min<int>(fields.count(), static_cast<int>(inputs.size()));
    for (int i = 0; i < n; ++i) {
        if (fields.types[i] == store::TypeText && platform::LenMbcs(inputs[i].text) > MaxTextBytes)
            return i;
    }
    return std::nullopt;
}

EditResult ConvertInputs(const EditFields& fields, const std::vector<FieldInput>& inputs, bool adding,
                         const QString& emptyText, std::vector<Value>& values) {
    EditResult r;
    // The 255-byte limit is kept here too, so no caller can store an over-long text by skipping its own check.
    if (auto field = FindTooLongText(fields, inputs)) {
        r.status = EditResult::Status::TooLong;
        r.field = *field;
        r.message = TooLongTextMessage;
        return r;
    }
    const int n = fields.count();
    values.clear();
    values.reserve(n);
    for (int i = 0; i < n; ++i) {
        const FieldInput input = i < static_cast<int>(inputs.size()) ? inputs[i] : FieldInput{};
        const QString& type = fields.types[i];
        auto v = StoreFieldValue(type, input, adding, emptyText);
        if (!v) {
            r.status = EditResult::Status::TypeError;
            r.field = i;
            r.message = TypeErrorMessage(fields.names[i].trimmed(), input.text);
            return r;
        }
        if (type == store::TypeText && input.text.isEmpty())
            r.blankedFields.push_back(i);
        values.push_back(std::move(*v));
    }
    return r;
}

EditResult EngineFailure(const EngineError& e, std::int32_t regNo) {
    EditResult r;
    r.status = EditResult::Status::EngineError;
    r.regNo = regNo;
    r.message = e.message();
    return r;
}

QString RecordMissingMessage(std::int32_t regNo) {
    return QStringLiteral("登録ＮＯ %1 の明細レコードが見つかりません。").arg(regNo);
}

EditResult RecordMissing(std::int32_t regNo, const QString& message) {
    EditResult r;
    r.status = EditResult::Status::NotFound;
    r.regNo = regNo;
    r.message = message;
    return r;
}

bool MainRecordExists(Database& db, const ConfigSection& section, std::int32_t regNo) {
    return !db.openTable(CheckedTableName(section.TableName), store::MainKeyColumn, Value(regNo))->eof();
}

std::optional<std::int32_t> ParseWholeNumber(const QString& text) {
    static const QRegularExpression whole(QStringLiteral("^[+-]?[0-9]+$"));
    const QString t = Narrow(text).trimmed();
    if (!whole.match(t).hasMatch())
        return std::nullopt;
    bool ok = false;
    const qlonglong n = t.toLongLong(&ok);
    if (!ok || n < std::numeric_limits<std::int32_t>::min() || n > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(n);
}

std::optional<QDate> ParseMaskedDate(const QString& text) {
    static const QRegularExpression masked(QStringLiteral("^([0-9]{4})/([0-9]{2})/([0-9]{2})$"));
    const auto m = masked.match(Narrow(text).trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    // The engine keeps years from 100 on.
    if (!d.isValid() || d.year() < 100)
        return std::nullopt;
    return d;
}

std::optional<Value> StoreFieldValue(const QString& type, const FieldInput& input, bool adding,
                                     const QString& emptyText) {
    if (type == store::TypeLong) {
        if (input.text.isEmpty())
            return Value();
        if (auto n = ParseWholeNumber(input.text))
            return Value(static_cast<std::int64_t>(*n));
        return std::nullopt;
    }
    if (type == store::TypeDate) {
        if (input.clipText.trimmed().isEmpty())
            return Value();
        if (adding && input.text == UntouchedDate)
            return Value();
        if (auto d = ParseMaskedDate(input.text))
            return Value(QDateTime(*d, QTime(0, 0)));
        return std::nullopt;
    }
    if (input.text.isEmpty())
        return Value(emptyText);
    return Value(input.text);
}

std::optional<int> FindTooLongText(const ConfigSection& section, const std::vector<FieldInput>& inputs) {
    return FindTooLongText(MainEditFields(section), inputs);
}

EditResult AddMainRecord(store::AppState& state, const std::vector<FieldInput>& inputs) {
    try {
        const int section = CheckedSection(state.CurrentSection);
        const ConfigSection& s = state.config[section];
        std::vector<Value> values;
        EditResult r = ConvertInputs(MainEditFields(s), inputs, true, EmptyTextValue, values);
        if (!r.ok())
            return r;
        const QString table = CheckedTableName(s.TableName);

        auto db = store::OpenCatalogue(state.databasePath());
        store::CategoryConfig next = state.config;
        {
            platform::Transaction tx(*db);
            // The counter of this copy may lag behind the table (another copy, an older catalogue); a number that
            // main or sub records already carry is never issued again.
            const std::int64_t last =
                std::max({static_cast<std::int64_t>(s.RegNo), db->maxOf(table, store::MainKeyColumn),
                          db->maxOf(CheckedSubTable(s).name, store::MainKeyColumn)});
            if (last >= std::numeric_limits<std::int32_t>::max())
                throw EngineError(QStringLiteral("登録NOが上限に達しています。"));
            const std::int32_t regNo = static_cast<std::int32_t>(last) + 1;
            {
                auto rs = db->openTable(table, store::MainKeyColumn, Value(regNo));
                rs->addNew();
                SetLeadingValues(*rs, values);
                rs->setValue(store::MainKeyColumn, Value(regNo));
                rs->setValue(store::PictureFlagColumn, Value(0));
                rs->update();
            }
            next[section].RegNo = regNo;
            next[section].Dirty = 1;
            store::SaveConfig(*db, next);
            tx.commit();
            r.regNo = regNo;
        }
        state.config = next;
        r.rows = 1;
        return r;
    } catch (const EngineError& e) {
        return EngineFailure(e);
    }
}

EditResult UpdateMainRecord(store::AppState& state, std::int32_t regNo, const std::vector<FieldInput>& inputs) {
    try {
        const ConfigSection& s = state.config[CheckedSection(state.CurrentSection)];
        std::vector<Value> values;
        EditResult r = ConvertInputs(MainEditFields(s), inputs, false, EmptyTextValue, values);
        r.regNo = regNo;
        if (!r.ok())
            return r;
        const QString table = CheckedTableName(s.TableName);

        auto db = store::OpenCatalogue(state.databasePath());
        platform::Transaction tx(*db);
        r.rows = UpdateRecords(*db->openTable(table, store::MainKeyColumn, Value(regNo)), values);
        if (r.rows == 0)
            return RecordMissing(regNo, RecordMissingMessage(regNo));
        tx.commit();
        return r;
    } catch (const EngineError& e) {
        return EngineFailure(e, regNo);
    }
}

EditResult DeleteMainRecord(store::AppState& state, std::int32_t regNo, bool withSubs) {
    try {
        const ConfigSection& s = state.config[CheckedSection(state.CurrentSection)];
        const QString table = CheckedTableName(s.TableName);
        const std::optional<SubTable> subs = withSubs ? std::optional(CheckedSubTable(s)) : std::nullopt;
        EditResult r;
        r.regNo = regNo;

        auto db = store::OpenCatalogue(state.databasePath());
        platform::Transaction tx(*db);
        if (subs)
            DeleteRecords(*subs->openRowsOf(*db, regNo));
        r.rows = DeleteRecords(*db->openTable(table, store::MainKeyColumn, Value(regNo)));
        if (r.rows == 0)
            return RecordMissing(regNo, RecordMissingMessage(regNo)); // rolled back, sub records included
        tx.commit();
        return r;
    } catch (const EngineError& e) {
        return EngineFailure(e, regNo);
    }
}

} // namespace quelm::records
