#include <algorithm>
#include <cmath>
#include <deque>
#include <memory>
#include <utility>
#include <vector>

#include "model/Geometry.h"
#include "model/Page.h"

void COnePage::JoinConnectedCurves()
{
    if (m_curves.size() < 2) return;
    // One pass: a joined curve is compared again with its new neighbour, which
    // is simply the next curve of the old array.
    std::vector<std::unique_ptr<CCurve>> out;
    out.reserve(m_curves.size());
    std::unique_ptr<CCurve> cur = std::move(m_curves[0]);
    for (size_t j = 1; j < m_curves.size(); ++j) {
        std::unique_ptr<CCurve> next = std::move(m_curves[j]);
        if (!cur->m_points.empty() && !next->m_points.empty() && cur->m_kind == next->m_kind &&
            cur->m_points.back() == next->m_points.front()) {
            cur->m_points.insert(cur->m_points.end(), next->m_points.begin() + 1, next->m_points.end());
            continue;
        }
        out.push_back(std::move(cur));
        cur = std::move(next);
    }
    out.push_back(std::move(cur));
    m_curves = std::move(out);
}

namespace {

bool IsClosed(const CCurve& c)
{
    return c.m_points.size() > 3 && IsNearPoint(c.m_points.front(), c.m_points.back());
}

// End points of the curves still waiting to be joined. Ends at the same spot
// and of the same kind form one bucket that keeps its curve indexes
// ascending, so the first waiting curve there is found without looking at the
// others however many curves end at that spot; the buckets sit in 16-unit
// cells, and a search for ends within 9 units looks at four cells at most. A
// curve leaves when the caller says it no longer waits (joined, or current):
// the buckets skip such indexes once, from their front, as they never wait
// again. Built once, in flat sorted arrays.
class EndGrid {
public:
    void Add(const PlotPoint& p, int32_t kind, int32_t index) { m_items.push_back({CellOf(p), p, kind, index}); }

    // Sorts what was added into cells and buckets; Add is not called afterwards.
    void Build()
    {
        std::sort(m_items.begin(), m_items.end(), [](const Item& l, const Item& r) {
            if (l.cell != r.cell) return l.cell < r.cell;
            if (l.at.x != r.at.x) return l.at.x < r.at.x;
            if (l.at.y != r.at.y) return l.at.y < r.at.y;
            if (l.kind != r.kind) return l.kind < r.kind;
            return l.index < r.index;
        });
        for (size_t k = 0; k < m_items.size(); ++k) {
            const Item& it = m_items[k];
            const bool newBucket = k == 0 || !(m_items[k - 1].at == it.at) || m_items[k - 1].kind != it.kind;
            if (newBucket) {
                if (m_cells.empty() || m_cells.back().cell != it.cell)
                    m_cells.push_back({it.cell, static_cast<uint32_t>(m_buckets.size())});
                m_buckets.push_back({it.at, it.kind, static_cast<uint32_t>(k), static_cast<uint32_t>(k)});
            }
            m_buckets.back().end = static_cast<uint32_t>(k + 1);
        }
    }

    // The first waiting index, in array order, among the ends near p; of kind
    // `kind` only unless anyKind. `waiting` tells whether an index still waits.
    template <class W>
    int32_t FirstNear(const PlotPoint& p, bool anyKind, int32_t kind, W waiting, int32_t none)
    {
        int32_t best = none;
        const int64_t x0 = (int64_t{p.x} - 9) >> 4, x1 = (int64_t{p.x} + 9) >> 4;
        const int64_t y0 = (int64_t{p.y} - 9) >> 4, y1 = (int64_t{p.y} + 9) >> 4;
        for (int64_t cx = x0; cx <= x1; ++cx)
            for (int64_t cy = y0; cy <= y1; ++cy) {
                const uint64_t key = Key(cx, cy);
                auto cell = std::lower_bound(m_cells.begin(), m_cells.end(), key,
                                             [](const Cell& c, uint64_t k) { return c.cell < k; });
                if (cell == m_cells.end() || cell->cell != key) continue;
                const uint32_t last =
                    cell + 1 != m_cells.end() ? (cell + 1)->firstBucket : static_cast<uint32_t>(m_buckets.size());
                for (uint32_t bi = cell->firstBucket; bi < last; ++bi) {
                    Bucket& b = m_buckets[bi];
                    if ((!anyKind && b.kind != kind) || !IsNearPoint(p, b.at)) continue;
                    while (b.head < b.end && !waiting(m_items[b.head].index)) ++b.head;
                    if (b.head < b.end) best = std::min(best, m_items[b.head].index);
                }
            }
        return best;
    }

private:
    struct Item {
        uint64_t cell;
        PlotPoint at;
        int32_t kind;
        int32_t index;
    };
    struct Bucket {
        PlotPoint at;
        int32_t kind;
        uint32_t head, end;  // its items; those before head no longer wait
    };
    struct Cell {
        uint64_t cell;
        uint32_t firstBucket;  // its buckets run to the next cell's first
    };
    static uint64_t Key(int64_t cx, int64_t cy)
    {
        return (static_cast<uint64_t>(static_cast<uint32_t>(cx)) << 32) | static_cast<uint32_t>(cy);
    }
    static uint64_t CellOf(const PlotPoint& p) { return Key(p.x >> 4, p.y >> 4); }

