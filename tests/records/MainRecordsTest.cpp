#include "records/MainRecords.h"

#include "TestCatalogue.h"
#include "platform/Database.h"
#include "store/Catalogue.h"

#include <gtest/gtest.h>
#include <map>

namespace quelm::records {
namespace {

using platform::Value;
using test::TestCatalogue;

constexpr int Cd = 4; // the CD1 slot

// Fifteen boxes as the editor hands them over: date boxes untouched unless given.
std::vector<FieldInput> Boxes(const std::map<int, QString>& byField) {
    std::vector<FieldInput> in(15);
    in[12] = in[13] = {UntouchedDate, QString()};
    for (const auto& [k, text] : byField) {
        QString clip = text;
        if (k == 13 || k == 14)
            clip.remove(QLatin1Char('/')).remove(QLatin1Char('_'));
        in[k - 1] = {text, clip};
    }
    return in;
}

// Fifteen cells for TestCatalogue::addMain; a null QString is a Null cell.
QStringList Cells(const std::map<int, QString>& byField) {
    QStringList cells;
    for (int k = 1; k <= 15; ++k)
        cells << (byField.count(k) ? byField.at(k) : QString());
    return cells;
}

std::vector<Value> MainRow(const TestCatalogue& c, std::int32_t regNo) {
    auto db = c.open();
    auto rs = db->openTable(QStringLiteral("CD1"), store::MainKeyColumn, Value(regNo));
    std::vector<Value> row;
    if (rs->eof())
        return row;
    for (int i = 0; i < rs->fieldCount(); ++i)
        row.push_back(rs->value(i));
    return row;
}

std::vector<QStringList> Rows(TestCatalogue& c) {
    auto db = c.open();
    std::vector<QStringList> rows;
    for (const auto& row : ReadMainRows(*db, c.state))
        rows.push_back(row.cells());
    return rows;
}

QStringList FirstCells(const std::vector<QStringList>& rows) {
    QStringList l;
    for (const QStringList& r : rows)
        l << r.value(0);
    return l;
}

TEST(MainRecordsTest, ColumnsFollowTheFieldsThenTwoHiddenKeys) {
    TestCatalogue c;
    const auto cols = MainListColumns(c.state.config[Cd]);
    ASSERT_EQ(cols.size(), 17u);
    EXPECT_EQ(cols[0].heading, QStringLiteral("タイトル"));
    EXPECT_EQ(cols[14].heading, QStringLiteral("備考"));
    const int widths[] = {3700, 2000, 1400, 1400, 1400, 1400, 1400, 1400, 1400,
                          1400, 1000, 1000, 1500, 1500, 1400, 0,    0};
    for (int i = 0; i < 17; ++i) {
        EXPECT_EQ(cols[i].widthTwips, widths[i]) << i;
        const bool right = (i >= 10 && i <= 13) || i >= 15;
        EXPECT_EQ(cols[i].align, right ? Qt::Alignment(Qt::AlignRight) : Qt::Alignment(Qt::AlignLeft)) << i;
    }
    EXPECT_EQ(cols[15].heading, QStringLiteral("登録ＮＯ"));
    EXPECT_EQ(cols[16].heading, QStringLiteral("画像jpg"));

    store::ConfigSection few = c.state.config[Cd];
    few.FieldCount = 3;
    const auto short3 = MainListColumns(few);
    ASSERT_EQ(short3.size(), 5u);
    EXPECT_EQ(short3[3].heading, QStringLiteral("登録ＮＯ"));
}

TEST(MainRecordsTest, AllRecordsInKeyOrderWithNullsDatesAndNumbers) {
    TestCatalogue c;
    c.addMain(Cd, 7, Cells({{1, QStringLiteral("後")}, {12, QStringLiteral("2500")}}), 1);
    c.addMain(Cd, 3,
              Cells({{1, QStringLiteral("先")},
                     {2, QStringLiteral("   ")},
                     {11, QStringLiteral("2")},
                     {13, QStringLiteral("2009-04-06")},
                     {14, QStringLiteral("1999/12/31")}}));
    c.state.ListMode = 0;
    const auto rows = Rows(c);
    ASSERT_EQ(rows.size(), 2u);
    const QStringList& first = rows[0];
    ASSERT_EQ(first.size(), 17);
    EXPECT_EQ(first[0], QStringLiteral("先"));
    EXPECT_EQ(first[1], QStringLiteral("   "));
    EXPECT_EQ(first[2], QString()); // Null
    EXPECT_EQ(first[10], QStringLiteral("2"));
    EXPECT_EQ(first[11], QString());
    EXPECT_EQ(first[12], QStringLiteral("2009/04/06"));
    EXPECT_EQ(first[13], QStringLiteral("1999/12/31"));
    EXPECT_EQ(first[15], QStringLiteral("3"));
    EXPECT_EQ(first[16], QStringLiteral("0"));
    EXPECT_EQ(rows[1][11], QStringLiteral("2500"));
    EXPECT_EQ(rows[1][15], QStringLiteral("7"));
    EXPECT_EQ(rows[1][16], QStringLiteral("1"));
    // Rows far apart in the table's storage are read in two halves, on two connections, and still come in key order.
    c.open()->execute(QStringLiteral("INSERT INTO CD1 (rowid, タイトル, 登録ＮＯ, 画像jpg有無) "
                                     "VALUES (40000, '中', 5, 0), (70000, '最初', 1, 0)"));
    const auto RegNos = [](const std::vector<QStringList>& rows) {
        QStringList l;
        for (const QStringList& r : rows)
            l << r.value(15);
        return l;
    };
    const auto halves = Rows(c);
    EXPECT_EQ(RegNos(halves), QStringList({"1", "3", "5", "7"}));
    EXPECT_EQ(FirstCells(halves), QStringList({"最初", "先", "中", "後"}));
    // A 登録ＮＯ that is no number (a file from elsewhere) takes the place the engine gives it, after the numbers.
    c.open()->execute(QStringLiteral("INSERT INTO CD1 (rowid, 登録ＮＯ) VALUES (80000, 'x')"));
    EXPECT_EQ(RegNos(Rows(c)), QStringList({"1", "3", "5", "7", "x"}));
}

TEST(MainRecordsTest, SearchOfTextFieldsFoldsCaseWidthAndKanaUnlessExact) {
    TestCatalogue c;
    c.addMain(Cd, 1, Cells({{1, QStringLiteral("ＡＢＣの歌")}}));
    c.addMain(Cd, 2, Cells({{1, QStringLiteral("かきくけこ")}}));
    c.addMain(Cd, 3, Cells({{1, QStringLiteral("ｶﾞｲﾄﾞ abc")}}));
    c.addMain(Cd, 4, Cells({}));                          // Null title never matches
    c.addMain(Cd, 5, Cells({{2, QStringLiteral("ab")}})); // another field
    // Stored far from the others: the search reads the table in two halves, one on a second thread.
    c.open()->execute(QStringLiteral("UPDATE CD1 SET rowid = 50000 WHERE 登録ＮＯ = 3"));
    c.state.ListMode = 1;
    store::FieldSearch& f = c.state.FieldSearchCriteria;
    f.searchField = 0;
    f.searchType = store::TypeText;

    f.searchText = QStringLiteral("ab");
    f.exactMatch = 0;
    EXPECT_EQ(FirstCells(Rows(c)), QStringList({QStringLiteral("ＡＢＣの歌"), QStringLiteral("ｶﾞｲﾄﾞ abc")}));
    f.exactMatch = 1;
    EXPECT_EQ(FirstCells(Rows(c)), QStringList({QStringLiteral("ｶﾞｲﾄﾞ abc")}));

    f.searchText = QStringLiteral("カ");
    f.exactMatch = 0;
    EXPECT_EQ(FirstCells(Rows(c)), QStringList({QStringLiteral("かきくけこ")}));
    f.searchText = QStringLiteral("ｷｸ");
    EXPECT_EQ(FirstCells(Rows(c)), QStringList({QStringLiteral("かきくけこ")}));
    f.exactMatch = 1;
    EXPECT_TRUE(Rows(c).empty());

    // A half-width letter with its voicing mark is one full-width letter.
    f.searchText = QStringLiteral("がいど");
    f.exactMatch = 0;
    EXPECT_EQ(FirstCells(Rows(c)), QStringList({QStringLiteral("ｶﾞｲﾄﾞ abc")}));

    f.searchType = QStringLiteral("MEMO");
    EXPECT_TRUE(Rows(c).empty());
}

TEST(MainRecordsTest, SearchOfNumberAndDateFields) {
    TestCatalogue c;
    c.addMain(Cd, 1,
              Cells({{1, QStringLiteral("a")}, {12, QStringLiteral("1500")}, {13, QStringLiteral("2009/04/05")}}));
    c.addMain(Cd, 2, Cells({{1, QStringLiteral("b")}, {12, QStringLiteral("15")}, {13, QStringLiteral("2009/04/06")}}));
    c.addMain(Cd, 3, Cells({{1, QStringLiteral("c")}, {13, QStringLiteral("2009/04/07")}}));
    c.addMain(Cd, 4, Cells({{1, QStringLiteral("d")}}));
    c.state.ListMode = 1;
    store::FieldSearch& f = c.state.FieldSearchCriteria;

    f.searchField = 11;
    f.searchType = store::TypeLong;
    f.searchNumber = 15;
    EXPECT_EQ(FirstCells(Rows(c)), QStringList({QStringLiteral("b")}));

    f.searchField = 12;
    f.searchType = store::TypeDate;
    f.searchDate = QDate(2009, 4, 6);
    f.dateComparison = 0;
    EXPECT_EQ(FirstCells(Rows(c)), QStringList({QStringLiteral("b")}));
    f.dateComparison = 1;
    EXPECT_EQ(FirstCells(Rows(c)), QStringList({QStringLiteral("c")}));
    f.dateComparison = 2;
    EXPECT_EQ(FirstCells(Rows(c)), QStringList({QStringLiteral("a")}));
}

TEST(MainRecordsTest, OneRecordModeShowsTheFirstMatchOnly) {
    TestCatalogue c;
    c.addMain(Cd, 1, Cells({{1, QStringLiteral("a")}}));
    c.addMain(Cd, 9, Cells({{1, QStringLiteral("b")}}));
    c.state.ListMode = 2;
    c.state.CurrentRegNo = 9;
    EXPECT_EQ(FirstCells(Rows(c)), QStringList({QStringLiteral("b")}));
    c.state.CurrentRegNo = 5;
    EXPECT_TRUE(Rows(c).empty());
}

TEST(MainRecordsTest, SubCountsByKeyMatchAFullScan) {
    TestCatalogue c;
    for (int sub : {1, 2, 7, 3})
        c.addSub(Cd, 10, sub, QStringLiteral("曲"));
    c.addSub(Cd, 11, 40, QStringLiteral("他"));
    auto db = c.open();
    const store::ConfigSection& s = c.state.config[Cd];
    for (qint64 regNo : {10, 11, 12}) {
        SubCounts scan;
        for (auto rs = db->openTable(QStringLiteral("CD1SUB")); !rs->eof(); rs->moveNext()) {
            if (rs->value(10).toInt() == regNo) {
                ++scan.count;
                scan.maxSubNo = std::max<int>(scan.maxSubNo, rs->value(11).toInt());
            }
        }
        const SubCounts keyed = CountSubRecords(*db, s, regNo);
        EXPECT_EQ(keyed.count, scan.count) << regNo;
        EXPECT_EQ(keyed.maxSubNo, scan.maxSubNo) << regNo;
    }
    EXPECT_EQ(CountSubRecords(*db, s, 10).count, 4);
    EXPECT_EQ(CountSubRecords(*db, s, 10).maxSubNo, 7);
}

TEST(MainRecordsTest, TwoCategoriesOfTheSameNameGiveTheLowerSlot) {
    TestCatalogue c;
    store::CategoryConfig config = c.state.config;
    config[7].ShumokuName = QStringLiteral("クラシック");
    config[5].ShumokuName = QStringLiteral("クラシック");
    EXPECT_EQ(SectionOfCategory(config, QStringLiteral("クラシック"), 9), 5);
    EXPECT_EQ(SectionOfCategory(config, QStringLiteral("DVD1"), 6), 6); // renamed away: the fallback
    EXPECT_EQ(SectionOfCategory(config, QStringLiteral("CD1"), 9), 4);
}

TEST(MainRecordsTest, NumberAndDateTests) {
    EXPECT_EQ(ParseWholeNumber(QStringLiteral("-12")), -12);
    EXPECT_EQ(ParseWholeNumber(QStringLiteral(" +7 ")), 7);
    EXPECT_EQ(ParseWholeNumber(QStringLiteral("１２")), 12);
    EXPECT_EQ(ParseWholeNumber(QStringLiteral("2147483647")), 2147483647);
    for (const char* bad : {"", "abc", "12.5", "1 2", "2147483648", "-"})
        EXPECT_FALSE(ParseWholeNumber(QString::fromUtf8(bad))) << bad;

    EXPECT_EQ(ParseMaskedDate(QStringLiteral("2008/02/29")), QDate(2008, 2, 29));
    for (const char* bad : {"2009/02/29", "2009/13/01", "2009/4/6", "2009/04/__", "0099/01/01", "2009-04-06"})
        EXPECT_FALSE(ParseMaskedDate(QString::fromUtf8(bad))) << bad;
}

TEST(MainRecordsTest, TextLengthIsCountedInCodePageBytes) {
    TestCatalogue c;
    const store::ConfigSection& s = c.state.config[Cd];
    auto in = Boxes({{1, QString(127, QChar(u'あ'))}, {15, QString(255, QLatin1Char('a'))}});
    EXPECT_FALSE(FindTooLongText(s, in));
    in[14].text = in[14].clipText = QString(128, QChar(u'あ'));
    EXPECT_EQ(FindTooLongText(s, in), 14);
    // Number boxes are not text fields.
    in = Boxes({{12, QString(300, QLatin1Char('1'))}});
    EXPECT_FALSE(FindTooLongText(s, in));

    // The longest accepted texts are stored whole; a refused one stores nothing.
    auto ok = Boxes({{1, QString(127, QChar(u'あ'))}, {15, QString(255, QLatin1Char('a'))}});
    const EditResult added = AddMainRecord(c.state, ok);
    ASSERT_TRUE(added.ok()) << added.message.toStdString();
    EXPECT_EQ(MainRow(c, 1)[14].toText().size(), 255);
    ok[1] = {QString(128, QChar(u'い')), QString()};
    const EditResult refused = AddMainRecord(c.state, ok);
    EXPECT_EQ(refused.status, EditResult::Status::TooLong);
    EXPECT_EQ(refused.field, 1);
    EXPECT_EQ(refused.message, QStringLiteral("入力したテキストの桁数が長がすぎます。"));
    EXPECT_EQ(c.rowCount(QStringLiteral("CD1")), 1);
}

TEST(MainRecordsTest, EmptyBoxesStoreBlanksOrNull) {
    TestCatalogue c;
    const EditResult r = AddMainRecord(c.state, Boxes({{1, QStringLiteral("題")}}));
    ASSERT_TRUE(r.ok()) << r.message.toStdString();
    EXPECT_EQ(r.regNo, 1);
    EXPECT_EQ(r.blankedFields, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 14}));
    const auto row = MainRow(c, 1);
    ASSERT_EQ(row.size(), 17u);
    EXPECT_EQ(row[0].toText(), QStringLiteral("題"));
    EXPECT_EQ(row[1], Value(QStringLiteral("   ")));
    EXPECT_EQ(row[14], Value(QStringLiteral("   ")));
    EXPECT_TRUE(row[10].isNull()); // empty number box
    EXPECT_TRUE(row[12].isNull()); // untouched date box
    EXPECT_EQ(row[16].toInt(), 0);

