#pragma once

#include <QFont>
#include <QImage>
#include <QString>

#include <cstdint>
#include <memory>

// A rectangle as Windows keeps it: right and bottom lie outside.
struct MenuRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool operator==(const MenuRect&) const = default;
};

// DrawText formats the menu uses.
namespace dt {
inline constexpr uint32_t kRight = 0x2;
inline constexpr uint32_t kVCenter = 0x4;
inline constexpr uint32_t kSingleLine = 0x20;
}  // namespace dt

// A device context over a QImage with the pixel rules of Windows GDI. Colours
// are 0x00RRGGBB. A monochrome context holds only black (0) and white pixels.
// Coordinates are logical: the window origin maps to the image's (0, 0).
class MenuDC {
public:
    static constexpr uint32_t kInvalid = 0xFFFFFFFF;
    // Sides beyond this are refused: no buffer is made.
    static constexpr int kMaxSide = 16384;

    // Borrows a colour image; the caller keeps it alive.
    explicit MenuDC(QImage* target);
    // An own bitmap of the given size, white; null when the size is unusable.
    MenuDC(int width, int height, bool monochrome);
    MenuDC(const MenuDC&) = delete;
    MenuDC& operator=(const MenuDC&) = delete;

    bool IsNull() const { return img_ == nullptr || img_->isNull(); }
    bool IsMonochrome() const { return mono_; }
    QImage* Image() { return img_; }
    const QImage* Image() const { return img_; }

    // Attributes, as SetTextColor, SetBkColor, SetBkMode, SelectObject.
    uint32_t textColor = 0x000000;
    uint32_t bkColor = 0xFFFFFF;
    bool bkTransparent = false;
    uint32_t brushColor = 0xFFFFFF;
    QFont font;
    bool printing = false;       // a printer DC: buffering draws straight into it
    bool paletteDevice = false;  // RC_PALETTE in its raster caps
    int originX = 0;             // SetWindowOrg
    int originY = 0;

    uint32_t GetPixel(int x, int y) const;  // kInvalid outside the bitmap
    void SetPixel(int x, int y, uint32_t color);

    void FillRect(const MenuRect& r, uint32_t color);
    void FrameRect(const MenuRect& r, uint32_t color);  // 1 pixel inside r
    // Top and left lines in topLeft, bottom and right lines in bottomRight.
    void Draw3dRect(const MenuRect& r, uint32_t topLeft, uint32_t bottomRight);
    // DrawEdge EDGE_ETCHED, BF_TOP: a shadow line with a highlight line under it.
    void DrawEtchedTop(const MenuRect& r, uint32_t shadow, uint32_t highlight);
    // DrawEdge BDR_SUNKENOUTER, BF_RECT: shadow top and left, highlight bottom and right.
    void DrawSunkenOuter(const MenuRect& r, uint32_t shadow, uint32_t highlight);
    // Vertical line from (x, y0) to (x, y1), y1 excluded, as a width-0 pen draws it.
    void VerticalLine(int x, int y0, int y1, uint32_t color);

    // Single-line text in r; '&' marks a mnemonic, "&&" is a literal '&'.
    void DrawText(const QString& text, const MenuRect& r, uint32_t format);
    // GetTextExtentPoint32: every character's own advance, '&' as itself, a tab as a blank.
    QSize TextExtent(const QString& text) const;
    static int TextWidth(const QFont& font, const QString& text);

    // Raster operations with the current brush as pattern.
    void PatBlt(const MenuRect& r, uint32_t rop);
    void BitBlt(int x, int y, int w, int h, const MenuDC& src, int sx, int sy, uint32_t rop);

private:
    bool Inside(int dx, int dy) const;
    uint32_t SourceAsSeenBy(const MenuDC& src, uint32_t srcPixel) const;
    void Store(int dx, int dy, uint32_t color);

    std::unique_ptr<QImage> own_;
    QImage* img_ = nullptr;
    bool mono_ = false;
};
