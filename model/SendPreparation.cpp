#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "model/Geometry.h"
#include "model/Numeric.h"
#include "model/Page.h"

void COnePage::AddCleaningStripes(int32_t strength)
{
    // 25 mm of room in front of the job for the bars.
    for (auto& c : m_curves) c->Offset(-1000, 0);
    const int32_t t = (strength < 1 || strength > 5) ? 3 : strength;
    const int32_t linesPerBar = 20 * t + 5;
    const int32_t bars = 15 * t + 15;
    m_curves.reserve(m_curves.size() + static_cast<size_t>(linesPerBar) * bars);
    for (int32_t k = 0; k < bars; ++k) {
        for (int32_t line = 0; line < linesPerBar; ++line) {
            auto c = std::make_unique<CCurve>();
            c->m_kind = CurveKind::Plot;
            const int32_t y = 200 * k + line;
            c->m_points = {{0, y}, {1000, y}};
            m_curves.push_back(std::move(c));
        }
    }
}

namespace {

// The length of the polyline start, pts[j], pts[j + 1], ..., summed from the
// front as CalcLength sums it.
double ForwardLength(const PlotPoint& start, const std::vector<PlotPoint>& pts, size_t j)
{
    double sum = 0;
    PlotPoint prev = start;
    for (size_t k = j; k < pts.size(); ++k) {
        sum += PointDistance(prev, pts[k]);
        prev = pts[k];
    }
    return sum;
}

// A length known either exactly (summed from the front, the value the curve's
// own CalcLength gives) or as a sum in another order with its error bound.
struct Length {
    double value = 0;
    double err = 0;
};

// Sums of m positive terms in two orders differ by at most about 2m ulps of
// the sum; the margin here is generous.
double SumError(double sum, size_t terms) { return sum * (static_cast<double>(terms) + 4) * 1e-15; }

// One curve's pieces. The rest after each cut starts at a new point followed
// by a tail of the original points, so its length is the new first segment
// plus a precomputed suffix sum; the exact front-to-back sum is needed only
// when that estimate lies within its error of a threshold.
class LongCutSplitter {
public:
    LongCutSplitter(const std::vector<PlotPoint>& pts, int32_t L, int32_t g) : m_pts(pts), m_L(L), m_g(g)
    {
        const size_t n = pts.size();
        m_suffix.assign(n + 1, 0.0);
        for (size_t k = n; k-- > 1;) m_suffix[k - 1] = m_suffix[k] + PointDistance(pts[k - 1], pts[k]);
    }

    // The pieces' point lists, in order; one list when the curve stays whole.
    // minLen: the least length a piece needs to be split again. False when
    // the pieces would hold more than `room` points (then they are dropped).
    bool Split(double wholeLength, int32_t minLen, size_t room, std::vector<std::vector<PlotPoint>>& pieces)
    {
        if (TooManyPieces(wholeLength, minLen, room)) return false;
        PlotPoint start = m_pts[0];
        size_t j = 1;  // the piece is start, m_pts[j], ..., the last point
        Length len{wholeLength, 0};
        bool first = true;
        size_t points = m_pts.size();
        for (;;) {
            if (!first && !AtLeast(len, minLen, start, j)) break;
            first = false;
            if (!CutOnce(start, j, len, pieces)) break;
            points += 2;  // each cut adds the first piece's end and the rest's start
            if (points > room) {
                pieces.clear();
                return false;
            }
        }
        std::vector<PlotPoint> last;
        last.reserve(m_pts.size() - j + 1);
        last.push_back(start);
        last.insert(last.end(), m_pts.begin() + static_cast<std::ptrdiff_t>(j), m_pts.end());
        pieces.push_back(std::move(last));
        return true;
    }

private:
    // Whether the pieces are sure to hold more than `room` points, known
    // before any is made. Each cut adds two points and shortens the rest by
    // at most L + g, one unit per segment walked (the running length is
    // truncated) and the truncation of the new start; with L of 3 or more
    // every cut shortens the rest (the start moves on by at least L - 2.5),
    // so the cuts go on until what is left is shorter than both 1.1 L and
    // L plus a unit per segment.
    bool TooManyPieces(double wholeLength, int32_t minLen, size_t room) const
    {
        if (m_L < 3) return false;
        const double n = static_cast<double>(m_pts.size());
        const double left = std::max<double>(minLen, m_L + n);
        const double cuts = (wholeLength - left - n - 1) / (static_cast<double>(m_L) + m_g + 2);
        return n + 2 * cuts > static_cast<double>(room);
    }

    double Exact(const PlotPoint& start, size_t j) const { return ForwardLength(start, m_pts, j); }

    bool AtLeast(Length& len, int32_t minLen, const PlotPoint& start, size_t j) const
    {
        if (len.value - len.err >= minLen) return true;
        if (len.value + len.err < minLen) return false;
        len = {Exact(start, j), 0};
        return len.value >= minLen;
    }

