#include "store/PendingPictures.h"

#include "platform/Database.h"
#include "platform/WriteFaults.h"
#include "store/Catalogue.h"

#include <QDir>
#include <QFile>
#include <sqlite3.h>

namespace quelm::store {

using platform::Database;

void ListPicturesToDelete(Database& db, const QStringList& names) {
    if (names.isEmpty())
        return;
    const QString table = platform::QuoteIdentifier(PendingPicturesTable);
    db.execute(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (名前 TEXT NOT NULL)").arg(table));
    sqlite3_stmt* stmt = db.prepare(QStringLiteral("INSERT INTO %1 (名前) VALUES (?)").arg(table));
    for (const QString& name : names) {
        const QByteArray utf8 = name.toUtf8();
        sqlite3_bind_text(stmt, 1, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
        const int rc = sqlite3_step(stmt);
        sqlite3_reset(stmt);
        if (rc != SQLITE_DONE) {
            sqlite3_finalize(stmt);
            throw platform::EngineError(QStringLiteral("削除する画像の一覧を書き込めません。"));
        }
    }
    sqlite3_finalize(stmt);
}

namespace {

QStringList ListedNames(Database& db) {
    QStringList names;
    if (!db.tableExists(PendingPicturesTable))
        return names;
    sqlite3_stmt* stmt =
        db.prepare(QStringLiteral("SELECT 名前 FROM %1").arg(platform::QuoteIdentifier(PendingPicturesTable)));
    while (sqlite3_step(stmt) == SQLITE_ROW)
        names << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    return names;
}

} // namespace

QStringList DeleteListedPictures(const QString& databasePath, const QString& pictureFolder) {
    auto db = OpenCatalogue(databasePath);
    const QStringList names = ListedNames(*db);
    if (!db->tableExists(PendingPicturesTable))
        return {};
    QStringList left;
    for (const QString& name : names) {
        // Only plain names in the picture folder: the list is read from a file that may have been tampered with.
        if (name.isEmpty() || name.contains(QLatin1Char('/')) || name == QLatin1String("..") ||
            name == QLatin1String("."))
            continue;
        const QString path = QDir(pictureFolder).filePath(name);
        if (QFile::exists(path) && !QFile::remove(path))
            left << path;
        platform::StepPoint();
    }
    if (!left.isEmpty())
        return left;
    try {
        platform::Transaction tx(*db);
        db->execute(QStringLiteral("DROP TABLE ") + platform::QuoteIdentifier(PendingPicturesTable));
        tx.commit();
    } catch (const platform::EngineError&) {
        // The files are gone; the list stays until a start can drop it.
    }
    return left;
}

std::optional<QString> FinishPendingPictureDeletion(const QString& databasePath, const QString& pictureFolder,
                                                    const CompactTick& tick) {
    {
        auto db = OpenCatalogue(databasePath);
        if (!db->tableExists(PendingPicturesTable))
            return std::nullopt;
    }
    const QStringList left = DeleteListedPictures(databasePath, pictureFolder);
    if (!left.isEmpty())
        return QStringLiteral("前回の初期化またはデータ削除で残った画像のうち %1 個を削除できませんでした。"
                              "次回の起動時にもう一度削除します。")
            .arg(left.size());
    Compact(databasePath, tick);
    return QStringLiteral(
        "前回の初期化またはデータ削除は画像の削除の途中で中断されたため、残っていた画像を削除しました。");
}

bool Compact(const QString& databasePath, const CompactTick& tick) {
    try {
        auto db = OpenCatalogue(databasePath);
        const platform::EngineTicks ticks(
            *db, tick ? tick : [] {});
        db->execute(QStringLiteral("VACUUM"));
    } catch (const platform::EngineError&) {
        return false; // a full disk: the file stays as large as it was, and whole
    }
    return true;
}

} // namespace quelm::store
