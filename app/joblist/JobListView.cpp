#include "app/joblist/JobListView.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <algorithm>

#include "app/commands/ContextMenus.h"
#include "app/text/JobInput.h"
#include "app/joblist/JobListCells.h"
#include "app/joblist/JobListModel.h"
#include "jobs/JobRef.h"
#include "app/joblist/JobSort.h"
#include "jobs/OrlatCenterDoc.h"
#include "app/dialogs/ViewDialogs.h"
#include "widgets/EventGuard.h"
#include "model/Page.h"
#include "model/Settings.h"

namespace {

int Language() { return theSettings.Get(Slot::Language); }

}  // namespace

CMyListView::CMyListView(COrlatCenterDoc& doc, QWidget* parent)
    : QTableView(parent),
      m_doc(doc),
      m_askNumber(AskNumberByDialog),
      m_showMessage(ShowMessageBox),
      m_runMenu(RunPopupMenu)
{
    const std::vector<JobListColumn> columns = JobListColumnsFor(Language());
    m_model = new JobListModel(columns, this);
    setModel(m_model);
    for (size_t c = 0; c < columns.size(); ++c) setColumnWidth(static_cast<int>(c), columns[c].width);

    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    verticalHeader()->hide();
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    // The menu opens on the right release, as the list always did; Qt's
    // menu event on the press would reach the frame otherwise.
    setContextMenuPolicy(Qt::PreventContextMenu);

    QPalette pal = palette();
    pal.setColor(QPalette::Base, kJobListBackground);
    pal.setColor(QPalette::AlternateBase, kJobListBackground);
    pal.setColor(QPalette::Text, kJobListText);
    setPalette(pal);

    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) { OnColumnClick(column); });
    RefreshJobList();
}

CMyListView::~CMyListView() = default;

void CMyListView::RefreshJobList()
{
    m_model->Rebuild(m_doc.m_pages, Language());
}