    // Cuts the piece start, m_pts[j..] once where its running length passes
    // L, moving the first part into `pieces`; false when it needs no cut or
    // the cut would not shorten what is left.
    bool CutOnce(PlotPoint& start, size_t& j, Length& len, std::vector<std::vector<PlotPoint>>& pieces) const
    {
        int32_t acc = 0;
        PlotPoint a = start;
        for (size_t s = j; s < m_pts.size(); ++s) {
            const PlotPoint b = m_pts[s];
            const double d = PointDistance(a, b);
            const int32_t t = TruncToInt(acc + d);
            if (t <= m_L) {
                acc = t;
                a = b;
                continue;
            }
            int32_t r = m_L - acc;
            PlotPoint e = a;
            if (int64_t{r} - m_g >= 1)
                e = PointAlongSegment(a, b, SaturateToInt(int64_t{r} - m_g));
            else
                r = m_g;
            const PlotPoint next = r <= TruncToInt(d) ? PointAlongSegment(a, b, r) : b;
            const double restValue = PointDistance(next, b) + m_suffix[s];
            Length rest{restValue, SumError(restValue, m_pts.size() - s + 1)};
            if (!Shorter(rest, len, next, s, start, j)) return false;

            std::vector<PlotPoint> piece;
            piece.reserve(s - j + 2);
            piece.push_back(start);
            piece.insert(piece.end(), m_pts.begin() + static_cast<std::ptrdiff_t>(j),
                         m_pts.begin() + static_cast<std::ptrdiff_t>(s));
            piece.push_back(e);
            pieces.push_back(std::move(piece));
            start = next;
            j = s;
            len = rest;
            return true;
        }
        return false;
    }

    // Whether the rest (next, m_pts[s..]) is shorter than the piece (start, m_pts[j..]).
    bool Shorter(Length& rest, Length& whole, const PlotPoint& next, size_t s, const PlotPoint& start,
                 size_t j) const
    {
        if (rest.value + rest.err < whole.value - whole.err) return true;
        if (rest.value - rest.err >= whole.value + whole.err) return false;
        if (whole.err != 0) whole = {Exact(start, j), 0};
        if (rest.err != 0) rest = {Exact(next, s), 0};
        return rest.value < whole.value;
    }

    const std::vector<PlotPoint>& m_pts;
    const int32_t m_L, m_g;
    std::vector<double> m_suffix;  // m_suffix[k]: length from point k to the end
};

}  // namespace

bool COnePage::SplitLongCuts(int32_t L, int32_t g)
{
    if (L <= 0) return true;
    const int32_t minLen = TruncToInt(1.1 * L);
    // Every curve's pieces first, so a split too large for the page leaves it as it was.
    std::vector<std::vector<std::vector<PlotPoint>>> split(m_curves.size());
    size_t points = 0, curves = 0;
    for (size_t i = 0; i < m_curves.size(); ++i) {
        CCurve& c = *m_curves[i];
        points += c.m_points.size();
        ++curves;
        if (c.m_kind == CurveKind::Plot) continue;
        c.CalcLength();
        if (TruncToInt(c.m_length) < minLen) continue;
        std::vector<std::vector<PlotPoint>> pieces;
        const size_t room = kMaxPagePoints - std::min(points - c.m_points.size(), kMaxPagePoints);
        if (!LongCutSplitter(c.m_points, L, g).Split(c.m_length, minLen, room, pieces)) return false;
        if (pieces.size() < 2) continue;
        points -= c.m_points.size();
        for (const auto& p : pieces) points += p.size();
        curves += pieces.size() - 1;
        split[i] = std::move(pieces);
    }
    // Each piece follows the curve it came from: one pass builds the new order
    // instead of inserting into the array.
    std::vector<std::unique_ptr<CCurve>> out;
    out.reserve(curves);
    for (size_t i = 0; i < m_curves.size(); ++i) {
        std::vector<std::vector<PlotPoint>>& pieces = split[i];
        if (pieces.empty()) {
            out.push_back(std::move(m_curves[i]));
            continue;
        }
        // The curve itself keeps its fields and the first piece; the pieces
        // after it are plain cut lines. Each length is its own.
        for (size_t k = 0; k < pieces.size(); ++k) {
            std::unique_ptr<CCurve> piece = k == 0 ? std::move(m_curves[i]) : std::make_unique<CCurve>();
            if (k > 0) piece->m_kind = CurveKind::Cut;
            piece->m_points = std::move(pieces[k]);
            piece->CalcLength();
            out.push_back(std::move(piece));
        }
    }
    m_curves = std::move(out);
    return true;
}

void COnePage::ClassifyShortCuts()
{
    for (auto& c : m_curves)
        if (c->m_kind != CurveKind::Plot) c->UpdateKind();
}

void COnePage::CompensateCutCorners(double d)
{
    for (auto& c : m_curves)
        if (c->m_kind != CurveKind::Plot) c->CompensateCorners(d);
}

void COnePage::ExtendCutEnds(double d)
{
    for (auto& c : m_curves)
        if (c->m_kind != CurveKind::Plot) c->ExtendEnds(d);
}

void COnePage::CleanUpCurves()
{
    std::vector<std::unique_ptr<CCurve>> kept;
    kept.reserve(m_curves.size());
    for (auto& c : m_curves) {
        c->RemoveDuplicates();
        c->RemoveCollinear();
        if (c->m_points.size() >= 2) kept.push_back(std::move(c));
    }
    m_curves = std::move(kept);
}
