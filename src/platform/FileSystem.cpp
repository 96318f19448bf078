#include "platform/FileSystem.h"

#include "platform/WriteFaults.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace quelm::platform {

namespace {

constexpr auto TreeEntries = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System;

CopyResult CopyTree(const QString& from, const QString& to, const FileCopier& copy, const CopyTick& tick) {
    if (!QDir().mkpath(to))
        return {CopyResult::Failed};
    QDirIterator it(from, TreeEntries);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        const QString target = QDir(to).filePath(entry.fileName());
        if (entry.isSymLink())
            continue; // links could lead outside the folder or loop back into it
        const CopyResult result =
            entry.isDir() ? CopyTree(entry.filePath(), target, copy, tick) : copy(entry.filePath(), target, tick);
        if (!result)
            return result;
        if (!entry.isDir() && tick && !tick({0, 1}))
            return {CopyResult::Stopped};
    }
    return {};
}

} // namespace

QString CopyFolderInto(const QString& sourceFolder, const QString& targetParent) {
    const QFileInfo source(sourceFolder);
    if (!source.isDir())
        return {};
    const QString target = QDir(targetParent).filePath(source.fileName());
    const QString sourcePath = source.canonicalFilePath();
    // Copying a folder onto itself or into itself would never end.
    if (QFileInfo(target).canonicalFilePath() == sourcePath ||
        QDir::cleanPath(targetParent).startsWith(sourcePath + '/'))
        return {};
    if (QFileInfo::exists(target))
        return {};
    if (!CopyTree(sourcePath, target, CopyFile, {})) {
        QDir(target).removeRecursively();
        return {};
    }
    return target;
}

CopyResult CopyFile(const QString& source, const QString& target, const CopyTick& tick) {
    QFile in(source);
    FaultAwareFile out(target);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return {CopyResult::Failed};
    QByteArray chunk;
    bool ok = true;
    bool stopped = false;
    while (ok && !(chunk = in.read(1 << 20)).isEmpty()) {
        ok = out.write(chunk) == chunk.size();
        stopped = ok && tick && !tick({chunk.size(), 0});
        ok = ok && !stopped;
    }
    ok = ok && in.error() == QFileDevice::NoError && out.flush();
    // The copy keeps the original's time, so that a restored picture does not look newer than it is.
    if (ok)
        out.setFileTime(in.fileTime(QFileDevice::FileModificationTime), QFileDevice::FileModificationTime);
    out.close();
    ok = ok && out.error() == QFileDevice::NoError;
    if (ok)
        return {};
    const bool full = out.diskFull();
    out.remove(); // a copy cut short (a full disk, a cancel) leaves nothing under the target's name
    return {stopped ? CopyResult::Stopped : full ? CopyResult::DiskFull : CopyResult::Failed};
}

CopyResult CopyFolderTo(const QString& sourceFolder, const QString& target, const FileCopier& copy,
                        const CopyTick& tick) {
    const QFileInfo source(sourceFolder);
    if (!source.isDir() || QFileInfo::exists(target))
        return {CopyResult::Failed};
    const QString sourcePath = source.canonicalFilePath();
    const QString targetPath = QDir::cleanPath(QFileInfo(target).absoluteFilePath());
    const QString targetParent = QFileInfo(targetPath).dir().canonicalPath();
    if (targetParent.isEmpty() || targetParent == sourcePath || targetParent.startsWith(sourcePath + '/'))
        return {CopyResult::Failed};
    const CopyResult result = CopyTree(sourcePath, targetPath, copy, tick);
    if (!result)
        RemoveTree(targetPath);
    return result;
}

CopyCount FolderSize(const QString& folder) {
    CopyCount size;
    QDirIterator it(folder, TreeEntries);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        if (entry.isSymLink())
            continue;
        if (entry.isDir()) {
            const CopyCount inner = FolderSize(entry.filePath());
            size.bytes += inner.bytes;
            size.files += inner.files;
        } else {
            size.bytes += entry.size();
            ++size.files;
        }
    }
    return size;
}

bool RemoveFileIfPresent(const QString& path) {
    return !QFileInfo::exists(path) || QFile::remove(path);
}

namespace {

std::filesystem::path FsPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// Folders of the tree become the owner's to change, so that their entries can be removed.
void MakeFoldersWritable(const std::filesystem::path& folder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::symlink_status(folder, ec).type() != fs::file_type::directory)
        return;
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ec);
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        MakeFoldersWritable(it->path());
}

} // namespace

bool PathExists(const QString& path) {
    std::error_code ec;
    return std::filesystem::symlink_status(FsPath(path), ec).type() != std::filesystem::file_type::not_found && !ec;
}

bool RemoveTree(const QString& path) {
    std::error_code ec;
    std::filesystem::remove_all(FsPath(path), ec);
    if (ec && PathExists(path)) {
        MakeFoldersWritable(FsPath(path));
        ec.clear();
        std::filesystem::remove_all(FsPath(path), ec);
    }
    return !ec && !PathExists(path);
}

namespace {

// sync(fd) on the file or folder at path, opened for reading only.
bool SyncOpened(const QString& path, int (*sync)(int)) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = sync(fd) == 0;
    ::close(fd);
    return ok;
}

} // namespace

bool SyncToDisk(const QString& path) {
    return SyncOpened(path, fsync);
}

bool SyncFileSystemOf(const QString& path) {
    return SyncOpened(path, syncfs);
}

} // namespace quelm::platform
