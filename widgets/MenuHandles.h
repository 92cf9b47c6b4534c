#pragma once

#include <QString>

#include <cstdint>
#include <map>
#include <vector>

class DravMenu;
struct DravMenuData;

// Menu flags and states with the values of the Windows API.
namespace mf {
inline constexpr uint32_t kGrayed = 0x1;
inline constexpr uint32_t kDisabled = 0x2;
inline constexpr uint32_t kChecked = 0x8;
inline constexpr uint32_t kPopup = 0x10;
inline constexpr uint32_t kEnd = 0x80;
inline constexpr uint32_t kOwnerDraw = 0x100;
inline constexpr uint32_t kByPosition = 0x400;
inline constexpr uint32_t kSeparator = 0x800;
}  // namespace mf

using MenuHandle = uint32_t;  // 0: no menu

// The menus of one program: integer handles to lists of positions, with the
// calls of the Windows menu API the owner-drawn menu needs.
class MenuHandles {
public:
    static constexpr uint32_t kNotFound = 0xFFFFFFFF;
    static constexpr int kMaxString = 1024;

    MenuHandle CreateMenu() { return Create(false); }
    MenuHandle CreatePopupMenu() { return Create(true); }
    bool IsMenu(MenuHandle h) const { return menus_.count(h) != 0; }

    // With MF_OWNERDRAW the item keeps the record and no text, else the text.
    // With MF_POPUP the id is the sub-menu's handle.
    bool AppendMenu(MenuHandle h, uint32_t flags, uint32_t idOrHandle, const QString& text,
                    DravMenuData* data = nullptr);
    bool InsertMenu(MenuHandle h, int position, uint32_t flags, uint32_t idOrHandle,
                    const QString& text, DravMenuData* data = nullptr);
    bool ModifyMenu(MenuHandle h, int position, uint32_t flags, uint32_t idOrHandle,
                    const QString& text, DravMenuData* data = nullptr);
    bool RemoveMenu(MenuHandle h, int position);  // by position; the sub-menu lives on

    // For a popup position: the flags' low byte and the sub-menu's item count
    // in the high byte. kNotFound outside the list.
    uint32_t GetMenuState(MenuHandle h, int position) const;
    // The position's text (at most kMaxString characters), empty for owner-drawn items.
    QString GetMenuString(MenuHandle h, int position) const;
    uint32_t GetMenuItemID(MenuHandle h, int position) const;  // kNotFound for popups
    // The item's whole type and state (GetMenuItemInfo), kNotFound outside the list.
    uint32_t GetMenuItemFlags(MenuHandle h, int position) const;
    int GetMenuItemCount(MenuHandle h) const;                  // -1 for no menu
    MenuHandle GetSubMenu(MenuHandle h, int position) const;
    DravMenuData* GetItemData(MenuHandle h, int position) const;

    // States by command, searched through sub-menus as Windows does.
    bool CheckMenuItem(MenuHandle h, uint32_t id, bool checked);
    bool EnableMenuItem(MenuHandle h, uint32_t id, bool enabled);
    // A radio item carries a checked bitmap; GetMenuItemInfo reports it.
    bool SetRadioItem(MenuHandle h, uint32_t id, bool radio);
    bool IsRadioItem(MenuHandle h, uint32_t id) const;

    // Destroys the menu and every sub-menu under it.
    bool DestroyMenu(MenuHandle h);

    // CMenu::FromHandle for the owner-drawn menu: the object attached to a handle.
    void Attach(MenuHandle h, DravMenu* menu);
    void Detach(MenuHandle h);
    DravMenu* FromHandle(MenuHandle h) const;

    size_t MenuCount() const { return menus_.size(); }

private:
    struct Item {
        uint32_t flags = 0;
        uint32_t idOrHandle = 0;
        QString text;
        DravMenuData* data = nullptr;
        bool radio = false;
    };
    struct Menu {
        bool popup = false;
        std::vector<Item> items;
    };

    MenuHandle Create(bool popup);
    const Item* ItemAt(MenuHandle h, int position) const;
    Item* FindCommand(MenuHandle h, uint32_t id, int depth = 0);
    static Item MakeItem(uint32_t flags, uint32_t idOrHandle, const QString& text, DravMenuData* data);

    std::map<MenuHandle, Menu> menus_;
    std::map<MenuHandle, DravMenu*> objects_;
    MenuHandle next_ = 0x1000;
};
