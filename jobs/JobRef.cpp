#include "jobs/JobRef.h"

#include "model/Page.h"

JobRef JobRef::At(const std::vector<std::unique_ptr<COnePage>>& pages, int index)
{
    JobRef r;
    if (index < 0 || static_cast<size_t>(index) >= pages.size()) return r;
    r.m_page = pages[static_cast<size_t>(index)].get();
    r.m_name = r.m_page->m_strFileName;
    r.m_time = r.m_page->m_time;
    return r;
}

int JobRef::Find(const std::vector<std::unique_ptr<COnePage>>& pages) const
{
    if (m_page == nullptr) return -1;
    for (size_t i = 0; i < pages.size(); ++i) {
        const COnePage* p = pages[i].get();
        if (p == m_page) return p->m_strFileName == m_name && p->m_time == m_time ? static_cast<int>(i) : -1;
    }
    return -1;
}
