#include "widgets/DravMenu.h"
#include "widgets/DravMenuMemDC.h"
#include "widgets/MenuRasterOp.h"

#include <algorithm>
#include <optional>

namespace {

constexpr int kMaxItemSide = 8192;  // items larger than this are not drawn

struct ItemText {
    QString label;
    QString accelerator;
    bool hasTab = false;
};

// The label before the first tab, the accelerator after the last one.
ItemText SplitText(const QString& text)
{
    ItemText t;
    const int first = text.indexOf(QLatin1Char('\t'));
    if (first < 0) {
        t.label = text;
        return t;
    }
    t.hasTab = true;
    t.label = text.left(first);
    t.accelerator = text.mid(text.lastIndexOf(QLatin1Char('\t')) + 1);
    return t;
}

int RoundedHalf(int span)
{
    return std::max(0, static_cast<int>(span * 0.5 + 0.5));
}

void DrawItemText(MenuDC& dc, const ItemText& t, MenuRect r, int iconWidth)
{
    if (t.hasTab)
        r.right -= iconWidth;
    dc.DrawText(t.label, r, dt::kSingleLine | dt::kVCenter);
    if (t.hasTab)
        dc.DrawText(t.accelerator, r, dt::kSingleLine | dt::kVCenter | dt::kRight);
}

bool Disabled(uint32_t state)
{
    return state & (ods::kGrayed | ods::kDisabled);
}

}  // namespace

void DravMenu::MeasureItem(MenuMeasureItem* mis)
{
    if (!mis)
        return;
    mis->itemWidth = 0;
    mis->itemHeight = 0;
    if (!IconSizeUsable())
        return;
    const int extra = ctx_.UsesXpDrawingStyle() && ctx_.XpGlossyImages ? 7 : 4;
    const DravMenuData* rec = mis->itemData;
    if (rec && (rec->flags & mf::kSeparator)) {
        mis->itemHeight = std::max(ctx_.inputs.cyMenu / 2, (extra + IconHeight) / 2);
        return;
    }
    // The item DC holds its own default font unless the shell is new enough for the menu font.
    const QFont& font = ctx_.IsNewShellVersion() ? ctx_.inputs.menuFont : ctx_.inputs.dcDefaultFont;
    const int textWidth = ctx_.OsVersionCode != 0 && rec ? ctx_.TextWidth(font, rec->GetText()) : 0;
    mis->itemWidth = ctx_.UsesXpDrawingStyle() ? IconWidth + 8 + textWidth + extra
                                                : 2 * IconWidth + 1 + textWidth;
    mis->itemHeight = std::max(ctx_.inputs.cyMenu, IconHeight + extra);
}

void DravMenu::DrawItem(MenuDrawItem* dis)
{
    if (!dis || !dis->dc || dis->dc->IsNull() || !IconSizeUsable())
        return;
    const MenuRect& r = dis->rcItem;
    if (r.IsEmpty() || r.Width() > kMaxItemSide || r.Height() > kMaxItemSide)
        return;
    if (dis->dc->paletteDevice) {
        DrawItemClassic(dis);
        return;
    }
    const int mode = ctx_.IsXpThemedStyle() ? ctx_.XpDrawMode : ctx_.ClassicDrawMode;
    if (mode == 1)
        DrawItemXp(dis);
    else
        DrawItemClassic(dis);
}

