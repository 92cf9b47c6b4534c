#pragma once

#include "widgets/MenuHandles.h"
#include "widgets/MenuImageList.h"
#include "widgets/MenuPlatform.h"
#include "widgets/MenuResources.h"

#include <QFont>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <vector>

// The state the owner-drawn menus of one program share: the menu handles, the
// resources, the injected system inputs and the shared image list. One per
// program (Program()); tests make their own.
class DravMenuContext {
public:
    explicit DravMenuContext(MenuPlatformInputs in = {});
    DravMenuContext(const DravMenuContext&) = delete;
    DravMenuContext& operator=(const DravMenuContext&) = delete;

    // The program's context, made on first use with the program's inputs.
    static DravMenuContext& Program();

    MenuPlatformInputs inputs;
    MenuHandles handles;
    MenuResources resources;
    // Icons by handle value, for menus in icon-handle mode.
    std::map<int, MenuImageList::Icon> icons;

    std::unique_ptr<MenuImageList> SharedImageList;
    std::vector<int32_t> SharedImageIds;
    std::vector<MenuHandle> OwnedSubMenus;
    int OsVersionCode = 1;
    int XpDrawMode = 1;
    int ClassicDrawMode = 0;
    int ClassicSelectDisabled = 1;
    int XpSelectDisabled = 0;
    int XpGlossyImages = 1;

    // Replaces the text measure (tests give fonts whose blank is 0 wide).
    std::function<int(const QFont&, const QString&)> measureText;

    int IsClassicThemeActive();
    bool IsNewShellVersion() const { return OsVersionCode >= 2; }
    bool IsXpThemedStyle() { return OsVersionCode == 7 && !IsClassicThemeActive(); }
    bool UsesXpDrawingStyle() { return (IsXpThemedStyle() ? XpDrawMode : ClassicDrawMode) == 1; }
    int TextWidth(const QFont& font, const QString& text) const;

private:
    bool classicThemeRead_ = false;
    int classicThemeResult_ = 0;
};
