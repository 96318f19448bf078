#include "exchange/CsvExport.h"

#include "TestCatalogue.h"
#include "exchange/CsvImport.h"
#include "platform/Database.h"
#include "records/MainRecords.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace quelm::exchange {
namespace {

using platform::Value;
using test::TestCatalogue;

constexpr int Cd = 4;
constexpr int Dvd = 7;

std::vector<bool> Ticks(int size, std::initializer_list<int> positions) {
    std::vector<bool> t(size, false);
    for (int p : positions)
        t[p] = true;
    return t;
}

QStringList Lines(const QString& text) {
    QStringList lines = text.split(QStringLiteral("\r\n"));
    lines.removeLast(); // after the last CR LF
    return lines;
}

struct CsvExportRun : ::testing::Test {
    TestCatalogue cat;

    CsvExportRun() {
        cat.state.CurrentSection = Cd;
        QStringList fields(15);
        fields[0] = QStringLiteral("題名");
        fields[1] = QStringLiteral("歌手");
        fields[2] = QStringLiteral("レーベル");
        fields[10] = QStringLiteral("3000");
        cat.addMain(Cd, 12, fields);
        fields[0] = QStringLiteral("サブなし");
        cat.addMain(Cd, 13, fields);
        for (int sub = 1; sub <= 3; ++sub)
            cat.addSub(Cd, 12, sub, QStringLiteral("曲%1").arg(sub));
    }
    // The rows as the main record list holds them.
    std::vector<ExportMainRow> listRows() {
        auto db = cat.open();
        std::vector<ExportMainRow> rows;
        for (const auto& row : records::ReadMainRows(*db, cat.state)) {
            ExportMainRow r;
            for (int k = 0; k < 15; ++k)
                r.fields << row.cell(k);
            r.regNo = row.cell(15).toLongLong();
            rows.push_back(r);
        }
        return rows;
    }
    ExportText compose(const ExportChoice& choice) {
        auto db = cat.open();
        return ComposeExport(*db, cat.state.config[Cd], listRows(), choice);
    }
};

TEST_F(CsvExportRun, LinesHaveTheWidthOfTheLargerSideAndTheIdentifyingColumn) {
    ExportChoice choice;
    choice.mode = ExportMode::AllMainAndSub;
    choice.mainFields = Ticks(15, {0, 1, 2});
    choice.subFields = Ticks(10, {0, 1, 2, 3, 8});
    EXPECT_EQ(choice.width(), 6);
    ExportText out = compose(choice);
    EXPECT_EQ(out.mainLines, 2);
    EXPECT_EQ(out.subLines, 3);
    const QStringList lines = Lines(out.text);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0], QStringLiteral("\"題名\",\"歌手\",\"レーベル\",,,\"12・0\""));
    EXPECT_EQ(lines[1], QStringLiteral("\"曲1\",\"\",\"\",\"\",,\"12・1\"")); // sub field 9 is a LONG: bare
    EXPECT_EQ(lines[3], QStringLiteral("\"曲3\",\"\",\"\",\"\",,\"12・3\""));
    EXPECT_EQ(lines[4], QStringLiteral("\"サブなし\",\"歌手\",\"レーベル\",,,\"13・0\""));

    // Without sub records: no identifying column, no filler.
    choice.mode = ExportMode::SelectedMain;
    choice.mainFields = Ticks(15, {0, 10});
    EXPECT_EQ(choice.width(), 2);
    out = compose(choice);
    EXPECT_EQ(Lines(out.text).first(), QStringLiteral("\"題名\",3000"));
    EXPECT_EQ(out.subLines, 0);
    EXPECT_EQ(ExportDoneMessage(out),
              QStringLiteral("ＣＳＶデータ出力が終了しました。 \r\n種目メイン明細　2\r\n種目サブ明細　　0"));
}

