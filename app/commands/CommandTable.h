#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <span>

class MenuResources;

// The frame's menus, toolbar and accelerators as plain data. The menu
// templates for the owner-drawn menu and the main window's actions are both
// built from these tables. Texts are the Chinese source texts, translated in
// the "Menu" context; a label's accelerator text follows a tab.
struct MenuEntry {
    enum class Kind { Command, Separator, SubMenu };
    Kind kind = Kind::Command;
    uint16_t id = 0;                // command id; 0 for separators and sub-menus
    const char* text = nullptr;     // source text, "label\taccelerator"
    std::span<const MenuEntry> items;  // a sub-menu's entries
};

struct AcceleratorEntry {
    const char* key;  // QKeySequence portable text
    uint16_t command;
};

// A command's status-bar prompt and tool tip (the string table's "prompt\ntip").
struct PromptEntry {
    uint16_t command;
    const char* text;
};

namespace commandtable {

inline constexpr uint16_t kMainMenuId = 128;
inline constexpr uint16_t kJobMenuId = 150;
inline constexpr uint16_t kPreviewMenuId = 151;
inline constexpr uint16_t kToolbarId = 128;

// Menu 128: the main menu's drop-downs in order.
std::span<const MenuEntry> MainMenu();
// Menu 150: one drop-down, the job list's context menu.
std::span<const MenuEntry> JobMenu();
// Menu 151: one drop-down, the preview's context menu.
std::span<const MenuEntry> PreviewMenu();
// Toolbar 128: commands in button order, 0 a separator.
std::span<const uint16_t> ToolbarButtons();
// Accelerators 128.
std::span<const AcceleratorEntry> Accelerators();
// Prompts of the frame's commands; the idle prompt is kIdlePrompt.
std::span<const PromptEntry> Prompts();
extern const char* const kIdlePrompt;
// A command's status-bar prompt and tool tip, translated; empty when it has none.
QString StatusPromptOf(uint16_t command);
QString ToolTipOf(uint16_t command);

// The entry of a command id anywhere in a menu, null when none.
const MenuEntry* FindCommand(std::span<const MenuEntry> menu, uint16_t id);

// A text in the language in use.
QString Translate(const char* source);
// The label before the tab and the accelerator text after it.
QString LabelOf(const char* source);
QString AcceleratorOf(const char* source);

// The standard menu template of a table, texts translated.
QByteArray MenuTemplateBytes(std::span<const MenuEntry> menu);

// Registers menus 128, 150 and 151 (in the language in use) and toolbar 128 with
// the executable's resources of the owner-drawn menu.
void RegisterProgramMenus(MenuResources& resources);

}  // namespace commandtable
