#include "exchange/CsvText.h"

#include "TestCatalogue.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quelm::exchange {
namespace {

using platform::TextEncoding;

std::vector<CsvRecord> ReadAll(const QString& text) {
    CsvReader reader(text);
    std::vector<CsvRecord> records;
    while (!reader.atEnd())
        records.push_back(reader.read());
    return records;
}

QStringList Texts(const CsvRecord& r) {
    QStringList texts;
    for (const CsvValue& v : r.values)
        texts << v.text;
    return texts;
}

QStringList Raw(const CsvRecord& r) {
    QStringList texts;
    for (const CsvValue& v : r.values)
        texts << v.raw;
    return texts;
}

TEST(CsvTextTest, FieldsAreTypedAndGivenTheirTextForms) {
    struct Case {
        const char* line;
        CsvKind kind;
        const char* text;
    };
    const Case cases[] = {
        {"0123", CsvKind::Fixed, "123"},
        {"\"0123\"", CsvKind::Text, "0123"},
        {"1.50", CsvKind::Real, "1.5"},
        {"1e3", CsvKind::Fixed, "1000"},
        {"-12.5e1", CsvKind::Real, "-125"},
        {"2.00005e0", CsvKind::Real, "2.00005"},
        {"0.00005e0", CsvKind::Real, "5E-05"},
        {"1e-5", CsvKind::Fixed, "0"},
        {"15e-5", CsvKind::Fixed, "0.0002"}, // half to even in the fourth place
        {"25e-5", CsvKind::Fixed, "0.0002"},
        {"$1200", CsvKind::Fixed, "1200"},
        {"2009/4/6", CsvKind::Date, "2009/04/06"},
        {"\"2009/4/6\"", CsvKind::Date, "2009/04/06"},
        {"2009-12-31 9:05", CsvKind::Date, "2009/12/31 9:05:00"},
        {"2009年4月6日", CsvKind::Date, "2009/04/06"},
        {"2009/2/30", CsvKind::Text, "2009/2/30"},
        {"12:30", CsvKind::Text, "12:30"},
        {"1899/12/31", CsvKind::Text, "1899/12/31"},
        {"true", CsvKind::Boolean, "True"},
        {"\"FALSE\"", CsvKind::Boolean, "False"},
        {"  ＣＤ　", CsvKind::Text, "ＣＤ　"}, // the ideographic space is kept
        {"4988001234567", CsvKind::Fixed, "4988001234567"},
        // Too long for the fixed-point kind: the digits stay as they are.
        {"12345678901234567890", CsvKind::Text, "12345678901234567890"},
    };
    for (const Case& c : cases) {
        const auto records = ReadAll(QString::fromUtf8(c.line));
        ASSERT_EQ(records.size(), 1u) << c.line;
        ASSERT_EQ(records[0].count(), 1) << c.line;
        EXPECT_EQ(records[0].values[0].kind, c.kind) << c.line;
        EXPECT_EQ(records[0].values[0].text, QString::fromUtf8(c.text)) << c.line;
    }
}

TEST(CsvTextTest, RecordsSplitAtCommasAndLineEnds) {
    // Empty and blank lines are no records, the last line break included.
    auto r = ReadAll(QStringLiteral("\r\n\"abc\",\"de,f\",12\r\na,b,\r\na,,b\r\n\r\n \t \n,\r\n\r\n"));
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(Texts(r[0]), (QStringList{"abc", "de,f", "12"}));
    EXPECT_EQ(r[0].values[2].kind, CsvKind::Fixed);
    EXPECT_EQ(Texts(r[1]), (QStringList{"a", "b"})); // a trailing comma adds nothing
    EXPECT_EQ(Texts(r[2]), (QStringList{"a", "", "b"}));
    EXPECT_EQ(Texts(r[3]), QStringList{""}); // a lone comma: one empty value
    EXPECT_EQ(r[0].firstLine, 2);
    EXPECT_EQ(r[2].firstLine, 4);
    EXPECT_EQ(r[3].firstLine, 7);

    // Doubled quotes are one quote; a quote inside a value that does not close it stays.
    r = ReadAll(QStringLiteral("\"12\"\" Single\",\"a, \"\"b\"\"\",\"\",\"x\"y\",z\n"));
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(Texts(r[0]), (QStringList{"12\" Single", "a, \"b\"", "", "x\"y", "z"}));

    // A quoted value may span lines; its line break is kept as the file has it.
    r = ReadAll(QStringLiteral("\"first line\r\nsecond\",7\r\nnext\r\n"));
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(Texts(r[0]), (QStringList{"first line\r\nsecond", "7"}));
    EXPECT_EQ(Texts(r[1]), QStringList{"next"});
    EXPECT_EQ(r[1].firstLine, 3);

    // A value still open at the end of the file reads as empty, and the record says so.
    r = ReadAll(QStringLiteral("x\r\n\"abc\" ,x\r\nmore"));
    ASSERT_EQ(r.size(), 2u);
    EXPECT_FALSE(r[0].unterminated);
    EXPECT_TRUE(r[1].unterminated);
    EXPECT_EQ(Texts(r[1]), QStringList{""});
}

TEST(CsvTextTest, NumbersAreReadWholeWithTheirGroupingAndCurrency) {
    EXPECT_EQ(CsvNumber(QStringLiteral("1,000")), 1000.0);
    EXPECT_EQ(CsvNumber(QStringLiteral("127,768")), 127768.0);
    EXPECT_EQ(CsvNumber(QStringLiteral(" -2.5e2 ")), -250.0);
    EXPECT_EQ(CsvNumber(QStringLiteral("\\1,980")), 1980.0);
    EXPECT_EQ(CsvNumber(QStringLiteral("12abc")), std::nullopt);
    EXPECT_EQ(CsvNumber(QStringLiteral("abc")), std::nullopt);
    EXPECT_TRUE(IsCsvNumeric(QStringLiteral("1,000")));
    EXPECT_FALSE(IsCsvNumeric(QStringLiteral("1-2")));
    EXPECT_FALSE(IsCsvNumeric(QStringLiteral("１２３"))); // full-width digits are text
}

TEST(CsvTextTest, ComposedLinesReadBackValueForValue) {
    const std::vector<CsvCell> cells{{QStringLiteral("12\" Single, \"B\"面"), QStringLiteral("TEXT")},
                                     {QStringLiteral("123"), QStringLiteral("LONG")},
                                     {QString(), QString()},
                                     {QStringLiteral("行1\r\n行2"), QStringLiteral("TEXT")},
                                     {QStringLiteral("2009/04/06"), QStringLiteral("DATE")},
                                     {QStringLiteral("12・0"), QStringLiteral("TEXT")}};
    QString text = QStringLiteral("前の行\r\n");
    AppendCsvLine(text, cells);
    const QString line = text.mid(5);
    EXPECT_EQ(line, QStringLiteral("\"12\"\" Single, \"\"B\"\"面\",123,,\"行1\r\n行2\",2009/04/06,\"12・0\"\r\n"));
    const auto r = ReadAll(line);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(Texts(r[0]), (QStringList{cells[0].first, "123", "", cells[3].first, "2009/04/06", "12・0"}));
}

TEST(CsvTextTest, OnlyRegularFilesAreRead) {
    // A device reads as an empty file or never ends; a folder is no file either. Neither is read.
    for (const QString& path : {QStringLiteral("/dev/null"), QDir::tempPath()}) {
        QString error;
        EXPECT_FALSE(LoadCsvFile(path, &error).has_value()) << path.toStdString();
        EXPECT_EQ(error, QStringLiteral("通常のファイルではないため読み込めません。"));
    }
}

// The csv-spectrum files, checked against their expected JSON (field texts as read, before typing).
TEST(CsvTextTest, SpectrumFilesGiveTheirExpectedFields) {
    QUELM_NEED_FIXTURE("csv/utf8");
    for (const char* name :
         {"comma_in_quotes", "escaped_quotes", "json", "newlines_crlf", "quotes_and_newlines", "utf8"}) {
        const QString base = test::Fixture(QStringLiteral("csv/utf8/spectrum_%1").arg(QLatin1String(name)));
        const auto csv = LoadCsvFile(base + QStringLiteral(".csv"));
        ASSERT_TRUE(csv) << name;
        EXPECT_EQ(csv->encoding, TextEncoding::Utf8) << name;
        QFile json(base + QStringLiteral(".expected.json"));
        ASSERT_TRUE(json.open(QIODevice::ReadOnly)) << name;
        const QJsonArray expected = QJsonDocument::fromJson(json.readAll()).array();

        CsvReader reader = csv->reader();
        const QStringList header = Raw(reader.read());
        int row = 0;
        while (!reader.atEnd()) {
            const CsvRecord record = reader.read();
            if (record.count() == 1 && record.values[0].raw.isEmpty())
                continue; // a blank last line
            ASSERT_LT(row, expected.size()) << name;
            const QJsonObject object = expected[row++].toObject();
            ASSERT_EQ(record.count(), header.size()) << name;
            for (int c = 0; c < header.size(); ++c) {
                QString want = object[header[c]].toString();
                // This copy of newlines_crlf.csv has bare LF line ends; the kept break is the file's own.
                if (QLatin1String(name) == QLatin1String("newlines_crlf"))
                    want.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
                EXPECT_EQ(record.values[c].raw, want) << name << " row " << row << " column " << c;
            }
        }
        EXPECT_EQ(row, expected.size()) << name;
    }
}

TEST(CsvTextTest, ShiftJisFilesDecodeWithoutLoss) {
    QUELM_NEED_FIXTURE("csv/sjis");
    const auto nec = LoadCsvFile(test::Fixture(QStringLiteral("csv/sjis/recitecsv_sjis_nec_ext.csv")));
    const auto utf8 = LoadCsvFile(test::Fixture(QStringLiteral("csv/utf8/recitecsv_utf8_same_content.csv")));
    ASSERT_TRUE(nec && utf8);
    EXPECT_EQ(nec->encoding, TextEncoding::Cp932);
    EXPECT_EQ(utf8->encoding, TextEncoding::Utf8);
    EXPECT_FALSE(nec->decodeErrors());
    EXPECT_EQ(nec->text, utf8->text);
    EXPECT_EQ(nec->text, QStringLiteral("カラム1,カラム2\n値1,値2\n値①,値②\n"));

    const auto gift = LoadCsvFile(test::Fixture(QStringLiteral("csv/sjis/railsadminimport_shift_jis.csv")));
    ASSERT_TRUE(gift);
    auto records = ReadAll(gift->text);
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(Texts(records[1]), QStringList{QStringLiteral(
                                     "Amazonギフト券5,000円分が抽選で当たる！CNN.co.jp 読者アンケートはこちらから")});

    const auto tokyo = LoadCsvFile(test::Fixture(QStringLiteral("csv/sjis/13TOKYO.CSV")));
    ASSERT_TRUE(tokyo);
    EXPECT_EQ(tokyo->encoding, TextEncoding::Cp932);
    EXPECT_FALSE(tokyo->decodeErrors());
    records = ReadAll(tokyo->text);
    ASSERT_EQ(records.size(), 4165u);
    for (const CsvRecord& r : records)
        ASSERT_EQ(r.count(), 15) << r.firstLine;
    EXPECT_EQ(Texts(records[0]).mid(0, 4), (QStringList{"13101", "100", "1000000", "ﾄｳｷｮｳﾄ"}));
    EXPECT_EQ(records[1095].values[8].text, QStringLiteral("芝（１～３丁目）")); // U+FF5E, as Windows shows it
    EXPECT_EQ(records[2849].values[8].text, QStringLiteral("階層不明）"));

    // The same bytes read as UTF-8 are flagged as not decodable.
    CsvFile wrong = *nec;
    wrong.decodeAs(TextEncoding::Utf8);
    EXPECT_TRUE(wrong.decodeErrors());
    CsvReader reader = wrong.reader();
    int marked = 0;
    while (!reader.atEnd())
        marked += reader.read().undecodable ? 1 : 0;
    EXPECT_EQ(marked, 1); // the record holding the first fault
}

// The project's own files: the same three records in each Japanese-capable encoding, and a European file, all
// found without being told.
TEST(CsvTextTest, FilesInEveryEncodingAreDetectedAndReadAlike) {
    const QList<QStringList> japanese{
        {"タイトル", "アーティスト", "枚数"}, {"春の歌", "山田花子", "1,000"}, {"髙橋①の歌", "ソロ, ライブ", "2"}};
    const struct {
        const char* file;
        TextEncoding encoding;
    } files[] = {
        {"cp932.csv", TextEncoding::Cp932},         {"utf8.csv", TextEncoding::Utf8},
        {"utf16le_bom.csv", TextEncoding::Utf16LE}, {"utf16le.csv", TextEncoding::Utf16LE},
        {"utf16be_bom.csv", TextEncoding::Utf16BE},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.file);
        const auto csv = LoadCsvFile(test::ProjectFixture(QStringLiteral("csv/") + f.file));
        ASSERT_TRUE(csv.has_value());
        EXPECT_EQ(csv->encoding, f.encoding);
        EXPECT_FALSE(csv->decodeErrors());
        const auto records = ReadAll(csv->text);
        ASSERT_EQ(records.size(), 3u);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(Texts(records[i]), japanese[i]);
    }

