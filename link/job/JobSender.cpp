#include "link/job/JobSender.h"

#include <mutex>
#include <new>

#include "link/output/BandCounters.h"
#include "link/job/BandPipeline.h"
#include "link/job/BandSend.h"
#include "link/CommPoll.h"
#include "link/JobCommands.h"
#include "link/job/JobMessages.h"
#include "link/job/JobObserver.h"
#include "link/KeyQueue.h"
#include "link/job/KnifePass.h"
#include "link/output/KnifeRecord.h"
#include "link/LinkClock.h"
#include "link/LinkCommand.h"
#include "link/LinkPort.h"
#include "link/LinkState.h"
#include "link/MyCommu.h"
#include "model/Page.h"

CJobSender::CJobSender(const JobPlan& plan, const COnePage& page, CJobObserver& observer, const JobLink& link)
    : m_plan(plan),
      m_page(page),
      m_observer(observer),
      m_commu(link.commu != nullptr ? *link.commu : theCommu),
      m_queue(link.queue != nullptr ? *link.queue : KeyQueue),
      m_clock(link.clock != nullptr ? *link.clock : RealLinkClock()),
      m_timings(link.timings),
      m_waitDurable(link.waitDurable),
      m_cancel(link.cancel)
{
}

CJobSender::~CJobSender() = default;

void CJobSender::Report(const char* key)
{
    m_observer.Message(key, JobMessageText(key, m_plan.language));
}

void CJobSender::ReleaseLink()
{
    EndJobLink();
    // With the job over, ending an exchange closes a connection kept for it.
    CLinkPort& port = m_commu.Port();
    std::lock_guard<std::mutex> lock(port.Lock());
    port.End(false);
}

int CJobSender::Run()
{
    const int result = RunSteps();
    ReleaseLink();
    m_observer.JobFinished(result);
    return result;
}

int CJobSender::RunSteps()
{
    if (m_plan.refusal != nullptr) {
        Report(m_plan.refusal);
        return 2;
    }
    if (!m_engine.Setup(m_page, m_plan.snap, m_plan.bandColumns)) {
        Report("WidthExceeded");
        return 2;
    }
    // The list holds the job as started before the machine hears of it, so
    // a kill from here on never sends it again by itself.
    if (!Cancelled() && m_waitDurable && !m_waitDurable()) {
        if (!Cancelled()) Report("ListNotKept");
        return 2;
    }
    if (Cancelled()) return 2;
    if (SendJobStart(m_commu, JobLengthPulses(m_page.m_maxX, m_plan.snap.params), m_plan.bandColumns) != 0) {
        Report("SendCommandFailed");
        return 2;
    }
    const int r = SendBands();
    if (r == 0) {
        // The copy is made: counted in the list, and the list on disk,
        // before the end command, so it is never asked for again.
        m_observer.LastStepSent();
        if (m_waitDurable) m_waitDurable();
    }
    // The machine's answer to the end command changes nothing here.
    m_commu.SendShortCommand(r == 0 ? LinkCommand::JobFinished : LinkCommand::JobAbort);
    return r == 0 ? 1 : 2;
}

