// Guards: menu templates loaded into a wrong tree, misaligned accelerators, bad templates that change the menu, a tree not freed or out of step.
#include "DravMenuTestSupport.h"

#include <gtest/gtest.h>

namespace {

using dravtest::Cmd;
using dravtest::Popup;
using dravtest::Sep;

class DravMenuLoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        ctx = dravtest::MakeContext();
        sample = EncodeMenuTemplate({
            Popup("&File", {Cmd(10, "&Open\tCtrl+O"), Sep(), Cmd(11, "Save &As...\tCtrl+Shift+S"),
                            Popup("&Recent", {Cmd(20, "&1 one"), Cmd(21, "&2 two")}), Cmd(12, "E&xit")}),
            Popup("&Edit", {Cmd(30, "&Undo\tCtrl+Z"), Cmd(31, "Select a&ll")}),
            Cmd(40, "&Go"),
        });
        ctx->resources.executable.menus[128] = sample;
    }

    DravMenu* Level(DravMenu& top, int position) const
    {
        return ctx->handles.FromHandle(ctx->handles.GetSubMenu(top.Handle(), position));
    }

    std::unique_ptr<DravMenuContext> ctx;
    QByteArray sample;
};

TEST_F(DravMenuLoad, BuildsAnOwnerDrawnTreeUnderPlainTopLevelItems)
{
    DravMenu menu(*ctx);
    ASSERT_EQ(menu.LoadMenu(0x30080u), 1);  // the low 16 bits: 128
    EXPECT_EQ(menu.Loaded, 1);
    const MenuHandles& h = ctx->handles;
    ASSERT_EQ(h.GetMenuItemCount(menu.Handle()), 3);
    ASSERT_EQ(menu.MenuItems.size(), 3u);
    EXPECT_EQ(menu.MenuItems[0]->flags, 0x410u);
    EXPECT_EQ(menu.MenuItems[2]->flags, 0x400u);
    for (int pos = 0; pos < 3; ++pos) {
        EXPECT_FALSE(h.GetMenuItemFlags(menu.Handle(), pos) & mf::kOwnerDraw) << pos;
        EXPECT_FALSE(h.GetMenuString(menu.Handle(), pos).isEmpty()) << pos;
    }

    DravMenu* file = Level(menu, 0);
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(h.GetMenuItemCount(file->Handle()), 5);
    for (int pos = 0; pos < 5; ++pos)
        EXPECT_TRUE(h.GetMenuItemFlags(file->Handle(), pos) & mf::kOwnerDraw) << pos;
    // Command id 0: an owner-drawn separator.
    EXPECT_EQ(file->MenuItems[1]->flags, mf::kSeparator | mf::kOwnerDraw);
    EXPECT_TRUE(h.GetMenuState(file->Handle(), 1) & mf::kSeparator);
    // The nested popup is a level of its own and known as an owned sub-menu.
    DravMenu* recent = Level(*file, 3);
    ASSERT_NE(recent, nullptr);
    EXPECT_EQ(recent->MenuItems.size(), 2u);
    EXPECT_EQ(h.GetMenuState(file->Handle(), 3) >> 8, 2u);  // a popup's state holds its item count
    EXPECT_TRUE(DravMenu::IsOwnedSubMenu(*ctx, recent->Handle()));
    EXPECT_TRUE(DravMenu::IsOwnedSubMenu(*ctx, file->Handle()));
    EXPECT_FALSE(DravMenu::IsOwnedSubMenu(*ctx, menu.Handle()));
    EXPECT_EQ(h.GetMenuItemID(file->Handle(), 4), 12u);
}

