#include "store/CategoryTables.h"
#include "TestCatalogue.h"
#include "platform/Database.h"
#include "store/Catalogue.h"
#include "store/TableSql.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace quelm;
using platform::Database;
using platform::EngineError;
using platform::Value;
using store::DataDeletion;

namespace {

using test::Snapshot;

QStringList ColumnNames(Database& db, const QString& table) {
    QStringList names;
    for (const platform::Column& c : db.columns(table))
        names << c.name;
    return names;
}

QStringList MainBoxes(const store::ConfigSection& s) {
    QStringList l;
    for (int k = 1; k <= store::MainFieldSlots; ++k)
        l << s.FieldName[k];
    return l;
}

QStringList SubBoxes(const store::ConfigSection& s) {
    QStringList l;
    for (int k = 1; k <= store::SubFieldSlots; ++k)
        l << s.SubFieldName[k];
    return l;
}

void TouchFile(const QString& path) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("jpg");
}

void SetRegNo(test::TestCatalogue& cat, int section, int regNo) {
    cat.state.config[section].RegNo = regNo;
    cat.state.config[section].Dirty = 1;
    store::SaveConfig(cat.state.databasePath(), cat.state.config);
}

} // namespace

TEST(CategoryTableNames, TableSqlTextsAndNextNames) {
    QStringList names;
    for (char c = 'A'; c <= 'O'; ++c)
        names << QString(QLatin1Char(c));
    QStringList types;
    for (int k = 1; k <= 15; ++k)
        types << store::MainFieldTypeOf(k);
    EXPECT_EQ(store::CreateMainTableSql(QStringLiteral(" T "), names, types),
              QStringLiteral("CREATE TABLE T (A TEXT, B TEXT, C TEXT, D TEXT, E TEXT, F TEXT, G TEXT, H TEXT, I TEXT, "
                             "J TEXT, K LONG, L LONG, M DATE, N DATE, O TEXT, 登録ＮＯ LONG, 画像jpg有無 LONG, "
                             "CONSTRAINT MyFieldMain PRIMARY KEY(登録ＮＯ)) "));
    QStringList subNames;
    QStringList subTypes;
    for (int k = 1; k <= 10; ++k) {
        subNames << QStringLiteral(" s%1 ").arg(k);
        subTypes << store::SubFieldTypeOf(k);
    }
    EXPECT_EQ(
        store::CreateSubTableSql(QStringLiteral("TSUB"), subNames, subTypes),
        QStringLiteral("CREATE TABLE TSUB (s1 TEXT, s2 TEXT, s3 TEXT, s4 TEXT, s5 TEXT, s6 TEXT, s7 TEXT, s8 TEXT, "
                       "s9 LONG, s10 DATE, 登録ＮＯ LONG ,サブＮＯ LONG, "
                       "CONSTRAINT MyFieldSub PRIMARY KEY(登録ＮＯ, サブＮＯ))"));
    EXPECT_EQ(store::DropTableSql(QStringLiteral("CD1 ")), QStringLiteral("DROP TABLE CD1"));

    EXPECT_EQ(store::NextTableName(QStringLiteral("CD1")), QStringLiteral("CD1_1"));
    EXPECT_EQ(store::NextTableName(QStringLiteral("CD1_1")), QStringLiteral("CD1_2"));
    EXPECT_EQ(store::NextTableName(QStringLiteral("A_9")), QStringLiteral("A_10"));
    EXPECT_EQ(store::NextTableName(QStringLiteral("CD_Main")), QStringLiteral("CD_1"));
    EXPECT_EQ(store::NextTableName(QStringLiteral("CD1SUB ")), QStringLiteral("CD1SUB_1"));
}

