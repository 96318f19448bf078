#include "exchange/RippedAlbum.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <algorithm>
#include <climits>
#include <map>
#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/tpropertymap.h>
#include <taglib/xiphcomment.h>

namespace quelm::exchange {

namespace {

const QString LabelTitle = QStringLiteral("タイトル");
const QString LabelArtist = QStringLiteral("アーティスト");
const QString LabelYear = QStringLiteral("発売年");
const QString LabelGenre = QStringLiteral("ジャンル");
const QString LabelLabel = QStringLiteral("レーベル");
const QString LabelCatalogue = QStringLiteral("品番");
const QString LabelDisc = QStringLiteral("ディスク番号");
const QString LabelTrackCount = QStringLiteral("収録曲数");
const QString LabelDiscLength = QStringLiteral("収録時間");
const QString LabelTrackTitle = QStringLiteral("曲名");
const QString LabelComposer = QStringLiteral("作曲者");
const QString LabelTrackNumber = QStringLiteral("トラック番号");
const QString LabelTrackLength = QStringLiteral("演奏時間");

// Covers larger than this are no covers a record needs; they are left in the file.
constexpr unsigned MaxCoverBytes = 16 * 1024 * 1024;

QString ToQ(const TagLib::String& s) {
    return QString::fromUtf8(s.toCString(true)).trimmed();
}

QString Property(const TagLib::PropertyMap& properties, std::initializer_list<const char*> keys) {
    for (const char* key : keys) {
        const auto it = properties.find(key);
        if (it != properties.end() && !it->second.isEmpty() && !ToQ(it->second.front()).isEmpty())
            return ToQ(it->second.front());
    }
    return {};
}

// "2/3" and "2" are disc 2.
int LeadingNumber(const QString& text) {
    return text.section(QLatin1Char('/'), 0, 0).trimmed().toInt();
}

QByteArray Bytes(const TagLib::ByteVector& v) {
    if (v.size() > MaxCoverBytes)
        return {};
    return QByteArray(v.data(), static_cast<qsizetype>(v.size()));
}

QByteArray FlacStyleCover(const TagLib::List<TagLib::FLAC::Picture*>& pictures) {
    const TagLib::FLAC::Picture* chosen = nullptr;
    for (const TagLib::FLAC::Picture* p : pictures)
        if (!chosen || p->type() == TagLib::FLAC::Picture::FrontCover)
            chosen = chosen && chosen->type() == TagLib::FLAC::Picture::FrontCover ? chosen : p;
    return chosen ? Bytes(chosen->data()) : QByteArray();
}

QByteArray Id3Cover(TagLib::ID3v2::Tag* tag) {
    if (!tag)
        return {};
    QByteArray any;
    for (TagLib::ID3v2::Frame* frame : tag->frameListMap()["APIC"]) {
        const auto* picture = dynamic_cast<TagLib::ID3v2::AttachedPictureFrame*>(frame);
        if (!picture)
            continue;
        if (picture->type() == TagLib::ID3v2::AttachedPictureFrame::FrontCover)
            return Bytes(picture->picture());
        if (any.isEmpty())
            any = Bytes(picture->picture());
    }
    return any;
}

QByteArray EmbeddedCover(TagLib::File* file) {
    if (auto* flac = dynamic_cast<TagLib::FLAC::File*>(file))
        return FlacStyleCover(flac->pictureList());
    if (auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(file))
        return Id3Cover(mpeg->ID3v2Tag());
    if (auto* mp4 = dynamic_cast<TagLib::MP4::File*>(file)) {
        if (!mp4->tag() || !mp4->tag()->contains("covr"))
            return {};
        const TagLib::MP4::CoverArtList covers = mp4->tag()->item("covr").toCoverArtList();
        return covers.isEmpty() ? QByteArray() : Bytes(covers.front().data());
    }
    if (auto* xiph = dynamic_cast<TagLib::Ogg::XiphComment*>(file->tag()))
        return FlacStyleCover(xiph->pictureList());
    return {};
}

// The value most files give; the first met among equals. Empty when no file gives one.
template <typename Get> QString MostCommon(const std::vector<RippedTrack>& tracks, Get get) {
    std::map<QString, int> counts;
    QString best;
    int bestCount = 0;
    for (const RippedTrack& t : tracks) {
        const QString v = get(t);
        if (v.isEmpty())
            continue;
        if (const int n = ++counts[v]; n > bestCount) {
            best = v;
            bestCount = n;
        }
    }
    return best;
}

QString CoverFileIn(const QDir& folder) {
    for (const QString& name : folder.entryList(QDir::Files, QDir::Name)) {
        const QString lower = name.toLower();
        if (lower == QLatin1String("folder.jpg") || lower == QLatin1String("cover.jpg") ||
            lower == QLatin1String("folder.jpeg") || lower == QLatin1String("cover.jpeg") ||
            lower == QLatin1String("folder.png") || lower == QLatin1String("cover.png"))
            return folder.filePath(name);
    }
    return {};
}

} // namespace

bool IsAudioFileName(const QString& name) {
    static const QStringList suffixes{"flac", "mp3", "ogg", "oga", "opus", "m4a", "aac", "mp4", "wav", "wma"};
    return suffixes.contains(QFileInfo(name).suffix().toLower());
}

bool ReadTrackTags(const QString& path, RippedTrack& track, QByteArray* cover) {
    const QFileInfo info(path);
    if (!info.isFile())
        return false;
    TagLib::FileRef ref(QFile::encodeName(path).constData(), true, TagLib::AudioProperties::Fast);
    if (ref.isNull() || !ref.file()->isValid())
        return false;
    track = {};
    track.path = path;
    if (const TagLib::Tag* tag = ref.tag()) {
        track.title = ToQ(tag->title());
        track.artist = ToQ(tag->artist());
        track.album = ToQ(tag->album());
        track.genre = ToQ(tag->genre());
        track.track = static_cast<int>(tag->track());
        if (tag->year() > 0)
            track.year = QString::number(tag->year());
    }
    const TagLib::PropertyMap properties = ref.file()->properties();
    track.albumArtist = Property(properties, {"ALBUMARTIST", "ALBUM ARTIST"});
    track.composer = Property(properties, {"COMPOSER"});
    track.label = Property(properties, {"LABEL", "ORGANIZATION", "PUBLISHER"});
    track.catalogueNumber = Property(properties, {"CATALOGNUMBER"});
    track.disc = LeadingNumber(Property(properties, {"DISCNUMBER"}));
    if (track.year.isEmpty())
        track.year = Property(properties, {"DATE", "YEAR"}).left(4);
    if (const TagLib::AudioProperties* audio = ref.audioProperties())
        track.milliseconds = std::max(0, audio->lengthInMilliseconds());
    if (track.title.isEmpty())
        track.title = info.completeBaseName();
    if (cover)
        *cover = EmbeddedCover(ref.file());
    return true;
}

CddbDisc RippedAlbum::disc() const {
    CddbDisc d;
    d.layout = CddbLayout::Freedb;
    d.encoding = platform::TextEncoding::Utf8;
    d.albumItems = {LabelTitle,     LabelArtist, LabelYear,       LabelGenre,     LabelLabel,
                    LabelCatalogue, LabelDisc,   LabelTrackCount, LabelDiscLength};
    d.trackItems = {LabelTrackTitle, LabelArtist, LabelComposer, LabelTrackNumber, LabelTrackLength};
    QString title = MostCommon(tracks, [](const RippedTrack& t) { return t.album; });
    d.albumValues[LabelTitle] = title.isEmpty() ? QFileInfo(folder).fileName() : title;
    QString artist = MostCommon(tracks, [](const RippedTrack& t) { return t.albumArtist; });
    d.albumValues[LabelArtist] =
        artist.isEmpty() ? MostCommon(tracks, [](const RippedTrack& t) { return t.artist; }) : artist;
    d.albumValues[LabelYear] = MostCommon(tracks, [](const RippedTrack& t) { return t.year; });
    d.albumValues[LabelGenre] = MostCommon(tracks, [](const RippedTrack& t) { return t.genre; });
    d.albumValues[LabelLabel] = MostCommon(tracks, [](const RippedTrack& t) { return t.label; });
    d.albumValues[LabelCatalogue] = MostCommon(tracks, [](const RippedTrack& t) { return t.catalogueNumber; });
    const int discNo = tracks.empty() ? 0 : tracks.front().disc;
    d.albumValues[LabelDisc] = discNo > 0 ? QString::number(discNo) : QString();
    d.albumValues[LabelTrackCount] = QString::number(tracks.size());
    qint64 total = 0;
    for (const RippedTrack& t : tracks)
        total += t.milliseconds;
    d.albumValues[LabelDiscLength] = DiscLengthText(total);
    int number = 0;
    for (const RippedTrack& t : tracks) {
        CddbTrack track;
        track.number = ++number;
        track.values[LabelTrackTitle] = t.title;
        track.values[LabelArtist] = t.artist;
        track.values[LabelComposer] = t.composer;
        track.values[LabelTrackNumber] = t.track > 0 ? QString::number(t.track) : QString();
        track.values[LabelTrackLength] = TrackLengthText(t.milliseconds);
        d.tracks.push_back(std::move(track));
    }
    return d;
}

RippedScan ScanRippedFolder(const QString& root, const std::function<bool(int, int)>& progress) {
    RippedScan scan;
    QStringList folders{QDir(root).absolutePath()};
    QDirIterator it(root, QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        folders << it.next();
    std::sort(folders.begin() + 1, folders.end());

    std::vector<std::pair<QString, QStringList>> work; // folder and its audio files
    int total = 0;
    for (const QString& folder : folders) {
        QStringList files;
        for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::NoSymLinks, QDir::Name))
            if (IsAudioFileName(name))
                files << QDir(folder).filePath(name);
        if (!files.isEmpty()) {
            total += static_cast<int>(files.size());
            work.emplace_back(folder, files);
        }
    }
    int done = 0;
    for (const auto& [folder, files] : work) {
        RippedAlbum album;
        album.folder = folder;
        for (const QString& file : files) {
            if (progress && !progress(done, total)) {
                scan.cancelled = true;
                return scan;
            }
            ++done;
            RippedTrack track;
            QByteArray cover;
            if (!ReadTrackTags(file, track, album.embeddedCover.isEmpty() ? &cover : nullptr)) {
                scan.unreadable << file;
                continue;
            }
            if (album.embeddedCover.isEmpty())
                album.embeddedCover = cover;
            album.tracks.push_back(std::move(track));
        }
        if (album.tracks.empty())
            continue;
        // Files without a number keep their name order, after the numbered ones of their disc.
        std::stable_sort(album.tracks.begin(), album.tracks.end(), [](const RippedTrack& a, const RippedTrack& b) {
            const int ta = a.track > 0 ? a.track : INT_MAX, tb = b.track > 0 ? b.track : INT_MAX;
            return std::pair(a.disc, ta) < std::pair(b.disc, tb);
        });
        album.coverFile = CoverFileIn(QDir(folder));
        scan.albums.push_back(std::move(album));
    }
    if (progress)
        progress(total, total);
    return scan;
}

} // namespace quelm::exchange
