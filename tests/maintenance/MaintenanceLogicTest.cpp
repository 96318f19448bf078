#include "TestCatalogue.h"
#include "maintenance/BackupPlace.h"
#include "maintenance/BackupRestore.h"
#include "maintenance/Initialise.h"
#include "maintenance/Statistics.h"
#include "platform/Database.h"
#include "platform/WriteFaults.h"
#include "store/Catalogue.h"
#include "store/CategoryTables.h"
#include "store/ListTables.h"
#include "store/PendingPictures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace quelm;
using platform::EngineError;
using platform::Value;
using test::Snapshot;

namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// A folder's files with their contents, sorted by name.
QStringList FolderContents(const QString& folder) {
    QStringList out;
    for (const QString& name : QDir(folder).entryList(QDir::Files, QDir::Name))
        out << name + QLatin1Char('=') + QString::fromLatin1(ReadFile(QDir(folder).filePath(name)).toHex());
    return out;
}

QStringList ColumnNames(platform::Database& db, const QString& table) {
    QStringList names;
    for (const platform::Column& c : db.columns(table))
        names << c.name;
    return names;
}

QStringList Names(const QStringList& names) {
    return names + QStringList{store::MainKeyColumn, store::PictureFlagColumn};
}

// The configuration as a new start reads it: the saved table names are kept for the category slots only.
store::CategoryConfig AsLoaded(store::CategoryConfig c) {
    for (int s = 0; s < store::FirstSlotSection; ++s)
        c[s].SavedMainTable = c[s].SavedSubTable = QString();
    return c;
}

// A copier that plays a disk that fills up after `room` files.
platform::FileCopier FullAfter(int room) {
    auto left = std::make_shared<int>(room);
    return [left](const QString& from, const QString& to, const platform::CopyTick&) {
        return platform::CopyResult{(*left)-- > 0 && QFile::copy(from, to) ? platform::CopyResult::Copied
                                                                           : platform::CopyResult::Failed};
    };
}

struct MaintenanceLogicTest : ::testing::Test {
    test::TestCatalogue cat;
    QTemporaryDir backupDir;

    QString picture(const QString& name) const { return cat.state.pictureFolder() + QLatin1Char('/') + name; }

    // A catalogue that has been lived in: CD2 and DVD3 added, records with counters, two lists, renamed CD1 fields,
    // pictures, CDDB settings, a changed title.
    void fill() {
        ASSERT_FALSE(store::AddSlot(cat.state, 5));
        ASSERT_FALSE(store::AddSlot(cat.state, 9));
        ASSERT_FALSE(store::CreateList(cat.state, 0, QStringLiteral("ジャンル")));
        ASSERT_FALSE(store::CreateList(cat.state, 3, QStringLiteral("保管場所")));
        ASSERT_FALSE(store::AddListEntry(cat.state, 0, QStringLiteral("ロック")) != store::EntryCheck::Ok);
        QStringList names;
        for (int k = 1; k <= store::MainFieldSlots; ++k)
            names << cat.state.config[4].FieldName[k];
        QStringList subs;
        for (int k = 1; k <= store::SubFieldSlots; ++k)
            subs << cat.state.config[4].SubFieldName[k];
        names[0] = QStringLiteral("アルバム");
        ASSERT_FALSE(store::RenameFields(cat.state, 4, names, subs));
        cat.addMain(4, 1, {QStringLiteral("一")}, 1);
        cat.addSub(4, 1, 1, QStringLiteral("曲"));
        cat.addMain(5, 1, {QStringLiteral("二")});
        cat.addMain(9, 7, {QStringLiteral("三")});
        for (int s : {4, 5, 9}) {
            cat.state.config[s].RegNo = 7;
            cat.state.config[s].Dirty = 1;
        }
        cat.state.config[0].FieldType[1] = QStringLiteral("私の棚");
        cat.state.config[0].FieldType[2] = QStringLiteral("255");
        cat.state.config[0].Dirty = 1;
        store::SaveConfig(cat.state.databasePath(), cat.state.config);
        auto db = cat.open();
        store::StoreCddbFolders(*db, cat.state.config, QStringLiteral("/opt/player"), QStringLiteral("/opt/cddb"));
        auto rs = db->openTable(store::ConfigTable, QStringLiteral("KeyNo"), Value(11));
        rs->edit();
        rs->setValue(store::FieldNameColumn(1), QStringLiteral("タイトル"));
        rs->setValue(store::SubFieldNameColumn(8), QStringLiteral("備考"));
        rs->setValue(QStringLiteral("種目テーブル使用有無"), Value(1));
        rs->update();
        WriteFile(picture(QStringLiteral("4_1.jpg")), "jpeg-4-1");
        WriteFile(picture(QStringLiteral("9_7.jpg")), "jpeg-9-7");
    }
};

} // namespace

