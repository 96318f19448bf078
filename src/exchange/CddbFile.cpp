#include "exchange/CddbFile.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace quelm::exchange {

using platform::TextEncoding;

namespace {

const QString KeyDTitle = QStringLiteral("DTITLE");
const QString KeyDArtist = QStringLiteral("DARTIST");
const QString KeyDLength = QStringLiteral("DLENGTH");
const QString KeyTracks = QStringLiteral("TRACKS");
const QString KeyExtD = QStringLiteral("EXTD");
const QString KeyTLength = QStringLiteral("TLENGTH");
const QString KeyExtT = QStringLiteral("EXTT");

const QString LabelTitle = QStringLiteral("タイトル");
const QString LabelArtist = QStringLiteral("アーティスト");
const QString LabelDiscLength = QStringLiteral("収録時間");
const QString LabelTrackCount = QStringLiteral("収録曲数");
const QString LabelTrackLength = QStringLiteral("演奏時間");
const QString LabelNotes = QStringLiteral("説明");

// Frames of a CD: 75 a second.
constexpr qint64 FramesPerSecond = 75;
// Offsets and disc lengths beyond a hundred hours are not a CD's; they end the offset list.
constexpr qint64 MaxFrames = FramesPerSecond * 3600 * 100;

// Disc lengths are read in whole seconds: more than this is no CD's and is ignored.
constexpr qint64 MaxDiscSeconds = MaxFrames / FramesPerSecond;

bool IsUtf16(TextEncoding e) {
    return e == TextEncoding::Utf16LE || e == TextEncoding::Utf16BE;
}

// A text file has no NUL byte, unless it is UTF-16.
bool LooksLikeText(const QByteArray& bytes, TextEncoding encoding) {
    return IsUtf16(encoding) || !bytes.contains('\0');
}

QStringList SplitLines(const QString& text) {
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines)
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    return lines;
}

struct KeyLine {
    QString key;
    QString value;
};

// A data line: the key before the first "=", the value after it. Comments and lines without "=" are none.
std::optional<KeyLine> SplitKeyLine(const QString& line) {
    if (line.startsWith(QLatin1Char('#')))
        return std::nullopt;
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return std::nullopt;
    return KeyLine{line.left(eq), line.mid(eq + 1)};
}

struct TrackKey {
    QString key; // without the number
    int number = 0;
};

bool IsTrackKeyName(const QString& key) {
    if (key == KeyExtT)
        return true;
    return std::any_of(CddbTrackKeys().begin(), CddbTrackKeys().end(), [&](const CddbKey& k) { return k.key == key; });
}

// The track number is read from the key itself, every digit of it: TTITLE1 and TTITLE11 are different tracks.
std::optional<TrackKey> SplitTrackKey(const QString& key) {
    qsizetype start = key.size();
    while (start > 0 && key[start - 1] >= QLatin1Char('0') && key[start - 1] <= QLatin1Char('9'))
        --start;
    const qsizetype digits = key.size() - start;
    if (digits == 0 || digits > 3)
        return std::nullopt;
    const QString name = key.left(start);
    if (!IsTrackKeyName(name))
        return std::nullopt;
    const int number = key.mid(start).toInt();
    if (number > MaxCddbTrackNumber)
        return std::nullopt;
    return TrackKey{name, number};
}

const QString* AlbumLabelOf(const QString& key) {
    if (key == KeyExtD)
        return &LabelNotes;
    for (const CddbKey& k : CddbAlbumKeys())
        if (k.key == key)
            return &k.label;
    return nullptr;
}

QString TrackLabelOf(const QString& key) {
    if (key == KeyExtT)
        return LabelNotes;
    for (const CddbKey& k : CddbTrackKeys())
        if (k.key == key)
            return k.label;
    return {};
}

CddbLayout DetectLayout(const QStringList& lines) {
    for (const QString& line : lines) {
        if (line.startsWith(QLatin1String("# xmcd")) || line.startsWith(QLatin1String("# Track frame offsets")))
            return CddbLayout::Freedb;
        const auto kl = SplitKeyLine(line);
        if (!kl)
            continue;
        if (kl->key == KeyExtD || kl->key == QLatin1String("DGENRE") || kl->key == QLatin1String("PLAYORDER"))
            return CddbLayout::Freedb;
        const auto tk = SplitTrackKey(kl->key);
        if (tk && (tk->number == 0 || tk->key == KeyExtT))
            return CddbLayout::Freedb;
    }
    return CddbLayout::Player;
}

struct DecodedFile {
    CddbLayout layout = CddbLayout::Player;
    TextEncoding encoding = TextEncoding::Cp932;
    QStringList lines;
    int faultLine = 0;
    bool faultNul = false;
};

