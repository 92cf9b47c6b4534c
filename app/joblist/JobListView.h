#pragma once
// The job list: the upper pane of the main window, one row per job of the
// document in list order.
//
// For the frame:
// - construct with the document; call RefreshJobList after every change to
//   the job list (a model reset: no row stays selected);
// - connect jobClicked to the preview's SetCurrentPage (index -1: none);
// - connect jobsChanged to the preview's RedrawBuffered (states, deletions);
// - connect deleteDoneRequested to the frame's OnDeleteDoneJobs (command
//   3011); the frame refreshes the list afterwards;
// - commands 3010-3025 may also be called directly (OnCommand).
// Columns and their language are fixed at construction (a language change
// shows after the restart); cell texts follow the Language slot at refresh.
// The number dialog, message boxes and the popup menu are injectable so tests
// can drive them; the defaults are the program's own dialogs.
#include <QTableView>
#include <functional>
#include <optional>
#include <vector>

class COrlatCenterDoc;
class JobListModel;
class JobRef;
class QMenu;

class CMyListView : public QTableView {
    Q_OBJECT
public:
    // Shows the number dialog; nullopt on Cancel.
    using AskNumber = std::function<std::optional<double>(QWidget* parent, const QString& prompt, double value)>;
    // Shows a message with an OK button.
    using ShowMessage = std::function<void(QWidget* parent, const QString& text)>;
    // Runs a popup menu at a global position; returns the chosen command id or 0.
    using RunMenu = std::function<int(QMenu& menu, const QPoint& globalPos)>;

    explicit CMyListView(COrlatCenterDoc& doc, QWidget* parent = nullptr);
    ~CMyListView() override;

    void SetAskNumber(AskNumber f) { m_askNumber = std::move(f); }
    void SetShowMessage(ShowMessage f) { m_showMessage = std::move(f); }
    void SetRunMenu(RunMenu f) { m_runMenu = std::move(f); }

    // Rebuilds every row from the document.
    void RefreshJobList();
    // 0 none, 1 name ascending, 2 name descending, 3 time ascending, 4 time descending.
    int SortMode() const { return m_sortMode; }
    // Selected rows in ascending order.
    std::vector<int> SelectedRows() const;
    // The list index of the first selected row's job; -1 for none or gone.
    int FirstSelectedJob() const;

    // Menu 150's commands: 3010, 3011, 3020, 3021-3023, 3024, 3025.
    void OnCommand(int id);
    void OnStateAuto();
    void OnStateManual();
    void OnStateDone();
    void OnChangeCopies();
    void OnChangeStartPos();
    void OnMoveToFront();
    void OnDeleteDone();
    void OnDeleteSelected();

signals:
    // A job is to be shown in the preview (index in the job list, -1 none).
    void jobClicked(int index);
    // Job states or the list changed: the preview redraws.
    void jobsChanged();
    // Command 3011: the frame deletes the Done jobs, as its periodic deletion.
    void deleteDoneRequested();

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;

private:
    void OnColumnClick(int column);
    void ShowSelectedJob();
    void ShowJobMenu(const QPoint& globalPos);
    std::vector<JobRef> SelectedJobs() const;
    std::vector<int> PresentIndexes(const std::vector<JobRef>& jobs) const;
    void RunCommand(int id, const std::vector<JobRef>& jobs);
    void SetJobsState(const std::vector<JobRef>& jobs, int state);
    void DeleteJobs(const std::vector<JobRef>& jobs);
    void MoveToFront(const JobRef& job);
    void ChangeCopies(const JobRef& job);
    void ChangeStartPos(const JobRef& job);

    COrlatCenterDoc& m_doc;
    JobListModel* m_model = nullptr;
    int m_sortMode = 0;
    AskNumber m_askNumber;
    ShowMessage m_showMessage;
    RunMenu m_runMenu;
};
