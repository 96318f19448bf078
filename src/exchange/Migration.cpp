#include "exchange/Migration.h"

#include "platform/Database.h"
#include "records/MainRecords.h"
#include "store/Catalogue.h"

#include <QHash>
#include <cmath>
#include <limits>
#include <unordered_map>

namespace quelm::exchange {

using platform::EngineError;
using platform::Value;

namespace {

// Columns of the inventory program's 管理テーブル.
constexpr int OfferedColumn = 1;
constexpr int NameColumn = 2;
constexpr int MainTableColumn = 5;
constexpr int MainCountColumn = 6;
constexpr int FirstMainFieldColumn = 7;
constexpr int HasSubColumn = 23;
constexpr int SubTableColumn = 24;
constexpr int SubCountColumn = 25;
constexpr int FirstSubFieldColumn = 26;

// The typed positions of the category layout: main fields 11 to 14 and sub fields 9 and 10.
constexpr int FirstTypedMain = 10, LastTypedMain = 13;
constexpr int FirstTypedSub = 8, LastTypedSub = 9;

const QString MainPart = QStringLiteral("メイン明細");
const QString SubPart = QStringLiteral("サブ明細");

// A whole number however the inventory program stored it: as a number or as its digits.
std::optional<int> WholeOf(const Value& v) {
    switch (v.kind()) {
    case Value::Kind::Integer:
        if (v.toInt() >= std::numeric_limits<int>::min() && v.toInt() <= std::numeric_limits<int>::max())
            return static_cast<int>(v.toInt());
        return std::nullopt;
    case Value::Kind::Real:
        if (std::trunc(v.toReal()) == v.toReal() && std::fabs(v.toReal()) < 1e9)
            return static_cast<int>(v.toReal());
        return std::nullopt;
    case Value::Kind::Text: {
        bool ok = false;
        const int n = v.toText().trimmed().toInt(&ok);
        return ok ? std::optional<int>(n) : std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

std::vector<Value> ReadRow(const InventoryTable& table) {
    std::vector<Value> row;
    for (int i = 0; i < table.columnCount(); ++i)
        row.push_back(table.value(i));
    return row;
}

Value Cell(const std::vector<Value>& row, int i) {
    return i >= 0 && i < static_cast<int>(row.size()) ? row[i] : Value();
}

std::vector<InventoryField> ReadFields(const std::vector<Value>& row, const QString& category, const QString& part,
                                       int countColumn, int firstColumn) {
    const std::optional<int> count = WholeOf(Cell(row, countColumn));
    if (!count || *count < 0)
        throw InventoryError(
            QStringLiteral("在庫管理Dravnの種目「%1」の%2の項目数が読めません。").arg(category.trimmed(), part));
    if (*count > MaxInventoryFields)
        throw InventoryError(QStringLiteral("在庫管理Dravnの種目「%1」は%2の項目が%3個あります。"
                                            "移行できるのは８個までです。")
                                 .arg(category.trimmed(), part)
                                 .arg(*count));
    std::vector<InventoryField> fields;
    for (int k = 0; k < *count; ++k)
        fields.push_back({Cell(row, firstColumn + 2 * k).toText(), Cell(row, firstColumn + 2 * k + 1).toText(), k});
    return fields;
}

void RequireTable(InventoryDatabase& db, const QString& category, const QString& table) {
    if (table.trimmed().isEmpty() || !db.hasTable(table))
        throw InventoryError(QStringLiteral("在庫管理Dravnの種目「%1」のテーブル「%2」が見つかりません。")
                                 .arg(category.trimmed(), table));
}

// Reading by position needs the key column after the fields.
std::unique_ptr<InventoryTable> OpenWithColumns(InventoryDatabase& db, const QString& table, int columns) {
    auto t = db.openTable(table);
    if (t->columnCount() < columns)
        throw InventoryError(QStringLiteral("在庫管理Dravnのテーブル「%1」の列が足りません。").arg(table));
    return t;
}

// The inventory sub table read once, its rows grouped by owner in table order. Only the columns that sub slots
// take from it are kept, so a million rows fit. Owner keys are compared as values: a whole number equals the same
// number (the usual key), any other key its text of the same kind; a Null key owns nothing.
class SubRowsByOwner {
public:
    SubRowsByOwner(InventoryTable& table, int ownerPosition, std::vector<int> kept, RowTicker& tick)
        : kept_(std::move(kept)), stride_(std::max<size_t>(kept_.size(), 1)) {
        while (table.next()) {
            tick();
            const Value owner = table.value(ownerPosition);
            if (owner.isNull())
                continue;
            const int row = static_cast<int>(cells_.size() / stride_);
            for (int c : kept_)
                cells_.push_back(table.value(c));
            if (kept_.empty())
                cells_.emplace_back();
            if (owner.kind() == Value::Kind::Integer)
                byNumber_[owner.toInt()].push_back(row);
            else
                byText_[OtherKey(owner)].push_back(row);
        }
    }
    const std::vector<int>* rowsOf(const Value& key) const {
        if (key.kind() == Value::Kind::Integer) {
            const auto it = byNumber_.find(key.toInt());
            return it == byNumber_.end() ? nullptr : &it->second;
        }
        if (key.isNull())
            return nullptr;
        const auto it = byText_.constFind(OtherKey(key));
        return it == byText_.constEnd() ? nullptr : &it.value();
    }
    // The cell of a kept column (by its index in kept) of one row.
    const Value& cell(int row, int keptIndex) const { return cells_[row * stride_ + keptIndex]; }

private:
    static QString OtherKey(const Value& v) {
        const char kind = v.kind() == Value::Kind::Text ? 't' : v.kind() == Value::Kind::Date ? 'd' : 'n';
        return QLatin1Char(kind) + v.toText();
    }

    std::vector<int> kept_;
    size_t stride_;
    std::vector<Value> cells_;
    std::unordered_map<std::int64_t, std::vector<int>> byNumber_;
    QHash<QString, std::vector<int>> byText_;
};

// A failure that names the inventory record it happened on.
struct RecordFailure {
    QString message;
};

QString RecordName(const Value& key, int subIndex) {
    QString name = QStringLiteral("在庫管理Dravnのレコード（キー %1）").arg(key.toText());
    if (subIndex > 0)
        name += QStringLiteral("のサブ明細%1件目").arg(subIndex);
    return name;
}

const QString NothingWritten = QStringLiteral("データは移行されていません。");

// A whole number, or a date to the second, that goes to a number or date field as it is: the field's check and
// conversion give what they give for its text form, without the round trip through text.
bool GoesAsItIs(const Value& v) {
    return v.kind() == Value::Kind::Integer || (v.kind() == Value::Kind::Date && v.toDate().time().msec() == 0);
}

// Stores what one slot takes from the inventory row (source, when mapped) into its field: the value's text form,
// one blank when there is none; an unmapped number or date field stays empty. A value the field cannot take stops
// the run naming the record (inventory key, and which of its sub records when subIndex > 0) and both fields; the
// name is only made when it is needed.
void StoreSlot(platform::Recordset& rs, int field, const MappingSlot& slot, const Value& source, bool typed,
               const QString& fieldName, const Value& key, int subIndex) {
    const bool empty = !slot.mapped() || source.isNull();
    if (typed && (empty || (source.kind() == Value::Kind::Text && source.toText() == EmptySlot)))
        return;
    try {
        if (empty)
            rs.setValue(field, Value(EmptySlot));
        else if (typed && GoesAsItIs(source))
            rs.setValue(field, source);
        else
            rs.setValue(field, Value(InventoryText(source)));
    } catch (const EngineError& e) {
        throw RecordFailure{
            QStringLiteral("%1の項目「%2」は「%3」に移行できません。\r\n%4\r\n%5")
                .arg(RecordName(key, subIndex), slot.text, fieldName.trimmed(), e.message(), NothingWritten)};
    }
}

} // namespace

QString InventoryPath(const QString& folder) {
    QString f = folder;
    while (f.endsWith(QLatin1Char('/')) || f.endsWith(QLatin1Char('\\')))
        f.chop(1);
    return f + QLatin1Char('/') + InventoryFileName;
}

QStringList OfferedCategories(InventoryDatabase& db) {
    auto table = db.openTable(InventoryConfigTable);
    QStringList names;
    while (table->next())
        if (WholeOf(table->value(OfferedColumn)) == 1)
            names << table->value(NameColumn).toText();
    return names;
}

InventoryCategory ReadInventoryCategory(InventoryDatabase& db, const QString& name) {
    auto table = db.openTable(InventoryConfigTable);
    while (table->next()) {
        if (table->value(NameColumn).isNull() || table->value(NameColumn).toText() != name)
            continue;
        const std::vector<Value> row = ReadRow(*table);
        InventoryCategory c;
        c.name = name;
        c.mainTable = Cell(row, MainTableColumn).toText().trimmed();
        c.mainFields = ReadFields(row, name, MainPart, MainCountColumn, FirstMainFieldColumn);
        RequireTable(db, name, c.mainTable);
        c.hasSub = WholeOf(Cell(row, HasSubColumn)) == 1;
        if (c.hasSub) {
            c.subTable = Cell(row, SubTableColumn).toText().trimmed();
            c.subFields = ReadFields(row, name, SubPart, SubCountColumn, FirstSubFieldColumn);
            RequireTable(db, name, c.subTable);
        }
        return c;
    }
    throw InventoryError(QStringLiteral("在庫管理Dravnの種目「%1」が見つかりません。").arg(name.trimmed()));
}

// ---------------------------------------------------------------- MappingBoard

void MappingBoard::reset(const InventoryCategory& category) {
    clear();
    for (const InventoryField& f : category.mainFields)
        list1_.push_back({f.name, f.position});
    if (category.hasSub)
        for (const InventoryField& f : category.subFields)
            list2_.push_back({f.name, f.position});
}

void MappingBoard::clear() {
    list1_.clear();
    list2_.clear();
    main_.fill({});
    sub_.fill({});
}

bool MappingBoard::drop(Spot from, Spot to) {
    const bool fromList = from.place == Place::List1 || from.place == Place::List2;
    const bool toList = to.place == Place::List1 || to.place == Place::List2;
    if (fromList && !toList)
        return dropListOnSlot(from.place, from.index, to.place, to.index);
    if (!fromList && toList)
        return dropSlotOnList(from.place, from.index, to.place);
    return false; // list on list, slot on slot
}

bool MappingBoard::dropListOnSlot(Place list, int row, Place slotKind, int slot) {
    std::vector<ListEntry>& entries = list == Place::List1 ? list1_ : list2_;
    if (row < 0 || row >= static_cast<int>(entries.size()))
        return false;
    if (slotKind == Place::MainSlot && (list != Place::List1 || slot < 0 || slot >= store::MainFieldSlots))
        return false; // sub fields never go to main fields
    if (slotKind == Place::SubSlot && (slot < 0 || slot >= store::SubFieldSlots))
        return false;
    MappingSlot& target = slotKind == Place::MainSlot ? main_[slot] : sub_[slot];
    const ListEntry entry = entries[row];
    entries.erase(entries.begin() + row);
    giveBack(target);
    target = {entry.name, entry.position, list == Place::List1 ? Origin::Main : Origin::Sub};
    return true;
}

bool MappingBoard::dropSlotOnList(Place slotKind, int slot, Place list) {
    const int slotCount = slotKind == Place::MainSlot ? store::MainFieldSlots : store::SubFieldSlots;
    if (slot < 0 || slot >= slotCount)
        return false;
    MappingSlot& source = slotKind == Place::MainSlot ? main_[slot] : sub_[slot];
    if (!source.mapped())
        return false; // an empty slot has nothing to give back
    // A main field may come back from any slot, whichever list it is dropped on, except a main slot on List2;
    // a sub field only to List2.
    if (source.origin == Origin::Main && slotKind == Place::MainSlot && list != Place::List1)
        return false;
    if (source.origin == Origin::Sub && list != Place::List2)
        return false;
    giveBack(source);
    source = {};
    return true;
}

void MappingBoard::giveBack(const MappingSlot& slot) {
    if (slot.origin == Origin::Main)
        list1_.push_back({slot.text, slot.position});
    else if (slot.origin == Origin::Sub)
        list2_.push_back({slot.text, slot.position});
}

std::optional<QString> TypeMismatch(const InventoryCategory& category, const MappingBoard& board,
                                    const store::ConfigSection& target) {
    const auto check = [&](const MappingSlot& slot, const QString& targetType) -> std::optional<QString> {
        if (!slot.mapped())
            return std::nullopt;
        const auto& fields = slot.origin == Origin::Main ? category.mainFields : category.subFields;
        if (slot.position < 0 || slot.position >= static_cast<int>(fields.size()))
            return std::nullopt;
        const InventoryField& source = fields[slot.position];
        const QString head = source.type.left(4);
        if (head == targetType)
            return std::nullopt;
        return source.name + QStringLiteral("(") + head + QStringLiteral(") が受入れ側のデータ型と相違しています");
    };
    for (int i = FirstTypedMain; i <= LastTypedMain; ++i)
        if (auto m = check(board.mainSlots()[i], records::MainFieldType(target, i + 1)))
            return m;
    for (int j = FirstTypedSub; j <= LastTypedSub; ++j)
        if (auto m = check(board.subSlots()[j], records::SubFieldType(target, j + 1)))
            return m;
    return std::nullopt;
}

// ---------------------------------------------------------------- the run

QString InventoryText(const Value& v) {
    return v.isNull() ? EmptySlot : v.toText();
}

QString MigrationSummary(int mainCount, int subCount) {
    return QStringLiteral("データ移行が終了しました。 \r\n種目メイン明細　%1\r\n種目サブ明細　　%2")
        .arg(mainCount)
        .arg(subCount);
}

MigrationResult Migrate(store::AppState& state, InventoryDatabase& source, const InventoryCategory& category,
                        const MappingBoard& board, const RowProgress& progress) {
    MigrationResult result;
    Value currentKey;
    bool inRecord = false;
    int currentSub = 0;
    try {
        const int section = records::CheckedSection(state.CurrentSection);
        const store::ConfigSection& target = state.config[section];
        const QString mainTable = records::CheckedTableName(target.TableName);
        const records::SubTable subTable = records::CheckedSubTable(target);
        const auto& mainSlots = board.mainSlots();
        const auto& subSlots = board.subSlots();
        RowTicker tick(progress);

        auto inventoryMain = OpenWithColumns(source, category.mainTable, category.mainKeyPosition() + 1);
        // Sub slots filled from the sub list read these columns of the sub rows, in this order.
        std::vector<int> kept;
        std::array<int, store::SubFieldSlots> keptIndex{};
        for (int j = 0; j < store::SubFieldSlots; ++j) {
            keptIndex[j] = -1;
            if (subSlots[j].origin == Origin::Sub) {
                keptIndex[j] = static_cast<int>(kept.size());
                kept.push_back(subSlots[j].position);
            }
        }
        std::optional<SubRowsByOwner> subRows;
        if (category.hasSub) {
            auto inventorySub = OpenWithColumns(source, category.subTable, category.subOwnerPosition() + 1);
            subRows.emplace(*inventorySub, category.subOwnerPosition(), kept, tick);
        }

        auto db = store::OpenCatalogue(state.databasePath());
        // A large run stays in memory until its commit instead of spilling pages half way.
        db->execute(QStringLiteral("PRAGMA cache_size = -262144"));
        store::CategoryConfig next = state.config;
        std::int32_t regNo = target.RegNo;
        {
            platform::Transaction tx(*db);
            auto mainRs = db->openTable(mainTable, store::MainKeyColumn, Value(-1));
            records::RequireColumnCount(*mainRs, store::MainFieldSlots + 2);
            auto subRs = db->openTable(subTable.name, store::MainKeyColumn, Value(-1));
            records::RequireColumnCount(*subRs, store::SubFieldSlots + 2);

            std::vector<Value> mainRow;
            while (inventoryMain->next()) {
                tick();
                mainRow = ReadRow(*inventoryMain);
                currentKey = Cell(mainRow, category.mainKeyPosition());
                inRecord = true;
                currentSub = 0;
                if (regNo >= std::numeric_limits<std::int32_t>::max())
                    throw EngineError(QStringLiteral("登録NOが上限に達しています。"));
                ++regNo;
                mainRs->addNew();
                for (int i = 0; i < store::MainFieldSlots; ++i) {
                    const MappingSlot& slot = mainSlots[i];
                    StoreSlot(*mainRs, i, slot, slot.mapped() ? Cell(mainRow, slot.position) : Value(),
                              i >= FirstTypedMain && i <= LastTypedMain, target.FieldName[i + 1], currentKey, 0);
                }
                mainRs->setValue(store::MainFieldSlots, Value(regNo));
                mainRs->setValue(store::MainFieldSlots + 1, Value(0));
                mainRs->update();
                ++result.mainCount;

                if (!subRows)
                    continue;
                const std::vector<int>* owned = subRows->rowsOf(currentKey);
                if (owned == nullptr)
                    continue;
                for (int row : *owned) {
                    tick();
                    ++currentSub;
                    subRs->addNew();
                    for (int j = 0; j < store::SubFieldSlots; ++j) {
                        const MappingSlot& slot = subSlots[j];
                        Value v;
                        if (slot.origin == Origin::Main)
                            v = Cell(mainRow, slot.position);
                        else if (slot.origin == Origin::Sub)
                            v = subRows->cell(row, keptIndex[j]);
                        StoreSlot(*subRs, j, slot, v, j >= FirstTypedSub && j <= LastTypedSub,
                                  target.SubFieldName[j + 1], currentKey, currentSub);
                    }
                    subRs->setValue(subTable.regNoPos, Value(regNo));
                    subRs->setValue(subTable.subNoPos, Value(currentSub));
                    subRs->update();
                    ++result.subCount;
                }
            }
            // The counter is written once, with the records.
            next[section].RegNo = regNo;
            next[section].Dirty = 1;
            store::SaveConfig(*db, next);
            tx.commit();
        }
        state.config = next;
        result.ok = true;
    } catch (const RecordFailure& f) {
        result = {false, 0, 0, f.message};
    } catch (const InventoryError& e) {
        result = {false, 0, 0, e.message() + QStringLiteral("\r\n") + NothingWritten};
    } catch (const EngineError& e) {
        const QString where = !inRecord ? QString() : RecordName(currentKey, currentSub) + QStringLiteral("で");
        result = {false, 0, 0,
                  QStringLiteral("データ移行中に%1エラーが発生しました。\r\n%2\r\n%3")
                      .arg(where, e.message(), NothingWritten)};
    }
    return result;
}

} // namespace quelm::exchange
