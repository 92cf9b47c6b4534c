// Guards: a job record that puts nozzle bits elsewhere than the map, draws malformed data, or is written in part.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "link/LinkCommand.h"
#include "link/output/BandCounters.h"
#include "link/output/NozzleMap.h"
#include "link/output/ZeroRunPack.h"
#include "tests/support/TempFolder.h"
#include "tools/machine-sim/JobRecord.h"
#include "tools/machine-sim/PbmStream.h"
#include "tools/machine-sim/SimDecodeThread.h"

namespace {

// A job of one band whose column records are given, as the host would send
// it: packed, cut into 1400-byte chunks, the last one padded with zeros.
struct BandJob {
    SimJob job;
    MachineParams p{};
    std::vector<std::vector<uint16_t>> sent;  // each band's data words, as its chunks hold them

    explicit BandJob(int32_t columns)
    {
        FillDefaultMachineParams(p);
        job.started = true;
        job.bandColumns = columns;
    }
    void AddBand(int32_t band, const std::vector<uint8_t>& records)
    {
        std::vector<uint16_t> words(records.size() / 2);
        std::memcpy(words.data(), records.data(), records.size());
        std::vector<uint16_t> packed(ZeroRunPackedBound(words.size()));
        packed.resize(CompressZeroRuns(words.data(), words.size(), packed.data(), packed.size()));
        std::vector<uint8_t> bytes(packed.size() * 2);
        std::memcpy(bytes.data(), packed.data(), bytes.size());
        for (size_t at = 0; at < bytes.size(); at += kDataChunkBytes) {
            std::vector<uint8_t> chunk(kDataChunkBytes, 0);
            std::memcpy(chunk.data(), bytes.data() + at, std::min<size_t>(kDataChunkBytes, bytes.size() - at));
            job.chunks.push_back(chunk);
        }
        job.bands.push_back({band, 0, job.chunks.size()});
        sent.emplace_back(packed.size() + (kDataChunkBytes / 2 - packed.size() % (kDataChunkBytes / 2)) % (kDataChunkBytes / 2), 0);
        std::copy(packed.begin(), packed.end(), sent.back().begin());
    }
    // Records with ink at random, one in `sparse` bytes non-zero.
    std::vector<uint8_t> RandomRecords(std::mt19937& rng, int sparse) const
    {
        std::vector<uint8_t> rec = Records();
        for (uint8_t& b : rec)
            if (rng() % sparse == 0) b = static_cast<uint8_t>(rng());
        return rec;
    }
    std::vector<uint8_t> Records() const
    {
        return std::vector<uint8_t>(static_cast<size_t>(job.bandColumns + 30) * kRecordBytes, 0);
    }
    void Set(std::vector<uint8_t>& rec, int32_t record, int offset, int nozzle) const
    {
        const NozzleBit b = NozzleByteMap(nozzle);
        rec[static_cast<size_t>(record) * kRecordBytes + offset + b.byte] |= b.mask;
    }
};

TEST(JobRecord, NozzlesOfBothHeadsLandOnTheirRows)
{
    BandJob b(400);
    std::vector<uint8_t> rec = b.Records();
    b.Set(rec, 30 + 5, 0, 0);                          // head 1, nozzle 0: row 0, column 5
    b.Set(rec, 30 + 7, 0, 149);                        // head 1, nozzle 149: row 149
    b.Set(rec, 30 + b.p.head2Position + 9, 22, 2);     // head 2, first nozzle past the overlap: row 150
    b.Set(rec, 30 + b.p.head2Position + 11, 22, 1);    // an overlapped nozzle: prints nothing
    b.AddBand(1, rec);
    const DecodedJob d = DecodeJob(b.job, b.p);
    ASSERT_EQ(d.decodeErrors, 0);
    ASSERT_EQ(d.width, 400);
    ASSERT_EQ(d.height, 2 * 298);
    int ink = 0;
    for (int32_t r = 0; r < d.height; ++r)
        for (int32_t c = 0; c < d.width; ++c) ink += d.Ink(r, c);
    EXPECT_EQ(ink, 3);
    EXPECT_TRUE(d.Ink(298 + 0, 5));
    EXPECT_TRUE(d.Ink(298 + 149, 7));
    EXPECT_TRUE(d.Ink(298 + 150, 9));
}

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream f(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

TEST(JobRecord, EveryBitOfBothHeadsLandsWhereTheNozzleMapPutsIt)
{
    // The image against the nozzle map read bit by bit, for each head
    // selection and overlap, with every bit of a record (unmapped ones too) set at random.
    struct Case {
        uint8_t headSelect, overlap;
    };
    std::mt19937 rng(17);
    for (const Case& k : {Case{0, 2}, Case{0, 0}, Case{0, 37}, Case{1, 2}, Case{2, 2}}) {
        SCOPED_TRACE(testing::Message() << "heads " << int(k.headSelect) << " overlap " << int(k.overlap));
        BandJob b(300);
        b.p.headSelect = k.headSelect;
        b.p.headOverlapRows = k.overlap;
        const std::vector<uint8_t> rec = b.RandomRecords(rng, 3);
        b.AddBand(1, rec);
        const DecodedJob d = DecodeJob(b.job, b.p);
        ASSERT_EQ(d.decodeErrors, 0);
        const int32_t rows = BandRowsOf(b.p);
        std::vector<uint8_t> want(d.bits.size(), 0);
        auto place = [&](int32_t record, int offset, int firstNozzle, int rowOfNozzle0, int32_t column) {
            for (int n = firstNozzle; n < kNozzles; ++n) {
                const NozzleBit nb = NozzleByteMap(n);
                const int64_t row = int64_t{rows} + rowOfNozzle0 + n;
                if ((rec[static_cast<size_t>(record) * kRecordBytes + offset + nb.byte] & nb.mask) && row < d.height)
                    want[static_cast<size_t>(row) * d.RowBytes() + column / 8] |= static_cast<uint8_t>(0x80u >> (column % 8));
            }
        };
        for (int32_t c = 0; c < d.width; ++c) {
            const int32_t r2 = 30 + c + b.p.head2Position;
            const bool has2 = r2 < d.width + 30;
            if (k.headSelect == 0) {
                place(30 + c, 0, 0, 0, c);
                if (has2) place(r2, 22, k.overlap, 150 - k.overlap, c);
            } else if (k.headSelect == 1) {
                place(30 + c, 0, 0, 0, c);
            } else if (has2) {
                place(r2, 22, 0, 0, c);
            }
        }
        EXPECT_TRUE(d.bits == want);
    }
}

TEST(JobRecord, DecoderThreadGivesTheRecordOfTheWholeJob)
{
    // Bands pushed as fast as they come and the job ended at once: the
    // record waits for the last band and equals the job decoded in one go,
    // with bands sent again, out of order, and an image growing past 9999
    // rows (a longer header) on the way.
    testsupport::TempFolder folder("orlat_job_record_");
    const std::string dir = folder.path().string();
    BandJob b(64);
    std::mt19937 rng(5);
    std::vector<int32_t> order;
    for (int32_t band = 0; band <= 40; ++band) order.push_back(band);
    order.insert(order.begin() + 13, 5);
    order.insert(order.begin() + 38, 2);
    order.push_back(-1);
    for (int32_t band : order) b.AddBand(band, b.RandomRecords(rng, 5));
    b.job.finished = true;

    CSimDecodeThread thread;
    SimDecodeWork start;
    start.kind = SimDecodeWork::Kind::JobStart;
    start.value = b.job.bandColumns;
    start.live = true;
    start.params = b.p;
    start.recordDir = dir;
    thread.Push(std::move(start));
    for (size_t i = 0; i < b.job.bands.size(); ++i) {
        SimDecodeWork w;
        w.value = b.job.bands[i].band;
        w.words = b.sent[i];
        thread.Push(std::move(w));
    }
    std::unique_ptr<CPbmStream> pbm;
    const DecodedJob got = thread.Finish(&pbm);
    ASSERT_NE(pbm, nullptr);
    const DecodedJob want = DecodeJob(b.job, b.p);
    ASSERT_GT(want.height, 9999);
    EXPECT_EQ(got.decodeErrors, want.decodeErrors);
    EXPECT_TRUE(got.bits == want.bits);
    ASSERT_TRUE(WriteJobRecord(dir, b.job, got, b.p, pbm.get()));
    EXPECT_TRUE(ReadFile(folder.path() / "print.pbm") == PbmOf(want));
    EXPECT_EQ(ReadFile(folder.path() / "summary.json"), SummaryJsonOf(b.job, want));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 3);
}

TEST(JobRecord, MalformedDataIsCountedNotDrawn)
{
    BandJob b(300);
    std::vector<uint8_t> rec = b.Records();
    b.Set(rec, 40, 0, 3);
    b.AddBand(0, rec);
    b.job.chunks.back().assign(kDataChunkBytes, 0);     // (0, 0): a bad count
    b.AddBand(2000000000, b.Records());                 // far beyond the image
    b.job.bands.push_back({-4, 0, b.job.chunks.size()}); // no data at all
    b.job.knifePasses.push_back({70000, b.job.chunks.size()});
    const DecodedJob d = DecodeJob(b.job, b.p);
    EXPECT_EQ(d.decodeErrors, 3);
    EXPECT_LE(d.height, kMaxImageRows);
    EXPECT_EQ(d.knifeRecords, 0);
}

TEST(JobRecord, DataBeyondTheHeadersRecordsIsAnError)
{
    // One record more than command 16's columns give: the host sent too much.
    BandJob b(300);
    std::vector<uint8_t> rec(static_cast<size_t>(300 + 30 + 1) * kRecordBytes, 0);
    b.Set(rec, 40, 0, 3);
    b.Set(rec, 330, 0, 3);
    b.AddBand(0, rec);
    // A knife pass whose data holds one word more than its records.
    std::vector<uint8_t> knife(2 * 8 * 2 + 2, 0x11);
    b.job.chunks.push_back(std::vector<uint8_t>(kDataChunkBytes, 0));
    std::copy(knife.begin(), knife.end(), b.job.chunks.back().begin());
    b.job.knifePasses.push_back({2, b.job.chunks.size()});
    const DecodedJob d = DecodeJob(b.job, b.p);
    EXPECT_EQ(d.decodeErrors, 2);
    EXPECT_EQ(d.knifeRecords, 0);
}

TEST(JobRecord, FilesAreWrittenWhole)
{
    testsupport::TempFolder folder("orlat_job_record_");
    const std::filesystem::path& dir = folder.path();
    BandJob b(64);
    std::vector<uint8_t> rec = b.Records();
    b.Set(rec, 31, 0, 0);
    b.AddBand(0, rec);
    b.job.finished = true;
    b.job.bytesReceived = 1400;
    ASSERT_TRUE(WriteJobRecord(dir.string(), b.job, b.p));
    std::ifstream pbm(dir / "print.pbm", std::ios::binary);
    std::stringstream all;
    all << pbm.rdbuf();
    EXPECT_EQ(all.str().substr(0, 10), "P4\n64 298\n");
    EXPECT_EQ(all.str().size(), 10u + 8u * 298u);
    std::ifstream sum(dir / "summary.json");
    std::string json((std::istreambuf_iterator<char>(sum)), std::istreambuf_iterator<char>());
    EXPECT_NE(json.find("\"result\": \"finished\""), std::string::npos);
    EXPECT_NE(json.find("\"bands\": 1"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(dir / "knife.svg"));
    EXPECT_FALSE(std::filesystem::exists(dir / "print.pbm.part"));
    EXPECT_FALSE(WriteJobRecord((dir / "missing" / "deeper").string(), b.job, b.p));
}

}  // namespace
