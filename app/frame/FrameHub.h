#pragma once
// The sending thread's reports reach the job run (the frame's observer of
// jobs) through this one object on the UI thread. Each call waits until its
// handler has run there (as the thread always has); once Quitting is set it
// returns at once and does nothing, so a job still sending while the program
// closes never waits on a window that is going away. It lives to the end of
// the process: a thread let go at its last report may still be returning
// through it.
#include <QObject>

#include "link/job/JobObserver.h"

class CFrameHub : public QObject, public CJobObserver {
    Q_OBJECT
public:
    // The one hub, made on first use (the UI thread, before any job).
    static CFrameHub& Instance();

    // Set by the job run when it exists, cleared when it goes (UI thread).
    // The observer's calls run on the UI thread.
    void SetObserver(CJobObserver* observer) { m_observer = observer; }
    void ForgetObserver(const CJobObserver* observer)
    {
        if (m_observer == observer) m_observer = nullptr;
    }

    void BandSent(int32_t band, int result, int32_t bytes) override;
    // Only a pass that failed crosses over: the others would cost the
    // sending thread a wait each for nothing.
    void CutPassSent(int32_t pass, int32_t records, int result) override;
    void LastStepSent() override;
    void Message(const char* key, const std::u16string& text) override;
    void JobFinished(int result) override;

private:
    CFrameHub() = default;
    template <class F>
    void RunOnUi(F f);

    // Read and written on the UI thread only (the calls run there).
    CJobObserver* m_observer = nullptr;
};
