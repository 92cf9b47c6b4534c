#include "link/output/BandStrokes.h"

#include <algorithm>
#include <cmath>

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
int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

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
    m_segs.clear();
    m_bucketStart.clear();
    m_bucket.clear();
    m_long.clear();
    m_bandCount = 0;
}

void BandStrokes::Build(const COnePage& page, const JobSnapshot& s)
{
    Clear();
    SetPenWidth(s.lineWidth);
    // At most one segment per step of every curve drawn (dash joins may add a
    // few more).
    size_t steps = 0;
    for (const auto& curve : page.m_curves)
        if ((s.plotCutLine == 1 || (s.plotCutLine == 0 && curve->m_kind == CurveKind::Plot)) &&
            curve->m_points.size() >= 2)
            steps += curve->m_points.size() - 1;
    m_segs.reserve(steps);
    std::vector<PagePixel> pts;
    for (const auto& curve : page.m_curves) {
        if (s.plotCutLine == 0) {
            if (curve->m_kind != CurveKind::Plot) continue;
        } else if (s.plotCutLine != 1) {
            break;
        }
        if (curve->m_points.size() < 2) continue;
        pts.clear();
        for (const PlotPoint& p : curve->m_points) pts.push_back(MapToPagePixel(p, s));
        AddPolyline(pts.data(), pts.size(), curve->m_lineType != 0);
    }
}

void BandStrokes::AddPolyline(const PagePixel* pts, size_t count, bool dashed)
{
    if (count < 2) return;
    // Repeated points draw nothing and would put joins where no line turns.
    std::vector<PagePixel>& v = m_scratch;
    v.clear();
    for (size_t i = 0; i < count; ++i)
        if (v.empty() || v.back().row != pts[i].row || v.back().column != pts[i].column) v.push_back(pts[i]);
    double along = 0;
    for (size_t i = 1; i < v.size(); ++i) {
        Seg g;
        g.pen = PenSegment{v[i - 1].row, v[i - 1].column, v[i].row, v[i].column, along};
        g.kind = dashed ? kDashed : kSolid;
        m_segs.push_back(g);
        const double dx = static_cast<double>(g.pen.x1) - g.pen.x0;
        const double dy = static_cast<double>(g.pen.y1) - g.pen.y0;
        along += std::sqrt(dx * dx + dy * dy);
        // A wide dashed pen joins its segments round where a dash runs on
        // across the vertex.
        if (dashed && m_width > 1 && i + 1 < v.size() && std::fmod(along, kDashPeriod) < kDashOn) {
            Seg j;
            j.pen = PenSegment{v[i].row, v[i].column, v[i].row, v[i].column, along};
            j.kind = kJoin;
            m_segs.push_back(j);
        }
    }
}

void BandStrokes::Bucket(int32_t bandRows, int32_t windowRows, int32_t bandCount)
{
    m_bandRows = bandRows < 1 ? 1 : bandRows;
    const int64_t reach = m_width;
    // Band j covers rows [j h, j h + windowRows).
    auto bandsOf = [&](const Seg& g, int64_t* first, int64_t* last) {
        const int64_t lo = std::min(g.pen.x0, g.pen.x1) - reach;
        const int64_t hi = std::max(g.pen.x0, g.pen.x1) + reach;
        *first = std::max<int64_t>(0, CeilDiv(lo - windowRows + 1, m_bandRows));
        *last = std::min<int64_t>(FloorDiv(hi, m_bandRows), static_cast<int64_t>(bandCount) - 1);
    };
    // A segment reaching more than a few bands is kept once in the long list
    // (the pens skip the rows outside a window at once), so a page of long
    // lines cannot blow up the buckets.
    constexpr int64_t kMaxBucketsPerSegment = 8;
    m_long.clear();
    int64_t bands = 0;
    for (const Seg& g : m_segs) {
        int64_t f, l;
        bandsOf(g, &f, &l);
        if (l - f + 1 <= kMaxBucketsPerSegment) bands = std::max(bands, l + 1);
    }
    m_bucketStart.assign(static_cast<size_t>(bands) + 1, 0);
    for (size_t i = 0; i < m_segs.size(); ++i) {
        int64_t f, l;
        bandsOf(m_segs[i], &f, &l);
        if (l - f + 1 > kMaxBucketsPerSegment) {
            m_long.push_back(static_cast<uint32_t>(i));
            continue;
        }
        for (int64_t j = f; j <= l; ++j) ++m_bucketStart[static_cast<size_t>(j) + 1];
    }
    for (size_t j = 1; j < m_bucketStart.size(); ++j) m_bucketStart[j] += m_bucketStart[j - 1];
    m_bucket.assign(m_bucketStart.back(), 0);
    std::vector<uint32_t> fill(m_bucketStart.begin(), m_bucketStart.end() - 1);
    for (size_t i = 0; i < m_segs.size(); ++i) {
        int64_t f, l;
        bandsOf(m_segs[i], &f, &l);
        if (l - f + 1 > kMaxBucketsPerSegment) continue;
        for (int64_t j = f; j <= l; ++j) m_bucket[fill[static_cast<size_t>(j)]++] = static_cast<uint32_t>(i);
    }
    m_bandCount = bandCount;
}

void BandStrokes::Draw(const Seg& g, const BitWindow& w) const
{
    if (g.kind == kDashed) DrawDashedSegment(w, g.pen, m_width);
    else if (g.kind == kJoin || m_width > 1) m_pen.Draw(w, g.pen);
    else DrawThinSegment(w, g.pen);
}

void BandStrokes::DrawBand(int32_t band, const BitWindow& w) const
{
    if (band < 0 || band >= m_bandCount) return;
    if (static_cast<size_t>(band) + 1 < m_bucketStart.size())
        for (uint32_t k = m_bucketStart[band]; k < m_bucketStart[band + 1]; ++k) Draw(m_segs[m_bucket[k]], w);
    for (uint32_t k : m_long) Draw(m_segs[k], w);
}

void BandStrokes::DrawAll(const BitWindow& w) const
{
    for (const Seg& g : m_segs) Draw(g, w);
}
