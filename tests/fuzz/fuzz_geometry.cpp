// Page geometry on arbitrary pages: the fast operations must equal the literal
// ones on small pages, and nothing may overflow or fault on extreme ones.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "model/Canvas.h"
#include "model/KnifePoint.h"
#include "model/MachineParams.h"
#include "model/Page.h"
#include "tests/model/support/LiteralOracles.h"

namespace {

class Reader {
public:
    Reader(const uint8_t* d, size_t n) : m_d(d), m_n(n) {}
    bool Empty() const { return m_pos >= m_n; }
    uint8_t Byte() { return m_pos < m_n ? m_d[m_pos++] : 0; }
    int32_t Int32()
    {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = (v << 8) | Byte();
        return static_cast<int32_t>(v);
    }
    int32_t Small() { return static_cast<int8_t>(Byte()) * 4 + (Byte() % 4); }

private:
    const uint8_t* m_d;
    size_t m_n;
    size_t m_pos = 0;
};

void ReadPage(Reader& in, COnePage& page, bool extreme)
{
    const int curves = in.Byte() % 24;
    for (int i = 0; i < curves && !in.Empty(); ++i) {
        auto c = std::make_unique<CCurve>();
        const uint8_t flags = in.Byte();
        c->m_kind = 1 + flags % 3;
        c->m_bNoJoin = (flags >> 2) & 1;
        c->m_lineType = static_cast<int8_t>(in.Byte());
        const int n = in.Byte() % 12;
        for (int k = 0; k < n; ++k) {
            if (extreme)
                c->m_points.push_back({in.Int32(), in.Int32()});
            else
                c->m_points.push_back({in.Small(), in.Small()});
        }
        c->CalcBoundRect();
        page.m_curves.push_back(std::move(c));
    }
}

void Clone(const COnePage& src, COnePage& dst)
{
    for (const auto& c : src.m_curves) {
        auto d = std::make_unique<CCurve>();
        d->CopyFrom(*c);
        d->m_bNoJoin = c->m_bNoJoin;
        d->m_length = c->m_length;
        dst.m_curves.push_back(std::move(d));
    }
}

void ExpectSame(const COnePage& a, const COnePage& b)
{
    bool same = a.m_curves.size() == b.m_curves.size();
    for (size_t i = 0; same && i < a.m_curves.size(); ++i) {
        const CCurve& x = *a.m_curves[i];
        const CCurve& y = *b.m_curves[i];
        same = x.m_points == y.m_points && x.m_kind == y.m_kind && x.m_bNoJoin == y.m_bNoJoin &&
               x.m_lineType == y.m_lineType;
    }
    if (!same) std::abort();
}

struct NullCanvas : Canvas {
    void SetPen(PenStyle, int32_t, Rgb) override {}
    void Polyline(const ViewPoint*, int32_t) override {}
    void Rectangle(int32_t, int32_t, int32_t, int32_t) override {}
    void FilledPolygon(const ViewPoint*, int32_t) override {}
};

// The strip count of a split, bounded so that a page stays small.
int32_t StripWidth(const COnePage& page, int32_t w)
{
    int64_t top = 0;
    for (const auto& c : page.m_curves)
        for (const PlotPoint& p : c->m_points) top = std::max<int64_t>(top, p.y);
    if (w > 0 && top / w > 16) return static_cast<int32_t>(top / 16 + 1);
    return w;
}

double TotalLength(const COnePage& page)
{
    double sum = 0;
    for (const auto& c : page.m_curves) {
        c->CalcLength();
        sum += c->m_length;
    }
    return sum;
}

void Compare(Reader& in, uint8_t op)
{
    COnePage page;
    ReadPage(in, page, false);
    COnePage fast, slow;
    Clone(page, fast);
    Clone(page, slow);
    switch (op % 7) {
    case 0:
        fast.JoinNearbyCurves();
        oracle::JoinNearbyCurves(slow);
        break;
    case 1:
        fast.JoinConnectedCurves();
        oracle::JoinConnectedCurves(slow);
        break;
    case 2:
        for (auto* p : {&fast, &slow})
            for (auto& c : p->m_curves) c->m_kind = c->m_points.size() % 2 ? CurveKind::Cut : c->m_kind;
        fast.DemoteNestedOutlines();
        oracle::DemoteNestedOutlines(slow);
        break;
    case 3:
        fast.DetectOutlines();
        oracle::DetectOutlines(slow);
        break;
    case 4: {
        const int32_t w = StripWidth(page, in.Small());
        fast.SplitAlongY(w);
        oracle::SplitAlongY(slow, w);
        break;
    }
    case 5: {
        MachineParams mp = SnapshotMachineParams();
        mp.angleComp = in.Byte();
        StoreMachineParams(mp);
        fast.CompensateCutCorners();
        for (auto& c : slow.m_curves)
            if (c->m_kind != CurveKind::Plot) oracle::CompensateCorners(*c);
        break;
    }
    default: {
        const int32_t L = in.Small(), g = in.Small() % 64;
        fast.SplitLongCuts(L, g);
        oracle::SplitLongCuts(slow, L, g);
        break;
    }
    }
    ExpectSame(fast, slow);
}

void Extreme(Reader& in)
{
    COnePage page;
    ReadPage(in, page, true);
    MachineParams mp = SnapshotMachineParams();
    mp.pulsesPerMmX = 60.5;
    mp.pulsesPerMmY = 41.36;
    mp.angleComp = in.Byte();
    StoreMachineParams(mp);
    NullCanvas canvas;
    for (auto& c : page.m_curves) {
        c->m_bSelected = 1;
        c->Draw(canvas);
        c->HitTest(in.Int32(), in.Int32());
        c->IsInsideRect(in.Int32(), in.Int32(), in.Int32(), in.Int32());
        c->ContainsPoint(in.Int32(), in.Int32());
        std::vector<KnifePoint> path;
        c->ClipCutToBand(in.Int32(), in.Int32(), path);
        c->ClipShortCutToBand(in.Int32(), in.Int32(), path);
    }
    page.CalcPageBounds();
    page.m_startPos = in.Int32();
    page.Rotate90();
    page.NormalizeOrigin();
    page.MoveToLowerLeft();
    page.ApplyStartPosition();
    page.ShiftUp(in.Int32());
    page.ScaleAll(1.016, 1.016);
    page.DetectOutlines();
    page.CompensateCutCorners();
    page.ExtendCutEnds();
    const double total = TotalLength(page);
    int32_t L = in.Int32();
    if (L > 0 && total / L > 256) L = static_cast<int32_t>(std::min(total / 256 + 1, 2147483647.0));
    page.SplitLongCuts(L, in.Byte());
    page.SplitAlongY(StripWidth(page, in.Int32()));
    page.ClassifyShortCuts();
    page.ReorderByKind(in.Byte() % 2);
    page.DrawAll(canvas);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Reader in(data, size);
    const uint8_t op = in.Byte();
    if (op & 0x80)
        Extreme(in);
    else
        Compare(in, op);
    return 0;
}
