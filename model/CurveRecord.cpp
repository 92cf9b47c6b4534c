#include <cstddef>

#include "model/Archive.h"
#include "model/Curve.h"

void CCurve::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteString(g_strCurveTag);
        ar.WriteI32(m_kind);
        ar.WriteI32(m_maxX);
        ar.WriteI32(m_maxY);
        ar.WriteI32(m_minX);
        ar.WriteI32(m_minY);
        ar.WriteI32(m_lineType);
        ar.WriteCount(m_points.size());
        // x then y, nothing between: the array is the run of the record.
        static_assert(sizeof(PlotPoint) == 2 * sizeof(int32_t) && offsetof(PlotPoint, y) == sizeof(int32_t));
        ar.WriteI32Array(m_points.data(), 2 * m_points.size());
        return;
    }
    // The tag is not checked; the last one loaded is written from then on.
    g_strCurveTag = ar.ReadString();
    m_kind = ar.ReadI32();
    if (m_kind < CurveKind::Plot || m_kind > CurveKind::ShortCut) throw ArchiveError(ArchiveFault::BadValue);
    m_maxX = ar.ReadI32();
    m_maxY = ar.ReadI32();
    m_minX = ar.ReadI32();
    m_minY = ar.ReadI32();
    m_lineType = ar.ReadI32();
    const uint32_t n = ar.ReadCount(2 * sizeof(int32_t));
    std::vector<PlotPoint> points(n);
    for (PlotPoint& p : points) {
        p.x = ar.ReadI32();
        p.y = ar.ReadI32();
    }
    m_points = std::move(points);
}
