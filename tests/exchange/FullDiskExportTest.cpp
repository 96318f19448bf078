// The CSV export onto a disk that fills up part way: the screen says so, and the file chosen is either the earlier one
// whole or not there at all, with nothing beside it.
#include "TestCatalogue.h"
#include "exchange/CsvExportScreen.h"
#include "records/MainRecordScreen.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QRadioButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quelm::exchange {
namespace {

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

TEST(FullDisk, CsvExportLeavesTheEarlierFileOrNoneAndSaysSo) {
    test::TestCatalogue cat;
    cat.state.CurrentSection = 4;
    cat.state.CurrentCategoryName = cat.state.config[4].ShumokuName;
    for (int n = 1; n <= 150; ++n)
        cat.addMain(4, n, {QStringLiteral("アルバム%1").arg(n), QStringLiteral("演奏者%1").arg(n)});
    records::MainRecordScreen main(cat.state, cat.ui);
    main.Timer1_Timer();
    CsvExportScreen screen(cat.state, cat.ui, *main.ListView1);
    screen.Option1[0]->click();
    screen.Check1[0]->setChecked(true);
    screen.Check1[1]->setChecked(true);

    QTemporaryDir out;
    for (const bool earlierFile : {true, false}) {
        SCOPED_TRACE(earlierFile ? "over an earlier file" : "a new file");
        const QString path = out.filePath(earlierFile ? QStringLiteral("前回.CSV") : QStringLiteral("新規.CSV"));
        if (earlierFile) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("earlier\r\n");
        }
        const QByteArray before = Read(path);
        const QStringList entries = QDir(out.path()).entryList(QDir::Files | QDir::Hidden);
        const int failures = test::FillDiskUntilItFits(
            1024,
            [&] {
                cat.ui.files.push_back(path);
                screen.Command2_Click();
                return cat.ui.messages.last().text.startsWith(QStringLiteral("ＣＳＶデータ出力が終了しました。"));
            },
            [&] {
                EXPECT_TRUE(cat.ui.messages.last().text.startsWith(QStringLiteral("ファイルエラー ")))
                    << cat.ui.messages.last().text.toStdString();
                EXPECT_EQ(Read(path), before);
                EXPECT_EQ(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), entries);
            });
        EXPECT_GT(failures, 2);
        EXPECT_TRUE(platform::DecodeText(Read(path), platform::TextEncoding::Cp932)
                        .endsWith(QStringLiteral("\"アルバム150\",\"演奏者150\"\r\n")));
    }
}

} // namespace
} // namespace quelm::exchange
