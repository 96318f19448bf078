#include "exchange/Migration.h"
#include "exchange/InventoryFile.h"

#include "MigrationInventoryFile.h"

#include "TestCatalogue.h"
#include "platform/Database.h"

#include <QDir>
#include <gtest/gtest.h>

namespace quelm::exchange {
namespace {

using platform::Value;
using test::TestCatalogue;

constexpr int Cd = 4;

struct MigrationRun : ::testing::Test {
    TestCatalogue cat;
    std::unique_ptr<InventoryFile> file;

    MigrationRun() {
        cat.state.CurrentSection = Cd;
        QDir().mkpath(cat.folder() + "/inv");
        file = std::make_unique<InventoryFile>(cat.folder() + "/inv");
    }

    void addGoods() { file->addGoods(); }
    std::unique_ptr<InventoryDatabase> source() { return OpenInventoryFile(InventoryPath(cat.folder() + "/inv")); }
    std::vector<std::vector<Value>> rows(const QString& table) const {
        auto db = cat.open();
        auto rs = db->openTable(table);
        std::vector<std::vector<Value>> all;
        for (; !rs->eof(); rs->moveNext()) {
            std::vector<Value> row;
            for (int i = 0; i < rs->fieldCount(); ++i)
                row.push_back(rs->value(i));
            all.push_back(row);
        }
        return all;
    }
    QString mainTable() const { return cat.state.config[Cd].TableName.trimmed(); }
    QString subTable() const { return cat.state.config[Cd].SubTableName.trimmed(); }
};

Spot List1(int row) {
    return {Place::List1, row};
}
Spot List2(int row) {
    return {Place::List2, row};
}
Spot MainSlot(int i) {
    return {Place::MainSlot, i};
}
Spot SubSlot(int j) {
    return {Place::SubSlot, j};
}

TEST_F(MigrationRun, CopiesMainAndSubRecordsWithNumbersTextFormsAndOneCounterWrite) {
    addGoods();
    cat.state.config[Cd].RegNo = 10;
    auto src = source();
    EXPECT_EQ(OfferedCategories(*src), QStringList{"ＣＤ在庫"});
    const InventoryCategory goods = ReadInventoryCategory(*src, "ＣＤ在庫");
    MappingBoard board;
    board.reset(goods);
    // List1 is 品名, 数量, 入荷日; each drop takes the name out of its list.
    ASSERT_TRUE(board.drop(List1(0), MainSlot(0)));  // 品名 → field 1
    ASSERT_TRUE(board.drop(List1(0), MainSlot(10))); // 数量 → field 11 (LONG)
    ASSERT_TRUE(board.drop(List1(0), SubSlot(2)));   // 入荷日 → sub field 3 (TEXT): copied into each sub record
    ASSERT_TRUE(board.drop(List2(0), SubSlot(0)));   // 曲名 → sub field 1
    ASSERT_TRUE(board.drop(List2(0), SubSlot(8)));   // 時間 → sub field 9 (LONG)
    EXPECT_TRUE(board.list1().empty());
    EXPECT_FALSE(TypeMismatch(goods, board, cat.state.config[Cd]));

    const MigrationResult r = Migrate(cat.state, *src, goods, board);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_EQ(r.mainCount, 3);
    EXPECT_EQ(r.subCount, 2);
    EXPECT_EQ(MigrationSummary(r.mainCount, r.subCount),
              QStringLiteral("データ移行が終了しました。 \r\n種目メイン明細　3\r\n種目サブ明細　　2"));
    EXPECT_EQ(cat.state.config[Cd].RegNo, 13);
    EXPECT_EQ(cat.reload()[Cd].RegNo, 13);

    const auto mains = rows(mainTable());
    ASSERT_EQ(mains.size(), 3u);
    const Value blank(" ");
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(mains[r][15], Value(11 + r));
        EXPECT_EQ(mains[r][16], Value(0));
        EXPECT_EQ(mains[r][1], blank); // unmapped text: one blank
        EXPECT_TRUE(mains[r][11].isNull() && mains[r][12].isNull() && mains[r][13].isNull());
    }
    EXPECT_EQ(mains[0][0], Value("第九"));
    EXPECT_EQ(mains[0][10], Value(5));
    EXPECT_EQ(mains[1][0], blank); // Null: one blank
    EXPECT_EQ(mains[2][10], Value());

