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

} // namespace quelm::platform
