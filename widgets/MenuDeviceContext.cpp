#include "widgets/MenuDeviceContext.h"

#include "widgets/MenuRasterOp.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace {

uint32_t ToMonoByLuminance(uint32_t c)
{
    const int r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
    return (r * 299 + g * 587 + b * 114) / 1000 >= 128 ? 0xFFFFFF : 0;
}

}  // namespace

MenuDC::MenuDC(QImage* target) : img_(target)
{
}

MenuDC::MenuDC(int width, int height, bool monochrome) : mono_(monochrome)
{
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return;
    own_ = std::make_unique<QImage>(width, height, QImage::Format_RGB32);
    if (own_->isNull()) {
        own_.reset();
        return;
    }
    own_->fill(0xFFFFFFFFu);
    img_ = own_.get();
}

bool MenuDC::Inside(int dx, int dy) const
{
    return img_ && dx >= 0 && dy >= 0 && dx < img_->width() && dy < img_->height();
}

void MenuDC::Store(int dx, int dy, uint32_t color)
{
    if (mono_)
        color = (color & 0xFFFFFF) ? 0xFFFFFF : 0;
    reinterpret_cast<QRgb*>(img_->scanLine(dy))[dx] = 0xFF000000u | (color & 0xFFFFFF);
}

uint32_t MenuDC::GetPixel(int x, int y) const
{
    const int dx = x - originX, dy = y - originY;
    if (!Inside(dx, dy))
        return kInvalid;
    return reinterpret_cast<const QRgb*>(img_->constScanLine(dy))[dx] & 0xFFFFFF;
}

void MenuDC::SetPixel(int x, int y, uint32_t color)
{
    const int dx = x - originX, dy = y - originY;
    if (Inside(dx, dy))
        Store(dx, dy, color);
}

void MenuDC::FillRect(const MenuRect& r, uint32_t color)
{
    if (IsNull() || r.IsEmpty())
        return;
    const int x0 = std::max(r.left - originX, 0), x1 = std::min(r.right - originX, img_->width());
    const int y0 = std::max(r.top - originY, 0), y1 = std::min(r.bottom - originY, img_->height());
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            Store(x, y, color);
}

void MenuDC::FrameRect(const MenuRect& r, uint32_t color)
{
    if (r.IsEmpty())
        return;
    FillRect({r.left, r.top, r.right, r.top + 1}, color);
    FillRect({r.left, r.bottom - 1, r.right, r.bottom}, color);
    FillRect({r.left, r.top, r.left + 1, r.bottom}, color);
    FillRect({r.right - 1, r.top, r.right, r.bottom}, color);
}

void MenuDC::Draw3dRect(const MenuRect& r, uint32_t topLeft, uint32_t bottomRight)
{
    if (r.IsEmpty())
        return;
    FillRect({r.left, r.top, r.right - 1, r.top + 1}, topLeft);
    FillRect({r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
    FillRect({r.right - 1, r.top, r.right, r.bottom}, bottomRight);
    FillRect({r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
}

void MenuDC::DrawEtchedTop(const MenuRect& r, uint32_t shadow, uint32_t highlight)
{
    FillRect({r.left, r.top, r.right, r.top + 1}, shadow);
    FillRect({r.left, r.top + 1, r.right, r.top + 2}, highlight);
}

void MenuDC::DrawSunkenOuter(const MenuRect& r, uint32_t shadow, uint32_t highlight)
{
    Draw3dRect(r, shadow, highlight);
}

void MenuDC::VerticalLine(int x, int y0, int y1, uint32_t color)
{
    for (int y = y0; y < y1; ++y)
        SetPixel(x, y, color);
}

void MenuDC::DrawText(const QString& text, const MenuRect& r, uint32_t format)
{
    if (IsNull() || r.IsEmpty() || text.isEmpty())
        return;
    const QRect dev(r.left - originX, r.top - originY, r.Width(), r.Height());
    int flags = Qt::TextShowMnemonic;
    if (format & dt::kSingleLine)
        flags |= Qt::TextSingleLine;
    flags |= (format & dt::kRight) ? Qt::AlignRight : Qt::AlignLeft;
    flags |= (format & dt::kVCenter) ? Qt::AlignVCenter : Qt::AlignTop;
    QPainter p(img_);
    p.setFont(font);
    p.setClipRect(dev);
    if (!bkTransparent) {
        const QRect bound = p.boundingRect(dev, flags, text) & dev;
        p.fillRect(bound, QColor::fromRgb(bkColor));
    }
    p.setPen(QColor::fromRgb(textColor));
    p.drawText(dev, flags, text);
}

int MenuDC::TextWidth(const QFont& font, const QString& text)
{
    const QFontMetrics fm(font);
    int width = 0;
    for (QChar ch : text)
        width += fm.horizontalAdvance(ch == QLatin1Char('\t') ? QChar(QLatin1Char(' ')) : ch);
    return width;
}

QSize MenuDC::TextExtent(const QString& text) const
{
    return QSize(TextWidth(font, text), QFontMetrics(font).height());
}

uint32_t MenuDC::SourceAsSeenBy(const MenuDC& src, uint32_t srcPixel) const
{
    if (src.mono_ && !mono_)
        return srcPixel ? bkColor : textColor;
    if (!src.mono_ && mono_)
        return srcPixel == (src.bkColor & 0xFFFFFF) ? 0xFFFFFF : 0;
    return srcPixel;
}

void MenuDC::PatBlt(const MenuRect& r, uint32_t rop)
{
    if (IsNull() || r.IsEmpty())
        return;
    const uint32_t p = mono_ ? ToMonoByLuminance(brushColor) : (brushColor & 0xFFFFFF);
    const int x0 = std::max(r.left, originX), x1 = std::min(r.right, originX + img_->width());
    const int y0 = std::max(r.top, originY), y1 = std::min(r.bottom, originY + img_->height());
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const uint32_t d = GetPixel(x, y);
            if (d != kInvalid)
                SetPixel(x, y, menurop::Apply(rop, p, 0, d));
        }
}

void MenuDC::BitBlt(int x, int y, int w, int h, const MenuDC& src, int sx, int sy, uint32_t rop)
{
    if (IsNull() || src.IsNull() || w <= 0 || h <= 0)
        return;
    const uint32_t p = mono_ ? ToMonoByLuminance(brushColor) : (brushColor & 0xFFFFFF);
    // Only the part that lands on this bitmap is visited.
    const int i0 = std::max(0, originX - x), i1 = std::min(w, img_->width() + originX - x);
    const int j0 = std::max(0, originY - y), j1 = std::min(h, img_->height() + originY - y);
    for (int j = j0; j < j1; ++j)
        for (int i = i0; i < i1; ++i) {
            const uint32_t d = GetPixel(x + i, y + j);
            const uint32_t s = src.GetPixel(sx + i, sy + j);
            if (d == kInvalid || s == kInvalid)
                continue;
            SetPixel(x + i, y + j, menurop::Apply(rop, p, SourceAsSeenBy(src, s), d));
        }
}
