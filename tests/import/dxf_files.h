#pragma once
// Helpers of the DXF tests: DXF text from compact line lists, loads from a temporary folder.
#include <filesystem>
#include <memory>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

#include "import/DxfDrawing.h"
#include "model/Text.h"
#include "tests/support/TempFolder.h"

namespace dxftest {

// "0|SECTION|2|ENTITIES" -> the lines joined by eol (and ended by it).
inline std::string Lines(std::string_view list, std::string_view eol = "\r\n")
{
    std::string out;
    size_t start = 0;
    while (start <= list.size()) {
        const size_t bar = list.find('|', start);
        const size_t end = bar == std::string_view::npos ? list.size() : bar;
        out.append(list.substr(start, end - start));
        out.append(eol);
        if (bar == std::string_view::npos) break;
        start = bar + 1;
    }
    return out;
}

inline std::string Section(std::string_view name, std::string_view body, std::string_view eol = "\r\n")
{
    return Lines("0|SECTION|2|" + std::string(name), eol) + std::string(body) + Lines("0|ENDSEC", eol);
}

inline std::string Eof(std::string_view eol = "\r\n") { return Lines("0|EOF", eol); }

// The usual small table prefix: one LTYPE "CONTINUOUS", layers "0" and more.
inline std::string LTypeTable(std::string_view eol = "\r\n")
{
    return Lines("0|TABLE|2|LTYPE|70|1|0|LTYPE|2|CONTINUOUS|70|0|3|Solid line|72|65|73|0|40|0.0|0|ENDTAB", eol);
}

inline std::string ReplaceAll(std::string s, std::string_view from, std::string_view to)
{
    size_t at = 0;
    while ((at = s.find(from, at)) != std::string::npos) {
        s.replace(at, from.size(), to);
        at += to.size();
    }
    return s;
}

inline std::string ReadBytes(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

using TempFolder = testsupport::TempFolder;

// A drawing loaded from DXF text, with the load's result.
struct Loaded {
    std::unique_ptr<DxfDrawing> d = DxfCreateDrawing();
    int result = 0;
};

inline Loaded Load(const std::string& bytes)
{
    TempFolder dir;
    Loaded l;
    l.result = DxfLoadFile(*l.d, 0, dir.Write("t.dxf", bytes));
    return l;
}

}  // namespace dxftest