TEST_F(MaintenanceLogicTest, InitialisationBringsBackTheFirstState) {
    fill();
    // A stray table under the name of a free list slot is not the initialisation's to drop.
    cat.open()->execute(QStringLiteral("CREATE TABLE ListTable2 (x TEXT(50))"));

    EXPECT_TRUE(maintenance::InitialiseSystem(cat.state).isEmpty());
    {
        // Compacted: no free pages left in the file.
        auto db = cat.open();
        sqlite3_stmt* stmt = db->prepare(QStringLiteral("PRAGMA freelist_count"));
        ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
        EXPECT_EQ(sqlite3_column_int(stmt, 0), 0);
        sqlite3_finalize(stmt);
        EXPECT_FALSE(db->tableExists(store::PendingPicturesTable));
    }

    const store::CategoryConfig& c = cat.state.config;
    EXPECT_EQ(cat.reload(), AsLoaded(c));
    EXPECT_EQ(c.systemTitle(), QStringLiteral("ＣＤ管理"));
    EXPECT_EQ(c.titleColor(), QStringLiteral("16744448"));
    EXPECT_EQ(c.backColor(), QStringLiteral("14671839"));
    EXPECT_EQ(c[0].FieldName[5], QStringLiteral(" "));
    EXPECT_EQ(c[0].FieldName[6], QStringLiteral(" "));
    const QStringList names{QStringLiteral("CD1"),  QStringLiteral("CD2"),  QStringLiteral("CD3"),
                            QStringLiteral("DVD1"), QStringLiteral("DVD2"), QStringLiteral("DVD3")};
    for (int s = 4; s <= 9; ++s) {
        EXPECT_EQ(c[s].ShumokuName, names[s - 4]);
        EXPECT_EQ(c[s].InUse, (s == 4 || s == 7) ? 1 : 0) << s;
        EXPECT_EQ(c[s].RegNo, 0) << s;
        EXPECT_EQ(c[s].FieldName[1], QStringLiteral("タイトル")) << s;
    }
    EXPECT_EQ(test::ListDirectory(c),
              QStringList({QStringLiteral("0"), " ", " ", " ", " ", " ", " ", " ", " ", " ", " "}));

    auto db = cat.open();
    // CD1 keeps its (renamed) table name, now empty and shaped by the CD template again; CD2 and DVD3 are gone.
    EXPECT_EQ(c[4].TableName, QStringLiteral("CD1_1"));
    EXPECT_EQ(ColumnNames(*db, QStringLiteral("CD1_1")), Names(store::CdTemplate().mainNames));
    EXPECT_EQ(cat.rowCount(QStringLiteral("CD1_1")), 0);
    EXPECT_EQ(cat.rowCount(QStringLiteral("CD1SUB")), 0);
    EXPECT_EQ(cat.rowCount(QStringLiteral("DVD1")), 0);
    for (const QString& gone : {QStringLiteral("CD2"), QStringLiteral("CD2SUB"), QStringLiteral("DVD3"),
                                QStringLiteral("DVD3SUB"), QStringLiteral("ListTable1"), QStringLiteral("ListTable4")})
        EXPECT_FALSE(db->tableExists(gone)) << gone.toStdString();
    EXPECT_TRUE(db->tableExists(QStringLiteral("ListTable2")));

    // The CDDB settings rows are cleared, not removed.
    auto rs = db->openTable(store::ConfigTable, QStringLiteral("KeyNo"), Value(11));
    EXPECT_EQ(rs->value(store::FieldNameColumn(1)).toText(), QStringLiteral(" "));
    EXPECT_EQ(rs->value(store::SubFieldNameColumn(8)).toText(), QStringLiteral(" "));
    EXPECT_EQ(rs->value(QStringLiteral("種目テーブル使用有無")).toInt(), 0);
    EXPECT_EQ(db->openTable(store::ConfigTable)->recordCount(), 16);

    EXPECT_TRUE(QDir(cat.state.pictureFolder()).isEmpty());
    EXPECT_TRUE(QDir(cat.state.pictureFolder()).exists());
}

