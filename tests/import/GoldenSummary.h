#pragma once
// What the readers give, as the short texts of the golden files: a page's
// curve count, points, kinds, line types, bounds and one hash over every
// point (the points themselves where there are few); a DXF import's drawing,
// page and label file; a DXF reader's states along a script of operations.
// The readers are template parameters so the files could be written from the
// readers these replaced.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <string_view>

#include "import/DxfLabelFile.h"
#include "model/Curve.h"
#include "model/Page.h"
#include "model/Text.h"
#include "tests/import/DxfDrawingDump.h"

namespace golden {

// FNV-1a, 64 bits.
class Hash {
public:
    void Add(std::string_view s)
    {
        for (const unsigned char c : s) {
            m_h ^= c;
            m_h *= 1099511628211ull;
        }
    }
    std::string Hex() const
    {
        char b[20];
        std::snprintf(b, sizeof b, "%016llx", static_cast<unsigned long long>(m_h));
        return b;
    }

private:
    uint64_t m_h = 1469598103934665603ull;
};

inline std::string HashOf(std::string_view s)
{
    Hash h;
    h.Add(s);
    return h.Hex();
}

// Printable ASCII as it is, every other byte and the backslash as \xHH; cut
// after keep bytes (with the length said).
inline std::string Escape(std::string_view s, size_t keep = std::string_view::npos)
{
    std::string out;
    for (size_t i = 0; i < s.size() && i < keep; ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c >= 0x20 && c < 0x7f && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char b[8];
            std::snprintf(b, sizeof b, "\\x%02x", c);
            out += b;
        }
    }
    if (s.size() > keep) out += "...(" + std::to_string(s.size()) + " bytes)";
    return out;
}

