// Guards: owner-drawn items with wrong sizes, marks, highlights, images or disabled looks in the classic and XP styles.
#include "DravMenuTestSupport.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>

namespace {

using dravtest::Look;

constexpr uint32_t kBackdrop = 0x123456;  // what lay under the item before drawing

// Text without antialiasing: every ink pixel is exactly the text colour.
QFont SharpFont(int pixels)
{
    QFont f = dravtest::FixedFont(pixels);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

class DravMenuDraw : public ::testing::Test {
protected:
    void Prepare(Look look, std::optional<uint32_t> osWordOverride = std::nullopt)
    {
        MenuPlatformInputs in = dravtest::FixedInputs(look);
        in.menuFont = SharpFont(12);
        in.dcDefaultFont = SharpFont(12);
        if (osWordOverride)
            in.versionWord = *osWordOverride;
        menu.reset();
        ctx = std::make_unique<DravMenuContext>(in);
        menu = std::make_unique<DravMenu>(*ctx);
        menu->CreatePopupMenu();
        MenuToolbar bar;
        bar.commands = {309, 314};
        ctx->resources.executable.toolbars[128] = bar;
        ctx->resources.executable.bitmaps[128] = dravtest::MakeToolbarDib(2);
    }

    DravMenuData* Add(const QString& text, uint32_t id, int image = -1)
    {
        menu->AppendItem(text, 0, id, image);
        return menu->MenuItems.back().get();
    }

    // Draws one record into a fresh backdrop of the given size.
    QImage Draw(DravMenuData* rec, uint32_t state, int w = 160, int h = 19, bool palette = false)
    {
        QImage img(w, h, QImage::Format_RGB32);
        img.fill(0xFF000000u | kBackdrop);
        MenuDC dc(&img);
        dc.font = ctx->inputs.menuFont;
        dc.paletteDevice = palette;
        MenuDrawItem dis{rec ? rec->id : 0, state, menu->Handle(), &dc, {0, 0, w, h}, rec};
        menu->DrawItem(&dis);
        return img;
    }

    static uint32_t At(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }
    static int Count(const QImage& img, uint32_t color, QRect area = QRect())
    {
        if (area.isNull())
            area = img.rect();
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += At(img, x, y) == color;
        return n;
    }

    const MenuSysColors& Col() const { return ctx->inputs.colors; }
    std::unique_ptr<DravMenuContext> ctx;
    std::unique_ptr<DravMenu> menu;
};

TEST_F(DravMenuDraw, SeparatorHeights)
{
    struct Case {
        Look look;
        int cyMenu;
        int height;
    };
    for (const Case& c : {Case{Look::Classic, 19, 9}, Case{Look::Classic, 30, 15}, Case{Look::Xp, 19, 11},
                          Case{Look::Xp, 24, 12}}) {
        Prepare(c.look);
        ctx->inputs.cyMenu = c.cyMenu;
        DravMenuData* sep = Add(QString(), 0);
        MenuMeasureItem mis{0, sep, -1, -1};
        menu->MeasureItem(&mis);
        EXPECT_EQ(mis.itemWidth, 0);
        EXPECT_EQ(mis.itemHeight, c.height) << c.cyMenu;
    }
}

TEST_F(DravMenuDraw, ItemWidthsByLookAndVersion)
{
    const QString text = QStringLiteral("&Open\tCtrl+O");
    Prepare(Look::Classic);
    const int tw = MenuDC::TextWidth(ctx->inputs.menuFont, text);
    DravMenuData* rec = Add(text, 7);
    MenuMeasureItem mis{7, rec, 0, 0};
    menu->MeasureItem(&mis);
    EXPECT_EQ(mis.itemWidth, 2 * 16 + 1 + tw);
    EXPECT_EQ(mis.itemHeight, 19);

    Prepare(Look::Xp);
    rec = Add(text, 7);
    mis.itemData = rec;
    menu->MeasureItem(&mis);
    EXPECT_EQ(mis.itemWidth, 16 + 8 + tw + 7);
    EXPECT_EQ(mis.itemHeight, 22);

    // Version code 0: every text measures 0.
    Prepare(Look::Classic, 0x80000003);
    ASSERT_EQ(ctx->OsVersionCode, 0);
    rec = Add(text, 7);
    mis.itemData = rec;
    menu->MeasureItem(&mis);
    EXPECT_EQ(mis.itemWidth, 33);
    // No record: an empty text.
    mis.itemData = nullptr;
    menu->MeasureItem(&mis);
    EXPECT_EQ(mis.itemWidth, 33);
}

TEST_F(DravMenuDraw, TheMenuFontIsSelectedOnlyOnANewShell)
{
    const QString text = QStringLiteral("Measure me");
    for (Look look : {Look::Classic, Look::ClassicNewShell}) {
        Prepare(look);
        ctx->inputs.dcDefaultFont = SharpFont(24);
        DravMenuData* rec = Add(text, 7);
        MenuMeasureItem mis{7, rec, 0, 0};
        menu->MeasureItem(&mis);
        const QFont& used = ctx->IsNewShellVersion() ? ctx->inputs.menuFont : ctx->inputs.dcDefaultFont;
        EXPECT_EQ(mis.itemWidth, 33 + MenuDC::TextWidth(used, text));
        EXPECT_EQ(ctx->IsNewShellVersion(), look == Look::ClassicNewShell);
    }
}

TEST_F(DravMenuDraw, CheckMarkAndRadioBulletPixels)
{
    Prepare(Look::Classic);
    MenuDC dc(12, 12, false);
    DravMenu::DrawCheckMark(dc, 2, 1, 0);
    std::set<std::pair<int, int>> ink;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            if (dc.GetPixel(x, y) == 0)
                ink.insert({x, y});
    std::set<std::pair<int, int>> expected;
    const int start[7] = {2, 3, 4, 3, 2, 1, 0};
    for (int k = 0; k < 7; ++k)
        for (int r = 0; r < 3; ++r)
            expected.insert({2 + k, 1 + start[k] + r});
    EXPECT_EQ(ink.size(), 21u);
    EXPECT_EQ(ink, expected);

    MenuDC bullet(8, 8, false);
    DravMenu::DrawRadioBullet(bullet, 1, 1, 0);
    int n = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            n += bullet.GetPixel(x, y) == 0;
    EXPECT_EQ(n, 32);
    for (auto [x, y] : {std::pair{1, 1}, {6, 1}, {1, 6}, {6, 6}})
        EXPECT_EQ(bullet.GetPixel(x, y), 0xFFFFFFu);
    for (auto [x, y] : {std::pair{2, 1}, {1, 2}, {6, 5}, {3, 3}})
        EXPECT_EQ(bullet.GetPixel(x, y), 0u);
}

TEST_F(DravMenuDraw, ClassicHighlightStartsBesideTheImage)
{
    Prepare(Look::Classic);
    DravMenuData* image = Add(QStringLiteral("Add"), 309, 128);
    ASSERT_GE(image->SharedIndex, 0);
    DravMenuData* plain = Add(QStringLiteral("Plain"), 400);
    const QImage withImage = Draw(image, ods::kSelected);
    EXPECT_EQ(At(withImage, 16 + 5, 1), Col().highlight);
    EXPECT_NE(At(withImage, 16 + 4, 1), Col().highlight);
    EXPECT_EQ(At(withImage, 2 + 5, 2 + 5), 0xFF0000u);  // the image at (left + 2, top + e + 2)
    const QImage noImage = Draw(plain, ods::kSelected);
    EXPECT_EQ(At(noImage, 0, 0), Col().highlight);
    // Not selected: the menu colour everywhere the text leaves.
    const QImage idle = Draw(plain, 0);
    EXPECT_EQ(At(idle, 0, 0), Col().menu);
    EXPECT_EQ(At(idle, 159, 18), Col().menu);
}

TEST_F(DravMenuDraw, FramesAroundImagesOnlyOnANewShell)
{
    for (Look look : {Look::Classic, Look::ClassicNewShell}) {
        Prepare(look);
        DravMenuData* rec = Add(QStringLiteral("Add"), 309, 128);
        const bool frames = look == Look::ClassicNewShell;
        // e = (19 - 15 - 4) / 2 = 0: the outer frame is (0, 0, 20, 19).
        const QImage raised = Draw(rec, ods::kSelected);
        EXPECT_EQ(At(raised, 0, 0), frames ? Col().btnHighlight : kBackdrop);
        EXPECT_EQ(At(raised, 19, 5), frames ? Col().btnShadow : kBackdrop);
        const QImage sunken = Draw(rec, ods::kSelected | ods::kChecked);
        EXPECT_EQ(At(sunken, 0, 0), frames ? Col().btnShadow : kBackdrop);
        EXPECT_EQ(At(sunken, 19, 5), frames ? Col().btnHighlight : kBackdrop);
        // A checked item without image: the check box, sunken only on a new shell.
        DravMenuData* check = Add(QStringLiteral("Check"), 401);
        const QImage box = Draw(check, ods::kChecked);
        EXPECT_EQ(At(box, 1, 2), frames ? Col().btnShadow : DravMenu::BlendTowardWhite(Col().menu, 0.6));
        EXPECT_EQ(At(box, 5 + 0, 2 + 4 + 2), Col().menuText);  // the mark's first stroke
    }
}

TEST_F(DravMenuDraw, RadioItemsShowTheBullet)
{
    Prepare(Look::Classic);
    DravMenuData* rec = Add(QStringLiteral("USB"), 402);
    ASSERT_TRUE(ctx->handles.SetRadioItem(menu->Handle(), 402, true));
    const QImage img = Draw(rec, ods::kChecked);
    // Box (1, 2, 17, 17); bullet at (6, 6), 6 x 6 without corners.
    EXPECT_EQ(At(img, 6, 6), DravMenu::BlendTowardWhite(Col().menu, 0.6));
    EXPECT_EQ(At(img, 7, 6), Col().menuText);
    EXPECT_EQ(At(img, 8, 8), Col().menuText);
    EXPECT_EQ(Count(img, Col().menuText, QRect(1, 2, 16, 15)), 32);
}

TEST_F(DravMenuDraw, DisabledTextLooks)
{
    Prepare(Look::Classic);
    DravMenuData* rec = Add(QStringLiteral("Disabled"), 403);
    const QRect text(25, 0, 135, 19);
    const QImage idle = Draw(rec, ods::kGrayed);
    EXPECT_GT(Count(idle, Col().btnHighlight, text), 10);  // embossed: highlight one pixel down and right
    EXPECT_GT(Count(idle, Col().grayText, text), 10);
    const QImage selected = Draw(rec, ods::kGrayed | ods::kSelected);
    EXPECT_EQ(At(selected, 0, 0), Col().highlight);  // classic: still highlighted
    EXPECT_GT(Count(selected, Col().menu, text), 10);   // text in the background colour
    EXPECT_EQ(Count(selected, Col().grayText, text), 0);

    Prepare(Look::Xp);
    rec = Add(QStringLiteral("Disabled"), 403);
    const uint32_t fill = DravMenu::BlendTowardWhite(Col().highlight, 0.7);
    for (uint32_t state : {ods::kGrayed, ods::kGrayed | ods::kSelected}) {
        const QImage xp = Draw(rec, state, 160, 22);
        EXPECT_EQ(Count(xp, fill), 0);  // never highlighted
        EXPECT_EQ(Count(xp, Col().highlight), 0);
        EXPECT_GT(Count(xp, Col().grayText, QRect(31, 0, 129, 22)), 10);
        EXPECT_EQ(Count(xp, Col().btnHighlight, QRect(31, 0, 129, 22)),
                  Count(xp, Col().window, QRect(31, 0, 129, 22)));  // white is the window only: no emboss
        EXPECT_EQ(At(xp, 2, 2), Col().btnFace);  // the image column
    }
    const QImage enabled = Draw(rec, ods::kSelected, 160, 22);
    EXPECT_EQ(At(enabled, 5, 5), fill);
    EXPECT_EQ(At(enabled, 0, 0), Col().highlight);
}

TEST_F(DravMenuDraw, AcceleratorEndsAnIconWidthBeforeTheRightEdge)
{
    Prepare(Look::Classic);
    DravMenuData* rec = Add(QStringLiteral("Open\tXX"), 404);
    const QImage img = Draw(rec, 0, 200, 19);
    int rightmost = -1;
    for (int x = 0; x < 200; ++x)
        for (int y = 0; y < 19; ++y)
            if (At(img, x, y) == Col().menuText)
                rightmost = std::max(rightmost, x);
    EXPECT_LT(rightmost, 200 - 16);
    EXPECT_GE(rightmost, 200 - 16 - 3);

    // Label before the first tab, accelerator after the last.
    DravMenuData* many = Add(QStringLiteral("Open\tignored\tXX"), 405);
    EXPECT_EQ(Draw(many, 0, 200, 19), img);
    // A text without a tab uses the whole width for its label and draws no accelerator.
    DravMenuData* none = Add(QStringLiteral("Open"), 406);
    const QImage label = Draw(none, 0, 200, 19);
    EXPECT_EQ(Count(label, Col().menuText, QRect(100, 0, 100, 19)), 0);
}

TEST_F(DravMenuDraw, APaletteDeviceGetsTheClassicLook)
{
    Prepare(Look::Xp);
    DravMenuData* rec = Add(QStringLiteral("Item"), 407);
    const QImage xp = Draw(rec, 0, 160, 22);
    const QImage classic = Draw(rec, 0, 160, 22, true);
    EXPECT_EQ(At(xp, 150, 10), Col().window);
    EXPECT_EQ(At(classic, 150, 10), Col().btnFace);  // the XP theme's classic background
    EXPECT_NE(xp, classic);
}

TEST_F(DravMenuDraw, SeparatorsInBothLooks)
{
    Prepare(Look::Classic);
    DravMenuData* sep = Add(QString(), 0);
    const QImage classic = Draw(sep, 0, 40, 9);
    EXPECT_EQ(At(classic, 10, 3), Col().menu);
    EXPECT_EQ(At(classic, 10, 4), Col().btnShadow);
    EXPECT_EQ(At(classic, 10, 5), Col().btnHighlight);
    EXPECT_EQ(At(classic, 0, 4), Col().btnShadow);

    Prepare(Look::Xp);
    sep = Add(QString(), 0);
    const QImage xp = Draw(sep, 0, 60, 11);
    EXPECT_EQ(At(xp, 10, 5), Col().btnFace);       // column 23 wide
    EXPECT_EQ(At(xp, 23 + 6, 5), Col().window);     // line from left + W + 7
    EXPECT_EQ(At(xp, 23 + 7, 5), Col().btnShadow);
    EXPECT_EQ(At(xp, 23 + 7, 6), Col().btnHighlight);
}

TEST_F(DravMenuDraw, XpImagesFadedAtRestAndShadowedWhenSelected)
{
    Prepare(Look::Xp);
    DravMenuData* rec = Add(QStringLiteral("Add"), 309, 128);
    ASSERT_TRUE(menu->HasFadedAndShadowImages(rec->SharedIndex));
    // W = 23, H = 22: the image at (4, 4) (rounded halves of 7 and 7).
    const QImage idle = Draw(rec, 0, 160, 22);
    EXPECT_EQ(At(idle, 4 + 5, 4 + 5), DravMenu::BlendTowardWhite(0xFF0000, 0.3));
    const QImage selected = Draw(rec, ods::kSelected, 160, 22);
    EXPECT_EQ(At(selected, 3 + 5, 3 + 5), 0xFF0000u);  // normal image up and left
    EXPECT_EQ(At(selected, 5 + 12, 5 + 11), 0x808080u);  // its shadow down and right
}

// A 3 x 3 image drawn disabled at (1, 1) of a 5 x 5 target, worked out by hand.
TEST_F(DravMenuDraw, DisabledImageMethodsOnAFixture)
{
    Prepare(Look::Classic);
    const uint32_t F = 0xC0C0C0, K = 0x000000, W = 0xFFFFFF, B = 0xD4D0C8, S = 0x808080, T = kBackdrop;
    QImage fixture(3, 3, QImage::Format_RGB32);
    const uint32_t px[3][3] = {{F, K, F}, {K, W, F}, {F, F, K}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            fixture.setPixel(x, y, 0xFF000000u | px[y][x]);
    auto run = [&](bool dib) {
        QImage img(5, 5, QImage::Format_RGB32);
        img.fill(0xFF000000u | T);
        MenuDC dc(&img);
        dc.brushColor = 0x00FF00;
        if (dib)
            menu->DrawDisabledImageDib(dc, 1, 1, 3, 3, fixture, B);
        else
            menu->DrawDisabledImageMasked(dc, 1, 1, 3, 3, fixture, B);
        EXPECT_EQ(dc.brushColor, 0x00FF00u);
        std::vector<std::vector<uint32_t>> out(5, std::vector<uint32_t>(5));
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 5; ++x)
                out[static_cast<size_t>(y)][static_cast<size_t>(x)] = At(img, x, y);
        return out;
    };
    const std::vector<std::vector<uint32_t>> masked = {
        {T, T, T, T, T},
        {T, B, S, B, T},
        {T, S, B, W, B},
        {T, B, W, S, B},
        {T, T, B, B, W},
    };
    const std::vector<std::vector<uint32_t>> dib = {
        {T, T, T, T, T},
        {T, B, S, B, T},
        {T, S, B, W, T},
        {T, B, W, S, T},
        {T, T, T, T, W},
    };
    EXPECT_EQ(run(false), masked);
    EXPECT_EQ(run(true), dib);
}

TEST_F(DravMenuDraw, DisabledItemsWithImagesInBothLooks)
{
    for (Look look : {Look::Classic, Look::Xp}) {
        Prepare(look);
        DravMenuData* rec = Add(QStringLiteral("Add"), 309, 128);
        for (int viaDib : {0, 1}) {
            menu->DisabledViaDib = viaDib;
            const QImage img = Draw(rec, ods::kGrayed, 160, 22);
            EXPECT_EQ(Count(img, 0xFF0000), 0) << viaDib;  // no colour of the image itself
            EXPECT_GT(Count(img, Col().btnShadow, QRect(0, 0, 24, 22)), 10) << viaDib;
        }
    }
}

TEST_F(DravMenuDraw, XpDisabledItemsGoThroughTheBufferInTheTargetsCoordinates)
{
    Prepare(Look::Xp);
    DravMenuData* rec = Add(QStringLiteral("Grey"), 408);
    QImage img(160, 60, QImage::Format_RGB32);
    img.fill(0xFF000000u | kBackdrop);
    MenuDC dc(&img);
    dc.font = ctx->inputs.menuFont;
    MenuDrawItem dis{408, ods::kGrayed, menu->Handle(), &dc, {0, 20, 160, 42}, rec};
    menu->DrawItem(&dis);
    EXPECT_EQ(At(img, 100, 19), kBackdrop);
    EXPECT_EQ(At(img, 100, 20), Col().window);
    EXPECT_EQ(At(img, 100, 41), Col().window);
    EXPECT_EQ(At(img, 100, 42), kBackdrop);
    EXPECT_EQ(At(img, 2, 30), Col().btnFace);

    // A printing target is drawn into directly.
    QImage direct(160, 60, QImage::Format_RGB32);
    direct.fill(0xFF000000u | kBackdrop);
    MenuDC printer(&direct);
    printer.font = ctx->inputs.menuFont;
    printer.printing = true;
    dis.dc = &printer;
    menu->DrawItem(&dis);
    EXPECT_EQ(direct, img);
}

TEST_F(DravMenuDraw, CheckImagesReplaceTheDrawnMark)
{
    for (Look look : {Look::Classic, Look::Xp}) {
        Prepare(look);
        // Image 0 (unselected) red, image 1 (selected) blue; the menu owns the list.
        auto* checks = new MenuImageList(16, 15);
        QImage strip(32, 15, QImage::Format_RGB32);
        strip.fill(0xFFFF0000);
        for (int y = 0; y < 15; ++y)
            for (int x = 16; x < 32; ++x)
                strip.setPixel(x, y, 0xFF0000FF);
        ASSERT_EQ(checks->AddMasked(strip, 0xC0C0C0), 0);
        menu->CheckImages = checks;
        menu->SelectedCheckId = 1;
        menu->UnselectedCheckId = 1;
        DravMenuData* rec = Add(QStringLiteral("Checked"), 409);
        const int h = look == Look::Xp ? 22 : 19;
        EXPECT_GT(Count(Draw(rec, ods::kChecked, 160, h), 0xFF0000), 200);
        EXPECT_GT(Count(Draw(rec, ods::kChecked | ods::kSelected, 160, h), 0x0000FF), 200);
        // Without the check mark set, no image.
        EXPECT_EQ(Count(Draw(rec, 0, 160, h), 0xFF0000), 0);
    }
}

TEST_F(DravMenuDraw, AnItemWithoutRecordDrawsAsEmptyText)
{
    Prepare(Look::Classic);
    const QImage img = Draw(nullptr, ods::kSelected);
    EXPECT_EQ(Count(img, Col().highlight), 160 * 19);
}

}  // namespace
