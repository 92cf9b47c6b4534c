// plot-info: imports one plot file as the program does and prints one JSON line.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "import/PlotImport.h"
#include "model/Page.h"
#include "model/Settings.h"
#include "model/Text.h"

namespace {

struct Options {
    bool prepare = false;
    bool outlines = false;
    bool mil = false;
    int paperMm = 2000;
    std::string file;
};

void Usage()
{
    std::fprintf(stderr, "usage: plot-info [--prepare [--outlines]] [--paper-mm N] [--mil] FILE\n");
}

bool ParseArgs(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--prepare") {
            o.prepare = true;
        } else if (a == "--outlines") {
            o.outlines = true;
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
    // --outlines belongs to the preparation.
    return !o.file.empty() && (o.prepare || !o.outlines);
}

// The settings file's defaults for what the import and its preparation read.
void ApplyDefaults(const Options& o)
{
    if (theSettings.Get(Slot::DxfUnit) == 0) theSettings.Set(Slot::DxfUnit, 40);
    theSettings.Set(Slot::PaperLenMm, o.paperMm);
    theSettings.Set(Slot::AutoRotate, 1);
    theSettings.Set(Slot::SearchOutline, o.outlines ? 1 : 0);
    theSettings.Set(Slot::AutoStart, 1);
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

    ApplyDefaults(o);

    const auto t0 = std::chrono::steady_clock::now();
    COnePage page;
    PlotImportOptions options;
    options.mil = o.mil;
    options.prepare = o.prepare;
    const PlotImportResult r = ImportPlotFile(FromUtf8(o.file), page, options);
    // Outline search starts from plot lines only: every cut line is one it made.
    int outlines = 0;
    if (o.outlines)
        for (const auto& c : page.m_curves) outlines += c->m_kind == CurveKind::Cut;
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    if (r.message) std::fprintf(stderr, "plot-info: %s\n", ToUtf8(r.message.english).c_str());
    const bool dxf = r.format == PlotFormat::Dxf;
    std::string entities;  // fixed ASCII type names
    for (const auto& [type, n] : r.entities) entities += (entities.empty() ? "\"" : ", \"") + type + "\": " + std::to_string(n);

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
                JsonString(name).c_str(), dxf ? "dxf" : "hpgl", r.code, plot, cut, shortcut, points, page.m_minX, page.m_maxX,
                page.m_minY, page.m_maxY, page.m_inkMaxX, page.m_inkMaxY, page.m_cutMaxX, page.m_cutMaxY);
    if (dxf) std::printf(", \"entities\": {%s}", entities.c_str());
    if (o.prepare && r.code == 0) std::printf(", \"outlines\": %d", outlines);
    std::printf(", \"ms\": %.1f}\n", ms);
    return r.code == 0 ? 0 : 1;
}
