#include "widgets/DravMenu.h"

#include <algorithm>

namespace {

void RemoveAll(std::vector<MenuHandle>& list, MenuHandle h)
{
    for (size_t i = list.size(); i-- > 0;)
        if (list[i] == h)
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
}

constexpr int kMaxSearchDepth = 64;

DravMenu* FindCommandIn(const DravMenu& menu, uint32_t id, int& position, int depth)
{
    if (depth > kMaxSearchDepth)
        return nullptr;
    const MenuHandles& handles = menu.Context().handles;
    const int count = handles.GetMenuItemCount(menu.Handle());
    for (int pos = 0; pos < count; ++pos) {
        if (MenuHandle sub = handles.GetSubMenu(menu.Handle(), pos)) {
            if (const DravMenu* subMenu = handles.FromHandle(sub)) {
                if (DravMenu* hit = FindCommandIn(*subMenu, id, position, depth + 1))
                    return hit;
            }
            continue;
        }
        if (handles.GetMenuItemID(menu.Handle(), pos) == id) {
            position = pos;
            return const_cast<DravMenu*>(&menu);
        }
    }
    return nullptr;
}

}  // namespace

DravMenu::DravMenu(DravMenuContext& ctx) : ctx_(ctx)
{
}

DravMenu::~DravMenu()
{
    DravMenu::DestroyMenu();
}

uint32_t DravMenu::BlendTowardWhite(uint32_t color, double factor)
{
    if (!(factor > 0.0 && factor <= 1.0))
        return color;
    uint32_t out = 0;
    for (int shift : {16, 8, 0}) {
        const int c = static_cast<int>((color >> shift) & 0xFF);
        const int v = static_cast<int>((255 - c) * factor + c);
        out |= static_cast<uint32_t>(std::clamp(v, 0, 255)) << shift;
    }
    return out;
}

int DravMenu::IsOwnedSubMenu(const DravMenuContext& ctx, MenuHandle menu)
{
    if (menu == 0)
        return 0;
    return std::find(ctx.OwnedSubMenus.begin(), ctx.OwnedSubMenus.end(), menu) != ctx.OwnedSubMenus.end();
}

int DravMenu::LoadMenu(uint32_t resourceId)
{
    const auto bytes = ctx_.resources.FindMenu(static_cast<uint16_t>(resourceId & 0xFFFF));
    return bytes ? LoadMenuTemplate(*bytes) : 0;
}

int DravMenu::LoadMenu(const QString& name)
{
    const auto bytes = ctx_.resources.FindMenu(name);
    return bytes ? LoadMenuTemplate(*bytes) : 0;
}

int DravMenu::LoadMenuTemplate(const QByteArray& bytes)
{
    // The whole template is read before the present menu is given up.
    const auto items = ParseMenuTemplate(bytes);
    if (!items)
        return 0;
    DestroyMenu();
    m_hMenu = ctx_.handles.CreateMenu();
    if (!m_hMenu)
        return 0;
    ctx_.handles.Attach(m_hMenu, this);
    BuildLevel(*this, *items);
    // The bar shows plain strings; only the drop-down levels are owner-drawn.
    for (size_t pos = 0; pos < MenuItems.size(); ++pos) {
        DravMenuData& rec = *MenuItems[pos];
        const int p = static_cast<int>(pos);
        if (rec.flags & mf::kPopup) {
            ctx_.handles.ModifyMenu(m_hMenu, p, mf::kByPosition | mf::kPopup, rec.id, rec.GetText());
            rec.flags = 0x410;
        } else {
            ctx_.handles.ModifyMenu(m_hMenu, p, mf::kByPosition, rec.id, rec.GetText());
            rec.flags = 0x400;
        }
    }
    Loaded = 1;
    return 1;
}

int DravMenu::CreatePopupMenu()
{
    DestroyMenu();
    m_hMenu = ctx_.handles.CreatePopupMenu();
    ctx_.handles.Attach(m_hMenu, this);
    return m_hMenu ? 1 : 0;
}

bool DravMenu::BuildLevel(DravMenu& menu, const std::vector<MenuTemplateItem>& items)
{
    bool ok = true;
    for (const MenuTemplateItem& item : items) {
        if (item.flags & mf::kPopup) {
            auto* child = new DravMenu(ctx_);
            child->SelectedCheckId = menu.SelectedCheckId;
            child->UnselectedCheckId = menu.UnselectedCheckId;
            child->CheckImages = menu.CheckImages;
            child->CheckImagesShared = 1;
            child->m_hMenu = ctx_.handles.CreatePopupMenu();
            ctx_.handles.Attach(child->m_hMenu, child);
            if (!menu.AppendItem(item.text, item.flags, child->m_hMenu, -1)) {
                RemoveAll(menu.SubMenus, child->m_hMenu);
                RemoveAll(ctx_.OwnedSubMenus, child->m_hMenu);
                delete child;
                ok = false;
                continue;
            }
            menu.ownedLevels_.push_back(child);
            ok = BuildLevel(*child, item.children) && ok;
        } else {
            ok = menu.AppendItem(item.text, item.flags, item.id, -1) && ok;
        }
    }
    menu.AlignAcceleratorText();
    return ok;
}

