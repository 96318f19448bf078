// A second copy of the program on one data folder.
#include "TestCatalogue.h"
#include "platform/ScriptedUi.h"
#include "shell/Startup.h"

#include <QCoreApplication>
#include <QFile>
#include <QLockFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quelm;

namespace {

TEST(InstanceLock, ASecondCopyIsToldWhoHoldsTheFolderAndStops) {
    test::TestCatalogue cat;
    auto first = shell::LockDataFolder(cat.ui, cat.folder());
    ASSERT_TRUE(first && first->isLocked());
    auto second = shell::LockDataFolder(cat.ui, cat.folder());
    EXPECT_FALSE(second);
    ASSERT_EQ(cat.ui.messages.size(), 1);
    const QString text = cat.ui.messages[0].text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("データフォルダ ") + cat.folder())) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("別に起動しているＣＤ管理Quelmが使用中です。")));
    EXPECT_TRUE(text.contains(QStringLiteral("プロセス %1）").arg(QCoreApplication::applicationPid())));
    EXPECT_EQ(cat.ui.messages[0].icon, platform::Icon::Critical);

    first.reset(); // the first copy ended
    EXPECT_TRUE(shell::LockDataFolder(cat.ui, cat.folder()));
}

TEST(InstanceLock, TheLockOfADeadCopyIsTakenOver) {
    test::TestCatalogue cat;
    QFile stale(cat.folder() + QLatin1Char('/') + shell::LockFileName);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    // A process number no running process has, on this host.
    stale.write(QStringLiteral("%1\nquelm\n%2\n").arg(4194300).arg(QSysInfo::machineHostName()).toUtf8());
    stale.close();
    auto lock = shell::LockDataFolder(cat.ui, cat.folder());
    ASSERT_TRUE(lock);
    EXPECT_TRUE(lock->isLocked());
    EXPECT_TRUE(cat.ui.messages.isEmpty());
}

TEST(InstanceLock, AFirstStartLocksTheFolderItMakes) {
    QTemporaryDir root;
    const QString folder = root.filePath(QStringLiteral("新しい/データ"));
    platform::ScriptedUi ui;
    auto first = shell::LockDataFolder(ui, folder);
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->isLocked());
    EXPECT_FALSE(shell::LockDataFolder(ui, folder));
    // A place where no folder can be made is said, not taken as locked.
    platform::ScriptedUi other;
    EXPECT_FALSE(shell::LockDataFolder(other, QStringLiteral("/proc/quelm-no-folder")));
    ASSERT_EQ(other.messages.size(), 1);
    EXPECT_TRUE(other.messages[0].text.contains(QStringLiteral("ロックできない")));
}

TEST(InstanceLock, OnlyALiveProcessOnThisHostOrAnotherHostHoldsALock) {
    QTemporaryDir root;
    const QString path = root.filePath(shell::LockFileName);
    const auto held = [&](qint64 pid, const QString& host) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QStringLiteral("%1\nquelm\n%2\n").arg(pid).arg(host).toUtf8());
        file.close();
        return shell::HeldByLiveCopy(path);
    };
    EXPECT_TRUE(held(QCoreApplication::applicationPid(), QSysInfo::machineHostName()));
    EXPECT_FALSE(held(4194300, QSysInfo::machineHostName()));
    EXPECT_TRUE(held(4194300, QStringLiteral("another-host")));
}

} // namespace
