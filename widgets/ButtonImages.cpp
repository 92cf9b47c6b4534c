#include "widgets/ButtonImages.h"

#include <algorithm>

int ChooseStateImage(bool checkBoxMode, bool pressed, bool hovered, bool hasNormal)
{
    if (!hasNormal) return ButtonImage::Hover;
    if (checkBoxMode) return pressed ? ButtonImage::Hover : ButtonImage::Normal;
    return (pressed || hovered) ? ButtonImage::Hover : ButtonImage::Normal;
}

namespace {

template <typename F>
QImage MapNonBlack(const QImage& src, F f)
{
    QImage img = src.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = row[x];
            if ((p & 0x00FFFFFFu) == 0) continue;  // black stays black
            row[x] = f(p);
        }
    }
    return img;
}

}  // namespace

QImage GreyImage(const QImage& src)
{
    return MapNonBlack(src, [](QRgb p) {
        const int g = static_cast<int>(0.299 * qRed(p) + 0.587 * qGreen(p) + 0.114 * qBlue(p));
        return qRgba(g, g, g, qAlpha(p));
    });
}

QImage DarkerImage(const QImage& src)
{
    return MapNonBlack(src, [](QRgb p) {
        auto d = [](int c) { return static_cast<int>(c - 0.25 * c); };
        return qRgba(d(qRed(p)), d(qGreen(p)), d(qBlue(p)), qAlpha(p));
    });
}

QColor ShiftColor(const QColor& c, int offset)
{
    const int r = c.red(), g = c.green(), b = c.blue();
    int d = offset;
    if (d > 0) d = std::min({d, 255 - r, 255 - g, 255 - b});
    else d = std::max({d, -r, -g, -b});
    return QColor(r + d, g + d, b + d, c.alpha());
}
