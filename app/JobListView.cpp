#include "app/JobListView.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <algorithm>

#include "app/ContextMenus.h"
#include "app/JobInput.h"
#include "app/JobListCells.h"
#include "app/JobListModel.h"
#include "app/JobRef.h"
#include "app/JobSort.h"
#include "app/OrlatCenterDoc.h"
#include "app/ViewDialogs.h"
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

int CMyListView::FirstSelectedRow() const
{
    const std::vector<int> rows = SelectedRows();
    return rows.empty() ? -1 : rows.front();
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
    emit jobClicked(FirstSelectedRow());
    setFocus(Qt::OtherFocusReason);
}

void CMyListView::mouseReleaseEvent(QMouseEvent* e)
{
    GuardEvent("CMyListView::mouseReleaseEvent", [&] {
        QTableView::mouseReleaseEvent(e);
        if (e->button() == Qt::LeftButton) {
            emit jobClicked(FirstSelectedRow());
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
    std::vector<JobRef> refs;
    for (int row : SelectedRows()) refs.push_back(JobRef::At(m_doc.m_pages, row));
    QMenu menu(this);
    BuildJobMenu(menu);
    const int id = m_runMenu(menu, globalPos);
    if (id == 0) return;

    if (selectionModel() != nullptr) {
        selectionModel()->clearSelection();
        for (const JobRef& r : refs) {
            const int row = r.Find(m_doc.m_pages);
            if (row < 0 || row >= m_model->rowCount()) continue;
            selectionModel()->select(m_model->index(row, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    OnCommand(id);
}

void CMyListView::OnCommand(int id)
{
    GuardEvent("CMyListView::OnCommand", [&] {
        switch (id) {
        case JobCmd::StateAuto: OnStateAuto(); break;
        case JobCmd::StateManual: OnStateManual(); break;
        case JobCmd::StateDone: OnStateDone(); break;
        case JobCmd::ChangeCopies: OnChangeCopies(); break;
        case JobCmd::ChangeStartPos: OnChangeStartPos(); break;
        case JobCmd::MoveToFront: OnMoveToFront(); break;
        case JobCmd::DeleteDone: OnDeleteDone(); break;
        case JobCmd::DeleteSelected: OnDeleteSelected(); break;
        default: break;
        }
    });
}

void CMyListView::OnStateAuto() { SetSelectedState(JobState::Auto); }
void CMyListView::OnStateManual() { SetSelectedState(JobState::Manual); }
void CMyListView::OnStateDone() { SetSelectedState(JobState::Done); }

void CMyListView::SetSelectedState(int state)
{
    const std::vector<int> rows = SelectedRows();
    if (rows.empty()) return;
    m_doc.UncheckAllPages();
    for (int r : rows) m_doc.CheckPage(r);
    m_doc.SetCheckedPagesState(state);
    RefreshJobList();
    emit jobsChanged();
}

void CMyListView::OnDeleteSelected()
{
    const std::vector<int> rows = SelectedRows();
    if (rows.empty()) return;
    m_doc.UncheckAllPages();
    for (int r : rows) m_doc.CheckPage(r);
    m_doc.DeleteCheckedPages();
    emit jobClicked(0);
    RefreshJobList();
    emit jobsChanged();
}

void CMyListView::OnMoveToFront()
{
    const int row = FirstSelectedRow();
    auto& pages = m_doc.m_pages;
    if (row <= 0 || static_cast<size_t>(row) >= pages.size()) return;
    std::rotate(pages.begin(), pages.begin() + row, pages.begin() + row + 1);
    RefreshJobList();
    emit jobsChanged();
}

void CMyListView::OnDeleteDone() { emit deleteDoneRequested(); }

void CMyListView::OnChangeCopies()
{
    const JobRef job = JobRef::At(m_doc.m_pages, FirstSelectedRow());
    if (job.Empty()) return;
    const int before = job.Find(m_doc.m_pages);
    const std::optional<double> value =
        m_askNumber(this, CopiesPrompt(), m_doc.m_pages[static_cast<size_t>(before)]->m_copies);
    if (!value) return;
    const int index = job.Find(m_doc.m_pages);
    if (index < 0) return;
    m_doc.m_pages[static_cast<size_t>(index)]->m_copies = CopiesFromInput(*value);
    RefreshJobList();
}

void CMyListView::OnChangeStartPos()
{
    const JobRef job = JobRef::At(m_doc.m_pages, FirstSelectedRow());
    if (job.Empty()) return;
    const int language = Language();
    const COnePage& before = *m_doc.m_pages[static_cast<size_t>(job.Find(m_doc.m_pages))];
    const std::optional<double> value = m_askNumber(this, StartPosPrompt(language), before.m_startPos);
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
