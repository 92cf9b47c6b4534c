// Settings-file reader and writer: any bytes parse; writing the text back
// and parsing it again changes nothing more; a value set reads back as set.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "model/ProfileFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    // The last 16 bytes (at most) are a value to write, the rest the file.
    const size_t split = size > 16 ? size - 16 : 0;
    const std::string_view text = all.substr(0, split);
    const std::string_view value = all.substr(split);

    ProfileFile f = ProfileFile::Parse(text);
    (void)f.GetInt("Para", "Language", 7);
    (void)ProfileInt(value, 3);
    const std::string once = f.Text();
    if (ProfileFile::Parse(once).Text() != once) {
        std::fprintf(stderr, "text changes on a second round\n");
        std::abort();
    }

    f.SetString("Para", "DataDirMm", value);
    f.SetInt("Para", "PaperLenMm", -5);
    const ProfileFile back = ProfileFile::Parse(f.Text());
    std::string want(value);
    std::erase(want, '\r');
    std::erase(want, '\n');
    if (back.GetString("Para", "DataDirMm") != want || back.GetInt("Para", "PaperLenMm", 0) != -5) {
        std::fprintf(stderr, "a written value does not read back\n");
        std::abort();
    }
    return 0;
}
