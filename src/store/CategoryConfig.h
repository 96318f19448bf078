#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

namespace quelm::platform {
class Database;
class Recordset;
} // namespace quelm::platform

namespace quelm::store {

inline constexpr int MainFieldSlots = 15;
inline constexpr int SubFieldSlots = 10;
inline constexpr int SectionCount = 10;
inline constexpr int FirstSlotSection = 4;
inline constexpr int LastSlotSection = 9;
inline constexpr int ListSection = 3;
inline constexpr int ListSlotCount = 10;

// Fixed names of the configuration table and files.
inline const QString ConfigTable = QStringLiteral("管理テーブル");
inline const QString CatalogueFileName = QStringLiteral("Quelm.mdb");
inline const QString PictureFolderName = QStringLiteral("Quelm-画像");
inline const QString MainKeyColumn = QStringLiteral("登録ＮＯ");
inline const QString PictureFlagColumn = QStringLiteral("画像jpg有無");
inline const QString SubKeyColumn = QStringLiteral("サブＮＯ");
inline const QString TypeText = QStringLiteral("TEXT");
inline const QString TypeLong = QStringLiteral("LONG");
inline const QString TypeDate = QStringLiteral("DATE");

// One row of 管理テーブル. Field arrays are indexed by field number (1-based; element 0 is unused).
struct ConfigSection {
    std::int16_t KeyNo = 0;
    QString Section;        // セクション
    QString ShumokuName;    // 種目名
    std::int16_t InUse = 0; // 種目テーブル使用有無
    QString TableName;      // 種目テーブル名
    std::int16_t FieldCount = 0;
    std::array<QString, MainFieldSlots + 1> FieldName;
    std::array<QString, MainFieldSlots + 1> FieldType;
    QString SubTableName; // 種目SUBテーブル名
    std::int16_t SubFieldCount = 0;
    std::array<QString, SubFieldSlots + 1> SubFieldName;
    std::array<QString, SubFieldSlots + 1> SubFieldType;
    std::int32_t RegNo = 0; // 登録NO: the last registration number issued

    int Dirty = 0;
    QString SavedMainTable;
    QString SavedSubTable;

    bool inUse() const { return InUse == 1; }
    bool operator==(const ConfigSection&) const = default;
};

// The in-memory copy of the ten configuration rows; during a run it is the master.
struct CategoryConfig {
    std::array<ConfigSection, SectionCount> sections;

    ConfigSection& operator[](int section) { return sections.at(section); }
    const ConfigSection& operator[](int section) const { return sections.at(section); }

    // System row accessors (section 0).
    QString systemTitle() const { return sections[0].FieldType[1]; }
    QString titleColor() const { return sections[0].FieldType[2]; }
    QString backColor() const { return sections[0].FieldType[3]; }
    bool operator==(const CategoryConfig&) const = default;
};

// Column names of 管理テーブル in stored order (59 columns).
const QStringList& ConfigColumns();
QString FieldNameColumn(int k);    // フィールドk名
QString FieldTypeColumn(int k);    // フィールドk名データ型
QString SubFieldNameColumn(int k); // SUBフィールドk名
QString SubFieldTypeColumn(int k); // SUBフィールドk名データ型

// Reads the first ten rows (ascending KeyNo) into the configuration; a Null name cell loads as four blanks.
// SavedMainTable/SavedSubTable are set for the category slots.
CategoryConfig LoadConfig(platform::Database& db);

// Writes every dirty section back by column name and clears its flag; nothing is written when none is dirty.
// The first form opens the catalogue file itself; the second works inside the caller's transaction.
void SaveConfig(const QString& databasePath, CategoryConfig& config);
void SaveConfig(platform::Database& db, CategoryConfig& config);
void WriteConfigRow(platform::Recordset& rs, CategoryConfig& config, int section);

// The CDDB screen stores the player and CDDB folders straight into row 0; this keeps the in-memory copy in step, so a
// later SaveConfig of row 0 does not bring back the start-up values.
void StoreCddbFolders(platform::Database& db, CategoryConfig& config, const QString& playerFolder,
                      const QString& cddbFolder);

} // namespace quelm::store
