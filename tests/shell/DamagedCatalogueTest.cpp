// Start-up on a damaged or foreign catalogue file: a message, and the file left byte for byte as it was.
#include "TestCatalogue.h"
#include "platform/Database.h"
#include "shell/Startup.h"
#include "store/Catalogue.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <random>
#include <sqlite3.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quelm {
namespace {

struct Snapshot {
    QByteArray hash;
    QStringList entries;
    bool operator==(const Snapshot&) const = default;
};

Snapshot Take(const QString& folder) {
    QFile file(folder + QStringLiteral("/") + store::CatalogueFileName);
    Snapshot s;
    if (file.open(QIODevice::ReadOnly))
        s.hash = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
    s.entries = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    return s;
}

QString CataloguePath(const QString& folder) {
    return folder + QStringLiteral("/") + store::CatalogueFileName;
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs the program's start-up on the folder; the event loop, should the window come up, ends at once.
void StartOn(const QString& folder, platform::ScriptedUi& ui) {
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    shell::RunProgram(*qApp, ui, folder);
}

// A whole catalogue with a picture folder, as the damage starts from.
void MakeCatalogue(const QString& folder) {
    store::EnsureCatalogue(folder);
}

void RunSql(const QString& path, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

struct Damage {
    const char* name;
    std::function<void(const QString& folder)> make;
    const char* said = nullptr; // a text the message must hold
};

const std::vector<Damage>& Damages() {
    static const std::vector<Damage> all{
        {"empty file", [](const QString& f) { WriteBytes(CataloguePath(f), {}); }},
        {"truncated",
         [](const QString& f) {
             const QByteArray whole = ReadBytes(CataloguePath(f));
             WriteBytes(CataloguePath(f), whole.left(whole.size() / 3));
         }},
        {"random bytes",
         [](const QString& f) {
             std::mt19937 random(14);
             QByteArray bytes(16384, '\0');
             for (char& c : bytes)
                 c = static_cast<char>(random());
             WriteBytes(CataloguePath(f), bytes);
         }},
        {"header of a database, the rest random",
         [](const QString& f) {
             QByteArray bytes = ReadBytes(CataloguePath(f));
             std::mt19937 random(15);
             for (qsizetype i = 100; i < bytes.size(); ++i)
                 bytes[i] = static_cast<char>(random());
             WriteBytes(CataloguePath(f), bytes);
         }},
        {"another program's database",
         [](const QString& f) {
             QFile::remove(CataloguePath(f));
             RunSql(CataloguePath(f), "CREATE TABLE songs(title TEXT, artist TEXT); "
                                      "INSERT INTO songs VALUES('a', 'b');");
         }},
        {"a field count beyond 16 bits",
         [](const QString& f) {
             RunSql(CataloguePath(f), "UPDATE 管理テーブル SET フィールド個数 = 99999 WHERE KeyNo = 4");
         },
         "99999"},
    };
    return all;
}

TEST(DamagedCatalogue, StartUpShowsAMessageAndLeavesTheFileAsItWas) {
    for (const Damage& damage : Damages()) {
        SCOPED_TRACE(damage.name);
        QTemporaryDir dir;
        MakeCatalogue(dir.path());
        damage.make(dir.path());
        const Snapshot before = Take(dir.path());
        platform::ScriptedUi ui;
        StartOn(dir.path(), ui);
        ASSERT_FALSE(ui.messages.isEmpty());
        for (const auto& m : ui.messages)
            EXPECT_FALSE(m.text.trimmed().isEmpty());
        if (damage.said) {
            EXPECT_TRUE(ui.messages[0].text.contains(QString::fromUtf8(damage.said)))
                << ui.messages[0].text.toStdString();
        }
        EXPECT_EQ(Take(dir.path()), before);
    }
}

// Makes a file or folder unwritable even for root (whom permission bits do not stop): the immutable attribute.
// Returns false where the file system does not offer it.
bool SetImmutable(const QString& path, bool on) {
    const int fd = open(path.toLocal8Bit().constData(), O_RDONLY);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ok && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    close(fd);
    return ok;
}

bool MakeUnwritable(const QString& path) {
    if (geteuid() == 0)
        return SetImmutable(path, true);
    return chmod(path.toLocal8Bit().constData(), QFileInfo(path).isDir() ? 0555 : 0444) == 0;
}

void MakeWritable(const QString& path) {
    if (geteuid() == 0)
        SetImmutable(path, false);
    else
        chmod(path.toLocal8Bit().constData(), QFileInfo(path).isDir() ? 0755 : 0644);
}

TEST(DamagedCatalogue, ReadOnlyFileOrFolderIsReportedAndLeftAsItWas) {
    for (const int kind : {0, 1, 2}) {
        const bool folderToo = kind > 0, staleLock = kind == 2;
        SCOPED_TRACE(kind == 0   ? "read-only file"
                     : staleLock ? "read-only folder with a dead copy's lock"
                                 : "read-only folder");
        QTemporaryDir dir;
        MakeCatalogue(dir.path());
        if (staleLock) // a process number no running process has, on this host
            WriteBytes(dir.path() + QLatin1Char('/') + shell::LockFileName,
                       QStringLiteral("4194300\nquelm\n%1\n").arg(QSysInfo::machineHostName()).toUtf8());
        const QString locked = folderToo ? dir.path() : CataloguePath(dir.path());
        if (!MakeUnwritable(locked))
            GTEST_SKIP() << "the file system cannot make a file unwritable";
        const Snapshot before = Take(dir.path());
        platform::ScriptedUi ui;
        StartOn(dir.path(), ui);
        MakeWritable(locked);
        ASSERT_FALSE(ui.messages.isEmpty());
        EXPECT_TRUE(ui.messages[0].text.contains(QStringLiteral("読み取り専用"))) << ui.messages[0].text.toStdString();
        EXPECT_EQ(Take(dir.path()), before);
    }
}

// The program does not start on a catalogue that lacks a table of a category in use: it names the table, and leaves
// the file for a restore.
TEST(DamagedCatalogue, MissingCategoryTableIsReported) {
    for (const char* table : {"CD1", "DVD1SUB"}) {
        SCOPED_TRACE(table);
        QTemporaryDir dir;
        MakeCatalogue(dir.path());
        RunSql(CataloguePath(dir.path()), (QByteArray("DROP TABLE ") + table).constData());
        const Snapshot before = Take(dir.path());
        platform::ScriptedUi ui;
        StartOn(dir.path(), ui);
        ASSERT_EQ(ui.messages.size(), 1);
        EXPECT_TRUE(ui.messages[0].text.contains(QStringLiteral("のテーブル「%1」がありません。").arg(table)))
            << ui.messages[0].text.toStdString();
        EXPECT_EQ(ui.messages[0].icon, platform::Icon::Critical);
        EXPECT_EQ(Take(dir.path()), before);
    }
}

// A title of millions of characters (written by another program) is shown cut, as names in messages are.
TEST(DamagedCatalogue, AHugeTitleIsShownCut) {
    store::AppState state;
    state.config[0].FieldType[1] = QString(5'000'000, QChar(u'長'));
    EXPECT_EQ(state.title(), QString(store::AppState::TitleShownAtMost, QChar(u'長')) + QStringLiteral("…"));
    state.config[0].FieldType[1] = QStringLiteral("  ＣＤ管理  ");
    EXPECT_EQ(state.title(), QStringLiteral("ＣＤ管理"));
}

} // namespace
} // namespace quelm
