#include "platform/Database.h"
#include "TestCatalogue.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace quelm;
using platform::Database;
using platform::EngineError;
using platform::Value;

namespace {

struct EngineTest : ::testing::Test {
    test::TestCatalogue cat;
    std::unique_ptr<Database> db = cat.open();
};

TEST_F(EngineTest, TypedColumnsRefuseWhatDoesNotFitAndWriteNothing) {
    auto rs = db->openTable(QStringLiteral("CD1"));
    rs->addNew();
    EXPECT_THROW(rs->setValue(QStringLiteral("価格"), Value("abc")), EngineError);
    EXPECT_THROW(rs->setValue(QStringLiteral("購入日"), Value("2009/02/30")), EngineError);
    EXPECT_THROW(rs->setValue(QStringLiteral("タイトル"), Value(QString(256, QLatin1Char('x')))), EngineError);
    EXPECT_THROW(rs->setValue(QStringLiteral("枚数"), Value("3000000000")), EngineError);
    rs->setValue(QStringLiteral("タイトル"), Value(QString(255, QChar(0x3042))));
    rs->setValue(QStringLiteral("価格"), Value(" 1200 "));
    rs->setValue(QStringLiteral("購入日"), Value("2009/04/06"));
    // The key is still Null: the row is refused as a whole.
    EXPECT_THROW(rs->update(), EngineError);
    EXPECT_EQ(db->openTable(QStringLiteral("CD1"))->recordCount(), 0);

    rs->addNew();
    rs->setValue(QStringLiteral("価格"), Value(" 1200 "));
    rs->setValue(QStringLiteral("購入日"), Value("2009/04/06"));
    rs->setValue(QStringLiteral("登録ＮＯ"), Value(1));
    rs->update();
    auto check = db->openTable(QStringLiteral("CD1"));
    ASSERT_FALSE(check->eof());
    EXPECT_EQ(check->value(QStringLiteral("価格")), Value(std::int64_t{1200}));
    EXPECT_EQ(check->text(check->indexOf(QStringLiteral("購入日"))), QStringLiteral("2009/04/06"));
    EXPECT_EQ(check->value(QStringLiteral("購入日")).toDate().date(), QDate(2009, 4, 6));
    EXPECT_TRUE(check->value(QStringLiteral("タイトル")).isNull());
}

TEST_F(EngineTest, ExecuteRunsOneStatementOnly) {
    EXPECT_THROW(db->execute(QStringLiteral("CREATE TABLE X1 (A TEXT); DROP TABLE CD1")), EngineError);
    EXPECT_FALSE(db->tableExists(QStringLiteral("X1")));
    EXPECT_TRUE(db->tableExists(QStringLiteral("CD1")));
    EXPECT_THROW(db->execute(QStringLiteral("DROP TABLE NoSuchTable")), EngineError);
    db->execute(QStringLiteral("CREATE TABLE X1 (A TEXT) "));
    EXPECT_TRUE(db->tableExists(QStringLiteral("X1")));
}

TEST_F(EngineTest, ScanFollowsThePrimaryKeyAndKeyedLookupAgrees) {
    for (int reg : {5, 2, 9, 1}) {
        cat.addMain(4, reg, {QStringLiteral("t%1").arg(reg)});
        cat.addSub(4, reg, 2, QStringLiteral("b"));
        cat.addSub(4, reg, 1, QStringLiteral("a"));
    }
    QList<qint64> order;
    for (auto rs = db->openTable(QStringLiteral("CD1")); !rs->eof(); rs->moveNext())
        order << rs->value(QStringLiteral("登録ＮＯ")).toInt();
    EXPECT_EQ(order, (QList<qint64>{1, 2, 5, 9}));

    auto subs = db->openTable(QStringLiteral("CD1SUB"), QStringLiteral("登録ＮＯ"), Value(5));
    EXPECT_EQ(subs->recordCount(), 2);
    EXPECT_EQ(subs->value(QStringLiteral("サブＮＯ")).toInt(), 1);
    subs->moveNext();
    EXPECT_EQ(subs->value(0).toText(), QStringLiteral("b"));
    subs->moveNext();
    EXPECT_TRUE(subs->eof());

    // The same recordset run again for other keys, and again after a row was added elsewhere.
    subs->requery(Value(9));
    EXPECT_EQ(subs->value(QStringLiteral("登録ＮＯ")).toInt(), 9);
    EXPECT_EQ(subs->value(0).toText(), QStringLiteral("a"));
    subs->requery(Value(7));
    EXPECT_TRUE(subs->eof());
    cat.addSub(4, 7, 1, QStringLiteral("c"));
    subs->moveFirst();
    ASSERT_FALSE(subs->eof());
    EXPECT_EQ(subs->value(0).toText(), QStringLiteral("c"));
    EXPECT_THROW(db->openTable(QStringLiteral("CD1"))->requery(Value(1)), EngineError);
}

TEST_F(EngineTest, EditAndDeleteWhileScanning) {
    for (int reg = 1; reg <= 4; ++reg)
        cat.addMain(4, reg, {QStringLiteral("t%1").arg(reg)});
    auto rs = db->openTable(QStringLiteral("CD1"));
    while (!rs->eof()) {
        const auto reg = rs->value(QStringLiteral("登録ＮＯ")).toInt();
        if (reg % 2 == 0) {
            rs->deleteCurrent();
        } else {
            rs->edit();
            rs->setValue(0, Value(QStringLiteral("odd")));
            rs->update();
            EXPECT_EQ(rs->value(0).toText(), QStringLiteral("odd"));
        }
        rs->moveNext();
    }
    EXPECT_EQ(db->openTable(QStringLiteral("CD1"))->recordCount(), 2);
}

TEST_F(EngineTest, TransactionRollsBackUnlessCommitted) {
    {
        platform::Transaction tx(*db);
        db->execute(QStringLiteral("CREATE TABLE Y1 (A TEXT)"));
    }
    EXPECT_FALSE(db->tableExists(QStringLiteral("Y1")));
}

TEST_F(EngineTest, AReadTwinSeesTheSameStateAndHoldsOffWritersUntilBothEnd) {
    EXPECT_EQ(platform::ReadTwin::open(*db), nullptr); // outside a transaction there is no state to share
    auto writer = cat.open();
    sqlite3_busy_timeout(writer->handle(), 0);
    writer->execute(QStringLiteral("INSERT INTO CD1 (タイトル, 登録ＮＯ) VALUES ('one', 1)"));
    {
        platform::Transaction reading(*db);
        auto twin = platform::ReadTwin::open(*db);
        ASSERT_NE(twin, nullptr);
        // No write can be committed in between, so both read the same rows.
        EXPECT_THROW(writer->execute(QStringLiteral("INSERT INTO CD1 (タイトル, 登録ＮＯ) VALUES ('two', 2)")),
                     EngineError);
        EXPECT_EQ(twin->db().rowCount(QStringLiteral("CD1")), 1);
        EXPECT_EQ(db->rowCount(QStringLiteral("CD1")), 1);
        EXPECT_THROW(twin->db().execute(QStringLiteral("DELETE FROM CD1")), EngineError); // it only reads
    }
    writer->execute(QStringLiteral("INSERT INTO CD1 (タイトル, 登録ＮＯ) VALUES ('two', 2)"));
    EXPECT_EQ(db->rowCount(QStringLiteral("CD1")), 2);

    // In a write-ahead log each reader sees the state of its own start: no twin.
    writer->execute(QStringLiteral("PRAGMA journal_mode = WAL"));
    platform::Transaction reading(*db);
    EXPECT_EQ(platform::ReadTwin::open(*db), nullptr);
}

TEST_F(EngineTest, AddedRowsKeepEachTextWhateverCameBefore) {
    // Each add reuses the buffers of the one before: a shorter text must not keep the tail of a longer one.
    const QStringList texts{QStringLiteral("交響曲第九番　合唱付き"), QStringLiteral("x"), QString(""),
                            QString::fromUtf8("\xF0\xA0\xAE\xB7野家"), QStringLiteral("   ")};
    {
        auto rs = db->openTable(QStringLiteral("CD1"));
        for (int k = 0; k < texts.size(); ++k) {
            rs->addNew();
            rs->setValue(0, Value(texts[k]));
            rs->setValue(QStringLiteral("登録ＮＯ"), Value(k + 1));
            rs->update();
        }
    }
    QStringList read;
    for (auto rs = db->openTable(QStringLiteral("CD1")); !rs->eof(); rs->moveNext()) {
        ASSERT_EQ(rs->value(0).kind(), Value::Kind::Text); // the empty text stays a text, not Null
        read << rs->value(0).toText();
    }
    EXPECT_EQ(read, texts);
}

TEST_F(EngineTest, CopyRowsGoesPieceByPieceAndStopsAtARowThatDoesNotQualify) {
    db->execute(QStringLiteral("CREATE TABLE S (a TEXT, b LONG)"));
    db->execute(QStringLiteral("CREATE TABLE T (x TEXT, y LONG)"));
    // Rowids far apart, the largest one included: the pieces follow the rows, not the numbers.
    db->execute(QStringLiteral("INSERT INTO S (rowid, a, b) VALUES (-5, 'm', 1), (1, 'a', 2), (2, 'b', 3), "
                               "(3, 'c', 4), (4000000000000, 'd', 5), (9223372036854775807, 'e', 6)"));
    QList<std::int64_t> reports;
    const auto copy = [&](const QString& condition) {
        reports.clear();
        return db->copyRows(QStringLiteral("S"), QStringLiteral("T"), {QStringLiteral("x"), QStringLiteral("y")},
                            {QStringLiteral("upper(a)"), QStringLiteral("b * 10")}, condition, 2,
                            [&](std::int64_t n) { reports << n; });
    };
    EXPECT_EQ(copy(QStringLiteral("1")), 6);
    EXPECT_EQ(reports, (QList<std::int64_t>{2, 4, 6}));
    QStringList rows;
    for (auto rs = db->openTable(QStringLiteral("T")); !rs->eof(); rs->moveNext())
        rows << rs->value(0).toText() + rs->value(1).toText();
    EXPECT_EQ(rows, (QStringList{"M10", "A20", "B30", "C40", "D50", "E60"}));

    // 'b' does not qualify: its piece copies one row of two and the copy stops there.
    db->execute(QStringLiteral("DELETE FROM T"));
    EXPECT_EQ(copy(QStringLiteral("a <> 'b'")), 3);
    EXPECT_EQ(reports, (QList<std::int64_t>{2, 3}));
    EXPECT_EQ(db->rowCount(QStringLiteral("T")), 3);
    EXPECT_EQ(db->rowCount(QStringLiteral("S")), 6);
}

TEST(Engine, OpeningAMissingOrForeignFileFails) {
    QTemporaryDir dir;
    EXPECT_THROW(Database::open(dir.filePath(QStringLiteral("none.mdb"))), EngineError);
    QFile junk(dir.filePath(QStringLiteral("junk.mdb")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    EXPECT_THROW(Database::open(junk.fileName()), EngineError);
}

} // namespace

namespace {

// Schema objects a catalogue from elsewhere may carry never act on the program's writes.
TEST(HostileCatalogue, ATriggerInTheFileDoesNotRun) {
    test::TestCatalogue cat;
    cat.addMain(7, 1, {QStringLiteral("DVD")});
    {
        auto db = cat.open();
        // Made as another program would have made it; the schema itself is not refused.
        db->execute(QStringLiteral("CREATE TRIGGER wipe AFTER INSERT ON CD1 BEGIN DELETE FROM DVD1; END"));
    }
    cat.addMain(4, 1, {QStringLiteral("CD")});
    EXPECT_EQ(cat.rowCount(QStringLiteral("DVD1")), 1);
    EXPECT_EQ(cat.rowCount(QStringLiteral("CD1")), 1);
}

TEST(HostileCatalogue, EngineFailuresNameTheFileInJapaneseAndKeepTheEngineText) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Quelm.mdb"));
    QFile junk(path);
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    try {
        Database::open(path);
        FAIL() << "opened a file that is not a database";
    } catch (const EngineError& e) {
        const QStringList lines = e.message().split(QLatin1Char('\n'));
        ASSERT_EQ(lines.size(), 2);
        EXPECT_EQ(lines[0], QStringLiteral("ファイル %1 はデータベースではありません。").arg(path));
        EXPECT_TRUE(lines[1].contains(QStringLiteral("file is not a database")));
    }
}

} // namespace
