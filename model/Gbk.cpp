#include <iconv.h>

#include <cerrno>
#include <cstdint>

#include "model/Text.h"

namespace {

// Decodes one UTF-16LE buffer from iconv into out.
void AppendUtf16Le(std::u16string& out, const char* p, size_t n)
{
    for (size_t i = 0; i + 1 < n; i += 2)
        out += static_cast<char16_t>(static_cast<uint8_t>(p[i]) | (static_cast<uint8_t>(p[i + 1]) << 8));
}

// Without the converter, ASCII still comes through.
std::u16string AsciiOnly(std::string_view bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    for (char c : bytes) out += static_cast<uint8_t>(c) < 0x80 ? static_cast<char16_t>(c) : u'\uFFFD';
    return out;
}

}  // namespace

std::u16string FromGbk(std::string_view bytes)
{
    // Code page 936 (GBK with 0x80 as the euro sign), as the old program wrote it.
    iconv_t cd = iconv_open("UTF-16LE", "CP936");
    if (cd == reinterpret_cast<iconv_t>(-1)) cd = iconv_open("UTF-16LE", "GBK");
    if (cd == reinterpret_cast<iconv_t>(-1)) return AsciiOnly(bytes);

    std::u16string out;
    out.reserve(bytes.size());
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char buf[512];
    while (inLeft > 0) {
        char* o = buf;
        size_t oLeft = sizeof buf;
        const size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
        AppendUtf16Le(out, buf, sizeof buf - oLeft);
        if (r != static_cast<size_t>(-1)) continue;
        if (errno == E2BIG) continue;
        // An invalid or cut-off sequence: one replacement, skip one byte.
        out += u'\uFFFD';
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return out;
}
