// Guards a job sent wrong: bands and cut passes out of their order or values,
// pause, resume and cancel not honoured, refusals that let something out first.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <thread>

#include "link/output/BandCounters.h"
#include "link/output/BandStrokes.h"
#include "link/job/JobMessages.h"
#include "link/job/JobPlan.h"
#include "link/LinkCommand.h"
#include "link/LinkFrame.h"
#include "link/ParamsLink.h"
#include "model/Text.h"
#include "tests/link/job/JobFixture.h"
#include "tools/machine-sim/JobRecord.h"

namespace {

// "B0-2 C0" -> B0 B1 B2 C0.
std::vector<std::string> Expand(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string item;
    while (in >> item) {
        const char kind = item[0];
        const auto dash = item.find('-');
        const int a = std::stoi(item.substr(1, dash - 1));
        const int b = dash == std::string::npos ? a : std::stoi(item.substr(dash + 1));
        for (int k = a; k <= b; ++k) out.push_back(kind + std::to_string(k));
    }
    return out;
}

std::vector<int32_t> BandHeaders(const SimJob& job)
{
    std::vector<int32_t> out;
    for (const auto& h : job.bands) out.push_back(h.band);
    return out;
}

// A marker-like page: printed outlines, a diagonal, a dashed line, a polygon
// circle, and a cut rectangle; about 500 mm along the feed, 300 mm across.
void FillTestPage(COnePage& page)
{
    AddCurve(page, {{400, 400}, {19000, 400}, {19000, 11600}, {400, 11600}, {400, 400}}, CurveKind::Plot);
    AddCurve(page, {{800, 800}, {18000, 11000}}, CurveKind::Plot);
    AddCurve(page, {{2000, 6000}, {17000, 6500}}, CurveKind::Plot, 1);
    std::vector<PlotPoint> circle;
    for (int k = 0; k <= 72; ++k) {
        const double a = k * 6.28318530718 / 72;
        circle.push_back({10000 + static_cast<int32_t>(3000 * std::cos(a)), 6000 + static_cast<int32_t>(3000 * std::sin(a))});
    }
    AddCurve(page, circle, CurveKind::Plot);
    AddCurve(page, {{1200, 1200}, {18200, 1200}, {18200, 10800}, {1200, 10800}, {1200, 1200}}, CurveKind::Cut);
    page.CalcPageBounds();
}

using JobSend = JobOnSim;

struct InterleaveCase {
    int v;
    int32_t bands;
    int32_t inkBands;
    const char* steps;
    int32_t headers;  // band headers sent: 0 .. headers - 1
};

TEST_F(JobSend, BandsAndCutPassesInterleaveBySegment)
{
    const InterleaveCase cases[] = {
        {8, 20, 20, "B0-7 C0 B8-15 C1 B16-23 C2", 20},
        {8, 16, 16, "B0-7 C0 B8-15 C1 B16", 16},
        {1, 3, 3, "B0 C0 B1 C1 B2 C2 B3", 3},
        {3, 5, 2, "B0-2 C0 B3-5 C1", 2},
    };
    for (const InterleaveCase& c : cases) {
        SCOPED_TRACE(c.steps);
        sim.WithMachine([](CSimMachine& m) { m.job = SimJob{}; return 0; });
        JobPlan plan;
        plan.snap = TakeJobSnapshot();
        plan.snap.params.bandsPerCutSegment = static_cast<uint8_t>(c.v);
        plan.bandCount = c.bands;
        plan.inkBandCount = c.inkBands;
        plan.bandColumns = 240;
        COnePage empty;
        RecordingObserver obs;
        BeginJobLink();
        CJobSender sender(plan, empty, obs, Link());
        EXPECT_EQ(sender.Run(), 1);
        EXPECT_EQ(obs.steps, Expand(c.steps));
        std::vector<int32_t> want;
        for (int32_t j = 0; j < c.headers; ++j) want.push_back(j);
        const SimJob job = Job();
        EXPECT_EQ(BandHeaders(job), want);
        EXPECT_TRUE(job.finished);
        EXPECT_FALSE(g_jobActive.load());
        EXPECT_FALSE(eth.Connected()) << "the job's connection is closed at its end";
    }
}

TEST_F(JobSend, RecordedPrintMatchesThePageDrawnDirectly)
{
    COnePage job;
    FillTestPage(job);
    RecordingObserver obs;
    ASSERT_EQ(RunJob(job, obs), 1);

    // The same preparation and drawing, straight into one tall image.
    COnePage page;
    const JobSnapshot snap = TakeJobSnapshot();
    const JobPlan plan = PrepareWorkPage(job, page, snap, TakeJobPrepSettings());
    ASSERT_EQ(plan.refusal, nullptr);
    const SimJob rec = Job();
    ASSERT_TRUE(rec.finished);
    EXPECT_EQ(rec.bandColumns, plan.bandColumns);
    EXPECT_EQ(rec.lengthPulses, JobLengthPulses(page.m_maxX, snap.params));
    const DecodedJob d = DecodeJob(rec, SimParams());
    EXPECT_EQ(d.decodeErrors, 0);
    EXPECT_EQ(d.bands, plan.inkBandCount);
    ASSERT_EQ(d.width, plan.bandColumns);
    ASSERT_EQ(d.height, plan.inkBandCount * BandRowsOf(snap.params));

    BandStrokes strokes;
    strokes.Build(page, snap);
    const int32_t stride = (d.height + 7) / 8;
    std::vector<uint8_t> bits(static_cast<size_t>(stride) * d.width, 0);
    const BitWindow w{bits.data(), 0, d.height, stride, d.width};
    strokes.DrawAll(w);
    int64_t ink = 0, differ = 0;
    for (int32_t row = 0; row < d.height; ++row)
        for (int32_t col = 0; col < d.width; ++col) {
            ink += w.Get(row, col);
            differ += w.Get(row, col) != d.Ink(row, col);
        }
    EXPECT_GT(ink, 10000);
    EXPECT_EQ(differ, 0);

    // The knife followed the cut rectangle: every point on one of its edges.
    const MachineParams& p = snap.params;
    auto px = [&](double x) { return (x / 40.0 + p.inkCutOverlapX * 0.1) * p.pulsesPerMmX; };
    auto py = [&](double y) { return (y / 40.0 + (p.inkAccelMm - 32.5) + p.inkCutOverlapY * 0.1) * p.pulsesPerMmY; };
    CCurve& cut = *page.m_curves.back();
    cut.CalcBoundRect();
    const double x0 = px(cut.m_minX), y0 = py(cut.m_minY);
    const double x1 = px(cut.m_maxX), y1 = py(cut.m_maxY);
    int32_t points = 0;
    double minX = 1e18, maxX = -1e18, minY = 1e18, maxY = -1e18;
    for (const auto& pass : d.passes)
        for (const DecodedKnifeRecord& r : pass) {
            ++points;
            const bool onEdge = std::fabs(r.x - x0) < 2 || std::fabs(r.x - x1) < 2 || std::fabs(r.y - y0) < 2 ||
                                std::fabs(r.y - y1) < 2;
            EXPECT_TRUE(onEdge) << r.x << "," << r.y;
            minX = std::min<double>(minX, r.x), maxX = std::max<double>(maxX, r.x);
            minY = std::min<double>(minY, r.y), maxY = std::max<double>(maxY, r.y);
            EXPECT_TRUE(r.command == 'M' || r.command == 'C');
        }
    EXPECT_EQ(points, d.knifeRecords);
    EXPECT_EQ(obs.knifeRecords, d.knifeRecords);
    EXPECT_GE(d.passes.size(), 2u);
    EXPECT_NEAR(minX, x0, 2);
    EXPECT_NEAR(maxX, x1, 2);
    EXPECT_NEAR(minY, y0, 2);
    EXPECT_NEAR(maxY, y1, 2);
}

std::vector<int32_t> KnifeXY(const DecodedJob& d)
{
    std::vector<int32_t> out;
    for (const auto& pass : d.passes)
        for (const DecodedKnifeRecord& r : pass) {
            out.push_back(r.x);
            out.push_back(r.y);
        }
    return out;
}

TEST_F(JobSend, ThePlanKeepsTheCountsItMade)
{
    // The columns come from this preparation's own count, not from whatever
    // the shared counter holds (another job's, or a view's write).
    const JobSnapshot snap = TakeJobSnapshot();
    COnePage job, work;
    FillTestPage(job);
    BandColumns = 999999;
    const JobPlan plan = PrepareWorkPage(job, work, snap, TakeJobPrepSettings());
    const BandCountResult ink = CountBandsOf(work.m_inkMaxX, work.m_inkMaxY, snap);
    EXPECT_EQ(plan.bandColumns, ink.columns);
    EXPECT_EQ(BandColumns.load(), ink.columns);
    EXPECT_EQ(plan.inkBandCount, ink.bands);

    // A page of nothing counts nothing: its plan does not take the last job's columns.
    COnePage point, pointWork;
    point.m_curves.push_back(std::make_unique<CCurve>());
    point.m_curves.back()->m_points = {{0, 0}, {0, 0}};
    BandColumns = 4321;
    const JobPlan empty = PrepareWorkPage(point, pointWork, snap, TakeJobPrepSettings());
    EXPECT_EQ(empty.bandColumns, 0);
    EXPECT_EQ(empty.bandCount, 0);
    EXPECT_EQ(BandColumns.load(), 4321);
}

TEST_F(JobSend, JobUsesTheValuesOfItsStart)
{
    COnePage job;
    FillTestPage(job);
    RecordingObserver plain;
    ASSERT_EQ(RunJob(job, plain), 1);
    const DecodedJob want = DecodeJob(Job(), SimParams());
    const int32_t lengthPulses = Job().lengthPulses;

    RecordingObserver obs;
    const MachineParams before = SnapshotMachineParams();
    obs.onBand = [](int32_t band) {
        if (band != 0) return;
        // A dialog edits the block and the line width while the job runs.
        MachineParams p = SnapshotMachineParams();
        p.pulsesPerMmX = 90;
        p.pulsesPerMmY = 80;
        p.headOverlapRows = 10;
        p.inkCutOverlapY = 90;
        StoreMachineParams(p);
        theSettings.Set(Slot::LineWidth, 5);
    };
    ASSERT_EQ(RunJob(job, obs), 1);
    StoreMachineParams(before);
    theSettings.Set(Slot::LineWidth, 2);

    const DecodedJob got = DecodeJob(Job(), SimParams());
    EXPECT_EQ(Job().lengthPulses, lengthPulses);
    EXPECT_EQ(got.decodeErrors, 0);
    EXPECT_EQ(got.width, want.width);
    EXPECT_TRUE(got.bits == want.bits) << "the print changed with the edit";
    EXPECT_EQ(KnifeXY(got), KnifeXY(want)) << "the knife path changed with the edit";
}

// Ink from the start, and 600 mm on, within one cut pass, a cut line of more
// points than the 50,000 knife records hold.
void FillJobWithALongCutPass(COnePage& job)
{
    AddCurve(job, {{0, 400}, {30000, 400}}, CurveKind::Plot);
    std::vector<PlotPoint> zigzag;
    for (int32_t k = 0; k < 50100; ++k) zigzag.push_back({24000 + k / 40, (k % 2) * 2000 + 1000});
    AddCurve(job, std::move(zigzag), CurveKind::Cut);
    job.CalcPageBounds();
}

// Known before the start: refused with the limit named, and the machine is
// told nothing, not even the job start (command 16), so no ink is printed
// for a job that cannot be cut.
TEST_F(JobSend, AKnifePassTooLongForTheBufferRefusesTheJobBeforeAnythingIsSent)
{
    COnePage job;
    FillJobWithALongCutPass(job);
    RecordingObserver obs;
    EXPECT_EQ(RunJob(job, obs), 2);
    EXPECT_EQ(obs.messages, std::vector<std::string>{"KnifePassTooLong"});
    EXPECT_TRUE(obs.steps.empty());
    EXPECT_TRUE(sim.Received().empty());
    EXPECT_FALSE(Job().started);
    EXPECT_FALSE(g_jobActive.load());
    for (int language : {0, 1}) {
        const std::string text = ToUtf8(JobMessageText("KnifePassTooLong", language));
        EXPECT_NE(text.find(language == 0 ? "50000" : "50,000"), std::string::npos) << text;
    }
}

// Found only at its turn (a plan made without the check): the job stops at
// that pass, after the ink before it, and says which limit it hit.
TEST_F(JobSend, AKnifePassFoundTooLongAtItsTurnStopsTheJobAndNamesTheLimit)
{
    COnePage job;
    FillJobWithALongCutPass(job);
    JobPlan plan = PrepareWorkPage(job, WorkPage, TakeJobSnapshot(), TakeJobPrepSettings());
    ASSERT_NE(plan.refusal, nullptr);
    EXPECT_STREQ(plan.refusal, "KnifePassTooLong");
    plan.refusal = nullptr;
    RecordingObserver obs;
    BeginJobLink();
    CJobSender sender(plan, WorkPage, obs, Link());
    EXPECT_EQ(sender.Run(), 2);
    EXPECT_EQ(obs.messages, std::vector<std::string>{"KnifePassRefused"});
    const SimJob rec = Job();
    EXPECT_TRUE(rec.aborted);
    EXPECT_FALSE(rec.bands.empty());
    EXPECT_TRUE(rec.knifePasses.empty());
    EXPECT_EQ(Codes().back(), LinkCommand::JobAbort);
    EXPECT_NE(ToUtf8(JobMessageText("KnifePassRefused", 1)).find("50,000"), std::string::npos);
}

TEST_F(JobSend, PauseHoldsTheJobAndResumeLetsItGoOn)
{
    COnePage job;
    FillTestPage(job);
    RecordingObserver obs;
    obs.onBand = [this](int32_t band) {
        if (band == 1) queue.Push(LinkCommand::Pause);
    };
    ASSERT_EQ(StartPlot(job, obs, Link()), 0);
    EXPECT_TRUE(WaitSimState(MachineState::Paused));
    const size_t held = Job().bands.size();
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(Job().bands.size(), held) << "no band goes out while paused";
    EXPECT_LE(held, 3u);
    EXPECT_EQ(obs.WaitResult(0), -1);
    queue.Push(LinkCommand::Resume);
    EXPECT_EQ(obs.WaitResult(8000), 1);
    EXPECT_TRUE(Job().finished);
    EXPECT_EQ(static_cast<int32_t>(Job().bands.size()), InkBandCount.load());
}

TEST_F(JobSend, CancelWhilePausedAbortsTheJob)
{
    COnePage job;
    FillTestPage(job);
    RecordingObserver obs;
    obs.onBand = [this](int32_t band) {
        if (band == 0) queue.Push(LinkCommand::Pause);
    };
    ASSERT_EQ(StartPlot(job, obs, Link()), 0);
    EXPECT_TRUE(WaitSimState(MachineState::Paused));
    queue.Push(LinkCommand::JobAbort);
    EXPECT_EQ(obs.WaitResult(8000), 2);
    const SimJob rec = Job();
    EXPECT_TRUE(rec.aborted);
    EXPECT_LT(static_cast<int32_t>(rec.bands.size()), InkBandCount.load());
    EXPECT_EQ(Codes().back(), LinkCommand::JobAbort);
}

TEST_F(JobSend, ABusyMachineHoldsTheJobUntilItIsFree)
{
    COnePage job;
    FillTestPage(job);
    Fault("hold-after-bands=1");
    RecordingObserver obs;
    ASSERT_EQ(StartPlot(job, obs, Link()), 0);
    // Busy after band 0: polled on and on, nothing more sent, the job not over.
    const auto pollsAfterBand = [this] {
        const std::vector<int> codes = Codes();
        const auto band = std::find(codes.begin(), codes.end(), LinkCommand::BandHeader);
        return std::count(band, codes.end(), LinkCommand::StatusPoll);
    };
    EXPECT_TRUE(WaitUntil([&] { return pollsAfterBand() >= 20; }));
    EXPECT_EQ(Job().bands.size(), 1u);
    EXPECT_EQ(obs.WaitResult(0), -1);
    sim.SetFaults({});
    EXPECT_EQ(obs.WaitResult(8000), 1);
    EXPECT_TRUE(Job().finished);
    EXPECT_EQ(static_cast<int32_t>(Job().bands.size()), InkBandCount.load());
}

TEST_F(JobSend, JobsTooWideAreRefusedBeforeAnythingIsSent)
{
    struct Case {
        const char* name;
        int32_t maxYmm;
        uint8_t interval;
    };
    // Wider than the machine; within the machine but more columns than the band buffers hold.
    for (const Case& c : {Case{"machine", 2100, 7}, Case{"buffers", 650, 1}}) {
        SCOPED_TRACE(c.name);
        MachineParams p = SnapshotMachineParams();
        p.inkIntervalPulses = c.interval;
        StoreMachineParams(p);
        COnePage job;
        AddCurve(job, {{0, 0}, {4000, c.maxYmm * 40}}, CurveKind::Plot);
        job.CalcPageBounds();
        RecordingObserver obs;
        EXPECT_EQ(RunJob(job, obs), 2);
        EXPECT_EQ(obs.messages, std::vector<std::string>{"WidthExceeded"});
        EXPECT_TRUE(sim.Received().empty());
        EXPECT_FALSE(g_jobActive.load());
    }
}

TEST_F(JobSend, BadParametersFromTheMachineRefuseTheJob)
{
    struct Case {
        const char* key;
        void (*spoil)(MachineParams&);
    };
    const Case cases[] = {
        {"BadBandsPerCutSegment", [](MachineParams& p) { p.bandsPerCutSegment = 0; }},
        {"BadInkInterval", [](MachineParams& p) { p.inkIntervalPulses = 0; }},
        {"BadPulsesPerMmX", [](MachineParams& p) { p.pulsesPerMmX = 0; }},
        {"BadPulsesPerMmY", [](MachineParams& p) { p.pulsesPerMmY = std::nan(""); }},
        {"BadPulsesPerMmY", [](MachineParams& p) { p.pulsesPerMmY = INFINITY; }},
        {"BadOutputPerMeterX", [](MachineParams& p) { p.outputPerMeterX = 0; }},
        {"BadOutputPerMeterY", [](MachineParams& p) { p.outputPerMeterY = 0; }},
        {"BadHeadSelect", [](MachineParams& p) { p.headSelect = 3; }},
        {"BadHeadOverlap", [](MachineParams& p) { p.headOverlapRows = 151; }},
    };
    COnePage job;
    FillTestPage(job);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        sim.WithMachine([&](CSimMachine& m) {
            FillDefaultMachineParams(m.params);
            c.spoil(m.params);
            return 0;
        });
        ASSERT_EQ(ReadMachineParams(commu), 0);
        sim.ClearReceived();
        RecordingObserver obs;
        EXPECT_EQ(RunJob(job, obs), 2);
        EXPECT_EQ(obs.messages, std::vector<std::string>{c.key});
        EXPECT_TRUE(sim.Received().empty());
    }
}