    const auto subs = rows(subTable());
    ASSERT_EQ(subs.size(), 2u);
    EXPECT_EQ(subs[0][0], Value("第一楽章"));
    EXPECT_EQ(subs[0][2], Value("2001/02/03 10:20:30")); // the main record's date as text
    EXPECT_EQ(subs[0][8], Value(600));
    EXPECT_EQ(subs[1][0], Value("第二楽章"));
    EXPECT_EQ(subs[1][2], Value("2001/02/03 10:20:30"));
    EXPECT_TRUE(subs[1][8].isNull());
    EXPECT_EQ(subs[1][1], blank);
    EXPECT_EQ((std::vector<Value>{subs[0][10], subs[0][11], subs[1][10], subs[1][11]}),
              (std::vector<Value>{Value(12), Value(1), Value(12), Value(2)}));
}

TEST_F(MigrationRun, ALongRunTellsItsProgressFromItsStartAndEvery256Rows) {
    addGoods();
    file->db().execute("INSERT INTO 商品 (品名, 商品ID) WITH RECURSIVE n(k) AS "
                       "(SELECT 1 UNION ALL SELECT k + 1 FROM n WHERE k < 600) SELECT 'x', 1000 + k FROM n");
    auto src = source();
    const InventoryCategory goods = ReadInventoryCategory(*src, "ＣＤ在庫");
    MappingBoard board;
    board.reset(goods);
    board.drop(List1(2), MainSlot(0));
    board.drop(List2(0), SubSlot(0));
    QList<std::int64_t> told;
    ASSERT_TRUE(Migrate(cat.state, *src, goods, board, [&](std::int64_t rows) { told << rows; }).ok);
    // 4 sub rows read, 603 main records and 2 sub records written: 609 rows.
    EXPECT_EQ(told, (QList<std::int64_t>{0, 256, 512}));
}

TEST_F(MigrationRun, NumbersAndDatesBecomeTextOnTextFields) {
    addGoods();
    auto src = source();
    const InventoryCategory goods = ReadInventoryCategory(*src, "ＣＤ在庫");
    MappingBoard board;
    board.reset(goods);
    board.drop(List1(1), MainSlot(3)); // 数量 → field 4 (TEXT)
    board.drop(List1(1), MainSlot(4)); // 入荷日 → field 5 (TEXT)
    ASSERT_TRUE(Migrate(cat.state, *src, goods, board).ok);
    const auto mains = rows(mainTable());
    EXPECT_EQ(mains[0][3], Value("5"));
    EXPECT_EQ(mains[0][4], Value("1999/12/31"));
    EXPECT_EQ(mains[2][3], Value(" "));
}

TEST_F(MigrationRun, ACategoryWithoutSubTableWritesNoSubRecordsEvenAfterOneWithIt) {
    addGoods();
    file->category("バラ売り", 1, "商品", {{"品名", "TEXT"}, {"数量", "LONG"}, {"入荷日", "DATE"}});
    auto src = source();
    MappingBoard board;
    board.reset(ReadInventoryCategory(*src, "ＣＤ在庫"));
    board.drop(List2(0), SubSlot(0));
    const InventoryCategory loose = ReadInventoryCategory(*src, "バラ売り");
    board.reset(loose);
    EXPECT_TRUE(board.list2().empty());
    board.drop(List1(0), SubSlot(0)); // a main field on a sub slot: still no sub records
    EXPECT_FALSE(loose.hasSub);
    const MigrationResult r = Migrate(cat.state, *src, loose, board);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.mainCount, 3);
    EXPECT_EQ(r.subCount, 0);
    EXPECT_TRUE(rows(subTable()).empty());
}

