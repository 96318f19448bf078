#include "platform/CodePage.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <uchardet/uchardet.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <future>
#include <optional>
#include <tuple>
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
    case TextEncoding::EucJp:
        return QStringEncoder("EUC-JP");
    case TextEncoding::Gb18030:
        return QStringEncoder("GB18030");
    case TextEncoding::Windows1252:
        return QStringEncoder("windows-1252");
    }
    return QStringEncoder(QStringEncoder::Utf8);
}

// Stateless: a character cut off at the end of the bytes is a fault, not something kept for a next call.
QStringDecoder DecoderFor(TextEncoding encoding) {
    constexpr auto flags = QStringDecoder::Flag::Stateless;
    switch (encoding) {
    case TextEncoding::Utf8:
    case TextEncoding::Utf8Bom:
        return QStringDecoder(QStringDecoder::Utf8, flags);
    case TextEncoding::Utf16LE:
        return QStringDecoder(QStringDecoder::Utf16LE, flags);
    case TextEncoding::Utf16BE:
        return QStringDecoder(QStringDecoder::Utf16BE, flags);
    case TextEncoding::Cp932:
        return QStringDecoder("CP932", flags);
    case TextEncoding::Latin1:
        return QStringDecoder(QStringDecoder::Latin1, flags);
    case TextEncoding::EucJp:
        return QStringDecoder("EUC-JP", flags);
    case TextEncoding::Gb18030:
        return QStringDecoder("GB18030", flags);
    case TextEncoding::Windows1252:
        return QStringDecoder("windows-1252", flags);
    }
    return QStringDecoder(QStringDecoder::Utf8, flags);
}

bool IsUtf16(TextEncoding e) {
    return e == TextEncoding::Utf16LE || e == TextEncoding::Utf16BE;
}

// The bytes without a byte-order mark of their encoding.
QByteArrayView Body(const QByteArray& bytes, TextEncoding encoding) {
    const QByteArray* bom = nullptr;
    if (encoding == TextEncoding::Utf8 || encoding == TextEncoding::Utf8Bom)
        bom = &kUtf8Bom;
    else if (encoding == TextEncoding::Utf16LE)
        bom = &kUtf16LEBom;
    else if (encoding == TextEncoding::Utf16BE)
        bom = &kUtf16BEBom;
    QByteArrayView body(bytes);
    if (bom && body.startsWith(*bom))
        body = body.sliced(bom->size());
    return body;
}

struct Pass {
    QString text;
    bool invalid = false;
};

Pass DecodeOnce(QByteArrayView body, TextEncoding encoding) {
    if (encoding == TextEncoding::Latin1) // every byte is a character
        return {QString::fromLatin1(body), false};
    QStringDecoder decoder = DecoderFor(encoding);
    Pass pass{decoder.decode(body), false};
    // Qt's UTF-16 decoder drops half a character at the end without a word.
    pass.invalid = decoder.hasError() || (IsUtf16(encoding) && body.size() % 2 != 0);
    return pass;
}

// Where the next line of the bytes ends (after its line feed): byte by byte, or two at a time in UTF-16. A line feed
// byte is never part of another character in the other encodings.
qsizetype NextLineEnd(QByteArrayView body, qsizetype from, TextEncoding encoding) {
    if (!IsUtf16(encoding)) {
        const qsizetype lf = body.indexOf('\n', from);
        return lf < 0 ? body.size() : lf + 1;
    }
    const bool le = encoding == TextEncoding::Utf16LE;
    for (qsizetype i = from; i + 1 < body.size(); i += 2) {
        const char lo = le ? body[i] : body[i + 1];
        const char hi = le ? body[i + 1] : body[i];
        if (lo == '\n' && hi == '\0')
            return i + 2;
    }
    return body.size();
}

// The first line holding a fault, and whether that fault is a NUL character.
std::pair<int, bool> FirstFaultyLine(QByteArrayView body, TextEncoding encoding) {
    int line = 1;
    for (qsizetype from = 0; from < body.size(); ++line) {
        const qsizetype end = NextLineEnd(body, from, encoding);
        const Pass pass = DecodeOnce(body.sliced(from, end - from), encoding);
        if (pass.invalid || pass.text.contains(QChar(u'\0')))
            return {line, !pass.invalid};
        from = end;
    }
    return {std::max(1, line - 1), false};
}

// UTF-16 without a byte-order mark: in text of the Latin and Japanese ranges every other byte is often NUL, one
// side only. A file with NULs on both sides is binary.
std::optional<TextEncoding> Utf16ByItsNuls(const QByteArray& bytes) {
    if (bytes.size() % 2 != 0)
        return std::nullopt;
    const qsizetype n = std::min<qsizetype>(bytes.size(), 64 * 1024);
    // A NUL beside a control character other than a line end or a tab is no UTF-16 text.
    const auto textual = [](char c) {
        return static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\r' || c == '\n';
    };
    qsizetype even = 0, odd = 0;
    for (qsizetype i = 0; i < n; i += 2) {
        if ((bytes[i] == '\0' && !textual(bytes[i + 1])) || (bytes[i + 1] == '\0' && !textual(bytes[i])))
            return std::nullopt;
        even += bytes[i] == '\0' ? 1 : 0;
        odd += bytes[i + 1] == '\0' ? 1 : 0;
    }
    const qsizetype units = n / 2;
    if (odd * 16 >= units && even * 16 <= odd)
        return TextEncoding::Utf16LE;
    if (even * 16 >= units && odd * 16 <= even)
        return TextEncoding::Utf16BE;
    return std::nullopt;
}

