#include "platform/CodePage.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <future>
#include <vector>

namespace quelm::platform {

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF", 3);
const QByteArray kUtf16LEBom("\xFF\xFE", 2);
const QByteArray kUtf16BEBom("\xFE\xFF", 2);

bool IsValidUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

QStringEncoder EncoderFor(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8:
        return QStringEncoder(QStringEncoder::Utf8);
    case TextEncoding::Utf8Bom:
        return QStringEncoder(QStringEncoder::Utf8, QStringEncoder::Flag::WriteBom);
    case TextEncoding::Utf16LE:
        return QStringEncoder(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    case TextEncoding::Utf16BE:
        return QStringEncoder(QStringEncoder::Utf16BE, QStringEncoder::Flag::WriteBom);
    case TextEncoding::Cp932:
        return QStringEncoder("CP932");
    case TextEncoding::Latin1:
        return QStringEncoder(QStringEncoder::Latin1);
    }
    return QStringEncoder(QStringEncoder::Utf8);
}

} // namespace

// Bytes of one character of the basic plane in CP932: 2 when the code page holds it, else 1 (the code page writes a
// single replacement byte). Learnt once per character, since a round trip through the converter is slow.
static int Cp932Width(char32_t c) {
    thread_local std::vector<std::uint8_t> known(0x10000, 0);
    std::uint8_t& width = known[c];
    if (width == 0) {
        const bool surrogate = c >= 0xD800 && c <= 0xDFFF;
        width = !surrogate && CanEncode(QString(QChar(static_cast<char16_t>(c))), TextEncoding::Cp932) ? 2 : 1;
    }
    return width;
}

int LenMbcs(const QString& text) {
    int bytes = 0;
    for (const char32_t c : text.toUcs4()) {
        if (c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F))
            bytes += 1;
        else
            bytes += c < 0x10000 ? Cp932Width(c) : 1; // nothing beyond the basic plane is in CP932
    }
    return bytes;
}

QList<TextEncoding> AllTextEncodings() {
    return {TextEncoding::Cp932,   TextEncoding::Utf8,    TextEncoding::Utf8Bom,
            TextEncoding::Utf16LE, TextEncoding::Utf16BE, TextEncoding::Latin1};
}

QString TextEncodingName(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8:
        return QStringLiteral("UTF-8");
    case TextEncoding::Utf8Bom:
        return QStringLiteral("UTF-8 (BOM付き)");
    case TextEncoding::Utf16LE:
        return QStringLiteral("UTF-16LE");
    case TextEncoding::Utf16BE:
        return QStringLiteral("UTF-16BE");
    case TextEncoding::Cp932:
        return QStringLiteral("Shift_JIS (CP932)");
    case TextEncoding::Latin1:
        return QStringLiteral("ISO-8859-1");
    }
    return {};
}

TextEncoding DetectTextEncoding(const QByteArray& bytes, TextEncoding fallback) {
    if (bytes.startsWith(kUtf8Bom))
        return TextEncoding::Utf8Bom;
    if (bytes.startsWith(kUtf16LEBom))
        return TextEncoding::Utf16LE;
    if (bytes.startsWith(kUtf16BEBom))
        return TextEncoding::Utf16BE;
    return IsValidUtf8(bytes) ? TextEncoding::Utf8 : fallback;
}

QString DecodeText(const QByteArray& bytes, TextEncoding encoding) {
    QByteArray body = bytes;
    switch (encoding) {
    case TextEncoding::Utf8:
    case TextEncoding::Utf8Bom:
        if (body.startsWith(kUtf8Bom))
            body.remove(0, kUtf8Bom.size());
        return QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless).decode(body);
    case TextEncoding::Utf16LE:
        if (body.startsWith(kUtf16LEBom))
            body.remove(0, kUtf16LEBom.size());
        return QStringDecoder(QStringDecoder::Utf16LE, QStringDecoder::Flag::Stateless).decode(body);
    case TextEncoding::Utf16BE:
        if (body.startsWith(kUtf16BEBom))
            body.remove(0, kUtf16BEBom.size());
        return QStringDecoder(QStringDecoder::Utf16BE, QStringDecoder::Flag::Stateless).decode(body);
    case TextEncoding::Cp932:
        return QStringDecoder("CP932").decode(body);
    case TextEncoding::Latin1:
        return QString::fromLatin1(body);
    }
    return {};
}

