#include "records/RecordPicture.h"

#include "platform/Database.h"
#include "platform/WriteFaults.h"
#include "records/MainRecords.h"
#include "store/Catalogue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <unistd.h>

namespace quelm::records {

using platform::EngineError;
using platform::Value;

namespace {

// Pictures are fitted into a box of a few hundred pixels, so a large one is decoded at a reduced size: the result
// looks the same and a 100-megapixel photograph does not need 400 MB.
constexpr qint64 DecodePixelLimit = 4000 * 4000;

int RoundHalfEven(double v) {
    return static_cast<int>(std::nearbyint(v)); // the default rounding mode rounds halves to even
}

QString UnreadableMessage(const QString& path) {
    return QFileInfo(path).fileName() + QStringLiteral(" は画像ファイルとして読み込めません。");
}

QString NotAFileMessage(const QString& path) {
    return QFileInfo(path).fileName() + QStringLiteral(" は通常のファイルではないため読み込めません。");
}

QString TooLargeMessage(const QString& path) {
    return QFileInfo(path).fileName() +
           QStringLiteral(" は画像が大きすぎるため読み込めません。（画素数は 1 億、展開後は %1 MB まで）")
               .arg(MaxDecodedBytes / (1024 * 1024));
}

qint64 Pixels(QSize size) {
    return static_cast<qint64>(size.width()) * size.height();
}

// The size a picture is decoded at: its own, or less when it has more pixels than the box could ever show.
QSize DecodeSize(QSize stored) {
    if (Pixels(stored) <= DecodePixelLimit)
        return stored;
    const double factor = std::sqrt(static_cast<double>(DecodePixelLimit) / Pixels(stored));
    return QSize(std::max(1, static_cast<int>(stored.width() * factor)),
                 std::max(1, static_cast<int>(stored.height() * factor)));
}

// Memory of the decoded picture. Only the JPEG decoder reads at a reduced size; other readers decode the whole
// picture first and scale it afterwards, so count the whole.
qint64 DecodedBytes(const QImageReader& reader, QSize stored) {
    const QSize decoded = reader.format() == "jpeg" ? DecodeSize(stored) : stored;
    const int bits = reader.imageFormat() == QImage::Format_Invalid
                         ? 32
                         : std::max<int>(32, QImage::toPixelFormat(reader.imageFormat()).bitsPerPixel());
    return Pixels(decoded) * (bits / 8);
}

bool TooLarge(const QImageReader& reader, QSize stored) {
    return Pixels(stored) > MaxPicturePixels || DecodedBytes(reader, stored) > MaxDecodedBytes;
}

// Sets the flag inside the caller's transaction; returns the number of records changed.
int SetPictureFlag(platform::Database& db, const store::AppState& state, int section, std::int32_t regNo, int jpgswr) {
    const store::ConfigSection& s = state.config[CheckedSection(section)];
    // Columns are read by position: the n fields, 登録ＮＯ, then 画像jpg有無.
    const int flagColumn = std::clamp<int>(s.FieldCount, 0, store::MainFieldSlots) + 1;
    auto rs = db.openTable(CheckedTableName(s.TableName), store::MainKeyColumn, Value(regNo));
    RequireColumnCount(*rs, flagColumn + 1);
    if (rs->eof())
        return 0;
    rs->edit();
    rs->setValue(flagColumn, Value(jpgswr));
    rs->update();
    return 1;
}

// Encodes the image as a JPEG of quality 100 into a file not yet in place, on disk before the file is committed.
bool EncodeJpeg(const QImage& image, platform::AtomicFile& file) {
    if (image.isNull() || !file.open(QIODevice::WriteOnly))
        return false;
    QImageWriter writer(&file, "jpeg");
    writer.setQuality(100);
    if (!writer.write(image) || !file.flush() || fsync(file.handle()) != 0) {
        file.cancelWriting();
        return false;
    }
    return true;
}

} // namespace

QRect FitPictureToBox(QSize box, QSize picture) {
    const int w2 = box.width(), h2 = box.height();
    const int w3 = picture.width(), h3 = picture.height();
    if (w2 <= 0 || h2 <= 0 || w3 <= 0 || h3 <= 0)
        return {};
    double a = 1, b = 1;
    if (w3 > h3)
        b = static_cast<double>(h3) / w3;
    if (w3 < h3)
        a = static_cast<double>(w3) / h3;
    const int w = std::max(1, w3 >= w2 ? RoundHalfEven(w2 * a) : w3);
    const int h = std::max(1, h3 >= h2 ? RoundHalfEven(h2 * b) : h3);
    return {RoundHalfEven((w2 - w) / 2.0), RoundHalfEven((h2 - h) / 2.0), w, h};
}

bool JpegIsComplete(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 n = file.size();
    if (n < 4)
        return false;
    QByteArray copy;
    const uchar* d = file.map(0, n);
    if (!d) {
        copy = file.readAll();
        d = reinterpret_cast<const uchar*>(copy.constData());
    }
    if (d[0] != 0xFF || d[1] != 0xD8)
        return false;
    qint64 i = 2;
    while (i < n) {
        if (d[i] != 0xFF)
            return false;
        while (i < n && d[i] == 0xFF) // fill bytes before a marker
            ++i;
        if (i >= n)
            return false;
        const uchar marker = d[i++];
        if (marker == 0xD9)
            return true;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) // markers without a length
            continue;
        if (i + 2 > n)
            return false;
        const int length = (d[i] << 8) | d[i + 1];
        if (length < 2)
            return false;
        i += length;
        if (marker != 0xDA)
            continue;
        // Entropy-coded data runs to the next marker; FF 00 is a stuffed data byte and FF D0 … D7 a restart.
        for (;; ++i) {
            if (i + 1 >= n)
                return false;
            if (d[i] == 0xFF && d[i + 1] != 0x00 && !(d[i + 1] >= 0xD0 && d[i + 1] <= 0xD7))
                break;
        }
    }
    return false;
}

