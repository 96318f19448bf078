#include "FuzzTargets.h"

#include "records/RecordPicture.h"

namespace quelm::fuzz {

// A picture chosen by the user may be anything: either it loads, upright and within the size limits, or it is
// refused with a message; never a crash, a hang or a huge allocation.
void FuzzPictureLoader(const std::uint8_t* data, std::size_t size) {
    const QString path = ScratchFile(data, size, QStringLiteral(".jpg"));
    const records::LoadedPicture picture = records::LoadPicture(path);
    if (!picture.ok()) {
        Require(picture.image.isNull(), "a refused picture comes with an image");
        return;
    }
    Require(!picture.image.isNull(), "a loaded picture has no image");
    Require(static_cast<qint64>(picture.naturalSize.width()) * picture.naturalSize.height() <=
                    records::MaxPicturePixels &&
                picture.image.sizeInBytes() <= records::MaxDecodedBytes,
            "a picture beyond the size limit was loaded");
    // What the record screen does next with a loaded picture.
    const QImage box = records::ComposeBoxImage(picture.image, picture.naturalSize, QSize(190, 186), Qt::white);
    Require(box.size() == QSize(190, 186), "the box image has another size");
}

} // namespace quelm::fuzz
