#include "model/HugePageHeap.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

constexpr char kTunable[] = "glibc.malloc.hugetlb";

bool SanitizedBuild()
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
    return true;
#else
    return false;
#endif
#else
    return false;
#endif
}

std::string ThpMode()
{
    std::ifstream f("/sys/kernel/mm/transparent_hugepage/enabled");
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

}  // namespace

std::optional<HugePageRestart> PlanHugePageRestart(const char* tunables, const char* marker, std::string_view thpMode)
{
    if (marker != nullptr) return std::nullopt;
    if (thpMode.find("[madvise]") == std::string_view::npos) return std::nullopt;
    const std::string_view old = tunables ? tunables : "";
    if (old.find(kTunable) != std::string_view::npos) return std::nullopt;
    HugePageRestart r;
    r.tunables = old.empty() ? std::string(kTunable) + "=1" : std::string(old) + ":" + kTunable + "=1";
    r.marker = tunables ? "=" + std::string(old) : "-";
    return r;
}

std::optional<std::optional<std::string>> TunablesBeforeRestart(const char* marker)
{
    if (marker == nullptr) return std::nullopt;
    const std::string_view m = marker;
    if (m == "-") return std::optional<std::string>{};
    if (!m.empty() && m.front() == '=') return std::optional<std::string>{std::string(m.substr(1))};
    return std::nullopt;
}

void PreferHugePageHeap(char** argv)
{
    if (SanitizedBuild() || argv == nullptr || argv[0] == nullptr) return;
    const char* marker = std::getenv(kHugePageMarker);
    if (marker != nullptr) {
        if (const auto before = TunablesBeforeRestart(marker)) {
            if (*before) setenv("GLIBC_TUNABLES", (*before)->c_str(), 1);
            else unsetenv("GLIBC_TUNABLES");
        }
        unsetenv(kHugePageMarker);
        return;
    }
    const char* tunables = std::getenv("GLIBC_TUNABLES");
    const std::optional<std::string> old = tunables ? std::optional<std::string>(tunables) : std::nullopt;
    const auto plan = PlanHugePageRestart(tunables, nullptr, ThpMode());
    if (!plan) return;
    setenv("GLIBC_TUNABLES", plan->tunables.c_str(), 1);
    setenv(kHugePageMarker, plan->marker.c_str(), 1);
    execv("/proc/self/exe", argv);
    // Not restarted: on as we are.
    if (old) setenv("GLIBC_TUNABLES", old->c_str(), 1);
    else unsetenv("GLIBC_TUNABLES");
    unsetenv(kHugePageMarker);
}
