#pragma once

#include <QString>

namespace quelm::platform {

// Copies a folder with everything in it into targetParent, keeping the folder's own name. Returns the new folder's
// path, or an empty text when the copy failed (a half-made copy is removed again).
QString CopyFolderInto(const QString& sourceFolder, const QString& targetParent);

// Removes a file if it is there; a missing file is not an error.
bool RemoveFileIfPresent(const QString& path);

} // namespace quelm::platform
