#include "link/job/JobStart.h"

#include <new>

#include "link/job/JobPlan.h"
#include "link/output/BandCounters.h"
#include "link/LinkState.h"
#include "model/Page.h"

std::unique_ptr<CSendJobThread> g_pSendJobThread;

CSendJobThread::CSendJobThread(std::unique_ptr<CJobSender> sender)
{
    m_thread = std::thread([done = m_done, s = std::move(sender)] {
        SendJobThread(*s);
        done->store(true);
    });
}

CSendJobThread::~CSendJobThread()
{
    if (!m_thread.joinable()) return;
    if (m_done->load()) m_thread.join();
    else m_thread.detach();
}

void CSendJobThread::Join()
{
    if (m_thread.joinable()) m_thread.join();
}

int SendJobThread(CJobSender& sender)
{
    sender.Run();
    return 0;
}

int StartPlot(const COnePage& job, CJobObserver& observer, const JobLink& link)
{
    if (g_jobActive.load()) return -1;
    g_pSendJobThread.reset();
    JobPlan plan;
    try {
        plan = PrepareWorkPage(job, WorkPage, TakeJobSnapshot(), TakeJobPrepSettings());
    } catch (const std::bad_alloc&) {
        // Refused like a job that does not fit: the sending thread reports it.
        WorkPage.DeleteAllCurves();
        plan.snap = TakeJobSnapshot();
        plan.language = TakeJobPrepSettings().language;
        plan.refusal = "OutOfMemory";
        BandCount = 0;
        InkBandCount = 0;
    }
    auto sender = std::make_unique<CJobSender>(plan, WorkPage, observer, link);
    // The link thread finishes its pass and stands still before the job's first exchange.
    BeginJobLink();
    g_pSendJobThread = std::make_unique<CSendJobThread>(std::move(sender));
    return 0;
}
