// Task-file reader: any bytes give a status, never a crash; what loads stores
// and loads again to the same bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "model/TaskFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    g_strCurveTag = u"KRVM";
    std::vector<std::unique_ptr<COnePage>> pages;
    if (LoadTaskBytes(std::span(data, size), pages) != TaskFileStatus::Ok) {
        if (!pages.empty() || g_strCurveTag != u"KRVM") std::abort();  // a failed load changes nothing
        return 0;
    }
    const std::vector<uint8_t> first = StoreTaskBytes(pages);
    std::vector<std::unique_ptr<COnePage>> again;
    const TaskFileStatus s = LoadTaskBytes(first, again);
    if (s != TaskFileStatus::Ok) {
        std::fprintf(stderr, "stored bytes do not load: %s\n", TaskFileStatusName(s));
        std::abort();
    }
    if (again.size() != pages.size() || StoreTaskBytes(again) != first) {
        std::fprintf(stderr, "round trip differs\n");
        std::abort();
    }
    return 0;
}
