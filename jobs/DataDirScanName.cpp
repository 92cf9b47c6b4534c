#include "jobs/DataDirScanName.h"

#include "model/Text.h"

std::u16string ShownFileName(std::string_view bytes)
{
    std::u16string asUtf8 = FromUtf8(bytes);
    // Only valid UTF-8 comes back unchanged: a broken sequence became U+FFFD.
    if (ToUtf8(asUtf8) == bytes) return asUtf8;
    return FromGbk(bytes);
}

bool InFolder(std::string_view path, std::string_view dir)
{
    if (!dir.empty() && dir.back() == '/') dir.remove_suffix(1);
    if (path.size() <= dir.size() + 1 || !path.starts_with(dir) || path[dir.size()] != '/') return false;
    return path.find('/', dir.size() + 1) == std::string_view::npos;
}