LoadedPicture LoadPicture(const QString& path) {
    LoadedPicture out;
    const QFileInfo file(path);
    if (file.exists() && !file.isFile()) {
        out.error = NotAFileMessage(path);
        return out;
    }
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    if (!reader.canRead()) {
        out.error = UnreadableMessage(path);
        return out;
    }
    const QSize stored = reader.size(); // from the header, before anything is decoded
    if (stored.isValid() && TooLarge(reader, stored)) {
        out.error = TooLargeMessage(path);
        return out;
    }
    if (reader.format() == "jpeg" && (!JpegIsComplete(path) || !JpegDataIsWhole(path))) {
        out.error = UnreadableMessage(path);
        return out;
    }
    if (stored.isValid() && DecodeSize(stored) != stored)
        reader.setScaledSize(DecodeSize(stored));
    const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    QImage image = reader.read();
    if (image.isNull() || (!stored.isValid() && TooLarge(reader, image.size()))) {
        out.error = image.isNull() ? UnreadableMessage(path) : TooLargeMessage(path);
        return out;
    }
    out.naturalSize = stored.isValid() ? (turned ? stored.transposed() : stored) : image.size();
    out.image = std::move(image);
    return out;
}

QImage ComposeBoxImage(const QImage& picture, QSize naturalSize, QSize box, const QColor& background) {
    if (box.isEmpty())
        return {};
    QImage out(box, QImage::Format_RGB32);
    out.fill(background);
    const QRect target = FitPictureToBox(box, naturalSize);
    if (!picture.isNull() && !target.isEmpty()) {
        QPainter painter(&out);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, picture);
    }
    return out;
}

bool WriteJpeg(const QImage& image, const QString& path) {
    platform::AtomicFile file(path);
    return EncodeJpeg(image, file) && file.commit();
}

int RemoveStaleTemporaryPictures(const QString& pictureFolder) {
    // WriteJpeg's temporary name: the picture's own name ("section_regNo.jpg") and a dot with six random characters.
    static const QRegularExpression temporaryName(QStringLiteral("^[0-9]+_-?[0-9]+\\.jpg\\.[A-Za-z0-9]{6}$"));
    int removed = 0;
    const QFileInfoList entries = QDir(pictureFolder).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo& entry : entries) {
        if (temporaryName.match(entry.fileName()).hasMatch() && QFile::remove(entry.filePath()))
            ++removed;
    }
    return removed;
}

int ShumokuUpDate(const store::AppState& state, int section, std::int32_t regNo, int jpgswr) {
    auto db = store::OpenCatalogue(state.databasePath());
    platform::Transaction tx(*db);
    const int changed = SetPictureFlag(*db, state, section, regNo, jpgswr);
    tx.commit();
    return changed;
}

PictureResult SaveRecordPicture(const store::AppState& state, int section, std::int32_t regNo, const QImage& boxImage) {
    const QString path = state.RecordPicturePath(section, regNo);
    bool placed = false;
    try {
        auto db = store::OpenCatalogue(state.databasePath());
        platform::Transaction tx(*db);
        if (SetPictureFlag(*db, state, section, regNo, 1) == 0)
            throw EngineError(RecordMissingMessage(regNo));
        platform::AtomicFile file(path);
        if (!EncodeJpeg(boxImage, file))
            return {PictureResult::Status::FileFailed, PictureNotSavedMessage};
        // The file and the flag cannot change in one step; the order keeps the record sound if the second step fails
        // or the program dies in between. A first picture goes into place before its flag (a file without its flag
        // is written over next time). A new picture for an earlier one waits until the flag is committed, so that a
        // flag that cannot be written leaves the earlier picture in place.
        if (!QFileInfo::exists(path)) {
            if (!file.commit())
                return {PictureResult::Status::FileFailed, PictureNotSavedMessage};
            placed = true;
            tx.commit();
        } else {
            tx.commit();
            if (!file.commit())
                return {PictureResult::Status::FileFailed, PictureNotSavedMessage};
        }
        return {};
    } catch (const EngineError& e) {
        if (placed)
            QFile::remove(path);
        return {PictureResult::Status::EngineError, e.message()};
    }
}

PictureResult DeleteRecordPicture(const store::AppState& state, int section, std::int32_t regNo) {
    const QString path = state.RecordPicturePath(section, regNo);
    try {
        auto db = store::OpenCatalogue(state.databasePath());
        platform::Transaction tx(*db);
        if (SetPictureFlag(*db, state, section, regNo, 0) == 0)
            throw EngineError(RecordMissingMessage(regNo));
        // The file goes while the flag change is still open, so a file that stays keeps its flag at 1.
        const QFileInfo info(path);
        if (info.exists() || info.isSymLink()) {
            if (info.isDir() || !QFile::remove(path))
                return {PictureResult::Status::FileFailed, PictureNotDeletedMessage};
        }
        tx.commit();
        return {};
    } catch (const EngineError& e) {
        return {PictureResult::Status::EngineError, e.message()};
    }
}

} // namespace quelm::records