// The charset detector's answer, as one of the encodings we offer.
std::optional<TextEncoding> DetectorGuess(const QByteArray& bytes) {
    // The head of a file says enough, and the detector's time stays small beside the file's reading.
    constexpr qsizetype DetectorBytes = 256 * 1024;
    uchardet_t detector = uchardet_new();
    if (!detector)
        return std::nullopt;
    const qsizetype n = std::min(bytes.size(), DetectorBytes);
    const int fed = uchardet_handle_data(detector, bytes.constData(), static_cast<size_t>(n));
    uchardet_data_end(detector);
    const QByteArray name = fed == 0 ? QByteArray(uchardet_get_charset(detector)).toUpper() : QByteArray();
    uchardet_delete(detector);
    if (name == "SHIFT_JIS" || name == "CP932" || name == "WINDOWS-31J")
        return TextEncoding::Cp932;
    if (name == "EUC-JP")
        return TextEncoding::EucJp;
    if (name == "GB18030" || name == "GB2312" || name == "GBK")
        return TextEncoding::Gb18030;
    if (name == "ISO-8859-1")
        return TextEncoding::Latin1;
    // Other European single-byte answers (on a short text the detector often names a DOS or Central European code
    // page): Windows-1252 is the nearest we offer.
    if (name.startsWith("WINDOWS-125") || name.startsWith("ISO-8859-") || name.startsWith("IBM8") ||
        name.startsWith("MAC-"))
        return TextEncoding::Windows1252;
    return std::nullopt;
}

bool SingleByte(TextEncoding e) {
    return e == TextEncoding::Latin1 || e == TextEncoding::Windows1252;
}

// Japanese text read as CP932 is made of two-byte characters; a European letter read as CP932 comes out as a lone
// half-width katakana or a user-defined character ("Õakman" as "ﾕakman"). On a short text the detector may call
// real Japanese European, so its single-byte answer is taken only when the CP932 reading looks like the latter.
bool LooksMisreadAsCp932(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= 0xFF61 && u <= 0xFF9F) || (u >= 0xE000 && u <= 0xF8FF);
    });
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
    return {TextEncoding::Cp932,   TextEncoding::EucJp,   TextEncoding::Utf8,
            TextEncoding::Utf8Bom, TextEncoding::Utf16LE, TextEncoding::Utf16BE,
            TextEncoding::Gb18030, TextEncoding::Latin1,  TextEncoding::Windows1252};
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
    case TextEncoding::EucJp:
        return QStringLiteral("EUC-JP");
    case TextEncoding::Gb18030:
        return QStringLiteral("GB18030");
    case TextEncoding::Windows1252:
        return QStringLiteral("Windows-1252");
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
    if (bytes.contains('\0'))
        return Utf16ByItsNuls(bytes).value_or(fallback); // else binary: the reading will say so
    if (IsValidUtf8(bytes))
        return TextEncoding::Utf8;
    const std::optional<TextEncoding> guess = DetectorGuess(bytes);
    if (!guess || *guess == fallback || (SingleByte(*guess) && SingleByte(fallback)))
        return fallback;
    if (SingleByte(*guess) && fallback == TextEncoding::Cp932) {
        const Pass cp932 = DecodeOnce(bytes, fallback);
        if (!cp932.invalid && !LooksMisreadAsCp932(cp932.text))
            return fallback;
    }
    if (!DecodeOnce(bytes, *guess).invalid)
        return *guess;
    // Bytes Windows-1252 leaves undefined: ISO-8859-1 reads every byte.
    return SingleByte(*guess) ? TextEncoding::Latin1 : fallback;
}

QString DecodeText(const QByteArray& bytes, TextEncoding encoding) {
    return DecodeOnce(Body(bytes, encoding), encoding).text;
}

DecodedText DecodeStrict(const QByteArray& bytes, TextEncoding encoding) {
    const QByteArrayView body = Body(bytes, encoding);
    Pass pass = DecodeOnce(body, encoding);
    DecodedText out;
    out.text = std::move(pass.text);
    // A NUL marks a binary file (or UTF-16 read as something else): that is the fault to tell, wherever it is.
    if (const qsizetype nul = out.text.indexOf(QChar(u'\0')); nul >= 0) {
        out.faultLine = static_cast<int>(QStringView(out.text).first(nul).count(u'\n')) + 1;
        out.nul = true;
    } else if (pass.invalid) {
        std::tie(out.faultLine, out.nul) = FirstFaultyLine(body, encoding);
    }
    return out;
}

QString DecodeFaultMessage(const DecodedText& decoded, TextEncoding encoding) {
    if (decoded.nul)
        return QStringLiteral("%1 行目に NUL 文字があります。テキストファイルではないか、文字コードが違います"
                              "（UTF-16 など）。")
            .arg(decoded.faultLine);
    return QStringLiteral("%1 行目に %2 として読めない文字があります。文字コードを確かめてください。")
        .arg(decoded.faultLine)
        .arg(TextEncodingName(encoding));
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
    case TextEncoding::EucJp:
    case TextEncoding::Gb18030:
    case TextEncoding::Windows1252: {
        QStringEncoder encoder = EncoderFor(encoding);
        const QByteArray ignored = encoder.encode(text);
        return !encoder.hasError();
    }
    }
    return false;
}

} // namespace quelm::platform
