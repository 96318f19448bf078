// A backup onto a disk that fills up part way: it says so, and the earlier backup stays whole with nothing beside it.
#include "TestCatalogue.h"
#include "maintenance/BackupRestore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quelm {
namespace {

// Every entry under a folder with a hash of its bytes: equal listings mean nothing was added, lost or changed.
QStringList Listing(const QString& folder) {
    QStringList out;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        const QByteArray hash = it.fileInfo().isFile() && f.open(QIODevice::ReadOnly)
                                    ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1).toHex()
                                    : QByteArray("folder");
        out << QDir(folder).relativeFilePath(path) + QLatin1Char('=') + QString::fromLatin1(hash);
    }
    out.sort();
    return out;
}

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
    const QStringList earlier = Listing(target.path());

    // Since then: more records and pictures, so the next backup is larger than the one it replaces.
    for (int n = 61; n <= 200; ++n)
        cat.addMain(4, n, {QStringLiteral("盤%1").arg(n)});
    for (int n = 4; n <= 8; ++n)
        AddPicture(cat, n, Qt::darkBlue);
    const QStringList live = Listing(cat.folder());

    std::optional<QString> failure;
    const int failures = test::FillDiskUntilItFits(
        8192, [&] { return !(failure = maintenance::BackupCatalogue(cat.state, target.path())); },
        [&] {
            EXPECT_FALSE(failure->trimmed().isEmpty());
            EXPECT_EQ(Listing(target.path()), earlier);
            EXPECT_EQ(Listing(cat.folder()), live);
        });
    EXPECT_GT(failures, 1);
    EXPECT_EQ(Listing(QDir(target.path()).filePath(QStringLiteral("Quelm-画像"))), Listing(cat.state.pictureFolder()));
    EXPECT_EQ(test::Snapshot(QDir(target.path()).filePath(QStringLiteral("Quelm.mdb"))),
              test::Snapshot(cat.state.databasePath()));
}

} // namespace
} // namespace quelm
