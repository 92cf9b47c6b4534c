#include "jobs/OrlatCenterDoc.h"

#include <algorithm>

#include "jobs/HpglExport.h"
#include "model/Geometry.h"
#include "model/ProfileFile.h"
#include "model/Settings.h"
#include "model/Text.h"

COrlatCenterDoc* g_pTaskDoc = nullptr;

COrlatCenterDoc::COrlatCenterDoc() { g_pTaskDoc = this; }

COrlatCenterDoc::~COrlatCenterDoc()
{
    DeleteAllPages();
    if (g_pTaskDoc == this) g_pTaskDoc = nullptr;
}

COnePage* COrlatCenterDoc::Page(int i) const
{
    return (i >= 0 && i < PageCount()) ? m_pages[static_cast<size_t>(i)].get() : nullptr;
}

void COrlatCenterDoc::DeleteAllPages()
{
    m_pages.clear();
    NoteChange();
}

void COrlatCenterDoc::DeletePage(int i)
{
    if (!Page(i)) return;
    m_pages.erase(m_pages.begin() + i);
    NoteChange();
}

void COrlatCenterDoc::DeleteCheckedPages()
{
    NoteChange();
    std::erase_if(m_pages, [](const std::unique_ptr<COnePage>& p) {
        return p->m_checked && p->m_state != JobState::Printing;
    });
}

void COrlatCenterDoc::UncheckAllPages()
{
    for (auto& p : m_pages) p->m_checked = 0;
}

void COrlatCenterDoc::CheckPage(int i)
{
    if (COnePage* p = Page(i)) p->m_checked = 1;
}

void COrlatCenterDoc::SetCheckedPagesState(int state)
{
    NoteChange();
    for (auto& p : m_pages) {
        if (!p->m_checked || p->m_state == JobState::Printing) continue;
        if ((state == JobState::Manual || state == JobState::Auto) && p->m_copies <= 0) p->m_copies = 1;
        p->m_state = state;
    }
}

void COrlatCenterDoc::ClearPageSelection(int i)
{
    if (COnePage* p = Page(i)) p->DeselectAllCurves();
}

void COrlatCenterDoc::PickCurve(int i, int x, int y)
{
    COnePage* p = Page(i);
    if (!p || p->m_curves.empty()) return;
    for (int kind = 0; kind <= 9; ++kind) {
        for (auto& c : p->m_curves) {
            if (c->m_kind != kind || !c->HitTest(x, y)) continue;
            c->m_bSelected = !c->m_bSelected;
            return;
        }
    }
}

void COrlatCenterDoc::SelectCurvesInRect(int i, ViewPoint a, ViewPoint b, bool crossing)
{
    COnePage* p = Page(i);
    if (!p || p->m_curves.empty()) return;
    const PlotPoint pa = ViewToPlot(a.x, a.y);
    const PlotPoint pb = ViewToPlot(b.x, b.y);
    const DPoint xaYb{double(pa.x), double(pb.y)}, xaYa{double(pa.x), double(pa.y)};
    const DPoint xbYb{double(pb.x), double(pb.y)}, xbYa{double(pb.x), double(pa.y)};
    const DPoint edges[4][2] = {{xaYb, xaYa}, {xbYb, xbYa}, {xaYb, xbYb}, {xaYa, xbYa}};
    for (auto& c : p->m_curves) {
        c->CalcBoundRect();
        if (c->IsInsideRect(a.x, a.y, b.x, b.y)) {
            c->m_bSelected = 1;
            continue;
        }
        if (!crossing) continue;
        bool crosses = false;
        for (size_t k = 1; k < c->m_points.size() && !crosses; ++k) {
            const PlotPoint& s = c->m_points[k - 1];
            const PlotPoint& e = c->m_points[k];
            if (PointDistance(s, e) < 5) continue;
            const DPoint ds{double(s.x), double(s.y)}, de{double(e.x), double(e.y)};
            for (const auto& edge : edges) {
                if (SegmentsCross(ds, de, edge[0], edge[1])) {
                    crosses = true;
                    break;
                }
            }
        }
        if (crosses) c->m_bSelected = 1;
    }
}

bool COrlatCenterDoc::ExportHpgl(const std::u16string& path, std::string* error) const
{
    return WriteFileAtomically(ToUtf8(path), HpglExportText(m_pages), error);
}

TaskFileStatus COrlatCenterDoc::OpenTaskFile(const std::u16string& path)
{
    const TaskFileStatus s = LoadTaskFile(path, m_pages);
    if (s != TaskFileStatus::Ok) return s;
    m_currentPath = path;
    NoteChange();
    return s;
}

TaskFileStatus COrlatCenterDoc::SaveTaskFile(const std::u16string& path)
{
    const TaskFileStatus s = Store(path);
    if (s == TaskFileStatus::Ok) m_currentPath = path;
    return s;
}

namespace {

// The file holds a running job as Manual; in the list it stays Printing, so
// that its end still counts its copies down, also when store throws.
template <class Store>
auto KeepingPrinting(std::vector<std::unique_ptr<COnePage>>& pages, Store store)
{
    struct Restore {
        std::vector<COnePage*> printing;
        ~Restore()
        {
            for (COnePage* p : printing) p->m_state = JobState::Printing;
        }
    } restore;
    for (auto& p : pages)
        if (p->m_state == JobState::Printing) restore.printing.push_back(p.get());
    return store();
}

}  // namespace

std::vector<uint8_t> COrlatCenterDoc::StoredBytes(std::vector<uint8_t> room)
{
    return KeepingPrinting(m_pages, [&] { return StoreTaskBytes(m_pages, std::move(room)); });
}

TaskFileStatus COrlatCenterDoc::Store(const std::u16string& path)
{
    return KeepingPrinting(m_pages, [&] { return ::SaveTaskFile(path, m_pages); });
}
