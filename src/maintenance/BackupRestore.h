#pragma once

#include "platform/FileSystem.h"
#include "store/AppState.h"

#include <QString>
#include <functional>
#include <optional>

namespace quelm::maintenance {

// Every step below returns nullopt when it succeeded, else why it failed (for the user), with nothing of value lost.

// Told as a backup or a restore copies: what it has copied so far of all it copies (bytes and files). False from it
// cancels the work, which then leaves everything as it was before and says so.
using CopyReport = std::function<bool(const platform::CopyCount& done, const platform::CopyCount& total)>;

// Creates the folder `name` (trimmed) in `parent`. A name that would lead out of the parent is refused.
std::optional<QString> CreateSubfolder(const QString& parent, const QString& name);

// Backs up Quelm.mdb and Quelm-画像 into `target`, the layout a user can also copy by hand. Both are first written
// under temporary names in the target folder (the database through the engine's online backup, so never half a
// write) and put on the disk; then the record of the backup (BackupRecordName) is written, and only then the earlier
// backup moves aside and the new one takes its names. A kill at any step leaves either backup whole: the next backup
// into that folder, or the next start of the program, finishes or undoes the cut-off one.
std::optional<QString> BackupCatalogue(const store::AppState& state, const QString& target,
                                       const platform::FileCopier& copy = platform::CopyFile,
                                       const CopyReport& report = {});

// Written last into a backup folder: the catalogue's size and hash and the list of pictures. A backup without it
// (or with files that do not match it) is incomplete or mixed.
inline const QString BackupRecordName = QStringLiteral("Quelm-バックアップ記録.txt");
// Beside the catalogue while a backup runs: the folder the backup goes to, for the start after a cut-off backup.
inline const QString BackupMarkerName = QStringLiteral("Quelm-バックアップ中.txt");

enum class Settled { Nothing, Finished, Undone, Failed };
// Settles what a cut-off backup left in `target`: the new backup is swapped in where it was complete (its record
// written), else its copies are removed and the earlier backup stays.
Settled SettleBackup(const QString& target);

// Whether the folder of a backup can be restored from: nullopt for a complete backup, and for a folder that holds
// a catalogue copied by hand (no record and nothing left by a cut-off backup); else why not.
std::optional<QString> CheckBackupFolder(const QString& folder);

// Whether the file is a catalogue this program can open: an engine database whose 管理テーブル has the 59 columns
// and 16 rows, and which holds the tables its configuration names.
std::optional<QString> CheckCatalogueFile(const QString& path);

// Where the replaced catalogue and picture folder are kept by a restore.
QString ReplacedCatalogueName();     // Quelm.mdb.bak
QString ReplacedPictureFolderName(); // Quelm-画像.bak

// A restore copies into <name>.restore beside the catalogue and the picture folder, then renames the copy into place.
inline const QString RestoreSuffix = QStringLiteral(".restore");

// Settles a backup and a restore that were cut off (a crash, a power cut): each is finished where its new files
// were complete, else undone; a picture deletion listed in the catalogue (store/PendingPictures) is finished. Returns
// what was done, for the user; empty when nothing had been cut off. The start of the program calls it once it holds the
// data folder's lock, so no other copy is at work meanwhile. compacting ticks while the file is compacted after a
// finished picture deletion.
QStringList SettleCutOffWork(const QString& dataFolder, const std::function<void()>& compacting = {});

// Puts a copy of `source` in place of the program's catalogue. The copy is checked before anything is replaced; the
// current catalogue is kept as Quelm.mdb.bak, and the copy is renamed into place. On success state.config is read
// again from the restored catalogue, so the configuration of the old one is never written over it.
std::optional<QString> RestoreCatalogue(store::AppState& state, const QString& source, const CopyReport& report = {});

// The picture folder part of a chosen folder path: the eight characters after its last separator (a separator at
// the very end does not count); nullopt when the path has no separator.
std::optional<QString> PictureFolderPart(const QString& path);

// Puts a copy of the folder `source` in place of the program's picture folder (whatever the source folder is
// called); the current one is kept as Quelm-画像.bak.
std::optional<QString> RestorePictures(const store::AppState& state, const QString& source,
                                       const platform::FileCopier& copy = platform::CopyFile,
                                       const CopyReport& report = {});

} // namespace quelm::maintenance
