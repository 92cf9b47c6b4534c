// Guards: menu images looked up, faded or coloured wrongly, and bad bitmaps that give an image.
#include "DravMenuTestSupport.h"

#include <gtest/gtest.h>

namespace {

using dravtest::Look;
using dravtest::MakeDib4;
using dravtest::MakeToolbarDib;
using dravtest::VgaPalette;

class DravMenuImages : public ::testing::Test {
protected:
    void Prepare(Look look)
    {
        ctx = dravtest::MakeContext(look);
        MenuToolbar bar;
        bar.commands = {309, 0, 314, 315};
        ctx->resources.executable.toolbars[128] = bar;
        ctx->resources.executable.bitmaps[128] = MakeToolbarDib(3);
    }
    uint32_t SharedPixel(int index, int x, int y) const
    {
        return ctx->SharedImageList->GetIcon(index).image.pixel(x, y) & 0xFFFFFF;
    }
    bool SharedTransparent(int index, int x, int y) const
    {
        return ctx->SharedImageList->GetIcon(index).transparent[static_cast<size_t>(y * 16 + x)];
    }
    std::unique_ptr<DravMenuContext> ctx;
};

TEST_F(DravMenuImages, ToolbarImageByCommandAndReuseByRegisteredId)
{
    Prepare(Look::Classic);
    EXPECT_EQ(FindToolbarImageIndexIn(ctx->resources, 128, 309), 0);
    EXPECT_EQ(FindToolbarImageIndexIn(ctx->resources, 128, 314), 1);  // separators hold no image
    EXPECT_EQ(FindToolbarImageIndexIn(ctx->resources, 128, 315), 2);
    EXPECT_EQ(FindToolbarImageIndexIn(ctx->resources, 128, 999), 0);
    EXPECT_EQ(FindToolbarImageIndexIn(ctx->resources, 77, 314), 0);

    DravMenu menu(*ctx);
    ASSERT_EQ(menu.CreatePopupMenu(), 1);
    ASSERT_EQ(menu.AppendItem(QStringLiteral("Fit"), 0, 314, 128), 1);
    EXPECT_EQ(menu.MenuItems[0]->SharedIndex, 0);
    ASSERT_TRUE(ctx->SharedImageList);
    EXPECT_EQ(ctx->SharedImageList->Count(), 1);  // classic look: no faded and shadow copies
    EXPECT_EQ(SharedPixel(0, 5, 5), 0x00FF00u);    // image 1 of the strip: palette colour 10
    EXPECT_TRUE(SharedTransparent(0, 0, 0));      // the face colour is the mask
    EXPECT_FALSE(SharedTransparent(0, 7, 7));
    EXPECT_EQ(SharedPixel(0, 7, 7), 0x000000u);

    // Another menu's item of the same command gets the image without a resource.
    DravMenu other(*ctx);
    other.CreatePopupMenu();
    other.AppendItem(QStringLiteral("Fit again"), 0, 314, -1);
    EXPECT_EQ(other.MenuItems[0]->SharedIndex, 0);
    other.AppendItem(QStringLiteral("No image"), 0, 316, -1);
    EXPECT_EQ(other.MenuItems[1]->SharedIndex, -1);

    // Registering the command again replaces its image in place.
    std::vector<uint8_t> px(static_cast<size_t>(48 * 15), 12);  // all blue
    ctx->resources.executable.bitmaps[128] = MakeDib4(48, 15, VgaPalette(), px);
    other.AppendItem(QStringLiteral("Fit, new image"), 0, 314, 128);
    EXPECT_EQ(other.MenuItems[2]->SharedIndex, 0);
    EXPECT_EQ(ctx->SharedImageList->Count(), 1);
    EXPECT_EQ(SharedPixel(0, 5, 5), 0x0000FFu);
}

TEST_F(DravMenuImages, TheGlossyTripleIsAppendedAndReplacedTogether)
{
    Prepare(Look::Xp);
    ASSERT_TRUE(ctx->UsesXpDrawingStyle());
    DravMenu menu(*ctx);
    menu.CreatePopupMenu();
    menu.AppendItem(QStringLiteral("Add"), 0, 309, 128);
    menu.AppendItem(QStringLiteral("Fit"), 0, 314, 128);
    EXPECT_EQ(ctx->SharedImageIds, (std::vector<int32_t>{309, 309, 309, 314, 314, 314}));
    EXPECT_EQ(menu.MenuItems[1]->SharedIndex, 3);
    EXPECT_TRUE(menu.HasFadedAndShadowImages(3));
    EXPECT_FALSE(menu.HasFadedAndShadowImages(4));
    EXPECT_FALSE(menu.HasFadedAndShadowImages(-1));
    // Faded: every non-face pixel blended 0.3 toward white; shadow: the shadow colour.
    EXPECT_EQ(SharedPixel(4, 5, 5), DravMenu::BlendTowardWhite(0x00FF00, 0.3));
    EXPECT_EQ(SharedPixel(4, 7, 7), DravMenu::BlendTowardWhite(0x000000, 0.3));
    EXPECT_EQ(SharedPixel(5, 5, 5), 0x808080u);
    EXPECT_TRUE(SharedTransparent(4, 0, 0));
    EXPECT_TRUE(SharedTransparent(5, 0, 0));

    std::vector<uint8_t> px(static_cast<size_t>(48 * 15), 12);
    ctx->resources.executable.bitmaps[128] = MakeDib4(48, 15, VgaPalette(), px);
    menu.AppendItem(QStringLiteral("Fit again"), 0, 314, 128);
    EXPECT_EQ(menu.MenuItems[2]->SharedIndex, 3);
    EXPECT_EQ(ctx->SharedImageList->Count(), 6);
    EXPECT_EQ(SharedPixel(3, 0, 0), 0x0000FFu);
    EXPECT_EQ(SharedPixel(4, 0, 0), DravMenu::BlendTowardWhite(0x0000FF, 0.3));
    EXPECT_EQ(SharedPixel(5, 0, 0), 0x808080u);
}

TEST_F(DravMenuImages, FadedAndShadowOfATinyBitmap)
{
    Prepare(Look::Classic);
    DravMenu menu(*ctx);
    QImage tiny(2, 1, QImage::Format_RGB32);
    tiny.setPixel(0, 0, 0xFFC0C0C0);  // the face colour stays
    tiny.setPixel(1, 0, 0xFFFF0000);
    QImage faded = tiny, shadow = tiny;
    menu.MakeFadedBitmap(faded);
    menu.MakeShadowBitmap(shadow);
    EXPECT_EQ(faded.pixel(0, 0) & 0xFFFFFF, 0xC0C0C0u);
    EXPECT_EQ(faded.pixel(1, 0) & 0xFFFFFF, 0xFF4C4Cu);  // 76 = trunc(255 * 0.3)
    EXPECT_EQ(shadow.pixel(0, 0) & 0xFFFFFF, 0xC0C0C0u);
    EXPECT_EQ(shadow.pixel(1, 0) & 0xFFFFFF, 0xBEBEBEu);  // the shadow lightened by 0.49 outside XP
}

TEST_F(DravMenuImages, SixteenColourBitmapsGetTheSystemColours)
{
    MenuSysColors colors = dravtest::FixedColors();
    colors.btnText = 0x010203;
    colors.btnShadow = 0x040506;
    colors.btnFace = 0x070809;
    colors.btnHighlight = 0x0A0B0C;
    const std::vector<uint8_t> px{0, 8, 7, 15, 9};  // black, dark grey, light grey, white, red
    const QByteArray dib = MakeDib4(5, 1, VgaPalette(), px);
    ASSERT_EQ(BitmapColorCount(dib), 16);
    const QImage mapped = DecodeMenuBitmap(dib, colors, true);
    ASSERT_FALSE(mapped.isNull());
    const std::vector<uint32_t> expected{0x010203, 0x040506, 0x070809, 0x0A0B0C, 0xFF0000};
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(mapped.pixel(x, 0) & 0xFFFFFF, expected[static_cast<size_t>(x)]) << x;

    // Through the menu: only a bitmap of exactly 16 colours is mapped.
    MenuPlatformInputs in = dravtest::FixedInputs();
    in.colors = colors;
    DravMenuContext ctx(in);
    ctx.resources.executable.bitmaps[1] = MakeDib4(16, 15, VgaPalette(), std::vector<uint8_t>(240, 0));
    ctx.resources.executable.bitmaps[2] = MakeDib4(16, 15, VgaPalette(), std::vector<uint8_t>(240, 0), 12);
    DravMenu menu(ctx);
    MenuImageList sixteen(16, 15), twelve(16, 15);
    ASSERT_EQ(menu.AddBitmapToImageList(sixteen, 1), 1);
    ASSERT_EQ(menu.AddBitmapToImageList(twelve, 2), 1);
    EXPECT_EQ(sixteen.GetIcon(0).image.pixel(3, 3) & 0xFFFFFF, 0x010203u);
    EXPECT_EQ(twelve.GetIcon(0).image.pixel(3, 3) & 0xFFFFFF, 0x000000u);
}

TEST_F(DravMenuImages, ColourCountFromTheHeader)
{
    QByteArray dib = MakeDib4(2, 2, VgaPalette(), std::vector<uint8_t>(4, 0));
    auto withBits = [&](uint16_t bits, uint32_t used) {
        QByteArray b = dib;
        b[14] = static_cast<char>(bits);
        b[15] = 0;
        for (int i = 0; i < 4; ++i)
            b[32 + i] = static_cast<char>((used >> (8 * i)) & 0xFF);
        return b;
    };
    EXPECT_EQ(BitmapColorCount(withBits(1, 0)), 2);
    EXPECT_EQ(BitmapColorCount(withBits(4, 0)), 16);
    EXPECT_EQ(BitmapColorCount(withBits(8, 0)), 256);
    EXPECT_EQ(BitmapColorCount(withBits(24, 0)), 0);
    EXPECT_EQ(BitmapColorCount(withBits(8, 16)), 16);
    EXPECT_EQ(BitmapColorCount(dib.left(20)), 0);
}

TEST_F(DravMenuImages, BadBitmapsAndSizesGiveNoImage)
{
    Prepare(Look::Classic);
    ctx->resources.executable.bitmaps[5] = MakeToolbarDib(3).left(60);  // cut short
    QByteArray huge = MakeToolbarDib(1);
    huge[4] = huge[5] = huge[6] = static_cast<char>(0xFF);
    huge[7] = 0x7F;  // width 2^31 - 1
    ctx->resources.executable.bitmaps[6] = huge;
    DravMenu menu(*ctx);
    menu.CreatePopupMenu();
    menu.AppendItem(QStringLiteral("cut"), 0, 314, 5);
    menu.AppendItem(QStringLiteral("huge"), 0, 314, 6);
    menu.AppendItem(QStringLiteral("missing"), 0, 314, 7);
    for (const auto& rec : menu.MenuItems)
        EXPECT_EQ(rec->SharedIndex, -1);

    for (int side : {0, -3, 100000}) {
        DravMenu odd(*ctx);
        odd.CreatePopupMenu();
        odd.IconWidth = side;
        odd.AppendItem(QStringLiteral("x"), 0, 315, 128);
        EXPECT_EQ(odd.MenuItems[0]->SharedIndex, -1) << side;
        MenuMeasureItem mis{315, odd.MenuItems[0].get(), -1, -1};
        odd.MeasureItem(&mis);
        EXPECT_EQ(mis.itemWidth, 0);
        EXPECT_EQ(mis.itemHeight, 0);
        QImage img(40, 20, QImage::Format_RGB32);
        img.fill(0xFF123456);
        const QImage before = img;
        MenuDC dc(&img);
        MenuDrawItem dis{315, ods::kSelected, odd.Handle(), &dc, {0, 0, 40, 20}, odd.MenuItems[0].get()};
        odd.DrawItem(&dis);
        EXPECT_EQ(img, before);
    }
}

}  // namespace
