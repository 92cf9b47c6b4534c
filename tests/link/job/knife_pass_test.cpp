// Guards knife passes sent wrong or too long: records, data before header,
// nothing for an empty segment, and a pass beyond the knife buffer found at
// the job start (no pass left out by the bound, none refused that fits).
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "link/output/BandEngine.h"
#include "link/job/BandPipeline.h"
#include "link/job/BandSend.h"
#include "link/job/KnifePass.h"
#include "link/output/KnifePassBound.h"
#include "link/output/KnifePlanner.h"
#include "link/output/KnifeRecord.h"
#include "link/MyCommu.h"
#include "link/support/CountingClock.h"
#include "link/support/ScriptedPort.h"
#include "model/KnifePoint.h"
#include "model/Page.h"
#include "tests/support/PageBuilder.h"
#include "model/Settings.h"
#include "tests/support/GlobalsGuard.h"

using testsupport::AddCurve;

namespace {

TEST(KnifeRecord, Layout)
{
    KnifePoint k;
    k.x = -2;
    k.y = 0x12345678;
    k.speed = 600;
    k.exitSpeed = 50;
    k.command = KnifeCommand::Cut;
    uint16_t w[kKnifeRecordWords];
    WriteKnifeRecord(k, w);
    const uint16_t expect[kKnifeRecordWords] = {0xFFFE, 0xFFFF, 0x5678, 0x1234, 600, 50, 'C', 0};
    for (int i = 0; i < kKnifeRecordWords; ++i) EXPECT_EQ(w[i], expect[i]) << i;
}

TEST(KnifeRecord, PassesBeyondTheRecordBufferAreRefused)
{
    KnifeBuffers& buf = TheKnifeBuffers();
    for (size_t n : {size_t(kKnifeRecordCapacity), size_t(kKnifeRecordCapacity) + 1, size_t(65535)}) {
        std::vector<KnifePoint> pts(n);
        for (size_t i = 0; i < n; ++i) {
            pts[i].x = static_cast<int32_t>(i);
            pts[i].command = KnifeCommand::Cut;
        }
        const int r = PackKnifePath(pts, buf);
        EXPECT_EQ(r, n <= size_t(kKnifeRecordCapacity) ? 0 : 2) << n;
        if (r != 0) {
            EXPECT_EQ(buf.packedBytes, 0);
            continue;
        }
        std::vector<uint16_t> out(n * kKnifeRecordWords);
        size_t got = 0;
        ASSERT_EQ(DecodeZeroRuns(buf.stream, buf.packedBytes / 2, out.data(), out.size(), &got), ZeroRunDecode::Ok);
        ASSERT_EQ(got, out.size());
        EXPECT_EQ(out[(n - 1) * kKnifeRecordWords], static_cast<uint16_t>(n - 1));
        EXPECT_EQ(out[(n - 1) * kKnifeRecordWords + 6], 'C');
    }
}

// A link over a scripted USB-like port (no chunk answers).
class PassTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        theSettings.Set(Slot::ConnectViaEth, 0);
        usb.chunked = false;
        snap.params.pulsesPerMmX = 40.0;
        snap.params.pulsesPerMmY = 40.0;
        snap.params.inkIntervalPulses = 8;
        snap.params.headOverlapRows = 2;
        snap.params.head2Position = 145;
        snap.params.bandsPerCutSegment = 8;
        snap.params.outputPerMeterX = snap.params.outputPerMeterY = 10000;
        snap.params.inkCutOverlapX = 0;
        snap.params.inkCutOverlapY = 0;
        snap.params.inkAccelMm = 60;
        snap.params.cutSpeed = 3;
        snap.lineWidth = 1;
        StoreMachineParams(snap.params);
    }

    testsupport::GlobalsGuard guard;
    CScriptedPort usb, eth;
    CMyCommu link{usb, eth};
    CCountingClock clock;
    std::vector<KnifePoint> path;
    JobSnapshot snap;
    COnePage page;
};

TEST_F(PassTest, NothingToCutSendsNothing)
{
    AddCurve(page, {{0, 0}, {400, 400}}, CurveKind::Plot);
    EXPECT_EQ(SendCutPass(0, 4, page, snap, link, clock, path, TheKnifeBuffers()), 0);
    EXPECT_TRUE(usb.data.empty());
    EXPECT_TRUE(usb.frames.empty());
    // Past the job's bands: nothing even with cuts.
    AddCurve(page, {{0, 0}, {400, 0}}, CurveKind::Cut);
    EXPECT_EQ(SendCutPass(5, 4, page, snap, link, clock, path, TheKnifeBuffers()), 0);
    EXPECT_TRUE(usb.frames.empty());
}

