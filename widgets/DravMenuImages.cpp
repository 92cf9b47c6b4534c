#include "widgets/DravMenu.h"

bool DravMenu::IconSizeUsable() const
{
    return IconWidth > 0 && IconHeight > 0 && IconWidth <= kMaxIconSide && IconHeight <= kMaxIconSide;
}

int DravMenu::FindSharedImageIndex(int32_t id) const
{
    const auto& ids = ctx_.SharedImageIds;
    for (size_t i = 0; i < ids.size(); ++i)
        if (ids[i] == id)
            return static_cast<int>(i);
    return -1;
}

int DravMenu::FindToolbarImageIndex(int resource, uint32_t id) const
{
    return FindToolbarImageIndexIn(ctx_.resources, static_cast<uint16_t>(resource & 0xFFFF), id);
}

bool DravMenu::HasFadedAndShadowImages(int index) const
{
    const auto& ids = ctx_.SharedImageIds;
    if (index < 0 || static_cast<size_t>(index) + 2 >= ids.size())
        return false;
    const size_t i = static_cast<size_t>(index);
    return ids[i + 1] == ids[i] && ids[i + 2] == ids[i];
}

QImage DravMenu::ImageToBitmap(const MenuImageList& list, int index) const
{
    if (!IconSizeUsable())
        return {};
    QImage bitmap(IconWidth, IconHeight, QImage::Format_RGB32);
    bitmap.fill(QColor::fromRgb(ctx_.inputs.colors.btnFace));
    MenuDC dc(&bitmap);
    list.DrawTransparent(dc, index, 0, 0);
    return bitmap;
}

void DravMenu::MakeFadedBitmap(QImage& bitmap) const
{
    const uint32_t reference = ctx_.inputs.colors.btnFace & 0xFFFFFF;
    for (int y = 0; y < bitmap.height(); ++y)
        for (int x = 0; x < bitmap.width(); ++x) {
            const uint32_t px = bitmap.pixel(x, y) & 0xFFFFFF;
            if (px != reference)
                bitmap.setPixel(x, y, 0xFF000000u | BlendTowardWhite(px, 0.3));
        }
}

void DravMenu::MakeShadowBitmap(QImage& bitmap) const
{
    const uint32_t reference = ctx_.inputs.colors.btnFace & 0xFFFFFF;
    uint32_t shadow = ctx_.inputs.colors.btnShadow & 0xFFFFFF;
    if (!ctx_.IsXpThemedStyle())
        shadow = BlendTowardWhite(shadow, 0.49);
    for (int y = 0; y < bitmap.height(); ++y)
        for (int x = 0; x < bitmap.width(); ++x)
            if ((bitmap.pixel(x, y) & 0xFFFFFF) != reference)
                bitmap.setPixel(x, y, 0xFF000000u | shadow);
}

int DravMenu::AddBitmapToImageList(MenuImageList& list, int resource)
{
    if (IconHandleMode) {
        if (auto it = ctx_.icons.find(resource); it != ctx_.icons.end())
            list.ReplaceIcon(-1, it->second);
        return 1;
    }
    const uint32_t btnFace = ctx_.inputs.colors.btnFace;
    const uint32_t mask = UseBitmapBackground ? BitmapBackground : btnFace;
    const auto bytes = ctx_.resources.FindBitmap(static_cast<uint16_t>(resource & 0xFFFF));
    if (!bytes)
        return 0;
    const QImage bitmap = DecodeMenuBitmap(*bytes, ctx_.inputs.colors, BitmapColorCount(*bytes) == 16);
    if (bitmap.isNull() || list.AddMasked(bitmap, mask) < 0)
        return 0;
    if (ctx_.UsesXpDrawingStyle() && ctx_.XpGlossyImages) {
        const QImage plain = ImageToBitmap(list, 0);
        QImage faded = plain, shadow = plain;
        MakeFadedBitmap(faded);
        MakeShadowBitmap(shadow);
        list.AddMasked(faded, btnFace);
        list.AddMasked(shadow, btnFace);
    }
    return 1;
}

int DravMenu::AddToSharedImageList(const MenuImageList& list, int index, int32_t id)
{
    if (!IconSizeUsable())
        return -1;
    if (!ctx_.SharedImageList)
        ctx_.SharedImageList = std::make_unique<MenuImageList>(IconWidth, IconHeight);
    MenuImageList& shared = *ctx_.SharedImageList;
    auto& ids = ctx_.SharedImageIds;
    const MenuImageList::Icon icon = list.GetIcon(index);
    if (icon.IsNull())
        return -1;
    const uint32_t btnFace = ctx_.inputs.colors.btnFace;
    const bool glossy = ctx_.UsesXpDrawingStyle() && ctx_.XpGlossyImages;
    QImage faded, shadow;
    if (glossy) {
        faded = ImageToBitmap(list, index);
        shadow = faded;
        MakeFadedBitmap(faded);
        MakeShadowBitmap(shadow);
    }
    const int at = FindSharedImageIndex(id);
    if (at >= 0) {
        if (shared.ReplaceIcon(at, icon) < 0)
            return -1;
        if (glossy && HasFadedAndShadowImages(at)) {
            MenuImageList copies(shared.Width(), shared.Height());
            copies.AddMasked(faded, btnFace);
            copies.AddMasked(shadow, btnFace);
            shared.ReplaceIcon(at + 1, copies.GetIcon(0));
            shared.ReplaceIcon(at + 2, copies.GetIcon(1));
        }
        return at;
    }
    const int added = shared.ReplaceIcon(-1, icon);
    if (added < 0)
        return -1;
    ids.push_back(id);
    if (glossy) {
        // The three entries stay together: both copies or neither.
        MenuImageList copies(shared.Width(), shared.Height());
        if (copies.AddMasked(faded, btnFace) >= 0 && copies.AddMasked(shadow, btnFace) >= 0) {
            shared.ReplaceIcon(-1, copies.GetIcon(0));
            shared.ReplaceIcon(-1, copies.GetIcon(1));
            ids.push_back(id);
            ids.push_back(id);
        }
    }
    return added;
}