TEST_F(CsvExportRun, ALongExportKeepsEveryLineInItsPlace) {
    // Enough records for the work to be split: record n has the text n and the sub records n-1 and n-2.
    {
        auto db = cat.open();
        platform::Transaction writing(*db);
        auto main = db->openTable(QStringLiteral("CD1"));
        auto sub = db->openTable(QStringLiteral("CD1SUB"));
        for (int n = 100; n < 3100; ++n) {
            main->addNew();
            main->setValue(0, Value(QString::number(n)));
            main->setValue(store::MainKeyColumn, Value(n));
            main->update();
            for (int k = 1; k <= 2; ++k) {
                sub->addNew();
                sub->setValue(0, Value(QString::number(n - k)));
                sub->setValue(store::MainKeyColumn, Value(n));
                sub->setValue(store::SubKeyColumn, Value(k));
                sub->update();
            }
        }
        // Stored last and out of their order: record 100's sub records 5 and 3.
        for (int k : {5, 3}) {
            sub->addNew();
            sub->setValue(0, Value(QStringLiteral("late %1").arg(k)));
            sub->setValue(store::MainKeyColumn, Value(100));
            sub->setValue(store::SubKeyColumn, Value(k));
            sub->update();
        }
        writing.commit();
    }
    ExportChoice choice;
    choice.mode = ExportMode::AllMainAndSub;
    choice.mainFields = Ticks(15, {0});
    choice.subFields = Ticks(10, {0});
    const std::vector<ExportMainRow> rows = listRows();
    ASSERT_EQ(rows.size(), 3002u);
    QStringList expected;
    for (const ExportMainRow& row : rows) {
        const std::int64_t n = row.regNo;
        expected << QStringLiteral("\"%1\",\"%2・0\"").arg(row.fields[0]).arg(n);
        if (n == 12) {
            for (int k = 1; k <= 3; ++k)
                expected << QStringLiteral("\"曲%1\",\"12・%1\"").arg(k);
        } else if (n >= 100) {
            for (int k = 1; k <= 2; ++k)
                expected << QStringLiteral("\"%1\",\"%2・%3\"").arg(n - k).arg(n).arg(k);
            if (n == 100)
                expected << QStringLiteral("\"late 3\",\"100・3\"") << QStringLiteral("\"late 5\",\"100・5\"");
        }
    }
    auto db = cat.open();
    ExportText out = ComposeExport(*db, cat.state.config[Cd], rows, choice);
    EXPECT_EQ(out.mainLines, 3002);
    EXPECT_EQ(out.subLines, 6005);
    EXPECT_EQ(Lines(out.text), expected);
    // Only some of the records: the others' sub records stay out.
    const std::vector<ExportMainRow> some(rows.begin() + 900, rows.end());
    const QStringList someLines = Lines(ComposeExport(*db, cat.state.config[Cd], some, choice).text);
    EXPECT_EQ(someLines, expected.mid(expected.indexOf(
                             QStringLiteral("\"%1\",\"%2・0\"").arg(some[0].fields[0]).arg(some[0].regNo))));
    // A sub record whose key is no number (a file from elsewhere) belongs to no record: the same lines.
    db->execute(QStringLiteral("INSERT INTO CD1SUB (曲名, 登録ＮＯ, サブＮＯ) VALUES ('stray', 'x', 1)"));
    out = ComposeExport(*db, cat.state.config[Cd], rows, choice);
    EXPECT_EQ(Lines(out.text), expected);
    // Encoded in two halves side by side, the bytes are those of the text as a whole.
    const QString longText = out.text.repeated(40);
    const EncodedExport encoded = EncodeExport(longText, platform::TextEncoding::Cp932);
    EXPECT_TRUE(encoded.lossless);
    QByteArray cp932 = longText.toUtf8();
    for (const auto& [utf8, sjis] : {std::pair{"・", "\x81\x45"},
                                     {"曲", "\x8B\xC8"},
                                     {"題名", "\x91\xE8\x96\xBC"},
                                     {"サブなし", "\x83\x54\x83\x75\x82\xC8\x82\xB5"}})
        cp932.replace(utf8, sjis);
    EXPECT_EQ(encoded.bytes, cp932);
    // A misfit in the later half is found all the same.
    const EncodedExport misfit = EncodeExport(longText + QStringLiteral("Café\r\n"), platform::TextEncoding::Cp932);
    EXPECT_FALSE(misfit.lossless);
    EXPECT_EQ(misfit.firstMisfit, QStringLiteral("é"));

    // Stored in key order, the lines stream straight from the table, range by range, to the same text.
    db->execute(QStringLiteral("DELETE FROM CD1SUB WHERE 曲名 LIKE 'late%' OR 曲名 = 'stray'"));
    expected.removeIf([](const QString& line) { return line.startsWith(QStringLiteral("\"late")); });
    db->execute(QStringLiteral("UPDATE CD1SUB SET 曲名 = 'Café' WHERE 登録ＮＯ = 3099 AND サブＮＯ = 2"));
    expected.last() = QStringLiteral("\"Café\",\"3099・2\"");
    out = ComposeExport(*db, cat.state.config[Cd], rows, choice);
    EXPECT_EQ(Lines(out.text), expected);
    // Written to a file: the misfit in the last line stops the CP932 file, which never takes the path's place; in
    // UTF-8 the file holds the mark and the text.
    const QString path = cat.folder() + QStringLiteral("/stream.csv");
    {
        ExportFile file(path, platform::TextEncoding::Cp932);
        EXPECT_TRUE(StreamExport(*db, cat.state.config[Cd], rows, choice, file).stopped);
        EXPECT_EQ(file.misfit(), QStringLiteral("é"));
    }
    EXPECT_FALSE(QFile::exists(path));
    ExportFile file(path, platform::TextEncoding::Utf8Bom);
    const ExportCounts counts = StreamExport(*db, cat.state.config[Cd], rows, choice, file);
    EXPECT_FALSE(counts.stopped);
    EXPECT_EQ(counts.subLines, 6003);
    ASSERT_FALSE(file.commit());
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), QByteArray("\xEF\xBB\xBF") + out.text.toUtf8());
}

