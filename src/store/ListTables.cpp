#include "store/ListTables.h"

#include "platform/Database.h"
#include "platform/Names.h"
#include "store/Catalogue.h"
#include "store/TableSql.h"

#include <algorithm>

namespace quelm::store {

using platform::EngineError;
using platform::Transaction;
using platform::Value;

namespace {

const QString FreeSlotName = QStringLiteral(" ");

void RequireSlot(int slot) {
    if (slot < 0 || slot >= ListSlotCount)
        throw EngineError(QStringLiteral("リスト・テーブルの番号 %1 は範囲外です。").arg(slot + 1));
}

// The table of a list that exists; a free slot has no table to work on.
QString ExistingListTable(const AppState& state, int slot) {
    RequireSlot(slot);
    if (ListName(state.config, slot).isEmpty())
        throw EngineError(QStringLiteral("%1 にはリストがありません。").arg(ListTableName(state, slot)));
    return ListTableName(state, slot);
}

bool HoldsEntry(const platform::Recordset& rs, const QString& entry) {
    return rs.value(0).toText() == entry;
}

} // namespace

int ListCount(const CategoryConfig& config) {
    return config[ListSection].FieldCount;
}

QString ListName(const CategoryConfig& config, int slot) {
    RequireSlot(slot);
    return config[ListSection].FieldName[slot + 1].trimmed();
}

QStringList ListNames(const CategoryConfig& config) {
    QStringList names;
    for (int k = 0; k < ListSlotCount; ++k)
        names << ListName(config, k);
    return names;
}

std::optional<int> FirstFreeListSlot(const CategoryConfig& config) {
    for (int k = 0; k < ListSlotCount; ++k) {
        if (ListName(config, k).isEmpty())
            return k;
    }
    return std::nullopt;
}

QString ListTableName(const AppState& state, int slot) {
    RequireSlot(slot);
    // A state made without the start-up step still gets the fixed names.
    if (state.ListTableNames.size() == ListSlotCount)
        return state.ListTableNames[slot];
    return MakeListTableNames()[slot];
}

QString CreateListTableSql(const QString& tableName, const QString& listName) {
    return QStringLiteral("CREATE TABLE ") + tableName + QStringLiteral(" (") + listName.trimmed() +
           QStringLiteral(" TEXT(50))");
}

std::optional<QString> CreateList(AppState& state, int slot, const QString& name) {
    // The name becomes the table's column in SQL text, so it is checked before anything is touched.
    if (auto problem = platform::CheckSqlName(name))
        return problem;
    if (ListCount(state.config) >= ListSlotCount)
        return ListsFullMessage;
    RequireSlot(slot);
    if (!ListName(state.config, slot).isEmpty())
        return QStringLiteral("%1 は既に使用中です。").arg(ListTableName(state, slot));

    const QString listName = name.trimmed();
    // Two lists of one name could not be told apart in the pick lists.
    for (int other = 0; other < ListSlotCount; ++other) {
        if (ListName(state.config, other).trimmed() == listName)
            return QStringLiteral("リスト名「%1」は既に使われています。").arg(listName);
    }
    auto db = OpenCatalogue(state.databasePath());
    CategoryConfig next = state.config;
    Transaction tx(*db);
    // A table of a free slot is a leftover the directory lost (another copy of the program, a kill): no list shows
    // it, and keeping it would block the slot for ever.
    const QString table = ListTableName(state, slot);
    if (db->tableExists(table))
        db->execute(DropTableSql(table));
    db->execute(CreateListTableSql(table, listName));
    ConfigSection& row = next[ListSection];
    row.FieldCount = static_cast<std::int16_t>(row.FieldCount + 1);
    row.FieldName[slot + 1] = listName;
    row.Dirty = 1;
    SaveConfig(*db, next);
    tx.commit();
    state.config = next;
    return std::nullopt;
}

void DropList(AppState& state, int slot) {
    const QString table = ExistingListTable(state, slot);
    auto db = OpenCatalogue(state.databasePath());
    CategoryConfig next = state.config;
    Transaction tx(*db);
    // A table already gone still leaves its directory entry to clear.
    if (db->tableExists(table))
        db->execute(DropTableSql(table));
    ConfigSection& row = next[ListSection];
    row.FieldName[slot + 1] = FreeSlotName;
    row.FieldCount = static_cast<std::int16_t>(std::max(0, row.FieldCount - 1));
    row.Dirty = 1;
    SaveConfig(*db, next);
    tx.commit();
    state.config = next;
}

QStringList ListEntries(const AppState& state, int slot) {
    RequireSlot(slot);
    if (ListName(state.config, slot).isEmpty())
        return {};
    auto db = OpenCatalogue(state.databasePath());
    auto rs = db->openTable(ListTableName(state, slot));
    QStringList entries;
    for (; !rs->eof(); rs->moveNext())
        entries << rs->text(0);
    return entries;
}

namespace {

// An entry is 25 characters at most, added or changed: the column would take 50, but the lists are shown by 25.
EntryCheck CheckEntryText(const QString& trimmed) {
    if (trimmed.isEmpty())
        return EntryCheck::Empty;
    if (trimmed.size() > MaxListEntryLength)
        return EntryCheck::TooLong;
    return EntryCheck::Ok;
}

} // namespace

EntryCheck AddListEntry(const AppState& state, int slot, const QString& entry) {
    const QString text = entry.trimmed();
    if (const EntryCheck check = CheckEntryText(text); check != EntryCheck::Ok)
        return check;
    const QString table = ExistingListTable(state, slot);
    auto db = OpenCatalogue(state.databasePath());
    Transaction tx(*db);
    auto rs = db->openTable(table);
    for (; !rs->eof(); rs->moveNext()) {
        if (HoldsEntry(*rs, text))
            return EntryCheck::Duplicate;
    }
    rs->addNew();
    rs->setValue(0, Value(text));
    rs->update();
    tx.commit();
    return EntryCheck::Ok;
}

namespace {

// Applies an action to every row of a list that holds the entry, in one transaction; returns how many it met.
template <typename Action> int ForEachEqualEntry(const AppState& state, int slot, const QString& entry, Action act) {
    const QString table = ExistingListTable(state, slot);
    auto db = OpenCatalogue(state.databasePath());
    Transaction tx(*db);
    auto rs = db->openTable(table);
    int met = 0;
    for (; !rs->eof(); rs->moveNext()) {
        if (HoldsEntry(*rs, entry)) {
            act(*rs);
            ++met;
        }
    }
    tx.commit();
    return met;
}

} // namespace

EntryCheck ChangeListEntry(const AppState& state, int slot, const QString& oldEntry, const QString& newEntry) {
    const QString text = newEntry.trimmed();
    if (const EntryCheck check = CheckEntryText(text); check != EntryCheck::Ok)
        return check;
    ForEachEqualEntry(state, slot, oldEntry, [&](platform::Recordset& rs) {
        rs.edit();
        rs.setValue(0, Value(text));
        rs.update();
    });
    return EntryCheck::Ok;
}

int DeleteListEntry(const AppState& state, int slot, const QString& entry) {
    return ForEachEqualEntry(state, slot, entry, [](platform::Recordset& rs) { rs.deleteCurrent(); });
}

} // namespace quelm::store