TEST(CategorySlots, OfferedInOrderAndAddedInOneTransaction) {
    test::TestCatalogue cat;
    auto offer = store::OfferSlots(cat.state.config);
    EXPECT_EQ(offer.cdButton, 1);
    EXPECT_EQ(offer.dvdButton, 4);

    ASSERT_EQ(store::AddSlot(cat.state, 5), std::nullopt); // CD2
    EXPECT_TRUE(cat.state.config[5].inUse());
    EXPECT_EQ(cat.state.config[5].Dirty, 0);
    EXPECT_EQ(cat.reload(), cat.state.config);
    {
        auto db = cat.open();
        EXPECT_EQ(ColumnNames(*db, QStringLiteral("CD2")).mid(14),
                  (QStringList{QStringLiteral("備考"), QStringLiteral("登録ＮＯ"), QStringLiteral("画像jpg有無")}));
        EXPECT_EQ(ColumnNames(*db, QStringLiteral("CD2SUB")).size(), 12);
    }
    offer = store::OfferSlots(cat.state.config);
    EXPECT_EQ(offer.cdButton, 2);
    EXPECT_EQ(offer.dvdButton, 4);
    EXPECT_EQ(store::AddSlot(cat.state, 5), QStringLiteral("CD2は既に追加されています。"));

    // A leftover table under the slot's name: refused before anything is written.
    cat.open()->execute(QStringLiteral("CREATE TABLE DVD2SUB (x TEXT)"));
    const auto before = cat.state.config;
    EXPECT_EQ(store::AddSlot(cat.state, 8), QStringLiteral("テーブル「DVD2SUB」は既に存在します。"));
    EXPECT_EQ(cat.state.config, before);
    EXPECT_FALSE(cat.open()->tableExists(QStringLiteral("DVD2")));
    cat.open()->execute(QStringLiteral("DROP TABLE DVD2SUB"));

    ASSERT_EQ(store::AddSlot(cat.state, 6), std::nullopt);
    ASSERT_EQ(store::AddSlot(cat.state, 8), std::nullopt);
    offer = store::OfferSlots(cat.state.config);
    EXPECT_EQ(offer.cdButton, -1);
    EXPECT_EQ(offer.dvdButton, 5);
    ASSERT_EQ(store::AddSlot(cat.state, 9), std::nullopt);
    EXPECT_TRUE(store::OfferSlots(cat.state.config).none());
}

TEST(CategoryData, DeletingEmptiesBothTablesRemovesFlaggedPicturesAndResetsTheCounter) {
    test::TestCatalogue cat;
    for (int reg = 1; reg <= 3; ++reg) {
        cat.addMain(4, reg, {QStringLiteral("t%1").arg(reg)}, reg == 2 ? 0 : 1);
        cat.addSub(4, reg, 1, QStringLiteral("track"));
    }
    cat.addMain(7, 1, {QStringLiteral("other category")}, 1);
    SetRegNo(cat, 4, 3);
    TouchFile(cat.state.RecordPicturePath(4, 1));
    TouchFile(cat.state.RecordPicturePath(4, 2)); // no flag on its record: not ours to delete
    TouchFile(cat.state.RecordPicturePath(7, 1));
    // The picture of record 3 is missing: that is no matter.

    EXPECT_EQ(store::DeleteCategoryData(cat.state, 4), DataDeletion::Deleted);
    EXPECT_EQ(cat.rowCount(QStringLiteral("CD1")), 0);
    EXPECT_EQ(cat.rowCount(QStringLiteral("CD1SUB")), 0);
    EXPECT_EQ(cat.rowCount(QStringLiteral("DVD1")), 1);
    EXPECT_FALSE(QFile::exists(cat.state.RecordPicturePath(4, 1)));
    EXPECT_TRUE(QFile::exists(cat.state.RecordPicturePath(4, 2)));
    EXPECT_TRUE(QFile::exists(cat.state.RecordPicturePath(7, 1)));
    EXPECT_EQ(cat.state.config[4].RegNo, 0);
    EXPECT_EQ(cat.reload()[4].RegNo, 0);
    EXPECT_TRUE(cat.state.config[4].inUse());

    // Main table empty, sub table not: the sub rows still go, the counter stays.
    cat.addSub(4, 9, 1, QStringLiteral("orphan"));
    SetRegNo(cat, 4, 7);
    EXPECT_EQ(store::DeleteCategoryData(cat.state, 4), DataDeletion::NothingToDelete);
    EXPECT_EQ(cat.rowCount(QStringLiteral("CD1SUB")), 0);
    EXPECT_EQ(cat.state.config[4].RegNo, 7);
    EXPECT_EQ(cat.reload()[4].RegNo, 7);

    EXPECT_EQ(store::DeleteCategoryData(cat.state, 5), DataDeletion::NotCreated);
}