std::vector<int> CMyListView::SelectedRows() const
{
    std::vector<int> rows;
    if (selectionModel() == nullptr) return rows;
    for (const QModelIndex& i : selectionModel()->selectedRows()) rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

// The rows show the list as it was at the last rebuild: each row's job is
// found again by identity, so a change not yet shown never redirects a
// command to another job.
std::vector<JobRef> CMyListView::SelectedJobs() const
{
    std::vector<JobRef> jobs;
    for (int row : SelectedRows()) jobs.push_back(m_model->JobAt(row));
    return jobs;
}

std::vector<int> CMyListView::PresentIndexes(const std::vector<JobRef>& jobs) const
{
    std::vector<int> indexes;
    for (const JobRef& j : jobs)
        if (const int i = j.Find(m_doc.m_pages); i >= 0) indexes.push_back(i);
    return indexes;
}

int CMyListView::FirstSelectedJob() const
{
    const std::vector<int> rows = SelectedRows();
    return rows.empty() ? -1 : m_model->JobAt(rows.front()).Find(m_doc.m_pages);
}

void CMyListView::OnColumnClick(int column)
{
    GuardEvent("CMyListView::OnColumnClick", [&] {
        const std::optional<int> mode = NextSortMode(m_sortMode, column);
        if (!mode) return;
        m_sortMode = *mode;
        horizontalHeader()->setSortIndicatorShown(true);
        horizontalHeader()->setSortIndicator(column, m_sortMode % 2 == 1 ? Qt::AscendingOrder : Qt::DescendingOrder);
        SortJobs(m_doc.m_pages, m_sortMode);
        RefreshJobList();
        emit jobClicked(0);
    });
}

void CMyListView::ShowSelectedJob()
{
    emit jobClicked(FirstSelectedJob());
    setFocus(Qt::OtherFocusReason);
}

void CMyListView::mouseReleaseEvent(QMouseEvent* e)
{
    GuardEvent("CMyListView::mouseReleaseEvent", [&] {
        QTableView::mouseReleaseEvent(e);
        if (e->button() == Qt::LeftButton) {
            emit jobClicked(FirstSelectedJob());
        } else if (e->button() == Qt::RightButton) {
            ShowJobMenu(e->globalPosition().toPoint());
        }
    });
}

void CMyListView::keyReleaseEvent(QKeyEvent* e)
{
    GuardEvent("CMyListView::keyReleaseEvent", [&] {
        if (!e->isAutoRepeat()) {
            if (e->key() == Qt::Key_Up || e->key() == Qt::Key_Down) {
                ShowSelectedJob();
            } else if (e->key() == Qt::Key_Delete) {
                OnDeleteSelected();
            }
        }
        QTableView::keyReleaseEvent(e);
    });
}

// The menu runs a nested event loop: the list may be rebuilt under it. The
// chosen command acts on the jobs that were selected when it opened, found
// again by identity; jobs gone meanwhile are left out.
void CMyListView::ShowJobMenu(const QPoint& globalPos)
{
    const std::vector<JobRef> jobs = SelectedJobs();
    QMenu menu(this);
    BuildJobMenu(menu);
    const int id = m_runMenu(menu, globalPos);
    if (id != 0) RunCommand(id, jobs);
}

void CMyListView::OnCommand(int id)
{
    GuardEvent("CMyListView::OnCommand", [&] { RunCommand(id, SelectedJobs()); });
}

void CMyListView::OnStateAuto() { OnCommand(JobCmd::StateAuto); }
void CMyListView::OnStateManual() { OnCommand(JobCmd::StateManual); }
void CMyListView::OnStateDone() { OnCommand(JobCmd::StateDone); }
void CMyListView::OnChangeCopies() { OnCommand(JobCmd::ChangeCopies); }
void CMyListView::OnChangeStartPos() { OnCommand(JobCmd::ChangeStartPos); }
void CMyListView::OnMoveToFront() { OnCommand(JobCmd::MoveToFront); }
void CMyListView::OnDeleteDone() { OnCommand(JobCmd::DeleteDone); }
void CMyListView::OnDeleteSelected() { OnCommand(JobCmd::DeleteSelected); }

void CMyListView::RunCommand(int id, const std::vector<JobRef>& jobs)
{
    switch (id) {
    case JobCmd::StateAuto: SetJobsState(jobs, JobState::Auto); break;
    case JobCmd::StateManual: SetJobsState(jobs, JobState::Manual); break;
    case JobCmd::StateDone: SetJobsState(jobs, JobState::Done); break;
    case JobCmd::ChangeCopies: ChangeCopies(jobs.empty() ? JobRef() : jobs.front()); break;
    case JobCmd::ChangeStartPos: ChangeStartPos(jobs.empty() ? JobRef() : jobs.front()); break;
    case JobCmd::MoveToFront: MoveToFront(jobs.empty() ? JobRef() : jobs.front()); break;
    case JobCmd::DeleteDone: emit deleteDoneRequested(); break;
    case JobCmd::DeleteSelected: DeleteJobs(jobs); break;
    default: break;
    }
}

void CMyListView::SetJobsState(const std::vector<JobRef>& jobs, int state)
{
    const std::vector<int> indexes = PresentIndexes(jobs);
    if (indexes.empty()) return;
    m_doc.UncheckAllPages();
    for (int i : indexes) m_doc.CheckPage(i);
    m_doc.SetCheckedPagesState(state);
    RefreshJobList();
    emit jobsChanged();
}

void CMyListView::DeleteJobs(const std::vector<JobRef>& jobs)
{
    const std::vector<int> indexes = PresentIndexes(jobs);
    if (indexes.empty()) return;
    m_doc.UncheckAllPages();
    for (int i : indexes) m_doc.CheckPage(i);
    m_doc.DeleteCheckedPages();
    emit jobClicked(0);
    RefreshJobList();
    emit jobsChanged();
}

void CMyListView::MoveToFront(const JobRef& job)
{
    const int index = job.Find(m_doc.m_pages);
    auto& pages = m_doc.m_pages;
    if (index <= 0) return;
    std::rotate(pages.begin(), pages.begin() + index, pages.begin() + index + 1);
    RefreshJobList();
    emit jobsChanged();
}

void CMyListView::ChangeCopies(const JobRef& job)
{
    const int before = job.Find(m_doc.m_pages);
    if (before < 0) return;
    const std::optional<double> value =
        m_askNumber(this, CopiesPrompt(), m_doc.m_pages[static_cast<size_t>(before)]->m_copies);
    if (!value) return;
    const int index = job.Find(m_doc.m_pages);
    if (index < 0) return;
    m_doc.m_pages[static_cast<size_t>(index)]->m_copies = CopiesFromInput(*value);
    RefreshJobList();
}

void CMyListView::ChangeStartPos(const JobRef& job)
{
    const int before = job.Find(m_doc.m_pages);
    if (before < 0) return;
    const int language = Language();
    const std::optional<double> value =
        m_askNumber(this, StartPosPrompt(language), m_doc.m_pages[static_cast<size_t>(before)]->m_startPos);
    if (!value) return;
    int index = job.Find(m_doc.m_pages);
    if (index < 0) return;
    const StartPosResult r = StartPosFromInput(*value, m_doc.m_pages[static_cast<size_t>(index)]->m_maxX);
    if (r.refused) {
        m_showMessage(this, StartPosRefusal(language));
        index = job.Find(m_doc.m_pages);
        if (index < 0) return;
    }
    m_doc.m_pages[static_cast<size_t>(index)]->m_startPos = r.startPos;
    RefreshJobList();
}
