#include "app/commands/CommandTable.h"

#include "widgets/DravMenuTestSupport.h"

#include <gtest/gtest.h>

namespace {

std::vector<uint16_t> Ids(const std::vector<MenuTemplateItem>& items)
{
    std::vector<uint16_t> ids;
    for (const auto& i : items)
        ids.push_back((i.flags & mf::kPopup) ? 0xFFFF : i.id);
    return ids;
}

TEST(CommandTable, MainMenuTemplate)
{
    dravtest::EnsureApp();
    const auto menu = ParseMenuTemplate(commandtable::MenuTemplateBytes(commandtable::MainMenu()));
    ASSERT_TRUE(menu);
    ASSERT_EQ(menu->size(), 4u);
    EXPECT_EQ((*menu)[0].text, QStringLiteral("文件(&F)"));
    EXPECT_EQ((*menu)[1].text, QStringLiteral("Language(&L)"));
    const auto& file = (*menu)[0].children;
    EXPECT_EQ(Ids(file), (std::vector<uint16_t>{309, 0xFFFF, 0, 57601, 57603, 0, 310, 0, 57665}));
    EXPECT_EQ(file[1].text, QStringLiteral("打开调机文件\t(&T)"));
    EXPECT_EQ(Ids(file[1].children), (std::vector<uint16_t>{32700, 32701, 32702, 32703, 32704}));
    EXPECT_EQ(file[1].children[0].text, QStringLiteral("\"10x10.plt\""));
    EXPECT_EQ(file[8].text, QStringLiteral("退出\t(&X)"));
    EXPECT_EQ(Ids((*menu)[1].children), (std::vector<uint16_t>{3000, 3001, 3002}));
    const auto& settings = (*menu)[2].children;
    EXPECT_EQ(Ids(settings), (std::vector<uint16_t>{0xFFFF, 315, 3003}));
    EXPECT_EQ(Ids(settings[0].children), (std::vector<uint16_t>{3201, 3202}));
    EXPECT_EQ(settings[0].children[1].text, QStringLiteral("网线"));
    EXPECT_EQ(Ids((*menu)[3].children), (std::vector<uint16_t>{57664}));
}

TEST(CommandTable, ContextMenusToolbarAndAccelerators)
{
    dravtest::EnsureApp();
    const auto jobs = ParseMenuTemplate(commandtable::MenuTemplateBytes(commandtable::JobMenu()));
    ASSERT_TRUE(jobs);
    ASSERT_EQ(jobs->size(), 1u);
    const auto& job = (*jobs)[0].children;
    EXPECT_EQ(Ids(job), (std::vector<uint16_t>{0xFFFF, 3024, 3025, 3020, 3011, 3010}));
    EXPECT_EQ(Ids(job[0].children), (std::vector<uint16_t>{3021, 3022, 3023}));
    EXPECT_EQ(job[5].text, QStringLiteral("删除\tDEL"));

    const auto previews = ParseMenuTemplate(commandtable::MenuTemplateBytes(commandtable::PreviewMenu()));
    ASSERT_TRUE(previews);
    const auto& preview = (*previews)[0].children;
    EXPECT_EQ(Ids(preview), (std::vector<uint16_t>{1006, 3200, 1003, 1004, 1009, 1010, 1011, 0xFFFF, 1005}));
    EXPECT_EQ(Ids(preview[7].children), (std::vector<uint16_t>{1007, 1008}));

    const auto bar = commandtable::ToolbarButtons();
    EXPECT_EQ(std::vector<uint16_t>(bar.begin(), bar.end()), (std::vector<uint16_t>{309, 0, 314, 0, 315, 0, 317, 316}));
    EXPECT_EQ(commandtable::Accelerators().size(), 9u);

    // For the main window's actions: a command's label and accelerator text.
    const MenuEntry* exit = commandtable::FindCommand(commandtable::MainMenu(), 57665);
    ASSERT_NE(exit, nullptr);
    EXPECT_EQ(commandtable::LabelOf(exit->text), QStringLiteral("退出"));
    EXPECT_EQ(commandtable::AcceleratorOf(exit->text), QStringLiteral("(&X)"));
    const MenuEntry* usb = commandtable::FindCommand(commandtable::MainMenu(), 3201);
    ASSERT_NE(usb, nullptr);
    EXPECT_EQ(commandtable::AcceleratorOf(usb->text), QString());
    EXPECT_EQ(commandtable::FindCommand(commandtable::MainMenu(), 1003), nullptr);
    EXPECT_NE(commandtable::FindCommand(commandtable::PreviewMenu(), 1008), nullptr);
    EXPECT_EQ(commandtable::StatusPromptOf(310), QStringLiteral("导出列表为plt文件"));
    EXPECT_EQ(commandtable::ToolTipOf(310), QStringLiteral("导出为plt"));
    EXPECT_EQ(commandtable::ToolTipOf(316), QString());
    EXPECT_EQ(commandtable::Translate(commandtable::kIdlePrompt), QStringLiteral("就绪"));
}

TEST(CommandTable, TheProgramsMenusLoadAsOwnerDrawnMenus)
{
    DravMenuContext ctx(dravtest::FixedInputs());
    commandtable::RegisterProgramMenus(ctx.resources);
    for (uint16_t id : {commandtable::kMainMenuId, commandtable::kJobMenuId, commandtable::kPreviewMenuId}) {
        DravMenu menu(ctx);
        EXPECT_EQ(menu.LoadMenu(id), 1) << id;
    }
    DravMenu menu(ctx);
    ASSERT_EQ(menu.LoadMenu(commandtable::kMainMenuId), 1);
    QString text;
    ASSERT_EQ(menu.GetItemText(57665, text, 0), 1);
    EXPECT_TRUE(text.startsWith(QStringLiteral("退出")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("\t(&X)")));
    const MenuHandle file = ctx.handles.GetSubMenu(menu.Handle(), 0);
    EXPECT_EQ(DravMenu::FindShortcutItem(ctx, 'x', mf::kPopup, file), 0x20008u);
    EXPECT_EQ(DravMenu::FindShortcutItem(ctx, 'T', mf::kPopup, file), 0x20001u);
    EXPECT_EQ(FindToolbarImageIndexIn(ctx.resources, commandtable::kToolbarId, 316), 4);
}

}  // namespace