TEST_F(MigrationRun, TypeCheckNamesTheFieldAndItsTypeAndGoesByTheSlotsOrigin) {
    file->category("混在", 1, "m", {{"番号", "TEXT(10)"}, {"時間", "LONG"}}, "s", {{"時間", "TEXT"}});
    file->db().execute("CREATE TABLE m (番号 TEXT, 時間 LONG, k LONG)");
    file->db().execute("CREATE TABLE s (時間 TEXT, k LONG)");
    auto src = source();
    const InventoryCategory c = ReadInventoryCategory(*src, "混在");
    MappingBoard board;
    board.reset(c);
    board.drop(List1(0), MainSlot(10));
    EXPECT_EQ(TypeMismatch(c, board, cat.state.config[Cd]),
              QStringLiteral("番号(TEXT) が受入れ側のデータ型と相違しています"));
    board.drop(MainSlot(10), List1(0));
    EXPECT_FALSE(TypeMismatch(c, board, cat.state.config[Cd]));
    // The main field 時間 (LONG) fits sub field 9 although the sub field of the same name is TEXT.
    board.drop(List1(0), SubSlot(8));
    EXPECT_EQ(board.subSlots()[8].text, "時間");
    EXPECT_FALSE(TypeMismatch(c, board, cat.state.config[Cd]));
    board.drop(SubSlot(8), List1(0));
    board.drop(List2(0), SubSlot(8));
    EXPECT_EQ(TypeMismatch(c, board, cat.state.config[Cd]),
              QStringLiteral("時間(TEXT) が受入れ側のデータ型と相違しています"));
}

TEST(MappingBoard, DropsFollowTheListsAndSlotsRules) {
    InventoryCategory c;
    c.mainFields = {{"A", "TEXT", 0}, {"B", "TEXT", 1}};
    c.hasSub = true;
    c.subFields = {{"S", "TEXT", 0}};
    MappingBoard b;
    b.reset(c);
    const auto names = [](const std::vector<ListEntry>& l) {
        QStringList n;
        for (const auto& e : l)
            n << e.name;
        return n;
    };

    EXPECT_FALSE(b.drop(List2(0), MainSlot(0))); // sub fields never reach main fields
    EXPECT_FALSE(b.drop(List1(0), List2(0)));
    EXPECT_FALSE(b.drop(MainSlot(0), List1(0))); // an empty slot gives nothing back
    EXPECT_TRUE(b.drop(List1(0), SubSlot(1)));   // A, origin main
    EXPECT_EQ(b.subSlots()[1].origin, Origin::Main);
    EXPECT_TRUE(b.drop(SubSlot(1), List2(0))); // a main field dragged onto List2 goes home to List1
    EXPECT_EQ(names(b.list1()), (QStringList{"B", "A"}));
    EXPECT_EQ(names(b.list2()), QStringList{"S"});
    EXPECT_FALSE(b.subSlots()[1].mapped());
    EXPECT_EQ(b.subSlots()[1].text, " ");

    EXPECT_TRUE(b.drop(List2(0), SubSlot(0)));
    EXPECT_FALSE(b.drop(SubSlot(0), List1(0))); // a sub field does not go to List1
    EXPECT_FALSE(b.drop(SubSlot(0), MainSlot(0)));
    EXPECT_FALSE(b.drop(SubSlot(0), SubSlot(1)));
    EXPECT_TRUE(b.drop(SubSlot(0), List2(0)));

    EXPECT_TRUE(b.drop(List1(0), MainSlot(2))); // B
    EXPECT_FALSE(b.drop(MainSlot(2), List2(0)));
    // A dropped on B's slot pushes B back to List1 rather than losing it.
    EXPECT_TRUE(b.drop(List1(0), MainSlot(2)));
    EXPECT_EQ(b.mainSlots()[2].text, "A");
    EXPECT_EQ(names(b.list1()), QStringList{"B"});
    EXPECT_TRUE(b.drop(MainSlot(2), List1(0)));
    EXPECT_EQ(names(b.list1()), (QStringList{"B", "A"}));
}