int DravMenu::DestroyMenu()
{
    RemoveAll(ctx_.OwnedSubMenus, m_hMenu);
    for (size_t i = SubMenus.size(); i-- > 0;) {
        const MenuHandle sub = SubMenus[i];
        RemoveAll(ctx_.OwnedSubMenus, sub);
        DravMenu* object = ctx_.handles.FromHandle(sub);
        auto owned = std::find(ownedLevels_.begin(), ownedLevels_.end(), object);
        if (object && owned != ownedLevels_.end()) {
            ownedLevels_.erase(owned);
            delete object;
        }
    }
    SubMenus.clear();
    MenuItems.clear();
    if (!CheckImagesShared)
        delete CheckImages;
    CheckImages = nullptr;
    for (DravMenu* left : ownedLevels_)
        delete left;
    ownedLevels_.clear();
    if (!m_hMenu)
        return 0;
    const bool ok = ctx_.handles.DestroyMenu(m_hMenu);
    ctx_.handles.Detach(m_hMenu);
    m_hMenu = 0;
    return ok ? 1 : 0;
}

int DravMenu::AppendItem(const QString& text, uint32_t flags, uint32_t id, int imageResource)
{
    if (id == 0)
        flags = (flags & mf::kByPosition) | mf::kSeparator | mf::kOwnerDraw;
    else
        flags |= mf::kOwnerDraw;
    if (flags & mf::kPopup) {
        ctx_.OwnedSubMenus.push_back(id);
        SubMenus.push_back(id);
    }
    auto record = std::make_unique<DravMenuData>();
    record->text = text;
    record->flags = flags;
    record->id = id;
    DravMenuData* rec = record.get();
    MenuItems.push_back(std::move(record));

    if (imageResource < 0) {
        rec->SharedIndex = FindSharedImageIndex(static_cast<int32_t>(id));
    } else if (IconSizeUsable()) {
        const int imageIndex = FindToolbarImageIndex(imageResource, id);
        MenuImageList temp(IconWidth, IconHeight);
        if (AddBitmapToImageList(temp, imageResource))
            rec->SharedIndex = AddToSharedImageList(temp, imageIndex, static_cast<int32_t>(id));
    }
    const bool ok = ctx_.handles.AppendMenu(m_hMenu, flags, id, text, rec);
    if (Loaded)
        RestoreTopLevelPopups();
    return ok ? 1 : 0;
}

int DravMenu::MenuTextWidth(const QString& text) const
{
    return ctx_.TextWidth(ctx_.inputs.menuFont, text);
}

void DravMenu::AlignAcceleratorText()
{
    int target = 0;
    for (const auto& rec : MenuItems) {
        const QString text = rec->GetText();
        const int tab = text.indexOf(QLatin1Char('\t'));
        const QString label = tab < 0 ? text : text.left(tab);
        target = std::max(target, MenuTextWidth(label + QLatin1Char(' ')));
    }
    for (auto& rec : MenuItems) {
        const QString text = rec->GetText();
        const int tab = text.indexOf(QLatin1Char('\t'));
        if (tab < 0)
            continue;
        QString label = text.left(tab);
        int width = MenuTextWidth(label);
        while (width < target) {
            const int wider = MenuTextWidth(label + QLatin1Char(' '));
            if (wider <= width)
                break;  // a blank that adds nothing would never get there
            label += QLatin1Char(' ');
            width = wider;
        }
        rec->SetText(label + text.mid(tab));
    }
}

DravMenuData* DravMenu::TakeItemById(uint32_t id)
{
    for (auto& rec : MenuItems)
        if (!rec->SyncMark && rec->id == id) {
            rec->SyncMark = 1;
            return rec.get();
        }
    return nullptr;
}