void DravMenu::DrawItemClassic(MenuDrawItem* dis)
{
    MenuDC& dc = *dis->dc;
    const MenuSysColors& col = ctx_.inputs.colors;
    const DravMenuData empty;
    const DravMenuData& rec = dis->itemData ? *dis->itemData : empty;
    MenuRect r = dis->rcItem;
    const uint32_t bg = ctx_.IsXpThemedStyle() ? col.btnFace : col.menu;

    if (rec.flags & mf::kSeparator) {
        dc.FillRect(r, bg);
        r.top = r.top + (r.bottom - r.top) / 2;
        dc.DrawEtchedTop(r, col.btnShadow, col.btnHighlight);
        return;
    }
    const bool disabled = Disabled(dis->itemState);
    const bool checked = dis->itemState & ods::kChecked;
    bool selected = dis->itemState & ods::kSelected;
    if (disabled && !ctx_.ClassicSelectDisabled)
        selected = false;
    const MenuImageList* shared = ctx_.SharedImageList.get();
    const bool hasImage = rec.SharedIndex >= 0 && shared;
    const bool checkImages =
        checked && !hasImage && ((selected && SelectedCheckId > 0) || UnselectedCheckId > 0);

    if (!selected) {
        dc.FillRect(r, bg);
        dc.FrameRect(r, bg);
    } else {
        MenuRect fill = r;
        if (hasImage || checkImages || checked)
            fill.left = r.left + IconWidth + 5;
        dc.FillRect(fill, col.highlight);
        dc.textColor = col.highlightText;
    }

    const int H = r.Height();
    const int e = std::max(0, (H - IconHeight - 4) / 2);
    const MenuRect outer{r.left, r.top + e, r.left + IconWidth + 4, r.top + e + IconHeight + 4};
    const MenuRect inner{r.left + 1, r.top + e + 1, r.left + IconWidth + 3, r.top + e + IconHeight + 3};
    const int ix = r.left + 2, iy = r.top + e + 2;
    if (hasImage || checkImages) {
        dc.FrameRect(inner, bg);
        if (checkImages && CheckImages) {
            dc.FillRect(inner, bg);
            dc.FrameRect(outer, bg);
            CheckImages->DrawTransparent(dc, selected ? 1 : 0, ix, iy);
        } else if (disabled && hasImage) {
            const QImage bitmap = ImageToBitmap(*shared, rec.SharedIndex);
            dc.FrameRect(outer, bg);
            if (DisabledViaDib)
                DrawDisabledImageDib(dc, ix, iy, IconWidth, IconHeight, bitmap, bg);
            else
                DrawDisabledImageMasked(dc, ix, iy, IconWidth, IconHeight, bitmap, bg);
        } else if (selected && hasImage) {
            dc.FillRect(inner, bg);
            if (ctx_.IsNewShellVersion()) {
                if (checked)
                    dc.Draw3dRect(outer, col.btnShadow, col.btnHighlight);
                else
                    dc.Draw3dRect(outer, col.btnHighlight, col.btnShadow);
            }
            shared->DrawTransparent(dc, rec.SharedIndex, ix, iy);
        } else if (checked) {
            dc.FillRect(inner, BlendTowardWhite(bg, 0.6));
            if (ctx_.IsNewShellVersion())
                dc.Draw3dRect(outer, col.btnShadow, col.btnHighlight);
            if (shared)
                shared->DrawTransparent(dc, rec.SharedIndex, ix, iy);
        } else {
            dc.FillRect(inner, bg);
            dc.FrameRect(outer, bg);
            shared->DrawTransparent(dc, rec.SharedIndex, ix, iy);
        }
    }

    if (checked && !hasImage && !checkImages) {
        const MenuRect box{r.left + 1, r.top + e + 2, r.left + IconWidth + 1, r.top + e + IconHeight + 2};
        const bool radio = ctx_.handles.IsRadioItem(dis->hMenu, dis->itemId);
        DrawClassicCheckBox(dc, box, selected, radio, bg);
    }

    const QString text = rec.GetText();
    if (text.isEmpty())
        return;
    const ItemText t = SplitText(text);
    const MenuRect tr{r.left + IconWidth + 9, r.top - 1, r.right, r.bottom - 1};
    const bool wasTransparent = dc.bkTransparent;
    dc.bkTransparent = true;
    if (!disabled) {
        dc.textColor = selected ? col.highlightText : col.menuText;
        DrawItemText(dc, t, tr, IconWidth);
    } else if (selected) {
        dc.textColor = bg;
        DrawItemText(dc, t, tr, IconWidth);
    } else {
        dc.textColor = col.btnHighlight;
        DrawItemText(dc, t, {tr.left + 1, tr.top + 1, tr.right + 1, tr.bottom + 1}, IconWidth);
        dc.textColor = col.grayText;
        DrawItemText(dc, t, tr, IconWidth);
    }
    dc.bkTransparent = wasTransparent;
}

void DravMenu::DrawClassicCheckBox(MenuDC& dc, const MenuRect& box, bool selected, bool radio, uint32_t bg)
{
    const MenuSysColors& col = ctx_.inputs.colors;
    dc.FillRect(box, selected ? bg : BlendTowardWhite(bg, 0.6));
    if (ctx_.IsNewShellVersion())
        dc.DrawSunkenOuter(box, col.btnShadow, col.btnHighlight);
    if (radio)
        DrawRadioBullet(dc, box.left + 5, box.top + 4, col.menuText);
    else
        DrawCheckMark(dc, box.left + 4, box.top + 4, col.menuText);
}

