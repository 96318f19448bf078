#include "platform/FileSystem.h"

#include "platform/WriteFaults.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace quelm::platform {

namespace {

bool CopyTree(const QString& from, const QString& to, const FileCopier& copy) {
    if (!QDir().mkpath(to))
        return false;
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        const QString target = QDir(to).filePath(entry.fileName());
        if (entry.isSymLink())
            continue; // links could lead outside the folder or loop back into it
        if (entry.isDir() ? !CopyTree(entry.filePath(), target, copy) : !copy(entry.filePath(), target))
            return false;
    }
    return true;
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
    if (!CopyTree(sourcePath, target, CopyFile)) {
        QDir(target).removeRecursively();
        return {};
    }
    return target;
}

bool CopyFile(const QString& source, const QString& target) {
    QFile in(source);
    FaultAwareFile out(target);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    QByteArray chunk;
    bool ok = true;
    while (ok && !(chunk = in.read(1 << 20)).isEmpty())
        ok = out.write(chunk) == chunk.size();
    ok = ok && in.error() == QFileDevice::NoError && out.flush();
    out.close();
    if (!ok)
        out.remove(); // a copy cut short (a full disk) leaves nothing under the target's name
    return ok && out.error() == QFileDevice::NoError;
}

bool CopyFolderTo(const QString& sourceFolder, const QString& target, const FileCopier& copy) {
    const QFileInfo source(sourceFolder);
    if (!source.isDir() || QFileInfo::exists(target))
        return false;
    const QString sourcePath = source.canonicalFilePath();
    const QString targetPath = QDir::cleanPath(QFileInfo(target).absoluteFilePath());
    const QString targetParent = QFileInfo(targetPath).dir().canonicalPath();
    if (targetParent.isEmpty() || targetParent == sourcePath || targetParent.startsWith(sourcePath + '/'))
        return false;
    if (!CopyTree(sourcePath, targetPath, copy)) {
        QDir(targetPath).removeRecursively();
        return false;
    }
    return true;
}

bool RemoveFileIfPresent(const QString& path) {
    return !QFileInfo::exists(path) || QFile::remove(path);
}

} // namespace quelm::platform
