// Guards: the menu device context drawing with other pixel rules, raster operations, clipping or text extents than GDI.
#include "DravMenuTestSupport.h"

#include "widgets/MenuDeviceContext.h"
#include "widgets/MenuRasterOp.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <functional>
#include <random>

namespace {

using dravtest::EnsureApp;

struct RopCase {
    const char* name;
    uint32_t rop;
    std::function<uint32_t(uint32_t, uint32_t, uint32_t)> formula;
};

TEST(MenuRasterOp, TernaryCodeMatchesTheBooleanFormulas)
{
    const std::vector<RopCase> cases = {
        {"WHITENESS", menurop::kWhiteness, [](uint32_t, uint32_t, uint32_t) { return 0xFFFFFFu; }},
        {"SRCCOPY", menurop::kSrcCopy, [](uint32_t, uint32_t s, uint32_t) { return s; }},
        {"SRCPAINT", menurop::kSrcPaint, [](uint32_t, uint32_t s, uint32_t d) { return s | d; }},
        {"SRCAND", menurop::kSrcAnd, [](uint32_t, uint32_t s, uint32_t d) { return s & d; }},
        {"PATCOPY", menurop::kPatCopy, [](uint32_t p, uint32_t, uint32_t) { return p; }},
        {"DSPDxax", menurop::kDspDxax, [](uint32_t p, uint32_t s, uint32_t d) { return ((p ^ d) & s) ^ d; }},
        {"PSDPxax", menurop::kPsdPxax, [](uint32_t p, uint32_t s, uint32_t d) { return ((d ^ p) & s) ^ p; }},
    };
    std::mt19937 rng(20261210);
    for (const RopCase& c : cases)
        for (int i = 0; i < 2000; ++i) {
            const uint32_t p = rng() & 0xFFFFFF, s = rng() & 0xFFFFFF, d = rng() & 0xFFFFFF;
            ASSERT_EQ(menurop::Apply(c.rop, p, s, d), c.formula(p, s, d) & 0xFFFFFF) << c.name;
        }
    // Bits above 24 never reach the result.
    EXPECT_EQ(menurop::Apply(menurop::kWhiteness, 0, 0, 0xFF000000u), 0xFFFFFFu);
}

std::vector<std::string> Picture(const MenuDC& dc, int w, int h, uint32_t ink)
{
    std::vector<std::string> rows;
    for (int y = 0; y < h; ++y) {
        std::string row;
        for (int x = 0; x < w; ++x) {
            const uint32_t p = dc.GetPixel(x, y);
            row += p == ink ? '#' : (p == 0xFFFFFF ? '.' : 'o');
        }
        rows.push_back(row);
    }
    return rows;
}

TEST(MenuDeviceContext, RectanglesExcludeRightAndBottom)
{
    MenuDC dc(6, 5, false);
    dc.FillRect({1, 1, 4, 3}, 0);
    EXPECT_EQ(Picture(dc, 6, 5, 0), (std::vector<std::string>{"......", ".###..", ".###..", "......", "......"}));

    MenuDC frame(6, 5, false);
    frame.FrameRect({0, 0, 5, 4}, 0);
    EXPECT_EQ(Picture(frame, 6, 5, 0),
              (std::vector<std::string>{"#####.", "#...#.", "#...#.", "#####.", "......"}));
}

TEST(MenuDeviceContext, RaisedSunkenAndEtchedEdges)
{
    const uint32_t shadow = 0x808080, light = 0x00FF00;
    MenuDC raised(4, 4, false);
    raised.Draw3dRect({0, 0, 4, 4}, light, shadow);
    auto at = [](const MenuDC& dc, int x, int y) { return dc.GetPixel(x, y); };
    EXPECT_EQ(at(raised, 0, 0), light);
    EXPECT_EQ(at(raised, 2, 0), light);
    EXPECT_EQ(at(raised, 0, 2), light);
    EXPECT_EQ(at(raised, 3, 0), shadow);  // the right line runs the whole height
    EXPECT_EQ(at(raised, 0, 3), shadow);  // the bottom line the whole width
    EXPECT_EQ(at(raised, 3, 3), shadow);
    EXPECT_EQ(at(raised, 1, 1), 0xFFFFFFu);

    MenuDC sunken(4, 4, false);
    sunken.DrawSunkenOuter({0, 0, 4, 4}, shadow, light);
    EXPECT_EQ(at(sunken, 1, 0), shadow);
    EXPECT_EQ(at(sunken, 0, 1), shadow);
    EXPECT_EQ(at(sunken, 1, 3), light);
    EXPECT_EQ(at(sunken, 3, 1), light);

    MenuDC etched(4, 4, false);
    etched.DrawEtchedTop({0, 1, 4, 4}, shadow, light);
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(at(etched, x, 0), 0xFFFFFFu);
        EXPECT_EQ(at(etched, x, 1), shadow);
        EXPECT_EQ(at(etched, x, 2), light);
        EXPECT_EQ(at(etched, x, 3), 0xFFFFFFu);
    }
}