TEST_F(PassTest, CutPassSendsDataThenHeader)
{
    AddCurve(page, {{40, 40}, {400, 40}, {400, 400}}, CurveKind::Cut);
    usb.replies.push_back({3});
    KnifeBuffers& buf = TheKnifeBuffers();
    ASSERT_EQ(SendCutPass(0, 4, page, snap, link, clock, path, buf), 0);
    ASSERT_EQ(path.size(), 3u);
    EXPECT_EQ(path[0].command, KnifeCommand::Move);
    EXPECT_EQ(path[2].exitSpeed, 0);
    ASSERT_EQ(usb.data.size(), 1u);
    EXPECT_EQ(usb.data[0].size(), static_cast<size_t>(buf.packedBytes));
    ASSERT_EQ(usb.frames.size(), 1u);
    EXPECT_EQ(usb.frames[0], (std::vector<uint8_t>{6, 18, 3, 0, 0, 0}));

    // A header without an answer fails the pass, after a pause on the link clock.
    EXPECT_EQ(clock.slept, 0);
    EXPECT_EQ(SendCutPass(0, 4, page, snap, link, clock, path, buf), -1);
    EXPECT_EQ(clock.slept, 1);
    // A short data write fails it before the header.
    usb.frames.clear();
    usb.writeResults.push_back(2);
    EXPECT_EQ(SendCutPass(0, 4, page, snap, link, clock, path, buf), -1);
    EXPECT_TRUE(usb.frames.empty());
}

TEST_F(PassTest, OversizedPassIsRefused)
{
    std::vector<PlotPoint> pts;
    for (int i = 0; i < kKnifeRecordCapacity + 10; ++i) pts.push_back({40 + (i % 2) * 4, i * 40});
    AddCurve(page, pts, CurveKind::Cut);
    EXPECT_GT(BuildCutPass(0, page, snap, path), kKnifeRecordCapacity);
    EXPECT_EQ(SendKnifePath(path, link, TheKnifeBuffers()), 2);
    EXPECT_EQ(SendCutPass(0, 4, page, snap, link, clock, path, TheKnifeBuffers()), 2);
    EXPECT_TRUE(usb.data.empty());
    EXPECT_TRUE(usb.frames.empty());
}

// n points across the carriage, all inside feed range [x0, x0 + 6250): one
// move and n - 1 cuts, too long to be merged.
void AddZigzag(COnePage& page, int32_t x0, int32_t n, int32_t kind = CurveKind::Cut)
{
    std::vector<PlotPoint> pts;
    pts.reserve(static_cast<size_t>(n));
    for (int32_t k = 0; k < n; ++k) pts.push_back({x0 + k / 8, (k % 2) * 2000 + 1000});
    AddCurve(page, pts, kind);
}

// Passes here are 8000 pulses (plot units) long: pass i is [8000 i, 8000 (i + 1)).
TEST_F(PassTest, TheJobStartFindsThePassThatWouldNotFit)
{
    struct Zigzag {
        int32_t x0, n, kind;
    };
    struct Case {
        const char* name;
        std::vector<Zigzag> cuts;
        int32_t bands;
        int32_t expected;
    };
    const int32_t cap = kKnifeRecordCapacity;
    const Case cases[] = {
        {"exactly the buffer", {{100, cap, CurveKind::Cut}}, 24, -1},
        {"one point over", {{100, cap + 1, CurveKind::Cut}}, 24, 0},
        // Bound above the buffer (two per step), the points themselves below it.
        {"bound over, points under", {{100, 30000, CurveKind::Cut}}, 24, -1},
        {"the second pass", {{100, 20, CurveKind::Cut}, {8100, cap + 1, CurveKind::Cut}}, 24, 1},
        {"short cuts count too", {{16100, cap / 2, CurveKind::ShortCut}, {16200, cap / 2 + 1, CurveKind::Cut}}, 24, 2},
        {"two lines in one pass", {{100, cap / 2, CurveKind::Cut}, {200, cap / 2, CurveKind::Cut}}, 24, -1},
        // Beyond the job's bands: never sent, never refused.
        {"past the last pass", {{24100, cap + 1, CurveKind::Cut}}, 24, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        COnePage job;
        for (const Zigzag& z : c.cuts) AddZigzag(job, z.x0, z.n, z.kind);
        EXPECT_EQ(FirstOversizedCutPass(c.bands, job, snap), c.expected);
        // The same passes the sending thread builds.
        for (int32_t i = 0; i * snap.params.bandsPerCutSegment < c.bands; ++i)
            EXPECT_EQ(KnifePassFits(static_cast<size_t>(BuildCutPass(i, job, snap, path))), i != c.expected) << i;
    }
}

// The bound must hold for every pass, whatever the lines do at the passes'
// ends: steps across several passes, backwards, on a boundary, with a knife
// offset and a scale that round.
TEST_F(PassTest, PassBoundsAreNeverBelowThePointsBuilt)
{
    struct Params {
        double pulsesPerMmX;
        uint8_t inkCutOverlapX;
        uint8_t headSelect, bandsPerCutSegment;
    };
    const Params params[] = {{40.0, 0, 0, 8}, {39.37, 37, 1, 6}, {41.3, 215, 0, 30}, {0.7, 5, 1, 1}};
    uint32_t seed = 12345;
    auto next = [&](uint32_t mod) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int32_t>((seed >> 8) % mod);
    };
    for (const Params& pr : params) {
        SCOPED_TRACE(pr.pulsesPerMmX);
        snap.params.pulsesPerMmX = pr.pulsesPerMmX;
        snap.params.inkCutOverlapX = pr.inkCutOverlapX;
        snap.params.headSelect = pr.headSelect;
        snap.params.bandsPerCutSegment = pr.bandsPerCutSegment;
        COnePage job;
        const int32_t passes = 12;
        const int32_t span = BandStart(passes, snap.params) - BandStart(0, snap.params);
        for (int curve = 0; curve < 40; ++curve) {
            std::vector<PlotPoint> pts;
            for (int k = 0, n = 2 + next(30); k < n; ++k) {
                // Plot X whose pulses land anywhere in the passes, often right on a start.
                int32_t pulses = next(static_cast<uint32_t>(span + 400)) - 200 + BandStart(0, snap.params);
                if (next(3) == 0) pulses = BandStart(next(passes + 1), snap.params) + next(3) - 1;
                pts.push_back({static_cast<int32_t>(pulses / pr.pulsesPerMmX * 40.0 - pr.inkCutOverlapX * 4.0),
                               next(40000)});
            }
            AddCurve(job, pts, next(4) == 0 ? CurveKind::ShortCut : CurveKind::Cut);
        }
        AddCurve(job, {{0, 0}, {400000, 400}}, CurveKind::Plot);  // never counted
        const std::vector<int64_t> bounds = KnifePassBounds(job, snap, passes);
        ASSERT_EQ(bounds.size(), static_cast<size_t>(passes));
        int64_t built = 0;
        for (int32_t i = 0; i < passes; ++i) {
            // The clipped points, before any clean-up takes some away.
            std::vector<KnifePoint> clipped;
            const int32_t lo = BandStart(i, snap.params);
            const int32_t hi = BandStart(i + 1, snap.params);
            for (const auto& c : job.m_curves) {
                if (c->m_kind == CurveKind::Cut) c->ClipCutToBand(lo, hi, snap.params, clipped);
                else if (c->m_kind == CurveKind::ShortCut) c->ClipShortCutToBand(lo, hi, snap.params, clipped);
            }
            EXPECT_GE(bounds[static_cast<size_t>(i)], static_cast<int64_t>(clipped.size())) << "pass " << i;
            built += static_cast<int64_t>(clipped.size());
        }
        EXPECT_GT(built, 0);
    }
}