namespace {

// ICU's CP932 replaces what it cannot hold and says so; the only character it changes silently is one of the
// private-use area (U+F86F comes back as "№"), so a round trip is needed only for a text holding such characters.
bool Cp932RoundTrips(QStringView text, const QByteArray& bytes, const QStringEncoder& encoder) {
    if (encoder.hasError())
        return false;
    const bool privateUse =
        std::any_of(text.begin(), text.end(), [](QChar c) { return c.category() == QChar::Other_PrivateUse; });
    return !privateUse || QString(QStringDecoder("CP932").decode(bytes)) == text;
}

// Texts below this length are encoded on one thread.
constexpr qsizetype CharsWorthTwoThreads = 1 << 20;
// Pieces in which a long text is encoded, so that an encoding told to stop at a misfit stops soon after it.
constexpr qsizetype PieceChars = 1 << 18;

// Where a piece of about `chars` characters from `at` ends; a surrogate pair stays in one piece.
qsizetype PieceEnd(QStringView text, qsizetype at, qsizetype chars) {
    qsizetype end = std::min(text.size(), at + chars);
    if (end < text.size() && text[end - 1].isHighSurrogate())
        ++end;
    return end;
}

struct Cp932Bytes {
    QByteArray bytes;
    bool lossless = true;
};

// One encoder, a piece at a time. With stopAtMisfit it ends early, its bytes incomplete, once it or the other
// thread (through misfitFound) has met a character CP932 cannot hold.
Cp932Bytes EncodeCp932(QStringView text, bool stopAtMisfit, std::atomic<bool>& misfitFound) {
    QStringEncoder encoder("CP932");
    Cp932Bytes out;
    for (qsizetype at = 0; at < text.size();) {
        if (stopAtMisfit && misfitFound.load(std::memory_order_relaxed)) {
            out.lossless = false;
            return out;
        }
        const qsizetype end = PieceEnd(text, at, PieceChars);
        out.bytes += encoder.encode(text.sliced(at, end - at));
        if (encoder.hasError())
            misfitFound = true;
        at = end;
    }
    out.lossless = Cp932RoundTrips(text, out.bytes, encoder);
    if (!out.lossless)
        misfitFound = true;
    return out;
}

// CP932 carries no state from one character to the next, so a long text is encoded in two halves side by side,
// cut after a line break (never inside a surrogate pair).
Cp932Bytes EncodeCp932InHalves(QStringView text, bool stopAtMisfit) {
    std::atomic<bool> misfitFound = false;
    const qsizetype cut = text.indexOf(QLatin1Char('\n'), text.size() / 2) + 1;
    if (text.size() < CharsWorthTwoThreads || cut == 0)
        return EncodeCp932(text, stopAtMisfit, misfitFound);
    auto later =
        std::async(std::launch::async, [&] { return EncodeCp932(text.sliced(cut), stopAtMisfit, misfitFound); });
    Cp932Bytes out;
    try {
        out = EncodeCp932(text.first(cut), stopAtMisfit, misfitFound);
    } catch (...) {
        later.wait();
        throw;
    }
    const Cp932Bytes rest = later.get();
    out.bytes += rest.bytes;
    out.lossless = out.lossless && rest.lossless;
    return out;
}

} // namespace

QString FirstCp932Misfit(const QString& text) {
    constexpr qsizetype MisfitPieceChars = 4096;
    std::atomic<bool> unused = false;
    for (qsizetype at = 0; at < text.size();) {
        const qsizetype end = PieceEnd(text, at, MisfitPieceChars);
        const QStringView piece = QStringView(text).sliced(at, end - at);
        const Cp932Bytes bytes = EncodeCp932(piece, false, unused);
        if (!bytes.lossless) {
            const QString back = QStringDecoder("CP932").decode(bytes.bytes);
            qsizetype i = 0;
            while (i < piece.size() && i < back.size() && piece[i] == back[i])
                ++i;
            if (i < piece.size())
                return piece.sliced(i, piece[i].isHighSurrogate() && i + 1 < piece.size() ? 2 : 1).toString();
        }
        at = end;
    }
    return {};
}

std::optional<QByteArray> EncodeCp932Exactly(const QString& text) {
    Cp932Bytes out = EncodeCp932InHalves(text, true);
    return out.lossless ? std::optional<QByteArray>(std::move(out.bytes)) : std::nullopt;
}

QByteArray EncodeText(const QString& text, TextEncoding encoding, bool* lossless) {
    if (encoding == TextEncoding::Cp932) {
        Cp932Bytes out = EncodeCp932InHalves(text, false);
        if (lossless)
            *lossless = out.lossless;
        return std::move(out.bytes);
    }
    QStringEncoder encoder = EncoderFor(encoding);
    QByteArray bytes = encoder.encode(text);
    if (lossless)
        *lossless = CanEncode(text, encoding);
    return bytes;
}

bool CanEncode(const QString& text, TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8:
    case TextEncoding::Utf8Bom:
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE:
        return true;
    case TextEncoding::Latin1:
        for (const QChar c : text)
            if (c.unicode() > 0xFF)
                return false;
        return true;
    case TextEncoding::Cp932:
        return EncodeCp932Exactly(text).has_value();
    }
    return false;
}

} // namespace quelm::platform
