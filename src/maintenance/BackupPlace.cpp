#include "maintenance/BackupPlace.h"

#include "platform/Database.h"
#include "store/Catalogue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>
#include <sys/stat.h>

namespace quelm::maintenance {

namespace {

// One row: the folder and the answer given for it.
const QString PlaceTable = QStringLiteral("バックアップ先");
// Longer is no folder a user chose; a tampered catalogue could hold anything.
constexpr qsizetype LongestPath = 4096;

QString Quoted() {
    return platform::QuoteIdentifier(PlaceTable);
}

} // namespace

std::optional<BackupPlace> LoadBackupPlace(const QString& databasePath) {
    try {
        auto db = store::OpenCatalogue(databasePath);
        if (!db->tableExists(PlaceTable))
            return std::nullopt;
        const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> query(
            db->prepare(QStringLiteral("SELECT フォルダー, 同じディスク承知 FROM %1 LIMIT 1").arg(Quoted())),
            sqlite3_finalize);
        if (sqlite3_step(query.get()) != SQLITE_ROW || sqlite3_column_type(query.get(), 0) != SQLITE_TEXT ||
            sqlite3_column_bytes(query.get(), 0) > LongestPath * 4)
            return std::nullopt;
        const QString folder = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(query.get(), 0)),
                                                 sqlite3_column_bytes(query.get(), 0));
        if (folder.size() > LongestPath || folder.contains(QChar(0)) || QDir::isRelativePath(folder))
            return std::nullopt;
        return BackupPlace{QDir::cleanPath(folder), sqlite3_column_int(query.get(), 1) == 1};
    } catch (const platform::EngineError&) {
        return std::nullopt; // a missing or damaged table only costs the start folder
    }
}

void StoreBackupPlace(const QString& databasePath, const BackupPlace& place) {
    auto db = store::OpenCatalogue(databasePath);
    platform::Transaction tx(*db);
    // A table of another shape under this name (a tampered catalogue) is replaced.
    db->execute(QStringLiteral("DROP TABLE IF EXISTS %1").arg(Quoted()));
    db->execute(
        QStringLiteral("CREATE TABLE %1 (フォルダー TEXT NOT NULL, 同じディスク承知 INTEGER NOT NULL)").arg(Quoted()));
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> insert(
        db->prepare(QStringLiteral("INSERT INTO %1 VALUES (?, ?)").arg(Quoted())), sqlite3_finalize);
    const QByteArray utf8 = place.folder.toUtf8();
    sqlite3_bind_text(insert.get(), 1, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int(insert.get(), 2, place.sameDiskAccepted ? 1 : 0);
    if (sqlite3_step(insert.get()) != SQLITE_DONE)
        db->raise();
    tx.commit();
}

QString BackupStartFolder(const std::optional<BackupPlace>& place) {
    if (place && QFileInfo(place->folder).isDir())
        return place->folder;
    return QDir::homePath();
}

bool OnSameDisk(const QString& a, const QString& b) {
    struct stat sa {};
    struct stat sb {};
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0 && ::stat(QFile::encodeName(b).constData(), &sb) == 0 &&
           sa.st_dev == sb.st_dev;
}

} // namespace quelm::maintenance
