#include "jobs/TakenAtStart.h"

#include "model/Text.h"

TakenVerdict TakenAtStart(const TakenSource& s, const std::optional<FileStamp>& now, bool listRewritten,
                          bool listHolds)
{
    if (!now || !(*now == s.stamp)) return TakenVerdict::Forget;
    if (s.kept) return TakenVerdict::Remember;
    // Both: the list on disk is a later one than the entry saw, and it has
    // the job (an equal older job alone, or a save of an older list that
    // ended after the take, does not count).
    return listRewritten && listHolds ? TakenVerdict::Delete : TakenVerdict::Forget;
}

bool ListHoldsJob(const PageList& pages, const TakenSource& s)
{
    for (const auto& p : pages)
        if (p->m_time == s.jobTime && ToUtf8(p->m_strFileName) == s.jobName) return true;
    return false;
}