    // The untouched mask text counts as no date even when the box reports something underneath.
    EXPECT_EQ(StoreFieldValue(store::TypeDate, {UntouchedDate, QStringLiteral(" ")}, true), Value());
    EXPECT_FALSE(StoreFieldValue(store::TypeDate, {UntouchedDate, QStringLiteral("x")}, false));
}

TEST(MainRecordsTest, TypeErrorsNameTheFirstBadFieldAndAddNothing) {
    TestCatalogue c;
    EditResult r = AddMainRecord(c.state, Boxes({{12, QStringLiteral("abc")}, {13, QStringLiteral("2009/13/01")}}));
    EXPECT_EQ(r.status, EditResult::Status::TypeError);
    EXPECT_EQ(r.field, 11);
    EXPECT_EQ(r.message, QStringLiteral("価格が相違しています。[ abc ]"));
    r = AddMainRecord(c.state, Boxes({{13, QStringLiteral("2009/13/01")}}));
    EXPECT_EQ(r.message, QStringLiteral("購入日が相違しています。[ 2009/13/01 ]"));
    r = AddMainRecord(c.state, Boxes({{14, QStringLiteral("2009/04/__")}}));
    EXPECT_EQ(r.message, QStringLiteral("発売日が相違しています。[ 2009/04/__ ]"));
    EXPECT_EQ(c.rowCount(QStringLiteral("CD1")), 0);
    EXPECT_EQ(c.state.config[Cd].RegNo, 0);
    EXPECT_EQ(c.reload()[Cd].RegNo, 0);
}

