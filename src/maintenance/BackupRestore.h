#pragma once

#include "platform/FileSystem.h"
#include "store/AppState.h"

#include <QString>
#include <optional>

namespace quelm::maintenance {

// Every step below returns nullopt when it succeeded, else why it failed (for the user), with nothing of value lost.

// Creates the folder `name` (trimmed) in `parent`. A name that would lead out of the parent is refused.
std::optional<QString> CreateSubfolder(const QString& parent, const QString& name);

// Backs up Quelm.mdb and Quelm-画像 into `target`. Both are first written under temporary names in the target
// folder (the database through the engine's online backup, so never half a write) and swapped in only when complete:
// a failure leaves an earlier backup there whole.
std::optional<QString> BackupCatalogue(const store::AppState& state, const QString& target,
                                       const platform::FileCopier& copy = platform::CopyFile);

// Whether the file is a catalogue this program can open: an engine database whose 管理テーブル has the 59 columns
// and 16 rows, and which holds the tables its configuration names.
std::optional<QString> CheckCatalogueFile(const QString& path);

// Where the replaced catalogue and picture folder are kept by a restore.
QString ReplacedCatalogueName();     // Quelm.mdb.bak
QString ReplacedPictureFolderName(); // Quelm-画像.bak

// A restore copies into <name>.restore beside the catalogue and the picture folder, then renames the copy into place.
inline const QString RestoreSuffix = QStringLiteral(".restore");
// Removes what a restore that was cut off (a crash, a power cut) left there; the start of the program calls it once
// it holds the data folder's lock, so no other copy of the program is restoring meanwhile.
void RemoveRestoreLeftovers(const QString& dataFolder);

// Puts a copy of `source` in place of the program's catalogue. The copy is checked before anything is replaced; the
// current catalogue is kept as Quelm.mdb.bak, and the copy is renamed into place. On success state.config is read
// again from the restored catalogue, so the configuration of the old one is never written over it.
std::optional<QString> RestoreCatalogue(store::AppState& state, const QString& source);

// The picture folder part of a chosen folder path: the eight characters after its last separator (a separator at
// the very end does not count); nullopt when the path has no separator.
std::optional<QString> PictureFolderPart(const QString& path);

// Puts a copy of the folder `source` in place of the program's picture folder (whatever the source folder is
// called); the current one is kept as Quelm-画像.bak.
std::optional<QString> RestorePictures(const store::AppState& state, const QString& source,
                                       const platform::FileCopier& copy = platform::CopyFile);

} // namespace quelm::maintenance
