#include "maintenance/BackupRestore.h"

#include "platform/Database.h"
#include "platform/FileSystem.h"
#include "store/Catalogue.h"
#include "store/ConfigCheck.h"
#include "store/ListTables.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sqlite3.h>
#include <system_error>
#include <unistd.h>

namespace quelm::maintenance {

using platform::Database;
using platform::EngineError;
using namespace store;

namespace {

std::filesystem::path FsPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

bool Exists(const QString& path) {
    std::error_code ec;
    return std::filesystem::symlink_status(FsPath(path), ec).type() != std::filesystem::file_type::not_found && !ec;
}

// Removes a file or a folder with its contents; true when nothing is left under that name.
bool RemoveTree(const QString& path) {
    std::error_code ec;
    std::filesystem::remove_all(FsPath(path), ec);
    return !ec && !Exists(path);
}

// A rename replaces a file of the target name in one step, so a reader sees the old file or the new one, never half.
bool Rename(const QString& from, const QString& to) {
    std::error_code ec;
    std::filesystem::rename(FsPath(from), FsPath(to), ec);
    return !ec;
}

// On the disk before it is renamed into place, so that a power cut cannot leave the new name on missing data.
bool SyncToDisk(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && fsync(file.handle()) == 0;
}

// Swaps two names in one step (both must exist); false where the file system cannot, and nothing changed then.
bool Exchange(const QString& a, const QString& b) {
    return renameat2(AT_FDCWD, QFile::encodeName(a).constData(), AT_FDCWD, QFile::encodeName(b).constData(),
                     RENAME_EXCHANGE) == 0;
}

// Gives the file a second name (a hard link, or a copy where links are not possible), replacing what had that name.
bool KeepAs(const QString& file, const QString& name) {
    if (!RemoveTree(name))
        return false;
    std::error_code ec;
    std::filesystem::create_hard_link(FsPath(file), FsPath(name), ec);
    return !ec || QFile::copy(file, name);
}

QString Canonical(const QString& path) {
    return QFileInfo(path).canonicalFilePath();
}

bool IsSameOrInside(const QString& path, const QString& folder) {
    return !path.isEmpty() && !folder.isEmpty() && (path == folder || path.startsWith(folder + QLatin1Char('/')));
}

QString In(const QString& folder, const QString& name) {
    return QDir(folder).filePath(name);
}

void RequireConfigTable(Database& db) {
    if (!db.tableExists(ConfigTable))
        throw EngineError(QStringLiteral("%1 がありません。").arg(ConfigTable));
    QStringList names;
    for (const platform::Column& c : db.columns(ConfigTable))
        names << c.name;
    if (names != ConfigColumns())
        throw EngineError(QStringLiteral("%1 の列が違います（%2 列）。").arg(ConfigTable).arg(names.size()));
    auto rs = db.openTable(ConfigTable);
    int rows = 0;
    for (; !rs->eof(); rs->moveNext()) {
        ++rows;
        if (rs->value(0).toInt() != rows)
            throw EngineError(QStringLiteral("%1 の KeyNo が 1〜16 の順になっていません。").arg(ConfigTable));
    }
    if (rows != 16)
        throw EngineError(QStringLiteral("%1 の行の数が違います（%2 行）。").arg(ConfigTable).arg(rows));
}

void RequireIntact(Database& db) {
    sqlite3_stmt* stmt = db.prepare(QStringLiteral("PRAGMA quick_check"));
    const bool ok =
        sqlite3_step(stmt) == SQLITE_ROW &&
        QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0))) == QLatin1String("ok");
    sqlite3_finalize(stmt);
    if (!ok)
        throw EngineError(QStringLiteral("データベースが壊れています。"));
}

} // namespace

