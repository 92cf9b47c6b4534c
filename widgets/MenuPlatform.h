#pragma once

#include <QByteArray>
#include <QFont>
#include <QRgb>

#include <cstdint>
#include <optional>

// What the owner-drawn menu takes from the operating system and the theme,
// injected so that tests fix every input.

// The system colours the menu uses, as 0x00RRGGBB.
struct MenuSysColors {
    uint32_t btnFace = 0xC0C0C0;
    uint32_t btnShadow = 0x808080;
    uint32_t btnHighlight = 0xFFFFFF;
    uint32_t btnText = 0x000000;
    uint32_t menu = 0xC0C0C0;
    uint32_t menuText = 0x000000;
    uint32_t highlight = 0x000080;
    uint32_t highlightText = 0xFFFFFF;
    uint32_t grayText = 0x808080;
    uint32_t window = 0xFFFFFF;

    // Defaults taken from the application palette (needs a QGuiApplication).
    static MenuSysColors FromPalette();
};

// The version record of GetVersionExW: the parts the version table reads.
struct MenuOsVersionRecord {
    uint32_t major = 0;
    uint32_t minor = 0;
};

struct MenuPlatformInputs {
    // GetVersion's word: bit 31 set on the 9x family, low byte the major version.
    uint32_t versionWord = 0x00000006;
    // Absent when the record could not be had.
    std::optional<MenuOsVersionRecord> versionRecord = MenuOsVersionRecord{6, 2};
    // The default value of the theme key; absent when the key cannot be read.
    std::optional<QByteArray> themeValue;
    MenuSysColors colors;
    int cyMenu = 19;             // SM_CYMENU
    QFont menuFont;              // the menu font of the non-client metrics
    QFont dcDefaultFont;         // the font a fresh device context holds
    bool paletteDevice = false;  // RC_PALETTE in the target's raster caps

    // The inputs of a Windows after XP with the application's palette and font.
    static MenuPlatformInputs ForProgram();
};

// The version code of the table: a pure function of the version word and record.
int QueryOsVersionCode(uint32_t versionWord, const std::optional<MenuOsVersionRecord>& record);

// 1 when the theme value ends with "Windows Classic.theme" ignoring case.
// Absent, or longer than the 260-byte buffer: 0.
int ClassicThemeFromValue(const std::optional<QByteArray>& value);