TEST(CategoryData, AFailedDeletionKeepsRowsPicturesAndCounter) {
    test::TestCatalogue cat;
    cat.addMain(4, 1, {QStringLiteral("t")}, 1);
    SetRegNo(cat, 4, 1);
    TouchFile(cat.state.RecordPicturePath(4, 1));
    // Deleting from the main table fails after the sub table was emptied.
    cat.addSub(4, 1, 1, QStringLiteral("track"));
    // (The catalogue's triggers never run, so the failure is a main table that cannot be found.)
    cat.state.config[4].TableName = QStringLiteral("CD1消失");
    const auto before = Snapshot(*cat.open());
    const auto config = cat.state.config;
    EXPECT_THROW(store::DeleteCategoryData(cat.state, 4), EngineError);
    EXPECT_EQ(Snapshot(*cat.open()), before);
    EXPECT_EQ(cat.state.config, config);
    EXPECT_TRUE(QFile::exists(cat.state.RecordPicturePath(4, 1)));
}

struct RenameTest : ::testing::Test {
    test::TestCatalogue cat;
    store::ConfigSection& cd() { return cat.state.config[4]; }
};

TEST_F(RenameTest, RebuildsOnlyTheChangedTableAndCarriesTheData) {
    // タイトル … 備考; 枚数/価格 LONG, 購入日/発売日 DATE.
    QStringList texts{QStringLiteral("Title"), QStringLiteral(" "), QString(), QStringLiteral("  ")};
    while (texts.size() < 10)
        texts << QStringLiteral("x");
    texts << QStringLiteral("2") << QString() << QStringLiteral("2009/04/06") << QString() << QStringLiteral(" ");
    cat.addMain(4, 5, texts, 1);
    cat.addMain(4, 8, {QStringLiteral("Second")}, 0);
    cat.addSub(4, 5, 1, QStringLiteral(" "));
    cat.addSub(4, 5, 2, QStringLiteral("Track 2"));

    QStringList main = MainBoxes(cd());
    main[2] = QStringLiteral(" 分類 "); // stored as typed, the column trimmed
    ASSERT_EQ(store::RenameFields(cat.state, 4, main, SubBoxes(cd())), std::nullopt);
    EXPECT_EQ(cd().TableName, QStringLiteral("CD1_1"));
    EXPECT_EQ(cd().SavedMainTable, QStringLiteral("CD1_1"));
    EXPECT_EQ(cd().SubTableName, QStringLiteral("CD1SUB"));
    EXPECT_EQ(cd().FieldName[3], QStringLiteral(" 分類 "));
    EXPECT_EQ(cat.reload(), cat.state.config);
    {
        auto db = cat.open();
        EXPECT_FALSE(db->tableExists(QStringLiteral("CD1")));
        EXPECT_EQ(ColumnNames(*db, QStringLiteral("CD1_1"))[2], QStringLiteral("分類"));
        auto rs = db->openTable(QStringLiteral("CD1_1"));
        ASSERT_EQ(rs->recordCount(), 2);
        EXPECT_EQ(rs->value(0), Value("Title"));
        EXPECT_TRUE(rs->value(1).isNull()); // one blank counts as empty
        EXPECT_TRUE(rs->value(2).isNull());
        EXPECT_EQ(rs->value(3), Value("  ")); // two blanks are a value
        EXPECT_EQ(rs->value(10), Value(std::int64_t{2}));
        EXPECT_TRUE(rs->value(11).isNull());
        EXPECT_EQ(rs->value(12).toDate().date(), QDate(2009, 4, 6));
        EXPECT_TRUE(rs->value(14).isNull());
        EXPECT_EQ(rs->value(15), Value(std::int64_t{5}));
        EXPECT_EQ(rs->value(16), Value(std::int64_t{1}));
        rs->moveNext();
        EXPECT_EQ(rs->value(15), Value(std::int64_t{8}));
        EXPECT_EQ(rs->value(16), Value(std::int64_t{0}));
        EXPECT_EQ(db->openTable(QStringLiteral("CD1SUB"))->value(0), Value(" ")); // untouched table, untouched cell
    }

    main[0] = QStringLiteral("題名");
    ASSERT_EQ(store::RenameFields(cat.state, 4, main, SubBoxes(cd())), std::nullopt);
    EXPECT_EQ(cd().TableName, QStringLiteral("CD1_2"));

    QStringList sub = SubBoxes(cd());
    sub[0] = QStringLiteral("曲目");
    ASSERT_EQ(store::RenameFields(cat.state, 4, main, sub), std::nullopt);
    EXPECT_EQ(cd().TableName, QStringLiteral("CD1_2"));
    EXPECT_EQ(cd().SubTableName, QStringLiteral("CD1SUB_1"));
    auto db = cat.open();
    EXPECT_EQ(db->tableNames(),
              (QList<QString>{QStringLiteral("CD1SUB_1"), QStringLiteral("CD1_2"), QStringLiteral("DVD1"),
                              QStringLiteral("DVD1SUB"), QStringLiteral("管理テーブル")}));
    auto subs = db->openTable(QStringLiteral("CD1SUB_1"));
    ASSERT_EQ(subs->recordCount(), 2);
    EXPECT_TRUE(subs->value(0).isNull());
    EXPECT_EQ(subs->value(10), Value(std::int64_t{5}));
    EXPECT_EQ(subs->value(11), Value(std::int64_t{1}));
    subs->moveNext();
    EXPECT_EQ(subs->value(0), Value("Track 2"));
    EXPECT_EQ(subs->value(11), Value(std::int64_t{2}));
    EXPECT_EQ(db->openTable(QStringLiteral("CD1_2"))->recordCount(), 2);
}

