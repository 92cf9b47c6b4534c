#include "app/frame/FrameHub.h"

#include <QThread>
#include <string>

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
            if (m_observer != nullptr && theSettings.Get(Slot::Quitting) == 0) f(*m_observer);
        });
    };
    if (QThread::currentThread() == thread()) run();
    else QMetaObject::invokeMethod(this, run, Qt::BlockingQueuedConnection);
}

void CFrameHub::BandSent(int32_t band, int result, int32_t bytes)
{
    RunOnUi([=](CJobObserver& o) { o.BandSent(band, result, bytes); });
}

void CFrameHub::CutPassSent(int32_t pass, int32_t records, int result)
{
    if (result != 0) RunOnUi([=](CJobObserver& o) { o.CutPassSent(pass, records, result); });
}

void CFrameHub::LastStepSent()
{
    RunOnUi([](CJobObserver& o) { o.LastStepSent(); });
}

void CFrameHub::Message(const char* key, const std::u16string& text)
{
    // The key is kept as text: the report may outlive the sender's plan.
    RunOnUi([k = std::string(key != nullptr ? key : ""), text](CJobObserver& o) { o.Message(k.c_str(), text); });
}

void CFrameHub::JobFinished(int result)
{
    RunOnUi([result](CJobObserver& o) { o.JobFinished(result); });
}
