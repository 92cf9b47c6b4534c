#include <gtest/gtest.h>

#include "model/HugePageHeap.h"

namespace {

constexpr char kMadvise[] = "always [madvise] never\n";

TEST(HugePageHeap, RestartsOnlyWhereItHelpsAndOnlyOnce)
{
    struct Case {
        const char* tunables;
        const char* marker;
        const char* mode;
        bool restart;
        const char* newTunables;
        const char* newMarker;
    } cases[] = {
        {nullptr, nullptr, kMadvise, true, "glibc.malloc.hugetlb=1", "-"},
        {"", nullptr, kMadvise, true, "glibc.malloc.hugetlb=1", "="},
        {"glibc.malloc.arena_max=2", nullptr, kMadvise, true, "glibc.malloc.arena_max=2:glibc.malloc.hugetlb=1",
         "=glibc.malloc.arena_max=2"},
        // The user's own choice either way stands.
        {"glibc.malloc.hugetlb=0", nullptr, kMadvise, false, "", ""},
        // The restarted process never restarts again.
        {"glibc.malloc.hugetlb=1", "-", kMadvise, false, "", ""},
        {nullptr, "-", kMadvise, false, "", ""},
        // Huge pages given without asking, never given, or the mode unknown.
        {nullptr, nullptr, "[always] madvise never\n", false, "", ""},
        {nullptr, nullptr, "always madvise [never]\n", false, "", ""},
        {nullptr, nullptr, "", false, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.tunables ? c.tunables : "(unset)") + " / " + (c.marker ? c.marker : "(none)") +
                     " / " + c.mode);
        const auto plan = PlanHugePageRestart(c.tunables, c.marker, c.mode);
        ASSERT_EQ(plan.has_value(), c.restart);
        if (!plan) continue;
        EXPECT_EQ(plan->tunables, c.newTunables);
        EXPECT_EQ(plan->marker, c.newMarker);
    }
}

TEST(HugePageHeap, MarkerGivesBackTheEnvironmentAsFound)
{
    const auto plan = PlanHugePageRestart("glibc.malloc.arena_max=2", nullptr, kMadvise);
    ASSERT_TRUE(plan);
    const auto before = TunablesBeforeRestart(plan->marker.c_str());
    ASSERT_TRUE(before && *before);
    EXPECT_EQ(**before, "glibc.malloc.arena_max=2");

    const auto unset = TunablesBeforeRestart(PlanHugePageRestart(nullptr, nullptr, kMadvise)->marker.c_str());
    ASSERT_TRUE(unset);
    EXPECT_FALSE(*unset);

    const auto empty = TunablesBeforeRestart(PlanHugePageRestart("", nullptr, kMadvise)->marker.c_str());
    ASSERT_TRUE(empty && *empty);
    EXPECT_EQ(**empty, "");

    EXPECT_FALSE(TunablesBeforeRestart(nullptr));
    EXPECT_FALSE(TunablesBeforeRestart("something else"));
}

}  // namespace