TEST_F(RenameTest, RefusedNamesChangeNothing) {
    cat.addMain(4, 1, {QStringLiteral("t")});
    const auto before = Snapshot(*cat.open());
    const auto config = cat.state.config;
    const struct {
        int field; // main 1..15, sub -1..-10
        QString name;
        QString message;
    } cases[] = {
        {3, QStringLiteral("曲 名"), QStringLiteral("メイン項目3「曲 名」: 名前の中に空白は使えません。")},
        {1, QStringLiteral("   "), QStringLiteral("メイン項目1「」: 名前が入力されていません。")},
        {2, QStringLiteral("SELECT"),
         QStringLiteral("メイン項目2「SELECT」: 「SELECT」はデータベースの予約語のため使えません。")},
        {15, QStringLiteral("a); DROP TABLE CD1; --"),
         QStringLiteral("メイン項目15「a); DROP TABLE CD1; --」: 名前に使えない文字「)」が含まれています。")},
        {5, QStringLiteral("タイトル"),
         QStringLiteral("メイン項目5「タイトル」: 「タイトル」は同じテーブルで二度使われています。")},
        {4, QStringLiteral("登録ＮＯ"),
         QStringLiteral("メイン項目4「登録ＮＯ」: 「登録ＮＯ」は同じテーブルで二度使われています。")},
        {-2, QStringLiteral("サブＮＯ"),
         QStringLiteral("サブ項目2「サブＮＯ」: 「サブＮＯ」は同じテーブルで二度使われています。")},
        {-10, QStringLiteral("9曲"), QStringLiteral("サブ項目10「9曲」: 名前を数字で始めることはできません。")},
    };
    for (const auto& c : cases) {
        QStringList main = MainBoxes(cd());
        QStringList sub = SubBoxes(cd());
        (c.field > 0 ? main[c.field - 1] : sub[-c.field - 1]) = c.name;
        const auto refusal = store::RenameFields(cat.state, 4, main, sub);
        ASSERT_TRUE(refusal.has_value()) << c.name.toStdString();
        EXPECT_EQ(*refusal, c.message);
        EXPECT_EQ(cat.state.config, config);
        EXPECT_EQ(Snapshot(*cat.open()), before);
    }

    // The new table name is taken already.
    cat.open()->execute(QStringLiteral("CREATE TABLE cd1_1 (x TEXT)"));
    const auto withTable = Snapshot(*cat.open());
    QStringList main = MainBoxes(cd());
    main[0] = QStringLiteral("題名");
    EXPECT_EQ(store::RenameFields(cat.state, 4, main, SubBoxes(cd())),
              QStringLiteral("テーブル「CD1_1」は既に存在します。"));
    EXPECT_EQ(cat.state.config, config);
    EXPECT_EQ(Snapshot(*cat.open()), withTable);
}

