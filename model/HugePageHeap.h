#pragma once
// A large import touches tens of megabytes of fresh heap. Where the kernel
// gives transparent huge pages only on request ("madvise" mode), every 4 KiB
// of it is a page fault of its own, and on virtual machines those dominate
// the import. glibc's allocator asks for huge pages only when its tunable
// says so, and reads its tunables once, at process start: so the process
// starts itself again, once, with the tunable added.
#include <optional>
#include <string>
#include <string_view>

struct HugePageRestart {
    std::string tunables;  // GLIBC_TUNABLES for the restarted process
    std::string marker;    // kHugePageMarker's value: "-" (was unset) or "=" and the old value
};

inline constexpr char kHugePageMarker[] = "ORLAT_HEAP_RESTARTED";

// Whether to restart, from GLIBC_TUNABLES and the marker as found (null when
// unset) and the text of the kernel's THP mode file. No restart when the
// process is the restarted one, when the tunable is set either way already,
// or when the mode is not "madvise" ("always" needs no request, "never"
// grants none).
std::optional<HugePageRestart> PlanHugePageRestart(const char* tunables, const char* marker, std::string_view thpMode);

// The environment of the restarted process as it was before: GLIBC_TUNABLES
// null means unset. Null when the marker is not ours.
std::optional<std::optional<std::string>> TunablesBeforeRestart(const char* marker);

// First thing in main, before any thread: restarts the same binary (the
// path /proc/self/exe names) with the same arguments; no return when that
// works, and on failure the environment is left as found. In the restarted
// process, puts the environment back so that child processes inherit the
// user's own. Does nothing in sanitizer builds, whose allocator is not
// glibc's.
void PreferHugePageHeap(char** argv);
