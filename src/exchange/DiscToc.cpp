#include "exchange/DiscToc.h"

#include "exchange/CddbFile.h"
#include "platform/CodePage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <set>

namespace quelm::exchange {

namespace {

// Values longer than this many characters are continued on a repeated key, so that no line passes the 256 bytes
// older readers allow even when every character takes three bytes in UTF-8.
constexpr int XmcdChunkChars = 70;

int DigitSum(int n) {
    int sum = 0;
    for (; n > 0; n /= 10)
        sum += n % 10;
    return sum;
}

// A title as one line: CD-Text may carry control bytes, which would break the file's lines.
QString OneLine(const QString& text) {
    QString line = text;
    for (QChar& c : line)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = QLatin1Char(' ');
    return line.trimmed();
}

QString ArtistTitle(const QString& performer, const QString& title) {
    const QString p = OneLine(performer);
    const QString t = OneLine(title);
    return p.isEmpty() ? t : p + QStringLiteral(" / ") + t;
}

void PutLine(QString& out, const QString& key, const QString& value) {
    if (value.isEmpty()) {
        out += key + QLatin1Char('=') + QLatin1Char('\n');
        return;
    }
    qsizetype at = 0;
    while (at < value.size()) {
        qsizetype size = std::min<qsizetype>(XmcdChunkChars, value.size() - at);
        // A surrogate pair stays on one line.
        if (at + size < value.size() && value[at + size - 1].isHighSurrogate())
            ++size;
        out += key + QLatin1Char('=') + value.mid(at, size) + QLatin1Char('\n');
        at += size;
    }
}

QString Header(const DiscToc& toc) {
    QString out = QStringLiteral("# xmcd\n#\n# Track frame offsets:\n");
    for (const DiscTrack& t : toc.tracks)
        out += QStringLiteral("#\t%1\n").arg(t.offset);
    out += QStringLiteral("#\n# Disc length: %1 seconds\n#\n# Revision: 0\n# Submitted via: Quelm\n#\n")
               .arg(toc.lengthSeconds());
    out += QStringLiteral("DISCID=") + FreedbDiscId(toc) + QLatin1Char('\n');
    return out;
}

// The data lines of an entry: no comments, no DISCID (the disc's own comes in the header).
QString EntryDataLines(const QByteArray& entry) {
    const platform::TextEncoding encoding = platform::DetectTextEncoding(entry, platform::TextEncoding::Latin1);
    QString out;
    for (QString line : platform::DecodeText(entry, encoding).split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || !line.contains(QLatin1Char('=')) ||
            line.startsWith(QLatin1String("DISCID=")))
            continue;
        out += line + QLatin1Char('\n');
    }
    return out;
}

// The track numbers an entry has titles for.
std::set<int> TitledTracks(const QByteArray& entry) {
    std::set<int> numbers;
    for (const QByteArray& line : entry.split('\n')) {
        if (!line.startsWith("TTITLE"))
            continue;
        const qsizetype eq = line.indexOf('=');
        bool ok = false;
        const int n = line.mid(6, eq - 6).toInt(&ok);
        if (eq > 6 && ok && n >= 0 && n <= MaxCddbTrackNumber)
            numbers.insert(n);
    }
    return numbers;
}

std::optional<QByteArray> ReadEntry(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > MaxCddbFileBytes)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.read(MaxCddbFileBytes);
}

QString EntryTitle(const QByteArray& entry) {
    const platform::TextEncoding encoding = platform::DetectTextEncoding(entry, platform::TextEncoding::Latin1);
    QString title;
    for (const QString& line : platform::DecodeText(entry, encoding).split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("DTITLE=")))
            title += line.mid(7).trimmed();
    return title;
}

} // namespace

bool DiscToc::hasAudio() const {
    return std::any_of(tracks.begin(), tracks.end(), [](const DiscTrack& t) { return t.audio; });
}

QString FreedbDiscId(const DiscToc& toc) {
    if (toc.tracks.empty())
        return {};
    int sum = 0;
    for (const DiscTrack& t : toc.tracks)
        sum += DigitSum(t.offset / CdFramesPerSecond);
    const int seconds = toc.leadOut / CdFramesPerSecond - toc.tracks.front().offset / CdFramesPerSecond;
    const quint32 id = (static_cast<quint32>(sum % 0xff) << 24) | (static_cast<quint32>(seconds & 0xffff) << 8) |
                       static_cast<quint32>(toc.tracks.size() & 0xff);
    return QStringLiteral("%1").arg(id, 8, 16, QLatin1Char('0'));
}

QByteArray ComposeXmcd(const DiscToc& toc) {
    QString out = Header(toc);
    PutLine(out, QStringLiteral("DTITLE"), ArtistTitle(toc.performer, toc.title));
    PutLine(out, QStringLiteral("DYEAR"), {});
    PutLine(out, QStringLiteral("DGENRE"), {});
    for (size_t i = 0; i < toc.tracks.size(); ++i) {
        const DiscTrack& t = toc.tracks[i];
        // A track's performer is named only where it differs from the album's.
        const QString performer = OneLine(t.performer) == OneLine(toc.performer) ? QString() : t.performer;
        PutLine(out, QStringLiteral("TTITLE%1").arg(i), ArtistTitle(performer, t.title));
    }
    PutLine(out, QStringLiteral("EXTD"), {});
    for (size_t i = 0; i < toc.tracks.size(); ++i)
        PutLine(out, QStringLiteral("EXTT%1").arg(i), {});
    PutLine(out, QStringLiteral("PLAYORDER"), {});
    return out.toUtf8();
}

QByteArray ComposeXmcdFromEntry(const DiscToc& toc, const QByteArray& entry) {
    return (Header(toc) + EntryDataLines(entry)).toUtf8();
}

std::vector<FreedbMatch> FindFreedbEntries(const QString& folder, const DiscToc& toc) {
    std::vector<FreedbMatch> found;
    const QString id = FreedbDiscId(toc);
    if (folder.isEmpty() || id.isEmpty())
        return found;
    std::set<int> wanted;
    for (int i = 0; i < static_cast<int>(toc.tracks.size()); ++i)
        wanted.insert(i);
    auto consider = [&](const QString& path, const QString& genre) {
        const auto entry = ReadEntry(path);
        if (entry && TitledTracks(*entry) == wanted)
            found.push_back({path, genre, EntryTitle(*entry)});
    };
    const QDir root(folder);
    consider(root.filePath(id), {});
    for (const QString& genre : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        consider(root.filePath(genre + QLatin1Char('/') + id), genre);
    return found;
}

} // namespace quelm::exchange
