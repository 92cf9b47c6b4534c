#include "app/preview/PreviewMouse.h"

#include <algorithm>
#include <cstdlib>

LeftRelease ClassifyLeftRelease(QPoint start, QPoint end)
{
    LeftRelease r;
    r.left = std::min(start.x(), end.x());
    r.right = std::max(start.x(), end.x());
    r.top = std::min(start.y(), end.y());
    r.bottom = std::max(start.y(), end.y());
    r.rectangle = r.right - r.left > 10 || r.bottom - r.top > 10;
    r.crossing = start.x() < end.x();
    return r;
}

bool IsMenuClick(QPoint down, QPoint up)
{
    return std::abs(up.x() - down.x()) < 2 && std::abs(up.y() - down.y()) < 2;
}

int WheelSteps::Add(int angleDeltaY)
{
    // Kept within one step: an int sum cannot overflow.
    const long long sum = static_cast<long long>(m_rest) + angleDeltaY;
    const long long steps = sum / 120;
    m_rest = static_cast<int>(sum - steps * 120);
    return static_cast<int>(steps);
}