// Rewrites the first status replies of a port into 0x13: Plotting in the
// nibble, but not exactly Plotting.
class StatusRewrite final : public CLinkPort {
public:
    StatusRewrite(CLinkPort& inner, int rewrites) : m_inner(inner), m_left(rewrites) {}
    int Begin() override { return m_inner.Begin(); }
    int WriteFrame(const uint8_t* b, int n) override
    {
        m_lastCode = n >= 2 ? b[1] : -1;
        return m_inner.WriteFrame(b, n);
    }
    int ReadReply(uint8_t* reply, int want, int ask) override
    {
        const int r = m_inner.ReadReply(reply, want, ask);
        if (r == 1 && m_lastCode == LinkCommand::StatusPoll && reply[0] == MachineState::Plotting && m_left > 0) {
            reply[0] = 0x13;
            --m_left;
        }
        return r;
    }
    int WriteData(const uint8_t* b, int n) override { return m_inner.WriteData(b, n); }
    void End(bool failed) override { m_inner.End(failed); }
    bool ChunkedData() const override { return m_inner.ChunkedData(); }

private:
    CLinkPort& m_inner;
    int m_left;
    int m_lastCode = -1;
};

TEST_F(JobSend, StatusWithPlottingNibbleIsPolledAgainUntilExactlyPlotting)
{
    StatusRewrite rewrite(eth, 3);
    CMyCommu rewritten(usb, rewrite);
    JobPlan plan;
    plan.snap = TakeJobSnapshot();
    plan.bandCount = 1;
    plan.inkBandCount = 1;
    plan.bandColumns = 240;
    COnePage empty;
    RecordingObserver obs;
    JobLink link = Link();
    link.commu = &rewritten;
    BeginJobLink();
    CJobSender sender(plan, empty, obs, link);
    EXPECT_EQ(sender.Run(), 1);
    const std::vector<int> codes = Codes();
    // 16, then four polls (three answered 0x13), then the first band's data.
    ASSERT_GE(codes.size(), 6u);
    EXPECT_EQ(codes[0], LinkCommand::JobStart);
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(codes[k], LinkCommand::StatusPoll) << k;
    EXPECT_EQ(codes[5], -1);
}

}  // namespace
