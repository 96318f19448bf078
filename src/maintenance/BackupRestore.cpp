#include "maintenance/BackupRestore.h"

#include "platform/Database.h"
#include "platform/FileSystem.h"
#include "platform/WriteFaults.h"
#include "store/Catalogue.h"
#include "store/ConfigCheck.h"
#include "store/ListTables.h"
#include "store/PendingPictures.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
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

using platform::RemoveTree;
using platform::StepPoint;
using platform::SyncToDisk;

bool Exists(const QString& path) {
    return platform::PathExists(path);
}

std::filesystem::path FsPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// A rename replaces a file of the target name in one step, so a reader sees the old file or the new one, never half.
bool Rename(const QString& from, const QString& to) {
    std::error_code ec;
    std::filesystem::rename(FsPath(from), FsPath(to), ec);
    return !ec;
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

// Adds up what a copy has done and tells the caller's report; remembers a cancel.
class CopyMeter {
public:
    CopyMeter(const CopyReport& report, const platform::CopyCount& total) : report_(report), total_(total) {}

    bool add(const platform::CopyCount& more) {
        done_.bytes += more.bytes;
        done_.files += more.files;
        stopped_ = stopped_ || (report_ && !report_(done_, total_));
        return !stopped_;
    }
    platform::CopyTick tick() {
        return [this](const platform::CopyCount& more) { return add(more); };
    }
    // The engine's copy tells its own bytes done so far; only what is new counts.
    platform::CopyProgress engineTick() {
        return [this, told = std::int64_t(0)](std::int64_t done, std::int64_t) mutable {
            const std::int64_t more = done - told;
            told = done;
            return add({more, 0});
        };
    }
    bool stopped() const { return stopped_; }

private:
    const CopyReport& report_;
    platform::CopyCount total_;
    platform::CopyCount done_;
    bool stopped_ = false;
};

platform::CopyCount FileSize(const QString& path) {
    return {QFileInfo(path).size(), 1};
}

platform::CopyCount operator+(platform::CopyCount a, const platform::CopyCount& b) {
    return {a.bytes + b.bytes, a.files + b.files};
}

using platform::CopyResult;

// Why a copy did not end whole, for the user: a cancel, a full disk (said as such), or the failure `what`.
QString CopyFailure(const CopyResult& result, const QString& cancelled, const QString& what) {
    if (result.kind == CopyResult::Stopped)
        return cancelled;
    if (result.kind == CopyResult::DiskFull)
        return QStringLiteral("ディスクの空きが足りません。") + what;
    return what;
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

namespace {

// The names of a backup in its folder, with the temporary names of the next one and the aside names of the earlier.
struct BackupNames {
    QString db, pictures, record;
    explicit BackupNames(const QString& folder)
        : db(In(folder, CatalogueFileName)), pictures(In(folder, PictureFolderName)),
          record(In(folder, BackupRecordName)) {}
    static QString Temp(const QString& name) { return name + QStringLiteral(".tmp"); }
    static QString Aside(const QString& name) { return name + QStringLiteral(".old"); }
    QStringList all() const { return {db, pictures, record}; }
};

QByteArray FileHash(const QString& path) {
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return {};
    return hash.result().toHex();
}

// The picture files of a folder as "size name" lines, in name order.
QStringList PictureList(const QString& folder) {
    QStringList lines;
    const QDir dir(folder);
    for (const QFileInfo& f : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name))
        lines << QStringLiteral("%1 %2").arg(f.size()).arg(f.fileName());
    return lines;
}

QString CatalogueLine(const QString& db) {
    return QStringLiteral("catalogue %1 %2").arg(QFileInfo(db).size()).arg(QString::fromLatin1(FileHash(db)));
}

const QString RecordHeader = QStringLiteral("Quelm backup 1");
const QString PictureLinePrefix = QStringLiteral("picture ");

// The record of a backup: what its catalogue and picture folder hold.
QByteArray BackupRecord(const QString& db, const QString& pictures) {
    QStringList lines{RecordHeader, CatalogueLine(db)};
    for (const QString& p : PictureList(pictures))
        lines << PictureLinePrefix + p;
    return (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

bool WriteSynced(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    const bool ok = file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size() &&
                    file.flush() && fsync(file.handle()) == 0;
    file.close();
    return ok;
}

QByteArray ReadSmallFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > (64 << 20))
        return {};
    return file.readAll();
}

// The last part of a backup: the earlier backup moves aside (its record first, so it never looks complete with the
// new files), the new files take the backup's names, the new record comes last, and what was aside goes. Every step
// can be repeated after a kill, which is how SettleBackup finishes a cut-off backup.
bool SwapInBackup(const QString& folder) {
    const BackupNames n(folder);
    if (Exists(n.record) && !Rename(n.record, BackupNames::Aside(n.record)))
        return false;
    StepPoint();
    for (const QString& name : {n.db, n.pictures}) {
        if (!Exists(BackupNames::Temp(name)))
            continue; // already in place
        if (Exists(name)) {
            if (Exists(BackupNames::Aside(name)) && !RemoveTree(BackupNames::Aside(name)))
                return false;
            if (!Rename(name, BackupNames::Aside(name)))
                return false;
            StepPoint();
        }
        if (!Rename(BackupNames::Temp(name), name))
            return false;
        StepPoint();
    }
    if (!SyncToDisk(folder) || !Rename(BackupNames::Temp(n.record), n.record) || !SyncToDisk(folder))
        return false;
    StepPoint();
    for (const QString& name : n.all()) {
        if (!RemoveTree(BackupNames::Aside(name)))
            return false;
        StepPoint();
    }
    return true;
}

// The engine's journal of the copy of the catalogue is one of the temporaries too.
QStringList Temporaries(const BackupNames& n) {
    QStringList temps;
    for (const QString& name : n.all())
        temps << BackupNames::Temp(name);
    return temps << BackupNames::Temp(n.db) + QStringLiteral("-journal");
}

bool RemoveTemporaries(const QString& folder) {
    bool ok = true;
    for (const QString& temp : Temporaries(BackupNames(folder)))
        ok = RemoveTree(temp) && ok;
    return ok;
}

bool AnyExists(const QStringList& paths) {
    return std::any_of(paths.begin(), paths.end(), Exists);
}

QStringList AsideNames(const BackupNames& n) {
    QStringList aside;
    for (const QString& name : n.all())
        aside << BackupNames::Aside(name);
    return aside;
}

} // namespace

Settled SettleBackup(const QString& target) {
    const BackupNames n(target);
    // The new record is written only once every new file is on the disk, and the earlier record moves aside first
    // in the swap: a new record without the earlier one means the swap had begun and can be finished.
    if (Exists(BackupNames::Temp(n.record)) && !Exists(n.record))
        return SwapInBackup(target) ? Settled::Finished : Settled::Failed;
    if (AnyExists(Temporaries(n)))
        return RemoveTemporaries(target) ? Settled::Undone : Settled::Failed;
    if (!AnyExists(AsideNames(n)))
        return Settled::Nothing;
    // Only what was aside is left: the new backup is in place. A folder aside without one in its place is what an
    // older version of the program left when it was cut off; it goes back.
    bool ok = true;
    for (const QString& name : n.all()) {
        const QString aside = BackupNames::Aside(name);
        if (Exists(aside))
            ok = (Exists(name) ? RemoveTree(aside) : Rename(aside, name)) && ok;
    }
    return ok ? Settled::Finished : Settled::Failed;
}

std::optional<QString> CheckBackupFolder(const QString& folder) {
    const BackupNames n(folder);
    const QString where = QDir::toNativeSeparators(folder);
    if (AnyExists(Temporaries(n)) || AnyExists(AsideNames(n)))
        return QStringLiteral("フォルダー %1 のバックアップは、作成の途中で中断されたため完全ではありません。"
                              "復元できません。別のバックアップを選ぶか、もう一度バックアップを作成してください。")
            .arg(where);
    if (!Exists(n.record))
        return std::nullopt; // a catalogue copied there by hand
    const QStringList lines = QString::fromUtf8(ReadSmallFile(n.record)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QStringList pictures;
    for (const QString& line : lines.mid(2))
        pictures << line.mid(PictureLinePrefix.size());
    if (lines.value(0) != RecordHeader || lines.value(1) != CatalogueLine(n.db) || pictures != PictureList(n.pictures))
        return QStringLiteral("フォルダー %1 のバックアップは、作成後にデータベースまたは画像フォルダーが変わっています"
                              "（別のバックアップと混ざっています）。復元できません。")
            .arg(where);
    return std::nullopt;
}

std::optional<QString> BackupCatalogue(const AppState& state, const QString& target, const platform::FileCopier& copy,
                                       const CopyReport& report) {
    if (!QFileInfo(target).isDir())
        return QStringLiteral("バックアップ先フォルダー '%1' がありません。").arg(target);
    const QString folder = Canonical(target);
    if (folder == Canonical(state.dataFolder))
        return QStringLiteral("プログラムのフォルダーそのものにはバックアップできません。");
    if (IsSameOrInside(folder, Canonical(state.pictureFolder())))
        return QStringLiteral("画像フォルダーの中にはバックアップできません。");

    const BackupNames n(folder);
    const QString where = QDir::toNativeSeparators(folder);
    const QString marker = In(state.dataFolder, BackupMarkerName);
    // What a cut-off backup left is settled first, so that the earlier backup is whole before anything moves.
    if (SettleBackup(folder) == Settled::Failed || !RemoveTemporaries(folder))
        return QStringLiteral("バックアップ先 '%1' に前回中断されたバックアップが残っていて、片付けられません。")
            .arg(where);
    if (!WriteSynced(marker, QFile::encodeName(folder)))
        return QStringLiteral("データフォルダーに書き込めないため、バックアップできません。");
    StepPoint();
    const auto fail = [&](const QString& why) {
        RemoveTemporaries(folder);
        platform::RemoveFileIfPresent(marker);
        return std::optional<QString>(why + QStringLiteral("\r\n以前のバックアップはそのまま残っています。"));
    };
    const QString cancelled = QStringLiteral("バックアップを中止しました。");

    const bool hasPictures = QFileInfo(state.pictureFolder()).isDir();
    CopyMeter meter(report, FileSize(state.databasePath()) +
                                (hasPictures ? platform::FolderSize(state.pictureFolder()) : platform::CopyCount{}));
    try {
        auto live = OpenCatalogue(state.databasePath());
        if (!platform::CopyDatabase(*live, BackupNames::Temp(n.db), meter.engineTick()) || !meter.add({0, 1}))
            return fail(cancelled);
    } catch (const EngineError& e) {
        return fail(QStringLiteral("データベースを '%1' に複写できません。\r\n").arg(where) + e.message());
    }
    StepPoint();
    const QString picturesTemp = BackupNames::Temp(n.pictures);
    CopyResult copied{CopyResult::Failed};
    if (hasPictures)
        copied = platform::CopyFolderTo(state.pictureFolder(), picturesTemp, copy, meter.tick());
    else if (QDir().mkdir(picturesTemp))
        copied = {CopyResult::Copied};
    if (!copied)
        return fail(
            CopyFailure(copied, cancelled, QStringLiteral("画像フォルダーを '%1' に複写できません。").arg(where)));
    StepPoint();
    // Everything new is on the disk before the record that says it is complete.
    if (!platform::SyncFileSystemOf(folder) ||
        !WriteSynced(BackupNames::Temp(n.record), BackupRecord(BackupNames::Temp(n.db), picturesTemp)) ||
        !SyncToDisk(folder))
        return fail(QStringLiteral("バックアップ先 '%1' に書き込めません。").arg(where));
    StepPoint();
    const bool swapped = SwapInBackup(folder) || SettleBackup(folder) == Settled::Finished;
    platform::RemoveFileIfPresent(marker);
    if (!swapped)
        return QStringLiteral("バックアップ先 '%1' のファイルを置き換えられません。").arg(where);
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

std::optional<QString> RestoreCatalogue(AppState& state, const QString& source, const CopyReport& report) {
    const QString live = state.databasePath();
    const QString temp = live + RestoreSuffix;
    const QString kept = In(state.dataFolder, ReplacedCatalogueName());
    const QString unchanged = QStringLiteral("\r\nデータベースは復元前のままです。");
    if (!QFileInfo(source).isFile())
        return QStringLiteral("ファイル '%1' がありません。").arg(source);
    if (auto problem = CheckBackupFolder(QFileInfo(source).absolutePath()))
        return problem;
    // A journal beside the catalogue belongs to it; the engine would play it into the restored file.
    for (const QString& suffix : {QStringLiteral("-journal"), QStringLiteral("-wal")}) {
        if (Exists(live + suffix))
            return QStringLiteral("データベースが使用中です（%1 があります）。").arg(live + suffix);
    }
    CopyMeter meter(report, FileSize(source));
    CopyResult copied{CopyResult::Failed};
    if (RemoveTree(temp))
        copied = platform::CopyFile(source, temp, meter.tick());
    if (copied && !meter.add({0, 1}))
        copied = {CopyResult::Stopped};
    if (copied && !SyncToDisk(temp))
        copied = {CopyResult::Failed};
    if (!copied) {
        RemoveTree(temp);
        return CopyFailure(copied, QStringLiteral("データベースの復元を中止しました。"),
                           QStringLiteral("'%1' を複写できません。").arg(source)) +
               unchanged;
    }
    // The copy is what goes into place, so the copy is what is checked.
    if (auto problem = CheckCatalogueFile(temp)) {
        RemoveTree(temp);
        return QStringLiteral("'%1' はＣＤ管理Quelmのデータベースとして開けないため、復元できません。\r\n%2")
            .arg(source, *problem);
    }
    // The current catalogue keeps its name until the copy replaces it in one rename, so that a crash at any moment
    // leaves a whole catalogue in place; the kept copy is a second name of the current file.
    StepPoint();
    if (Exists(live) && !KeepAs(live, kept)) {
        RemoveTree(temp);
        return QStringLiteral("'%1' を %2 にできません。").arg(live, ReplacedCatalogueName());
    }
    StepPoint();
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

std::optional<QString> PictureFolderPart(const QString& path) {
    QString p = path;
    if (p.endsWith(QLatin1Char('/')))
        p.chop(1);
    const qsizetype slash = p.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return std::nullopt;
    return p.mid(slash + 1, 8);
}

std::optional<QString> RestorePictures(const AppState& state, const QString& source, const platform::FileCopier& copy,
                                       const CopyReport& report) {
    if (!QFileInfo(source).isDir())
        return QStringLiteral("フォルダー '%1' がありません。").arg(source);
    const QString live = state.pictureFolder();
    if (Canonical(source) == Canonical(live))
        return QStringLiteral("使用中の画像フォルダーそのものからは復元できません。");
    if (QFileInfo(source).fileName() == PictureFolderName) {
        if (auto problem = CheckBackupFolder(QFileInfo(source).absolutePath()))
            return problem;
    }
    const QString temp = live + RestoreSuffix;
    const QString kept = In(state.dataFolder, ReplacedPictureFolderName());
    const QString unchanged = QStringLiteral("\r\n画像フォルダーは復元前のままです。");
    if (!RemoveTree(temp))
        return QStringLiteral("以前の復元で残った一時フォルダーを削除できません。") + unchanged;
    StepPoint();
    CopyMeter meter(report, platform::FolderSize(source));
    CopyResult copied = platform::CopyFolderTo(source, temp, copy, meter.tick());
    if (copied && !platform::SyncFileSystemOf(temp))
        copied = {CopyResult::Failed};
    if (!copied) {
        RemoveTree(temp);
        return CopyFailure(copied, QStringLiteral("画像フォルダーの復元を中止しました。"),
                           QStringLiteral("'%1' を複写できません。").arg(source)) +
               unchanged;
    }
    StepPoint();
    // The kept folder of an earlier restore goes only once the copy is whole, so that a cancel or a failed copy leaves
    // it too. A start after a cut-off restore takes a copy beside a kept folder and no picture folder as a swap to
    // finish, and a copy beside the picture folder as one to undo.
    if (!RemoveTree(kept)) {
        RemoveTree(temp);
        return QStringLiteral("以前の復元で残した %1 を削除できません。").arg(ReplacedPictureFolderName()) + unchanged;
    }
    StepPoint();
    const bool hadLive = Exists(live);
    if (hadLive && !Rename(live, kept)) {
        RemoveTree(temp);
        return QStringLiteral("画像フォルダーを %1 にできません。").arg(ReplacedPictureFolderName()) + unchanged;
    }
    StepPoint();
    if (!Rename(temp, live)) {
        if (hadLive)
            Rename(kept, live);
        RemoveTree(temp);
        return QStringLiteral("画像フォルダーを置き換えられません。") + unchanged;
    }
    SyncToDisk(state.dataFolder);
    return std::nullopt;
}

namespace {

// The catalogue's copy never replaced anything until its one rename: a copy left over is removed.
std::optional<QString> SettleCatalogueRestore(const QString& dataFolder) {
    const QString temp = In(dataFolder, CatalogueFileName + RestoreSuffix);
    if (!Exists(temp))
        return std::nullopt;
    RemoveTree(temp);
    return QStringLiteral(
        "前回のデータベースの復元は途中で中断されたため、取り消しました。データベースは復元前のままです。");
}

std::optional<QString> SettlePictureRestore(const QString& dataFolder) {
    const QString live = In(dataFolder, PictureFolderName);
    const QString temp = live + RestoreSuffix;
    const QString kept = In(dataFolder, ReplacedPictureFolderName());
    if (!Exists(temp))
        return std::nullopt;
    // The copy was whole once the folder it replaces had moved to the kept name.
    if (!Exists(live) && Exists(kept) && Rename(temp, live))
        return QStringLiteral("前回の画像フォルダーの復元は途中で中断されたため、完了させました。"
                              "復元前の画像フォルダーは %1 として残っています。")
            .arg(ReplacedPictureFolderName());
    RemoveTree(temp);
    return QStringLiteral(
        "前回の画像フォルダーの復元は途中で中断されたため、取り消しました。画像フォルダーは復元前のままです。");
}

std::optional<QString> SettleBackupOf(const QString& dataFolder) {
    const QString marker = In(dataFolder, BackupMarkerName);
    if (!Exists(marker))
        return std::nullopt;
    const QString target = QFile::decodeName(ReadSmallFile(marker));
    const Settled settled = target.isEmpty() ? Settled::Nothing : SettleBackup(target);
    const QString where = QDir::toNativeSeparators(target);
    if (settled == Settled::Failed)
        return QStringLiteral("前回のバックアップ（%1）は途中で中断されました。バックアップ先を片付けられないため、"
                              "もう一度バックアップを作成してください。")
            .arg(where);
    platform::RemoveFileIfPresent(marker);
    if (settled == Settled::Finished)
        return QStringLiteral("前回のバックアップ（%1）は途中で中断されたため、完了させました。").arg(where);
    if (settled == Settled::Undone)
        return QStringLiteral("前回のバックアップ（%1）は途中で中断されたため、取り消しました。"
                              "以前のバックアップはそのまま残っています。")
            .arg(where);
    return std::nullopt;
}

// Pictures listed for deletion by an initialisation or a deletion of a category's data that was cut off.
std::optional<QString> FinishPictureDeletion(const QString& dataFolder, const std::function<void()>& compacting) {
    if (!QFileInfo(In(dataFolder, CatalogueFileName)).isFile())
        return std::nullopt;
    try {
        return FinishPendingPictureDeletion(In(dataFolder, CatalogueFileName), In(dataFolder, PictureFolderName),
                                            compacting);
    } catch (const EngineError&) {
        return std::nullopt; // a catalogue that cannot be opened is the start's own check to report
    }
}

} // namespace

QStringList SettleCutOffWork(const QString& dataFolder, const std::function<void()>& compacting) {
    QStringList said;
    for (const auto& settle : {SettleBackupOf, SettleCatalogueRestore, SettlePictureRestore}) {
        if (auto text = settle(dataFolder))
            said << *text;
    }
    if (auto text = FinishPictureDeletion(dataFolder, compacting))
        said << *text;
    return said;
}

} // namespace quelm::maintenance
