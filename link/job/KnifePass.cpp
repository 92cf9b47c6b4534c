#include "link/job/KnifePass.h"

#include <chrono>
#include <thread>

#include "link/output/KnifePlanner.h"
#include "link/output/KnifeRecord.h"
#include "link/JobCommands.h"
#include "link/MyCommu.h"
#include "model/KnifePoint.h"
#include "model/Page.h"

void ClearKnifePath()
{
    g_knifePoints.clear();
}

int32_t BuildKnifePath(int32_t lo, int32_t hi, const COnePage& page, const JobSnapshot& s)
{
    for (const auto& curve : page.m_curves) {
        // The job's own block, not the live one a dialog may be editing.
        if (curve->m_kind == CurveKind::Cut) curve->ClipCutToBand(lo, hi, s.params);
        else if (curve->m_kind == CurveKind::ShortCut) curve->ClipShortCutToBand(lo, hi, s.params);
    }
    return PlanKnifePath(g_knifePoints, s);
}

int32_t BuildCutPass(int32_t segment, const COnePage& page, const JobSnapshot& s)
{
    ClearKnifePath();
    return BuildKnifePath(BandStart(segment, s.params), BandStart(segment + 1, s.params), page, s);
}

int SendKnifePath(CMyCommu& link, KnifeBuffers& buf)
{
    if (PackKnifePath(g_knifePoints, buf) != 0) return 2;
    return link.SendData(buf.stream, buf.packedBytes) == buf.packedBytes ? 0 : -1;
}

int SendCutPass(int32_t segment, int32_t bandCount, const COnePage& page, const JobSnapshot& s,
                CMyCommu& link, KnifeBuffers& buf)
{
    if (segment > bandCount) return 0;
    const int32_t n = BuildCutPass(segment, page, s);
    if (n <= 0) return 0;
    if (SendKnifePath(link, buf) != 0) return -1;
    if (SendKnifeHeader(link, n) == 0) return 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return -1;
}