// Keys and comments are ASCII, so the layout is told on a byte-for-byte view before the text is decoded.
DecodedFile Decode(const QByteArray& bytes, std::optional<TextEncoding> encoding) {
    DecodedFile file;
    const TextEncoding marked = platform::DetectTextEncoding(bytes, TextEncoding::Latin1);
    const TextEncoding probeEncoding = IsUtf16(marked) ? marked : TextEncoding::Latin1;
    file.layout = DetectLayout(SplitLines(platform::DecodeText(bytes, probeEncoding)));
    const TextEncoding fallback = file.layout == CddbLayout::Player ? TextEncoding::Cp932 : TextEncoding::Latin1;
    file.encoding = encoding.value_or(platform::DetectTextEncoding(bytes, fallback));
    platform::DecodedText decoded = platform::DecodeStrict(bytes, file.encoding);
    file.lines = SplitLines(decoded.text);
    file.faultLine = decoded.faultLine;
    file.faultNul = decoded.nul;
    return file;
}

// A length in milliseconds formatted; a value that is no such number stays as written.
QString LengthOrRaw(const QString& raw, QString (*format)(qint64)) {
    bool ok = false;
    const qint64 ms = raw.trimmed().toLongLong(&ok);
    return ok && ms >= 0 ? format(ms) : raw;
}

// The player's files replace a value when its key comes again; freedb files continue it.
void Put(std::map<QString, QString>& raw, const QString& key, const QString& value, CddbLayout layout) {
    auto [it, inserted] = raw.try_emplace(key, value);
    if (!inserted) {
        if (layout == CddbLayout::Freedb)
            it->second += value;
        else
            it->second = value;
    }
}

// The comments of a freedb file that give lengths: the frame offset of each track and the disc length.
struct Comments {
    std::vector<qint64> offsets;
    std::optional<qint64> discSeconds;
    bool inOffsets = false;
    // The offset list ended with a line that is not an offset: an empty comment or the disc length.
    bool offsetsEnded = false;
    // A line inside the list was no offset of a CD: the list cannot be trusted.
    bool offsetsBroken = false;

    void read(const QString& line) {
        const QString body = line.mid(1).trimmed();
        if (body.startsWith(QLatin1String("Track frame offsets"))) {
            inOffsets = !offsetsEnded && !offsetsBroken && offsets.empty();
            offsetsBroken = offsetsBroken || offsetsEnded || !offsets.empty(); // a second list
            return;
        }
        static const QLatin1String lengthTag("Disc length:");
        if (inOffsets) {
            bool ok = false;
            const qint64 frames = body.toLongLong(&ok);
            if (ok && frames >= 0 && frames <= MaxFrames && offsets.size() <= MaxCddbTrackNumber) {
                offsets.push_back(frames);
                return;
            }
            inOffsets = false;
            if (body.isEmpty() || body.startsWith(lengthTag))
                offsetsEnded = true;
            else
                offsetsBroken = true;
        }
        if (body.startsWith(lengthTag)) {
            const QString rest = body.mid(lengthTag.size()).trimmed();
            const qsizetype digits =
                std::find_if(rest.begin(), rest.end(), [](QChar c) { return !c.isDigit(); }) - rest.begin();
            bool ok = false;
            const qint64 seconds = rest.left(digits).toLongLong(&ok);
            if (ok && seconds <= MaxDiscSeconds)
                discSeconds = seconds;
        }
    }

    // The length of track n (numbered from 0 as the offsets are): up to the next offset, the last up to the end of
    // the disc. Only a whole list gives lengths: one offset per track, ended normally; a list that stops early would
    // run its last offset to the end of the disc.
    std::optional<qint64> trackMilliseconds(int n, size_t trackCount) const {
        if (!offsetsEnded || offsetsBroken || offsets.size() != trackCount)
            return std::nullopt;
        if (n < 0 || static_cast<size_t>(n) >= offsets.size())
            return std::nullopt;
        qint64 end = -1;
        if (static_cast<size_t>(n) + 1 < offsets.size())
            end = offsets[n + 1];
        else if (discSeconds)
            end = *discSeconds * FramesPerSecond;
        if (end < offsets[n])
            return std::nullopt;
        return (end - offsets[n]) * 1000 / FramesPerSecond;
    }
};

void InsertBefore(QStringList& items, const QString& before, const QString& label) {
    const qsizetype at = items.indexOf(before);
    items.insert(at < 0 ? items.size() : at, label);
}

// freedb files list each album item once, in the table's order.
QStringList InTableOrder(const QStringList& items) {
    QStringList ordered;
    for (const CddbKey& k : CddbAlbumKeys())
        if (items.contains(k.label) && !ordered.contains(k.label))
            ordered << k.label;
    return ordered;
}

} // namespace

