// Guards against huge pages asked for beyond the memory given, on a part page, or not at all.
#include <gtest/gtest.h>

#include <sys/mman.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "model/HugePageHeap.h"

namespace {

constexpr uintptr_t kH = kHugePageBytes;

TEST(HugePageHeap, OnlyWholeHugePagesInsideTheStretch)
{
    struct Case {
        uintptr_t begin;
        size_t bytes;
        uintptr_t first;
        size_t whole;
    } cases[] = {
        {4 * kH, 2 * kH, 4 * kH, 2 * kH},           // exactly two
        {4 * kH + 16, 3 * kH, 5 * kH, 2 * kH},      // starts past a boundary: from the next one on
        {4 * kH, 3 * kH - 1, 4 * kH, kH * 2},       // ends short of one: that one left out
        {4 * kH + 1, 2 * kH - 2, 0, 0},             // none whole
        {4 * kH, kH - 1, 0, 0},
        {4 * kH, 0, 0, 0},
        // At the end of the address space: nothing wraps round.
        {UINTPTR_MAX - kH, 2 * kH, 0, 0},
        {UINTPTR_MAX - 10, 5, 0, 0},
        {UINTPTR_MAX - 3 * kH + 2, 2 * kH, UINTPTR_MAX - 2 * kH + 1, kH},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.begin) + " + " + std::to_string(c.bytes));
        const HugePageSpan s = WholeHugePages(reinterpret_cast<const void*>(c.begin), c.bytes);
        EXPECT_EQ(s.bytes, c.whole);
        if (c.whole != 0) {
            EXPECT_EQ(s.begin, c.first);
        }
    }
}

// The VmFlags of the mapping that holds addr, from /proc/self/smaps.
std::string VmFlagsAt(uintptr_t addr)
{
    std::ifstream smaps("/proc/self/smaps");
    std::string line;
    bool inside = false;
    while (std::getline(smaps, line)) {
        uintptr_t lo = 0, hi = 0;
        char dash = 0;
        std::istringstream head(line);
        if (head >> std::hex >> lo >> dash >> hi && dash == '-') {
            inside = lo <= addr && addr < hi;
            continue;
        }
        if (inside && line.rfind("VmFlags:", 0) == 0) return line.substr(8) + " ";
    }
    return {};
}

bool Advised(uintptr_t addr) { return VmFlagsAt(addr).find(" hg ") != std::string::npos; }

class HugePageAdvice : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::filesystem::exists("/sys/kernel/mm/transparent_hugepage/enabled"))
            GTEST_SKIP() << "no transparent huge pages in this kernel";
    }
};

TEST_F(HugePageAdvice, MarksTheWholePagesAndNothingAroundThem)
{
    const size_t mapped = 8 * kH;
    void* map = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(map, MAP_FAILED);
    const auto base = reinterpret_cast<uintptr_t>(map);
    // A stretch from some way into the mapping, ending in the middle of a huge page.
    const uintptr_t from = ((base + kH - 1) & ~(kH - 1)) + 4096 * 3;
    const size_t bytes = 4 * kH;
    const HugePageSpan s = WholeHugePages(reinterpret_cast<void*>(from), bytes);
    ASSERT_EQ(s.bytes, 3 * kH);
    EXPECT_FALSE(Advised(s.begin));
    AdviseHugePages(reinterpret_cast<void*>(from), bytes);
    EXPECT_TRUE(Advised(s.begin)) << VmFlagsAt(s.begin);
    EXPECT_TRUE(Advised(s.begin + s.bytes - 1));
    EXPECT_FALSE(Advised(from)) << "the part page before the stretch's first whole one";
    EXPECT_FALSE(Advised(s.begin + s.bytes)) << "the part page at its end";
    munmap(map, mapped);
}

TEST_F(HugePageAdvice, ALargeObjectGetsHugePagesOfItsOwn)
{
    const size_t bytes = 2 * kH + 1000;
    void* p = AllocateOnHugePages(bytes);
    const auto at = reinterpret_cast<uintptr_t>(p);
    EXPECT_EQ(at % kH, 0u);
    // All of it usable, its last bytes on an advised page too.
    std::memset(p, 0x5a, bytes);
    EXPECT_TRUE(Advised(at));
    EXPECT_TRUE(Advised(at + bytes - 1));
    FreeOnHugePages(p);
}

}  // namespace
