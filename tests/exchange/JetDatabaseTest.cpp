#include "exchange/JetDatabase.h"
#include "exchange/InventoryDatabase.h"
#include "exchange/InventoryFile.h"

#include "TestCatalogue.h"
#include "platform/Database.h"

#include <QDataStream>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quelm::exchange {
namespace {

using platform::Value;
using test::Fixture;

// Every row of a table, all cells.
std::vector<std::vector<Value>> ReadAll(InventoryDatabase& db, const QString& table) {
    auto t = db.openTable(table);
    std::vector<std::vector<Value>> rows;
    while (t->next()) {
        std::vector<Value> row;
        for (int i = 0; i < t->columnCount(); ++i)
            row.push_back(t->value(i));
        rows.push_back(std::move(row));
    }
    return rows;
}

const std::vector<Value>& RowWithKey(const std::vector<std::vector<Value>>& rows, const Value& key) {
    for (const auto& row : rows)
        if (row.at(0) == key)
            return row;
    static const std::vector<Value> none;
    ADD_FAILURE() << "no row with key " << key.toText().toStdString();
    return none;
}

TEST(JetDatabase, ReadsAnAccess97FileWithItsCodePageTextsNumbersDatesAndNulls) {
    QUELM_NEED_FIXTURE("mdb");
    auto db = OpenInventoryFile(Fixture("mdb/nwind_jet3.mdb"));
    EXPECT_EQ(db->format(), InventoryDatabase::Format::Jet3);
    EXPECT_EQ(db->tableNames(), (QStringList{"Order Details", "Orders", "Products", "Shippers", "Categories",
                                             "Customers", "Employees", "Suppliers", QStringLiteral("Umsätze")}));

    const std::map<QString, int> counts{{"Shippers", 3},  {"Categories", 8}, {"Employees", 9}, {"Suppliers", 29},
                                        {"Products", 77}, {"Customers", 91}, {"Orders", 830},  {"Order Details", 2155}};
    for (const auto& [table, count] : counts)
        EXPECT_EQ(ReadAll(*db, table).size(), static_cast<size_t>(count)) << table.toStdString();

    auto orders = db->openTable("orders"); // names match in either case, as Access matches them
    ASSERT_EQ(orders->columnCount(), 14);
    EXPECT_EQ(orders->columnName(3), "OrderDate");
    EXPECT_EQ(orders->columnName(13), "ShipCountry");

    const auto shippers = ReadAll(*db, "Shippers");
    EXPECT_EQ(RowWithKey(shippers, Value(2)), (std::vector<Value>{Value(2), "United Package", "(503) 555-3199"}));

    const auto customers = ReadAll(*db, "Customers");
    const auto& anatr = RowWithKey(customers, Value("ANATR"));
    EXPECT_EQ(anatr.at(4), Value(QStringLiteral("Avda. de la Constitución 2222")));
    EXPECT_EQ(anatr.at(5), Value(QStringLiteral("México D.F.")));
    EXPECT_TRUE(anatr.at(6).isNull());                                  // Region
    EXPECT_TRUE(RowWithKey(customers, Value("ANTON")).at(10).isNull()); // Fax

    const auto employees = ReadAll(*db, "Employees");
    const auto& davolio = RowWithKey(employees, Value(1));
    EXPECT_EQ(davolio.at(1), Value("Davolio"));
    EXPECT_EQ(davolio.at(5), Value(QDateTime(QDate(1948, 12, 8), QTime(0, 0))));
    EXPECT_EQ(davolio.at(16), Value(2));  // ReportsTo
    EXPECT_TRUE(davolio.at(14).isNull()); // the photo has no text form

    const auto products = ReadAll(*db, "Products");
    const auto& chai = RowWithKey(products, Value(1));
    EXPECT_EQ(chai.at(1), Value("Chai"));
    EXPECT_EQ(chai.at(5), Value(18.0)); // currency
    EXPECT_EQ(chai.at(6), Value(39));   // 16-bit UnitsInStock
    EXPECT_EQ(chai.at(9), Value(0));    // Discontinued: No
}

TEST(JetDatabase, ReadsAnAccess2000FileWithCompressedUnicodeTexts) {
    QUELM_NEED_FIXTURE("mdb");
    auto db = OpenInventoryFile(Fixture("mdb/jackcess_testUnicodeCompV2003_jet4.mdb"));
    EXPECT_EQ(db->format(), InventoryDatabase::Format::Jet4);
    EXPECT_EQ(db->tableNames(), QStringList{"Table"});
    const auto rows = ReadAll(*db, "Table");
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(RowWithKey(rows, Value(1)).at(1), Value("only ascii chars"));
    EXPECT_EQ(RowWithKey(rows, Value(2)).at(1), Value(QStringLiteral("ääkkösiä")));
    EXPECT_EQ(RowWithKey(rows, Value(3)).at(1), Value(QStringLiteral("Мир")));
    EXPECT_EQ(RowWithKey(rows, Value(5)).at(1), Value(QStringLiteral("漢字仮名交じり文")));
    EXPECT_EQ(RowWithKey(rows, Value(7)).at(1), Value(QStringLiteral("ümlaut")));
}

TEST(JetDatabase, EmptyMissingForeignAndDamagedFilesAreRefusedClearly) {
    QTemporaryDir dir;
    EXPECT_THROW(OpenInventoryFile(dir.filePath("Dravn.mdb")), InventoryError);

    QFile text(dir.filePath("text.mdb"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("KeyNo,種目名\r\n1,CD\r\n");
    text.close();
    EXPECT_THROW(OpenInventoryFile(text.fileName()), InventoryError);

    QUELM_NEED_FIXTURE("mdb");
    auto empty = OpenInventoryFile(Fixture("mdb/jackcess_adox_jet4_empty.mdb"));
    EXPECT_TRUE(empty->tableNames().isEmpty());
    EXPECT_FALSE(empty->hasTable("管理テーブル"));
    EXPECT_THROW(empty->openTable("管理テーブル"), InventoryError);

    // The first pages of real files: the header says Jet, and the catalogue is cut off, or (the first third of an
    // Access 97 file) whole while the tables it lists are not. No part of the tables gets through, and the
    // complaints libmdb prints on its way do not spoil the reader's message.
    struct Cut {
        const char* file;
        qint64 bytes;
        QString message; // empty: any refusal
    };
    for (const Cut& c :
         {Cut{"mdb/jackcess_testUnicodeCompV2003_jet4.mdb", 8192, {}},
          Cut{"mdb/nwind_jet3.mdb", 1000789,
              QStringLiteral(
                  "Access形式のデータベースが壊れているため読めません。（テーブル「Products」を読めません）")}}) {
        QFile whole(Fixture(c.file));
        ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
        QFile cut(dir.filePath("cut.mdb"));
        ASSERT_TRUE(cut.open(QIODevice::WriteOnly | QIODevice::Truncate));
        cut.write(whole.read(c.bytes));
        cut.close();
        try {
            OpenInventoryFile(cut.fileName());
            ADD_FAILURE() << c.file;
        } catch (const InventoryError& e) {
            if (!c.message.isEmpty()) {
                EXPECT_EQ(e.message(), c.message);
            }
        }
    }
}

TEST(JetDatabase, SqliteFilesGiveTheSameRowsAndStayUnchanged) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Dravn.mdb");
    {
        auto db = platform::Database::create(path);
        db->execute("CREATE TABLE 品目 (品名 TEXT, 数量 LONG, 入荷日 DATE, コード LONG, PRIMARY KEY(コード))");
        db->execute("INSERT INTO 品目 VALUES ('ａ', 3, '2001-02-03', 2), (NULL, NULL, NULL, 1)");
    }
    const QByteArray before = [&] {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    {
        auto db = OpenInventoryFile(path);
        EXPECT_EQ(db->format(), InventoryDatabase::Format::Sqlite);
        EXPECT_TRUE(db->hasTable("品目"));
        const auto rows = ReadAll(*db, "品目");
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[0], (std::vector<Value>{Value(), Value(), Value(), Value(1)})); // key order
        EXPECT_EQ(rows[1], (std::vector<Value>{Value("ａ"), Value(3), Value(QDateTime(QDate(2001, 2, 3), QTime(0, 0))),
                                               Value(2)}));
        EXPECT_THROW(db->openTable("在庫"), InventoryError);
    }
    QFile after(path);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before);
}

TEST(JetDatabase, DatesCountDaysFrom1899WithTheTimeAsAFraction) {
    EXPECT_EQ(JetDateTime(0.0), QDateTime(QDate(1899, 12, 30), QTime(0, 0)));
    EXPECT_EQ(JetDateTime(36526.5), QDateTime(QDate(2000, 1, 1), QTime(12, 0)));
    // Before day zero the whole part counts back and the fraction still runs forward.
    EXPECT_EQ(JetDateTime(-1.25), QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
    EXPECT_FALSE(JetDateTime(1e300).isValid());
}

// The reader program's dump is checked as it is read: a whole one gives the tables back, a cut or damaged one is
// refused with a message, never read past its end.
TEST(JetDatabase, TheReadersDumpComesBackWholeOrIsRefused) {
    QByteArray dump;
    {
        QDataStream out(&dump, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_0);
        out << quint32(0x514d4442) << quint32(1) << qint32(1); // header, Jet 3
        out << quint8(1) << QStringLiteral("商品") << qint32(2) << QStringLiteral("名")
            << QStringLiteral("数");                                                       // table
        out << quint8(2) << quint8(3) << QStringLiteral("第九") << quint8(1) << qint64(5); // row: text, whole number
        out << quint8(2) << quint8(0) << quint8(4) << QDateTime(QDate(1999, 12, 31), QTime(0, 0)); // Null, date
        out << quint8(0);
    }
    auto db = ReadJetDump(dump);
    EXPECT_EQ(db->format(), InventoryDatabase::Format::Jet3);
    EXPECT_EQ(db->tableNames(), QStringList{"商品"});
    const auto rows = ReadAll(*db, "商品");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0], Value(QStringLiteral("第九")));
    EXPECT_EQ(rows[0][1], Value(5));
    EXPECT_TRUE(rows[1][0].isNull());
    EXPECT_EQ(rows[1][1].toText(), QStringLiteral("1999/12/31"));
    EXPECT_THROW(db->openTable("無い"), InventoryError);

