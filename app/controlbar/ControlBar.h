#pragma once
// The control bar in the main window's right dock: the machine's state and
// progress, the one-head warning, automatic offline, and manual control
// (start, pause, delete the task, cleaning, knife and fan switches, jogging
// while a button is held). It never talks to the machine: every action is a
// code in KeyQueue, sent by the thread that owns the link.
#include <functional>
#include <map>
#include <vector>

#include <QWidget>

#include "app/controlbar/BarControls.h"
#include "app/controlbar/BarField.h"
#include "app/controlbar/BarState.h"
#include "app/controlbar/JogHold.h"

class CButtonNolt;
class COnePage;
class QCheckBox;
class QTimer;

class CMyDlgBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTimerMs = 500;

    explicit CMyDlgBar(QWidget* parent = nullptr);
    ~CMyDlgBar() override;

    // The frame's hook after a band was sent or a job finished, also run by
    // the bar's timer: the state texts, then the enabling.
    void Refresh();
    // The state text (463) and, while Plotting, the warning (464) with its mark.
    void UpdateMachineState();
    // The enable rules on the buttons.
    void UpdateControls();

    // Where the start button finds the jobs and whether a job runs. The
    // program's: the document's job list and g_pSendJobThread.
    using JobList = std::function<std::vector<COnePage*>()>;
    using JobRunning = std::function<bool()>;
    void SetJobSource(JobList jobs, JobRunning running);

    CButtonNolt* Button(int controlId) const;
    QCheckBox* AutoOfflineBox() const { return m_autoOffline; }
    CBarField* StateField() const { return m_stateText; }
    CBarField* WarningField() const { return m_warning; }
    bool WarningMarked() const { return m_yellow; }
    QTimer* Timer() const { return m_timer; }

signals:
    // A job's state was changed by the start button: the list shows it now.
    void jobListChanged();

protected:
    void changeEvent(QEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    CButtonNolt* MakeButton(int controlId, QWidget* parent);
    void OnHoldButton(int controlId, int pressed);
    void OnAutoOffline(bool checked);
    // The buttons' handlers; each acts only in its machine state, read at the click.
    void OnKnifeUpDown(bool checked) { OnToggle(BarControl::Knife, checked); }
    void OnFanOnOff(bool checked) { OnToggle(BarControl::Fan, checked); }
    void OnCleanNozzles() { OnCommandButton(BarControl::Clean); }
    void OnDeleteTask() { OnCommandButton(BarControl::Delete); }
    void OnPause() { OnCommandButton(BarControl::Pause); }
    void OnStartWork();
    void OnToggle(int controlId, bool checked);
    void OnCommandButton(int controlId);
    // The enable rules, one group of buttons each.
    void OnUpdateJogButtons(const BarEnables& e);
    void OnUpdateReadyButtons(const BarEnables& e);
    void OnUpdateDeleteTask(const BarEnables& e);
    void OnUpdatePause(const BarEnables& e);
    void OnUpdateStartWork(const BarEnables& e);
    void SetWarningMark(bool yellow);

    CJogHold m_hold;
    std::map<int, CButtonNolt*> m_buttons;
    QCheckBox* m_autoOffline = nullptr;
    CBarField* m_stateText = nullptr;
    CBarField* m_warning = nullptr;
    QTimer* m_timer = nullptr;
    bool m_yellow = false;
    JobList m_jobs;
    JobRunning m_jobRunning;
};