TEST_F(DravMenuLoad, AcceleratorsOfALevelStartAtOneColumnOrLater)
{
    DravMenu menu(*ctx);
    ASSERT_EQ(menu.LoadMenu(128), 1);
    const QFont& font = ctx->inputs.menuFont;
    for (int top = 0; top < 2; ++top) {
        DravMenu* level = Level(menu, top);
        ASSERT_NE(level, nullptr);
        // The column: the widest label (text before the first tab) plus one blank.
        int column = 0;
        for (const auto& rec : level->MenuItems) {
            const QString text = rec->GetText();
            const int tab = text.indexOf('\t');
            column = std::max(column, ctx->TextWidth(font, (tab < 0 ? text : text.left(tab).trimmed()) + ' '));
        }
        int withTab = 0;
        for (const auto& rec : level->MenuItems) {
            const QString text = rec->GetText();
            const int tab = text.indexOf('\t');
            if (tab < 0) {
                EXPECT_FALSE(text.endsWith(' ')) << "labels without a tab get no blanks";
                continue;
            }
            ++withTab;
            EXPECT_GE(ctx->TextWidth(font, text.left(tab)), column) << text.toStdString();
            // Only just: one blank fewer would fall short.
            EXPECT_LT(ctx->TextWidth(font, text.left(tab - 1)), column) << text.toStdString();
        }
        EXPECT_GT(withTab, 0);
    }
}

TEST_F(DravMenuLoad, ABlankThatMeasuresNothingEndsTheAlignment)
{
    ctx->measureText = [](const QFont&, const QString& text) {
        int w = 0;
        for (QChar c : text)
            w += c == ' ' ? 0 : 7;
        return w;
    };
    DravMenu menu(*ctx);
    ASSERT_EQ(menu.LoadMenu(128), 1);  // would loop for ever
    EXPECT_EQ(Level(menu, 0)->MenuItems[0]->GetText(), QStringLiteral("&Open\tCtrl+O"));
}

TEST_F(DravMenuLoad, BadTemplatesAreRefusedWholeAndKeepTheMenu)
{
    DravMenu menu(*ctx);
    ASSERT_EQ(menu.LoadMenu(128), 1);
    const MenuHandle before = menu.Handle();
    const size_t menus = ctx->handles.MenuCount();
    auto intact = [&] {
        EXPECT_EQ(menu.Handle(), before);
        EXPECT_EQ(ctx->handles.MenuCount(), menus);
        EXPECT_EQ(ctx->handles.GetMenuItemCount(before), 3);
        QString text;
        EXPECT_EQ(menu.GetItemText(21, text, 0), 1);
        EXPECT_EQ(text, QStringLiteral("&2 two"));
    };
    for (int len = 0; len < sample.size(); ++len) {
        ctx->resources.executable.menus[129] = sample.left(len);
        ASSERT_EQ(menu.LoadMenu(129), 0) << len;
    }
    intact();
    QByteArray v1 = sample;
    v1[0] = 1;
    ctx->resources.executable.menus[130] = v1;
    EXPECT_EQ(menu.LoadMenu(130), 0);
    std::vector<MenuTemplateItem> deep{Cmd(1, "x")};
    for (int d = 0; d < kMaxMenuTemplateDepth; ++d)
        deep = {Popup("p", deep)};
    ctx->resources.executable.menus[131] = EncodeMenuTemplate(deep);
    EXPECT_EQ(menu.LoadMenu(131), 0);
    EXPECT_EQ(menu.LoadMenu(999), 0);
    EXPECT_EQ(menu.LoadMenu(QStringLiteral("NOPE")), 0);
    intact();
}

TEST_F(DravMenuLoad, NamesAndTheCurrentModuleComeFirst)
{
    ctx->resources.current.menus[128] = EncodeMenuTemplate({Popup("Datei", {Cmd(10, "Öffnen")})});
    ctx->resources.executable.namedMenus[QStringLiteral("POPUPS")] =
        EncodeMenuTemplate({Popup("x", {Cmd(7, "seven")})});
    DravMenu menu(*ctx);
    ASSERT_EQ(menu.LoadMenu(128), 1);
    EXPECT_EQ(ctx->handles.GetMenuString(menu.Handle(), 0), QStringLiteral("Datei"));
    ASSERT_EQ(menu.LoadMenu(QStringLiteral("POPUPS")), 1);
    QString text;
    EXPECT_EQ(menu.GetItemText(7, text, 0), 1);
    EXPECT_EQ(text, QStringLiteral("seven"));
}

