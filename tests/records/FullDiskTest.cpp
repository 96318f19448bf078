// Record and picture writers on a disk that fills up part way: each says so and leaves what was there whole.
#include "TestCatalogue.h"
#include "platform/Database.h"
#include "platform/WriteFaults.h"
#include "records/MainRecords.h"
#include "records/RecordPicture.h"
#include "records/SubRecords.h"
#include "store/Catalogue.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace quelm {
namespace {

using platform::ScopedWriteFault;
using records::EditResult;
using records::FieldInput;
using records::PictureResult;

std::vector<FieldInput> Boxes(const QString& first, int count) {
    std::vector<FieldInput> in(count);
    in[0] = {first, first};
    return in;
}

QString IntegrityCheck(platform::Database& db) {
    sqlite3_stmt* stmt = db.prepare(QStringLiteral("PRAGMA integrity_check"));
    sqlite3_step(stmt);
    const QString result = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    return result;
}

// Runs the write with the disk full after 0, 1024, 2048 … bytes of growth until it succeeds. Every failure must
// carry the engine's message and leave the catalogue as it was (unchanged() says so); returns the attempts made.
int FillUntilItFits(test::TestCatalogue& cat, const std::function<EditResult()>& write,
                    const std::function<void()>& unchanged) {
    EditResult r;
    return 1 + test::FillDiskUntilItFits(
                   1024,
                   [&] {
                       r = write();
                       return r.ok();
                   },
                   [&] {
                       EXPECT_EQ(r.status, EditResult::Status::EngineError);
                       EXPECT_TRUE(r.message.contains(QStringLiteral("full"))) << r.message.toStdString();
                       unchanged();
                       auto db = cat.open();
                       EXPECT_EQ(IntegrityCheck(*db), QStringLiteral("ok"));
                   });
}

TEST(FullDisk, RecordAddsAreWhollyWrittenOrNotAtAll) {
    test::TestCatalogue cat;
    cat.state.CurrentSection = 4;
    ASSERT_TRUE(records::AddMainRecord(cat.state, Boxes(QStringLiteral("最初の盤"), 15)).ok());

    const int attempts = FillUntilItFits(
        cat, [&] { return records::AddMainRecord(cat.state, Boxes(QStringLiteral("二枚目"), 15)); },
        [&] {
            EXPECT_EQ(cat.rowCount(QStringLiteral("CD1")), 1);
            EXPECT_EQ(cat.reload()[4].RegNo, 1);
            EXPECT_EQ(cat.state.config[4].RegNo, 1); // the next add does not skip a number
        });
    EXPECT_GT(attempts, 1);
    EXPECT_EQ(cat.rowCount(QStringLiteral("CD1")), 2);
    EXPECT_EQ(cat.reload()[4].RegNo, 2);

    cat.state.MaxSubNo = 0;
    FillUntilItFits(
        cat, [&] { return records::AddSubRecord(cat.state, 2, Boxes(QStringLiteral("一曲目"), 10)); },
        [&] {
            EXPECT_EQ(cat.rowCount(QStringLiteral("CD1SUB")), 0);
            EXPECT_EQ(cat.state.MaxSubNo, 0);
        });
    EXPECT_EQ(cat.rowCount(QStringLiteral("CD1SUB")), 1);
}

TEST(FullDisk, PictureSaveKeepsTheEarlierPictureAndItsFlag) {
    test::TestCatalogue cat;
    cat.addMain(4, 1, {QStringLiteral("アルバム")});
    cat.addMain(4, 2, {QStringLiteral("二枚目")});
    QImage earlier(193, 191, QImage::Format_RGB32);
    earlier.fill(Qt::darkCyan);
    ASSERT_TRUE(records::SaveRecordPicture(cat.state, 4, 1, earlier).ok());
    QFile file(cat.state.RecordPicturePath(4, 1));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray before = file.readAll();
    file.close();
    // Record 1 keeps its picture; record 2 gets its first.

    QImage next(193, 191, QImage::Format_RGB32);
    next.fill(Qt::yellow);
    // The disk fills up while the flag is written or while the picture is; each failure says which and changes
    // neither the earlier picture nor a flag, and leaves no half or temporary file.
    for (const int regNo : {1, 2}) {
        int fileFailures = 0;
        for (int attempt = 0;; ++attempt) {
            PictureResult r;
            {
                ScopedWriteFault full(attempt * 1024);
                r = records::SaveRecordPicture(cat.state, 4, regNo, next);
            }
            if (r.ok())
                break;
            if (r.status == PictureResult::Status::FileFailed) {
                ++fileFailures;
                EXPECT_EQ(r.message, records::PictureNotSavedMessage);
            } else {
                EXPECT_TRUE(r.message.contains(QStringLiteral("full"))) << r.message.toStdString();
            }
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_EQ(file.readAll(), before) << attempt;
            file.close();
            EXPECT_EQ(QDir(cat.state.pictureFolder()).entryList(QDir::Files | QDir::Hidden),
                      QStringList{QStringLiteral("4_1.jpg")});
            auto db = cat.open();
            auto rs = db->openTable(QStringLiteral("CD1"));
            EXPECT_EQ(rs->value(store::PictureFlagColumn).toInt(), 1);
            rs->moveNext();
            EXPECT_EQ(rs->value(store::PictureFlagColumn).toInt(), 0);
            ASSERT_LT(attempt, 200) << "the picture never fitted";
        }
        EXPECT_GT(fileFailures, 0);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        before = file.readAll(); // record 1 has its new picture now
        file.close();
    }
    EXPECT_EQ(QImage(cat.state.RecordPicturePath(4, 2)).pixel(90, 90) & 0xF0F0F0u,
              QColor(Qt::yellow).rgb() & 0xF0F0F0u);
}

} // namespace
} // namespace quelm