TEST_F(MaintenanceLogicTest, AFailedInitialisationLeavesEverythingAsItWas) {
    fill();
    const QStringList before = Snapshot(cat.state.databasePath());
    const store::CategoryConfig config = cat.state.config;

    // The disk fills up part way through the run, a little later at each try, until the run fits.
    int failures = 0;
    for (int attempt = 0;; ++attempt) {
        bool failed = false;
        {
            platform::ScopedWriteFault full(attempt * 2048);
            try {
                maintenance::InitialiseSystem(cat.state);
            } catch (const EngineError&) {
                failed = true;
            }
        }
        if (!failed)
            break;
        ++failures;
        EXPECT_EQ(Snapshot(cat.state.databasePath()), before);
        EXPECT_EQ(cat.state.config, config);
        EXPECT_EQ(FolderContents(cat.state.pictureFolder()).size(), 2);
        ASSERT_LT(attempt, 300) << "the run never fitted";
    }
    EXPECT_GT(failures, 0);
    EXPECT_FALSE(cat.reload()[5].inUse());
}

TEST_F(MaintenanceLogicTest, BackingUpTwiceReplacesTheEarlierBackupWhole) {
    fill();
    const QString target = backupDir.path();
    ASSERT_EQ(maintenance::BackupCatalogue(cat.state, target), std::nullopt);
    const QString saved = target + QStringLiteral("/Quelm.mdb");
    const QString savedPictures = target + QStringLiteral("/Quelm-画像");
    EXPECT_EQ(Snapshot(saved), Snapshot(cat.state.databasePath()));
    EXPECT_EQ(FolderContents(savedPictures), FolderContents(cat.state.pictureFolder()));

    cat.addMain(4, 2, {QStringLiteral("追加")});
    QFile::remove(picture(QStringLiteral("9_7.jpg")));
    WriteFile(picture(QStringLiteral("4_2.jpg")), "jpeg-4-2");
    ASSERT_EQ(maintenance::BackupCatalogue(cat.state, target), std::nullopt);
    EXPECT_EQ(Snapshot(saved), Snapshot(cat.state.databasePath()));
    EXPECT_EQ(FolderContents(savedPictures), FolderContents(cat.state.pictureFolder()));
    EXPECT_EQ(QDir(target).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name),
              QStringList({QStringLiteral("Quelm-バックアップ記録.txt"), QStringLiteral("Quelm-画像"),
                           QStringLiteral("Quelm.mdb")}));
    EXPECT_EQ(maintenance::CheckBackupFolder(target), std::nullopt);
    // Copies keep the pictures' times.
    EXPECT_EQ(QFileInfo(savedPictures + QStringLiteral("/4_2.jpg")).lastModified(),
              QFileInfo(picture(QStringLiteral("4_2.jpg"))).lastModified());
}

