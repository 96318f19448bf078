// The write-fault seam: a file written for the user fails part way as on a full disk and leaves the earlier file.
#include "platform/WriteFaults.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quelm::platform {
namespace {

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(WriteFaults, AFileThatDoesNotFitKeepsTheEarlierOneAndLeavesNoTemporaryFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("一覧.csv"));
    {
        AtomicFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("earlier\n");
        ASSERT_TRUE(file.commit());
    }
    const QByteArray big(10000, 'x');
    for (const qint64 room : {qint64(0), qint64(10), qint64(9999)}) {
        ScopedWriteFault full(room);
        AtomicFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_EQ(file.write(big), -1);
        EXPECT_FALSE(file.commit());
        EXPECT_EQ(full.refusals(), 1);
        EXPECT_EQ(Read(path), "earlier\n");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("一覧.csv")});
    }
    // With room enough, and once the fault is gone, the file is written.
    {
        ScopedWriteFault full(big.size());
        AtomicFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(big);
        EXPECT_TRUE(file.commit());
        EXPECT_EQ(full.refusals(), 0);
    }
    EXPECT_EQ(Read(path), big);
}

} // namespace
} // namespace quelm::platform
