#include "exchange/CsvImport.h"

#include "TestCatalogue.h"
#include "platform/Database.h"
#include "store/CategoryConfig.h"

#include <QFile>
#include <gtest/gtest.h>
#include <map>

namespace quelm::exchange {
namespace {

using platform::Value;
using test::TestCatalogue;

constexpr int Cd = 4;

CsvFile Csv(const QString& text) {
    CsvFile file;
    file.bytes = text.toUtf8();
    file.decodeAs(platform::TextEncoding::Utf8);
    return file;
}

QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct CsvImportRun : ::testing::Test {
    TestCatalogue cat;

    CsvImportRun() { cat.state.CurrentSection = Cd; }
    QString mainTable() const { return cat.state.config[Cd].TableName.trimmed(); }
    QString subTable() const { return cat.state.config[Cd].SubTableName.trimmed(); }
    // Every row of a table, each cell as a value.
    std::vector<std::vector<Value>> rows(const QString& table) const {
        auto db = cat.open();
        std::vector<std::vector<Value>> all;
        for (auto rs = db->openTable(table); !rs->eof(); rs->moveNext()) {
            all.emplace_back();
            for (int i = 0; i < rs->fieldCount(); ++i)
                all.back().push_back(rs->value(i));
        }
        return all;
    }
    void setCounter(int regNo) {
        cat.state.config[Cd].RegNo = regNo;
        cat.state.config[Cd].Dirty = 1;
        store::SaveConfig(cat.state.databasePath(), cat.state.config);
    }
};

TEST(CsvPreviewTest, ShowsTheFirstRecordOrTheSecondWhenTheFirstIsSkipped) {
    const CsvFile file = Csv(QStringLiteral("題名,番号\r\n\"A\",0123\r\nB,1,x\r\n"));
    CsvPreview p = PreviewCsv(file, false);
    EXPECT_EQ(p.status, CsvPreview::Status::Ok);
    EXPECT_EQ(p.items, (QStringList{QStringLiteral("項目1      題名"), QStringLiteral("項目2      番号")}));
    p = PreviewCsv(file, true);
    EXPECT_EQ(p.status, CsvPreview::Status::Ok);
    EXPECT_EQ(p.items, (QStringList{QStringLiteral("項目1      A"), QStringLiteral("項目2      123")}));
    EXPECT_EQ(ColumnOfItem(p.items[1]), 2);
    EXPECT_EQ(ColumnOfItem(ColumnItemText(12, QStringLiteral("x y"))), 12);

    EXPECT_EQ(PreviewCsv(Csv(QStringLiteral("a,b\r\nc\r\n")), true).status, CsvPreview::Status::Uneven);
    EXPECT_EQ(PreviewCsv(Csv(QStringLiteral("a,b\r\nc\r\n")), false).status, CsvPreview::Status::Ok);
    EXPECT_EQ(PreviewCsv(Csv(QString()), false).status, CsvPreview::Status::NoData);
    EXPECT_EQ(PreviewCsv(Csv(QStringLiteral("only,a,header\r\n")), true).status, CsvPreview::Status::NoData);

    // The sample shows the first records in their text forms, or why the file cannot be read.
    QString seven;
    for (int i = 1; i <= 7; ++i)
        seven += QStringLiteral("r%1,\"1,0%1\",2009/4/%1\r\n").arg(i);
    const QStringList sample = CsvSample(Csv(seven), true);
    ASSERT_EQ(sample.size(), CsvSampleRecords);
    EXPECT_EQ(sample[0], QStringLiteral("r2 | 1,02 | 2009/04/02"));
    CsvFile wrong;
    wrong.bytes = "a\r\n\xA0\r\n";
    wrong.decodeAs(platform::TextEncoding::Cp932);
    EXPECT_EQ(CsvSample(wrong, false),
              QStringList{QStringLiteral(
                  "2 行目に Shift_JIS (CP932) として読めない文字があります。文字コードを確かめてください。")});
}

TEST_F(CsvImportRun, MainRecordsAreNumberedFromTheCounterWhichIsStoredOnce) {
    setCounter(41);
    // Columns: title, catalogue number, price (quoted, with a comma), date, empty, and a fourth record too short.
    const CsvFile file = Csv(QStringLiteral("題名,番号,価格,日付,空\r\n"
                                            "\"12\"\" Single\",0123,\"1,000\",2009/4/6,\r\n"
                                            "二枚目,7,\"127,768\",2010-01-02,\"\"\r\n"
                                            "\r\n"
                                            "三枚目,8,abc,not a date,x\r\n"
                                            "  \r\n"
                                            "短い\r\n\r\n"));
    CsvImportOptions options;
    options.skipFirst = true;
    options.columns.assign(15, 0);
    options.columns[0] = 1;  // field 1: title
    options.columns[1] = 2;  // field 2: number, as its text form
    options.columns[2] = 5;  // field 3: the empty column
    options.columns[10] = 3; // field 11 (LONG)
    options.columns[12] = 4; // field 13 (DATE)
    const CsvImportResult r = ImportMainRecords(cat.state, file, options);
    ASSERT_TRUE(r.ok()) << r.reason.toStdString();
    EXPECT_EQ(r.written, 4);
    EXPECT_EQ(r.shortRecords, 2); // "a,b," has two values: the first record has no fifth
    EXPECT_EQ(cat.state.config[Cd].RegNo, 45);
    EXPECT_EQ(cat.reload()[Cd].RegNo, 45);

    const auto all = rows(mainTable());
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[0][0], Value(QStringLiteral("12\" Single")));
    EXPECT_EQ(all[0][1], Value(QStringLiteral("123")));
    EXPECT_TRUE(all[0][2].isNull());
    EXPECT_EQ(all[1][2], Value(QString())); // mapped and empty: empty text
    EXPECT_TRUE(all[0][3].isNull());        // not mapped
    EXPECT_EQ(all[0][10], Value(1000));     // grouped digits are one number
    EXPECT_EQ(all[0][12].toText(), QStringLiteral("2009/04/06"));
    EXPECT_EQ(all[0][15], Value(42));
    EXPECT_EQ(all[0][16], Value(0));
    EXPECT_EQ(all[1][10], Value(127768));
    EXPECT_EQ(all[1][15], Value(43));
    EXPECT_TRUE(all[2][10].isNull()); // not a number
    EXPECT_TRUE(all[2][12].isNull()); // not a date
    EXPECT_EQ(all[2][15], Value(44));
    EXPECT_EQ(all[3][0], Value(QStringLiteral("短い")));
    EXPECT_TRUE(all[3][1].isNull());
    EXPECT_EQ(all[3][15], Value(45));
    EXPECT_EQ(ImportDoneMessage(r, false),
              QStringLiteral("データ移行が終了しました。 \r\n種目メイン明細　4\r\n項目が足りないレコード　2"));
}

TEST_F(CsvImportRun, SubRecordsFollowTheLargestStoredNumber) {
    cat.addMain(Cd, 1, {QStringLiteral("A")});
    cat.addMain(Cd, 2, {QStringLiteral("B")});
    for (int sub : {1, 2, 3, 5})
        cat.addSub(Cd, 1, sub, QStringLiteral("曲%1").arg(sub));
    for (int sub = 1; sub <= 9; ++sub)
        cat.addSub(Cd, 2, sub, QStringLiteral("他%1").arg(sub));
    setCounter(2);

    CsvImportOptions options;
    options.columns.assign(10, 0);
    options.columns[0] = 1;
    options.columns[8] = 2; // sub field 9 (LONG)
    options.columns[9] = 3; // sub field 10 (DATE)
    const CsvImportResult r =
        ImportSubRecords(cat.state, 1, Csv(QStringLiteral("新曲,245,2001/2/3\r\n次の曲,1.5e2,x\r\n")), options);
    ASSERT_TRUE(r.ok()) << r.reason.toStdString();
    EXPECT_EQ(r.written, 2);
    EXPECT_EQ(cat.reload()[Cd].RegNo, 2); // the counter is the main records' only

    std::map<std::pair<qint64, qint64>, std::vector<Value>> byKey;
    for (auto& row : rows(subTable()))
        byKey[{row[10].toInt(), row[11].toInt()}] = row;
    ASSERT_EQ(byKey.size(), 15u);
    const auto& six = byKey[std::pair<qint64, qint64>(1, 6)];
    const auto& seven = byKey[std::pair<qint64, qint64>(1, 7)];
    EXPECT_EQ(six[0], Value(QStringLiteral("新曲")));
    EXPECT_EQ(six[8], Value(245));
    EXPECT_EQ(six[9].toText(), QStringLiteral("2001/02/03"));
    EXPECT_EQ(seven[0], Value(QStringLiteral("次の曲")));
    EXPECT_EQ(seven[8], Value(150));
    EXPECT_TRUE(seven[9].isNull());
    EXPECT_EQ(ImportDoneMessage(r, true), QStringLiteral("データ移行が終了しました。 \r\n種目サブ明細　2"));
}

TEST_F(CsvImportRun, AFailureOrACancelLeavesTheCatalogueAsItWas) {
    setCounter(41);
    cat.addMain(Cd, 41, {QStringLiteral("元")});
    const QByteArray before = FileBytes(cat.state.databasePath());
    CsvImportOptions options;
    options.columns.assign(15, 0);
    options.columns[0] = 1;

    // The third record's title is longer than a TEXT field holds: the engine refuses it.
    const QString tooLong(256, u'あ');
    CsvImportResult r =
        ImportMainRecords(cat.state, Csv(QStringLiteral("一\r\n二\r\n\"%1\"\r\n四\r\n").arg(tooLong)), options);
    EXPECT_EQ(r.status, CsvImportResult::Status::Failed);
    EXPECT_EQ(r.failedRecord, 3);
    EXPECT_EQ(r.failedLine, 3);
    EXPECT_TRUE(ImportFailedMessage(r).startsWith(
        QStringLiteral("CSVファイルの 3 件目のレコード(3 行目)を取込めませんでした。\r\n")));
    EXPECT_EQ(FileBytes(cat.state.databasePath()), before);
    EXPECT_EQ(cat.state.config[Cd].RegNo, 41);

    // A number a LONG field cannot hold is refused the same way.
    options.columns[10] = 1;
    r = ImportMainRecords(cat.state, Csv(QStringLiteral("1\r\n99999999999\r\n")), options);
    EXPECT_EQ(r.status, CsvImportResult::Status::Failed);
    EXPECT_EQ(r.failedRecord, 2);
    options.columns[10] = 0;

    // A quoted value left open runs to the end of the file; that record is reported, on the line it starts.
    r = ImportMainRecords(cat.state, Csv(QStringLiteral("一\r\n\"二\r\n三\r\n")), options);
    EXPECT_EQ(r.status, CsvImportResult::Status::Failed);
    EXPECT_EQ(r.failedRecord, 2);
    EXPECT_EQ(r.failedLine, 2);

    // Bytes that are not valid in the chosen encoding, or a NUL: the record and its line are named. The CP932
    // decoder turns a lead byte before a blank, and a lone A0, into a control character rather than U+FFFD.
    const struct {
        QByteArray bytes;
        platform::TextEncoding encoding;
        int record, line;
    } undecodable[] = {
        {QByteArray("ok\r\n\x82\xA0\x87\x40\r\n"), platform::TextEncoding::Utf8, 2, 2},
        {QByteArray("ok\r\n\r\nfine\r\n\x81 x\r\n"), platform::TextEncoding::Cp932, 3, 4},
        {QByteArray("ok\r\n\"two\r\nlines\xA0\"\r\n"), platform::TextEncoding::Cp932, 2, 2},
        {QByteArray("ok\r\ne\0f\r\n", 9), platform::TextEncoding::Utf8, 2, 2},
    };
    for (const auto& u : undecodable) {
        SCOPED_TRACE(u.bytes.toHex().toStdString());
        CsvFile wrong;
        wrong.bytes = u.bytes;
        wrong.decodeAs(u.encoding);
        r = ImportMainRecords(cat.state, wrong, options);
        EXPECT_EQ(r.status, CsvImportResult::Status::Failed);
        EXPECT_EQ(r.failedRecord, u.record);
        EXPECT_EQ(r.failedLine, u.line);
        // A skipped heading does not let it through.
        options.skipFirst = true;
        EXPECT_EQ(ImportMainRecords(cat.state, wrong, options).status, CsvImportResult::Status::Failed);
        options.skipFirst = false;
    }

    QString many;
    for (int i = 0; i < 1200; ++i)
        many += QStringLiteral("曲%1\r\n").arg(i);
    int calls = 0;
    options.progress = [&](int read) {
        ++calls;
        return read < 1000;
    };
    r = ImportMainRecords(cat.state, Csv(many), options);
    EXPECT_EQ(r.status, CsvImportResult::Status::Cancelled);
    EXPECT_EQ(calls, 2);

    EXPECT_EQ(FileBytes(cat.state.databasePath()), before);
    EXPECT_EQ(cat.state.config[Cd].RegNo, 41);
    EXPECT_EQ(rows(mainTable()).size(), 1u);
}

} // namespace
} // namespace quelm::exchange