TEST_F(RenameTest, AFailureHalfWayLeavesDatabaseAndConfigurationAsBefore) {
    cat.addMain(4, 1, {QStringLiteral("t")}, 1);
    cat.addSub(4, 1, 1, QStringLiteral("ok"));
    // A row no rebuilt table can take (written past the engine's checks): the sub copy fails after the main table
    // has already been rebuilt and dropped.
    cat.open()->execute(QStringLiteral("INSERT INTO CD1SUB (曲名, 登録ＮＯ, サブＮＯ) VALUES ('%1', 1, 2)")
                            .arg(QString(256, QLatin1Char('x'))));
    const auto before = Snapshot(*cat.open());
    const auto config = cat.state.config;
    QStringList main = MainBoxes(cd());
    QStringList sub = SubBoxes(cd());
    main[0] = QStringLiteral("題名");
    sub[0] = QStringLiteral("曲目");
    EXPECT_THROW(store::RenameFields(cat.state, 4, main, sub), EngineError);
    EXPECT_EQ(cat.state.config, config);
    EXPECT_EQ(Snapshot(*cat.open()), before);
    EXPECT_EQ(cat.reload()[4].TableName, QStringLiteral("CD1"));
}

namespace {

// The stored cells of a table in key order, as the engine quotes them: 'text', numbers bare, NULL.
QStringList StoredRows(Database& db, const QString& table) {
    QStringList cells;
    for (const platform::Column& c : db.columns(table))
        cells << QStringLiteral("quote(%1)").arg(platform::QuoteIdentifier(c.name));
    sqlite3_stmt* stmt = db.prepare(
        QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid").arg(cells.join(QStringLiteral(" || '|' || ")), table));
    QStringList rows;
    while (sqlite3_step(stmt) == SQLITE_ROW)
        rows << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    return rows;
}

// Fifteen main fields (11, 12 LONG; 13, 14 DATE), 登録ＮＯ and 画像jpg有無 as SQL literals.
QString MainRow(const QStringList& cells) {
    return QStringLiteral("INSERT INTO CD1 VALUES (%1)").arg(cells.join(QStringLiteral(", ")));
}

} // namespace

// Stored forms of a well-kept table go through the engine's own copy, odd ones through the row-by-row conversion;
// either way the rebuilt rows are the same. The second catalogue holds one odd row, so all of it goes row by row.
// Each case runs twice: with the check on a second connection beside the copy, and (a write-ahead log, which a
// second connection cannot share) on the first before it.
TEST_F(RenameTest, EveryStoredFormComesOutTheSameWhicheverWayTheRowsAreCopied) {
    const QString longJapanese = QString(255, QChar(0x3042)); // 255 characters, 765 bytes: still within the limit
    const QString outsideBmp = QString::fromUtf8("\xF0\xA0\xAE\xB7").repeated(10);
    const QString row1 =
        MainRow({"'Title'", "' '", "NULL", "'  '", "'" + longJapanese + "'", "'" + outsideBmp + "'", "'x'", "'x'",
                 "'x'", "'x'", "2", "' '", "'2009-04-06'", "'2009-04-06 00:00:00'", "'x'", "1", "1"});
    const QString row2 = MainRow({"'b'", "'b'", "'b'", "'b'", "'b'", "'b'", "'b'", "'b'", "'b'", "'b'", "-2147483648",
                                  "2147483647", "'2010-01-02 13:45:00'", "NULL", "' '", "2", "NULL"});
    const QString expected1 = "'Title'|NULL|NULL|'  '|'" + longJapanese + "'|'" + outsideBmp +
                              "'|'x'|'x'|'x'|'x'|2|NULL|'2009-04-06'|'2009-04-06'|'x'|1|1";
    const QString expected2 = "'b'|'b'|'b'|'b'|'b'|'b'|'b'|'b'|'b'|'b'|-2147483648|2147483647|"
                              "'2010-01-02 13:45:00'|NULL|NULL|2|NULL";
    // Odd rows, each on its own: a date typed with slashes, a word in a number field, a fraction, a number as a date;
    // a year before 100 and a day that does not exist (not dates); a blob in a text field. Any one of them sends the
    // whole table row by row.
    const QStringList c10{"'c'", "'c'", "'c'", "'c'", "'c'", "'c'", "'c'", "'c'", "'c'", "'c'"};
    const struct {
        QString row;
        QString expected;
    } odd[] = {
        {MainRow(c10 + QStringList{"'abc'", "1.5", "'2011/2/3'", "20110203", "'c'", "3", "0"}),
         "'c'|'c'|'c'|'c'|'c'|'c'|'c'|'c'|'c'|'c'|NULL|2|'2011-02-03'|NULL|'c'|3|0"},
        {MainRow(c10 + QStringList{"NULL", "NULL", "'0050-01-01'", "'2009-02-30'", "'c'", "3", "0"}),
         "'c'|'c'|'c'|'c'|'c'|'c'|'c'|'c'|'c'|'c'|NULL|NULL|NULL|NULL|'c'|3|0"},
        {MainRow(QStringList{"X'6869'"} + c10.mid(1) + QStringList{"NULL", "NULL", "NULL", "NULL", "'c'", "3", "0"}),
         "'hi'|'c'|'c'|'c'|'c'|'c'|'c'|'c'|'c'|'c'|NULL|NULL|NULL|NULL|'c'|3|0"},
    };

    for (int round = -1; round < 2 * static_cast<int>(std::size(odd)) + 1; ++round) {
        const bool log = round >= static_cast<int>(std::size(odd));
        const int oddRow = log ? round - static_cast<int>(std::size(odd)) - 1 : round;
        SCOPED_TRACE((oddRow < 0 ? std::string("by the engine") : "row by row, odd row " + std::to_string(oddRow)) +
                     (log ? ", write-ahead log" : ""));
        const bool withOdd = oddRow >= 0;
        test::TestCatalogue fresh;
        {
            auto db = fresh.open();
            if (log)
                db->execute(QStringLiteral("PRAGMA journal_mode = WAL"));
            db->execute(row1);
            db->execute(row2);
            if (withOdd)
                db->execute(odd[oddRow].row);
            db->execute(
                QStringLiteral("INSERT INTO CD1SUB (曲名, 登録ＮＯ, サブＮＯ) VALUES (' ', 1, 1), ('t', 1, 2)"));
        }
        QStringList main = MainBoxes(fresh.state.config[4]);
        QStringList sub = SubBoxes(fresh.state.config[4]);
        main[0] = QStringLiteral("題名");
        sub[0] = QStringLiteral("曲目");
        std::int64_t last = -1, total = -1;
        ASSERT_EQ(store::RenameFields(fresh.state, 4, main, sub,
                                      [&](std::int64_t copied, std::int64_t all) {
                                          EXPECT_GE(copied, last);
                                          last = copied;
                                          total = all;
                                      }),
                  std::nullopt);
        auto db = fresh.open();
        QStringList expected{expected1, expected2};
        if (withOdd)
            expected << odd[oddRow].expected;
        EXPECT_EQ(StoredRows(*db, QStringLiteral("CD1_1")), expected);
        const QString blanks = QStringLiteral("|NULL").repeated(9);
        EXPECT_EQ(StoredRows(*db, QStringLiteral("CD1SUB_1")),
                  (QStringList{"NULL" + blanks + "|1|1", "'t'" + blanks + "|1|2"}));
        EXPECT_EQ(total, withOdd ? 5 : 4);
        EXPECT_EQ(last, total);
    }
}

TEST_F(RenameTest, TextsOverTheLimitInUtf16UnitsStopTheRebuild) {
    // 255 characters, but the last one takes two UTF-16 units: one over the limit of the rebuilt column.
    const QString text = QString(254, QChar(0x3042)) + QString::fromUtf8("\xF0\x9F\x98\x80");
    cat.open()->execute(MainRow({"'" + text + "'", "NULL", "NULL", "NULL", "NULL", "NULL", "NULL", "NULL", "NULL",
                                 "NULL", "NULL", "NULL", "NULL", "NULL", "NULL", "1", "0"}));
    const auto before = Snapshot(*cat.open());
    const auto config = cat.state.config;
    QStringList main = MainBoxes(cd());
    main[0] = QStringLiteral("題名");
    EXPECT_THROW(store::RenameFields(cat.state, 4, main, SubBoxes(cd())), EngineError);
    EXPECT_EQ(cat.state.config, config);
    EXPECT_EQ(Snapshot(*cat.open()), before);

    // Nothing renamed, nothing rebuilt: no progress either.
    int reports = 0;
    EXPECT_EQ(store::RenameFields(cat.state, 4, MainBoxes(cd()), SubBoxes(cd()),
                                  [&](std::int64_t, std::int64_t) { ++reports; }),
              std::nullopt);
    EXPECT_EQ(reports, 0);
}
