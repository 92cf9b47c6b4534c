// Guards: menu templates parsed into wrong trees, and cut-short or too deep ones accepted.
#include "DravMenuTestSupport.h"

#include <gtest/gtest.h>

namespace {

using dravtest::Cmd;
using dravtest::Popup;
using dravtest::Sep;

QByteArray Words(std::initializer_list<uint16_t> words)
{
    QByteArray b;
    for (uint16_t w : words) {
        b.append(static_cast<char>(w & 0xFF));
        b.append(static_cast<char>(w >> 8));
    }
    return b;
}

struct ParseCase {
    const char* name;
    QByteArray bytes;
    bool ok;
};

TEST(MenuTemplate, HandMadeTemplates)
{
    const std::vector<ParseCase> cases = {
        {"one command", Words({0, 0, 0x80, 7, 'A', 0}), true},
        {"header offset skips bytes", Words({0, 2, 0xFFFF, 0x80, 7, 'A', 0}), true},
        {"trailing padding is ignored", Words({0, 0, 0x80, 7, 'A', 0, 0, 0}), true},
        {"popup closed by its last item", Words({0, 0, 0x90, 'P', 0, 0x80, 5, 'x', 0}), true},
        {"empty", QByteArray(), false},
        {"header only", Words({0, 0}), false},
        {"version 1 (extended form)", Words({1, 4, 0, 0, 0x80, 7, 'A', 0}), false},
        {"missing text terminator", Words({0, 0, 0x80, 7, 'A', 'B'}), false},
        {"odd byte at the end", Words({0, 0, 0x80, 7, 'A'}) + QByteArray(1, '\0'), false},
        {"no MF_END: menu left open", Words({0, 0, 0, 7, 'A', 0}), false},
        {"popup never closed", Words({0, 0, 0x90, 'P', 0, 0, 5, 'x', 0}), false},
        {"offset past the end", Words({0, 0xFFFF, 0x80, 7, 0}), false},
    };
    for (const ParseCase& c : cases) {
        QString why;
        const auto items = ParseMenuTemplate(c.bytes, &why);
        EXPECT_EQ(items.has_value(), c.ok) << c.name;
        EXPECT_EQ(why.isEmpty(), c.ok) << c.name << ": " << why.toStdString();
    }
}

TEST(MenuTemplate, NestedPopupsCloseByTheirEndMarks)
{
    // Top: popup "A" { 1, popup "B" { 2, 3 }, 4 }, popup "C" { 5 } -- as the resource compiler writes it.
    const QByteArray bytes = Words({0, 0,
                                    0x10, 'A', 0,
                                    0, 1, 'a', 0,
                                    0x10, 'B', 0,
                                    0, 2, 0,
                                    0x80, 3, 0,
                                    0x80, 4, 0,
                                    0x90, 'C', 0,
                                    0x80, 5, 0});
    const auto items = ParseMenuTemplate(bytes);
    ASSERT_TRUE(items);
    ASSERT_EQ(items->size(), 2u);
    const auto& a = (*items)[0];
    EXPECT_EQ(a.text, QStringLiteral("A"));
    ASSERT_EQ(a.children.size(), 3u);
    EXPECT_EQ(a.children[1].children.size(), 2u);
    EXPECT_EQ(a.children[1].children[1].id, 3);
    EXPECT_EQ(a.children[2].id, 4);
    EXPECT_EQ((*items)[1].children.at(0).id, 5);
    // MF_END is a mark of the template, not a flag of the item.
    EXPECT_EQ(a.children[1].children[1].flags, 0);
    EXPECT_EQ(EncodeMenuTemplate(*items), bytes);
}

TEST(MenuTemplate, EveryCutOfAGoodTemplateIsRefused)
{
    const QByteArray good = EncodeMenuTemplate(
        {Popup("File", {Cmd(1, "Open\tCtrl+O"), Sep(), Popup("Recent", {Cmd(2, "a"), Cmd(3, "b")}), Cmd(4, "Exit")}),
         Popup("Help", {Cmd(5, "About")})});
    ASSERT_TRUE(ParseMenuTemplate(good));
    for (int len = 0; len < good.size(); ++len)
        EXPECT_FALSE(ParseMenuTemplate(good.left(len))) << "cut at " << len;
}

TEST(MenuTemplate, DepthIsCapped)
{
    auto nested = [](int depth) {
        MenuTemplateItem leaf = Cmd(9, "leaf");
        std::vector<MenuTemplateItem> level{leaf};
        for (int d = 1; d < depth; ++d)
            level = {Popup(QStringLiteral("L%1").arg(d), level)};
        return EncodeMenuTemplate(level);
    };
    EXPECT_TRUE(ParseMenuTemplate(nested(kMaxMenuTemplateDepth)));
    QString why;
    EXPECT_FALSE(ParseMenuTemplate(nested(kMaxMenuTemplateDepth + 1), &why));
    EXPECT_TRUE(why.contains(QStringLiteral("deep")));
}

}  // namespace