TEST(MenuDeviceContext, WindowOriginAndClipping)
{
    MenuDC dc(4, 4, false);
    dc.originX = 10;
    dc.originY = 20;
    dc.FillRect({8, 18, 11, 21}, 0);  // only (10,20) lands on the bitmap
    EXPECT_EQ(dc.GetPixel(10, 20), 0u);
    EXPECT_EQ(dc.GetPixel(11, 20), 0xFFFFFFu);
    EXPECT_EQ(dc.GetPixel(9, 20), MenuDC::kInvalid);
    EXPECT_EQ(dc.Image()->pixel(0, 0) & 0xFFFFFF, 0u);
}

TEST(MenuDeviceContext, MonochromeConversionsFollowTheDcColours)
{
    MenuDC colour(3, 1, false);
    colour.SetPixel(0, 0, 0xC0C0C0);
    colour.SetPixel(1, 0, 0x123456);
    colour.SetPixel(2, 0, 0xFFFFFF);
    colour.bkColor = 0xC0C0C0;
    MenuDC mono(3, 1, true);
    mono.PatBlt({0, 0, 3, 1}, menurop::kWhiteness);
    mono.BitBlt(0, 0, 3, 1, colour, 0, 0, menurop::kSrcCopy);
    // The source's background colour becomes 1 (white), every other colour 0.
    EXPECT_EQ(mono.GetPixel(0, 0), 0xFFFFFFu);
    EXPECT_EQ(mono.GetPixel(1, 0), 0u);
    EXPECT_EQ(mono.GetPixel(2, 0), 0u);

    MenuDC target(3, 1, false);
    target.textColor = 0x112233;
    target.bkColor = 0x445566;
    target.BitBlt(0, 0, 3, 1, mono, 0, 0, menurop::kSrcCopy);
    EXPECT_EQ(target.GetPixel(0, 0), 0x445566u);  // 1 -> background colour
    EXPECT_EQ(target.GetPixel(1, 0), 0x112233u);  // 0 -> text colour
}

TEST(MenuDeviceContext, OversizedBitmapsAreNotMade)
{
    EXPECT_TRUE(MenuDC(0, 5, false).IsNull());
    EXPECT_TRUE(MenuDC(5, -1, false).IsNull());
    EXPECT_TRUE(MenuDC(MenuDC::kMaxSide + 1, 1, false).IsNull());
    MenuDC dc(2, 2, false);
    MenuDC none(0, 0, false);
    dc.BitBlt(0, 0, 1 << 30, 1 << 30, dc, 0, 0, menurop::kSrcCopy);  // clipped, not walked
    dc.BitBlt(0, 0, 2, 2, none, 0, 0, menurop::kSrcCopy);
    EXPECT_EQ(dc.GetPixel(1, 1), 0xFFFFFFu);
}

TEST(MenuDeviceContext, TextExtentIsTheRawAdvanceOfEveryCharacter)
{
    EnsureApp();
    MenuDC dc(1, 1, false);
    dc.font = dravtest::FixedFont(12);
    const QFontMetrics fm(dc.font);
    const int a = fm.horizontalAdvance(QLatin1Char('a'));
    const int amp = fm.horizontalAdvance(QLatin1Char('&'));
    const int blank = fm.horizontalAdvance(QLatin1Char(' '));
    EXPECT_EQ(dc.TextExtent(QStringLiteral("a&a")).width(), 2 * a + amp);
    EXPECT_EQ(dc.TextExtent(QStringLiteral("a\ta")).width(), 2 * a + blank);
    EXPECT_EQ(dc.TextExtent(QString()).width(), 0);
    EXPECT_EQ(dc.TextExtent(QStringLiteral("a")).height(), fm.height());
}

TEST(MenuDeviceContext, TextShowsMnemonicsAndStaysInItsRectangle)
{
    EnsureApp();
    const QFont font = dravtest::FixedFont(14);
    auto draw = [&](const QString& text, uint32_t format) {
        QImage img(80, 24, QImage::Format_RGB32);
        img.fill(Qt::white);
        MenuDC dc(&img);
        dc.font = font;
        dc.bkTransparent = true;
        dc.DrawText(text, {10, 2, 60, 22}, format);
        return img;
    };
    const uint32_t single = dt::kSingleLine | dt::kVCenter;
    // "&&" is a literal ampersand: the same pixels as the plain text drawn without mnemonics.
    QImage plain(80, 24, QImage::Format_RGB32);
    plain.fill(Qt::white);
    {
        QPainter p(&plain);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(QRect(10, 2, 50, 20), Qt::TextSingleLine | Qt::AlignVCenter | Qt::AlignLeft,
                   QStringLiteral("a&b"));
    }
    EXPECT_EQ(draw(QStringLiteral("a&&b"), single), plain);
    // A single '&' underlines the next letter instead of showing itself.
    EXPECT_NE(draw(QStringLiteral("&ab"), single), draw(QStringLiteral("ab"), single));
    // Right alignment ends at the rectangle; nothing lands outside it.
    const QImage right = draw(QStringLiteral("WWWWWWWWWWWW"), single | dt::kRight);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 80; ++x)
            if (x < 10 || x >= 60 || y < 2 || y >= 22) {
                ASSERT_EQ(right.pixel(x, y) & 0xFFFFFF, 0xFFFFFFu) << x << "," << y;
            }
}

}  // namespace
