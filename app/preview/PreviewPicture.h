#pragma once
// The preview's picture: black ground, paper outline, millimetre grid with
// labels, then the page's curves, drawn on any canvas.
#include <QString>
#include <cstdint>

#include "model/Canvas.h"

class COnePage;

// What the picture needs beyond a curve canvas.
class PreviewCanvas : public Canvas {
public:
    // The whole surface black.
    virtual void FillBackground(int32_t width, int32_t height) = 0;
    // Text with its top left corner at (x, y), green, transparent behind.
    virtual void Text(int32_t x, int32_t y, const QString& text) = 0;
};

inline constexpr Rgb kPaperColour{0, 255, 0};
inline constexpr Rgb kGridColour{20, 60, 60};

// Grid step in millimetres for a scale in pixels per plot unit.
int32_t GridStepMm(double scale);

// page null: the black ground only. Uses theDispSet.
void DrawPreview(PreviewCanvas& canvas, const COnePage* page, int32_t width, int32_t height, int32_t paperLenMm);
