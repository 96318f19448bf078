#pragma once

#include <QString>

namespace quelm::platform {

// Length of a text in bytes of the Japanese multibyte code page (CP932): ASCII and half-width katakana count 1,
// every other character 2.
int LenMbcs(const QString& text);

} // namespace quelm::platform