TEST_F(MaintenanceLogicTest, ABackupThatFailsKeepsTheEarlierOne) {
    fill();
    const QString target = backupDir.path();
    ASSERT_EQ(maintenance::BackupCatalogue(cat.state, target), std::nullopt);
    const QStringList savedDb = Snapshot(target + QStringLiteral("/Quelm.mdb"));
    const QStringList savedPictures = FolderContents(target + QStringLiteral("/Quelm-画像"));

    cat.addMain(4, 2, {QStringLiteral("追加")});
    WriteFile(picture(QStringLiteral("4_2.jpg")), "jpeg-4-2");
    // The disk fills up after the first picture.
    EXPECT_NE(maintenance::BackupCatalogue(cat.state, target, FullAfter(1)), std::nullopt);
    EXPECT_EQ(Snapshot(target + QStringLiteral("/Quelm.mdb")), savedDb);
    EXPECT_EQ(FolderContents(target + QStringLiteral("/Quelm-画像")), savedPictures);
    EXPECT_EQ(QDir(target).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(), 3);
    EXPECT_EQ(maintenance::CheckBackupFolder(target), std::nullopt);

    // An earlier version cut off between its renames left the pictures aside: the next backup, failing too, must
    // not take them with it.
    ASSERT_TRUE(QDir().rename(target + QStringLiteral("/Quelm-画像"), target + QStringLiteral("/Quelm-画像.old")));
    QFile::remove(target + QStringLiteral("/Quelm-バックアップ記録.txt"));
    EXPECT_NE(maintenance::BackupCatalogue(cat.state, target, FullAfter(1)), std::nullopt);
    EXPECT_EQ(FolderContents(target + QStringLiteral("/Quelm-画像")), savedPictures);
    EXPECT_EQ(Snapshot(target + QStringLiteral("/Quelm.mdb")), savedDb);

    // A folder nobody can write in, the program folder itself and the picture folder are refused.
    EXPECT_NE(maintenance::BackupCatalogue(cat.state, QStringLiteral("/proc")), std::nullopt);
    EXPECT_NE(maintenance::BackupCatalogue(cat.state, cat.state.dataFolder), std::nullopt);
    EXPECT_NE(maintenance::BackupCatalogue(cat.state, cat.state.pictureFolder()), std::nullopt);
    EXPECT_NE(maintenance::BackupCatalogue(cat.state, target + QStringLiteral("/nowhere")), std::nullopt);
    EXPECT_EQ(FolderContents(cat.state.pictureFolder()).size(), 3);
}

