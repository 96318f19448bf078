// A backup onto a disk that fills up part way: it says so, and the earlier backup stays whole with nothing beside it.
#include "TestCatalogue.h"
#include "maintenance/BackupRestore.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace quelm {
namespace {

using test::FolderListing;

void AddPicture(test::TestCatalogue& cat, int regNo, Qt::GlobalColor colour) {
    QImage image(160, 120, QImage::Format_RGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(cat.state.RecordPicturePath(4, regNo), "JPG"));
}

TEST(FullDisk, BackupKeepsTheEarlierBackupWholeAndSaysSo) {
    test::TestCatalogue cat;
    for (int n = 1; n <= 60; ++n)
        cat.addMain(4, n, {QStringLiteral("盤%1").arg(n), QStringLiteral("演奏者%1").arg(n)});
    for (int n = 1; n <= 3; ++n)
        AddPicture(cat, n, Qt::darkGreen);
    QTemporaryDir target;
    ASSERT_EQ(maintenance::BackupCatalogue(cat.state, target.path()), std::nullopt);
    const QStringList earlier = FolderListing(target.path());

    // Since then: more records and pictures, so the next backup is larger than the one it replaces.
    for (int n = 61; n <= 200; ++n)
        cat.addMain(4, n, {QStringLiteral("盤%1").arg(n)});
    for (int n = 4; n <= 8; ++n)
        AddPicture(cat, n, Qt::darkBlue);
    const QStringList live = FolderListing(cat.folder());

    std::optional<QString> failure;
    const int failures = test::FillDiskUntilItFits(
        8192, [&] { return !(failure = maintenance::BackupCatalogue(cat.state, target.path())); },
        [&] {
            EXPECT_TRUE(failure->contains(QStringLiteral("ディスクの空きが足りません。"))) << failure->toStdString();
            EXPECT_FALSE(failure->contains(QStringLiteral(".tmp"))) << failure->toStdString();
            EXPECT_EQ(FolderListing(target.path()), earlier);
            EXPECT_EQ(FolderListing(cat.folder()), live);
        });
    EXPECT_GT(failures, 1);
    EXPECT_EQ(FolderListing(QDir(target.path()).filePath(QStringLiteral("Quelm-画像"))),
              FolderListing(cat.state.pictureFolder()));
    EXPECT_EQ(test::Snapshot(QDir(target.path()).filePath(QStringLiteral("Quelm.mdb"))),
              test::Snapshot(cat.state.databasePath()));
}

TEST(FullDisk, EveryRestoreFailureSaysTheDiskIsFullAndWhatIsKept) {
    test::TestCatalogue cat;
    for (int n = 1; n <= 60; ++n)
        cat.addMain(4, n, {QStringLiteral("盤%1").arg(n)});
    for (int n = 1; n <= 4; ++n)
        AddPicture(cat, n, Qt::darkGreen);
    QTemporaryDir backup;
    ASSERT_EQ(maintenance::BackupCatalogue(cat.state, backup.path()), std::nullopt);
    // Since then: other records and pictures, which the restore must not touch while it cannot finish.
    cat.addMain(4, 61, {QStringLiteral("後から")});
    AddPicture(cat, 5, Qt::darkBlue);

    const struct {
        const char* what;
        std::function<std::optional<QString>()> restore;
        QString kept;
        qint64 step;
    } restores[] = {
        {"catalogue",
         [&] {
             return maintenance::RestoreCatalogue(cat.state, QDir(backup.path()).filePath(QStringLiteral("Quelm.mdb")));
         },
         QStringLiteral("データベースは復元前のままです。"), 16384},
        {"pictures",
         [&] {
             return maintenance::RestorePictures(cat.state, QDir(backup.path()).filePath(QStringLiteral("Quelm-画像")));
         },
         QStringLiteral("画像フォルダーは復元前のままです。"), 1024},
    };
    for (const auto& r : restores) {
        SCOPED_TRACE(r.what);
        const QStringList live = FolderListing(cat.folder());
        std::optional<QString> failure;
        const int failures = test::FillDiskUntilItFits(
            r.step, [&] { return !(failure = r.restore()); },
            [&] {
                EXPECT_TRUE(failure->startsWith(QStringLiteral("ディスクの空きが足りません。")))
                    << failure->toStdString();
                EXPECT_TRUE(failure->endsWith(r.kept)) << failure->toStdString();
                EXPECT_FALSE(failure->contains(QStringLiteral(".restore")));
                EXPECT_EQ(FolderListing(cat.folder()), live);
            });
        EXPECT_GT(failures, 1);
    }
    EXPECT_EQ(FolderListing(cat.state.pictureFolder()),
              FolderListing(QDir(backup.path()).filePath(QStringLiteral("Quelm-画像"))));
}

} // namespace
} // namespace quelm
