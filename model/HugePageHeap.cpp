#include "model/HugePageHeap.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "model/SanitizedBuild.h"

namespace {

constexpr char kTunable[] = "glibc.malloc.hugetlb";

#ifndef ORLAT_SANITIZED
std::string ThpMode()
{
    std::ifstream f("/sys/kernel/mm/transparent_hugepage/enabled");
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}
#endif

}  // namespace

std::optional<HugePageRestart> PlanHugePageRestart(const char* tunables, const char* marker, std::string_view thpMode)
{
    if (marker != nullptr) return std::nullopt;
    if (thpMode.find("[madvise]") == std::string_view::npos) return std::nullopt;
    const std::string_view old = tunables ? tunables : "";
    if (old.find(kTunable) != std::string_view::npos) return std::nullopt;
    HugePageRestart r;
    // Appended in place (g++ 12 warns wrongly of overlap on operator+ chains).
    if (!old.empty()) r.tunables.append(old).append(":");
    r.tunables.append(kTunable).append("=1");
    if (tunables) r.marker.append("=").append(old);
    else r.marker.push_back('-');
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
#ifdef ORLAT_SANITIZED
    (void)argv;
#else
    if (argv == nullptr || argv[0] == nullptr) return;
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
    // By its own path, not /proc/self/exe: the process keeps its name in ps,
    // top and pkill. A binary replaced since the start is not restarted.
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0 || static_cast<size_t>(n) >= sizeof self - 1) return;
    self[n] = '\0';
    if (access(self, X_OK) != 0) return;
    setenv("GLIBC_TUNABLES", plan->tunables.c_str(), 1);
    setenv(kHugePageMarker, plan->marker.c_str(), 1);
    execv(self, argv);
    // Not restarted: on as we are.
    if (old) setenv("GLIBC_TUNABLES", old->c_str(), 1);
    else unsetenv("GLIBC_TUNABLES");
    unsetenv(kHugePageMarker);
#endif
}