    const auto latin = LoadCsvFile(test::ProjectFixture(QStringLiteral("csv/latin1.csv")));
    ASSERT_TRUE(latin.has_value());
    EXPECT_NE(latin->encoding, TextEncoding::Cp932);
    const auto records = ReadAll(latin->text);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(Texts(records[1]), (QStringList{"Õakman", "Björk", "1995"}));
    EXPECT_EQ(Texts(records[2]), (QStringList{"Café Naïve", "Ñandú", "2001"}));
}

// Bytes that are no text in the encoding are a fault on their line, never a character stored in the text.
TEST(CsvTextTest, DecodingFaultsNameTheirLine) {
    const struct {
        QByteArray bytes;
        TextEncoding encoding;
        int faultLine;
        bool nul;
    } cases[] = {
        {QByteArray("a\r\n\x81 b\r\n"), TextEncoding::Cp932, 2, false}, // lead byte before a blank
        {QByteArray("a\nb\n\xA0\n"), TextEncoding::Cp932, 3, false},    // single bytes CP932 leaves empty
        {QByteArray("\xFD\xFE\xFF"), TextEncoding::Cp932, 1, false},
        {QByteArray("ok\r\nend\x82"), TextEncoding::Cp932, 2, false}, // cut in the middle of a character
        {QByteArray("\x8b\xc8\x96\xbc"), TextEncoding::Cp932, 0, false},
        {QByteArray("e\0f", 3), TextEncoding::Utf8, 1, true},
        {QByteArray("a\n\xEF\xBF\xBD\n"), TextEncoding::Utf8, 0, false}, // a real U+FFFD is text
        {QByteArray("\xA4\xA2\n\xA4", 4), TextEncoding::EucJp, 2, false},
        {QByteArray("a\0\n\0b", 5), TextEncoding::Utf16LE, 2, false}, // half a character at the end
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.toHex().toStdString());
        CsvFile file;
        file.bytes = c.bytes;
        file.decodeAs(c.encoding);
        EXPECT_EQ(file.faultLine, c.faultLine);
        EXPECT_EQ(file.faultNul, c.nul);
        EXPECT_EQ(file.decodeFault().isEmpty(), c.faultLine == 0);
        if (c.faultLine == 0) {
            EXPECT_FALSE(file.text.contains(QChar(0x1A)));
        }
    }

    // A binary file typed as the path: NULs on both sides of every other byte.
    QByteArray binary;
    for (int i = 0; i < 186; ++i)
        binary += static_cast<char>((i * 37) % 5 == 0 ? 0 : (i * 91) & 0xFF);
    QTemporaryDir dir;
    QFile out(dir.filePath("binary.csv"));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(binary);
    out.close();
    const auto csv = LoadCsvFile(out.fileName());
    ASSERT_TRUE(csv.has_value());
    EXPECT_TRUE(csv->faultNul);
    EXPECT_GT(csv->faultLine, 0);
}

} // namespace
} // namespace quelm::exchange