TEST_F(PassTest, InkBandSendsDataThenHeader)
{
    AddCurve(page, {{30, 0}, {30, 400}}, CurveKind::Plot);
    BandEngine engine;
    snap.biDirPlot = 1;
    ASSERT_TRUE(engine.Setup(page, snap, 400, 2));
    BandBuffers& buf = TheBandBuffers();
    // At or past the ink bands: nothing.
    EXPECT_EQ(SendInkBand(2, 2, engine, link, buf), 0);
    EXPECT_TRUE(usb.data.empty());

    usb.replies.push_back({3});
    usb.replies.push_back({3});
    ASSERT_EQ(SendInkBand(0, 2, engine, link, buf), 0);
    ASSERT_EQ(SendInkBand(1, 2, engine, link, buf), 0);
    ASSERT_EQ(usb.data.size(), 2u);
    EXPECT_EQ(usb.data[1].size(), static_cast<size_t>(buf.packedBytes));
    ASSERT_EQ(usb.frames.size(), 2u);
    EXPECT_EQ(usb.frames[0], (std::vector<uint8_t>{8, 17, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(usb.frames[1], (std::vector<uint8_t>{8, 17, 1, 0, 0, 0, 1, 1}));

    usb.writeResults.push_back(10);  // short data write
    EXPECT_EQ(SendInkBand(0, 2, engine, link, buf), -1);
    EXPECT_EQ(usb.frames.size(), 2u);
    EXPECT_EQ(SendInkBand(0, 2, engine, link, buf), -1);  // header unanswered
}

}  // namespace

namespace {

// The band pipeline hands out exactly the bands made one at a time: in order,
// the same band again (a resend), and out of order.
TEST_F(PassTest, PipelineGivesTheBandsMadeOneAtATime)
{
    for (int32_t x = 0; x < 2400; x += 90) AddCurve(page, {{x, 0}, {x + 400, 3000}}, CurveKind::Plot);
    snap.lineWidth = 3;
    BandEngine engine;
    ASSERT_TRUE(engine.Setup(page, snap, 700, 5));
    auto want = std::make_unique<BandBuffers>();
    CBandPipeline pipeline(engine, 5);
    for (int32_t band : {0, 0, 1, 2, 2, 4, 3, 4}) {
        ASSERT_TRUE(engine.PrepareBand(band, *want));
        const BandBuffers& got = pipeline.Take(band);
        ASSERT_EQ(got.packedBytes, want->packedBytes) << "band " << band;
        EXPECT_EQ(std::memcmp(got.packed, want->packed, static_cast<size_t>(want->packedBytes)), 0) << "band " << band;
    }
}

}  // namespace