inline std::string FileBytes(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The page's bounds fields and every curve's kind, line type and points.
inline std::string CurveLine(const CCurve& c)
{
    std::string s = "curve " + std::to_string(c.m_kind) + ' ' + std::to_string(c.m_lineType) + ':';
    for (const PlotPoint& p : c.m_points) s += ' ' + std::to_string(p.x) + ',' + std::to_string(p.y);
    return s + '\n';
}

// Pages with at most this many points show them in their record.
constexpr size_t kShownPoints = 64;

// One line of counts, kinds, line types, point bounds and the hash of the
// whole page; with detail the curves themselves where they are few.
inline std::string PageSummary(const COnePage& page, bool detail)
{
    Hash h;
    h.Add("bounds " + std::to_string(page.m_minX) + ' ' + std::to_string(page.m_maxX) + ' ' +
          std::to_string(page.m_minY) + ' ' + std::to_string(page.m_maxY) + '\n');
    std::map<int32_t, size_t> kinds, lines;
    size_t points = 0;
    int32_t x0 = INT32_MAX, x1 = INT32_MIN, y0 = INT32_MAX, y1 = INT32_MIN;
    std::string shown;
    for (const auto& c : page.m_curves) {
        const std::string line = CurveLine(*c);
        h.Add(line);
        if (detail) shown += line;
        ++kinds[c->m_kind];
        ++lines[c->m_lineType];
        points += c->m_points.size();
        for (const PlotPoint& p : c->m_points) {
            x0 = std::min(x0, p.x);
            x1 = std::max(x1, p.x);
            y0 = std::min(y0, p.y);
            y1 = std::max(y1, p.y);
        }
    }
    std::string s = "curves " + std::to_string(page.m_curves.size()) + " points " + std::to_string(points) + " kinds";
    for (const auto& [k, n] : kinds) s += ' ' + std::to_string(k) + ':' + std::to_string(n);
    s += " lines";
    for (const auto& [k, n] : lines) s += ' ' + std::to_string(k) + ':' + std::to_string(n);
    s += points ? " bounds " + std::to_string(x0) + ' ' + std::to_string(x1) + ' ' + std::to_string(y0) + ' ' +
                      std::to_string(y1)
                : std::string(" bounds none");
    s += " hash " + h.Hex() + '\n';
    if (points <= kShownPoints) s += shown;
    return s;
}

// ---- HP-GL ----------------------------------------------------------------

// A curve far to the right, so a page break lands beyond it.
inline void Prefill(COnePage& page)
{
    auto c = std::make_unique<CCurve>();
    c->m_points = {{5000, 10}, {70000, 20}};
    page.m_curves.push_back(std::move(c));
}

// The result code, and the page into an empty page and into one that holds
// the curve of Prefill. check(reader, page, prefilled) sees every page
// once it is summed up.
template <class Reader, class Check>
std::string HpglSummary(const std::string& path, size_t block, bool detail, Check&& check)
{
    std::string out;
    for (const bool prefilled : {false, true}) {
        Reader r;
        r.m_strPath = FromUtf8(path);
        r.m_blockSize = block;
        int rc = 0;
        try {
            rc = r.ReadPltFile();
        } catch (const std::exception& e) {
            return "threw " + Escape(e.what()) + '\n';
        }
        if (!prefilled) out += "rc " + std::to_string(rc) + '\n';
        if (rc != 0) return out;
        COnePage page;
        if (prefilled) Prefill(page);
        r.ToPage(page, true);
        out += (prefilled ? "prefilled " : "") + PageSummary(page, detail && !prefilled);
        check(r, page, prefilled);
    }
    return out;
}

// ---- DXF import -------------------------------------------------------------

template <class Drawing>
std::string DrawingSummary(const Drawing& d, bool detail)
{
    const std::string dump = dxfdump::DumpDrawing(d);
    std::string s = "drawing entities " + std::to_string(d.entities.count) + " blocks " +
                    std::to_string(d.blocks.size()) + " ids " + std::to_string(d.idCounter) + " error " +
                    std::to_string(static_cast<int>(d.error)) + " hash " + HashOf(dump) + '\n';
    if (!detail || std::count(dump.begin(), dump.end(), '\n') > 24) return s;
    std::istringstream lines(dump);
    for (std::string line; std::getline(lines, line);) s += Escape(line, 160) + '\n';
    return s;
}

// The load, the drawing, the conversion's result, page and label file (its
// label file written at labelPath, with the "IN;SP1;" the import starts with).
template <class Dxf>
std::string DxfImportSummary(const std::string& path, const std::filesystem::path& labelPath, bool detail)
{
    Dxf dxf;
    dxf.CreateDrawing();
    const int loaded = dxf.LoadDxf(FromUtf8(path));
    std::string out = "loaded " + std::to_string(loaded) + '\n' + DrawingSummary(*dxf.Drawing(), detail);
    if (loaded != 1) return out;
    COnePage page;
    int result = 0;
    {
        CDxfLabelFile labels;
        labels.Create(FromUtf8(labelPath.string()));
        labels.Write("IN;SP1;");
        result = dxf.ImportToPage(page, labels);
        labels.Close();
    }
    const std::string labels = FileBytes(labelPath);
    out += "result " + std::to_string(result) + '\n' + PageSummary(page, detail);
    out += "labels " + std::to_string(labels.size()) + " bytes hash " + HashOf(labels) + '\n';
    if (detail) out += "label text " + Escape(labels, 400) + '\n';
    return out;
}

// ---- The DXF reader ---------------------------------------------------------

// The reader's state after an operation with its result; the value cut at
// keep bytes.
template <class R>
std::string ReaderState(const R& r, long result, size_t keep = std::string_view::npos)
{
    std::ostringstream s;
    s << "result " << result << " pos " << r.pos << " mark " << r.mark << " size " << r.size << " window "
      << r.bufferStart << '+' << r.bufferLen << " section " << r.section << " table " << r.table << " block "
      << r.blockOpen << " pair " << r.code << " [" << Escape(r.value.data(), keep) << "] progress " << r.lastPercent;
    return s.str();
}

// One operation of the reader's interface, chosen by op (Api: the reader's
// functions).
template <class R, class Api>
long RunOperation(R& r, int op, const char* text)
{
    switch (op) {
    case 0:
    case 1:
    case 2: return Api::ReadPair(r);
    case 3: {
        char small[6];
        const long n = static_cast<long>(Api::GetLine(r, small, sizeof small));
        return n * 1000 + (small[0] & 0x7f);
    }
    case 4: Api::SetMark(r); return 0;
    case 5: Api::Rewind(r); return 0;
    case 6: return Api::SeekGroup(r, 0, text);
    case 7: return Api::SeekGroupInSection(r, 0, text, op % 2 == 0);
    case 8: return Api::NextSection(r);
    case 9: return Api::NextTable(r);
    case 10: Api::CloseSection(r); return 0;
    case 11: Api::PassEndBlock(r); return 0;
    default: Api::ProgressStep(r); return 0;
    }
}

// The state at open, the steps taken and a hash of the state after each,
// the state at the end and the close's result. A seeded script of operations
// (mostly pairs, so the end is reached) or pairs only to the end.
template <class R, class Api>
std::string ReaderTrace(const std::string& path, unsigned seed, bool pairsOnly)
{
    auto r = Api::Open(FromUtf8(path));
    if (!r) return "open failed\n";
    static const char* texts[] = {"SECTION", "TABLE", "ENDSEC", "ENTITIES", "EOF", "LINE", "nothing"};
    std::mt19937 rng(seed);
    std::string out = "open " + ReaderState(*r, 0, 40) + '\n';
    Hash trace;
    const int steps = pairsOnly ? 1000000 : 20000;
    int step = 0;
    long last = 0;
    for (; step < steps && !(Api::AtEnd(*r) && step > 50); ++step) {
        const int op = pairsOnly ? 0 : static_cast<int>(rng() % 14);
        const char* text = texts[rng() % std::size(texts)];
        last = RunOperation<R, Api>(*r, op, text);
        trace.Add(ReaderState(*r, last));
        trace.Add("\n");
    }
    out += "steps " + std::to_string(step) + " trace " + trace.Hex() + '\n';
    out += "end " + ReaderState(*r, last, 40) + '\n';
    out += "close " + std::to_string(Api::Close(r)) + '\n';
    return out;
}

}  // namespace golden
