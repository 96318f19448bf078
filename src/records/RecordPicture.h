#pragma once

#include "store/AppState.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>

namespace quelm::records {

// A picture whose header claims more than this is refused before it is decoded: a hostile or broken header must
// not make the program allocate gigabytes. The shape does not matter: a long narrow strip is fine.
inline constexpr qint64 MaxPicturePixels = 100'000'000;
// The most memory one decoded picture may take (the picture reader's own allocation limit).
inline constexpr qint64 MaxDecodedBytes = qint64(256) * 1024 * 1024;

inline const QString PictureErrorTitle = QStringLiteral("ERROR");
// Shown when a registered picture cannot be loaded: the record's first field + this text.
inline const QString PictureNotFoundText = QStringLiteral(" の登録画像が見つかりません。");
inline const QString PictureNotDeletedMessage = QStringLiteral("画像ファイルが削除できませんでした"); // exclamation
inline const QString PictureNotSavedMessage = QStringLiteral("画像ファイルが保存できませんでした");   // exclamation

// Where a picture of the given size is drawn in a box of the given inner size, in pixels. A picture at least as
// large as the box in one direction takes the box's extent there, times its shape factor (height / width of a
// landscape picture, width / height of a portrait one); in a direction where it is smaller it keeps its own extent.
// The result is centred; halves round to the even neighbour. Never narrower or lower than one pixel.
QRect FitPictureToBox(QSize box, QSize picture);

struct LoadedPicture {
    QImage image;      // upright; large pictures are decoded at a reduced size
    QSize naturalSize; // the picture's own size, upright
    QString error;     // the text to show when the file cannot be used
    bool ok() const { return error.isEmpty(); }
};
// Reads a picture file, whatever its name says it is, turned upright as its EXIF orientation asks. Refuses, before
// reading, anything that is not a regular file (a pipe or a device would never end); a file that is not a complete,
// readable picture; and, before decoding, one whose header claims more than MaxPicturePixels or whose decoded form
// would take more than MaxDecodedBytes.
LoadedPicture LoadPicture(const QString& path);

// Whether a JPEG file runs from its start marker through its entropy-coded data to the end-of-image marker.
// A truncated file decodes without complaint, its missing part grey, so it is caught here.
bool JpegIsComplete(const QString& path);

// Whether the decoder reads a JPEG's entropy-coded data to its end. Data cut short and followed by a marker passes
// JpegIsComplete, but decodes with a grey rest and only a warning ("premature end of data segment").
bool JpegDataIsWhole(const QString& path);

// The content of the picture box: box size, background colour, and the picture fitted into it as FitPictureToBox
// places a picture of naturalSize.
QImage ComposeBoxImage(const QImage& picture, QSize naturalSize, QSize box, const QColor& background);

// Writes an image as a JPEG of quality 100 through a temporary file in the target's folder, renamed into place, so
// a failure leaves any earlier file of that name whole.
bool WriteJpeg(const QImage& image, const QString& path);

// Removes what a save killed half-way leaves in the picture folder: a picture's temporary file, named after the
// picture with a dot and six letters or digits ("4_12.jpg.aBc123"). Nothing else is touched. Returns how many went.
// Only at start-up, while this copy holds the data folder: at any other time the file may be a save in progress.
int RemoveStaleTemporaryPictures(const QString& pictureFolder);

// Sets 画像jpg有無 of the record regNo of a category's main table (jpgswr 0 or 1) in one transaction. Returns the
// number of records changed; raises platform::EngineError.
int ShumokuUpDate(const store::AppState& state, int section, std::int32_t regNo, int jpgswr);

struct PictureResult {
    enum class Status { Ok, FileFailed, EngineError };
    Status status = Status::Ok;
    QString message; // EngineError: the engine's message
    bool ok() const { return status == Status::Ok; }
};
// Stores the box image as the record's picture file and sets its flag to 1. The file and the flag change together:
// when the file cannot be written the flag stays 0, and when the flag cannot be written the new file is removed.
PictureResult SaveRecordPicture(const store::AppState& state, int section, std::int32_t regNo, const QImage& boxImage);
// Removes the record's picture file and sets its flag to 0, together. A file that is already gone counts as
// removed, so a record whose file was lost can be cleared and given a new picture.
PictureResult DeleteRecordPicture(const store::AppState& state, int section, std::int32_t regNo);

} // namespace quelm::records
