#pragma once

#include "widgets/MenuPlatform.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

// A toolbar resource: button size and the command of each button, 0 a separator.
struct MenuToolbar {
    int buttonWidth = 16;
    int buttonHeight = 15;
    std::vector<uint16_t> commands;
};

// The resources the owner-drawn menu reads: menu templates (standard form) by id
// or name, toolbars by id and bitmaps (DIB bytes as a bitmap resource holds them:
// header, colour table, bits) by id. Two modules, searched as the framework
// does: the current resource module (a language's), then the executable's.
class MenuResources {
public:
    struct Module {
        std::map<uint16_t, QByteArray> menus;
        std::map<QString, QByteArray> namedMenus;
        std::map<uint16_t, MenuToolbar> toolbars;
        std::map<uint16_t, QByteArray> bitmaps;
    };

    Module current;
    Module executable;

    std::optional<QByteArray> FindMenu(uint16_t id) const;
    std::optional<QByteArray> FindMenu(const QString& name) const;
    const MenuToolbar* FindToolbar(uint16_t id) const;
    std::optional<QByteArray> FindBitmap(uint16_t id) const;
};

// A toolbar command's image index (its place among the buttons that are not
// separators); 0 when the toolbar or the command is missing.
int FindToolbarImageIndexIn(const MenuResources& res, uint16_t toolbarId, uint32_t command);

// BitmapColorCount: biClrUsed when non-zero, else 2, 16 or 256 for 1, 4 or 8
// bits per pixel, else 0; 0 for bytes that hold no bitmap header.
int BitmapColorCount(const QByteArray& dib);

// Decodes DIB bytes; null for damaged or oversized bitmaps. With mapSysColors
// the framework's loader mapping applies: black, dark grey, light grey and white
// become the button text, shadow, face and highlight colours.
QImage DecodeMenuBitmap(const QByteArray& dib, const MenuSysColors& colors, bool mapSysColors);
