#pragma once

#include "store/AppState.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace quelm::store {

// The pick lists: at most ten one-column tables "ListTable1" … "ListTable10". Their directory is the list row of the
// configuration (section 3): FieldCount = how many lists exist, FieldName[k + 1] = the name of slot k or " ".

// An entry holds at most this many characters (the column itself is TEXT(50)).
inline constexpr int MaxListEntryLength = 25;

// Shown when every slot is taken; the creation screen and the logic both refuse then.
inline const QString ListsFullMessage = QStringLiteral("リスト・テーブルは１０個作成済みです。");
// Said under ListsFullMessage when 作成 is pressed with no free slot.
inline const QString ListsFullHint = QStringLiteral(
    "新しいリスト・テーブルを作成するには、不要なリスト・テーブルを削除してから、この画面を開き直してください。");

// The directory.
int ListCount(const CategoryConfig& config);
QString ListName(const CategoryConfig& config, int slot); // trimmed; empty for a free slot
QStringList ListNames(const CategoryConfig& config);      // the ten names in slot order, free slots empty
std::optional<int> FirstFreeListSlot(const CategoryConfig& config);
QString ListTableName(const AppState& state, int slot); // "ListTable" + (slot + 1)

QString CreateListTableSql(const QString& tableName, const QString& listName);

// Creates the list `name` in the free slot `slot`: its table and its directory entry in one transaction; then
// state.config is updated. Returns why it refused (bad name, slot taken, ten lists already) with nothing changed, or
// nullopt when the list was created. Engine failures raise platform::EngineError and change nothing.
std::optional<QString> CreateList(AppState& state, int slot, const QString& name);

// Drops the list in `slot` and frees the slot, in one transaction. Raises platform::EngineError on failure.
void DropList(AppState& state, int slot);

// The entries of a list in table order; empty for a free slot. The record editors' pick lists read them here.
QStringList ListEntries(const AppState& state, int slot);

enum class EntryCheck { Ok, Empty, TooLong, Duplicate };

// Appends the entry (trimmed) unless it is empty, longer than MaxListEntryLength or already there (exact text).
EntryCheck AddListEntry(const AppState& state, int slot, const QString& entry);
// Rewrites every entry equal to oldEntry with newEntry (trimmed), refusing an empty or too long one. Equal entries
// already there are not looked for: the list may then hold the text twice.
EntryCheck ChangeListEntry(const AppState& state, int slot, const QString& oldEntry, const QString& newEntry);
// Deletes every entry equal to `entry`; returns how many went.
int DeleteListEntry(const AppState& state, int slot, const QString& entry);

} // namespace quelm::store