TEST(MainRecordsTest, AddsIssueConsecutiveNumbersAndARefusedAddKeepsTheCounter) {
    TestCatalogue c;
    for (int i = 1; i <= 3; ++i) {
        const EditResult r = AddMainRecord(c.state, Boxes({{1, QStringLiteral("盤%1").arg(i)},
                                                           {11, QStringLiteral("%1").arg(i)},
                                                           {13, QStringLiteral("2009/04/0%1").arg(i)}}));
        ASSERT_TRUE(r.ok()) << r.message.toStdString();
        EXPECT_EQ(r.regNo, i);
    }
    EXPECT_EQ(c.state.config[Cd].RegNo, 3);
    EXPECT_EQ(c.state.config[Cd].Dirty, 0);
    EXPECT_EQ(c.reload()[Cd].RegNo, 3);
    EXPECT_EQ(MainRow(c, 2)[12].toDate(), QDateTime(QDate(2009, 4, 2), QTime(0, 0)));
    EXPECT_EQ(MainRow(c, 3)[10].toInt(), 3);

    EXPECT_FALSE(AddMainRecord(c.state, Boxes({{11, QStringLiteral("x")}})).ok());
    EXPECT_EQ(c.state.config[Cd].RegNo, 3);
    EXPECT_EQ(AddMainRecord(c.state, Boxes({})).regNo, 4);

    // Numbers are never reused after a delete.
    ASSERT_TRUE(DeleteMainRecord(c.state, 4, false).ok());
    EXPECT_EQ(AddMainRecord(c.state, Boxes({})).regNo, 5);
}

