#include "store/Catalogue.h"

#include "platform/Database.h"
#include "platform/Units.h"
#include "store/TableSql.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quelm::store {

using platform::Database;
using platform::EngineError;
using platform::Value;

const FieldTemplate& CdTemplate() {
    static const FieldTemplate t{
        {QStringLiteral("タイトル"), QStringLiteral("アーティスト"), QStringLiteral("ジャンル"),
         QStringLiteral("レーベル"), QStringLiteral("品番"), QStringLiteral("作曲者"), QStringLiteral("指揮者"),
         QStringLiteral("演奏者"), QStringLiteral("録音年"), QStringLiteral("保管場所"), QStringLiteral("枚数"),
         QStringLiteral("価格"), QStringLiteral("購入日"), QStringLiteral("発売日"), QStringLiteral("備考")},
        {QStringLiteral("曲名"), QStringLiteral("アーティスト"), QStringLiteral("作曲者"), QStringLiteral("作詞者"),
         QStringLiteral("編曲者"), QStringLiteral("演奏時間"), QStringLiteral("ジャンル"), QStringLiteral("備考"),
         QStringLiteral("トラック番号"), QStringLiteral("録音日")}};
    return t;
}

const FieldTemplate& DvdTemplate() {
    static const FieldTemplate t{
        {QStringLiteral("タイトル"), QStringLiteral("出演者"), QStringLiteral("監督"), QStringLiteral("ジャンル"),
         QStringLiteral("制作国"), QStringLiteral("制作年"), QStringLiteral("発売元"), QStringLiteral("品番"),
         QStringLiteral("音声字幕"), QStringLiteral("保管場所"), QStringLiteral("収録分数"), QStringLiteral("価格"),
         QStringLiteral("購入日"), QStringLiteral("発売日"), QStringLiteral("備考")},
        {QStringLiteral("チャプター名"), QStringLiteral("出演者"), QStringLiteral("内容"), QStringLiteral("時間"),
         QStringLiteral("備考1"), QStringLiteral("備考2"), QStringLiteral("備考3"), QStringLiteral("備考4"),
         QStringLiteral("チャプター番号"), QStringLiteral("放送日")}};
    return t;
}

const QStringList& DefaultCategoryNames() {
    static const QStringList names{QStringLiteral("CD1"),  QStringLiteral("CD2"),  QStringLiteral("CD3"),
                                   QStringLiteral("DVD1"), QStringLiteral("DVD2"), QStringLiteral("DVD3")};
    return names;
}

QColor TitleColor(const CategoryConfig& config) {
    return platform::ColorFromWindowsRgb(config.titleColor(), DefaultTitleColor.toUInt());
}

QColor BackColor(const CategoryConfig& config) {
    return platform::ColorFromWindowsRgb(config.backColor(), DefaultBackColor.toUInt());
}

QString MainFieldTypeOf(int k) {
    if (k == 11 || k == 12)
        return TypeLong;
    if (k == 13 || k == 14)
        return TypeDate;
    return TypeText;
}

QString SubFieldTypeOf(int k) {
    if (k == 9)
        return TypeLong;
    if (k == 10)
        return TypeDate;
    return TypeText;
}

std::unique_ptr<Database> OpenCatalogue(const QString& databasePath) {
    auto db = Database::open(databasePath);
    if (!db->tableExists(ConfigTable))
        throw EngineError(QStringLiteral("'%1' はＣＤ管理Quelmのデータベースではありません（%2 がありません）。")
                              .arg(databasePath, ConfigTable));
    return db;
}