TEST_F(DravMenuLoad, DestroyFreesTheWholeTree)
{
    {
        DravMenu menu(*ctx);
        ASSERT_EQ(menu.LoadMenu(128), 1);
        ASSERT_EQ(ctx->handles.MenuCount(), 4u);
        EXPECT_EQ(ctx->OwnedSubMenus.size(), 3u);
        ASSERT_EQ(menu.LoadMenu(128), 1);  // a second load replaces the first
        EXPECT_EQ(ctx->handles.MenuCount(), 4u);
        EXPECT_EQ(menu.DestroyMenu(), 1);
        EXPECT_EQ(menu.Handle(), 0u);
        EXPECT_EQ(ctx->handles.MenuCount(), 0u);
        EXPECT_TRUE(ctx->OwnedSubMenus.empty());
        EXPECT_EQ(menu.DestroyMenu(), 0);
        ASSERT_EQ(menu.LoadMenu(128), 1);
    }
    EXPECT_EQ(ctx->handles.MenuCount(), 0u);  // the destructor destroys it too
}

TEST_F(DravMenuLoad, SynchronizeFollowsInsertedRemovedAndRenamedPositions)
{
    DravMenu menu(*ctx);
    ASSERT_EQ(menu.LoadMenu(128), 1);
    DravMenu* edit = Level(menu, 1);
    MenuHandles& h = ctx->handles;
    const MenuHandle eh = edit->Handle();
    DravMenuData* undo = edit->MenuItems[0].get();

    // Inserted at the front: a plain string item and a plain separator.
    ASSERT_TRUE(h.InsertMenu(eh, 0, mf::kByPosition, 33, QStringLiteral("&Redo")));
    ASSERT_TRUE(h.InsertMenu(eh, 1, mf::kByPosition | mf::kSeparator, 0, QString()));
    edit->SynchronizeItems();
    ASSERT_EQ(edit->MenuItems.size(), 4u);
    EXPECT_EQ(edit->MenuItems[0]->GetText(), QStringLiteral("&Redo"));
    EXPECT_EQ(edit->MenuItems[0]->flags & 0x500u, 0x500u);
    EXPECT_EQ(edit->MenuItems[1]->flags & 0xD00u, 0xD00u);
    EXPECT_EQ(edit->MenuItems[2].get(), undo);  // records are kept, not remade
    for (int pos = 0; pos < 4; ++pos)
        EXPECT_EQ(h.GetItemData(eh, pos), edit->MenuItems[static_cast<size_t>(pos)].get()) << pos;

    // Renamed by a plain string: the record takes the new text.
    ASSERT_TRUE(h.ModifyMenu(eh, 2, mf::kByPosition, 30, QStringLiteral("&Undo typing")));
    // Removed: its record goes.
    ASSERT_TRUE(h.RemoveMenu(eh, 3));
    edit->SynchronizeItems();
    ASSERT_EQ(edit->MenuItems.size(), 3u);
    EXPECT_EQ(edit->MenuItems[2]->GetText(), QStringLiteral("&Undo typing"));
    EXPECT_TRUE(h.GetMenuItemFlags(eh, 2) & mf::kOwnerDraw);

    // A plain popup of eight items: its count in the state's high byte is no flag.
    const MenuHandle sub = h.CreatePopupMenu();
    for (uint32_t i = 0; i < 8; ++i)
        h.AppendMenu(sub, 0, 100 + i, QStringLiteral("x"));
    ASSERT_TRUE(h.AppendMenu(eh, mf::kPopup, sub, QStringLiteral("More")));
    edit->SynchronizeItems();
    ASSERT_EQ(edit->MenuItems.size(), 4u);
    EXPECT_EQ(edit->MenuItems[3]->flags, 0x510u);
    EXPECT_FALSE(h.GetMenuItemFlags(eh, 3) & mf::kSeparator);
    EXPECT_TRUE(h.GetMenuItemFlags(eh, 3) & mf::kOwnerDraw);
}