TEST_F(MaintenanceLogicTest, RestoreRefusesWhatIsNotACatalogueAndChangesNothing) {
    const QString live = cat.state.databasePath();
    const QByteArray liveBytes = ReadFile(live);
    const store::CategoryConfig config = cat.state.config;
    QTemporaryDir source;

    const auto expectRefused = [&](const QString& path) {
        EXPECT_NE(maintenance::RestoreCatalogue(cat.state, path), std::nullopt) << path.toStdString();
        EXPECT_EQ(ReadFile(live), liveBytes);
        EXPECT_EQ(cat.state.config, config);
        EXPECT_EQ(QDir(cat.folder()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Quelm.mdb")});
    };
    const QString text = source.filePath(QStringLiteral("Quelm.mdb"));
    WriteFile(text, "これはテキストです\r\n");
    expectRefused(text);
    expectRefused(source.filePath(QStringLiteral("missing.mdb")));

    // An engine database, but no catalogue.
    const QString other = source.filePath(QStringLiteral("other.mdb"));
    platform::Database::create(other)->execute(QStringLiteral("CREATE TABLE t (a TEXT)"));
    expectRefused(other);

    // Catalogues that lack a table their configuration names, or a configuration row.
    const auto damaged = [&](const QString& name, const QString& sql) {
        const QString path = source.filePath(name);
        QFile::copy(live, path);
        platform::Database::open(path)->execute(sql);
        return path;
    };
    expectRefused(damaged(QStringLiteral("a.mdb"), QStringLiteral("DROP TABLE CD1SUB")));
    expectRefused(damaged(QStringLiteral("b.mdb"), QStringLiteral("DELETE FROM 管理テーブル WHERE KeyNo = 16")));
    expectRefused(damaged(QStringLiteral("c.mdb"), QStringLiteral("ALTER TABLE DVD1 ADD COLUMN extra TEXT")));
    EXPECT_EQ(maintenance::CheckCatalogueFile(live), std::nullopt);
}

TEST_F(MaintenanceLogicTest, RestoreRefusesAnIncompleteOrMixedBackup) {
    fill();
    ASSERT_EQ(maintenance::BackupCatalogue(cat.state, backupDir.path()), std::nullopt);
    const QString db = backupDir.filePath(QStringLiteral("Quelm.mdb"));
    const QString pictures = backupDir.filePath(QStringLiteral("Quelm-画像"));
    const QStringList before = Snapshot(cat.state.databasePath());
    const auto refused = [&](const QString& why, const QString& word) {
        const auto failure = maintenance::RestoreCatalogue(cat.state, db);
        ASSERT_NE(failure, std::nullopt) << why.toStdString();
        EXPECT_TRUE(failure->contains(word)) << failure->toStdString();
        EXPECT_EQ(Snapshot(cat.state.databasePath()), before);
    };
    // Another backup's catalogue put beside these pictures.
    test::TestCatalogue other;
    ASSERT_TRUE(QFile::remove(db));
    ASSERT_TRUE(QFile::copy(other.state.databasePath(), db));
    refused(QStringLiteral("other catalogue"), QStringLiteral("混ざって"));
    EXPECT_NE(maintenance::RestorePictures(cat.state, pictures), std::nullopt);
    // What a backup cut off in its copy leaves beside it.
    ASSERT_EQ(maintenance::BackupCatalogue(cat.state, backupDir.path()), std::nullopt);
    WriteFile(db + QStringLiteral(".tmp"), "half");
    refused(QStringLiteral("leftover"), QStringLiteral("中断"));
    // The next backup settles it, and a catalogue copied by hand (no record) is still taken.
    ASSERT_EQ(maintenance::BackupCatalogue(cat.state, backupDir.path()), std::nullopt);
    ASSERT_TRUE(QFile::remove(backupDir.filePath(QStringLiteral("Quelm-バックアップ記録.txt"))));
    EXPECT_EQ(maintenance::RestoreCatalogue(cat.state, db), std::nullopt);
}

TEST_F(MaintenanceLogicTest, AStartSettlesWhatARestoreOrAnInitialisationLeftCutOff) {
    fill();
    const QString live = cat.state.pictureFolder();
    const QStringList old = FolderContents(live);
    ASSERT_FALSE(old.isEmpty());
    // A picture restore killed between its two renames: the old pictures aside, the whole copy beside them.
    ASSERT_TRUE(QDir().rename(live, cat.folder() + QStringLiteral("/Quelm-画像.bak")));
    ASSERT_TRUE(QDir().mkdir(live + QStringLiteral(".restore")));
    WriteFile(live + QStringLiteral(".restore/1_1.jpg"), "restored");
    QStringList said = maintenance::SettleCutOffWork(cat.folder());
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0].contains(QStringLiteral("完了させました"))) << said[0].toStdString();
    EXPECT_EQ(FolderContents(live),
              QStringList{QStringLiteral("1_1.jpg=") + QString::fromLatin1(QByteArray("restored").toHex())});
    EXPECT_EQ(FolderContents(cat.folder() + QStringLiteral("/Quelm-画像.bak")), old);

    // A copy cut off before anything moved is removed, the pictures in use kept.
    ASSERT_TRUE(QDir().mkdir(live + QStringLiteral(".restore")));
    said = maintenance::SettleCutOffWork(cat.folder());
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0].contains(QStringLiteral("取り消しました")));
    EXPECT_FALSE(QFileInfo::exists(live + QStringLiteral(".restore")));
    EXPECT_EQ(FolderContents(live).size(), 1);

    // An initialisation (or a deletion of a category's data) killed after its commit, before the pictures went.
    {
        auto db = store::OpenCatalogue(cat.state.databasePath());
        platform::Transaction tx(*db);
        store::ListPicturesToDelete(*db, {QStringLiteral("1_1.jpg"), QStringLiteral("../Quelm.mdb")});
        tx.commit();
    }
    said = maintenance::SettleCutOffWork(cat.folder());
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(FolderContents(live).isEmpty());
    EXPECT_TRUE(QFileInfo::exists(cat.state.databasePath())); // a name leading out of the folder is not followed
    EXPECT_FALSE(store::OpenCatalogue(cat.state.databasePath())->tableExists(store::PendingPicturesTable));
    EXPECT_TRUE(maintenance::SettleCutOffWork(cat.folder()).isEmpty());
}

