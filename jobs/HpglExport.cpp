#include "jobs/HpglExport.h"

#include <cstdio>

#include "model/Page.h"

namespace {

void Append(std::string& out, const char* format, int a)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, format, a);
    out += buf;
}

void Append(std::string& out, const char* format, int a, int b)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, format, a, b);
    out += buf;
}

}  // namespace

std::string HpglExportText(const std::vector<std::unique_ptr<COnePage>>& pages)
{
    std::string out;
    for (const auto& page : pages) {
        int lineType = 0;
        int pen = 1;
        bool first = true;
        for (const auto& curve : page->m_curves) {
            if (curve->m_lineType != lineType) {
                lineType = curve->m_lineType;
                Append(out, "LT%d;", lineType);
            }
            if (curve->m_kind != pen || first) {
                pen = curve->m_kind;
                Append(out, "SP%d;", pen);
            }
            first = false;
            if (curve->m_points.empty()) continue;
            Append(out, "PU%d,%d;PD", curve->m_points[0].x, curve->m_points[0].y);
            for (const PlotPoint& p : curve->m_points) Append(out, "%d,%d,", p.x, p.y);
            out += ';';
        }
        out += "PG;";
    }
    return out;
}
