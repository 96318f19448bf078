#include "platform/Names.h"
#include "platform/DataFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quelm::platform;

namespace {

TEST(SqlNames, OnlyPlainIdentifiersPass) {
    for (const char* good : {"タイトル", "曲名", "備考1", "_x", "ＣＤ番号", "A_9", " 品番 "})
        EXPECT_FALSE(CheckSqlName(QString::fromUtf8(good)).has_value()) << good;
    for (const char* bad : {"", "   ", "曲 名", "曲\u3000名", "a); DROP TABLE CD1; --", "1st", "select", "TABLE", "a-b",
                            "名前\"", "x;y", "a.b"})
        EXPECT_TRUE(CheckSqlName(QString::fromUtf8(bad)).has_value()) << bad;
    EXPECT_EQ(*CheckSqlName(QStringLiteral("曲 名")), QStringLiteral("名前の中に空白は使えません。"));
}

TEST(SqlNames, HalfASurrogatePairIsRefused) {
    const QString high(QChar(0xD842)), low(QChar(0xDFB7));
    for (const QString& bad :
         {QStringLiteral("曲") + high, low + QStringLiteral("名"), QStringLiteral("a") + low + high})
        EXPECT_EQ(CheckSqlName(bad),
                  QStringLiteral("名前に文字として読めない符号（対になっていないサロゲート）が含まれています。"));
    EXPECT_FALSE(CheckSqlName(QStringLiteral("曲") + high + low).has_value()); // 𠮷, a whole pair
}

TEST(SqlNames, MessagesCutALongName) {
    const QString name = QString(300, QChar(u'曲'));
    EXPECT_EQ(NameForMessage(QStringLiteral(" ") + name), QString(30, QChar(u'曲')) + QStringLiteral("…"));
    EXPECT_EQ(NameForMessage(QStringLiteral(" 曲名 ")), QStringLiteral("曲名"));
    // A pair that the cut would split is left out whole.
    const QString pairAtTheCut = QString(29, QChar(u'a')) + QString::fromUtf8("𠮷") + QStringLiteral("b");
    EXPECT_EQ(NameForMessage(pairAtTheCut), QString(29, QChar(u'a')) + QStringLiteral("…"));
}

TEST(SqlNames, DuplicatesFoldAsciiCaseOnly) {
    auto problem = CheckSqlNames({QStringLiteral("Title"), QStringLiteral("歌手"), QStringLiteral(" title")});
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->index, 2);
    // Full-width letters are different names to the engine.
    EXPECT_FALSE(CheckSqlNames({QStringLiteral("Ａ"), QStringLiteral("ａ")}).has_value());
    EXPECT_EQ(FoldSqlName(QStringLiteral(" CD1_Main ")), QStringLiteral("cd1_main"));
}

TEST(DataFolder, EnvironmentThenPortableCopyThenUserFolder) {
    QTemporaryDir exe;
    qputenv("QUELM_HOME", "/tmp/quelm-here//");
    EXPECT_EQ(ResolveDataFolder(exe.path()), QStringLiteral("/tmp/quelm-here"));
    qunsetenv("QUELM_HOME");
    EXPECT_NE(ResolveDataFolder(exe.path()), QDir::cleanPath(exe.path()));
    QFile mdb(exe.filePath(QStringLiteral("Quelm.mdb")));
    ASSERT_TRUE(mdb.open(QIODevice::WriteOnly));
    mdb.close();
    EXPECT_EQ(ResolveDataFolder(exe.path()), QDir::cleanPath(exe.path()));
}

} // namespace
