#include "jobs/DataDirScanName.h"

#include "model/Text.h"

std::u16string ShownFileName(std::string_view bytes)
{
    std::u16string asUtf8 = FromUtf8(bytes);
    // Only valid UTF-8 comes back unchanged: a broken sequence became U+FFFD.
    if (ToUtf8(asUtf8) == bytes) return asUtf8;
    return FromGbk(bytes);
}
