#include "resources/EmbeddedFonts.h"

// The assembler pulls the files in at build time; the labels are global only
// so that the C++ below can name them, hence the long unique names.
#define ORLAT_EMBED(name, file)                                \
    ".pushsection .rodata\n"                                   \
    ".balign 16\n"                                             \
    ".globl " name "_begin\n"                                  \
    ".hidden " name "_begin\n"                                 \
    name "_begin:\n"                                           \
    ".incbin \"" ORLAT_FONT_DIR "/" file "\"\n"                \
    ".globl " name "_end\n"                                    \
    ".hidden " name "_end\n"                                   \
    name "_end:\n"                                             \
    ".popsection\n"

asm(ORLAT_EMBED("orlat_embedded_fon_en", "fon_en.bin"));
asm(ORLAT_EMBED("orlat_embedded_fon_hz", "fon_hz.bin"));

extern "C" {
extern const uint8_t orlat_embedded_fon_en_begin[];
extern const uint8_t orlat_embedded_fon_en_end[];
extern const uint8_t orlat_embedded_fon_hz_begin[];
extern const uint8_t orlat_embedded_fon_hz_end[];
}

std::span<const uint8_t> EmbeddedFontEn()
{
    return {orlat_embedded_fon_en_begin, orlat_embedded_fon_en_end};
}

std::span<const uint8_t> EmbeddedFontHz()
{
    return {orlat_embedded_fon_hz_begin, orlat_embedded_fon_hz_end};
}
