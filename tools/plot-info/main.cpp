// plot-info: imports one plot file as the program does and prints one JSON line.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "import/DxfFileImport.h"
#include "import/DxfImport.h"
#include "import/HpglFile.h"
#include "model/ImportPreparation.h"
#include "model/Page.h"
#include "model/Settings.h"
#include "model/Text.h"

namespace {

struct Options {
    bool prepare = false;
    bool mil = false;
    int paperMm = 2000;
    std::string file;
};

// What an import reports besides the page.
struct ImportResult {
    const char* format = "hpgl";
    int result = 0;
    bool ok = false;
    std::string entities;  // JSON object body for DXF (empty when nothing is stored)
    int outlines = -1;     // set by the preparation
};

void Usage()
{
    std::fprintf(stderr, "usage: plot-info [--prepare] [--paper-mm N] [--mil] FILE\n");
}

bool ParseArgs(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--prepare") {
            o.prepare = true;
        } else if (a == "--mil") {
            o.mil = true;
        } else if (a == "--paper-mm" && i + 1 < argc) {
            char* end = nullptr;
            const long v = std::strtol(argv[++i], &end, 10);
            if (*end != 0 || v <= 0 || v > 100000) return false;
            o.paperMm = static_cast<int>(v);
        } else if (!a.empty() && a[0] != '-' && o.file.empty()) {
            o.file = a;
        } else {
            return false;
        }
    }
    return !o.file.empty();
}

bool EndsWithDxf(const std::string& name)
{
    if (name.size() < 4) return false;
    std::string ext = name.substr(name.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext == ".dxf";
}

ImportResult ImportHpgl(const Options& o, COnePage& page)
{
    ImportResult r;
    CHpglFile reader;
    reader.m_strPath = FromUtf8(o.file);
    r.result = reader.ReadPltFile();
    r.ok = r.result == 0;
    if (!r.ok) return r;
    reader.ToPage(page, true);
    // With --prepare the preparation scales, after its clean-up.
    if (o.mil && !o.prepare)
        for (auto& c : page.m_curves) c->Scale(1.016, 1.016);
    page.CalcPageBounds();
    page.CalcInkExtents();
    page.CalcCutExtents();
    return r;
}

ImportResult ImportDxf(const Options& o, COnePage& page)
{
    ImportResult r;
    r.format = "dxf";
    if (theSettings.Get(Slot::DxfUnit) == 0) theSettings.Set(Slot::DxfUnit, 40);  // the settings file's default
    CDxfDrawing dxf;
    DxfEntityCounts counts;
    r.result = ImportDxfIntoPage(dxf, FromUtf8(o.file), page, &counts);
    r.ok = r.result == DxfImportResult::Ok;
    for (const auto& [type, n] : counts)  // fixed ASCII type names
        r.entities += (r.entities.empty() ? "\"" : ", \"") + type + "\": " + std::to_string(n);
    page.JoinConnectedCurves();
    page.CalcPageBounds();
    page.CalcInkExtents();
    page.CalcCutExtents();
    return r;
}

// The preparation of a new job with the settings file's defaults and the
// given paper width; counts the curves that outline detection made cut lines.
void Prepare(const Options& o, COnePage& page, ImportResult& r)
{
    theSettings.Set(Slot::PaperLenMm, o.paperMm);
    theSettings.Set(Slot::AutoRotate, 1);
    theSettings.Set(Slot::SearchOutline, 0);
    theSettings.Set(Slot::AutoStart, 1);
    const PrepareResult prep = PrepareImportedPage(page, o.mil && std::strcmp(r.format, "hpgl") == 0);
    if (prep != PrepareResult::Ok) std::fprintf(stderr, "plot-info: %s\n", ToUtf8(PrepareMessageText(prep, 1)).c_str());
    if (prep == PrepareResult::OutOfMemory) {
        r.ok = false;
        page.DeleteAllCurves();
    }
    page.CalcInkExtents();
    page.CalcCutExtents();
    r.outlines = 0;
    if (theSettings.Get(Slot::SearchOutline) != 0)
        for (const auto& c : page.m_curves) r.outlines += c->m_kind == CurveKind::Cut;
}

std::string JsonString(const std::string& s)
{
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

}  // namespace

int main(int argc, char** argv)
{
    Options o;
    if (!ParseArgs(argc, argv, o)) {
        Usage();
        return 1;
    }
    // Font files beside the executable, written from the embedded fonts when missing.
    theSettings.InitPaths();

    const auto t0 = std::chrono::steady_clock::now();
    COnePage page;
    ImportResult r = EndsWithDxf(o.file) ? ImportDxf(o, page) : ImportHpgl(o, page);
    if (o.prepare && r.ok) Prepare(o, page, r);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();

    long plot = 0, cut = 0, shortcut = 0, points = 0;
    for (const auto& c : page.m_curves) {
        if (c->m_kind == CurveKind::Plot) ++plot;
        else if (c->m_kind == CurveKind::Cut) ++cut;
        else ++shortcut;
        points += static_cast<long>(c->m_points.size());
    }
    const std::string name = o.file.substr(o.file.find_last_of('/') + 1);
    std::printf("{\"file\": %s, \"format\": \"%s\", \"result\": %d, "
                "\"curves\": {\"plot\": %ld, \"cut\": %ld, \"shortcut\": %ld}, \"points\": %ld, "
                "\"bounds\": {\"minX\": %d, \"maxX\": %d, \"minY\": %d, \"maxY\": %d}, "
                "\"ink\": {\"maxX\": %d, \"maxY\": %d}, \"cut\": {\"maxX\": %d, \"maxY\": %d}",
                JsonString(name).c_str(), r.format, r.result, plot, cut, shortcut, points, page.m_minX, page.m_maxX,
                page.m_minY, page.m_maxY, page.m_inkMaxX, page.m_inkMaxY, page.m_cutMaxX, page.m_cutMaxY);
    if (std::strcmp(r.format, "dxf") == 0) std::printf(", \"entities\": {%s}", r.entities.c_str());
    if (o.prepare && r.outlines >= 0) std::printf(", \"outlines\": %d", r.outlines);
    std::printf(", \"ms\": %.1f}\n", ms);
    return r.ok ? 0 : 1;
}
