#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace quelm::platform {

// Length of a text in bytes of the Japanese multibyte code page (CP932): ASCII and half-width katakana count 1,
// every other character the code page holds 2, and a character it cannot hold 1 (it is written as one replacement
// byte).
int LenMbcs(const QString& text);

// Encodings of text files from the outside world (CSV, CDDB). CP932 is Windows' Shift_JIS with the NEC and IBM
// extensions (①, ㈱, ⅲ, 髙); plain Shift_JIS would lose those. New ones go at the end: the number of each is kept
// in choosers' item data.
enum class TextEncoding { Utf8, Utf8Bom, Utf16LE, Utf16BE, Cp932, Latin1, EucJp, Gb18030, Windows1252 };

// Every encoding in the order a chooser offers them.
QList<TextEncoding> AllTextEncodings();

// A short name for a chooser or a message ("UTF-8", "Shift_JIS (CP932)", ...).
QString TextEncodingName(TextEncoding encoding);

// Guesses a file's encoding: a byte-order mark first, then UTF-16 told by its NUL bytes, then valid UTF-8 (pure ASCII
// counts as UTF-8), then the charset detector's answer when it is one of ours and reads the file without a fault,
// else the fallback, which the caller picks for the kind of file (CP932 for Japanese Windows files).
TextEncoding DetectTextEncoding(const QByteArray& bytes, TextEncoding fallback = TextEncoding::Cp932);

// Decodes bytes in the given encoding; a byte-order mark of that encoding at the start is dropped. Bytes that are not
// valid in the encoding become a replacement character (U+FFFD, or U+001A from the CP932 decoder): only for showing
// a text, never for storing it; outside files are read with DecodeStrict.
QString DecodeText(const QByteArray& bytes, TextEncoding encoding);

// Outside text decoded with every fault found: bytes that are not valid in the encoding, or a NUL character (a binary
// file, or UTF-16 read as something else). The text is there also when there is a fault, for showing only.
struct DecodedText {
    QString text;
    int faultLine = 0; // 1-based line of the first fault; 0 when there is none
    bool nul = false;  // the fault is a NUL character
    bool ok() const { return faultLine == 0; }
};
DecodedText DecodeStrict(const QByteArray& bytes, TextEncoding encoding);

// Japanese message for a fault of DecodeStrict: the line and what is wrong there, and that the encoding may be wrong.
QString DecodeFaultMessage(const DecodedText& decoded, TextEncoding encoding);

// Encodes a text, with a byte-order mark for Utf8Bom and the UTF-16 forms. lossless (when given) tells whether every
// character could be written; nothing is ever replaced silently when the caller checks it.
QByteArray EncodeText(const QString& text, TextEncoding encoding, bool* lossless = nullptr);

// The text in CP932 when every character can be written in it; nullopt as soon as one is found that cannot.
std::optional<QByteArray> EncodeCp932Exactly(const QString& text);
// The first character (a surrogate pair counts as one) that CP932 cannot hold; empty when there is none. The text is
// tried a piece at a time and only the piece that fails is decoded back, so the answer costs about as much as the
// text before the misfit.
QString FirstCp932Misfit(const QString& text);

// Whether every character of the text can be written in the encoding.
bool CanEncode(const QString& text, TextEncoding encoding);

} // namespace quelm::platform
