#include "exchange/AccessCatalogue.h"

#include "TestCatalogue.h"
#include "platform/Database.h"
#include "store/CategoryConfig.h"
#include "store/CategoryTables.h"
#include "store/ListTables.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace quelm::exchange {
namespace {

using platform::Value;
using test::TestCatalogue;

constexpr int Cd = 4;

QByteArray Digest(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

std::vector<std::vector<Value>> Rows(platform::Database& db, const QString& table) {
    std::vector<std::vector<Value>> all;
    for (auto rs = db.openTable(table); !rs->eof(); rs->moveNext()) {
        std::vector<Value> row;
        for (int i = 0; i < rs->fieldCount(); ++i)
            row.push_back(rs->value(i));
        all.push_back(row);
    }
    return all;
}

// A catalogue from another machine (its own data folder) and the one in use here.
struct CatalogueImportRun : ::testing::Test {
    TestCatalogue from;
    TestCatalogue here;

    CatalogueImportRun() {
        from.state.config[Cd].ShumokuName = "クラシック";
        from.state.config[Cd].RegNo = 7;
        from.state.config[Cd].Dirty = 1;
        store::SaveConfig(from.state.databasePath(), from.state.config);
        from.addMain(Cd, 3, {"第九", "ベートーヴェン"}, 1);
        from.addMain(Cd, 7, {"四季"});
        from.addSub(Cd, 3, 1, "第一楽章");
        from.addSub(Cd, 3, 2, "第二楽章");
        EXPECT_FALSE(store::CreateList(from.state, 0, "作曲家"));
        store::AddListEntry(from.state, 0, "バッハ");
        store::AddListEntry(from.state, 0, "ヘンデル");
        QFile picture(from.state.RecordPicturePath(Cd, 3));
        picture.open(QIODevice::WriteOnly);
        picture.write("jpeg");
        picture.close();
        QFile(from.state.pictureFolder() + "/notes.txt").open(QIODevice::WriteOnly);

        here.addMain(Cd, 1, {"ここの記録"});
    }
    CatalogueImport import() { return ImportAccessCatalogue(from.state.databasePath(), here.folder()); }
    // What the data folder holds beside the catalogue: no temporary file or folder is left behind.
    QStringList entries() const {
        QStringList names = QDir(here.folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        names.sort();
        return names;
    }
};

TEST_F(CatalogueImportRun, BringsConfigurationRecordsListsAndPicturesAndKeepsTheOldOneAside) {
    const QByteArray sourceBefore = Digest(from.state.databasePath());
    const QByteArray hereBefore = Digest(here.state.databasePath());
    const CatalogueImport r = import();
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_EQ((std::vector<int>{r.categories, r.mainRecords, r.subRecords, r.lists, r.listEntries, r.pictures}),
              (std::vector<int>{2, 2, 2, 1, 2, 1}));
    EXPECT_EQ(Digest(from.state.databasePath()), sourceBefore);

    const store::CategoryConfig config = here.reload();
    EXPECT_EQ(config[Cd].ShumokuName, "クラシック");
    EXPECT_EQ(config[Cd].RegNo, 7);
    EXPECT_EQ(store::ListName(config, 0), "作曲家");
    auto db = here.open();
    const auto mains = Rows(*db, config[Cd].TableName.trimmed());
    ASSERT_EQ(mains.size(), 2u);
    EXPECT_EQ(mains[0][0], Value("第九"));
    EXPECT_EQ(mains[0][15], Value(3));
    EXPECT_EQ(mains[0][16], Value(1));
    EXPECT_EQ(Rows(*db, config[Cd].SubTableName.trimmed()).size(), 2u);
    EXPECT_EQ(Rows(*db, "ListTable1"), (std::vector<std::vector<Value>>{{Value("バッハ")}, {Value("ヘンデル")}}));
    EXPECT_TRUE(QFile::exists(here.state.RecordPicturePath(Cd, 3)));
    EXPECT_FALSE(QFile::exists(here.state.pictureFolder() + "/notes.txt"));

    ASSERT_FALSE(r.backupFolder.isEmpty());
    EXPECT_EQ(Digest(r.backupFolder + "/Quelm.mdb"), hereBefore);
    EXPECT_TRUE(QDir(r.backupFolder + "/Quelm-画像").exists());
    QStringList expected{"Quelm-画像", "Quelm.mdb", QFileInfo(r.backupFolder).fileName()};
    expected.sort();
    EXPECT_EQ(entries(), expected);
}

TEST_F(CatalogueImportRun, ACounterBehindItsRecordsIsRaisedSoNoNumberIsGivenTwice) {
    from.addMain(Cd, 12, {"後から"});
    ASSERT_TRUE(import().ok);
    EXPECT_EQ(here.reload()[Cd].RegNo, 12);
}

TEST_F(CatalogueImportRun, ALongImportTellsItsProgressFromItsStartAndEvery256Rows) {
    from.open()->execute("INSERT INTO CD1SUB (曲名, 登録ＮＯ, サブＮＯ) WITH RECURSIVE n(k) AS "
                         "(SELECT 1 UNION ALL SELECT k + 1 FROM n WHERE k < 300) SELECT 't', 7, k FROM n");
    QList<std::int64_t> told;
    ASSERT_TRUE(ImportAccessCatalogue(from.state.databasePath(), here.folder(), [&](std::int64_t n) { told << n; }).ok);
    // 2 main records, 302 sub records, 2 list entries and a picture.
    EXPECT_EQ(told, (QList<std::int64_t>{0, 256}));
}

TEST_F(CatalogueImportRun, RefusedFilesLeaveTheCatalogueInUseAsItWas) {
    const QByteArray hereBefore = Digest(here.state.databasePath());
    const QStringList before = entries();
    const auto refused = [&](const QString& path) {
        const CatalogueImport r = ImportAccessCatalogue(path, here.folder());
        EXPECT_FALSE(r.ok) << path.toStdString();
        EXPECT_EQ(Digest(here.state.databasePath()), hereBefore);
        EXPECT_EQ(entries(), before);
        return r.message;
    };
    refused(here.folder() + "/無い.mdb");
    EXPECT_EQ(refused(here.state.databasePath()), QStringLiteral("使用中のデータベースは取込めません。"));

    // A field whose type is not the one of its position.
    {
        auto db = from.open();
        db->execute("UPDATE 管理テーブル SET フィールド11名データ型 = 'TEXT' WHERE KeyNo = 5");
    }
    EXPECT_TRUE(refused(from.state.databasePath()).contains(QStringLiteral("のデータ型が違います。")));
    {
        auto db = from.open();
        db->execute("UPDATE 管理テーブル SET フィールド11名データ型 = 'LONG' WHERE KeyNo = 5");
        db->execute("UPDATE 管理テーブル SET 種目テーブル名 = 'a); DROP TABLE x; --' WHERE KeyNo = 5");
    }
    // Refused by the configuration check that every catalogue goes through, which names the row.
    const QString hostile = refused(from.state.databasePath());
    EXPECT_TRUE(hostile.contains(QStringLiteral("KeyNo 5"))) << hostile.toStdString();

    // Genuine Access files that are not catalogues of this program.
    QUELM_NEED_FIXTURE("mdb");
    EXPECT_EQ(refused(test::Fixture("mdb/nwind_jet3.mdb")),
              QStringLiteral("選択したファイルにはＣＤ管理のデータ（管理テーブル）がありません。"));
    refused(test::Fixture("mdb/jackcess_testUnicodeCompV2003_jet4.mdb"));
}

} // namespace
} // namespace quelm::exchange
