#include "widgets/MenuImageList.h"

#include "widgets/MenuDeviceContext.h"

MenuImageList::MenuImageList(int width, int height)
    : width_(width > 0 && width <= kMaxSide ? width : 0),
      height_(height > 0 && height <= kMaxSide ? height : 0)
{
}

MenuImageList::Icon MenuImageList::CutImage(const QImage& bitmap, int left, uint32_t maskColor) const
{
    Icon icon;
    icon.image = QImage(width_, height_, QImage::Format_RGB32);
    icon.image.fill(0);
    icon.transparent.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), true);
    for (int y = 0; y < height_ && y < bitmap.height(); ++y) {
        for (int x = 0; x < width_; ++x) {
            const uint32_t px = bitmap.pixel(left + x, y) & 0xFFFFFF;
            if (px == (maskColor & 0xFFFFFF))
                continue;  // masked pixels are black in the image, transparent on drawing
            icon.image.setPixel(x, y, 0xFF000000u | px);
            icon.transparent[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)] = false;
        }
    }
    return icon;
}

int MenuImageList::AddMasked(const QImage& bitmap, uint32_t maskColor)
{
    if (!IsValid() || bitmap.isNull() || bitmap.width() < width_)
        return -1;
    const QImage src = bitmap.convertToFormat(QImage::Format_RGB32);
    const int first = Count();
    for (int left = 0; left + width_ <= src.width(); left += width_)
        images_.push_back(CutImage(src, left, maskColor));
    return first;
}

int MenuImageList::ReplaceIcon(int index, const Icon& icon)
{
    if (!IsValid() || icon.IsNull() || icon.image.width() != width_ || icon.image.height() != height_)
        return -1;
    if (index == -1) {
        images_.push_back(icon);
        return Count() - 1;
    }
    if (index < 0 || index >= Count())
        return -1;
    images_[static_cast<size_t>(index)] = icon;
    return index;
}

MenuImageList::Icon MenuImageList::GetIcon(int index) const
{
    if (index < 0 || index >= Count())
        return {};
    return images_[static_cast<size_t>(index)];
}

bool MenuImageList::DrawTransparent(MenuDC& dc, int index, int x, int y) const
{
    if (index < 0 || index >= Count())
        return false;
    const Icon& icon = images_[static_cast<size_t>(index)];
    for (int iy = 0; iy < height_; ++iy)
        for (int ix = 0; ix < width_; ++ix)
            if (!icon.transparent[static_cast<size_t>(iy) * static_cast<size_t>(width_) + static_cast<size_t>(ix)])
                dc.SetPixel(x + ix, y + iy, icon.image.pixel(ix, iy) & 0xFFFFFF);
    return true;
}
