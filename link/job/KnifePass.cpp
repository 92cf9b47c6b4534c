#include "link/job/KnifePass.h"

#include "link/JobCommands.h"
#include "link/LinkClock.h"
#include "link/MyCommu.h"
#include "link/output/KnifePassBound.h"
#include "link/output/KnifePlanner.h"
#include "link/output/KnifeRecord.h"
#include "model/Page.h"

int32_t BuildKnifePath(int32_t lo, int32_t hi, const COnePage& page, const JobSnapshot& s,
                       std::vector<KnifePoint>& path)
{
    for (const auto& curve : page.m_curves) {
        // The job's own block, not the live one a dialog may be editing.
        if (curve->m_kind == CurveKind::Cut) curve->ClipCutToBand(lo, hi, s.params, path);
        else if (curve->m_kind == CurveKind::ShortCut) curve->ClipShortCutToBand(lo, hi, s.params, path);
    }
    return PlanKnifePath(path, s);
}

int32_t BuildCutPass(int32_t segment, const COnePage& page, const JobSnapshot& s, std::vector<KnifePoint>& path)
{
    path.clear();
    return BuildKnifePath(BandStart(segment, s.params), BandStart(segment + 1, s.params), page, s, path);
}

int SendKnifePath(const std::vector<KnifePoint>& path, CMyCommu& link, KnifeBuffers& buf)
{
    if (PackKnifePath(path, buf) != 0) return 2;
    return link.SendData(buf.stream, buf.packedBytes) == buf.packedBytes ? 0 : -1;
}

int SendCutPass(int32_t segment, int32_t bandCount, const COnePage& page, const JobSnapshot& s, CMyCommu& link,
                CLinkClock& clock, std::vector<KnifePoint>& path, KnifeBuffers& buf)
{
    path.clear();
    if (segment > bandCount) return 0;
    const int32_t n = BuildCutPass(segment, page, s, path);
    if (n <= 0) return 0;
    if (const int sent = SendKnifePath(path, link, buf); sent != 0) return sent == 2 ? 2 : -1;
    if (SendKnifeHeader(link, n) == 0) return 0;
    clock.SleepMs(1);
    return -1;
}

int32_t FirstOversizedCutPass(int32_t bandCount, const COnePage& page, const JobSnapshot& s)
{
    const int32_t v = s.params.bandsPerCutSegment;
    if (v <= 0 || bandCount <= 0) return -1;
    // The passes SendBands sends: every segment of the job's bands.
    const int32_t passes = static_cast<int32_t>((int64_t{bandCount} + v - 1) / v);
    const std::vector<int64_t> bounds = KnifePassBounds(page, s, passes);
    std::vector<KnifePoint> path;
    for (int32_t i = 0; i < passes; ++i) {
        if (KnifePassFits(static_cast<size_t>(bounds[static_cast<size_t>(i)]))) continue;
        if (!KnifePassFits(static_cast<size_t>(BuildCutPass(i, page, s, path)))) return i;
    }
    return -1;
}
