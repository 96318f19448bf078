#include "platform/CodePage.h"

#include <QList>

namespace quelm::platform {

int LenMbcs(const QString& text) {
    int bytes = 0;
    for (const char32_t c : text.toUcs4()) {
        const bool single = c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F);
        bytes += single ? 1 : 2;
    }
    return bytes;
}

} // namespace quelm::platform
