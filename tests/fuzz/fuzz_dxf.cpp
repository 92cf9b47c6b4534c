// DXF reading, load and conversion of arbitrary bytes. The reader's pairs
// against a plain reading of the bytes (lines split at CR, CR LF and LF, the
// code as strtol takes it), a mark and rewind reading the same pairs again;
// the load failing only with its reason, the conversion only at its limits,
// and every text written as one label that no byte in it can end.
#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "import/DxfImport.h"
#include "import/DxfLabelFile.h"
#include "import/DxfReader.h"
#include "model/Page.h"
#include "model/Settings.h"
#include "model/Text.h"
#include "tests/support/TempFolder.h"

namespace {

// One folder per fuzzing process for the input copy and the label file,
// removed when the process ends.
const std::filesystem::path& WorkDir()
{
    static const testsupport::TempFolder folder("orlat_fuzz_dxf_");
    static const bool set = [] {
        theSettings.Set(Slot::DxfUnit, 40);
        theSettings.SetPath(Slot::ProgramDir, folder.Dir());
        return true;
    }();
    (void)set;
    return folder.path();
}

struct PlainPair {
    int32_t code = 0;
    std::string value;  // cut as the reader cuts it
    int64_t end = 0;    // the offset after the value's line end
};

// The line at p and the offset after its end.
std::string_view PlainLine(std::string_view bytes, size_t& p)
{
    size_t stop = p;
    while (stop < bytes.size() && bytes[stop] != '\r' && bytes[stop] != '\n') ++stop;
    const std::string_view line = bytes.substr(p, stop - p);
    p = stop;
    if (p < bytes.size()) {
        const bool cr = bytes[p] == '\r';
        ++p;
        if (cr && p < bytes.size() && bytes[p] == '\n') ++p;
    }
    return line;
}

std::vector<PlainPair> PlainPairs(std::string_view bytes)
{
    std::vector<PlainPair> out;
    size_t p = 0;
    while (p < bytes.size()) {
        PlainPair pair;
        char code[kDxfCodeLineSize] = {};
        const std::string_view c = PlainLine(bytes, p);
        std::memcpy(code, c.data(), std::min(c.size(), sizeof code - 1));
        const long v = std::strtol(code, nullptr, 10);
        pair.code = static_cast<int32_t>(v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : v);
        pair.value = std::string(PlainLine(bytes, p).substr(0, kDxfValueSize - 1));
        pair.end = static_cast<int64_t>(p);
        out.push_back(std::move(pair));
    }
    return out;
}

void CheckReader(const std::u16string& path, std::string_view bytes)
{
    const std::vector<PlainPair> want = PlainPairs(bytes);
    auto r = DxfOpenReader(path);
    if (!r) __builtin_trap();
    size_t i = 0;
    for (; !DxfAtEnd(*r); ++i) {
        DxfReadPair(*r);
        if (i >= want.size()) __builtin_trap();
        const PlainPair& w = want[i];
        if (r->code != w.code || r->pos != w.end || r->valueView != w.value || r->valueLen != w.value.size() ||
            std::strcmp(r->value.data(), w.value.c_str()) != 0)
            __builtin_trap();
    }
    if (i != want.size()) __builtin_trap();
    // A mark, some pairs, a rewind: the same pairs again. The bytes pick
    // where and how many.
    r->mark = 0;
    DxfRewind(*r);  // back to the start
    const size_t from = want.empty() ? 0 : static_cast<unsigned char>(bytes[0]) % want.size();
    for (size_t k = 0; k < from; ++k) DxfReadPair(*r);
    DxfSetMark(*r);
    const size_t n = bytes.size() > 1 ? static_cast<unsigned char>(bytes[1]) % 9 : 1;
    std::vector<std::string> first;
    for (size_t k = 0; k < n && !DxfAtEnd(*r); ++k) {
        DxfReadPair(*r);
        first.push_back(std::to_string(r->code) + ' ' + std::string(r->valueView));
    }
    DxfRewind(*r);
    for (const std::string& f : first) {
        DxfReadPair(*r);
        if (f != std::to_string(r->code) + ' ' + std::string(r->valueView)) __builtin_trap();
    }
    if (DxfCloseReader(r) != 1) __builtin_trap();
}

// The label file: "IN;SP1;", then for each text "PU<x>,<y>;DI<c>,<s>;LB"
// with the text, no control byte in it, and its terminator.
void CheckLabels(const std::string& labels)
{
    if (labels.rfind("IN;SP1;", 0) != 0) __builtin_trap();
    size_t p = 7;
    while (p < labels.size()) {
        if (labels.compare(p, 2, "PU") != 0) __builtin_trap();
        const size_t lb = labels.find(";LB", p);
        if (lb == std::string::npos || labels.find(";DI", p) > lb) __builtin_trap();
        for (size_t k = p + 2; k < lb; ++k)
            if (!std::strchr("0123456789-,.;DI", labels[k])) __builtin_trap();
        p = lb + 3;
        for (; p < labels.size() && labels[p] != '\x03'; ++p) {
            const auto b = static_cast<unsigned char>(labels[p]);
            if (b < 0x20 || b == 0x7f) __builtin_trap();
        }
        if (p == labels.size()) __builtin_trap();
        ++p;
    }
}

std::string FileText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::filesystem::path file = WorkDir() / "input.dxf";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const std::u16string path = FromUtf8(file.string());
    CheckReader(path, std::string_view(reinterpret_cast<const char*>(data), size));
    CDxfDrawing dxf;
    if (dxf.CreateDrawing() != 1) __builtin_trap();
    // Any readable file loads, unless it holds more blocks or table entries
    // than the drawing takes: then the load fails and says why.
    const int loaded = dxf.LoadDxf(path);
    if (loaded != 1) {
        if (dxf.Drawing()->error == DxfLoadError::None) __builtin_trap();
        return 0;
    }
    COnePage page;
    int result = 0;
    {
        CDxfLabelFile labels;
        labels.Create(DxfLabelFilePath());
        labels.Write("IN;SP1;");
        result = dxf.ImportToPage(page, labels);
        dxf.DestroyDrawing();
        labels.Close();
    }
    if (result != DxfImportResult::Ok && result != DxfImportResult::TooLarge) __builtin_trap();
    CheckLabels(FileText(ToUtf8(DxfLabelFilePath())));
    return 0;
}
