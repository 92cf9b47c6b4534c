// Guards: lines that miss their nozzle, wrong curves or cleaning stripes in the bands, head-two data past the records, bands that overflow their buffers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "link/output/BandCounters.h"
#include "link/output/BandEngine.h"
#include "model/Page.h"
#include "tests/link/output/NozzleMapOracle.h"
#include "tests/support/PageBuilder.h"

// band_pack_test.cpp: the coding word by word.
std::vector<uint16_t> PackWordByWord(const std::vector<uint16_t>& in);

using testsupport::AddCurve;

namespace {

class BandEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        snap.params.pulsesPerMmX = 60.5;
        snap.params.pulsesPerMmY = 40.0;
        snap.params.inkIntervalPulses = 8;  // 5 columns per mm
        snap.params.headSelect = 0;
        snap.params.headOverlapRows = 2;
        snap.params.head2Position = 145;
        snap.params.bandsPerCutSegment = 8;
        snap.params.outputPerMeterX = snap.params.outputPerMeterY = 10000;
        snap.lineWidth = 1;
    }


    // The records the packed stream carries.
    std::vector<uint16_t> Sent(int band)
    {
        EXPECT_TRUE(engine.PrepareBand(band, buf));
        std::vector<uint16_t> out(static_cast<size_t>(columns + 30) * 22 + 1);
        size_t n = 0;
        EXPECT_EQ(DecodeZeroRuns(buf.packed, buf.packedBytes / 2, out.data(), out.size(), &n), ZeroRunDecode::Ok);
        out.resize(n);
        EXPECT_EQ(n, static_cast<size_t>(columns + 30) * 22);
        return out;
    }
    static uint8_t Byte(const std::vector<uint16_t>& words, int record, int byte)
    {
        const uint16_t w = words[record * 22 + byte / 2];
        return static_cast<uint8_t>(byte % 2 ? w >> 8 : w);
    }
    static int NonZeroWords(const std::vector<uint16_t>& words)
    {
        int n = 0;
        for (uint16_t w : words) n += w != 0;
        return n;
    }

    JobSnapshot snap;
    COnePage page;
    BandEngine engine;
    BandBuffers& buf = TheBandBuffers();
    int32_t columns = 400;
};

TEST_F(BandEngineTest, ALineReachesItsNozzle)
{
    // Row 1 + trunc(30 x 0.3) = 10, columns 1 .. 50 (the last pixel left out).
    AddCurve(page, {{30, 0}, {30, 400}});
    ASSERT_TRUE(engine.Setup(page, snap, columns, 10));
    const std::vector<uint16_t> words = Sent(0);
    const NozzleBit nb = NozzleByteMap(10);
    for (int c = 0; c < columns; ++c) {
        const bool on = c >= 1 && c <= 50;
        EXPECT_EQ(Byte(words, 30 + c, nb.byte), on ? nb.mask : 0) << c;
    }
    EXPECT_EQ(NonZeroWords(words), 50);
    // Band 1 starts at row 298: nothing left.
    EXPECT_EQ(NonZeroWords(Sent(1)), 0);
}

TEST_F(BandEngineTest, PlotCutLineChoosesTheCurves)
{
    AddCurve(page, {{30, 0}, {30, 400}}, CurveKind::Plot);
    AddCurve(page, {{60, 0}, {60, 400}}, CurveKind::Cut);
    struct Case {
        int plotCutLine, words;
    };
    for (const Case& c : {Case{0, 50}, Case{1, 100}, Case{2, 0}}) {
        snap.plotCutLine = c.plotCutLine;
        ASSERT_TRUE(engine.Setup(page, snap, columns, 10));
        EXPECT_EQ(NonZeroWords(Sent(0)), c.words) << c.plotCutLine;
    }
}

TEST_F(BandEngineTest, CleaningStripesAtEverySegmentStart)
{
    snap.cleanAtSection = 1;
    ASSERT_TRUE(engine.Setup(page, snap, columns, 10));
    for (int band : {0, 1, 8}) {
        engine.RasterizeBand(band, buf);
        int lines = 0;
        for (int c = 0; c < columns; ++c) {
            const uint8_t* line = buf.bitmap + c * kScanLineBytes;
            if (line[0] != 0) {
                ++lines;
                EXPECT_EQ(line[37] & 0x10, 0x10) << "row 299 inked";
                EXPECT_EQ(line[37] & 0x08, 0) << "row 300 left out";
            }
        }
        EXPECT_EQ(lines, band % 8 == 0 ? 24 : 0) << band;
    }
}

TEST_F(BandEngineTest, HeadTwoBeyondTheSentRecordsIsDropped)
{
    snap.params.headSelect = 2;
    snap.params.head2Position = 145;
    // The last image column: its head-2 record lies past record columns + 29.
    AddCurve(page, {{30, (columns - 2) * 8}, {30, (columns + 5) * 8}});
    ASSERT_TRUE(engine.Setup(page, snap, columns, 10));
    EXPECT_EQ(NonZeroWords(Sent(0)), 0);
    // Without the offset the same column goes out.
    snap.params.head2Position = 0;
    ASSERT_TRUE(engine.Setup(page, snap, columns, 10));
    EXPECT_GT(NonZeroWords(Sent(0)), 0);
}

