#include "jobs/ExportName.h"

ExportName ExportNameFor(const std::u16string& chosen)
{
    const size_t n = chosen.size();
    auto upper = [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; };
    if (n > 4 && chosen[n - 4] == u'.' && upper(chosen[n - 3]) == u'P' && upper(chosen[n - 2]) == u'L' &&
        upper(chosen[n - 1]) == u'T')
        return {chosen, false};
    return {chosen + u".plt", true};
}
