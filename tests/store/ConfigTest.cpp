#include "TestCatalogue.h"
#include "store/Catalogue.h"
#include "store/CategoryConfig.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace quelm;
using platform::Value;
using store::CategoryConfig;

namespace {

// Changes made behind the program's back, to see what SaveConfig writes.
void SetCell(test::TestCatalogue& cat, int keyNo, const QString& column, const Value& v) {
    auto db = cat.open();
    auto rs = db->openTable(store::ConfigTable, QStringLiteral("KeyNo"), Value(keyNo));
    rs->edit();
    rs->setValue(column, v);
    rs->update();
}

TEST(Config, NewCatalogueHasSixteenRowsOfFiftyNineColumnsInOrder) {
    test::TestCatalogue cat;
    auto db = cat.open();
    const auto cols = db->columns(store::ConfigTable);
    ASSERT_EQ(cols.size(), 59);
    EXPECT_EQ(cols[0].name, QStringLiteral("KeyNo"));
    EXPECT_EQ(cols[1].name, QStringLiteral("セクション"));
    EXPECT_EQ(cols[2].name, QStringLiteral("種目名"));
    EXPECT_EQ(cols[3].name, QStringLiteral("種目テーブル使用有無"));
    EXPECT_EQ(cols[4].name, QStringLiteral("種目テーブル名"));
    EXPECT_EQ(cols[5].name, QStringLiteral("フィールド個数"));
    EXPECT_EQ(cols[6].name, QStringLiteral("フィールド1名"));
    EXPECT_EQ(cols[7].name, QStringLiteral("フィールド1名データ型"));
    EXPECT_EQ(cols[35].name, QStringLiteral("フィールド15名データ型"));
    EXPECT_EQ(cols[36].name, QStringLiteral("種目SUBテーブル名"));
    EXPECT_EQ(cols[37].name, QStringLiteral("SUBフィールド個数"));
    EXPECT_EQ(cols[38].name, QStringLiteral("SUBフィールド1名"));
    EXPECT_EQ(cols[57].name, QStringLiteral("SUBフィールド10名データ型"));
    EXPECT_EQ(cols[58].name, QStringLiteral("登録NO"));

    auto rs = db->openTable(store::ConfigTable);
    EXPECT_EQ(rs->recordCount(), 16);
    for (int key = 1; key <= 16; ++key, rs->moveNext())
        EXPECT_EQ(rs->value(0).toInt(), key);

    const CategoryConfig& c = cat.state.config;
    EXPECT_EQ(c.systemTitle(), QStringLiteral("ＣＤ管理"));
    EXPECT_EQ(c.titleColor(), QStringLiteral("16744448"));
    EXPECT_EQ(c.backColor(), QStringLiteral("14671839"));
    EXPECT_EQ(c[store::ListSection].FieldCount, 0);
    const QStringList names{"CD1", "CD2", "CD3", "DVD1", "DVD2", "DVD3"};
    for (int s = 4; s <= 9; ++s) {
        EXPECT_EQ(c[s].ShumokuName, names[s - 4]);
        EXPECT_EQ(c[s].InUse, (s == 4 || s == 7) ? 1 : 0);
        EXPECT_EQ(c[s].FieldCount, 15);
        EXPECT_EQ(c[s].SubFieldCount, 10);
        EXPECT_EQ(c[s].RegNo, 0);
        EXPECT_EQ(c[s].SavedMainTable, c[s].TableName);
        for (int k = 1; k <= 15; ++k)
            EXPECT_EQ(c[s].FieldType[k], store::MainFieldTypeOf(k));
        for (int k = 1; k <= 10; ++k)
            EXPECT_EQ(c[s].SubFieldType[k], store::SubFieldTypeOf(k));
        EXPECT_EQ(db->tableExists(c[s].TableName), c[s].inUse());
        EXPECT_EQ(db->tableExists(c[s].SubTableName), c[s].inUse());
    }
    // The template names are valid column names: the tables of CD1 and DVD1 were made from them.
    EXPECT_EQ(db->columns(QStringLiteral("CD1")).size(), 17);
    EXPECT_EQ(db->columns(QStringLiteral("DVD1SUB")).size(), 12);
    EXPECT_EQ(db->columns(QStringLiteral("CD1"))[15].name, QStringLiteral("登録ＮＯ"));
    EXPECT_EQ(db->columns(QStringLiteral("CD1"))[16].name, QStringLiteral("画像jpg有無"));
    EXPECT_TRUE(QFileInfo(cat.state.pictureFolder()).isDir());
}

TEST(Config, NullNameCellsLoadAsFourBlanks) {
    test::TestCatalogue cat;
    SetCell(cat, 5, QStringLiteral("種目名"), Value());
    SetCell(cat, 5, QStringLiteral("フィールド3名"), Value());
    SetCell(cat, 5, QStringLiteral("SUBフィールド10名データ型"), Value());
    const CategoryConfig c = cat.reload();
    EXPECT_EQ(c[4].ShumokuName, QStringLiteral("    "));
    EXPECT_TRUE(c[4].ShumokuName.trimmed().isEmpty());
    EXPECT_EQ(c[4].FieldName[3], QStringLiteral("    "));
    EXPECT_EQ(c[4].SubFieldType[10], QStringLiteral("    "));

    SetCell(cat, 5, QStringLiteral("種目テーブル使用有無"), Value());
    EXPECT_THROW(cat.reload(), platform::EngineError);
}

TEST(Config, SaveConfigWritesOnlyDirtyRows) {
    test::TestCatalogue cat;
    CategoryConfig& c = cat.state.config;
    // Rows changed on disk behind our back stay as they are unless their section is dirty.
    SetCell(cat, 6, QStringLiteral("種目名"), Value("outside"));
    SetCell(cat, 8, QStringLiteral("種目名"), Value("outside"));

    store::SaveConfig(cat.state.databasePath(), c); // nothing dirty: nothing written
    EXPECT_EQ(cat.reload()[5].ShumokuName, QStringLiteral("outside"));

    c[4].ShumokuName = QStringLiteral("クラシック");
    c[4].RegNo = 42;
    c[4].Dirty = 1;
    c[7].Dirty = 1; // unchanged values: written back as they were
    store::SaveConfig(cat.state.databasePath(), c);
    EXPECT_EQ(c[4].Dirty, 0);
    EXPECT_EQ(c[7].Dirty, 0);
    const CategoryConfig stored = cat.reload();
    EXPECT_EQ(stored[4].ShumokuName, QStringLiteral("クラシック"));
    EXPECT_EQ(stored[4].RegNo, 42);
    EXPECT_EQ(stored[5].ShumokuName, QStringLiteral("outside"));
    EXPECT_EQ(stored[7].ShumokuName, QStringLiteral("DVD1")); // a dirty row is written whole from memory
    EXPECT_EQ(stored[7].TableName, c[7].TableName);
}

TEST(Config, FailedSaveKeepsFlagsAndMemory) {
    test::TestCatalogue cat;
    CategoryConfig& c = cat.state.config;
    c[4].ShumokuName = QStringLiteral("クラシック");
    c[4].Dirty = 1;
    c[6].SubFieldName[1] = QString(300, QLatin1Char('x')); // longer than the column holds
    c[6].Dirty = 1;
    const CategoryConfig before = c;
    EXPECT_THROW(store::SaveConfig(cat.state.databasePath(), c), platform::EngineError);
    EXPECT_EQ(c, before);
    EXPECT_EQ(cat.reload()[4].ShumokuName, QStringLiteral("CD1")); // the first row was rolled back too
}

TEST(Config, CddbFoldersStayInStepWithMemory) {
    test::TestCatalogue cat;
    auto db = cat.open();
    store::StoreCddbFolders(*db, cat.state.config, QStringLiteral("/opt/player"), QStringLiteral("/data/cddb"));
    // A later save of row 0 (a title change) must not bring back the start-up values.
    cat.state.config[0].FieldType[1] = QStringLiteral("私のCD");
    cat.state.config[0].Dirty = 1;
    store::SaveConfig(*db, cat.state.config);
    const CategoryConfig stored = cat.reload();
    EXPECT_EQ(stored[0].FieldName[5], QStringLiteral("/opt/player"));
    EXPECT_EQ(stored[0].FieldName[6], QStringLiteral("/data/cddb"));
    EXPECT_EQ(stored.systemTitle(), QStringLiteral("私のCD"));
}

} // namespace