TEST_F(BandEngineTest, RefusesJobsThatDoNotFit)
{
    AddCurve(page, {{30, 0}, {30, 400}});
    EXPECT_FALSE(engine.Setup(page, snap, 26000 - 30 - 145 + 1, 10));
    EXPECT_FALSE(engine.PrepareBand(0, buf));
    EXPECT_EQ(buf.packedBytes, 0);
    snap.params.inkIntervalPulses = 0;
    EXPECT_FALSE(engine.Setup(page, snap, columns, 10));
    snap.params.inkIntervalPulses = 8;
    EXPECT_TRUE(engine.Setup(page, snap, 26000 - 30 - 145, 10));
    EXPECT_TRUE(engine.PrepareBand(0, buf));
}

TEST_F(BandEngineTest, WidestBandStaysInItsBuffers)
{
    // Every pixel inked on the widest fitting band: packing within bounds.
    snap.lineWidth = 5;
    snap.params.head2Position = 0;
    const int32_t wide = 26000 - 30;
    for (int r = 0; r < 300; r += 3) AddCurve(page, {{r * 40 / 12, 0}, {r * 40 / 12, wide * 8}});
    ASSERT_TRUE(engine.Setup(page, snap, wide, 10));
    ASSERT_TRUE(engine.PrepareBand(0, buf));
    EXPECT_GT(buf.packedBytes, 0);
    EXPECT_LE(static_cast<size_t>(buf.packedBytes) / 2, ZeroRunPackedBound(26000u * 22));
}

// Bands are drawn straight into the column records: every band's stream is
// what its image gives through the bit-by-bit column records and the
// word-by-word coding, for every head geometry, pen and dash.
TEST_F(BandEngineTest, StreamsMatchTheBandImageThroughTheOracles)
{
    std::mt19937 rng(41);
    std::vector<uint8_t> recs(static_cast<size_t>(kBandRecords) * kRecordBytes);
    for (int round = 0; round < 36; ++round) {
        MachineParams& p = snap.params;
        p.headSelect = static_cast<uint8_t>(round % 3);
        p.headOverlapRows = static_cast<uint8_t>(round % 9 == 4 ? 150 : rng() % 20);
        p.head2Position = static_cast<uint8_t>(rng() % 256);
        snap.inkBox2Left = (round / 3) % 2;
        snap.lineWidth = 1 + round % 5;
        snap.cleanAtSection = round % 4 == 0;
        columns = 200 + static_cast<int32_t>(rng() % 200);
        const int32_t bands = 4;
        page.m_curves.clear();
        for (int k = 0, curves = 1 + static_cast<int>(rng() % 12); k < curves; ++k) {
            std::vector<PlotPoint> pts(2 + rng() % 30);
            PlotPoint at{static_cast<int32_t>(rng() % (bands * 300 * 40 / 12)), static_cast<int32_t>(rng() % (columns * 8))};
            for (auto& pt : pts) {
                pt = at;
                // Mostly short steps, as a marker's outlines; now and then a long one.
                const int32_t reach = rng() % 8 == 0 ? 4000 : 60;
                at.x = std::max(0, at.x + static_cast<int32_t>(rng() % (2 * reach + 1)) - reach);
                at.y = std::max(0, at.y + static_cast<int32_t>(rng() % (2 * reach + 1)) - reach);
            }
            AddCurve(page, pts, CurveKind::Plot, rng() % 3 == 0 ? 1 : 0);
        }
        ASSERT_TRUE(engine.Setup(page, snap, columns, bands));
        for (int32_t band = 0; band < bands; ++band) {
            ASSERT_TRUE(engine.PrepareBand(band, buf));
            const std::vector<uint16_t> got(buf.packed, buf.packed + buf.packedBytes / 2);
            engine.RasterizeBand(band, buf);
            std::fill(recs.begin(), recs.end(), 0);
            oracle::BuildColumnRecords(buf.bitmap, columns, p, snap.inkBox2Left, recs.data(), kBandRecords);
            std::vector<uint16_t> words(static_cast<size_t>(columns + kLeadInRecords) * (kRecordBytes / 2));
            std::memcpy(words.data(), recs.data(), words.size() * 2);
            ASSERT_EQ(got, PackWordByWord(words)) << "round " << round << " band " << band;
        }
    }
}

TEST(BandBidirFlag, OnlyOddBandsWithBiDirPlot)
{
    EXPECT_EQ(BandBidirFlag(0, 1), 0);
    EXPECT_EQ(BandBidirFlag(1, 1), 1);
    EXPECT_EQ(BandBidirFlag(2, 1), 0);
    EXPECT_EQ(BandBidirFlag(1, 0), 0);
}

}  // namespace