void DravMenu::SynchronizeItems()
{
    for (auto& rec : MenuItems)
        rec->SyncMark = 0;
    MenuHandles& h = ctx_.handles;
    std::vector<DravMenuData*> order;
    std::vector<std::unique_ptr<DravMenuData>> fresh;
    auto attach = [&](int pos, const QString& text, uint32_t flags, uint32_t id) {
        auto rec = std::make_unique<DravMenuData>();
        rec->text = text;
        rec->flags = flags;
        rec->id = id;
        h.ModifyMenu(m_hMenu, pos, flags | mf::kByPosition, id, text,
                     (flags & mf::kOwnerDraw) ? rec.get() : nullptr);
        order.push_back(rec.get());
        fresh.push_back(std::move(rec));
    };
    const int count = h.GetMenuItemCount(m_hMenu);
    for (int pos = 0; pos < count; ++pos) {
        const uint32_t state = h.GetMenuState(m_hMenu, pos);
        const QString text = h.GetMenuString(m_hMenu, pos);
        if (state & mf::kPopup) {
            const MenuHandle sub = h.GetSubMenu(m_hMenu, pos);
            DravMenuData* rec = TakeItemById(sub);
            if (!rec) {
                // The high byte of a popup's state is its item count, not flags.
                attach(pos, text, (state & 0xEF & 0xFF) | 0x510, sub);
                continue;
            }
            if (!text.isEmpty())
                rec->SetText(text);
            order.push_back(rec);
        } else if (state & mf::kSeparator) {
            DravMenuData* rec = TakeItemById(0);
            if (!rec) {
                attach(pos, QString(), state | 0xD00, 0);
                continue;
            }
            h.ModifyMenu(m_hMenu, pos, rec->flags | mf::kByPosition, 0, QString(), rec);
            order.push_back(rec);
        } else {
            const uint32_t id = h.GetMenuItemID(m_hMenu, pos);
            DravMenuData* rec = TakeItemById(id);
            if (!rec) {
                attach(pos, text, state | 0x500, id);
                continue;
            }
            rec->flags = state | 0x500;
            if (!text.isEmpty())
                rec->SetText(text);
            h.ModifyMenu(m_hMenu, pos, rec->flags, id, rec->GetText(), rec);
            order.push_back(rec);
        }
    }
    // Records in position order; the unmarked ones go.
    std::vector<std::unique_ptr<DravMenuData>> items;
    items.reserve(order.size());
    for (DravMenuData* rec : order) {
        auto pick = [rec](std::unique_ptr<DravMenuData>& p) { return p.get() == rec; };
        if (auto it = std::find_if(MenuItems.begin(), MenuItems.end(), pick); it != MenuItems.end())
            items.push_back(std::move(*it));
        else if (auto f = std::find_if(fresh.begin(), fresh.end(), pick); f != fresh.end())
            items.push_back(std::move(*f));
    }
    MenuItems = std::move(items);
}

int DravMenu::FindTopLevelOffset() const
{
    if (!Loaded)
        return 0;
    const int count = ctx_.handles.GetMenuItemCount(m_hMenu);
    for (int pos = 0; pos < count; ++pos) {
        const QString text = ctx_.handles.GetMenuString(m_hMenu, pos);
        if (text.isEmpty())
            continue;
        for (size_t i = 0; i < MenuItems.size(); ++i)
            if (MenuItems[i]->text && *MenuItems[i]->text == text)
                return std::max(0, pos - static_cast<int>(i));
    }
    return 0;
}

void DravMenu::RestoreTopLevelPopups()
{
    const int offset = FindTopLevelOffset();
    const int count = ctx_.handles.GetMenuItemCount(m_hMenu);
    for (int pos = offset; pos < count; ++pos) {
        const size_t index = static_cast<size_t>(pos - offset);
        if (index >= MenuItems.size())
            break;
        const MenuHandle sub = ctx_.handles.GetSubMenu(m_hMenu, pos);
        if (!sub)
            continue;
        DravMenuData& rec = *MenuItems[index];
        rec.flags = 0x410;
        ctx_.handles.ModifyMenu(m_hMenu, pos, mf::kByPosition | mf::kPopup, sub, rec.GetText());
    }
}

int DravMenu::GetItemText(uint32_t idOrPosition, QString& text, uint32_t flags) const
{
    if (!(flags & mf::kByPosition)) {
        int position = -1;
        const DravMenu* holder = FindSubMenuOfCommand(idOrPosition, position);
        if (!holder)
            return 0;
        return holder->GetItemText(static_cast<uint32_t>(position), text, mf::kByPosition);
    }
    if (idOrPosition >= MenuItems.size())
        return 0;
    text = MenuItems[idOrPosition]->GetText();
    return 1;
}

DravMenu* DravMenu::FindSubMenuOfCommand(uint32_t id, int& position) const
{
    position = -1;
    return FindCommandIn(*this, id, position, 0);
}

uint32_t DravMenu::FindShortcutItem(DravMenuContext& ctx, QChar ch, uint32_t flags, MenuHandle menu)
{
    DravMenu* object = ctx.handles.FromHandle(menu);
    if (!object || !(flags & mf::kPopup))
        return 0;
    const QString pattern = QString(QLatin1Char('&')) + ch.toLower();
    const int count = ctx.handles.GetMenuItemCount(menu);
    if (count != static_cast<int>(object->MenuItems.size()))
        object->SynchronizeItems();
    for (int pos = 0; pos < count; ++pos) {
        QString text;
        if (!object->GetItemText(static_cast<uint32_t>(pos), text, mf::kByPosition))
            continue;
        // Lower case unit by unit, as the typed character was.
        for (QChar& unit : text)
            unit = unit.toLower();
        if (text.contains(pattern))
            return 0x20000u + static_cast<uint32_t>(pos);
    }
    return 0;
}