TEST_F(CsvExportRun, ExportedRecordsImportBackWithTheSameValues) {
    const QStringList hard{QStringLiteral("12\" Single"), QStringLiteral("a, \"b\", c"),
                           QStringLiteral("一行目\r\n二行目"), QStringLiteral("全角　テキスト①㈱ⅲ"), QString()};
    for (int i = 0; i < hard.size(); ++i) {
        QStringList fields(15);
        fields[0] = hard[i];
        fields[1] = hard[(i + 1) % hard.size()];
        fields[10] = i % 2 ? QString::number(i * 1000) : QString();
        fields[12] = i % 2 ? QString() : QStringLiteral("2009-04-0%1").arg(i + 1);
        cat.addMain(Cd, 20 + i, fields);
    }
    ExportChoice choice;
    choice.mode = ExportMode::AllMain;
    choice.mainFields.assign(15, true);
    const ExportText out = compose(choice);
    const EncodedExport encoded = EncodeExport(out.text, platform::TextEncoding::Cp932);
    ASSERT_TRUE(encoded.lossless);
    const QString path = cat.folder() + QStringLiteral("/出力.CSV");
    ASSERT_FALSE(WriteFileInPlace(path, encoded.bytes));

    auto file = LoadCsvFile(path);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->encoding, platform::TextEncoding::Cp932);
    cat.state.CurrentSection = Dvd;
    CsvImportOptions options;
    for (int c = 1; c <= 15; ++c)
        options.columns.push_back(c);
    const CsvImportResult r = ImportMainRecords(cat.state, *file, options);
    ASSERT_TRUE(r.ok()) << r.reason.toStdString();
    EXPECT_EQ(r.written, 7);
    EXPECT_EQ(r.shortRecords, 0);

    auto db = cat.open();
    auto from = db->openTable(cat.state.config[Cd].TableName.trimmed());
    auto to = db->openTable(cat.state.config[Dvd].TableName.trimmed());
    for (; !from->eof(); from->moveNext(), to->moveNext()) {
        ASSERT_FALSE(to->eof());
        for (int k = 0; k < 15; ++k) {
            const Value a = from->value(k), b = to->value(k);
            // A Null text comes back as empty text; both show as nothing.
            if (k < 10 && a.isNull())
                EXPECT_EQ(b.toText(), QString()) << k;
            else
                EXPECT_EQ(a.toText(), b.toText()) << "field " << k + 1 << " of " << from->value(15).toInt();
        }
    }
    EXPECT_TRUE(to->eof());
}

TEST(CsvExportText, CharactersOutsideCp932AreFoundNotReplaced) {
    const EncodedExport ok = EncodeExport(QStringLiteral("\"①㈱ⅲ～髙\"\r\n"), platform::TextEncoding::Cp932);
    EXPECT_TRUE(ok.lossless);
    EXPECT_EQ(ok.bytes, QByteArray("\"\x87\x40\x87\x8A\xFA\x42\x81\x60\xFB\xFC\"\r\n"));
    const EncodedExport misfit = EncodeExport(QStringLiteral("\"Café 😀 ok\""), platform::TextEncoding::Cp932);
    EXPECT_FALSE(misfit.lossless);
    EXPECT_EQ(misfit.firstMisfit, QStringLiteral("é"));
    const EncodedExport utf8 = EncodeExport(QStringLiteral("é"), platform::TextEncoding::Utf8Bom);
    EXPECT_EQ(utf8.bytes, QByteArray("\xEF\xBB\xBF\xC3\xA9"));
}

TEST(CsvExportText, AFailedWriteLeavesTheEarlierFileWhole) {
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/出力.CSV");
    ASSERT_FALSE(WriteFileInPlace(path, QByteArray("earlier\r\n")));

    // A file size limit makes the write fail part way, as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    const auto failure = WriteFileInPlace(path, QByteArray(100000, 'x'));
    setrlimit(RLIMIT_FSIZE, &old);
    ASSERT_TRUE(failure);
    EXPECT_TRUE(FileErrorMessage(*failure).startsWith(QStringLiteral("ファイルエラー ")));

    QFile earlier(path);
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), QByteArray("earlier\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1); // no temporary file left behind
}

} // namespace
} // namespace quelm::exchange
