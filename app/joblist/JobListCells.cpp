#include "app/joblist/JobListCells.h"

#include <ctime>

#include "model/Page.h"

std::vector<JobListColumn> JobListColumnsFor(int language)
{
    if (language == 0) {
        const Qt::Alignment a = Qt::AlignLeft | Qt::AlignVCenter;
        return {{QStringLiteral("序号"), 64, a},       {QStringLiteral("状态"), 120, a},
                {QStringLiteral("Xmm*Ymm"), 160, a},   {QStringLiteral("份数"), 80, a},
                {QStringLiteral("起始位置"), 80, a},   {QStringLiteral("修改时间"), 160, a},
                {QStringLiteral("文件名"), 500, a}};
    }
    const Qt::Alignment a = Qt::AlignCenter;
    if (language == 2) {
        return {{QStringLiteral("No."), 64, a},          {QStringLiteral("State"), 80, a},
                {QStringLiteral("Ebat (X*Y)mm"), 160, a}, {QStringLiteral("Kopyalar"), 80, a},
                {QStringLiteral("Baslat"), 80, a},       {QStringLiteral("Msuresi"), 160, a},
                {QStringLiteral("Dosya"), 500, a}};
    }
    return {{QStringLiteral("No."), 64, a},         {QStringLiteral("State"), 80, a},
            {QStringLiteral("Size(X*Y)mm"), 160, a}, {QStringLiteral("Copies"), 80, a},
            {QStringLiteral("Start At"), 80, a},    {QStringLiteral("MTime"), 160, a},
            {QStringLiteral("File Name"), 500, a}};
}

namespace {

QString StateText(int32_t state, int language)
{
    static const char16_t* const zh[] = {u"手动开始", u"自动开始", u"已完成", u"打印中"};
    static const char16_t* const en[] = {u"Manual", u"Auto", u"Done", u"Printing"};
    if (state < 0 || state > 3) return {};
    return QString::fromUtf16(language == 0 ? zh[state] : en[state]);
}

// Millimetres of an extent, formed in 64 bits: a page may span the whole
// int32 range.
long long SizeMm(int32_t lo, int32_t hi)
{
    return static_cast<long long>(static_cast<double>(int64_t{hi} - lo) / 40.0);
}

}  // namespace

QString FormatJobTime(int64_t secondsSince1970)
{
    const std::time_t t = static_cast<std::time_t>(secondsSince1970);
    std::tm tm{};
    if (localtime_r(&t, &tm) == nullptr) return {};
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                             tm.tm_hour, tm.tm_min, tm.tm_sec);
}

QString JobCellText(const COnePage& page, int row, int column, int language)
{
    switch (column) {
    case 0: return QString::asprintf("%03d", row + 1);
    case 1: return StateText(page.m_state, language);
    case 2: return QString::asprintf("%lld * %lld ", SizeMm(page.m_minX, page.m_maxX), SizeMm(page.m_minY, page.m_maxY));
    case 3: return QString::number(page.m_copies);
    case 4: return QString::asprintf("%dmm", page.m_startPos);
    case 5: return FormatJobTime(page.m_time);
    case 6: return QString::fromStdU16String(page.m_strFileName);
    default: return {};
    }
}
