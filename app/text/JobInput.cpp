#include "app/text/JobInput.h"

#include <algorithm>

#include "model/Numeric.h"
#include "model/Page.h"

int32_t CopiesFromInput(double value) { return TruncToInt(value); }

StartPosResult StartPosFromInput(double mm, int32_t maxX)
{
    const int32_t a = TruncToInt(mm * 40);
    if (int64_t{a} <= int64_t{maxX} - 40) return {TruncToInt(a / 40.0), false};
    return {0, true};
}

SplitLengthResult SplitLengthFromInput(double mm, const COnePage& page, int language)
{
    SplitLengthResult r;
    r.width = TruncToInt(mm * 40);
    if (r.width < 40) {
        r.refusal = language == 0 ? QStringLiteral("分页长度不能小于1mm！") : QStringLiteral("Page length below 1 mm!");
        return r;
    }
    int32_t maxY = 0;
    for (const auto& c : page.m_curves)
        for (const PlotPoint& p : c->m_points) maxY = std::max(maxY, p.y);
    if ((int64_t{maxY} + r.width - 1) / r.width > kMaxSplitStrips) {
        r.refusal = language == 0 ? QStringLiteral("分页数超过1000！") : QStringLiteral("More than 1000 pages!");
    }
    return r;
}

QString CopiesPrompt() { return QStringLiteral("请输入份数:"); }

QString StartPosPrompt(int language)
{
    return language == 0 ? QStringLiteral("输入起始位置(mm):") : QStringLiteral("Input Start(mm):");
}

QString StartPosRefusal(int language)
{
    return language == 0 ? QStringLiteral("输入的起始点超过图形长度！")
                         : QStringLiteral("Start pos bigger than plot length!");
}

QString SplitPrompt(int language)
{
    return language == 0 ? QStringLiteral("输入分页长度(mm):") : QStringLiteral("Input Page Len(mm):");
}
