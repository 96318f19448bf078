#pragma once

#include <QString>
#include <functional>

namespace quelm::platform {

// Copies a folder with everything in it into targetParent, keeping the folder's own name. Returns the new folder's
// path, or an empty text when the copy failed (a half-made copy is removed again).
QString CopyFolderInto(const QString& sourceFolder, const QString& targetParent);

// Copies one file (source, target); false when it failed. Tests put a failing one in to play a full disk.
using FileCopier = std::function<bool(const QString& source, const QString& target)>;
bool CopyFile(const QString& source, const QString& target);

// Copies a folder with everything in it to the new path `target` (which must not exist yet). A half-made copy is
// removed again; returns false when the copy failed or would land inside its own source.
bool CopyFolderTo(const QString& sourceFolder, const QString& target, const FileCopier& copy = CopyFile);

// Removes a file if it is there; a missing file is not an error.
bool RemoveFileIfPresent(const QString& path);

// Whether anything (a file, a folder, a dangling link) has that name.
bool PathExists(const QString& path);

// Removes a file or a folder with everything in it, read-only ones too (a backup copied from read-only media);
// true when nothing is left under that name.
bool RemoveTree(const QString& path);

// Puts a file's data, or a folder's entries (the names a rename made), on the disk: a rename into place comes after
// this, so that a power cut cannot leave the new name on missing data.
bool SyncToDisk(const QString& path);

// Puts every file under the folder on the disk (one call for the whole file system that holds it).
bool SyncFileSystemOf(const QString& path);

} // namespace quelm::platform