const std::vector<CddbKey>& CddbAlbumKeys() {
    static const std::vector<CddbKey> keys{
        {QStringLiteral("DISCID"), QStringLiteral("CDDB-ID")},
        {KeyDLength, LabelDiscLength},
        {KeyDTitle, LabelTitle},
        {KeyDArtist, LabelArtist},
        {QStringLiteral("DLABEL"), QStringLiteral("レコード会社")},
        {QStringLiteral("DNOTES"), LabelNotes},
        {QStringLiteral("DYEAR"), QStringLiteral("発売年")},
        {KeyTracks, LabelTrackCount},
        {QStringLiteral("LANGUAGE"), QStringLiteral("言語")},
        {QStringLiteral("DGENRE"), QStringLiteral("ジャンル")},
    };
    return keys;
}

const std::vector<CddbKey>& CddbTrackKeys() {
    static const std::vector<CddbKey> keys{
        {QStringLiteral("TTITLE"), QStringLiteral("曲名")},
        {QStringLiteral("TARTIST"), LabelArtist},
        {KeyTLength, LabelTrackLength},
        {QStringLiteral("TNOTES"), LabelNotes},
        {QStringLiteral("TYEAR"), QStringLiteral("発表年")},
    };
    return keys;
}

QString DiscLengthText(qint64 milliseconds) {
    const qint64 minutes = milliseconds / 60000;
    const qint64 seconds = ((milliseconds / 100) % 600) / 10;
    // Hours go on counting past 23: a length is no time of day.
    return QStringLiteral("%1:%2:%3")
        .arg(minutes / 60)
        .arg(minutes % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds, 2, 10, QLatin1Char('0'));
}

QString TrackLengthText(qint64 milliseconds) {
    const qint64 minutes = milliseconds / 60000;
    const qint64 seconds = ((milliseconds / 100) % 600) / 10;
    return QStringLiteral("%1:%2").arg(minutes, 2, 10, QLatin1Char('0')).arg(seconds, 2, 10, QLatin1Char('0'));
}

QString TrackCountText(const QString& value) {
    return value.mid(value.lastIndexOf(QLatin1Char(',')) + 1);
}

