#pragma once
// A job named by identity, not by list position: dialogs and menus run
// nested event loops in which imports, deletions and job ends change the
// list, so a position taken before them may name another job afterwards.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class COnePage;

class JobRef {
public:
    JobRef() = default;
    // The job at index; an empty reference for an index outside the list.
    static JobRef At(const std::vector<std::unique_ptr<COnePage>>& pages, int index);
    // Its present index, or -1 when it has left the list. Name and time are
    // compared besides the address: a job made meanwhile may reuse it.
    int Find(const std::vector<std::unique_ptr<COnePage>>& pages) const;
    bool Empty() const { return m_page == nullptr; }

private:
    const COnePage* m_page = nullptr;
    std::u16string m_name;
    int64_t m_time = 0;
};