TEST_F(MigrationRun, ValuesThatDoNotFitStopTheRunNamingRecordAndFieldAndWriteNothing) {
    addGoods();
    file->db().execute(QStringLiteral("INSERT INTO 商品 VALUES ('%1', 3000000000, NULL, 400)").arg(QString(300, 'x')));
    auto src = source();
    const InventoryCategory goods = ReadInventoryCategory(*src, "ＣＤ在庫");

    MappingBoard board;
    board.reset(goods);
    board.drop(List1(0), MainSlot(0)); // 品名: the fourth is 300 characters long
    MigrationResult r = Migrate(cat.state, *src, goods, board);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.startsWith(QStringLiteral("在庫管理Dravnのレコード（キー 400）の項目「品名」は「")))
        << r.message.toStdString();
    EXPECT_TRUE(r.message.endsWith(QStringLiteral("データは移行されていません。")));

    board.reset(goods);
    board.drop(List1(1), MainSlot(11)); // 数量: 3,000,000,000 is beyond 32 bits
    r = Migrate(cat.state, *src, goods, board);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.contains(QStringLiteral("（キー 400）の項目「数量」")));

    EXPECT_TRUE(rows(mainTable()).empty());
    EXPECT_TRUE(rows(subTable()).empty());
    EXPECT_EQ(cat.state.config[Cd].RegNo, 0);
    EXPECT_EQ(cat.reload()[Cd].RegNo, 0);
}

TEST_F(MigrationRun, AnEngineFailureInTheMiddleRollsEverythingBack) {
    addGoods();
    cat.state.config[Cd].RegNo = 10;
    cat.addMain(Cd, 13, {QStringLiteral("既存")}); // the third migrated record would take 13
    auto src = source();
    const InventoryCategory goods = ReadInventoryCategory(*src, "ＣＤ在庫");
    MappingBoard board;
    board.reset(goods);
    board.drop(List2(0), SubSlot(0));
    const MigrationResult r = Migrate(cat.state, *src, goods, board);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.startsWith(QStringLiteral("データ移行中に在庫管理Dravnのレコード（キー 300）でエラーが"
                                                    "発生しました。")))
        << r.message.toStdString();
    const auto mains = rows(mainTable());
    ASSERT_EQ(mains.size(), 1u);
    EXPECT_EQ(mains[0][0], Value("既存"));
    EXPECT_TRUE(rows(subTable()).empty());
    EXPECT_EQ(cat.state.config[Cd].RegNo, 10);
}

TEST_F(MigrationRun, BadCategoriesGiveClearMessages) {
    std::vector<std::pair<QString, QString>> nine;
    for (int k = 1; k <= 9; ++k)
        nine.emplace_back(QStringLiteral("項目%1").arg(k), "TEXT");
    file->category("多すぎ", 1, "m", nine);
    file->category("表なし", 1, "無い表", {{"a", "TEXT"}});
    file->category("サブ表なし", 0, "m", {{"a", "TEXT"}}, "無いサブ", {{"b", "TEXT"}});
    file->db().execute("CREATE TABLE m (a TEXT, k LONG)");
    auto src = source();
    EXPECT_EQ(OfferedCategories(*src), (QStringList{"多すぎ", "表なし"}));
    const auto messageOf = [&](const QString& name) {
        try {
            ReadInventoryCategory(*src, name);
        } catch (const InventoryError& e) {
            return e.message();
        }
        return QString();
    };
    EXPECT_EQ(
        messageOf("多すぎ"),
        QStringLiteral("在庫管理Dravnの種目「多すぎ」はメイン明細の項目が9個あります。移行できるのは８個までです。"));
    EXPECT_EQ(messageOf("表なし"),
              QStringLiteral("在庫管理Dravnの種目「表なし」のテーブル「無い表」が見つかりません。"));
    EXPECT_EQ(messageOf("サブ表なし"),
              QStringLiteral("在庫管理Dravnの種目「サブ表なし」のテーブル「無いサブ」が見つかりません。"));

    // A table with fewer columns than its row describes is refused at the run.
    InventoryCategory wide;
    wide.mainTable = "m";
    wide.mainFields = {{"a", "TEXT", 0}, {"b", "TEXT", 1}};
    MappingBoard board;
    board.reset(wide);
    const MigrationResult r = Migrate(cat.state, *src, wide, board);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.startsWith(QStringLiteral("在庫管理Dravnのテーブル「m」の列が足りません。")));
}

} // namespace
} // namespace quelm::exchange