    std::vector<Item> m_items;
    std::vector<Bucket> m_buckets;
    std::vector<Cell> m_cells;
};

// The growing curve: reversing only flips which end is the logical start.
class JoinedPoints {
public:
    explicit JoinedPoints(const std::vector<PlotPoint>& pts) : m_pts(pts.begin(), pts.end()) {}
    const PlotPoint& First() const { return m_rev ? m_pts.back() : m_pts.front(); }
    const PlotPoint& Last() const { return m_rev ? m_pts.front() : m_pts.back(); }
    void Reverse() { m_rev = !m_rev; }
    void Append(const PlotPoint& p)
    {
        if (m_rev)
            m_pts.push_front(p);
        else
            m_pts.push_back(p);
    }
    std::vector<PlotPoint> Take() const
    {
        std::vector<PlotPoint> v(m_pts.begin(), m_pts.end());
        if (m_rev) std::reverse(v.begin(), v.end());
        return v;
    }

private:
    std::deque<PlotPoint> m_pts;
    bool m_rev = false;
};

}  // namespace

void COnePage::JoinNearbyCurves()
{
    const int32_t n = static_cast<int32_t>(m_curves.size());
    if (n < 2) return;
    // A curve after the current one is never changed before it is joined or
    // becomes current itself, so whether it may be joined is known up front,
    // and its ends stay where they were until it leaves the grids.
    std::vector<char> joinable(n), alive(n, 1);
    EndGrid firsts, lasts;
    for (int32_t k = 0; k < n; ++k) {
        const CCurve& c = *m_curves[k];
        joinable[k] = !c.m_points.empty() && !c.m_bNoJoin && !IsClosed(c);
        if (!joinable[k]) continue;
        firsts.Add(c.m_points.front(), c.m_kind, k);
        lasts.Add(c.m_points.back(), c.m_kind, k);
    }
    firsts.Build();
    lasts.Build();

    for (int32_t i = 0; i < n; ++i) {
        if (!alive[i] || !joinable[i]) continue;
        CCurve& p = *m_curves[i];
        // Curves before and at the current one wait no more.
        auto waiting = [&](int32_t k) { return k > i && alive[k] != 0; };
        JoinedPoints pts(p.m_points);
        bool joined = false;
        for (;;) {
            const PlotPoint f = pts.First(), l = pts.Last();
            // The scan restarts after every join, so the partner is always the
            // first waiting curve in array order that meets any of the tests.
            int32_t best = firsts.FirstNear(l, true, p.m_kind, waiting, n);
            best = std::min(best, firsts.FirstNear(f, false, p.m_kind, waiting, n));
            best = std::min(best, lasts.FirstNear(l, false, p.m_kind, waiting, n));
            best = std::min(best, lasts.FirstNear(f, false, p.m_kind, waiting, n));
            if (best == n) break;
            CCurve& q = *m_curves[best];
            const bool sameKind = q.m_kind == p.m_kind;
            bool reverseQ = false;  // end meets start: both as they are
            if (IsNearPoint(l, q.m_points.front())) {
                reverseQ = false;
            } else if (sameKind && IsNearPoint(f, q.m_points.front())) {
                pts.Reverse();
            } else if (sameKind && IsNearPoint(l, q.m_points.back())) {
                reverseQ = true;
            } else {
                pts.Reverse();
                reverseQ = true;
            }
            const std::vector<PlotPoint>& qp = q.m_points;
            if (reverseQ)
                for (size_t t = qp.size() - 1; t-- > 0;) pts.Append(qp[t]);
            else
                for (size_t t = 1; t < qp.size(); ++t) pts.Append(qp[t]);
            alive[best] = 0;
            joined = true;
        }
        if (joined) p.m_points = pts.Take();
    }

    std::vector<std::unique_ptr<CCurve>> out;
    out.reserve(n);
    for (int32_t k = 0; k < n; ++k)
        if (alive[k]) out.push_back(std::move(m_curves[k]));
    m_curves = std::move(out);
}