namespace {

const QString Blank = QStringLiteral(" ");

QString ConfigTableSql() {
    QStringList cols;
    const QStringList& names = ConfigColumns();
    for (int i = 0; i < names.size(); ++i) {
        QString type = QStringLiteral("TEXT");
        if (i == 0 || i == 3 || i == 5 || i == 37)
            type = QStringLiteral("SHORT");
        else if (i == 58)
            type = QStringLiteral("LONG");
        cols << names[i] + QLatin1Char(' ') + type;
    }
    return QStringLiteral("CREATE TABLE %1 (%2, CONSTRAINT KeyNoKey PRIMARY KEY(KeyNo))")
        .arg(ConfigTable, cols.join(QStringLiteral(", ")));
}

ConfigSection BlankSection(int keyNo, const QString& label) {
    ConfigSection s;
    s.KeyNo = static_cast<std::int16_t>(keyNo);
    s.Section = label;
    s.ShumokuName = Blank;
    s.TableName = Blank;
    s.SubTableName = Blank;
    for (int k = 1; k <= MainFieldSlots; ++k)
        s.FieldName[k] = s.FieldType[k] = Blank;
    for (int k = 1; k <= SubFieldSlots; ++k)
        s.SubFieldName[k] = s.SubFieldType[k] = Blank;
    return s;
}

void ApplyTemplate(ConfigSection& s, const FieldTemplate& t) {
    s.FieldCount = MainFieldSlots;
    s.SubFieldCount = SubFieldSlots;
    for (int k = 1; k <= MainFieldSlots; ++k) {
        s.FieldName[k] = t.mainNames[k - 1];
        s.FieldType[k] = MainFieldTypeOf(k);
    }
    for (int k = 1; k <= SubFieldSlots; ++k) {
        s.SubFieldName[k] = t.subNames[k - 1];
        s.SubFieldType[k] = SubFieldTypeOf(k);
    }
}

// The sixteen rows of a new catalogue: ten configuration sections, then the six CDDB settings rows.
std::vector<ConfigSection> InitialRows() {
    std::vector<ConfigSection> rows;
    ConfigSection system = BlankSection(1, QStringLiteral("システム"));
    system.FieldType[1] = DefaultSystemTitle;
    system.FieldType[2] = DefaultTitleColor;
    system.FieldType[3] = DefaultBackColor;
    rows.push_back(system);

    ConfigSection cd = BlankSection(2, QStringLiteral("CDテンプレート"));
    cd.ShumokuName = QStringLiteral("CD");
    ApplyTemplate(cd, CdTemplate());
    rows.push_back(cd);
    ConfigSection dvd = BlankSection(3, QStringLiteral("DVDテンプレート"));
    dvd.ShumokuName = QStringLiteral("DVD");
    ApplyTemplate(dvd, DvdTemplate());
    rows.push_back(dvd);

    rows.push_back(BlankSection(4, QStringLiteral("リスト")));

    const QStringList slotLabels{QStringLiteral("CD"),  QStringLiteral("CD2"),  QStringLiteral("CD3"),
                                 QStringLiteral("DVD"), QStringLiteral("DVD2"), QStringLiteral("DVD3")};
    const QStringList& names = DefaultCategoryNames();
    for (int i = 0; i < 6; ++i) {
        ConfigSection slot = BlankSection(5 + i, slotLabels[i]);
        slot.ShumokuName = names[i];
        slot.InUse = InUseByDefault(FirstSlotSection + i) ? 1 : 0;
        slot.TableName = names[i];
        slot.SubTableName = names[i] + QStringLiteral("SUB");
        ApplyTemplate(slot, i < 3 ? CdTemplate() : DvdTemplate());
        rows.push_back(slot);
    }
    for (int i = 0; i < 6; ++i)
        rows.push_back(BlankSection(11 + i, QStringLiteral("CDDB-") + slotLabels[i]));
    return rows;
}

} // namespace

void CreateCatalogue(const QString& databasePath) {
    const QString temp = databasePath + QStringLiteral(".new");
    QFile::remove(temp);
    try {
        {
            auto db = Database::create(temp);
            platform::Transaction tx(*db);
            db->execute(ConfigTableSql());
            const std::vector<ConfigSection> rows = InitialRows();
            auto rs = db->openTable(ConfigTable);
            CategoryConfig scratch;
            for (const ConfigSection& row : rows) {
                rs->addNew();
                rs->setValue(0, Value(row.KeyNo));
                rs->update();
            }
            // Fill every row by column name, the same way SaveConfig writes them.
            rs->moveFirst();
            for (const ConfigSection& row : rows) {
                scratch[0] = row;
                WriteConfigRow(*rs, scratch, 0);
                rs->moveNext();
            }
            for (const ConfigSection& slot : rows) {
                if (slot.KeyNo < 5 || slot.KeyNo > 10 || !slot.inUse())
                    continue;
                db->execute(CreateMainTableSql(slot.TableName, MainFieldNames(slot), MainFieldTypes(slot)));
                db->execute(CreateSubTableSql(slot.SubTableName, SubFieldNames(slot), SubFieldTypes(slot)));
            }
            tx.commit();
        }
        if (QFileInfo::exists(databasePath) || !QFile::rename(temp, databasePath))
            throw EngineError(QStringLiteral("'%1' を作成できません。").arg(databasePath));
    } catch (...) {
        QFile::remove(temp);
        throw;
    }
}

bool EnsureCatalogue(const QString& dataFolder) {
    const QString dbPath = dataFolder + QLatin1Char('/') + CatalogueFileName;
    if (QFileInfo::exists(dbPath))
        return false;
    if (!QDir().mkpath(dataFolder))
        throw EngineError(QStringLiteral("フォルダ '%1' を作成できません。").arg(dataFolder));
    CreateCatalogue(dbPath);
    QDir().mkpath(dataFolder + QLatin1Char('/') + PictureFolderName);
    return true;
}

} // namespace quelm::store