TEST(MainRecordsTest, AnEngineFailureDuringAnAddLeavesNoRecordAndNoCounter) {
    TestCatalogue c;
    // The counter row cannot be written: DVD1's row already holds the number 1 under a unique index.
    c.open()->execute(QStringLiteral("UPDATE 管理テーブル SET 登録NO = 1 WHERE KeyNo = 8"));
    c.open()->execute(QStringLiteral("CREATE UNIQUE INDEX refuse ON 管理テーブル (登録NO) WHERE 登録NO <> 0"));
    const EditResult r = AddMainRecord(c.state, Boxes({{1, QStringLiteral("題")}}));
    EXPECT_EQ(r.status, EditResult::Status::EngineError);
    EXPECT_TRUE(r.message.contains(QStringLiteral("UNIQUE")));
    EXPECT_EQ(c.rowCount(QStringLiteral("CD1")), 0);
    EXPECT_EQ(c.state.config[Cd].RegNo, 0);
    EXPECT_EQ(c.state.config[Cd].Dirty, 0);
}

TEST(MainRecordsTest, UpdateRewritesTheFieldsOrLeavesTheRecordAsItWas) {
    TestCatalogue c;
    c.addMain(Cd, 5, Cells({{1, QStringLiteral("元")}, {11, QStringLiteral("2")}, {13, QStringLiteral("2001/01/01")}}),
              1);
    const auto before = MainRow(c, 5);

    EditResult r = UpdateMainRecord(c.state, 5, Boxes({{1, QStringLiteral("新")}, {11, QStringLiteral("二")}}));
    EXPECT_EQ(r.status, EditResult::Status::TypeError);
    EXPECT_EQ(r.message, QStringLiteral("枚数が相違しています。[ 二 ]"));
    EXPECT_EQ(MainRow(c, 5), before);

    c.addMain(Cd, 6, Cells({{1, QStringLiteral("新")}}));
    c.open()->execute(QStringLiteral("CREATE UNIQUE INDEX refuse ON CD1 (タイトル)"));
    r = UpdateMainRecord(c.state, 5, Boxes({{1, QStringLiteral("新")}}));
    EXPECT_EQ(r.status, EditResult::Status::EngineError);
    EXPECT_EQ(MainRow(c, 5), before);
    c.open()->execute(QStringLiteral("DROP INDEX refuse"));

    r = UpdateMainRecord(c.state, 5, Boxes({{1, QStringLiteral("新")}}));
    ASSERT_TRUE(r.ok()) << r.message.toStdString();
    EXPECT_EQ(r.rows, 1);
    const auto after = MainRow(c, 5);
    EXPECT_EQ(after[0].toText(), QStringLiteral("新"));
    EXPECT_EQ(after[1].toText(), QStringLiteral("   "));
    EXPECT_TRUE(after[10].isNull()); // emptied number box
    EXPECT_TRUE(after[12].isNull()); // emptied date box
    EXPECT_EQ(after[15].toInt(), 5);
    EXPECT_EQ(after[16].toInt(), 1); // the picture flag is not the editor's
}

