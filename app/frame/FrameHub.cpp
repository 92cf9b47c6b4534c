#include "app/frame/FrameHub.h"

#include <QThread>

#include "app/frame/MainFrame.h"
#include "model/Settings.h"
#include "widgets/EventGuard.h"

CFrameHub& CFrameHub::Instance()
{
    static CFrameHub* hub = [] {
        static CFrameHub h;
        return &h;
    }();
    return *hub;
}

template <class F>
void CFrameHub::RunOnUi(F f)
{
    if (theSettings.Get(Slot::Quitting) != 0) return;
    auto run = [this, f] {
        // No exception leaves the handler into Qt's event loop.
        GuardEvent("job report", [this, &f] {
            if (m_frame != nullptr && theSettings.Get(Slot::Quitting) == 0) f(*m_frame);
        });
    };
    if (QThread::currentThread() == thread()) run();
    else QMetaObject::invokeMethod(this, run, Qt::BlockingQueuedConnection);
}

void CFrameHub::BandSent(int32_t, int, int32_t)
{
    RunOnUi([](CMainFrame& f) { f.OnBandSent(); });
}

void CFrameHub::Message(const char*, const std::u16string& text)
{
    RunOnUi([text](CMainFrame& f) { f.ShowJobMessage(QString::fromStdU16String(text)); });
}

void CFrameHub::JobFinished(int result)
{
    RunOnUi([result](CMainFrame& f) { f.OnJobFinished(result); });
}
