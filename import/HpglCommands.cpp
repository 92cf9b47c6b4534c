// What each HP-GL command does to the pen, the label state and the records.
#include <cmath>
#include <limits>

#include "import/HpglFile.h"
#include "import/HpglNumber.h"
#include "model/Numeric.h"

namespace {

constexpr double kPi = 3.14159265359;

bool Is(char a, char b, const char* m) { return a == m[0] && b == m[1]; }

}  // namespace

void CHpglFile::SetLabelDefaults()
{
    m_charHeight = 0.375;
    m_charWidth = 0.285;
    m_labelTerm = 3;
    m_labelTermMode = 1;
    m_labelDir = 0;
    m_labelOrigin = 1;
    if (m_eventCount > 0) EmitLineType(nullptr);
}

// A path from the pen through the first `pairs` number pairs; an unpaired
// last number is left out.
void CHpglFile::RecordPairs(size_t pairs)
{
    EmitStart(m_penX, m_penY);
    for (size_t i = 0; i < pairs; ++i) {
        m_penX = RoundPlotCoord(m_numbers[2 * i]);
        m_penY = RoundPlotCoord(m_numbers[2 * i + 1]);
        EmitPathPoint(m_penX, m_penY);
    }
}

void CHpglFile::ExecuteCommand(char a, char b)
{
    const std::vector<double>& num = m_numbers;
    const size_t n = num.size();
    const size_t pairs = n / 2;
    auto moveToLastPair = [&] {
        m_penX = RoundPlotCoord(num[2 * pairs - 2]);
        m_penY = RoundPlotCoord(num[2 * pairs - 1]);
    };

    if (Is(a, b, "PD")) {
        m_penDown = 1;
        if (pairs > 0) RecordPairs(pairs);
    } else if (Is(a, b, "PU")) {
        m_penDown = 0;
        if (pairs > 0) moveToLastPair();
    } else if (Is(a, b, "PA")) {
        if (pairs == 0) return;
        if (m_penDown)
            RecordPairs(pairs);
        else
            moveToLastPair();
    } else if (Is(a, b, "LB")) {
        DrawLabel();
    } else if (Is(a, b, "SP")) {
        const int32_t v = n > 0 ? RoundHalfUp(num[0]) : 0;
        EmitPen(&v);
    } else if (Is(a, b, "LT")) {
        const int32_t v = n > 0 && RoundHalfUp(num[n - 1]) != 0 ? 1 : 0;
        EmitLineType(&v);
    } else if (Is(a, b, "PG") || Is(a, b, "FR")) {
        EmitPage();
    } else if (Is(a, b, "IN")) {
        SetLabelDefaults();
        m_penX = m_penY = 0;
        m_penDown = 0;
    } else if (Is(a, b, "DF")) {
        SetLabelDefaults();
    } else if (Is(a, b, "DI")) {
        if (n < 2)
            m_labelDir = 0;
        else if (num[0] != 0 || num[1] != 0)
            m_labelDir = std::atan2(num[1], num[0]) * 180 / kPi;
    } else if (Is(a, b, "DR")) {
        if (n == 0)
            m_labelDir = 0;
        else if (n == 2 && ((num[0] == 0) != (num[1] == 0)))
            m_labelDir = std::atan2(num[1], num[0]) * 180 / kPi;
    } else if (Is(a, b, "SI")) {
        if (n < 2) {
            m_charHeight = 0.375;
            m_charWidth = 0.285;
        } else {
            m_charWidth = num[0];
            m_charHeight = num[1];
        }
    } else if (Is(a, b, "LO")) {
        const int32_t v = n > 0 ? RoundHalfUp(num[0]) : 1;
        m_labelOrigin = (v >= 1 && v <= 19 && v != 10) ? v : 1;
    }
    // Everything else (PR, CI, PS, VS, ...) is read and ignored.
}