std::optional<QString> CreateSubfolder(const QString& parent, const QString& name) {
    const QString folder = name.trimmed();
    if (folder.isEmpty() || folder == QLatin1String(".") || folder == QLatin1String("..") ||
        folder.contains(QLatin1Char('/')) || folder.contains(QChar(0)))
        return QStringLiteral("フォルダー名「%1」は使えません。").arg(folder);
    if (!QFileInfo(parent).isDir())
        return QStringLiteral("フォルダー '%1' がありません。").arg(parent);
    if (Exists(In(parent, folder)))
        return QStringLiteral("'%1' は既にあります。").arg(In(parent, folder));
    if (!QDir(parent).mkdir(folder))
        return QStringLiteral("フォルダー '%1' を作成できません。").arg(In(parent, folder));
    return std::nullopt;
}

std::optional<QString> BackupCatalogue(const AppState& state, const QString& target, const platform::FileCopier& copy) {
    if (!QFileInfo(target).isDir())
        return QStringLiteral("バックアップ先フォルダー '%1' がありません。").arg(target);
    const QString folder = Canonical(target);
    if (folder == Canonical(state.dataFolder))
        return QStringLiteral("プログラムのフォルダーそのものにはバックアップできません。");
    if (IsSameOrInside(folder, Canonical(state.pictureFolder())))
        return QStringLiteral("画像フォルダーの中にはバックアップできません。");

    const QString db = In(folder, CatalogueFileName);
    const QString dbTemp = db + QStringLiteral(".tmp");
    const QString pictures = In(folder, PictureFolderName);
    const QString picturesTemp = pictures + QStringLiteral(".tmp");
    const QString picturesOld = pictures + QStringLiteral(".old");
    const auto cleanUp = [&] {
        RemoveTree(dbTemp);
        RemoveTree(picturesTemp);
    };
    // Left behind by a backup that was cut off: never the backup itself.
    if (!RemoveTree(dbTemp) || !RemoveTree(picturesTemp) || !RemoveTree(picturesOld))
        return QStringLiteral("'%1' の一時ファイルを削除できません。").arg(folder);

    try {
        auto live = OpenCatalogue(state.databasePath());
        platform::CopyDatabase(*live, dbTemp);
    } catch (const EngineError& e) {
        cleanUp();
        return e.message();
    }
    const bool copied = QFileInfo(state.pictureFolder()).isDir()
                            ? platform::CopyFolderTo(state.pictureFolder(), picturesTemp, copy)
                            : QDir().mkdir(picturesTemp);
    if (!copied) {
        cleanUp();
        return QStringLiteral("画像フォルダーを '%1' に複写できません。").arg(folder);
    }

    // Both copies are whole: now the swap, undone step by step if a rename fails.
    const bool hadPictures = Exists(pictures);
    if (hadPictures && !Rename(pictures, picturesOld)) {
        cleanUp();
        return QStringLiteral("'%1' を置き換えられません。").arg(pictures);
    }
    if (!Rename(picturesTemp, pictures)) {
        if (hadPictures)
            Rename(picturesOld, pictures);
        cleanUp();
        return QStringLiteral("'%1' を置き換えられません。").arg(pictures);
    }
    if (!Rename(dbTemp, db)) {
        Rename(pictures, picturesTemp);
        if (hadPictures)
            Rename(picturesOld, pictures);
        cleanUp();
        return QStringLiteral("'%1' を置き換えられません。").arg(db);
    }
    RemoveTree(picturesOld);
    return std::nullopt;
}

std::optional<QString> CheckCatalogueFile(const QString& path) {
    try {
        auto db = Database::open(path);
        RequireIntact(*db);
        RequireConfigTable(*db);
        const CategoryConfig config = LoadConfig(*db);
        if (auto problem = CheckCategoryTables(*db, config))
            return problem;
        const QStringList lists = MakeListTableNames();
        for (int slot = 0; slot < ListSlotCount; ++slot) {
            if (!ListName(config, slot).isEmpty() && !db->tableExists(lists[slot]))
                throw EngineError(QStringLiteral("テーブル「%1」がありません。").arg(lists[slot]));
        }
    } catch (const EngineError& e) {
        return e.message();
    }
    return std::nullopt;
}

QString ReplacedCatalogueName() {
    return CatalogueFileName + QStringLiteral(".bak");
}

QString ReplacedPictureFolderName() {
    return PictureFolderName + QStringLiteral(".bak");
}

