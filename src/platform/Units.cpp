#include "platform/Units.h"

#include <algorithm>
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

QColor ColorFromWindowsRgb(const QString& decimalText, quint32 fallback) {
    const QString text = decimalText.trimmed();
    const bool digitsOnly =
        !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    bool ok = false;
    const qulonglong v = digitsOnly ? text.toULongLong(&ok) : 0;
    return ColorFromWindowsRgb(ok && v <= 0xFFFFFF ? static_cast<quint32>(v) : fallback);
}

quint32 WindowsRgb(const QColor& color) {
    return static_cast<quint32>(color.red()) | (static_cast<quint32>(color.green()) << 8) |
           (static_cast<quint32>(color.blue()) << 16);
}

QString WindowsRgbText(const QColor& color) {
    return QString::number(WindowsRgb(color));
}

} // namespace quelm::platform
