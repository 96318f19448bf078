#include "platform/Units.h"

#include <cmath>

namespace quelm::platform {

int TwipsToPixels(int twips) {
    return static_cast<int>(std::lround(twips / static_cast<double>(TwipsPerPixel)));
}

int PixelsToTwips(int pixels) {
    return pixels * TwipsPerPixel;
}

QRect TwipsRect(int left, int top, int width, int height) {
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height));
}

QColor ColorFromWindowsRgb(quint32 rgb) {
    return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

QColor ColorFromWindowsRgb(const QString& decimalText) {
    bool ok = false;
    const qulonglong v = decimalText.trimmed().toULongLong(&ok);
    return ColorFromWindowsRgb(ok ? static_cast<quint32>(v & 0xFFFFFF) : 0u);
}

quint32 WindowsRgb(const QColor& color) {
    return static_cast<quint32>(color.red()) | (static_cast<quint32>(color.green()) << 8) |
           (static_cast<quint32>(color.blue()) << 16);
}

QString WindowsRgbText(const QColor& color) {
    return QString::number(WindowsRgb(color));
}

} // namespace quelm::platform
