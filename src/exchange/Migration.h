#pragma once

#include "exchange/InventoryDatabase.h"
#include "exchange/RowProgress.h"
#include "store/AppState.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

namespace quelm::exchange {

// Moving the records of one category of the inventory program's database (Dravn.mdb) into the current category.

inline const QString InventoryFileName = QStringLiteral("Dravn.mdb");
// The inventory program's configuration table has the same name as ours, with its own layout.
inline const QString InventoryConfigTable = QStringLiteral("管理テーブル");
// Its rows describe at most this many main and sub fields.
inline constexpr int MaxInventoryFields = 8;
// What an unmapped slot, and a text that received nothing, holds.
inline const QString EmptySlot = QStringLiteral(" ");

struct InventoryField {
    QString name;
    QString type;     // the type word as the inventory program stores it
    int position = 0; // column of the field in its table
};

// One inventory category as its row of 管理テーブル describes it.
struct InventoryCategory {
    QString name;
    QString mainTable;
    std::vector<InventoryField> mainFields; // field k + 1 is column k; the record's key follows them
    bool hasSub = false;
    QString subTable;
    std::vector<InventoryField> subFields; // likewise; the owner's key follows them

    int mainKeyPosition() const { return static_cast<int>(mainFields.size()); }
    int subOwnerPosition() const { return static_cast<int>(subFields.size()); }
};

// The folder's inventory database file.
QString InventoryPath(const QString& folder);

// The names of the categories offered for migration (column 1 is 1), in table order. Raises InventoryError when the
// configuration table cannot be read.
QStringList OfferedCategories(InventoryDatabase& db);

// The description of the category with that name (column 2). Raises InventoryError with a message for the user when
// there is no such row, when it describes more fields than its layout holds, or when a table it names is missing.
InventoryCategory ReadInventoryCategory(InventoryDatabase& db, const QString& name);

// ---------------------------------------------------------------- mapping by drag and drop

enum class Origin { None, Main, Sub };

// One target slot: " " when unmapped, else the inventory field's name, its column and the list it came from.
struct MappingSlot {
    QString text = EmptySlot;
    int position = -1;
    Origin origin = Origin::None;
    bool mapped() const { return origin != Origin::None; }
};

// An entry of one of the two inventory lists: the field's name and its column.
struct ListEntry {
    QString name;
    int position = 0;
    bool operator==(const ListEntry&) const = default;
};

// Where a drag starts or ends: one of the two lists (index = the entry's row) or one of the slots.
enum class Place { List1, List2, MainSlot, SubSlot };
struct Spot {
    Place place;
    int index = 0;
};

// The two inventory lists and the 15 main and 10 sub slots, with the rules of what may be dropped where:
// main fields go to main or sub slots, sub fields only to sub slots, and a slot's name goes back only to the list it
// came from.
class MappingBoard {
public:
    // Empties every slot and fills the lists from the category (List2 only when it has a sub table).
    void reset(const InventoryCategory& category);
    // Empties everything: no category chosen.
    void clear();
    // Applies a drop; answers whether anything changed.
    bool drop(Spot from, Spot to);

    const std::vector<ListEntry>& list1() const { return list1_; }
    const std::vector<ListEntry>& list2() const { return list2_; }
    const std::array<MappingSlot, store::MainFieldSlots>& mainSlots() const { return main_; }
    const std::array<MappingSlot, store::SubFieldSlots>& subSlots() const { return sub_; }

private:
    bool dropListOnSlot(Place list, int row, Place slotKind, int slot);
    bool dropSlotOnList(Place slotKind, int slot, Place list);
    // A name pushed out of a slot by another goes back to the list it came from.
    void giveBack(const MappingSlot& slot);

    std::vector<ListEntry> list1_, list2_;
    std::array<MappingSlot, store::MainFieldSlots> main_;
    std::array<MappingSlot, store::SubFieldSlots> sub_;
};

// The typed slots (main fields 11 to 14, sub fields 9 and 10) take only fields whose type word starts with their own
// type. The message for the first one that does not: field name + "(" + its first four characters + ") が受入れ側の
// データ型と相違しています"; nullopt when all fit.
std::optional<QString> TypeMismatch(const InventoryCategory& category, const MappingBoard& board,
                                    const store::ConfigSection& target);

// ---------------------------------------------------------------- the run

struct MigrationResult {
    bool ok = false;
    int mainCount = 0;
    int subCount = 0;
    QString message; // when not ok: what went wrong, for a box titled "Error"
};

// The text an inventory value is stored as: text unchanged, numbers in decimal, dates as yyyy/MM/dd with the time
// when there is one; Null gives " ".
QString InventoryText(const platform::Value& v);

// Copies every main record of the category, with the sub records it owns, into the current category of state:
// 登録ＮＯ from the category's counter on, サブＮＯ 1, 2, 3 … per main record in the sub table's order. Everything,
// the counter included, is written in one transaction: a value that does not fit its field, an unreadable inventory
// table or an engine failure writes nothing and names the inventory record in the message. state.config follows
// only after the commit. progress counts the inventory rows read and the records written.
MigrationResult Migrate(store::AppState& state, InventoryDatabase& source, const InventoryCategory& category,
                        const MappingBoard& board, const RowProgress& progress = {});

// "データ移行が終了しました。 " CR LF "種目メイン明細　" main count CR LF "種目サブ明細　　" sub count.
QString MigrationSummary(int mainCount, int subCount);

} // namespace quelm::exchange
