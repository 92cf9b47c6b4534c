#include "app/commands/ContextMenus.h"

#include <QAction>
#include <QMenu>

#include "app/commands/CommandTable.h"

namespace {

// A drop-down's entries as Qt menu items: label, then the accelerator text
// after a tab, as Qt shows it; each command's id as the action's data.
void AddEntries(QMenu& menu, std::span<const MenuEntry> entries)
{
    for (const MenuEntry& e : entries) {
        switch (e.kind) {
        case MenuEntry::Kind::Separator: menu.addSeparator(); break;
        case MenuEntry::Kind::SubMenu: AddEntries(*menu.addMenu(commandtable::LabelOf(e.text)), e.items); break;
        case MenuEntry::Kind::Command: menu.addAction(commandtable::Translate(e.text))->setData(e.id); break;
        }
    }
}

// A context menu shows its resource's first drop-down.
void AddFirstDropDown(QMenu& menu, std::span<const MenuEntry> resource)
{
    if (!resource.empty()) AddEntries(menu, resource.front().items);
}

}  // namespace

void BuildJobMenu(QMenu& menu) { AddFirstDropDown(menu, commandtable::JobMenu()); }

void BuildPreviewMenu(QMenu& menu) { AddFirstDropDown(menu, commandtable::PreviewMenu()); }

int CommandOfAction(const QAction* action)
{
    return action != nullptr ? action->data().toInt() : 0;
}