TEST_F(MaintenanceLogicTest, RestoreBringsBackEveryRecordAndPicture) {
    fill();
    ASSERT_EQ(maintenance::BackupCatalogue(cat.state, backupDir.path()), std::nullopt);
    const QStringList savedDb = Snapshot(cat.state.databasePath());
    const QStringList savedPictures = FolderContents(cat.state.pictureFolder());
    const store::CategoryConfig savedConfig = cat.state.config;

    cat.addMain(4, 2, {QStringLiteral("後から")});
    cat.state.config[0].FieldType[1] = QStringLiteral("別の題");
    cat.state.config[0].Dirty = 1;
    store::SaveConfig(cat.state.databasePath(), cat.state.config);
    QFile::remove(picture(QStringLiteral("4_1.jpg")));
    WriteFile(picture(QStringLiteral("4_2.jpg")), "new");
    const QStringList changedDb = Snapshot(cat.state.databasePath());
    const QStringList changedPictures = FolderContents(cat.state.pictureFolder());

    ASSERT_EQ(maintenance::RestoreCatalogue(cat.state, backupDir.filePath(QStringLiteral("Quelm.mdb"))), std::nullopt);
    EXPECT_EQ(Snapshot(cat.state.databasePath()), savedDb);
    EXPECT_EQ(Snapshot(cat.folder() + QStringLiteral("/Quelm.mdb.bak")), changedDb);
    // The configuration in memory is the restored one, so nothing of the old one is written back later.
    EXPECT_EQ(AsLoaded(cat.state.config), cat.reload());
    EXPECT_EQ(cat.state.config.systemTitle(), savedConfig.systemTitle());

    // A backup folder called Quelm-画像2 passes the name check and still lands in Quelm-画像.
    const QString renamed = backupDir.filePath(QStringLiteral("Quelm-画像2"));
    ASSERT_TRUE(QDir().rename(backupDir.filePath(QStringLiteral("Quelm-画像")), renamed));
    EXPECT_EQ(maintenance::PictureFolderPart(renamed), QStringLiteral("Quelm-画像"));
    ASSERT_EQ(maintenance::RestorePictures(cat.state, renamed), std::nullopt);
    EXPECT_EQ(FolderContents(cat.state.pictureFolder()), savedPictures);
    EXPECT_EQ(FolderContents(cat.folder() + QStringLiteral("/Quelm-画像.bak")), changedPictures);
    EXPECT_FALSE(QFileInfo::exists(cat.folder() + QStringLiteral("/Quelm-画像2")));
}

