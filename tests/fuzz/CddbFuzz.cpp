#include "FuzzTargets.h"

#include "exchange/CddbFile.h"

#include <algorithm>

namespace quelm::fuzz {

namespace {

void CheckDisc(const exchange::CddbDisc& disc) {
    int last = -1;
    for (const exchange::CddbTrack& track : disc.tracks) {
        Require(track.number > last, "tracks out of order or repeated");
        Require(track.number >= 0 && track.number <= exchange::MaxCddbTrackNumber, "a track number out of range");
        last = track.number;
        for (const auto& [label, value] : track.values) {
            Require(disc.trackItems.contains(label), "a track value without its item");
            exchange::DecodeCddbEscapes(value);
        }
    }
    for (const auto& [label, value] : disc.albumValues) {
        Require(disc.albumItems.contains(label), "an album value without its item");
        exchange::TrackCountText(value);
        exchange::DecodeCddbEscapes(value);
    }
}

} // namespace

// A CDDB file in the chosen folder may hold anything: read in every encoding the screen offers, its items and
// tracks keep their order and every value belongs to a listed item; the file read from disk reads as the bytes do.
void FuzzCddbReader(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CheckDisc(exchange::ParseCddb(bytes));
    for (const platform::TextEncoding e : platform::AllTextEncodings())
        CheckDisc(exchange::ParseCddb(bytes, e));
    const QString path = ScratchFile(data, size, QStringLiteral(".txt"));
    const exchange::CddbReadResult read = exchange::ReadCddbFile(path);
    if (read.status == exchange::CddbReadStatus::Ok) {
        const exchange::CddbDisc parsed = exchange::ParseCddb(bytes);
        Require(read.disc.albumItems == parsed.albumItems && read.disc.tracks.size() == parsed.tracks.size(),
                "the file reads otherwise than its bytes");
    }
    exchange::ReadCddbListTitle(path);
}

} // namespace quelm::fuzz
