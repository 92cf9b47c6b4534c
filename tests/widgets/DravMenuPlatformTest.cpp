// Guards: the platform version or theme read wrongly or more than once, and colour blends off.
#include "DravMenuTestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(DravMenuPlatform, VersionCodeTable)
{
    struct Case {
        uint32_t word;
        std::optional<MenuOsVersionRecord> record;
        int code;
    };
    const std::vector<Case> cases = {
        {0x80000003, MenuOsVersionRecord{3, 95}, 0},  // Win32s
        {0x80000004, MenuOsVersionRecord{4, 0}, 2},   // Windows 95
        {0x80000004, MenuOsVersionRecord{4, 10}, 3},  // 98
        {0x80000004, MenuOsVersionRecord{4, 90}, 4},  // Me
        {0x80000005, MenuOsVersionRecord{5, 0}, 2},   // another 9x version
        {0x80000004, std::nullopt, 2},
        {0x00000004, MenuOsVersionRecord{4, 0}, 5},   // NT 4
        {0x00000005, MenuOsVersionRecord{5, 0}, 6},   // 2000
        {0x00000105, MenuOsVersionRecord{5, 1}, 7},   // XP
        {0x00000205, MenuOsVersionRecord{5, 2}, 1},   // Server 2003
        {0x00000006, MenuOsVersionRecord{6, 1}, 1},   // 7
        {0x0000000A, MenuOsVersionRecord{10, 0}, 1},  // 10 and later
        {0x00000105, std::nullopt, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QueryOsVersionCode(c.word, c.record), c.code) << std::hex << c.word;
}

TEST(DravMenuPlatform, ClassicThemeValue)
{
    const QByteArray tail("Windows Classic.theme");
    struct Case {
        std::optional<QByteArray> value;
        int classic;
    };
    const std::vector<Case> cases = {
        {tail, 1},
        {tail + '\0', 1},
        {QByteArray("C:\\WINDOWS\\Resources\\Themes\\WINDOWS CLASSIC.THEME"), 1},
        {QByteArray("c:\\themes\\windows classic.Theme"), 1},
        {QByteArray("Classic.theme"), 0},
        {QByteArray("C:\\Themes\\Luna.theme"), 0},
        {QByteArray("Windows Classic.theme.bak"), 0},
        {QByteArray(260 - tail.size(), 'x') + tail, 1},
        {QByteArray(261 - tail.size(), 'x') + tail, 0},  // longer than the 260-byte buffer
        {std::nullopt, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClassicThemeFromValue(c.value), c.classic) << (c.value ? c.value->toStdString() : "none");
}

TEST(DravMenuPlatform, DerivedTestsAndTheThemeReadOnce)
{
    MenuPlatformInputs in = dravtest::FixedInputs(dravtest::Look::Xp);
    in.themeValue = std::nullopt;  // the key cannot be read: not classic
    DravMenuContext xp(in);
    EXPECT_EQ(xp.OsVersionCode, 7);
    EXPECT_TRUE(xp.IsNewShellVersion());
    EXPECT_TRUE(xp.IsXpThemedStyle());
    EXPECT_TRUE(xp.UsesXpDrawingStyle());
    // The failure is kept: a value appearing later is never read.
    xp.inputs.themeValue = QByteArray("Windows Classic.theme");
    EXPECT_EQ(xp.IsClassicThemeActive(), 0);

    in.themeValue = QByteArray("windows classic.theme");
    DravMenuContext classicXp(in);
    EXPECT_FALSE(classicXp.IsXpThemedStyle());
    EXPECT_FALSE(classicXp.UsesXpDrawingStyle());

    DravMenuContext later(dravtest::FixedInputs(dravtest::Look::Classic));
    EXPECT_EQ(later.OsVersionCode, 1);
    EXPECT_FALSE(later.IsNewShellVersion());
    EXPECT_FALSE(later.UsesXpDrawingStyle());

    DravMenuContext program(MenuPlatformInputs::ForProgram());
    EXPECT_EQ(program.OsVersionCode, 1);
    EXPECT_FALSE(program.UsesXpDrawingStyle());
}

TEST(DravMenuPlatform, BlendTowardWhite)
{
    const uint32_t c = 0x102030;
    EXPECT_EQ(DravMenu::BlendTowardWhite(c, 0.0), c);
    EXPECT_EQ(DravMenu::BlendTowardWhite(c, 0.3), 0x57626Eu);  // trunc((255 - v) * 0.3 + v)
    EXPECT_EQ(DravMenu::BlendTowardWhite(c, 1.0), 0xFFFFFFu);
    EXPECT_EQ(DravMenu::BlendTowardWhite(c, 1.5), c);
    EXPECT_EQ(DravMenu::BlendTowardWhite(c, -1.0), c);
}

}  // namespace
