#pragma once
// Fit, zoom and pan of the preview on the view state theDispSet.
#include <cstddef>
#include <cstdint>

// The scale stays in this range, pixels per plot unit: beyond it the view
// arithmetic leaves the int32 range and the grid loops grow without bound.
inline constexpr double kMinScale = 1e-6;
inline constexpr double kMaxScale = 100;
// Margins of the picture: 50 px left of the origin, 30 px above and below
// the paper.
inline constexpr int kFitMargin = 60;

double ClampScale(double scale);
// Paper width (paperLenMm) fitted to viewHeight. A view of kFitMargin pixels
// or less, or a paper length of 0 or less, keeps the scale.
void FitToHeight(int viewHeight, int paperLenMm);
// Scales by factor keeping the plot point under view pixel (px, py).
void ZoomAtPoint(int px, int py, double factor);
// The frame's zoom commands: in doubles the scale; out halves it and the
// offsets, only above 0.001 (false: nothing done, no redraw).
void ZoomInTwice();
bool ZoomOutHalf();
// Moves the offsets; saturating.
void PanBy(int dx, int dy);
// The page-index rule: 0 for an empty list and for an index outside it.
int NormalizePageIndex(int index, size_t count);
