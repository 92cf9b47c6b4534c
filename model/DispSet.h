#pragma once
// The preview's transform state and the plot-unit / view-pixel mapping.
#include <cstdint>

class CDispSet {
public:
    double m_scale = 0.01;     // view pixels per plot unit
    int32_t m_viewHeight = 400;
    int32_t m_scrollX = 0;
    int32_t m_scrollY = 0;
};

// UI thread only.
extern CDispSet theDispSet;

struct ViewPoint {
    int32_t x = 0;
    int32_t y = 0;
};

ViewPoint PlotToView(int32_t x, int32_t y);
struct PlotPoint;
PlotPoint ViewToPlot(int32_t vx, int32_t vy);
