#pragma once

#include "store/AppState.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>

namespace quelm::platform {
class Database;
}

namespace quelm::store {

// The name a rebuilt table takes: the number after the first "_" goes up by one, or "_1" is appended
// (CD1 → CD1_1, CD1_1 → CD1_2, A_9 → A_10, CD_Main → CD_1).
QString NextTableName(const QString& oldName);

// The slot buttons the add screen offers: the next free CD slot (button 1 or 2) and the next free DVD slot (4 or 5),
// -1 where that kind is used up. Button i stands for section i + 4; CD2 comes before CD3, DVD2 before DVD3.
struct SlotOffer {
    int cdButton = -1;
    int dvdButton = -1;
    bool none() const { return cdButton < 0 && dvdButton < 0; }
};
SlotOffer OfferSlots(const CategoryConfig& config);

// Checks the user field names of a category before they go into table SQL: the 15 main names together and the 10 sub
// names together, including the fixed key columns. Returns the text for the user naming the field, or nullopt.
std::optional<QString> CheckFieldNames(const QStringList& mainNames, const QStringList& subNames);

// Creates the main and sub table of a free slot and marks it in use, all in one transaction; state.config changes
// only once that is committed. Returns a refusal text (nothing changed) or nullopt; engine errors are thrown.
std::optional<QString> AddSlot(AppState& state, int section);

// Empties a category's sub and main table. NothingToDelete: the main table was empty (the sub table is emptied all
// the same, the counter is left alone). Deleted: the counter is back to 0 and the pictures of the deleted records
// are gone, and the file compacted (compacting ticks meanwhile). Engine errors are thrown with nothing changed.
enum class DataDeletion { NotCreated, NothingToDelete, Deleted };
DataDeletion DeleteCategoryData(AppState& state, int section, const std::function<void()>& compacting = {});

// Rebuilds a section's main (sub) table under NextTableName of the old one with the given field names, copies every
// row and drops the old table. Runs inside the caller's transaction and returns the new table name.
QString CreateTableMain(platform::Database& db, const ConfigSection& section, const QStringList& names);
QString CreateTableSub(platform::Database& db, const ConfigSection& section, const QStringList& names);

// How far a rebuild is: rows copied so far of all the rows it copies. Called between pieces of the copy, first with
// (0, total) once the checks have passed and the rebuild begins.
using RebuildProgress = std::function<void(std::int64_t copied, std::int64_t total)>;

// Renames a category's fields: 15 main and 10 sub names as typed. Only a table whose names changed is rebuilt; its rows
// go by one INSERT … SELECT where every stored value can be carried in SQL, else row by row. The rebuilds and the
// configuration row are one transaction and state.config changes only after it is committed.
// Returns a refusal text (nothing changed) or nullopt; engine errors are thrown with nothing changed.
std::optional<QString> RenameFields(AppState& state, int section, const QStringList& mainNames,
                                    const QStringList& subNames, const RebuildProgress& progress = {});

} // namespace quelm::store
