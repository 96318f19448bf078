#include "FuzzTargets.h"

#include "exchange/CdText.h"
#include "exchange/RippedAlbum.h"

namespace quelm::fuzz {

// A disc in the drive may carry any CD-Text: the packs decode to tracks 0 … 99 only.
void FuzzCdTextPacks(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const exchange::CdText text = exchange::DecodeCdTextPacks(bytes);
    for (const auto* strings : {&text.titles, &text.performers})
        for (const auto& [track, value] : *strings)
            Require(track >= 0 && track <= 99 && !value.isEmpty(), "a CD-Text string outside the tracks, or empty");
}

// A ripped album folder may hold anything under an audio name: the tags are read under every audio suffix, since
// the reader is chosen by the name.
void FuzzTagReader(const std::uint8_t* data, std::size_t size) {
    for (const char* suffix : {".flac", ".mp3", ".ogg", ".opus", ".m4a", ".wav", ".wma"}) {
        const QString path = ScratchFile(data, size, QString::fromLatin1(suffix));
        exchange::RippedTrack track;
        QByteArray cover;
        if (exchange::ReadTrackTags(path, track, &cover)) {
            Require(track.milliseconds >= 0, "a negative length");
            Require(cover.size() <= 16 * 1024 * 1024, "a cover beyond the limit");
            Require(!track.title.isEmpty(), "a track without a title");
        }
    }
}

} // namespace quelm::fuzz
