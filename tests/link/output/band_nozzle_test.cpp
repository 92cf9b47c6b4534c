// Guards: a nozzle map unlike the machine's layout of the two heads, or one that writes past its records.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <vector>

#include "link/output/JobCheck.h"
#include "link/output/NozzleMap.h"
#include "tests/link/output/NozzleMapOracle.h"

namespace {

// The machine's nozzle layout of one head: nozzle number at byte, bit (-1: never set).
constexpr int kLayout[22][8] = {
    {0, 22, 44, 66, 88, 110, 132, -1},   {3, 25, 47, 69, 91, 113, 135, -1},
    {6, 28, 50, 72, 94, 116, 138, -1},   {9, 31, 53, 75, 97, 119, 141, -1},
    {12, 34, 56, 78, 100, 122, 144, -1}, {15, 37, 59, 81, 103, 125, 147, -1},
    {18, 40, 62, 84, 106, 128, -1, -1},  {-1, 21, 43, 65, 87, 109, 131, -1},
    {2, 24, 46, 68, 90, 112, 134, -1},   {5, 27, 49, 71, 93, 115, 137, -1},
    {8, 30, 52, 74, 96, 118, 140, -1},   {11, 33, 55, 77, 99, 121, 143, -1},
    {14, 36, 58, 80, 102, 124, 146, -1}, {17, 39, 61, 83, 105, 127, 149, -1},
    {-1, 20, 42, 64, 86, 108, 130, -1},  {1, 23, 45, 67, 89, 111, 133, -1},
    {4, 26, 48, 70, 92, 114, 136, -1},   {7, 29, 51, 73, 95, 117, 139, -1},
    {10, 32, 54, 76, 98, 120, 142, -1},  {13, 35, 57, 79, 101, 123, 145, -1},
    {16, 38, 60, 82, 104, 126, 148, -1}, {19, 41, 63, 85, 107, 129, -1, -1},
};

TEST(NozzleMap, MatchesTheMachineLayout)
{
    std::array<int, kNozzles> seen{};
    for (int byte = 0; byte < 22; ++byte)
        for (int bit = 0; bit < 8; ++bit) {
            const int n = kLayout[byte][bit];
            if (n < 0) continue;
            const NozzleBit nb = NozzleByteMap(n);
            EXPECT_EQ(nb.byte, byte) << "nozzle " << n;
            EXPECT_EQ(nb.mask, 1u << bit) << "nozzle " << n;
            ++seen[n];
        }
    for (int n = 0; n < kNozzles; ++n) EXPECT_EQ(seen[n], 1) << n;
}

struct Records {
    std::vector<uint8_t> lines;
    std::vector<uint8_t> recs;
    int32_t columns;
    explicit Records(int32_t cols) : lines(cols * kScanLineBytes), recs(kBandRecords * kRecordBytes), columns(cols) {}
    void SetRow(int32_t column, int row) { lines[column * kScanLineBytes + row / 8] |= 0x80 >> (row % 8); }
    void Build(const MachineParams& p, int inkBox2Left = 0)
    {
        BuildColumnRecords(lines.data(), columns, p, inkBox2Left, recs.data(), kBandRecords);
    }
    const uint8_t* Record(int r) const { return &recs[r * kRecordBytes]; }
    int NonZero() const
    {
        int n = 0;
        for (uint8_t b : recs) n += b != 0;
        return n;
    }
};

MachineParams Heads(int select, int overlap = 2, int head2Position = 145)
{
    MachineParams p{};
    p.headSelect = static_cast<uint8_t>(select);
    p.headOverlapRows = static_cast<uint8_t>(overlap);
    p.head2Position = static_cast<uint8_t>(head2Position);
    return p;
}

TEST(NozzleMap, SingleRowsOfHeadOne)
{
    struct Case {
        int row, byte;
        uint8_t value;
    };
    for (const Case& c : {Case{0, 0, 0x01}, Case{21, 7, 0x02}, Case{149, 13, 0x40}}) {
        Records r(3);
        r.SetRow(1, c.row);
        r.Build(Heads(0));
        EXPECT_EQ(r.Record(31)[c.byte], c.value) << c.row;
        EXPECT_EQ(r.NonZero(), 1) << c.row;
    }
}

TEST(NozzleMap, HeadTwoTakesTheRowsPastTheOverlap)
{
    // Overlap 2: row 150 is head-2 nozzle 2, row 297 nozzle 149, row 298 unused.
    Records r(4);
    r.SetRow(0, 150);
    r.SetRow(1, 297);
    r.SetRow(2, 298);
    r.SetRow(3, 319);
    r.Build(Heads(0, 2, 100));
    const NozzleBit n2 = NozzleByteMap(2), n149 = NozzleByteMap(149);
    EXPECT_EQ(r.Record(130)[22 + n2.byte], n2.mask);
    EXPECT_EQ(r.Record(131)[22 + n149.byte], n149.mask);
    EXPECT_EQ(r.NonZero(), 2);

    // Overlap 0: row 150 is nozzle 0, row 299 nozzle 149.
    Records z(2);
    z.SetRow(0, 150);
    z.SetRow(1, 299);
    z.Build(Heads(0, 0, 100));
    EXPECT_EQ(z.Record(130)[22], 0x01);
    EXPECT_EQ(z.Record(131)[22 + n149.byte], n149.mask);
    EXPECT_EQ(z.NonZero(), 2);
}

TEST(NozzleMap, OneHeadAtATime)
{
    // Head 2 alone prints rows 0-149 at its offset; head 1 stays blank.
    Records two(1);
    two.SetRow(0, 0);
    two.SetRow(0, 200);
    two.Build(Heads(2, 2, 145));
    EXPECT_EQ(two.Record(30 + 145)[22], 0x01);
    EXPECT_EQ(two.NonZero(), 1);
    // InkBox2Left is not consulted with one head.
    Records twoLeft(1);
    twoLeft.SetRow(0, 0);
    twoLeft.Build(Heads(2, 2, 145), 1);
    EXPECT_EQ(twoLeft.recs, two.recs);

    Records one(1);
    one.SetRow(0, 0);
    one.SetRow(0, 200);
    one.Build(Heads(1));
    EXPECT_EQ(one.Record(30)[0], 0x01);
    EXPECT_EQ(one.NonZero(), 1);
}

TEST(NozzleMap, InkBox2LeftSwapsTheOffset)
{
    Records r(1);
    r.SetRow(0, 0);
    r.SetRow(0, 150);
    r.Build(Heads(0, 0, 50), 1);
    EXPECT_EQ(r.Record(30 + 50)[0], 0x01);  // head 1 moved by head2Position
    EXPECT_EQ(r.Record(30)[22], 0x01);      // head 2 at the column itself
    EXPECT_EQ(r.NonZero(), 2);
}

TEST(NozzleMap, NeverWritesPastTheRecords)
{
    std::vector<uint8_t> lines(10 * kScanLineBytes, 0xFF);
    std::vector<uint8_t> recs(40 * kRecordBytes, 0);
    BuildColumnRecords(lines.data(), 10, Heads(0, 2, 255), 0, recs.data(), 40);
    EXPECT_NE(recs[39 * kRecordBytes], 0);
}

}  // namespace

