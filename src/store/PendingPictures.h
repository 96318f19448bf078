#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace quelm::platform {
class Database;
}

namespace quelm::store {

// Picture files cannot be rolled back with the rows they belong to, so a write that makes pictures go (the
// initialisation, deleting a category's data) lists them in this table inside its own transaction and deletes the
// files after the commit. A kill before the files are gone leaves the list in the catalogue, and the next start
// finishes the deletion.
inline const QString PendingPicturesTable = QStringLiteral("削除待ち画像");

// Lists the files (names in the picture folder) inside the caller's transaction.
void ListPicturesToDelete(platform::Database& db, const QStringList& names);

// Deletes the listed files from the picture folder, then the list (in one transaction). Returns the files that could
// not be deleted (the list stays for the next start), empty when all are gone.
QStringList DeleteListedPictures(const QString& databasePath, const QString& pictureFolder);

// Called again and again while the file is compacted, which can take a while on a large catalogue: a progress
// window's chance to paint.
using CompactTick = std::function<void()>;
// What the progress window says meanwhile.
inline const QString CompactingText = QStringLiteral("データベースを最適化しています…");

// At start: finishes a deletion cut off before; says so for the user, nullopt when nothing was pending. The file is
// compacted afterwards.
std::optional<QString> FinishPendingPictureDeletion(const QString& databasePath, const QString& pictureFolder,
                                                    const CompactTick& tick = {});

// Gives the file's free pages back to the disk (after a deletion of much data); false when it could not (the engine
// needs room for a second copy), the file then as it was.
bool Compact(const QString& databasePath, const CompactTick& tick = {});

} // namespace quelm::store
