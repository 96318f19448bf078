#pragma once

#include "exchange/CddbFile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace quelm::exchange {

// One audio file as its tags describe it.
struct RippedTrack {
    QString path;
    QString title, artist, composer;
    QString album, albumArtist, year, genre, label, catalogueNumber;
    int track = 0;
    int disc = 0;
    qint64 milliseconds = 0;
};

// One folder of audio files: one disc.
struct RippedAlbum {
    QString folder;
    std::vector<RippedTrack> tracks; // by disc and track number, then file name
    QByteArray embeddedCover;        // the front cover of the first file that has one
    QString coverFile;               // folder.jpg or cover.jpg beside the files; empty when there is none

    // The album as the import maps it: album items (タイトル, アーティスト, 発売年 …) and track items (曲名 …).
    CddbDisc disc() const;
};

struct RippedScan {
    std::vector<RippedAlbum> albums; // in folder order
    QStringList unreadable;          // audio files whose tags could not be read; skipped
    bool cancelled = false;
};

// The file names taken for audio: FLAC, MP3, Ogg Vorbis, Opus, M4A/AAC, WAV and WMA.
bool IsAudioFileName(const QString& name);

// Reads the tags of one file; false when it is no audio file TagLib can read. The front cover, when wanted and the
// file has one, goes into cover.
bool ReadTrackTags(const QString& path, RippedTrack& track, QByteArray* cover = nullptr);

// Every folder under root (root included) that holds audio files is one album. progress(done, total) is called per
// file; returning false cancels the scan. Symbolic links to folders are not followed, so a loop cannot trap it.
RippedScan ScanRippedFolder(const QString& root, const std::function<bool(int, int)>& progress = {});

} // namespace quelm::exchange