TEST_F(MaintenanceLogicTest, PictureRestoreNeverLosesTheCurrentPictures) {
    fill();
    const QStringList pictures = FolderContents(cat.state.pictureFolder());
    // Restoring the folder onto itself would delete it before copying it.
    EXPECT_NE(maintenance::RestorePictures(cat.state, cat.state.pictureFolder()), std::nullopt);
    EXPECT_EQ(FolderContents(cat.state.pictureFolder()), pictures);

    ASSERT_TRUE(QDir().mkpath(backupDir.filePath(QStringLiteral("Quelm-画像"))));
    WriteFile(backupDir.filePath(QStringLiteral("Quelm-画像/4_1.jpg")), "a");
    WriteFile(backupDir.filePath(QStringLiteral("Quelm-画像/4_2.jpg")), "b");
    EXPECT_NE(maintenance::RestorePictures(cat.state, backupDir.filePath(QStringLiteral("Quelm-画像")), FullAfter(1)),
              std::nullopt);
    EXPECT_EQ(FolderContents(cat.state.pictureFolder()), pictures);
    EXPECT_EQ(QDir(cat.folder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("Quelm-画像")});

    EXPECT_EQ(maintenance::PictureFolderPart(QStringLiteral("/")), std::nullopt);
    EXPECT_EQ(maintenance::PictureFolderPart(QStringLiteral("/b/Quelm-画像/")), QStringLiteral("Quelm-画像"));
    EXPECT_EQ(maintenance::PictureFolderPart(QStringLiteral("/b/Quelm")), QStringLiteral("Quelm"));
}

TEST_F(MaintenanceLogicTest, TheLastBackupFolderIsReadAsOutsideInput) {
    EXPECT_EQ(maintenance::BackupStartFolder(maintenance::LoadBackupPlace(cat.state.databasePath())), QDir::homePath());
    maintenance::StoreBackupPlace(cat.state.databasePath(), {backupDir.path(), true});
    EXPECT_EQ(maintenance::LoadBackupPlace(cat.state.databasePath()),
              maintenance::BackupPlace({backupDir.path(), true}));
    EXPECT_EQ(maintenance::BackupStartFolder(maintenance::LoadBackupPlace(cat.state.databasePath())), backupDir.path());
    // What a tampered or outdated catalogue may hold: the screen opens on the home folder.
    const QString stored[] = {QStringLiteral("'/no/such/folder', 1"), QStringLiteral("'relative/folder', 1"),
                              QStringLiteral("'/' || printf('%.50000c', 'a'), 1"), QStringLiteral("42, 1"),
                              QStringLiteral("NULL, NULL")};
    for (const QString& values : stored) {
        auto db = cat.open();
        db->execute(QStringLiteral("DROP TABLE バックアップ先"));
        db->execute(QStringLiteral("CREATE TABLE バックアップ先 (フォルダー, 同じディスク承知)"));
        db->execute(QStringLiteral("INSERT INTO バックアップ先 VALUES (%1)").arg(values));
        EXPECT_EQ(maintenance::BackupStartFolder(maintenance::LoadBackupPlace(cat.state.databasePath())),
                  QDir::homePath())
            << values.toStdString();
    }
    EXPECT_TRUE(maintenance::OnSameDisk(cat.folder(), QDir::tempPath()));
    EXPECT_FALSE(maintenance::OnSameDisk(cat.folder(), QStringLiteral("/proc")));
}

TEST_F(MaintenanceLogicTest, NewFoldersStayInTheirParent) {
    const QString parent = backupDir.path();
    EXPECT_EQ(maintenance::CreateSubfolder(parent, QStringLiteral(" 保存 ")), std::nullopt);
    EXPECT_TRUE(QFileInfo(parent + QStringLiteral("/保存")).isDir());
    for (const QString& bad : {QStringLiteral("保存"), QStringLiteral("../x"), QStringLiteral("a/b"),
                               QStringLiteral(".."), QStringLiteral("  ")})
        EXPECT_NE(maintenance::CreateSubfolder(parent, bad), std::nullopt) << bad.toStdString();
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(parent).dir().filePath(QStringLiteral("x"))));
}