TEST(MainRecordsTest, DeleteTakesTheSubRecordsAlongInOneTransaction) {
    TestCatalogue c;
    c.addMain(Cd, 1, Cells({{1, QStringLiteral("a")}}));
    c.addMain(Cd, 2, Cells({{1, QStringLiteral("b")}}));
    for (int sub = 1; sub <= 3; ++sub)
        c.addSub(Cd, 1, sub, QStringLiteral("曲"));
    c.addSub(Cd, 2, 1, QStringLiteral("残る"));

    // A failure after the sub records went leaves them all in place.
    // (The catalogue's triggers never run, so the failure is a main table that cannot be found.)
    c.state.config[Cd].TableName = QStringLiteral("CD1消失");
    EXPECT_EQ(DeleteMainRecord(c.state, 1, true).status, EditResult::Status::EngineError);
    EXPECT_EQ(c.rowCount(QStringLiteral("CD1SUB")), 4);
    EXPECT_EQ(c.rowCount(QStringLiteral("CD1")), 2);
    c.state.config[Cd].TableName = QStringLiteral("CD1");

    const EditResult r = DeleteMainRecord(c.state, 1, true);
    ASSERT_TRUE(r.ok()) << r.message.toStdString();
    EXPECT_EQ(r.rows, 1);
    EXPECT_TRUE(MainRow(c, 1).empty());
    EXPECT_EQ(c.rowCount(QStringLiteral("CD1")), 1);
    auto db = c.open();
    EXPECT_EQ(CountSubRecords(*db, c.state.config[Cd], 1).count, 0);
    EXPECT_EQ(CountSubRecords(*db, c.state.config[Cd], 2).count, 1);
}

} // namespace
} // namespace quelm::records
