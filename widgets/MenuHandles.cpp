#include "widgets/MenuHandles.h"

MenuHandle MenuHandles::Create(bool popup)
{
    const MenuHandle h = next_;
    next_ += 4;
    menus_[h].popup = popup;
    return h;
}

MenuHandles::Item MenuHandles::MakeItem(uint32_t flags, uint32_t idOrHandle, const QString& text,
                                        DravMenuData* data)
{
    Item item;
    // The position is an addressing mode of the call, not a state of the item.
    item.flags = flags & ~(mf::kByPosition | mf::kEnd);
    item.idOrHandle = idOrHandle;
    if (flags & mf::kOwnerDraw)
        item.data = data;
    else if (!(flags & mf::kSeparator))
        item.text = text.left(kMaxString);
    return item;
}

bool MenuHandles::AppendMenu(MenuHandle h, uint32_t flags, uint32_t idOrHandle, const QString& text,
                             DravMenuData* data)
{
    auto it = menus_.find(h);
    if (it == menus_.end())
        return false;
    if ((flags & mf::kPopup) && !IsMenu(idOrHandle))
        return false;
    it->second.items.push_back(MakeItem(flags, idOrHandle, text, data));
    return true;
}

bool MenuHandles::InsertMenu(MenuHandle h, int position, uint32_t flags, uint32_t idOrHandle,
                             const QString& text, DravMenuData* data)
{
    auto it = menus_.find(h);
    if (it == menus_.end())
        return false;
    auto& items = it->second.items;
    if (position < 0 || position > static_cast<int>(items.size()))
        position = static_cast<int>(items.size());
    items.insert(items.begin() + position, MakeItem(flags, idOrHandle, text, data));
    return true;
}

bool MenuHandles::ModifyMenu(MenuHandle h, int position, uint32_t flags, uint32_t idOrHandle,
                             const QString& text, DravMenuData* data)
{
    auto it = menus_.find(h);
    if (it == menus_.end() || position < 0 || position >= static_cast<int>(it->second.items.size()))
        return false;
    Item& item = it->second.items[static_cast<size_t>(position)];
    const bool radio = item.radio;
    DravMenuData* oldData = item.data;
    item = MakeItem(flags, idOrHandle, text, data);
    item.radio = radio;
    // A string item keeps the item data it had, as Windows does.
    if (!(flags & mf::kOwnerDraw))
        item.data = oldData;
    return true;
}

bool MenuHandles::RemoveMenu(MenuHandle h, int position)
{
    auto it = menus_.find(h);
    if (it == menus_.end() || position < 0 || position >= static_cast<int>(it->second.items.size()))
        return false;
    it->second.items.erase(it->second.items.begin() + position);
    return true;
}

const MenuHandles::Item* MenuHandles::ItemAt(MenuHandle h, int position) const
{
    auto it = menus_.find(h);
    if (it == menus_.end() || position < 0 || position >= static_cast<int>(it->second.items.size()))
        return nullptr;
    return &it->second.items[static_cast<size_t>(position)];
}

uint32_t MenuHandles::GetMenuState(MenuHandle h, int position) const
{
    const Item* item = ItemAt(h, position);
    if (!item)
        return kNotFound;
    if (item->flags & mf::kPopup) {
        const int count = GetMenuItemCount(item->idOrHandle);
        return (item->flags & 0xFF) | (static_cast<uint32_t>(count < 0 ? 0 : count & 0xFF) << 8);
    }
    return item->flags;
}

QString MenuHandles::GetMenuString(MenuHandle h, int position) const
{
    const Item* item = ItemAt(h, position);
    return item ? item->text.left(kMaxString) : QString();
}

uint32_t MenuHandles::GetMenuItemID(MenuHandle h, int position) const
{
    const Item* item = ItemAt(h, position);
    if (!item || (item->flags & mf::kPopup))
        return kNotFound;
    return item->idOrHandle;
}

uint32_t MenuHandles::GetMenuItemFlags(MenuHandle h, int position) const
{
    const Item* item = ItemAt(h, position);
    return item ? item->flags : kNotFound;
}

int MenuHandles::GetMenuItemCount(MenuHandle h) const
{
    auto it = menus_.find(h);
    return it == menus_.end() ? -1 : static_cast<int>(it->second.items.size());
}

MenuHandle MenuHandles::GetSubMenu(MenuHandle h, int position) const
{
    const Item* item = ItemAt(h, position);
    return item && (item->flags & mf::kPopup) ? item->idOrHandle : 0;
}

DravMenuData* MenuHandles::GetItemData(MenuHandle h, int position) const
{
    const Item* item = ItemAt(h, position);
    return item ? item->data : nullptr;
}

MenuHandles::Item* MenuHandles::FindCommand(MenuHandle h, uint32_t id, int depth)
{
    auto it = menus_.find(h);
    if (it == menus_.end() || depth > 64)
        return nullptr;
    for (Item& item : it->second.items) {
        if (item.flags & mf::kPopup) {
            if (Item* found = FindCommand(item.idOrHandle, id, depth + 1))
                return found;
        } else if (item.idOrHandle == id) {
            return &item;
        }
    }
    return nullptr;
}

bool MenuHandles::CheckMenuItem(MenuHandle h, uint32_t id, bool checked)
{
    Item* item = FindCommand(h, id);
    if (!item)
        return false;
    item->flags = checked ? (item->flags | mf::kChecked) : (item->flags & ~mf::kChecked);
    return true;
}

bool MenuHandles::EnableMenuItem(MenuHandle h, uint32_t id, bool enabled)
{
    Item* item = FindCommand(h, id);
    if (!item)
        return false;
    item->flags = enabled ? (item->flags & ~(mf::kGrayed | mf::kDisabled)) : (item->flags | mf::kGrayed);
    return true;
}

bool MenuHandles::SetRadioItem(MenuHandle h, uint32_t id, bool radio)
{
    Item* item = FindCommand(h, id);
    if (!item)
        return false;
    item->radio = radio;
    return true;
}

bool MenuHandles::IsRadioItem(MenuHandle h, uint32_t id) const
{
    Item* item = const_cast<MenuHandles*>(this)->FindCommand(h, id);
    return item && item->radio;
}

bool MenuHandles::DestroyMenu(MenuHandle h)
{
    auto it = menus_.find(h);
    if (it == menus_.end())
        return false;
    std::vector<MenuHandle> subs;
    for (const Item& item : it->second.items)
        if (item.flags & mf::kPopup)
            subs.push_back(item.idOrHandle);
    menus_.erase(it);
    for (MenuHandle sub : subs)
        DestroyMenu(sub);
    return true;
}

void MenuHandles::Attach(MenuHandle h, DravMenu* menu)
{
    if (h)
        objects_[h] = menu;
}

void MenuHandles::Detach(MenuHandle h)
{
    objects_.erase(h);
}

DravMenu* MenuHandles::FromHandle(MenuHandle h) const
{
    auto it = objects_.find(h);
    return it == objects_.end() ? nullptr : it->second;
}