std::optional<QString> RestoreCatalogue(AppState& state, const QString& source) {
    const QString live = state.databasePath();
    const QString temp = live + RestoreSuffix;
    const QString kept = In(state.dataFolder, ReplacedCatalogueName());
    if (!QFileInfo(source).isFile())
        return QStringLiteral("ファイル '%1' がありません。").arg(source);
    // A journal beside the catalogue belongs to it; the engine would play it into the restored file.
    for (const QString& suffix : {QStringLiteral("-journal"), QStringLiteral("-wal")}) {
        if (Exists(live + suffix))
            return QStringLiteral("データベースが使用中です（%1 があります）。").arg(live + suffix);
    }
    if (!RemoveTree(temp) || !platform::CopyFile(source, temp) || !SyncToDisk(temp)) {
        RemoveTree(temp);
        return QStringLiteral("'%1' を複写できません。").arg(source);
    }
    // The copy is what goes into place, so the copy is what is checked.
    if (auto problem = CheckCatalogueFile(temp)) {
        RemoveTree(temp);
        return QStringLiteral("'%1' はＣＤ管理Quelmのデータベースとして開けないため、復元できません。\r\n%2")
            .arg(source, *problem);
    }
    // The current catalogue keeps its name until the copy replaces it in one rename, so that a crash at any moment
    // leaves a whole catalogue in place; the kept copy is a second name of the current file.
    if (Exists(live) && !KeepAs(live, kept)) {
        RemoveTree(temp);
        return QStringLiteral("'%1' を %2 にできません。").arg(live, ReplacedCatalogueName());
    }
    if (!Rename(temp, live)) {
        RemoveTree(temp);
        return QStringLiteral("'%1' を置き換えられません。").arg(live);
    }
    try {
        auto db = OpenCatalogue(live);
        state.config = LoadConfig(*db);
    } catch (const EngineError& e) {
        return e.message();
    }
    return std::nullopt;
}

void RemoveRestoreLeftovers(const QString& dataFolder) {
    RemoveTree(In(dataFolder, CatalogueFileName + RestoreSuffix));
    RemoveTree(In(dataFolder, PictureFolderName + RestoreSuffix));
}

std::optional<QString> PictureFolderPart(const QString& path) {
    QString p = path;
    if (p.endsWith(QLatin1Char('/')))
        p.chop(1);
    const qsizetype slash = p.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return std::nullopt;
    return p.mid(slash + 1, 8);
}

std::optional<QString> RestorePictures(const AppState& state, const QString& source, const platform::FileCopier& copy) {
    if (!QFileInfo(source).isDir())
        return QStringLiteral("フォルダー '%1' がありません。").arg(source);
    const QString live = state.pictureFolder();
    if (Canonical(source) == Canonical(live))
        return QStringLiteral("使用中の画像フォルダーそのものからは復元できません。");
    const QString temp = live + RestoreSuffix;
    const QString kept = In(state.dataFolder, ReplacedPictureFolderName());
    if (!RemoveTree(temp) || !platform::CopyFolderTo(source, temp, copy)) {
        RemoveTree(temp);
        return QStringLiteral("'%1' を複写できません。").arg(source);
    }
    const bool hadLive = Exists(live);
    if (hadLive && !RemoveTree(kept)) {
        RemoveTree(temp);
        return QStringLiteral("'%1' を %2 にできません。").arg(live, ReplacedPictureFolderName());
    }
    // Swapped in one step where the file system can, so that the program's folder never lacks its picture folder;
    // the old pictures then move on to the kept name.
    if (hadLive && Exchange(temp, live)) {
        Rename(temp, kept);
        return std::nullopt;
    }
    if (hadLive && !Rename(live, kept)) {
        RemoveTree(temp);
        return QStringLiteral("'%1' を %2 にできません。").arg(live, ReplacedPictureFolderName());
    }
    if (!Rename(temp, live)) {
        if (hadLive)
            Rename(kept, live);
        RemoveTree(temp);
        return QStringLiteral("'%1' を置き換えられません。").arg(live);
    }
    return std::nullopt;
}

} // namespace quelm::maintenance
