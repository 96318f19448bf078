#pragma once

#include <QByteArray>
#include <QString>
#include <map>

namespace quelm::exchange {

// The titles and performers of a disc's CD-Text; track 0 is the album.
struct CdText {
    std::map<int, QString> titles;
    std::map<int, QString> performers;

    bool empty() const { return titles.empty() && performers.empty(); }
};

// Decodes CD-Text as a drive returns it: packs of 18 bytes, with or without the 4-byte header before them. Of several
// blocks (languages) the Japanese one is taken when there is one, else the first. Text in the Japanese character set
// (MS-JIS) is decoded as CP932, the other blocks as ISO-8859-1. Damaged packs are skipped, never trusted for a length.
CdText DecodeCdTextPacks(const QByteArray& raw);

} // namespace quelm::exchange
