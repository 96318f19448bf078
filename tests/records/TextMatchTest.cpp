#include "records/TextMatch.h"

#include <gtest/gtest.h>

namespace quelm::records {
namespace {

bool Loose(const QString& value, const QString& sought) {
    return ContainsSearchText(value, sought, false);
}
bool Exact(const QString& value, const QString& sought) {
    return ContainsSearchText(value, sought, true);
}

TEST(TextMatchTest, LooseSearchIgnoresCaseAndWidthOfLatinLettersDigitsAndSymbols) {
    EXPECT_TRUE(Loose(QStringLiteral("ＡＢＣの歌"), QStringLiteral("ab")));
    EXPECT_FALSE(Exact(QStringLiteral("ＡＢＣの歌"), QStringLiteral("ab")));
    EXPECT_TRUE(Loose(QStringLiteral("Abc"), QStringLiteral("ＡＢ")));
    EXPECT_TRUE(Loose(QStringLiteral("第９番（ｗｉｔｈ　ｃｈｏｉｒ）"), QStringLiteral("9番(WITH choir)")));
    EXPECT_TRUE(Loose(QStringLiteral("ｙｅｓ！"), QStringLiteral("YES!")));
    EXPECT_FALSE(Exact(QStringLiteral("Abc"), QStringLiteral("ab")));
    EXPECT_TRUE(Exact(QStringLiteral("xabx"), QStringLiteral("ab")));
}

TEST(TextMatchTest, LooseSearchIgnoresKanaKindAndHalfWidthKanaWithTheirMarks) {
    EXPECT_TRUE(Loose(QStringLiteral("かきくけこ"), QStringLiteral("カ")));
    EXPECT_TRUE(Loose(QStringLiteral("カキクケコ"), QStringLiteral("か")));
    EXPECT_FALSE(Exact(QStringLiteral("かきくけこ"), QStringLiteral("カ")));

    // A half-width letter and its voicing mark are one letter: ﾀﾞ ~ ダ ~ だ, ﾊﾟ ~ パ ~ ぱ, ｳﾞ ~ ヴ.
    for (const QString& value : {QStringLiteral("ﾀﾞﾝｽ"), QStringLiteral("ダンス"), QStringLiteral("だんす")}) {
        for (const QString& sought : {QStringLiteral("ﾀﾞ"), QStringLiteral("ダ"), QStringLiteral("だ")})
            EXPECT_TRUE(Loose(value, sought)) << value.toStdString() << " / " << sought.toStdString();
        // The mark belongs to its letter: タン does not occur in ﾀﾞﾝｽ.
        EXPECT_FALSE(TextMatcher(QStringLiteral("タン"), TextFold::CaseWidthKana).occursIn(value));
    }
    for (const QString& value : {QStringLiteral("ﾊﾟﾘ"), QStringLiteral("パリ"), QStringLiteral("ぱり")}) {
        for (const QString& sought : {QStringLiteral("ﾊﾟ"), QStringLiteral("パ"), QStringLiteral("ぱ")})
            EXPECT_TRUE(Loose(value, sought)) << value.toStdString() << " / " << sought.toStdString();
        EXPECT_FALSE(Loose(value, QStringLiteral("バ")));
    }
    EXPECT_TRUE(Loose(QStringLiteral("ｳﾞｨｵﾗ"), QStringLiteral("ヴィオラ")));
    EXPECT_TRUE(Loose(QStringLiteral("ヴィオラ"), QStringLiteral("ｳﾞｨ")));
    EXPECT_TRUE(Loose(QStringLiteral("ｺｰﾗｽ｡"), QStringLiteral("こーらす。")));
    // Decomposed marks (カ + combining ゙) and a half-width mark after a full-width letter compose as well.
    EXPECT_TRUE(Loose(QStringLiteral("カ\u3099イド"), QStringLiteral("ガイド")));
    EXPECT_TRUE(Loose(QStringLiteral("カﾞイド"), QStringLiteral("がいど")));
    EXPECT_FALSE(Exact(QStringLiteral("ﾀﾞﾝｽ"), QStringLiteral("ダ")));
    // Only the letter and its mark are joined: a compatibility ideograph beside half-width kana stays what it is, so
    // it is still found by itself.
    EXPECT_TRUE(Loose(QStringLiteral("\uFA10ｶﾞ"), QStringLiteral("\uFA10")));
    EXPECT_TRUE(Loose(QStringLiteral("\uFA10ｶﾞ"), QStringLiteral("\uFA10が")));
}

TEST(TextMatchTest, CaseOnlyFoldKeepsWidthAndKanaApart) {
    const TextMatcher abc(QStringLiteral("abc"), TextFold::Case);
    EXPECT_TRUE(abc.begins(QStringLiteral("ABCD")));
    EXPECT_TRUE(abc.equals(QStringLiteral("AbC")));
    EXPECT_FALSE(abc.equals(QStringLiteral("ABCD")));
    EXPECT_FALSE(abc.begins(QStringLiteral("xabc")));
    EXPECT_TRUE(abc.occursIn(QStringLiteral("xABc")));
    EXPECT_FALSE(abc.begins(QStringLiteral("ＡＢＣ")));
    EXPECT_FALSE(TextMatcher(QStringLiteral("か"), TextFold::Case).begins(QStringLiteral("カ")));
    // The empty text begins every text and equals only the empty one.
    const TextMatcher empty(QString(), TextFold::Case);
    EXPECT_TRUE(empty.begins(QStringLiteral("x")));
    EXPECT_TRUE(empty.equals(QString()));
    EXPECT_FALSE(empty.equals(QStringLiteral("x")));
}

} // namespace
} // namespace quelm::records
