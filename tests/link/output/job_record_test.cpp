#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "link/LinkCommand.h"
#include "link/output/NozzleMap.h"
#include "link/output/ZeroRunPack.h"
#include "tests/support/TempFolder.h"
#include "tools/machine-sim/JobRecord.h"

namespace {

// A job of one band whose column records are given, as the host would send
// it: packed, cut into 1400-byte chunks, the last one padded with zeros.
struct BandJob {
    SimJob job;
    MachineParams p{};

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