TEST_F(MaintenanceLogicTest, CountsMainAndSubRecordsOfACategory) {
    // Mains 1, 2, 3 with 1, 2 and 0 sub records; a sub record of no main record is not counted.
    cat.addMain(4, 1, {});
    cat.addMain(4, 2, {});
    cat.addMain(4, 3, {});
    cat.addSub(4, 1, 1, QStringLiteral("a"));
    cat.addSub(4, 2, 1, QStringLiteral("b"));
    cat.addSub(4, 2, 2, QStringLiteral("c"));
    cat.addSub(4, 99, 1, QStringLiteral("orphan"));
    auto db = cat.open();
    EXPECT_EQ(maintenance::CountCategory(*db, cat.state.config[4]).rows(),
              (std::array<std::int32_t, 6>{3, 2, 1, 3, 1, 2}));
    cat.addMain(4, 4, {});
    cat.addSub(4, 4, 1, QStringLiteral("d"));
    cat.addSub(4, 4, 2, QStringLiteral("e"));
    cat.addMain(4, 5, {});
    // 5 sub records over 5 mains, and then 5 over 4 (1.25 shows 1).
    EXPECT_EQ(maintenance::CountCategory(*db, cat.state.config[4]).averageSubs, 1);
    EXPECT_EQ(maintenance::CountCategory(*db, cat.state.config[7]), maintenance::CategoryCounts{});

    EXPECT_EQ(maintenance::DivideHalfToEven(5, 4), 1);
    EXPECT_EQ(maintenance::DivideHalfToEven(5, 2), 2);
    EXPECT_EQ(maintenance::DivideHalfToEven(7, 2), 4);
    EXPECT_EQ(maintenance::DivideHalfToEven(7, 4), 2);
    EXPECT_EQ(maintenance::DivideHalfToEven(6, 4), 2);

    EXPECT_EQ(maintenance::FormatCount(0), QString());
    EXPECT_EQ(maintenance::FormatCount(999), QStringLiteral("999"));
    EXPECT_EQ(maintenance::FormatCount(1500), QStringLiteral("1,500"));
    EXPECT_EQ(maintenance::FormatCount(1234567), QStringLiteral("1,234,567"));
}

TEST_F(MaintenanceLogicTest, ListingsReadFieldNamesAndListsInSlotOrder) {
    ASSERT_FALSE(store::CreateList(cat.state, 3, QStringLiteral("保管場所")));
    ASSERT_FALSE(store::CreateList(cat.state, 0, QStringLiteral("ジャンル")));
    for (const QString& e : {QStringLiteral("棚A"), QStringLiteral("棚B"), QStringLiteral("棚C")})
        store::AddListEntry(cat.state, 3, e);
    store::AddListEntry(cat.state, 0, QStringLiteral("ジャズ"));
    const auto lists = maintenance::ListTableColumns(cat.state);
    ASSERT_EQ(lists.size(), 2);
    EXPECT_EQ(lists[0].heading, QStringLiteral("ジャンル"));
    EXPECT_EQ(lists[0].cells, QStringList{QStringLiteral("ジャズ")});
    EXPECT_EQ(lists[1].heading, QStringLiteral("保管場所"));
    EXPECT_EQ(lists[1].cells, QStringList({QStringLiteral("棚A"), QStringLiteral("棚B"), QStringLiteral("棚C")}));

    cat.state.config[7].FieldName[2] = QStringLiteral(" 出演者 ");
    const auto fields = maintenance::FieldNameColumns(cat.state.config);
    ASSERT_EQ(fields.size(), 2);
    EXPECT_EQ(fields[1].heading, QStringLiteral("DVD1"));
    ASSERT_EQ(fields[1].cells.size(), 27);
    EXPECT_EQ(fields[1].cells[0], QStringLiteral("---[MAIN]---"));
    EXPECT_EQ(fields[1].cells[2], QStringLiteral(" 出演者 "));
    EXPECT_EQ(fields[1].cells[16], QStringLiteral("---[SUB]---"));
    EXPECT_EQ(fields[0].cells[17], QStringLiteral("曲名"));
}
