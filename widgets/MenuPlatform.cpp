#include "widgets/MenuPlatform.h"

#include <QGuiApplication>
#include <QPalette>

MenuSysColors MenuSysColors::FromPalette()
{
    MenuSysColors c;
    const QPalette pal = QGuiApplication::palette();
    auto rgb = [](const QColor& q) { return static_cast<uint32_t>(q.rgb() & 0xFFFFFF); };
    c.btnFace = rgb(pal.color(QPalette::Button));
    c.btnShadow = rgb(pal.color(QPalette::Dark));
    c.btnHighlight = rgb(pal.color(QPalette::Light));
    c.btnText = rgb(pal.color(QPalette::ButtonText));
    c.menu = rgb(pal.color(QPalette::Window));
    c.menuText = rgb(pal.color(QPalette::WindowText));
    c.highlight = rgb(pal.color(QPalette::Highlight));
    c.highlightText = rgb(pal.color(QPalette::HighlightedText));
    c.grayText = rgb(pal.color(QPalette::Disabled, QPalette::WindowText));
    c.window = rgb(pal.color(QPalette::Base));
    return c;
}

MenuPlatformInputs MenuPlatformInputs::ForProgram()
{
    MenuPlatformInputs in;
    in.colors = MenuSysColors::FromPalette();
    in.menuFont = QGuiApplication::font();
    in.dcDefaultFont = QGuiApplication::font();
    return in;
}

int QueryOsVersionCode(uint32_t versionWord, const std::optional<MenuOsVersionRecord>& record)
{
    const uint32_t majorByte = versionWord & 0xFF;
    if (versionWord & 0x80000000u) {
        if (majorByte < 4)
            return 0;
        if (!record)
            return 2;
        if (record->major == 4 && record->minor == 10)
            return 3;
        if (record->major == 4 && record->minor == 90)
            return 4;
        return 2;
    }
    if (!record)
        return 1;
    if (record->major == 4)
        return 5;
    if (record->major == 5 && record->minor == 0)
        return 6;
    if (record->major == 5 && record->minor == 1)
        return 7;
    return 1;
}

int ClassicThemeFromValue(const std::optional<QByteArray>& value)
{
    static const QByteArray tail("windows classic.theme");
    if (!value || value->size() > 260)
        return 0;
    // The registry string ends at its first zero byte.
    QByteArray text = *value;
    const int nul = text.indexOf('\0');
    if (nul >= 0)
        text.truncate(nul);
    if (text.size() < tail.size())
        return 0;
    return text.right(tail.size()).toLower() == tail ? 1 : 0;
}
