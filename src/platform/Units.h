#pragma once

#include <QColor>
#include <QRect>
#include <QString>

namespace quelm::platform {

// Screen sizes of the screens are given in twips (1/1440 inch): 15 twips a pixel at 96 dpi.
constexpr int TwipsPerPixel = 15;

int TwipsToPixels(int twips);
int PixelsToTwips(int pixels);
QRect TwipsRect(int left, int top, int width, int height);

// Colours are stored as decimal text of a Windows RGB value: red + green*256 + blue*65536. A cell that is not such a
// value (empty, text, negative, above 0xFFFFFF) gives the fallback: a damaged cell must not paint black on black.
QColor ColorFromWindowsRgb(const QString& decimalText, quint32 fallback);
QColor ColorFromWindowsRgb(quint32 rgb);
quint32 WindowsRgb(const QColor& color);
QString WindowsRgbText(const QColor& color);

} // namespace quelm::platform
