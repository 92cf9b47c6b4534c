// Guards: menus with an id twice, templates losing entries, clashing keys, texts left Chinese in English or Turkish.
#include "app/commands/CommandTable.h"
#include "app/commands/FrameCommands.h"

#include "widgets/DravMenuTestSupport.h"

#include <gtest/gtest.h>

#include <QKeySequence>
#include <QTranslator>

#include <map>
#include <set>
#include <vector>

namespace {

struct NamedMenu {
    const char* name;
    std::span<const MenuEntry> entries;
};

std::vector<NamedMenu> AllMenus()
{
    return {{"main", commandtable::MainMenu()},
            {"job list", commandtable::JobMenu()},
            {"preview", commandtable::PreviewMenu()}};
}

void CollectIds(std::span<const MenuEntry> menu, std::vector<uint16_t>& ids)
{
    for (const MenuEntry& e : menu) {
        if (e.kind == MenuEntry::Kind::Command) ids.push_back(e.id);
        if (e.kind == MenuEntry::Kind::SubMenu) CollectIds(e.items, ids);
    }
}

void CollectTexts(std::span<const MenuEntry> menu, std::vector<const char*>& texts)
{
    for (const MenuEntry& e : menu) {
        if (e.text) texts.push_back(e.text);
        if (e.kind == MenuEntry::Kind::SubMenu) CollectTexts(e.items, texts);
    }
}

bool HasHan(const QString& s)
{
    for (QChar c : s)
        if (c.unicode() >= 0x3000 && c.unicode() <= 0x9FFF) return true;
    return false;
}

// The template the owner-drawn menu reads holds the table as it stands:
// every entry in order, kind, id and translated text.
void ExpectSameTree(std::span<const MenuEntry> table, const std::vector<MenuTemplateItem>& parsed,
                    const std::string& where)
{
    ASSERT_EQ(parsed.size(), table.size()) << where;
    for (size_t i = 0; i < table.size(); ++i) {
        const MenuEntry& e = table[i];
        const MenuTemplateItem& t = parsed[i];
        const std::string at = where + "/" + std::to_string(i);
        switch (e.kind) {
        case MenuEntry::Kind::Separator:
            EXPECT_EQ(t.id, 0) << at;
            EXPECT_TRUE(t.text.isEmpty()) << at;
            break;
        case MenuEntry::Kind::Command:
            EXPECT_FALSE(t.flags & mf::kPopup) << at;
            EXPECT_EQ(t.id, e.id) << at;
            EXPECT_EQ(t.text, commandtable::Translate(e.text)) << at;
            break;
        case MenuEntry::Kind::SubMenu:
            ASSERT_TRUE(t.flags & mf::kPopup) << at;
            EXPECT_EQ(t.text, commandtable::Translate(e.text)) << at;
            ExpectSameTree(e.items, t.children, at);
            break;
        }
    }
}

TEST(CommandTable, TemplatesHoldEveryEntryInOrder)
{
    dravtest::EnsureApp();
    for (const NamedMenu& m : AllMenus()) {
        const auto parsed = ParseMenuTemplate(commandtable::MenuTemplateBytes(m.entries));
        ASSERT_TRUE(parsed) << m.name;
        ExpectSameTree(m.entries, *parsed, m.name);
    }
}

TEST(CommandTable, NoIdTwiceInAMenuAndEachOneFound)
{
    std::vector<std::vector<uint16_t>> idsOf;
    for (const NamedMenu& m : AllMenus()) {
        std::vector<uint16_t> ids;
        CollectIds(m.entries, ids);
        EXPECT_FALSE(ids.empty()) << m.name;
        const std::set<uint16_t> once(ids.begin(), ids.end());
        EXPECT_EQ(once.size(), ids.size()) << "an id twice in the " << m.name << " menu";
        for (uint16_t id : ids) {
            const MenuEntry* e = commandtable::FindCommand(m.entries, id);
            ASSERT_NE(e, nullptr) << m.name << " " << id;
            EXPECT_EQ(e->id, id);
        }
        idsOf.push_back(std::move(ids));
    }
    // The context menus' commands are their views' own, never the frame's.
    for (size_t a = 0; a < idsOf.size(); ++a)
        for (size_t b = 0; b < idsOf.size(); ++b)
            if (a != b) {
                for (uint16_t id : idsOf[a]) {
                    EXPECT_EQ(commandtable::FindCommand(AllMenus()[b].entries, id), nullptr)
                        << id << " of the " << AllMenus()[a].name << " menu in the " << AllMenus()[b].name << " menu";
                }
            }
}

TEST(CommandTable, ToolbarAndAccelerators)
{
    std::set<uint16_t> buttons;
    for (uint16_t id : commandtable::ToolbarButtons())
        if (id != 0) {
            EXPECT_TRUE(buttons.insert(id).second) << "button " << id << " twice";
        }
    EXPECT_FALSE(buttons.empty());
    std::set<QKeySequence> keys;
    for (const AcceleratorEntry& k : commandtable::Accelerators()) {
        const QKeySequence key(QString::fromLatin1(k.key));
        EXPECT_EQ(key.count(), 1) << k.key;
        EXPECT_NE(key[0].key(), Qt::Key_unknown) << k.key;
        EXPECT_TRUE(keys.insert(key).second) << k.key << " twice";
        EXPECT_NE(k.command, 0) << k.key;
        // A key a menu item names after its tab is the key of that item.
        for (const NamedMenu& m : AllMenus())
            if (const MenuEntry* e = commandtable::FindCommand(m.entries, k.command)) {
                const QString shown = commandtable::AcceleratorOf(e->text);
                if (shown.contains(QLatin1String("Ctrl+"))) {
                    EXPECT_TRUE(shown.contains(QString::fromLatin1(k.key))) << k.key << " shown as " << shown.toStdString();
                }
            }
    }
}

TEST(CommandTable, LabelAcceleratorAndPromptSplitTheirTexts)
{
    for (const NamedMenu& m : AllMenus()) {
        std::vector<const char*> texts;
        CollectTexts(m.entries, texts);
        for (const char* t : texts) {
            const QString whole = commandtable::Translate(t);
            const QString accel = commandtable::AcceleratorOf(t);
            EXPECT_EQ(accel.isEmpty() ? commandtable::LabelOf(t) : commandtable::LabelOf(t) + '\t' + accel, whole) << t;
            EXPECT_FALSE(commandtable::LabelOf(t).contains('\t')) << t;
        }
    }
    for (const PromptEntry& p : commandtable::Prompts()) {
        const QString text = commandtable::Translate(p.text);
        const QString status = commandtable::StatusPromptOf(p.command), tip = commandtable::ToolTipOf(p.command);
        EXPECT_FALSE(status.isEmpty()) << p.command;
        EXPECT_EQ(tip.isEmpty() ? status : status + '\n' + tip, text) << p.command;
    }
    EXPECT_EQ(commandtable::StatusPromptOf(0), QString());
    EXPECT_EQ(commandtable::Translate(nullptr), QString());
}

// Every text of the table as the operator reads it in a language: a
// translation, and never a Chinese character in English or Turkish.
class CommandTexts : public ::testing::TestWithParam<const char*> {};

TEST_P(CommandTexts, EveryTextTranslated)
{
    dravtest::EnsureApp();
    QTranslator t;
    const QString file = QStringLiteral(ORLAT_TEST_QM_DIR "/OrlatCenter_%1.qm").arg(QString::fromLatin1(GetParam()));
    ASSERT_TRUE(t.load(file)) << file.toStdString();
    std::vector<const char*> texts;
    for (const NamedMenu& m : AllMenus()) CollectTexts(m.entries, texts);
    for (const PromptEntry& p : commandtable::Prompts()) texts.push_back(p.text);
    texts.push_back(commandtable::kIdlePrompt);
    for (const char* source : texts) {
        const QString tr = t.translate("Menu", source);
        const QString shown = tr.isEmpty() ? QString::fromUtf8(source) : tr;
        // A text without Chinese (a file name, "USB") may stand as it is.
        EXPECT_TRUE(!tr.isEmpty() || !HasHan(shown)) << GetParam() << ": no translation of " << source;
        // The Chinese language names itself in its own script.
        const MenuEntry* chinese = commandtable::FindCommand(commandtable::MainMenu(), framecmd::kLangChinese);
        if (chinese == nullptr || source != chinese->text) {
            EXPECT_FALSE(HasHan(shown)) << GetParam() << ": " << shown.toStdString();
        }
        // A shortcut after the tab survives the translation; a Chinese-style
        // "\t(&A)" may become an accelerator inside the word instead.
        const QString src = QString::fromUtf8(source);
        const int tab = src.indexOf('\t');
        if (tab >= 0 && !src.mid(tab + 1).startsWith(QStringLiteral("(&"))) {
            EXPECT_EQ(shown.count('\t'), src.count('\t')) << GetParam() << ": " << source;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, CommandTexts, ::testing::Values("en", "tr"));

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
    // Each button's image is found for its command, in button order.
    int image = 0;
    for (uint16_t id : commandtable::ToolbarButtons())
        if (id != 0) {
            EXPECT_EQ(FindToolbarImageIndexIn(ctx.resources, commandtable::kToolbarId, id), image++) << id;
        }
}

}  // namespace