void DravMenu::DrawItemXp(MenuDrawItem* dis)
{
    const MenuSysColors& col = ctx_.inputs.colors;
    const DravMenuData empty;
    const DravMenuData& rec = dis->itemData ? *dis->itemData : empty;
    const MenuRect r = dis->rcItem;
    const bool themed = ctx_.IsXpThemedStyle();
    const uint32_t c = themed ? col.btnFace : BlendTowardWhite(col.btnFace, 0.25);
    const uint32_t hl = col.highlight;
    const uint32_t s = BlendTowardWhite(hl, themed ? 0.7 : 0.85);
    const int W = IconWidth + (ctx_.XpGlossyImages ? 7 : 4);

    const bool disabled = Disabled(dis->itemState);
    const bool checked = dis->itemState & ods::kChecked;
    bool selected = dis->itemState & ods::kSelected;
    std::optional<DravMenuMemDC> buffer;
    MenuDC* target = dis->dc;
    if (disabled) {
        if (!ctx_.XpSelectDisabled)
            selected = false;
        buffer.emplace(*dis->dc, r);
        target = &buffer->Dc();
        target->font = ctx_.inputs.menuFont;
    }
    MenuDC& dc = *target;

    const MenuRect column{r.left, r.top, r.left + W, r.bottom};
    if (rec.flags & mf::kSeparator) {
        dc.FillRect(r, col.window);
        const MenuRect line{r.left + W + (ctx_.XpGlossyImages ? 7 : 4), r.top + (r.bottom - r.top) / 2,
                            r.right, r.bottom};
        dc.DrawEtchedTop(line, col.btnShadow, col.btnHighlight);
        dc.FillRect(column, c);
        dc.FrameRect(column, c);
        return;
    }
    const MenuImageList* shared = ctx_.SharedImageList.get();
    const bool hasImage = rec.SharedIndex >= 0 && shared;
    const bool checkImages =
        checked && !hasImage && ((selected && SelectedCheckId > 0) || UnselectedCheckId > 0);
    const bool copies = ctx_.XpGlossyImages && hasImage && HasFadedAndShadowImages(rec.SharedIndex);
    const int H = r.Height();
    const int x = r.left + RoundedHalf(W - IconWidth);
    const int y = r.top + RoundedHalf(H - IconHeight);

    if (!selected) {
        dc.FillRect(r, col.window);
        dc.FillRect(column, c);
        dc.FrameRect(r, col.window);
        dc.FrameRect(column, c);
    } else {
        dc.FillRect(r, s);
        dc.FrameRect(r, hl);
    }

    if (hasImage || checkImages) {
        const MenuRect inner{r.left + 1, r.top + 1, r.left + W - 1, r.bottom - 1};
        const int idx = rec.SharedIndex;
        if (checkImages && CheckImages) {
            dc.FillRect(inner, c);
            CheckImages->DrawTransparent(dc, selected ? 1 : 0, x, y);
        } else if (disabled && hasImage) {
            const QImage bitmap = ImageToBitmap(*shared, idx);
            const uint32_t back = selected ? s : c;
            if (DisabledViaDib)
                DrawDisabledImageDib(dc, x, y, IconWidth, IconHeight, bitmap, back);
            else
                DrawDisabledImageMasked(dc, x, y, IconWidth, IconHeight, bitmap, back);
            if (selected)
                dc.FrameRect(r, hl);
        } else if (selected && hasImage) {
            dc.FillRect(inner, s);
            if (checked) {
                dc.FrameRect(inner, hl);
                shared->DrawTransparent(dc, idx, x - 1, y - 1);
            } else if (copies) {
                shared->DrawTransparent(dc, idx + 2, x + 1, y + 1);
                shared->DrawTransparent(dc, idx, x - 1, y - 1);
            } else {
                shared->DrawTransparent(dc, idx, x, y);
            }
        } else if (checked) {
            dc.FillRect(inner, BlendTowardWhite(hl, 0.85));
            dc.FrameRect(inner, hl);
            if (shared)
                shared->DrawTransparent(dc, idx, x - 1, y - 1);
        } else {
            dc.FillRect(inner, c);
            dc.FrameRect(inner, c);
            shared->DrawTransparent(dc, copies ? idx + 1 : idx, x, y);
        }
    }

    if (checked && !hasImage && !checkImages) {
        const int bx = r.left + RoundedHalf(W - 16), by = r.top + RoundedHalf(H - 16);
        const bool radio = ctx_.handles.IsRadioItem(dis->hMenu, dis->itemId);
        DrawXpCheckBox(dc, {bx, by, bx + 16, by + 16}, radio);
    }

    const QString text = rec.GetText();
    if (text.isEmpty())
        return;
    const MenuRect tr{r.left + W + 8, r.top - 1, r.right, r.bottom - 1};
    const bool wasTransparent = dc.bkTransparent;
    dc.bkTransparent = true;
    if (!disabled)
        dc.textColor = col.menuText;
    else
        dc.textColor = !themed && !selected ? BlendTowardWhite(col.grayText, 0.4) : col.grayText;
    DrawItemText(dc, SplitText(text), tr, IconWidth);
    dc.bkTransparent = wasTransparent;
}