TEST_F(DravMenuLoad, ShortcutLettersInAnyCase)
{
    DravMenu menu(*ctx);
    ASSERT_EQ(menu.LoadMenu(128), 1);
    const MenuHandle file = ctx->handles.GetSubMenu(menu.Handle(), 0);
    const MenuHandle edit = ctx->handles.GetSubMenu(menu.Handle(), 1);
    struct Case {
        QChar ch;
        MenuHandle menu;
        uint32_t flags;
        uint32_t expected;
    };
    const std::vector<Case> cases = {
        {'o', file, mf::kPopup, 0x20000},      {'O', file, mf::kPopup, 0x20000},
        {'a', file, mf::kPopup, 0x20002},      {'R', file, mf::kPopup, 0x20003},
        {'x', file, mf::kPopup, 0x20004},      {'L', edit, mf::kPopup, 0x20001},
        {'q', file, mf::kPopup, 0},            {'o', file, 0, 0},  // not a drop-down
        {'f', menu.Handle(), 0, 0},            {'o', 0xDEAD, mf::kPopup, 0},  // foreign menu
    };
    for (const Case& c : cases)
        EXPECT_EQ(DravMenu::FindShortcutItem(*ctx, c.ch, c.flags, c.menu), c.expected)
            << QString(c.ch).toStdString();
    // Lower-casing unit by unit: a Greek capital finds its small letter.
    DravMenu* level = Level(menu, 1);
    level->AppendItem(QStringLiteral("&\u0394elta"), 0, 50);
    EXPECT_EQ(DravMenu::FindShortcutItem(*ctx, QChar(0x03B4), mf::kPopup, edit), 0x20002u);
    // A position added behind the menu's back is found after synchronising.
    ctx->handles.AppendMenu(edit, 0, 51, QStringLiteral("&Zoom"));
    EXPECT_EQ(DravMenu::FindShortcutItem(*ctx, 'z', mf::kPopup, edit), 0x20003u);
}

TEST_F(DravMenuLoad, ItemTextByIdThroughSubMenusAndByPosition)
{
    DravMenu menu(*ctx);
    ASSERT_EQ(menu.LoadMenu(128), 1);
    QString text;
    EXPECT_EQ(menu.GetItemText(20, text, 0), 1);
    EXPECT_EQ(text, QStringLiteral("&1 one"));
    EXPECT_EQ(menu.GetItemText(31, text, 0), 1);
    EXPECT_EQ(text, QStringLiteral("Select a&ll"));
    EXPECT_EQ(menu.GetItemText(40, text, 0), 1);  // a top-level command
    EXPECT_EQ(text, QStringLiteral("&Go"));
    text = QStringLiteral("kept");
    EXPECT_EQ(menu.GetItemText(99, text, 0), 0);
    EXPECT_EQ(text, QStringLiteral("kept"));

    DravMenu* file = Level(menu, 0);
    int position = -1;
    EXPECT_EQ(menu.FindSubMenuOfCommand(12, position), file);
    EXPECT_EQ(position, 4);
    EXPECT_EQ(menu.FindSubMenuOfCommand(99, position), nullptr);
    EXPECT_EQ(position, -1);

    EXPECT_EQ(file->GetItemText(0, text, mf::kByPosition), 1);
    EXPECT_TRUE(text.startsWith(QStringLiteral("&Open")));
    EXPECT_EQ(file->GetItemText(4, text, mf::kByPosition), 1);
    EXPECT_EQ(text, QStringLiteral("E&xit"));
    EXPECT_EQ(file->GetItemText(5, text, mf::kByPosition), 0);
    EXPECT_EQ(file->GetItemText(0xFFFFFFFFu, text, mf::kByPosition), 0);
}

TEST_F(DravMenuLoad, AppendingToALoadedMenuKeepsTheTopLevelPlain)
{
    DravMenu menu(*ctx);
    ASSERT_EQ(menu.LoadMenu(128), 1);
    DravMenu extra(*ctx);
    extra.AppendItem(QStringLiteral("x"), 0, 70);  // an empty handle: AppendMenu fails, the record stays
    const MenuHandle sub = ctx->handles.CreatePopupMenu();
    ASSERT_EQ(menu.AppendItem(QStringLiteral("&View"), mf::kPopup, sub), 1);
    EXPECT_FALSE(ctx->handles.GetMenuItemFlags(menu.Handle(), 0) & mf::kOwnerDraw);
    EXPECT_EQ(menu.MenuItems[3]->flags, 0x410u);
    EXPECT_FALSE(ctx->handles.GetMenuItemFlags(menu.Handle(), 3) & mf::kOwnerDraw);
    EXPECT_EQ(ctx->handles.GetMenuString(menu.Handle(), 3), QStringLiteral("&View"));
    EXPECT_EQ(menu.FindTopLevelOffset(), 0);
}

}  // namespace
