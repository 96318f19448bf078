#pragma once

#include <QString>
#include <cstdint>
#include <functional>

namespace quelm::platform {

// Copies a folder with everything in it into targetParent, keeping the folder's own name. Returns the new folder's
// path, or an empty text when the copy failed (a half-made copy is removed again).
QString CopyFolderInto(const QString& sourceFolder, const QString& targetParent);

// Bytes and files of a copy.
struct CopyCount {
    std::int64_t bytes = 0;
    std::int64_t files = 0;
    bool operator==(const CopyCount&) const = default;
};

// Told during a long copy what was copied since the last call: the bytes of each piece written, then one file once a
// file is complete. Returning false stops the copy (the user cancelled), which then fails as a whole.
using CopyTick = std::function<bool(const CopyCount& more)>;

// How a copy ended: true only when everything was copied. A full disk is told apart, for the user's message.
struct CopyResult {
    enum Kind { Copied, Failed, DiskFull, Stopped };
    Kind kind = Copied;
    explicit operator bool() const { return kind == Copied; }
};

// Copies one file (source, target), telling tick of every piece; nothing is left under the target's name unless it
// was copied whole. Tests put a failing copier in to play a full disk.
using FileCopier = std::function<CopyResult(const QString& source, const QString& target, const CopyTick& tick)>;
CopyResult CopyFile(const QString& source, const QString& target, const CopyTick& tick = {});

// Copies a folder with everything in it to the new path `target` (which must not exist yet). A half-made copy is
// removed again; fails too when the copy would land inside its own source.
CopyResult CopyFolderTo(const QString& sourceFolder, const QString& target, const FileCopier& copy = CopyFile,
                        const CopyTick& tick = {});

// What CopyFolderTo would copy: the bytes and files under the folder (links not followed).
CopyCount FolderSize(const QString& folder);

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