// The table-driven records against the bit-by-bit builder: random columns,
// sparse and dense, rows past the band too, for every head selection, overlap
// and side, every byte of the record area the same.
TEST(NozzleMap, TablesMatchTheBitByBitOracle)
{
    std::mt19937 rng(23);
    for (int round = 0; round < 60; ++round) {
        MachineParams p{};
        FillDefaultMachineParams(p);
        p.headSelect = static_cast<uint8_t>(round % 3);
        p.headOverlapRows = static_cast<uint8_t>(std::array<int, 5>{0, 2, 7, 149, 150}[round % 5]);
        p.head2Position = static_cast<uint8_t>(rng() % 256);
        const int32_t columns = 1 + static_cast<int32_t>(rng() % 700);
        std::vector<uint8_t> lines(static_cast<size_t>(columns) * kScanLineBytes);
        const unsigned density = 1u << (rng() % 8);
        for (uint8_t& b : lines) b = rng() % density == 0 ? static_cast<uint8_t>(rng()) : 0;
        std::vector<uint8_t> got(static_cast<size_t>(columns + 400) * kRecordBytes, 0);
        std::vector<uint8_t> want(got.size(), 0);
        const int32_t capacity = static_cast<int32_t>(got.size() / kRecordBytes) - static_cast<int32_t>(rng() % 300);
        BuildColumnRecords(lines.data(), columns, p, round % 2, got.data(), capacity);
        oracle::BuildColumnRecords(lines.data(), columns, p, round % 2, want.data(), capacity);
        ASSERT_EQ(got, want) << "round " << round;
    }
}
