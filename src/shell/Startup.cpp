#include "shell/Startup.h"

#include "exchange/AccessCatalogue.h"
#include "exchange/ExchangeScreens.h"
#include "maintenance/BackupRestore.h"
#include "platform/Database.h"
#include "platform/Memory.h"
#include "platform/Ui.h"
#include "shell/MainWindow.h"
#include "store/Catalogue.h"
#include "store/PendingPictures.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>
#include <cerrno>
#include <signal.h>

namespace quelm::shell {

bool HeldByLiveCopy(const QString& lockPath) {
    QLockFile lock(lockPath);
    qint64 pid = 0;
    QString host, program;
    if (!lock.getLockInfo(&pid, &host, &program))
        return true; // unreadable: assume it is held rather than open the catalogue twice
    if (host != QSysInfo::machineHostName())
        return true; // a process on another machine cannot be looked at from here
    return pid > 0 && (kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH);
}

std::unique_ptr<QLockFile> LockDataFolder(platform::Ui& ui, const QString& dataFolder) {
    const QString native = QDir::toNativeSeparators(dataFolder);
    // On a first start the folder is made here, so that the lock holds from the very first start.
    QDir().mkpath(dataFolder);
    const QString lockPath = dataFolder + QLatin1Char('/') + LockFileName;
    auto lock = std::make_unique<QLockFile>(lockPath);
    // Only a dead holder makes a lock stale, never its age: a copy may stay open for days.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0))
        return lock;
    const bool readOnlyFolder = QFileInfo(dataFolder).isDir() && !QFileInfo(dataFolder).isWritable();
    // A folder that cannot hold a lock file is opened read-only (the start says so); so is one whose lock was left by
    // a copy that died here, when the folder does not let the lock be taken over.
    if (readOnlyFolder && (lock->error() != QLockFile::LockFailedError || !HeldByLiveCopy(lockPath)))
        return lock;
    if (lock->error() != QLockFile::LockFailedError) {
        ui.message(QStringLiteral("データフォルダ %1 をロックできないため、起動できません。"
                                  "フォルダーの場所と書き込みの権限を確かめてください。")
                       .arg(native),
                   platform::Icon::Critical, platform::Buttons::Ok, QStringLiteral("Error"));
        return nullptr;
    }
    qint64 pid = 0;
    QString host, program;
    QString holder;
    if (lock->getLockInfo(&pid, &host, &program))
        holder = QStringLiteral("\n（ホスト %1、プロセス %2）").arg(host).arg(pid);
    ui.message(
        QStringLiteral("データフォルダ %1 のカタログは、別に起動しているＣＤ管理Quelmが使用中です。").arg(native) +
            holder,
        platform::Icon::Critical, platform::Buttons::Ok, QStringLiteral("Error"));
    return nullptr;
}

QString DamagedCatalogueMessage(const QString& databasePath, const QString& problem) {
    return QStringLiteral("データベース %1 は壊れているため、起動できません。\r\n%2\r\n"
                          "データベースは変更していません。バックアップがある場合は、バックアップ先の Quelm.mdb を"
                          "このデータベースの場所にコピーしてから起動してください。")
        .arg(QDir::toNativeSeparators(databasePath), problem);
}

void WarnIfReadOnly(platform::Ui& ui, const QString& databasePath) {
    const QFileInfo file(databasePath);
    if (file.isWritable() && QFileInfo(file.absolutePath()).isWritable())
        return;
    // Said once at the start rather than as an engine error at the first record the user types.
    ui.message(QStringLiteral("データベース %1 は読み取り専用です。データの登録・変更・削除はできません。")
                   .arg(QDir::toNativeSeparators(databasePath)),
               platform::Icon::Exclamation, platform::Buttons::Ok, QStringLiteral("Error"));
}

int RunProgram(QApplication& app, platform::Ui& ui, const QString& dataFolder) {
    platform::KeepFreedMemory();
    exchange::InstallExchangeOpeners();
    const std::unique_ptr<QLockFile> lock = LockDataFolder(ui, dataFolder);
    if (!lock)
        return 1;
    // A cut-off import first: until it is settled the data folder may lack its catalogue.
    QStringList settled;
    if (auto import = exchange::SettleCutOffImport(dataFolder))
        settled << *import;
    settled << maintenance::SettleCutOffWork(
        dataFolder, platform::BusyTicker(ui, store::CompactingText, QStringLiteral("ＣＤ管理Quelm")));
    for (const QString& said : settled)
        ui.message(said, platform::Icon::Information, platform::Buttons::Ok, QStringLiteral("Information"));
    try {
        store::EnsureCatalogue(dataFolder);
    } catch (const platform::EngineError& e) {
        platform::ShowEngineError(ui, e.message());
        return 1;
    }
    store::AppState state;
    state.dataFolder = dataFolder;
    WarnIfReadOnly(ui, state.databasePath());
    MainWindow window(state, ui);
    if (!window.Form_Load())
        return 0;
    window.show();
    return app.exec();
}

} // namespace quelm::shell
