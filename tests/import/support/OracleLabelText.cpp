// Label text (LB) drawn as strokes of the two stroke fonts.
#include <cmath>
#include <cstring>

#include "OracleHpglFile.h"
#include "import/HpglNumber.h"
#include "model/Numeric.h"
#include "model/Settings.h"
#include "model/Text.h"

namespace {

constexpr double kPi = 3.14159265359;
// Advance of a single-byte glyph when the single-byte font has none (the
// built-in space).
constexpr int64_t kDefaultSpaceAdvance = 20;

void LoadFont(CStrokeFont& font, int slot, FontKind kind)
{
    theSettings.EnsureFontFiles();
    const std::string message = font.Load(ToUtf8(theSettings.Path(slot)), kind);
    if (!message.empty()) ReportFontMessage(message);
}

}  // namespace

void COracleHpglFile::LoadHzFont()
{
    m_glyphPenX = m_glyphPenY = 0;
    LoadFont(m_hzFont, Slot::FontHzPath, FontKind::DoubleByte);
}

void COracleHpglFile::LoadEnFont()
{
    m_glyphPenX = m_glyphPenY = 0;
    LoadFont(m_enFont, Slot::FontEnPath, FontKind::SingleByte);
}

void COracleHpglFile::DrawLabel()
{
    if (m_labelOverflow) return;  // the read fails anyway
    const size_t len = strnlen(m_label, kLabelSize);
    const auto* bytes = reinterpret_cast<const uint8_t*>(m_label);
    const int64_t lineStep = RoundPlotCoord(m_charHeight * 400);
    const int32_t x = m_penX;
    int32_t y = m_penY;
    size_t from = 0;
    auto segment = [&](size_t to) {
        const int n = static_cast<int>(to - from);
        if (n <= 0) return;
        double sx = x, sy = y;
        PlaceLabelOrigin(sx, sy, n);
        DrawLabelText(RoundPlotCoord(sx), RoundPlotCoord(sy), bytes + from, n);
    };
    for (size_t i = 0; i < len; ++i) {
        if (bytes[i] == 13) {
            segment(i);
            from = i + 1;  // X goes back to the pen's X, which it never left
        } else if (bytes[i] == 10) {
            segment(i);
            from = i + 1;
            y = SaturateToInt(y + lineStep);
        }
    }
    segment(len);
}

void COracleHpglFile::PlaceLabelOrigin(double& x, double& y, int n) const
{
    if (n <= 0) return;
    const double h = m_charHeight * 400;
    const double w = m_charWidth * 400;
    const double half = n / 2.0;
    const double full = n;
    const double past = n + 0.25;
    double su = 0, sv = 0;  // shift along the text direction u and its upward normal v
    switch (m_labelOrigin) {
    case 1: sv = h; break;
    case 2: sv = 0.5 * h; break;
    case 3: break;
    case 4: sv = h; su = -half * w; break;
    case 5: sv = 0.5 * h; su = -half * w; break;
    case 6: su = -half * w; break;
    case 7: sv = h; su = -full * w; break;
    case 8: sv = 0.5 * h; su = -full * w; break;
    case 9: su = -full * w; break;
    case 11: su = w / 4; sv = 1.25 * h; break;
    case 12: su = w / 4; sv = 0.5 * h; break;
    case 13: su = w / 4; sv = -h / 4; break;
    case 14: sv = 1.25 * h; su = -half * w; break;
    case 15: sv = 0.5 * h; su = -half * w; break;
    case 16: su = -half * w; sv = -h / 4; break;
    case 17: su = -past * w; sv = 1.25 * h; break;
    case 18: su = -past * w; sv = 0.5 * h; break;
    case 19: su = -past * w; sv = -h / 4; break;
    default: break;
    }
    const double t = m_labelDir / 180 * kPi;
    const double c = std::cos(t), s = std::sin(t);
    x += su * c - sv * s;
    y += su * s + sv * c;
}

PlotPoint COracleHpglFile::TransformGlyphPoint(int32_t x0, int32_t y0, int64_t gx, int64_t gy, double k, double cosT,
                                         double sinT) const
{
    const double base = static_cast<double>(m_enFont.m_topGap + m_enFont.m_ascent) * m_hzFont.m_cellHeight;
    const double fx = static_cast<double>(gx);
    const double fy = static_cast<double>(gy) - base;
    return {SaturateToInt(int64_t{x0} + RoundNearest((fx * cosT - fy * sinT) / k)),
            SaturateToInt(int64_t{y0} + RoundNearest((fx * sinT + fy * cosT) / k))};
}

