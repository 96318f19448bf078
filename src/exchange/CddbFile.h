#pragma once

#include "platform/CodePage.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <map>
#include <optional>
#include <vector>

namespace quelm::exchange {

// A key of a CDDB file and the label the import screen shows for it.
struct CddbKey {
    QString key;
    QString label;
};

// The album keys in the order their items are listed (DISCID … LANGUAGE, then DGENRE of the freedb files).
const std::vector<CddbKey>& CddbAlbumKeys();
// The track keys, without their track number, in the order their items are listed.
const std::vector<CddbKey>& CddbTrackKeys();

// Two kinds of file: the player's (tracks from 1, DARTIST, lengths in milliseconds, repeated keys replace) and the
// freedb/xmcd files of disc databases and rippers (tracks from 0, "Artist / Title", frame offsets in the comments,
// repeated keys continue the value, escapes in EXTD/EXTT).
enum class CddbLayout { Player, Freedb };

struct CddbTrack {
    int number = 0;                    // as the file numbers it
    std::map<QString, QString> values; // by item label
};

// One CD as the import works on it: the items of the album list with their values, and the tracks.
struct CddbDisc {
    CddbLayout layout = CddbLayout::Player;
    platform::TextEncoding encoding = platform::TextEncoding::Cp932;
    QStringList albumItems; // labels as the album list shows them; a player's key on several lines is listed each time
    std::map<QString, QString> albumValues; // by label
    QStringList trackItems;                 // labels of the track keys present, in the table's order
    std::vector<CddbTrack> tracks;          // ascending track number, one per number
    // The first line that is not text in the encoding (0 for none), and whether a NUL character is the reason.
    int faultLine = 0;
    bool faultNul = false;
};

// Files above this size are no CDDB files (a real one is a few kilobytes); they are refused before being read.
inline constexpr qint64 MaxCddbFileBytes = 1024 * 1024;
// The CD list reads only the head of each file, where DTITLE sits.
inline constexpr qint64 CddbListHeadBytes = 64 * 1024;
// Track numbers beyond this are not tracks of a CD; such lines are skipped.
inline constexpr int MaxCddbTrackNumber = 999;

// Undecodable: bytes that are no text in the encoding; disc.faultLine names the first such line.
enum class CddbReadStatus { Ok, Unreadable, TooLarge, NotText, Undecodable };

struct CddbReadResult {
    CddbReadStatus status = CddbReadStatus::Ok;
    CddbDisc disc;
};

// The message for a file that could not be read.
QString CddbReadFailureText(const CddbReadResult& result);

// Reads one CDDB file. Without an encoding the file's own is detected (platform::DetectTextEncoding), falling back
// on CP932 for the player's files and ISO-8859-1 for freedb files.
CddbReadResult ReadCddbFile(const QString& path, std::optional<platform::TextEncoding> encoding = std::nullopt);
// The same on bytes already read.
CddbDisc ParseCddb(const QByteArray& bytes, std::optional<platform::TextEncoding> encoding = std::nullopt);

// The CD list's title of a file: the text after the first "=" of its first DTITLE line; nullopt for a file without
// one, and for a file that cannot be read or is not text in its encoding.
std::optional<QString> ReadCddbListTitle(const QString& path,
                                         std::optional<platform::TextEncoding> encoding = std::nullopt);

// Lengths in milliseconds as the records store them: a disc as H:mm:ss (4530000 → 1:15:30), a track as 00:00
// (225000 → 03:45). Minutes over 99 keep every digit.
QString DiscLengthText(qint64 milliseconds);
QString TrackLengthText(qint64 milliseconds);
// The number of tracks of a TRACKS value: the part after its last comma.
QString TrackCountText(const QString& value);
// The \n, \t and \\ escapes of EXTD and EXTT.
QString DecodeCddbEscapes(const QString& text);

} // namespace quelm::exchange
