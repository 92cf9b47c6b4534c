// Guards: zero-run packing that loses or changes data or runs past 65000, and malformed streams the decoder takes.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "link/output/ZeroRunPack.h"

namespace {

std::vector<uint16_t> Pack(const std::vector<uint16_t>& in)
{
    std::vector<uint16_t> out(ZeroRunPackedBound(in.size()));
    bool complete = false;
    out.resize(CompressZeroRuns(in.data(), in.size(), out.data(), out.size(), &complete));
    EXPECT_TRUE(complete);
    return out;
}

std::vector<uint16_t> Unpack(const std::vector<uint16_t>& in, ZeroRunDecode expect = ZeroRunDecode::Ok)
{
    std::vector<uint16_t> out(1 << 20);
    size_t n = 0;
    EXPECT_EQ(DecodeZeroRuns(in.data(), in.size(), out.data(), out.size(), &n), expect);
    out.resize(n);
    return out;
}

TEST(ZeroRunPack, RunsAreCutAt65000)
{
    struct Case {
        std::vector<uint16_t> in;
        std::vector<uint16_t> packed;
    };
    std::vector<uint16_t> z65000(65000, 0), z65001(65001, 0);
    std::vector<uint16_t> z65000then5 = z65000;
    z65000then5.push_back(5);
    std::vector<uint16_t> z130001(130001, 0);
    const Case cases[] = {
        {{}, {}},
        {z65000, {0, 65000}},
        {z65001, {0, 65000, 0, 1}},
        {z65000then5, {0, 65000, 5}},
        {z130001, {0, 65000, 0, 65000, 0, 1}},
        {{7, 0, 0, 9, 0}, {7, 0, 2, 9, 0, 1}},  // trailing run
        {{1, 2, 3}, {1, 2, 3}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Pack(c.in), c.packed) << c.in.size();
        EXPECT_EQ(Unpack(c.packed), c.in);
    }
}

TEST(ZeroRunPack, WorstCaseIsOneAndAHalf)
{
    for (size_t n : {1u, 2u, 3u, 1001u, 1000u}) {
        std::vector<uint16_t> in(n);
        for (size_t i = 0; i < n; ++i) in[i] = (i % 2) ? 0xFFFF : 0;
        const std::vector<uint16_t> out = Pack(in);
        EXPECT_EQ(out.size(), ZeroRunPackedBound(n));
        EXPECT_EQ(Unpack(out), in);
    }
    // A buffer one word short stops at a whole item and says so.
    std::vector<uint16_t> in = {0, 1, 0, 1, 0};
    std::vector<uint16_t> out(ZeroRunPackedBound(in.size()) - 1);
    bool complete = true;
    const size_t n = CompressZeroRuns(in.data(), in.size(), out.data(), out.size(), &complete);
    EXPECT_FALSE(complete);
    EXPECT_EQ(n, 6u);
}

TEST(ZeroRunPack, RandomRoundTrip)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 50; ++round) {
        std::vector<uint16_t> in(rng() % 200000);
        const unsigned density = rng() % 1000 + 1;
        for (auto& w : in) w = (rng() % 1000 < density) ? static_cast<uint16_t>(rng() | 1) : 0;
        const std::vector<uint16_t> out = Pack(in);
        EXPECT_LE(out.size(), ZeroRunPackedBound(in.size()));
        for (size_t i = 0; i + 1 < out.size(); ++i)
            if (out[i] == 0) {
                EXPECT_GE(out[i + 1], 1);
                EXPECT_LE(out[i + 1], 65000);
                ++i;
            }
        EXPECT_EQ(Unpack(out), in);
    }
}

TEST(ZeroRunPack, DecoderRefusesMalformedStreams)
{
    Unpack({5, 0}, ZeroRunDecode::MissingCount);
    Unpack({0, 0}, ZeroRunDecode::BadCount);
    Unpack({0, 65001}, ZeroRunDecode::BadCount);
    std::vector<uint16_t> out(3);
    size_t n = 0;
    const uint16_t big[] = {1, 0, 5};
    EXPECT_EQ(DecodeZeroRuns(big, 3, out.data(), out.size(), &n), ZeroRunDecode::TooLong);
    EXPECT_EQ(n, 1u);
}

}  // namespace

// The coding word by word, as the machine defines it: the oracle for the
// packer that scans and copies a machine word at a time.
std::vector<uint16_t> PackWordByWord(const std::vector<uint16_t>& in)
{
    std::vector<uint16_t> out;
    uint32_t n = 0;
    for (uint16_t v : in) {
        if (v != 0) {
            if (n > 0) out.insert(out.end(), {0, static_cast<uint16_t>(n)});
            n = 0;
            out.push_back(v);
        } else if (++n == kMaxZeroRun) {
            out.insert(out.end(), {0, kMaxZeroRun});
            n = 0;
        }
    }
    if (n > 0) out.insert(out.end(), {0, static_cast<uint16_t>(n)});
    return out;
}

TEST(ZeroRunPack, SameWordsAsTheWordByWordCoding)
{
    std::mt19937 rng(29);
    for (int round = 0; round < 48; ++round) {
        // Runs and literal spans of every length around the word sizes and the
        // 65000 cut, at every alignment.
        std::vector<uint16_t> in(rng() % 8);
        while (in.size() < 150000) {
            const size_t len = round % 4 == 0 ? 64990 + rng() % 20 : rng() % (1u << (rng() % 12));
            const bool zero = rng() % 2 == 0;
            for (size_t k = 0; k < len; ++k) in.push_back(zero ? 0 : static_cast<uint16_t>(rng() % 3 == 0 ? 0x100 : rng() | 1));
        }
        in.resize(in.size() - rng() % 40);
        ASSERT_EQ(Pack(in), PackWordByWord(in)) << "round " << round;
        // With too little room the packing stops after the last whole item.
        const std::vector<uint16_t> want = PackWordByWord(in);
        std::vector<uint16_t> small(want.size() / 2);
        bool complete = true;
        small.resize(CompressZeroRuns(in.data(), in.size(), small.data(), small.size(), &complete));
        EXPECT_FALSE(complete);
        ASSERT_LE(small.size(), want.size());
        EXPECT_TRUE(std::equal(small.begin(), small.end(), want.begin()));
    }
}