void COracleHpglFile::DrawLabelText(int32_t x0, int32_t y0, const uint8_t* bytes, int n)
{
    const int64_t hs = m_enFont.m_topGap + m_enFont.m_ascent;  // single-byte cell height
    const int64_t b = m_hzFont.m_cellHeight;                   // double-byte cell height
    const int64_t adv = m_hzFont.m_advance;
    const double h = m_charHeight * 400;
    const double k = static_cast<double>(hs) * static_cast<double>(b) / h;
    // A zero, infinite or undefined size draws nothing (and divides by nothing).
    if (!std::isfinite(k) || k == 0) return;
    const double t = m_labelDir / 180 * kPi;
    const double cosT = std::cos(t), sinT = std::sin(t);

    int64_t a = 0;
    for (int i = 0; i < n; ++i) {
        const uint8_t c = bytes[i];
        if (c < 0x80 || i == n - 1) {
            const CCharactor* g = m_enFont.Find(c);
            if (g && g->m_strokeLen > 0) {
                DecodeGlyphStrokes(x0, y0, m_enFont.Strokes(*g), a, 0, b, k, cosT, sinT);
                a += int64_t{g->m_advance} * b;
            } else {
                const int64_t space = m_enFont.m_index.empty() ? kDefaultSpaceAdvance : m_enFont.m_index[0].m_advance;
                a += space * b;
            }
        } else {
            const auto code = static_cast<uint16_t>(c * 256 + bytes[i + 1]);
            ++i;
            const CCharactor* g = m_hzFont.Find(code);
            if (g && g->m_strokeLen > 0) DecodeGlyphStrokes(x0, y0, m_hzFont.Strokes(*g), a, 0, hs, k, cosT, sinT);
            a += hs * adv;  // a missing character leaves an empty cell
        }
    }
}

void COracleHpglFile::DecodeGlyphStrokes(int32_t x0, int32_t y0, std::span<const uint8_t> code, int64_t gx, int64_t gy,
                                   int64_t unit, double k, double cosT, double sinT)
{
    if (code.empty()) return;
    bool down = true;
    bool skipNext = false;
    auto move = [&](int64_t dx, int64_t dy) {
        gx += dx;
        gy += dy;
        const PlotPoint p = TransformGlyphPoint(x0, y0, gx, gy, k, cosT, sinT);
        if (down)
            GlyphLineTo(p);
        else
            GlyphMoveTo(p);
    };
    GlyphMoveTo(TransformGlyphPoint(x0, y0, gx, gy, k, cosT, sinT));

    const size_t size = code.size();
    size_t i = 0;
    while (i < size) {
        const uint8_t op = code[i++];
        switch (op) {
        case 0: break;
        case 1: down = true; break;
        case 2: down = false; break;
        case 3:
        case 4:
            ++i;  // operand, whether flagged or not
            skipNext = false;
            break;
        case 8: {
            if (i + 2 > size) return;  // operands cut off by the glyph's end
            const auto dx = static_cast<int8_t>(code[i]);
            const auto dy = static_cast<int8_t>(code[i + 1]);
            i += 2;
            if (skipNext)
                skipNext = false;
            else
                move(dx * unit, dy * unit);
            break;
        }
        case 9: {
            const bool skip = skipNext;
            skipNext = false;
            for (;;) {
                if (i + 2 > size) return;
                const auto dx = static_cast<int8_t>(code[i]);
                const auto dy = static_cast<int8_t>(code[i + 1]);
                i += 2;
                if (dx == 0 && dy == 0) break;
                if (!skip) move(dx * unit, dy * unit);
            }
            break;
        }
        case 14: skipNext = true; break;
        case 5: case 6: case 7: case 10: case 11: case 12: case 13:
            break;  // undefined: no effect
        default: {  // 15..255: a vector
            if (skipNext) {
                skipNext = false;
                break;
            }
            const int64_t l = ((op >> 4) * unit) & 0xFFFF;
            const int64_t h = l >> 1;
            static constexpr int8_t kDir[16][4] = {
                // (x, y) as multiples of L (first pair) and of L/2 (second pair)
                {1, 0, 0, 0},  {1, 0, 0, 1},  {1, 1, 0, 0},  {0, 1, 1, 0},
                {0, 1, 0, 0},  {0, 1, -1, 0}, {-1, 1, 0, 0}, {-1, 0, 0, 1},
                {-1, 0, 0, 0}, {-1, 0, 0, -1}, {-1, -1, 0, 0}, {0, -1, -1, 0},
                {0, -1, 0, 0}, {0, -1, 1, 0}, {1, -1, 0, 0}, {1, 0, 0, -1},
            };
            const int8_t* d = kDir[op & 15];
            move(d[0] * l + d[2] * h, d[1] * l + d[3] * h);
            break;
        }
        }
    }
}

void COracleHpglFile::GlyphMoveTo(PlotPoint p)
{
    m_glyphPenX = p.x;
    m_glyphPenY = p.y;
    m_lastValid = false;
}

void COracleHpglFile::GlyphLineTo(PlotPoint p)
{
    if (m_labelPoints >= m_maxLabelPoints) {
        m_labelOverflow = true;
        return;
    }
    if (!m_lastValid || m_lastX != m_glyphPenX || m_lastY != m_glyphPenY || m_glyphPenX <= 0 || m_glyphPenY <= 0)
        EmitPoint({m_glyphPenX, m_glyphPenY}, 1);
    EmitPoint(p, 0);
    m_glyphPenX = m_lastX = p.x;
    m_glyphPenY = m_lastY = p.y;
    m_lastValid = true;
}

void COracleHpglFile::EmitPoint(PlotPoint p, int flag)
{
    ++m_labelPoints;
    if (flag == 1) {
        AddRecord(recStart);
        AddValue(p.x);
        AddValue(p.y);
        AddRecord(recPoints);
        return;
    }
    AddValue(p.x);
    AddValue(p.y);
}