void DravMenu::DrawXpCheckBox(MenuDC& dc, const MenuRect& box, bool radio)
{
    const MenuSysColors& col = ctx_.inputs.colors;
    dc.FillRect(box, BlendTowardWhite(col.highlight, 0.85));
    dc.FrameRect(box, col.highlight);
    if (radio)
        DrawRadioBullet(dc, box.left + 5, box.top + 4, col.menuText);
    else
        DrawCheckMark(dc, box.left + 5, box.top + 4, col.menuText);
}

void DravMenu::DrawCheckMark(MenuDC& dc, int x, int y, uint32_t color)
{
    static constexpr int kStart[7] = {2, 3, 4, 3, 2, 1, 0};
    for (int k = 0; k < 7; ++k)
        dc.VerticalLine(x + k, y + kStart[k], y + kStart[k] + 3, color);
}

void DravMenu::DrawRadioBullet(MenuDC& dc, int x, int y, uint32_t color)
{
    for (int j = 0; j < 6; ++j)
        for (int i = 0; i < 6; ++i) {
            const bool corner = (i == 0 || i == 5) && (j == 0 || j == 5);
            if (!corner)
                dc.SetPixel(x + i, y + j, color);
        }
}

void DravMenu::DrawDisabledImageMasked(MenuDC& target, int x, int y, int w, int h, const QImage& bitmap,
                                       uint32_t bg) const
{
    if (w <= 0 || h <= 0 || w > kMaxIconSide || h > kMaxIconSide || bitmap.isNull())
        return;
    const MenuSysColors& col = ctx_.inputs.colors;
    MenuDC image(w, h, false);
    MenuDC mask(w, h, true);
    if (image.IsNull() || mask.IsNull())
        return;
    for (int j = 0; j < h && j < bitmap.height(); ++j)
        for (int i = 0; i < w && i < bitmap.width(); ++i)
            image.SetPixel(i, j, bitmap.pixel(i, j) & 0xFFFFFF);

    // Pixels of the face or the highlight colour become white in the mask, all others black.
    mask.PatBlt({0, 0, w, h}, menurop::kWhiteness);
    image.bkColor = col.btnFace;
    mask.BitBlt(0, 0, w, h, image, 0, 0, menurop::kSrcCopy);
    image.bkColor = col.btnHighlight;
    mask.BitBlt(0, 0, w, h, image, 0, 0, menurop::kSrcPaint);

    image.FillRect({0, 0, w, h}, bg);
    image.bkColor = 0x000000;
    image.textColor = 0xFFFFFF;

    image.brushColor = col.btnHighlight;
    image.BitBlt(0, 0, w, h, mask, 0, 0, menurop::kDspDxax);
    target.BitBlt(x + 1, y + 1, w, h, image, 0, 0, menurop::kSrcCopy);
    image.BitBlt(1, 1, w, h, mask, 0, 0, menurop::kDspDxax);

    image.brushColor = col.btnShadow;
    image.BitBlt(0, 0, w, h, mask, 0, 0, menurop::kDspDxax);
    target.BitBlt(x, y, w, h, image, 0, 0, menurop::kSrcCopy);
}

void DravMenu::DrawDisabledImageDib(MenuDC& target, int x, int y, int w, int h, const QImage& bitmap,
                                    uint32_t bg) const
{
    if (w <= 0 || h <= 0 || w > kMaxIconSide || h > kMaxIconSide || bitmap.isNull())
        return;
    const MenuSysColors& col = ctx_.inputs.colors;
    // A 1-bit DIB with a black and white colour table: the nearer of the two.
    MenuDC dib(w, h, false);
    if (dib.IsNull())
        return;
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            uint32_t px = 0xFFFFFF;
            if (i < bitmap.width() && j < bitmap.height()) {
                const QRgb c = bitmap.pixel(i, j);
                const int lum = (qRed(c) * 299 + qGreen(c) * 587 + qBlue(c) * 114) / 1000;
                px = lum >= 128 ? 0xFFFFFF : 0x000000;
            }
            dib.SetPixel(i, j, px);
        }
    target.FillRect({x, y, x + w, y + h}, bg);
    const uint32_t oldBrush = target.brushColor;
    target.brushColor = col.btnHighlight;
    target.BitBlt(x + 1, y + 1, w, h, dib, 0, 0, menurop::kPsdPxax);
    target.brushColor = col.btnShadow;
    target.BitBlt(x, y, w, h, dib, 0, 0, menurop::kPsdPxax);
    target.brushColor = oldBrush;
}
