#include "platform/CodePage.h"

#include <gtest/gtest.h>

using namespace quelm::platform;

namespace {

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray bytes;
    for (int v : values)
        bytes.append(static_cast<char>(v));
    return bytes;
}

} // namespace

TEST(CodePage, DetectsByteOrderMarksThenUtf8ThenFallback) {
    EXPECT_EQ(DetectTextEncoding(Bytes({0xEF, 0xBB, 0xBF, 'a'})), TextEncoding::Utf8Bom);
    EXPECT_EQ(DetectTextEncoding(Bytes({0xFF, 0xFE, 'a', 0})), TextEncoding::Utf16LE);
    EXPECT_EQ(DetectTextEncoding(Bytes({0xFE, 0xFF, 0, 'a'})), TextEncoding::Utf16BE);
    EXPECT_EQ(DetectTextEncoding("plain,ascii\r\n"), TextEncoding::Utf8);
    EXPECT_EQ(DetectTextEncoding(QString("曲名").toUtf8()), TextEncoding::Utf8);
    // 曲名 in CP932 is not valid UTF-8.
    EXPECT_EQ(DetectTextEncoding(Bytes({0x8B, 0xC8, 0x96, 0xBC})), TextEncoding::Cp932);
    EXPECT_EQ(DetectTextEncoding(Bytes({0xE9, 't', 0xE9}), TextEncoding::Latin1), TextEncoding::Latin1);
}

TEST(CodePage, Cp932KeepsTheVendorExtensions) {
    // ① 0x8740 and ㈱ 0x878A (NEC row 13), 髙 0xFBFC (IBM extension), ～ 0x8160.
    const QByteArray bytes = Bytes({0x87, 0x40, 0x87, 0x8A, 0xFB, 0xFC, 0x81, 0x60});
    EXPECT_EQ(DecodeText(bytes, TextEncoding::Cp932), QString::fromUtf8("①㈱髙～"));
    bool lossless = false;
    EXPECT_EQ(EncodeText(QString::fromUtf8("①㈱髙～"), TextEncoding::Cp932, &lossless), bytes);
    EXPECT_TRUE(lossless);
}

TEST(CodePage, EncodingReportsCharactersItCannotHold) {
    bool lossless = true;
    EncodeText(QString::fromUtf8("Björk 😀"), TextEncoding::Cp932, &lossless);
    EXPECT_FALSE(lossless);
    EXPECT_FALSE(CanEncode(QString::fromUtf8("한국"), TextEncoding::Cp932));
    EXPECT_TRUE(CanEncode(QString::fromUtf8("한국"), TextEncoding::Utf8Bom));
    EXPECT_FALSE(CanEncode(QString::fromUtf8("日本"), TextEncoding::Latin1));
    // The code page's own extras hold; a private-use character that would come back as another does not.
    EncodeText(QString::fromUtf8("①Ⅱ㈱∵髙"), TextEncoding::Cp932, &lossless);
    EXPECT_TRUE(lossless);
    EncodeText(QStringLiteral("No") + QChar(0xF86F), TextEncoding::Cp932, &lossless);
    EXPECT_FALSE(lossless);
    EXPECT_TRUE(CanEncode(QString(QChar(0xE000)), TextEncoding::Cp932));
}

TEST(CodePage, RoundTripsEveryEncodingAndDropsItsMark) {
    const QString text = QString::fromUtf8("タイトル,\"12\"\" Single\"\r\n");
    for (TextEncoding encoding : AllTextEncodings()) {
        if (!CanEncode(text, encoding))
            continue;
        EXPECT_EQ(DecodeText(EncodeText(text, encoding), encoding), text) << TextEncodingName(encoding).toStdString();
    }
    EXPECT_TRUE(EncodeText("a", TextEncoding::Utf8Bom).startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(EncodeText("a", TextEncoding::Utf8), QByteArray("a"));
}

TEST(CodePage, LenMbcsCountsAsTheCodePageWrites) {
    struct Case {
        QString text;
        int bytes;
    };
    const Case cases[] = {
        {QStringLiteral("abc"), 3},
        {QStringLiteral("ｱｲｳ"), 3},      // half-width katakana
        {QStringLiteral("あ曲①髙"), 8},  // held by CP932, vendor extensions included
        {QString::fromUtf8("Björk"), 5}, // ö is not in CP932: one replacement byte
        {QString::fromUtf8("한국"), 2},
        {QString::fromUtf8("€"), 1},
        {QString::fromUtf8("𠮷"), 1}, // beyond the basic plane: one character, one replacement byte
        {QString(QChar(0xD800)) + QStringLiteral("a"), 2}, // a lone surrogate
        {QString(), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LenMbcs(c.text), c.bytes) << c.text.toStdString();
}
