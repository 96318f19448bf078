#include "store/CategoryConfig.h"

#include "platform/Database.h"
#include "store/ConfigCheck.h"

#include <limits>

namespace quelm::store {

using platform::Database;
using platform::EngineError;
using platform::Recordset;
using platform::Value;

QString FieldNameColumn(int k) {
    return QStringLiteral("フィールド%1名").arg(k);
}
QString FieldTypeColumn(int k) {
    return QStringLiteral("フィールド%1名データ型").arg(k);
}
QString SubFieldNameColumn(int k) {
    return QStringLiteral("SUBフィールド%1名").arg(k);
}
QString SubFieldTypeColumn(int k) {
    return QStringLiteral("SUBフィールド%1名データ型").arg(k);
}

const QStringList& ConfigColumns() {
    static const QStringList columns = [] {
        QStringList c{QStringLiteral("KeyNo"),          QStringLiteral("セクション"),
                      QStringLiteral("種目名"),         QStringLiteral("種目テーブル使用有無"),
                      QStringLiteral("種目テーブル名"), QStringLiteral("フィールド個数")};
        for (int k = 1; k <= MainFieldSlots; ++k)
            c << FieldNameColumn(k) << FieldTypeColumn(k);
        c << QStringLiteral("種目SUBテーブル名") << QStringLiteral("SUBフィールド個数");
        for (int k = 1; k <= SubFieldSlots; ++k)
            c << SubFieldNameColumn(k) << SubFieldTypeColumn(k);
        c << QStringLiteral("登録NO");
        return c;
    }();
    return columns;
}

namespace {

constexpr int PosSubTableName = 36;
constexpr int PosRegNo = 58;

// Text cells that may be Null: 種目名, 種目テーブル名, the field names and types, 種目SUBテーブル名 and the sub ones.
QString NameCell(const Recordset& rs, int pos) {
    const Value v = rs.value(pos);
    return v.isNull() ? QStringLiteral("    ") : v.toText();
}

std::int64_t NumberCell(const Recordset& rs, int pos) {
    const Value v = rs.value(pos);
    if (v.isNull())
        throw EngineError(QStringLiteral("%1 の列 '%2' が Null です。").arg(ConfigTable, rs.column(pos).name));
    return v.toInt();
}

// The configuration keeps its numbers in 16 or 32 bits: a larger value (written by another program) is refused as it
// stands, never wrapped round into another number.
template <typename Small> Small SmallCell(const Recordset& rs, int pos) {
    const std::int64_t v = NumberCell(rs, pos);
    if (v < std::numeric_limits<Small>::min() || v > std::numeric_limits<Small>::max())
        throw EngineError(
            QStringLiteral("%1 の列 '%2' の値 %3 は範囲外です。").arg(ConfigTable, rs.column(pos).name).arg(v));
    return static_cast<Small>(v);
}

ConfigSection ReadSection(const Recordset& rs) {
    ConfigSection s;
    s.KeyNo = SmallCell<std::int16_t>(rs, 0);
    const Value label = rs.value(1);
    if (label.isNull())
        throw EngineError(QStringLiteral("%1 の列 'セクション' が Null です。").arg(ConfigTable));
    s.Section = label.toText();
    s.ShumokuName = NameCell(rs, 2);
    s.InUse = SmallCell<std::int16_t>(rs, 3);
    s.TableName = NameCell(rs, 4);
    s.FieldCount = SmallCell<std::int16_t>(rs, 5);
    for (int k = 1; k <= MainFieldSlots; ++k) {
        s.FieldName[k] = NameCell(rs, 6 + 2 * (k - 1));
        s.FieldType[k] = NameCell(rs, 7 + 2 * (k - 1));
    }
    s.SubTableName = NameCell(rs, PosSubTableName);
    s.SubFieldCount = SmallCell<std::int16_t>(rs, 37);
    for (int k = 1; k <= SubFieldSlots; ++k) {
        s.SubFieldName[k] = NameCell(rs, 38 + 2 * (k - 1));
        s.SubFieldType[k] = NameCell(rs, 39 + 2 * (k - 1));
    }
    s.RegNo = SmallCell<std::int32_t>(rs, PosRegNo);
    return s;
}

} // namespace

CategoryConfig LoadConfig(Database& db) {
    auto rs = db.openTable(ConfigTable);
    if (auto problem = CheckConfigColumns(*rs))
        throw EngineError(*problem);
    CategoryConfig config;
    for (int i = 0; i < SectionCount; ++i) {
        if (rs->eof())
            throw EngineError(QStringLiteral("%1 の行が足りません。").arg(ConfigTable));
        config[i] = ReadSection(*rs);
        rs->moveNext();
    }
    for (int s = FirstSlotSection; s <= LastSlotSection; ++s) {
        config[s].SavedMainTable = config[s].TableName;
        config[s].SavedSubTable = config[s].SubTableName;
    }
    if (auto problem = CheckConfigRows(config))
        throw EngineError(*problem);
    return config;
}

void WriteConfigRow(Recordset& rs, CategoryConfig& config, int section) {
    ConfigSection& s = config[section];
    rs.edit();
    rs.setValue(QStringLiteral("KeyNo"), Value(s.KeyNo));
    rs.setValue(QStringLiteral("セクション"), s.Section);
    rs.setValue(QStringLiteral("種目名"), s.ShumokuName);
    rs.setValue(QStringLiteral("種目テーブル使用有無"), Value(s.InUse));
    rs.setValue(QStringLiteral("種目テーブル名"), s.TableName);
    rs.setValue(QStringLiteral("フィールド個数"), Value(s.FieldCount));
    for (int k = 1; k <= MainFieldSlots; ++k) {
        rs.setValue(FieldNameColumn(k), s.FieldName[k]);
        rs.setValue(FieldTypeColumn(k), s.FieldType[k]);
    }
    rs.setValue(QStringLiteral("種目SUBテーブル名"), s.SubTableName);
    rs.setValue(QStringLiteral("SUBフィールド個数"), Value(s.SubFieldCount));
    for (int k = 1; k <= SubFieldSlots; ++k) {
        rs.setValue(SubFieldNameColumn(k), s.SubFieldName[k]);
        rs.setValue(SubFieldTypeColumn(k), s.SubFieldType[k]);
    }
    rs.setValue(QStringLiteral("登録NO"), Value(s.RegNo));
    rs.update();
    s.SavedMainTable = s.TableName;
    s.SavedSubTable = s.SubTableName;
}

void SaveConfig(Database& db, CategoryConfig& config) {
    bool anyDirty = false;
    for (const ConfigSection& s : config.sections)
        anyDirty = anyDirty || s.Dirty == 1;
    if (!anyDirty)
        return;
    // The flags are cleared only once every row is written, so a failure leaves them set for a retry.
    CategoryConfig next = config;
    platform::Transaction tx(db);
    auto rs = db.openTable(ConfigTable);
    for (int i = 0; i < SectionCount && !rs->eof(); ++i) {
        if (next[i].Dirty == 1) {
            WriteConfigRow(*rs, next, i);
            next[i].Dirty = 0;
        }
        rs->moveNext();
    }
    tx.commit();
    config = next;
}

void SaveConfig(const QString& databasePath, CategoryConfig& config) {
    auto db = Database::open(databasePath);
    SaveConfig(*db, config);
}

void StoreCddbFolders(Database& db, CategoryConfig& config, const QString& playerFolder, const QString& cddbFolder) {
    platform::Transaction tx(db);
    auto rs = db.openTable(ConfigTable, QStringLiteral("KeyNo"), Value(1));
    if (rs->eof())
        throw EngineError(QStringLiteral("%1 にシステム行がありません。").arg(ConfigTable));
    rs->edit();
    rs->setValue(FieldNameColumn(5), playerFolder);
    rs->setValue(FieldNameColumn(6), cddbFolder);
    rs->update();
    tx.commit();
    config[0].FieldName[5] = playerFolder;
    config[0].FieldName[6] = cddbFolder;
}

} // namespace quelm::store