    for (qsizetype cut = 0; cut < dump.size(); ++cut)
        EXPECT_THROW(ReadJetDump(dump.left(cut)), InventoryError) << cut;
    QByteArray badKind = dump;
    badKind[badKind.indexOf(QByteArray("\x02\x03", 2)) + 1] = 7;
    EXPECT_THROW(ReadJetDump(badKind), InventoryError);
}

// A damaged file may send libmdb into an endless loop that eats memory, or crash it. The reader runs in a process
// of its own: one that stops answering is stopped, one that dies is reported, and the program goes on.
TEST(JetDatabase, AReaderThatHangsOrDiesGivesAMessageNamingTheDamage) {
    QTemporaryDir dir;
    QFile mdb(dir.filePath("any.mdb"));
    ASSERT_TRUE(mdb.open(QIODevice::WriteOnly));
    mdb.write(QByteArray(4, '\0') + "Standard Jet DB" + QByteArray(2048, '\0'));
    mdb.close();
    const auto refusal = [&](const QByteArray& script) {
        const QString reader = dir.filePath("reader.sh");
        QFile file(reader);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n" + script + "\n");
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        qputenv("QUELM_MDBREADER", QFile::encodeName(reader));
        QString message;
        try {
            OpenInventoryFile(mdb.fileName());
            ADD_FAILURE() << script.toStdString();
        } catch (const InventoryError& e) {
            message = e.message();
        }
        qunsetenv("QUELM_MDBREADER");
        return message;
    };
    EXPECT_EQ(refusal("while :; do :; done"),
              QStringLiteral("Access形式のデータベースが壊れているため読めません。（読込みが終わりません）"));
    EXPECT_EQ(refusal("kill -SEGV $$"),
              QStringLiteral("Access形式のデータベースが壊れているため読めません。（読込みが異常終了しました）"));
    EXPECT_EQ(refusal("printf QMDB"),
              QStringLiteral("Access形式のデータベースが壊れているため読めません。（読込みの結果が不完全です）"));
}

} // namespace
} // namespace quelm::exchange
