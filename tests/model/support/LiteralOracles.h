#pragma once
// The page operations written the slow, obvious way: insert into and erase
// from the arrays as they go. The fast versions in model/ must give exactly
// the same pages; the tests compare the two on random pages.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "model/Geometry.h"
#include "model/MachineParams.h"
#include "model/Numeric.h"
#include "model/Page.h"

namespace oracle {

inline bool Closed(const CCurve& c) { return c.m_points.size() > 3 && IsNearPoint(c.m_points.front(), c.m_points.back()); }

inline void JoinConnectedCurves(COnePage& page)
{
    auto& v = page.m_curves;
    if (v.size() < 2) return;
    size_t j = 0;
    while (j + 1 < v.size()) {
        CCurve& a = *v[j];
        CCurve& b = *v[j + 1];
        if (!a.m_points.empty() && !b.m_points.empty() && a.m_kind == b.m_kind &&
            a.m_points.back() == b.m_points.front()) {
            a.m_points.insert(a.m_points.end(), b.m_points.begin() + 1, b.m_points.end());
            v.erase(v.begin() + static_cast<std::ptrdiff_t>(j + 1));
        } else {
            ++j;
        }
    }
}

inline void JoinNearbyCurves(COnePage& page)
{
    auto& v = page.m_curves;
    for (size_t i = 0; i + 1 < v.size(); ++i) {
        CCurve& p = *v[i];
        if (p.m_points.empty() || p.m_bNoJoin || Closed(p)) continue;
        size_t k = i + 1;
        while (k < v.size()) {
            CCurve& q = *v[k];
            if (q.m_points.empty() || q.m_bNoJoin || Closed(q)) {
                ++k;
                continue;
            }
            const PlotPoint pf = p.m_points.front(), pl = p.m_points.back();
            const PlotPoint qf = q.m_points.front(), ql = q.m_points.back();
            if (IsNearPoint(pl, qf)) {
            } else if (p.m_kind == q.m_kind && IsNearPoint(pf, qf)) {
                p.Reverse();
            } else if (p.m_kind == q.m_kind && IsNearPoint(pl, ql)) {
                q.Reverse();
            } else if (p.m_kind == q.m_kind && IsNearPoint(pf, ql)) {
                p.Reverse();
                q.Reverse();
            } else {
                ++k;
                continue;
            }
            p.m_points.insert(p.m_points.end(), q.m_points.begin() + 1, q.m_points.end());
            v.erase(v.begin() + static_cast<std::ptrdiff_t>(k));
            k = i + 1;
        }
    }
}

inline bool ContainsFirstThree(const CCurve& outer, const CCurve& inner)
{
    for (int t = 0; t < 3; ++t)
        if (!outer.ContainsPoint(inner.m_points[t].x, inner.m_points[t].y)) return false;
    return true;
}

inline void DemoteNestedOutlines(COnePage& page)
{
    for (auto& pp : page.m_curves) {
        CCurve& p = *pp;
        if (p.m_kind != CurveKind::Cut || p.m_points.size() < 4) continue;
        for (auto& rr : page.m_curves) {
            CCurve& r = *rr;
            if (&r == &p || r.m_kind != CurveKind::Cut || r.m_points.size() < 4) continue;
            if (ContainsFirstThree(p, r)) r.m_kind = CurveKind::Plot;
            if (ContainsFirstThree(r, p)) p.m_kind = CurveKind::Plot;
        }
    }
}

inline void DetectOutlines(COnePage& page)
{
    if (page.m_curves.empty()) return;
    for (auto& c : page.m_curves) c->m_kind = CurveKind::Plot;
    JoinNearbyCurves(page);
    page.SplitEndHooks();
    for (auto& c : page.m_curves) c->m_kind = CurveKind::Plot;
    JoinNearbyCurves(page);
    for (auto& cc : page.m_curves) {
        CCurve& c = *cc;
        c.CalcBoundRect();
        auto& p = c.m_points;
        const size_t n = p.size();
        if (n < 4 || c.m_bNoJoin) continue;
        const double w = (static_cast<double>(c.m_maxX) - c.m_minX) / 40.0;
        const double h = (static_cast<double>(c.m_maxY) - c.m_minY) / 40.0;
        if (w < 10 || h < 10 || w * h < 400) continue;
        if (IsNearPoint(p[0], p[n - 1])) {
            c.m_kind = CurveKind::Cut;
        } else if (IsNearPoint(p[0], p[n - 2])) {
            p.erase(p.begin() + static_cast<std::ptrdiff_t>(n - 1));
            c.m_kind = CurveKind::Cut;
        } else if (IsNearPoint(p[1], p[n - 1])) {
            p.erase(p.begin());
            c.m_kind = CurveKind::Cut;
        } else if (n >= 5 && PointDistance(p[0], p[n - 1]) < 100 &&
                   std::fabs(std::fabs(std::atan2(double(p[0].y) - p[1].y, double(p[0].x) - p[1].x)) -
                             std::fabs(std::atan2(double(p[n - 2].y) - p[n - 1].y,
                                                  double(p[n - 2].x) - p[n - 1].x))) < 0.001) {
            c.m_kind = CurveKind::Cut;
        }
    }
    DemoteNestedOutlines(page);
}

inline void SplitAlongY(COnePage& page, int32_t w)
{
    auto& v = page.m_curves;
    if (w <= 0 || v.empty()) return;
    page.CalcPageBounds();
    if (!(w < page.m_maxY)) return;
    // Into 2-point segments, in place.
    for (size_t i = 0; i < v.size();) {
        const size_t n = v[i]->m_points.size();
        if (n < 2) {
            v.erase(v.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        if (n == 2) {
            ++i;
            continue;
        }
        std::unique_ptr<CCurve> whole = std::move(v[i]);
        v.erase(v.begin() + static_cast<std::ptrdiff_t>(i));
        for (size_t k = 1; k < n; ++k) {
            auto s = std::make_unique<CCurve>();
            s->CopyFrom(*whole);
            s->m_points = {whole->m_points[k - 1], whole->m_points[k]};
            v.insert(v.begin() + static_cast<std::ptrdiff_t>(i++), std::move(s));
        }
    }
    const int32_t passes = page.m_maxY / w;
    const int32_t S = SaturateToInt(int64_t{page.m_maxX} + 1200);
    auto sh = [](int32_t a, int32_t b) { return SaturateToInt(int64_t{a} + b); };
    for (int32_t pass = 0; pass < passes; ++pass) {
        const size_t count = v.size();
        size_t i = 0;
        for (size_t seen = 0; seen < count; ++seen) {
            CCurve& c = *v[i];
            PlotPoint& a = c.m_points[0];
            PlotPoint& b = c.m_points[1];
            const double x0 = a.x, y0 = a.y, x1 = b.x, y1 = b.y;
            if (a.y <= w && b.y <= w) {
                ++i;
            } else if (a.y >= w && b.y >= w) {
                auto copy = std::make_unique<CCurve>();
                copy->CopyFrom(c);
                copy->m_points = {{sh(a.x, S), a.y - w}, {sh(b.x, S), b.y - w}};
                v.push_back(std::move(copy));
                v.erase(v.begin() + static_cast<std::ptrdiff_t>(i));
            } else {
                const int32_t X = TruncToInt((w - y0) * (x1 - x0) / (y1 - y0) + x0);
                auto copy = std::make_unique<CCurve>();
                copy->CopyFrom(c);
                if (a.y < w) {
                    copy->m_points = {{sh(X, S), 0}, {sh(b.x, S), b.y - w}};
                    b = {X, w};
                } else {
                    copy->m_points = {{sh(a.x, S), a.y - w}, {sh(X, S), 0}};
                    a = {X, w};
                }
                v.push_back(std::move(copy));
                ++i;
            }
        }
    }
    JoinConnectedCurves(page);
    page.CalcPageBounds();
}

inline void CompensateCorners(CCurve& c, double d)
{
    c.CalcLength();
    if (c.m_length < 400 || c.m_points.size() < 3) return;
    auto& p = c.m_points;
    for (size_t i = 1; i + 1 < p.size(); ++i) {
        const PlotPoint A = p[i - 1], B = p[i], C = p[i + 1];
        const double g = std::atan2(double(B.y) - A.y, double(B.x) - A.x);
        const double h = std::atan2(double(C.y) - B.y, double(C.x) - B.x);
        double t = h - g;
        if (t > kPi)
            t -= kTwoPi;
        else if (t <= -kPi)
            t += kTwoPi;
        const double turn = std::fabs(t * 180 / kPi);
        if (turn > 45 && turn < 120) {
            // The sums in 64 bits: two coordinates near the int limits must not overflow.
            const PlotPoint M{static_cast<int32_t>((int64_t{TruncToInt(B.x + d * std::cos(g))} +
                                                    TruncToInt(B.x - d * std::cos(h))) / 2),
                              static_cast<int32_t>((int64_t{TruncToInt(B.y + d * std::sin(g))} +
                                                    TruncToInt(B.y - d * std::sin(h))) / 2)};
            p.insert(p.begin() + static_cast<std::ptrdiff_t>(i + 1), M);
            p.insert(p.begin() + static_cast<std::ptrdiff_t>(i + 2), B);
            i += 2;
        }
    }
}

// With the guard against splits that leave the rest no shorter.
inline void SplitLongCuts(COnePage& page, int32_t L, int32_t g)
{
    if (L <= 0) return;
    auto& v = page.m_curves;
    for (size_t i = 0; i < v.size(); ++i) {
        CCurve& c = *v[i];
        if (c.m_kind == CurveKind::Plot) continue;
        c.CalcLength();
        if (TruncToInt(c.m_length) < TruncToInt(1.1 * L)) continue;
        int32_t acc = 0;
        for (size_t s = 1; s < c.m_points.size(); ++s) {
            const PlotPoint A = c.m_points[s - 1], B = c.m_points[s];
            const double d = PointDistance(A, B);
            const int32_t t = TruncToInt(acc + d);
            if (t <= L) {
                acc = t;
                continue;
            }
            int32_t r = L - acc;
            PlotPoint E = A;
            if (r - g >= 1)
                E = PointAlongSegment(A, B, r - g);
            else
                r = g;
            const PlotPoint S = r <= TruncToInt(d) ? PointAlongSegment(A, B, r) : B;
            auto rest = std::make_unique<CCurve>();
            rest->m_kind = CurveKind::Cut;
            rest->m_points.push_back(S);
            rest->m_points.insert(rest->m_points.end(), c.m_points.begin() + static_cast<std::ptrdiff_t>(s),
                                  c.m_points.end());
            rest->CalcLength();
            if (!(rest->m_length < c.m_length)) break;
            rest->m_length = 0;
            c.m_points.erase(c.m_points.begin() + static_cast<std::ptrdiff_t>(s), c.m_points.end());
            c.m_points.push_back(E);
            v.insert(v.begin() + static_cast<std::ptrdiff_t>(i + 1), std::move(rest));
            break;
        }
    }
    // Every cut curve ends with its own length (the lengths above are the
    // curves' lengths before they were cut).
    for (auto& c : v)
        if (c->m_kind != CurveKind::Plot) c->CalcLength();
}

// The import preparation as it was: each operation over the whole page in
// turn, the extents computed afterwards by the importer.
inline void RemoveCollinear(std::vector<PlotPoint>& p)
{
    auto dir = [](const PlotPoint& a, const PlotPoint& b) {
        return std::atan2(static_cast<double>(b.y) - a.y, static_cast<double>(b.x) - a.x);
    };
    size_t b = 1;
    while (p.size() > 2 && b + 1 < p.size()) {
        if (dir(p[b - 1], p[b]) == dir(p[b], p[b + 1]))
            p.erase(p.begin() + static_cast<std::ptrdiff_t>(b));
        else
            ++b;
    }
}

inline void PrepareImportedPage(COnePage& page, bool scale, bool outlines, bool rotate, int32_t paper)
{
    auto& v = page.m_curves;
    for (size_t i = 0; i < v.size();) {
        v[i]->RemoveDuplicates();
        RemoveCollinear(v[i]->m_points);
        if (v[i]->m_points.size() < 2)
            v.erase(v.begin() + static_cast<std::ptrdiff_t>(i));
        else
            ++i;
    }
    if (scale) page.ScaleAll(1.016, 1.016);
    page.CalcPageBounds();
    if (!v.empty()) {  // NormalizeOrigin
        page.CalcPageBounds();
        if (page.m_minX != 0) {
            for (auto& c : v) c->Offset(page.m_minX, 0);
            page.m_maxX = SaturateToInt(int64_t{page.m_maxX} - page.m_minX);
            page.m_minX = 0;
        }
        if (page.m_minY < 0) {
            for (auto& c : v) c->Offset(0, page.m_minY);
            page.m_maxY = SaturateToInt(int64_t{page.m_maxY} - page.m_minY);
            page.m_minY = 0;
        }
    }
    if (outlines) page.DetectOutlines();
    if (page.m_maxY > paper) {
        if (rotate) {  // Rotate90
            const int64_t top = page.m_maxY;
            for (auto& c : v)
                for (PlotPoint& p : c->m_points) p = {SaturateToInt(top - p.y), p.x};
            page.CalcPageBounds();
        }
        if (page.m_maxY > paper) page.SplitAlongY(paper);
    }
    page.CalcInkExtents();
    page.CalcCutExtents();
}

}  // namespace oracle
