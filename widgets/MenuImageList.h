#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

class MenuDC;

// An image list of fixed-size images with masks, as the common controls keep
// it: a bitmap added with a mask colour is cut into images of the list's width,
// and its pixels of the mask colour become transparent.
class MenuImageList {
public:
    // Images larger than this on either side are refused.
    static constexpr int kMaxSide = 1024;

    MenuImageList(int width, int height);

    bool IsValid() const { return width_ > 0 && height_ > 0; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const { return static_cast<int>(images_.size()); }

    // One image, its mask true where the image is transparent.
    struct Icon {
        QImage image;  // RGB32, width x height of the list
        std::vector<bool> transparent;
        bool IsNull() const { return image.isNull(); }
    };

    // Adds every whole image of the bitmap; the index of the first, -1 on failure.
    int AddMasked(const QImage& bitmap, uint32_t maskColor);
    // Index -1 appends; otherwise replaces. The index used, -1 on failure.
    int ReplaceIcon(int index, const Icon& icon);
    // Null when the index is outside the list.
    Icon GetIcon(int index) const;
    // Draws image index with ILD_TRANSPARENT at (x, y) in the DC's coordinates.
    bool DrawTransparent(MenuDC& dc, int index, int x, int y) const;

private:
    Icon CutImage(const QImage& bitmap, int left, uint32_t maskColor) const;

    int width_;
    int height_;
    std::vector<Icon> images_;
};
