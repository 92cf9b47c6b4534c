#pragma once

// Shared fixtures of the owner-drawn menu tests: a Qt application, fixed system
// inputs and hand-made resources.

#include "widgets/DravMenu.h"
#include "widgets/MenuTemplate.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QByteArray>
#include <QFont>

#include <cstdlib>
#include <memory>
#include <vector>

namespace dravtest {

// The application the tests made, if they made one.
inline QApplication*& OwnedApp()
{
    static QApplication* app = nullptr;
    return app;
}

// The tests need fonts, so a GUI application; made once, offscreen unless told.
inline void EnsureApp()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_drav_menu";
    static char* argv[] = {name, nullptr};
    OwnedApp() = new QApplication(argc, argv);
}

// Ends that application after the last test, before the program's statics go.
class AppEnvironment : public ::testing::Environment {
public:
    void TearDown() override
    {
        delete OwnedApp();
        OwnedApp() = nullptr;
    }
};

inline ::testing::Environment* const kAppEnvironment = ::testing::AddGlobalTestEnvironment(new AppEnvironment);

inline QFont FixedFont(int pixels = 12)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixels);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

// Distinct colours so that every pixel tells where it came from.
inline MenuSysColors FixedColors()
{
    MenuSysColors c;
    c.btnFace = 0xC0C0C0;
    c.btnShadow = 0x808080;
    c.btnHighlight = 0xFFFFFF;
    c.btnText = 0x000000;
    c.menu = 0xD4D0C8;
    c.menuText = 0x000000;
    c.highlight = 0x0A246A;
    c.highlightText = 0xFFFFFE;
    c.grayText = 0x7F7F7F;
    c.window = 0xFFFFFF;
    return c;
}

enum class Look { Classic, ClassicNewShell, Xp };

// Inputs of a fixed theme: the classic look of a Windows after XP, the classic
// look with the new shell (Windows 2000: frames drawn) or the XP look.
inline MenuPlatformInputs FixedInputs(Look look = Look::Classic)
{
    EnsureApp();
    MenuPlatformInputs in;
    in.versionWord = 0x00000006;
    in.versionRecord = MenuOsVersionRecord{6, 2};
    if (look == Look::ClassicNewShell) {
        in.versionWord = 0x00000005;
        in.versionRecord = MenuOsVersionRecord{5, 0};
    } else if (look == Look::Xp) {
        in.versionWord = 0x00000005;
        in.versionRecord = MenuOsVersionRecord{5, 1};
        in.themeValue = QByteArray("C:\\WINDOWS\\resources\\Themes\\Luna.theme");
    }
    in.colors = FixedColors();
    in.cyMenu = 19;
    in.menuFont = FixedFont(12);
    in.dcDefaultFont = FixedFont(12);
    return in;
}

inline std::unique_ptr<DravMenuContext> MakeContext(Look look = Look::Classic)
{
    return std::make_unique<DravMenuContext>(FixedInputs(look));
}

// Template items in short.
inline MenuTemplateItem Cmd(uint16_t id, const QString& text, uint16_t flags = 0)
{
    MenuTemplateItem i;
    i.id = id;
    i.text = text;
    i.flags = flags;
    return i;
}

inline MenuTemplateItem Sep()
{
    return Cmd(0, QString());
}

inline MenuTemplateItem Popup(const QString& text, std::vector<MenuTemplateItem> children)
{
    MenuTemplateItem i;
    i.flags = mf::kPopup;
    i.text = text;
    i.children = std::move(children);
    return i;
}

// A 4-bit bitmap resource (info header, 16-entry table, bottom-up rows).
inline QByteArray MakeDib4(int width, int height, const std::vector<uint32_t>& palette,
                           const std::vector<uint8_t>& indices, uint32_t clrUsed = 0)
{
    QByteArray b;
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    auto put16 = [&](uint16_t v) {
        b.append(static_cast<char>(v & 0xFF));
        b.append(static_cast<char>(v >> 8));
    };
    const int stride = ((width * 4 + 31) / 32) * 4;
    put32(40);
    put32(static_cast<uint32_t>(width));
    put32(static_cast<uint32_t>(height));
    put16(1);
    put16(4);
    put32(0);
    put32(static_cast<uint32_t>(stride * height));
    put32(0);
    put32(0);
    put32(clrUsed);
    put32(0);
    const size_t entries = clrUsed ? clrUsed : 16;
    for (size_t i = 0; i < entries; ++i) {
        const uint32_t c = i < palette.size() ? palette[i] : 0;
        b.append(static_cast<char>(c & 0xFF));          // blue
        b.append(static_cast<char>((c >> 8) & 0xFF));   // green
        b.append(static_cast<char>((c >> 16) & 0xFF));  // red
        b.append('\0');
    }
    for (int y = height - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        for (int x = 0; x < width; ++x) {
            const uint8_t v = indices[static_cast<size_t>(y * width + x)] & 0xF;
            row[x / 2] = static_cast<char>(row[x / 2] | (x % 2 ? v : v << 4));
        }
        b.append(row);
    }
    return b;
}

// The standard 16-colour palette of the toolbar editors.
inline std::vector<uint32_t> VgaPalette()
{
    return {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
            0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
}

// A toolbar bitmap of `count` 16 x 15 images: image k is a filled square of
// palette colour 9 + k on the light grey face (index 7), with a black dot.
inline QByteArray MakeToolbarDib(int count)
{
    const int w = 16 * count, h = 15;
    std::vector<uint8_t> px(static_cast<size_t>(w * h), 7);
    for (int k = 0; k < count; ++k)
        for (int y = 3; y < 12; ++y)
            for (int x = 3; x < 13; ++x)
                px[static_cast<size_t>(y * w + 16 * k + x)] = static_cast<uint8_t>(y == 7 && x == 7 ? 0 : 9 + k % 7);
    return MakeDib4(w, h, VgaPalette(), px);
}

}  // namespace dravtest
