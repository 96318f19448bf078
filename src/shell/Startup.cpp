#include "shell/Startup.h"

#include "exchange/ExchangeScreens.h"
#include "maintenance/BackupRestore.h"
#include "platform/Database.h"
#include "platform/Ui.h"
#include "shell/MainWindow.h"
#include "store/Catalogue.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>

namespace quelm::shell {

std::unique_ptr<QLockFile> LockDataFolder(platform::Ui& ui, const QString& dataFolder) {
    auto lock = std::make_unique<QLockFile>(dataFolder + QLatin1Char('/') + LockFileName);
    // Only a dead holder makes a lock stale, never its age: a copy may stay open for days.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0) || lock->error() != QLockFile::LockFailedError)
        return lock;
    qint64 pid = 0;
    QString host, program;
    QString holder;
    if (lock->getLockInfo(&pid, &host, &program))
        holder = QStringLiteral("\n（ホスト %1、プロセス %2）").arg(host).arg(pid);
    ui.message(QStringLiteral("データフォルダ %1 のカタログは、別に起動しているＣＤ管理Quelmが使用中です。")
                       .arg(QDir::toNativeSeparators(dataFolder)) +
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
    exchange::InstallExchangeOpeners();
    const std::unique_ptr<QLockFile> lock = LockDataFolder(ui, dataFolder);
    if (!lock)
        return 1;
    maintenance::RemoveRestoreLeftovers(dataFolder);
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