QString DecodeCddbEscapes(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar next = text[i + 1];
            if (next == QLatin1Char('n') || next == QLatin1Char('t') || next == QLatin1Char('\\')) {
                out += next == QLatin1Char('n') ? QLatin1Char('\n') : next == QLatin1Char('t') ? QLatin1Char('\t') : c;
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

CddbDisc ParseCddb(const QByteArray& bytes, std::optional<TextEncoding> encoding) {
    const DecodedFile file = Decode(bytes, encoding);
    CddbDisc disc;
    disc.layout = file.layout;
    disc.encoding = file.encoding;
    disc.faultLine = file.faultLine;
    disc.faultNul = file.faultNul;

    std::map<QString, QString> albumRaw; // by key
    std::map<int, std::map<QString, QString>> trackRaw;
    QStringList albumItems;
    Comments comments;
    for (const QString& line : file.lines) {
        if (line.startsWith(QLatin1Char('#'))) {
            comments.read(line);
            continue;
        }
        const auto kl = SplitKeyLine(line);
        if (!kl)
            continue;
        if (const QString* label = AlbumLabelOf(kl->key)) {
            if (disc.layout == CddbLayout::Player || !albumRaw.contains(kl->key))
                albumItems << *label;
            Put(albumRaw, kl->key, kl->value, disc.layout);
        } else if (const auto tk = SplitTrackKey(kl->key)) {
            Put(trackRaw[tk->number], tk->key, kl->value, disc.layout);
        }
    }

    for (const auto& [key, raw] : albumRaw) {
        QString value = raw;
        if (key == KeyDLength)
            value = LengthOrRaw(raw, DiscLengthText);
        else if (key == KeyTracks)
            value = TrackCountText(raw);
        else if (key == KeyExtD)
            value = DecodeCddbEscapes(raw);
        disc.albumValues[*AlbumLabelOf(key)] = value;
    }
    // "Artist / Title" when the file names no artist of its own; without the separator it is all title.
    if (!albumRaw.contains(KeyDArtist) && albumRaw.contains(KeyDTitle)) {
        const QString& title = albumRaw[KeyDTitle];
        const qsizetype sep = title.indexOf(QLatin1String(" / "));
        if (sep >= 0) {
            disc.albumValues[LabelArtist] = title.left(sep);
            disc.albumValues[LabelTitle] = title.mid(sep + 3);
            InsertBefore(albumItems, LabelTitle, LabelArtist);
        }
    }
    if (!albumRaw.contains(KeyDLength) && comments.discSeconds) {
        disc.albumValues[LabelDiscLength] = DiscLengthText(*comments.discSeconds * 1000);
        albumItems << LabelDiscLength;
    }
    if (!albumRaw.contains(KeyTracks) && !trackRaw.empty()) {
        disc.albumValues[LabelTrackCount] = QString::number(trackRaw.size());
        albumItems << LabelTrackCount;
    }
    disc.albumItems = disc.layout == CddbLayout::Freedb ? InTableOrder(albumItems) : albumItems;

    for (const auto& [number, raws] : trackRaw) {
        CddbTrack track;
        track.number = number;
        for (const auto& [key, raw] : raws) {
            QString value = raw;
            if (key == KeyTLength)
                value = LengthOrRaw(raw, TrackLengthText);
            else if (key == KeyExtT)
                value = DecodeCddbEscapes(raw);
            track.values[TrackLabelOf(key)] = value;
        }
        if (!raws.contains(KeyTLength))
            if (const auto ms = comments.trackMilliseconds(number, trackRaw.size()))
                track.values[LabelTrackLength] = TrackLengthText(*ms);
        disc.tracks.push_back(std::move(track));
    }
    for (const CddbKey& k : CddbTrackKeys()) {
        const bool present = std::any_of(disc.tracks.begin(), disc.tracks.end(),
                                         [&](const CddbTrack& t) { return t.values.contains(k.label); });
        if (present && !disc.trackItems.contains(k.label))
            disc.trackItems << k.label;
    }
    return disc;
}

CddbReadResult ReadCddbFile(const QString& path, std::optional<TextEncoding> encoding) {
    CddbReadResult result;
    const QFileInfo info(path);
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        result.status = CddbReadStatus::Unreadable;
        return result;
    }
    // Read no more than the limit allows, whatever size the file claims.
    const QByteArray bytes = file.read(MaxCddbFileBytes + 1);
    if (info.size() > MaxCddbFileBytes || bytes.size() > MaxCddbFileBytes) {
        result.status = CddbReadStatus::TooLarge;
        return result;
    }
    const TextEncoding marked = platform::DetectTextEncoding(bytes, TextEncoding::Latin1);
    if (!LooksLikeText(bytes, encoding.value_or(marked))) {
        result.status = CddbReadStatus::NotText;
        return result;
    }
    result.disc = ParseCddb(bytes, encoding);
    if (result.disc.faultLine > 0)
        result.status = result.disc.faultNul ? CddbReadStatus::NotText : CddbReadStatus::Undecodable;
    return result;
}

QString CddbReadFailureText(const CddbReadResult& result) {
    switch (result.status) {
    case CddbReadStatus::Ok:
        return {};
    case CddbReadStatus::TooLarge:
        return QStringLiteral("ファイルが大きすぎるため、CDDBのファイルとして読込めません。");
    case CddbReadStatus::NotText:
        return QStringLiteral("テキストのファイルではないため、CDDBのファイルとして読込めません。");
    case CddbReadStatus::Undecodable: {
        platform::DecodedText fault;
        fault.faultLine = result.disc.faultLine;
        return platform::DecodeFaultMessage(fault, result.disc.encoding);
    }
    case CddbReadStatus::Unreadable:
        break;
    }
    return QStringLiteral("ファイルが読込めませんでした。");
}

std::optional<QString> ReadCddbListTitle(const QString& path, std::optional<TextEncoding> encoding) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray head = file.read(CddbListHeadBytes);
    if (!file.atEnd()) {
        // Only whole lines, so that a character cut at the end does not spoil the guess of the encoding.
        // A head that is one unending line is kept as it is.
        const qsizetype lastLine = head.lastIndexOf('\n');
        if (lastLine >= 0)
            head.truncate(lastLine + 1);
    }
    const TextEncoding marked = platform::DetectTextEncoding(head, TextEncoding::Latin1);
    if (!LooksLikeText(head, encoding.value_or(marked)))
        return std::nullopt;
    const DecodedFile decoded = Decode(head, encoding);
    for (const QString& line : decoded.lines) {
        if (line.startsWith(KeyDTitle)) {
            // The file stays in the list, so that picking it tells what is wrong; its title is not shown garbled.
            if (decoded.faultLine > 0)
                return QStringLiteral("（%1 では読めない文字があります）")
                    .arg(platform::TextEncodingName(decoded.encoding));
            // A title longer than any line of a real file is cut, so one hostile file cannot swamp the list.
            return line.mid(line.indexOf(QLatin1Char('=')) + 1).left(256);
        }
    }
    return std::nullopt;
}

} // namespace quelm::exchange
