#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace quelm::exchange {

// Frames of a CD: 75 a second. Offsets count from the start of the disc, the two-second lead-in included (the first
// track of a plain audio CD starts at frame 150).
inline constexpr int CdFramesPerSecond = 75;
inline constexpr int CdLeadInFrames = 150;

struct DiscTrack {
    int offset = 0; // frames, lead-in included
    bool audio = true;
    QString title;     // CD-Text, empty when the disc has none
    QString performer; // CD-Text
};

// What is read from a disc: its table of contents and, when it has it, its CD-Text.
struct DiscToc {
    std::vector<DiscTrack> tracks; // in track order
    int leadOut = 0;               // frames, lead-in included
    QString title;                 // CD-Text of the album
    QString performer;

    bool hasAudio() const;
    // Seconds from the start of the disc to the lead-out, as the xmcd header states it.
    int lengthSeconds() const { return leadOut / CdFramesPerSecond; }
};

// The disc ID of the freedb databases, as 8 lowercase hex digits: the digit sum of each track's start second, the
// playing time in seconds and the number of tracks. Empty for a disc without tracks.
QString FreedbDiscId(const DiscToc& toc);

// An xmcd file for the disc, in UTF-8: the offsets and disc length in the header comments, the disc ID, and the CD-Text
// as DTITLE ("Artist / Title") and TTITLEn (with "Artist / Title" when a track has a performer of its own).
QByteArray ComposeXmcd(const DiscToc& toc);

// The xmcd file of a freedb entry found for the disc: the entry's data lines (titles, year, genre, notes) under a
// header made from this disc's own offsets and length, with this disc's ID. An entry is text in UTF-8, or else
// ISO-8859-1.
QByteArray ComposeXmcdFromEntry(const DiscToc& toc, const QByteArray& entry);

// An entry of a folder of freedb files that matches a disc.
struct FreedbMatch {
    QString path;
    QString genre; // the folder it was found in; empty when it lay directly in the searched folder
    QString title; // its DTITLE
};

// Entries named by the disc ID in a folder of freedb files: in the folder itself (a ripper's cache) and in each folder
// directly under it (an unpacked freedb archive, one folder per genre). An entry whose titles do not number the
// disc's tracks is another disc with the same ID and is left out. Sorted by genre.
std::vector<FreedbMatch> FindFreedbEntries(const QString& folder, const DiscToc& toc);

} // namespace quelm::exchange
