#include "import/StrokeFont.h"

#include <algorithm>
#include <cstring>
#include <fstream>

#include "model/Text.h"

namespace {

// A font bigger than this is not a stroke font (the built-in one is 474,782 bytes);
// it also keeps every offset inside int32.
constexpr size_t kMaxFontSize = size_t{64} << 20;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

UserMessage FontLoadMessage(const std::string& text)
{
    // The loader's texts name the font file last; the Chinese text does too.
    struct Form {
        const char* english;
        const char* key;
        const char16_t* chinese;
    };
    static constexpr Form kForms[] = {
        {"Failed to open ", "FontOpenFailed", u"无法打开字库文件 "},
        {"Failed to read ", "FontReadFailed", u"无法读取字库文件 "},
        {"Damaged font file ", "FontDamaged", u"字库文件已损坏 "},
        {"Empty font file ", "FontEmpty", u"字库文件为空 "},
    };
    const std::u16string english = FromUtf8(text);
    for (const Form& f : kForms)
        if (text.starts_with(f.english)) return {f.key, f.chinese + FromUtf8(text.substr(std::strlen(f.english))), english};
    return {"FontMessage", english, english};
}

void ReportFontMessage(const std::string& text) { ShowMessage(FontLoadMessage(text)); }

void CStrokeFont::Clear()
{
    *this = CStrokeFont();
}

std::string CStrokeFont::Load(const std::string& path, FontKind kind)
{
    // The messages name the font by its own file name, whatever the path.
    const std::string name = kind == FontKind::SingleByte ? "fon_en.bin" : "fon_hz.bin";
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        Clear();
        return "Failed to open " + name;
    }
    std::vector<uint8_t> bytes;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || static_cast<uint64_t>(size) > kMaxFontSize) {
        Clear();
        return "Failed to read " + name;
    }
    in.seekg(0);
    bytes.resize(static_cast<size_t>(size));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) {
        Clear();
        return "Failed to read " + name;
    }
    return Parse(std::move(bytes), kind, name);
}

std::string CStrokeFont::Parse(std::vector<uint8_t> bytes, FontKind kind, const std::string& name)
{
    Clear();
    const bool single = kind == FontKind::SingleByte;
    const size_t headerSize = single ? 10 : 8;
    const size_t entrySize = single ? 10 : 8;
    const std::string bad = "Damaged font file " + name;
    if (bytes.size() < headerSize || bytes.size() > kMaxFontSize) return bytes.empty() ? "Empty font file " + name : bad;

    const uint8_t* p = bytes.data();
    const uint32_t count = U32(p + (single ? 6 : 4));
    if (count > (bytes.size() - headerSize) / entrySize) return bad;

    std::vector<CCharactor> index(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* e = p + headerSize + size_t{i} * entrySize;
        CCharactor& c = index[i];
        c.m_code = U16(e);
        c.m_strokeLen = U16(e + 2);
        const uint32_t offset = single ? U32(e + 6) : U32(e + 4);
        c.m_advance = single ? U16(e + 4) : 0;
        if (offset > bytes.size() || c.m_strokeLen > bytes.size() - offset) return bad;
        c.m_offset = static_cast<int32_t>(offset);
        if (i > 0 && c.m_code < index[i - 1].m_code) return bad;
    }

    // A zero cell height would collapse every glyph: such a header is damaged.
    if (single) {
        if (U16(p) + U16(p + 2) == 0) return bad;
        m_topGap = U16(p);
        m_ascent = U16(p + 2);
        m_descent = U16(p + 4);
    } else {
        if (U16(p) == 0) return bad;
        m_cellHeight = U16(p);
        m_advance = U16(p + 2);
    }
    m_index = std::move(index);
    m_data = std::move(bytes);
    return {};
}

const CCharactor* CStrokeFont::Find(uint16_t code) const
{
    auto it = std::lower_bound(m_index.begin(), m_index.end(), code,
                               [](const CCharactor& c, uint16_t v) { return c.m_code < v; });
    if (it == m_index.end() || it->m_code != code) return nullptr;
    return &*it;
}
