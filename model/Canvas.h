#pragma once
// What curves and pages need of a drawing surface. The preview implements it
// over its widget toolkit; tests implement it by recording the calls.
#include <cstdint>

#include "model/DispSet.h"

enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Null };

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// The plot file's line type as a pen style: 0-4 the dashed styles, 5 no pen,
// anything else solid (a file may carry any number here).
PenStyle PenStyleForLineType(int32_t lineType);

class Canvas {
public:
    virtual ~Canvas() = default;
    // Width 0 is one pixel whatever the scale.
    virtual void SetPen(PenStyle style, int32_t width, Rgb color) = 0;
    // Lines through the points in order, in the current pen.
    virtual void Polyline(const ViewPoint* points, int32_t count) = 0;
    // Hollow rectangle from (left, top) to (right, bottom), in the current pen.
    virtual void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
    // Closed polygon outlined in the current pen and filled with the
    // surface's background fill.
    virtual void FilledPolygon(const ViewPoint* points, int32_t count) = 0;
};
