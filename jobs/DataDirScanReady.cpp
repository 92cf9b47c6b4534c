#include "jobs/DataDirScanReady.h"

#include "jobs/DataDirScanName.h"

Readiness CReadyTest::Judge(const std::string& path, WriteState writes, LeaseSays lease, bool localFs,
                            const FileStamp& stamp, int64_t nowNs)
{
    // Created and still empty: its writer has not begun. Created with
    // contents but never written: a link, judged as a file seen before.
    if (lease == LeaseSays::Writer || writes == WriteState::Writing ||
        (writes == WriteState::Created && stamp.size == 0)) {
        m_settling.erase(path);
        return Readiness::Busy;
    }
    if ((localFs && lease == LeaseSays::NoWriter) || writes == WriteState::Closed) {
        m_settling.erase(path);
        return Readiness::Ready;
    }
    // Nobody here can see the writer: only time tells.
    const auto it = m_settling.find(path);
    if (it == m_settling.end() || !(it->second.stamp == stamp)) {
        m_settling[path] = Settle{stamp, nowNs};
        return Readiness::Settling;
    }
    if (nowNs - it->second.sinceNs < kSettleNs) return Readiness::Settling;
    m_settling.erase(it);
    return Readiness::Ready;
}

bool CReadyTest::Waiting(const std::string& path, int64_t nowNs) const
{
    const auto it = m_settling.find(path);
    return it != m_settling.end() && nowNs - it->second.sinceNs < kSettleNs;
}

void CReadyTest::Prune(const std::string& dir, const std::unordered_set<std::string>& listed)
{
    for (auto it = m_settling.begin(); it != m_settling.end();) {
        const bool inDir = InFolder(it->first, dir);
        it = inDir && listed.count(it->first) == 0 ? m_settling.erase(it) : std::next(it);
    }
}