int CJobSender::SendBands()
{
    const int32_t v = m_plan.snap.params.bandsPerCutSegment;  // non-zero: checked at the job start
    const int32_t bands = m_plan.bandCount;
    const int32_t passes = (bands + v - 1) / v;
    int32_t j = 0, i = 0;
    int failures = 0;            // consecutive failed sends of band j
    int64_t failingSince = -1;   // link clock at the first of them
    try {
        m_pipeline = std::make_unique<CBandPipeline>(m_engine, m_plan.inkBandCount);
    } catch (const std::bad_alloc&) {
        m_pipeline.reset();  // no room for two buffers: one band at a time
    }
    // The worker ends with the band loop, whichever way it ends.
    struct PipelineEnd {
        std::unique_ptr<CBandPipeline>& p;
        ~PipelineEnd() { p.reset(); }
    } pipelineEnd{m_pipeline};
    int e = WaitMachineReady();
    BandsStepped = 0;
    for (;;) {
        if (e != 0) return e;
        if (j > bands && i >= passes) return 0;
        if (j / v <= i) {
            const int s = SendInkBand(j);
            m_observer.BandSent(j, s, j < m_plan.inkBandCount ? m_bandBytes : 0);
            if (s == 0) {
                ++j;
                failures = 0;
                failingSince = -1;
            } else {
                const int64_t now = m_clock.NowMs();
                if (failingSince < 0) failingSince = now;
                if (++failures >= m_timings.maxBandFailures && now - failingSince >= m_timings.bandFailingMs)
                    return 1;
            }
        } else {
            const int s = SendCutPass(i);
            m_observer.CutPassSent(i, s == 0 ? static_cast<int32_t>(m_knifePath.size()) : 0, s);
            if (s != 0) return 1;
            ++i;
        }
        e = WaitMachineReady();
        BandsStepped = j;
    }
}

bool CJobSender::DrainQueueForCancel()
{
    bool cancel = false;
    for (int code = m_queue.Pop(); code >= 0; code = m_queue.Pop())
        if (code == LinkCommand::JobAbort) cancel = true;
    return cancel;
}

int CJobSender::WaitMachineReady()
{
    int64_t failingSince = -1;
    for (;;) {
        if (m_commu.SendShortCommand(LinkCommand::StatusPoll) != 0) {
            // The link is down: a cancel ends the job now, anything else
            // queued is dropped; polls go on, spaced, for a bounded time.
            if (DrainQueueForCancel() || Cancelled()) return 1;
            const int64_t now = m_clock.NowMs();
            if (failingSince < 0) failingSince = now;
            if (now - failingSince >= m_timings.linkLostMs) return 1;
            m_clock.SleepMs(m_timings.pollRetryMs);
            continue;
        }
        failingSince = -1;
        const uint8_t state = MachineStatus.load() & 0x0F;
        if (state != MachineState::Plotting && state != MachineState::Paused) {
            m_queue.Clear();
            return 1;
        }
        if (Cancelled()) {
            // As the operator would: a paused machine takes the delete, a
            // plotting one ignores it; the abort follows whatever it answers.
            m_queue.Clear();
            m_commu.SendShortCommand(LinkCommand::Pause);
            m_commu.SendShortCommand(LinkCommand::JobAbort);
            return 1;
        }
        m_clock.SleepMs(m_timings.readyPauseMs);
        const int code = m_queue.Pop();
        if (code >= 0) ServeQueuedCode(m_commu, m_clock, static_cast<uint8_t>(code));
        // The last status received, so a pause just served holds the job here.
        if (MachineStatus.load() == MachineState::Plotting) return 0;
    }
}

int CJobSender::SendInkBand(int32_t band)
{
    m_bandBytes = 0;
    if (band >= m_plan.inkBandCount) return 0;
    if (m_pipeline == nullptr) {
        BandBuffers& buf = TheBandBuffers();
        const int r = ::SendInkBand(band, m_plan.inkBandCount, m_engine, m_commu, buf);
        m_bandBytes = buf.packedBytes;
        return r;
    }
    const BandBuffers& buf = m_pipeline->Take(band);
    m_bandBytes = buf.packedBytes;
    return SendPreparedBand(band, buf, BandBidirFlag(band, m_engine.Snapshot().biDirPlot) != 0, m_commu);
}

int CJobSender::SendCutPass(int32_t pass)
{
    // A pass too long for the record buffer is refused: the job is aborted,
    // and the operator is told which limit it hit.
    const int r = ::SendCutPass(pass, m_plan.bandCount, m_page, m_plan.snap, m_commu, m_clock, m_knifePath,
                                TheKnifeBuffers());
    if (r != 2) return r;
    Report("KnifePassRefused");
    return -1;
}
