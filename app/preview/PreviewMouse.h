#pragma once
// What a mouse gesture over the preview means.
#include <QPoint>

// A left release ends a selection begun at start.
struct LeftRelease {
    bool rectangle = false;  // more than 10 px either way; else a click
    bool crossing = false;   // dragged to the right: curves crossing count too
    int left = 0, top = 0, right = 0, bottom = 0;
};
LeftRelease ClassifyLeftRelease(QPoint start, QPoint end);

// A right release at most one pixel each way from its press opens the menu;
// farther it was a pan.
bool IsMenuClick(QPoint down, QPoint up);

// Wheel angle deltas to zoom steps: one per 120 units, the rest kept for
// the next event (touchpads send small deltas).
class WheelSteps {
public:
    // Positive: steps forward (zoom in); negative: back.
    int Add(int angleDeltaY);

private:
    int m_rest = 0;
};
