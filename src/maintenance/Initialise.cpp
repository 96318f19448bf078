#include "maintenance/Initialise.h"

#include "platform/Database.h"
#include "store/Catalogue.h"
#include "store/CategoryTables.h"
#include "store/ListTables.h"
#include "store/PendingPictures.h"
#include "store/TableSql.h"

#include <QDir>
#include <QFile>

namespace quelm::maintenance {

using platform::Database;
using platform::EngineError;
using platform::Value;
using namespace store;

namespace {

const QString Blank = QStringLiteral(" ");
constexpr int FirstCddbKey = 11;
constexpr int LastCddbKey = 16;

// The CDDB settings rows (KeyNo 11..16): the cells the import keeps its settings in, and their in-use flag.
void ClearCddbRows(Database& db) {
    auto rs = db.openTable(ConfigTable);
    for (; !rs->eof(); rs->moveNext()) {
        const std::int64_t key = rs->value(0).toInt();
        if (key < FirstCddbKey || key > LastCddbKey)
            continue;
        rs->edit();
        for (int k = 1; k <= 10; ++k)
            rs->setValue(FieldNameColumn(k), Blank);
        rs->setValue(FieldNameColumn(15), Blank);
        for (int k = 1; k <= 8; ++k)
            rs->setValue(SubFieldNameColumn(k), Blank);
        rs->setValue(QStringLiteral("種目テーブル使用有無"), Value(0));
        rs->update();
    }
}

// A table named in the configuration that is already gone does not stop the reset.
void DropIfPresent(Database& db, const QString& table) {
    const QString name = table.trimmed();
    if (!name.isEmpty() && db.tableExists(name))
        db.execute(QStringLiteral("DROP TABLE ") + platform::QuoteIdentifier(name));
}

void TakeTemplate(ConfigSection& slot, const ConfigSection& source) {
    slot.FieldName = source.FieldName;
    slot.FieldType = source.FieldType;
    slot.SubFieldName = source.SubFieldName;
    slot.SubFieldType = source.SubFieldType;
}

void ResetDefaults(CategoryConfig& next) {
    ConfigSection& system = next[0];
    system.FieldType[1] = DefaultSystemTitle;
    system.FieldType[2] = DefaultTitleColor;
    system.FieldType[3] = DefaultBackColor;
    system.FieldName[5] = Blank; // player folder
    system.FieldName[6] = Blank; // CDDB folder
    for (int s = FirstSlotSection; s <= LastSlotSection; ++s) {
        ConfigSection& slot = next[s];
        slot.InUse = InUseByDefault(s) ? 1 : 0;
        slot.ShumokuName = DefaultCategoryNames()[s - FirstSlotSection];
        TakeTemplate(slot, next[s < 7 ? 1 : 2]);
        slot.RegNo = 0;
    }
    ConfigSection& lists = next[ListSection];
    for (int k = 1; k <= ListSlotCount; ++k)
        lists.FieldName[k] = Blank;
    lists.FieldCount = 0;
    for (ConfigSection& s : next.sections)
        s.Dirty = 1;
}

void CreateSlotTables(Database& db, const ConfigSection& slot) {
    if (auto problem = CheckFieldNames(MainFieldNames(slot), SubFieldNames(slot)))
        throw EngineError(*problem);
    for (const QString& table : {slot.SavedMainTable.trimmed(), slot.SavedSubTable.trimmed()}) {
        if (table.isEmpty() || db.tableExists(table))
            throw EngineError(QStringLiteral("テーブル「%1」を作成できません。").arg(table));
    }
    db.execute(CreateMainTableSql(slot.SavedMainTable.trimmed(), MainFieldNames(slot), MainFieldTypes(slot)));
    db.execute(CreateSubTableSql(slot.SavedSubTable.trimmed(), SubFieldNames(slot), SubFieldTypes(slot)));
}

QStringList PictureNames(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace

QStringList InitialiseSystem(AppState& state, const std::function<void()>& compacting) {
    CategoryConfig next = state.config;
    auto db = OpenCatalogue(state.databasePath());
    {
        platform::Transaction tx(*db);
        ClearCddbRows(*db);
        for (int s = FirstSlotSection; s <= LastSlotSection; ++s) {
            if (!state.config[s].inUse())
                continue;
            DropIfPresent(*db, state.config[s].TableName);
            DropIfPresent(*db, state.config[s].SubTableName);
        }
        for (int slot = 0; slot < ListSlotCount; ++slot) {
            if (!ListName(state.config, slot).isEmpty())
                DropIfPresent(*db, ListTableName(state, slot));
        }
        ResetDefaults(next);
        for (int s = FirstSlotSection; s <= LastSlotSection; ++s) {
            if (next[s].inUse())
                CreateSlotTables(*db, next[s]);
        }
        SaveConfig(*db, next);
        ListPicturesToDelete(*db, PictureNames(state.pictureFolder()));
        tx.commit();
    }
    db.reset();
    state.config = next;
    // Files cannot be rolled back, so they go only once the catalogue is reset for good; the list written with the
    // reset lets the next start finish the job if this is cut off.
    const QStringList left = DeleteListedPictures(state.databasePath(), state.pictureFolder());
    Compact(state.databasePath(), compacting);
    return left;
}

} // namespace quelm::maintenance
