#include "link/output/BandStrokes.h"

#include <algorithm>
#include <cmath>

#include "model/HugePageHeap.h"
#include "model/Numeric.h"
#include "model/Page.h"

namespace {

int32_t ClampPixel(int64_t v)
{
    return static_cast<int32_t>(std::clamp<int64_t>(v, -kPixelLimit, kPixelLimit));
}

int64_t FloorDiv(int64_t a, int64_t b)
{
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

}  // namespace

PagePixel MapToPagePixel(const PlotPoint& p, const JobSnapshot& s)
{
    const double interval = s.params.inkIntervalPulses != 0 ? s.params.inkIntervalPulses : 1;
    PagePixel px;
    px.row = ClampPixel(static_cast<int64_t>(s.lineWidth) + TruncToInt(p.x / 40.0 * 12.0));
    px.column = ClampPixel(static_cast<int64_t>(s.lineWidth) +
                           TruncToInt(p.y / 40.0 * s.params.pulsesPerMmY / interval));
    return px;
}

void BandStrokes::Clear()
{
    m_pts.clear();
    m_along.clear();
    m_lines.clear();
    m_bandRuns.clear();
    m_long.clear();
    m_bandCount = 0;
}

void BandStrokes::Build(const COnePage& page, const JobSnapshot& s)
{
    Clear();
    SetPenWidth(s.lineWidth);
    auto drawn = [&](const CCurve& c) {
        return (s.plotCutLine == 1 || (s.plotCutLine == 0 && c.m_kind == CurveKind::Plot)) && c.m_points.size() >= 2;
    };
    // Room for every point, reserved at once: the arrays never grow.
    size_t points = 0, lines = 0, dashedPoints = 0;
    for (const auto& curve : page.m_curves)
        if (drawn(*curve)) {
            points += curve->m_points.size();
            ++lines;
            if (curve->m_lineType != 0) dashedPoints += curve->m_points.size();
        }
    m_pts.reserve(points);
    m_lines.reserve(lines);
    m_along.reserve(dashedPoints);
    // A large job's points fill tens of megabytes at once.
    AdviseHugePages(m_pts.data(), m_pts.capacity() * sizeof(PagePixel));
    AdviseHugePages(m_lines.data(), m_lines.capacity() * sizeof(Line));
    AdviseHugePages(m_along.data(), m_along.capacity() * sizeof(double));
    for (const auto& curve : page.m_curves) {
        if (!drawn(*curve)) continue;
        const size_t first = m_pts.size();
        m_lines.push_back(Line{static_cast<uint32_t>(first)});
        // Repeated points draw nothing and would put joins where no line turns.
        for (const PlotPoint& p : curve->m_points) {
            const PagePixel px = MapToPagePixel(p, s);
            if (m_pts.size() == first || m_pts.back().row != px.row || m_pts.back().column != px.column)
                m_pts.push_back(px);
        }
        EndLine(curve->m_lineType != 0);
    }
}

void BandStrokes::AddPolyline(const PagePixel* pts, size_t count, bool dashed)
{
    if (count < 2) return;
    const size_t first = m_pts.size();
    m_lines.push_back(Line{static_cast<uint32_t>(first)});
    for (size_t i = 0; i < count; ++i)
        if (m_pts.size() == first || m_pts.back().row != pts[i].row || m_pts.back().column != pts[i].column)
            m_pts.push_back(pts[i]);
    EndLine(dashed);
}

void BandStrokes::EndLine(bool dashed)
{
    Line& l = m_lines.back();
    if (m_pts.size() - l.first < 2) {
        m_pts.resize(l.first);
        m_lines.pop_back();
        return;
    }
    l.last = static_cast<uint32_t>(m_pts.size() - 1);
    if (!dashed) return;
    l.along = static_cast<int32_t>(m_along.size());
    // A wide dashed pen joins its segments round where a dash runs on across
    // the vertex.
    l.joins = m_width > 1;
    double along = 0;
    for (uint32_t k = l.first; k < l.last; ++k) {
        m_along.push_back(along);
        const double dx = static_cast<double>(m_pts[k + 1].row) - m_pts[k].row;
        const double dy = static_cast<double>(m_pts[k + 1].column) - m_pts[k].column;
        along += std::sqrt(dx * dx + dy * dy);
    }
}

namespace {

// floor(a / h) for h > 0, remembering the last quotient: neighbouring points
// mostly fall in the same band.
struct BandQuotient {
    int64_t h;
    int64_t q = 0;
    int64_t lo = 0;  // q h
    int64_t operator()(int64_t a)
    {
        if (a < lo || a - lo >= h) {
            q = FloorDiv(a, h);
            lo = q * h;
        }
        return q;
    }
};

}  // namespace

void BandStrokes::Bucket(int32_t bandRows, int32_t windowRows, int32_t bandCount)
{
    const int64_t h = bandRows < 1 ? 1 : bandRows;
    const int64_t reach = m_width;
    m_bandRuns.clear();
    m_long.clear();
    m_bandCount = bandCount;
    // Band j covers rows [j h, j h + windowRows): a point of row x with the
    // pen's reach touches bands ceil((x - reach - windowRows + 1) / h) to
    // floor((x + reach) / h), and a segment the bands between those of its ends.
    BandQuotient firstOf{h}, lastOf{h};
    const int64_t firstShift = h - reach - windowRows;  // ceil(a / h) = floor((a + h - 1) / h)
    auto bands = [&](const PagePixel& p, int64_t* f, int64_t* l) {
        *f = firstOf(p.row + firstShift);
        *l = lastOf(p.row + reach);
    };
    // A segment reaching more than a few bands is kept once in the long list
    // (the pens skip the rows outside a window at once), so a page of long
    // lines cannot blow up the buckets.
    constexpr int64_t kMaxBucketsPerSegment = 8;
    for (uint32_t li = 0; li < m_lines.size(); ++li) {
        const Line& line = m_lines[li];
        int64_t f0, l0;
        bands(m_pts[line.first], &f0, &l0);
        for (uint32_t k = line.first; k < line.last; ++k) {
            int64_t f1, l1;
            bands(m_pts[k + 1], &f1, &l1);
            const int64_t f = std::max<int64_t>(std::min(f0, f1), 0);
            const int64_t l = std::min<int64_t>(std::max(l0, l1), static_cast<int64_t>(bandCount) - 1);
            f0 = f1;
            l0 = l1;
            if (l - f + 1 > kMaxBucketsPerSegment) {
                if (!m_long.empty() && m_long.back().end == k) ++m_long.back().end;
                else m_long.push_back(Run{li, k, k + 1});
                continue;
            }
            if (l >= static_cast<int64_t>(m_bandRuns.size())) m_bandRuns.resize(static_cast<size_t>(l) + 1);
            for (int64_t j = f; j <= l; ++j) {
                std::vector<Run>& runs = m_bandRuns[static_cast<size_t>(j)];
                if (!runs.empty() && runs.back().end == k) ++runs.back().end;
                else runs.push_back(Run{li, k, k + 1});
            }
        }
    }
}

void BandStrokes::DrawRun(const Run& r, const BitWindow& w) const
{
    const Line& line = m_lines[r.line];
    const PagePixel* p = m_pts.data();
    if (line.along < 0) {
        if (m_width > 1) {
            for (uint32_t k = r.begin; k < r.end; ++k)
                m_pen.Draw(w, PenSegment{p[k].row, p[k].column, p[k + 1].row, p[k + 1].column, 0});
        } else {
            for (uint32_t k = r.begin; k < r.end; ++k)
                DrawThinSegment(w, PenSegment{p[k].row, p[k].column, p[k + 1].row, p[k + 1].column, 0});
        }
        return;
    }
    const double* along = m_along.data() + line.along;
    for (uint32_t k = r.begin; k < r.end; ++k) {
        const double s0 = along[k - line.first];
        DrawDashedSegment(w, PenSegment{p[k].row, p[k].column, p[k + 1].row, p[k + 1].column, s0}, m_width);
        if (line.joins && k > line.first && DashOn(s0))
            m_pen.Draw(w, PenSegment{p[k].row, p[k].column, p[k].row, p[k].column, s0});
    }
}

void BandStrokes::DrawBand(int32_t band, const BitWindow& w) const
{
    if (band < 0 || band >= m_bandCount) return;
    if (static_cast<size_t>(band) < m_bandRuns.size())
        for (const Run& r : m_bandRuns[static_cast<size_t>(band)]) DrawRun(r, w);
    for (const Run& r : m_long) DrawRun(r, w);
}

void BandStrokes::DrawAll(const BitWindow& w) const
{
    for (uint32_t li = 0; li < m_lines.size(); ++li) DrawRun(Run{li, m_lines[li].first, m_lines[li].last}, w);
}
