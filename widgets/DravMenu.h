#pragma once

#include "widgets/DravMenuContext.h"
#include "widgets/DravMenuData.h"
#include "widgets/MenuDeviceContext.h"
#include "widgets/MenuTemplate.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

// What the owner window passes to DrawItem (DRAWITEMSTRUCT).
struct MenuDrawItem {
    uint32_t itemId = 0;
    uint32_t itemState = 0;  // ods:: bits
    MenuHandle hMenu = 0;
    MenuDC* dc = nullptr;
    MenuRect rcItem;
    DravMenuData* itemData = nullptr;
};

// A menu whose drop-down items are owner-drawn: images by command id, aligned
// accelerators, and a classic or an XP look. Its shared state lives in the
// context it is made with.
class DravMenu {
public:
    explicit DravMenu(DravMenuContext& ctx);
    virtual ~DravMenu();
    DravMenu(const DravMenu&) = delete;
    DravMenu& operator=(const DravMenu&) = delete;

    DravMenuContext& Context() const { return ctx_; }
    MenuHandle Handle() const { return m_hMenu; }

    // Loading; non-zero on success. A bad template returns 0 and keeps the menu as it was.
    virtual int LoadMenu(uint32_t resourceId);  // the low 16 bits
    virtual int LoadMenu(const QString& name);
    int LoadMenuTemplate(const QByteArray& bytes);
    // Gives up the present menu and attaches a new empty drop-down.
    int CreatePopupMenu();
    virtual int DestroyMenu();

    int AppendItem(const QString& text, uint32_t flags, uint32_t id, int imageResource = -1);
    int AddBitmapToImageList(MenuImageList& list, int resource);
    int AddToSharedImageList(const MenuImageList& list, int index, int32_t id);
    int FindSharedImageIndex(int32_t id) const;
    int FindToolbarImageIndex(int resource, uint32_t id) const;
    QImage ImageToBitmap(const MenuImageList& list, int index) const;
    void MakeFadedBitmap(QImage& bitmap) const;
    void MakeShadowBitmap(QImage& bitmap) const;
    bool HasFadedAndShadowImages(int index) const;
    void AlignAcceleratorText();
    void SynchronizeItems();
    int FindTopLevelOffset() const;
    void RestoreTopLevelPopups();
    int GetItemText(uint32_t idOrPosition, QString& text, uint32_t flags) const;
    DravMenu* FindSubMenuOfCommand(uint32_t id, int& position) const;

    static uint32_t FindShortcutItem(DravMenuContext& ctx, QChar ch, uint32_t flags, MenuHandle menu);
    static int IsOwnedSubMenu(const DravMenuContext& ctx, MenuHandle menu);
    static uint32_t BlendTowardWhite(uint32_t color, double factor);

    // Measuring and drawing.
    virtual void MeasureItem(MenuMeasureItem* mis);
    virtual void DrawItem(MenuDrawItem* dis);
    void DrawItemClassic(MenuDrawItem* dis);
    void DrawItemXp(MenuDrawItem* dis);
    void DrawClassicCheckBox(MenuDC& dc, const MenuRect& box, bool selected, bool radio, uint32_t bg);
    void DrawXpCheckBox(MenuDC& dc, const MenuRect& box, bool radio);
    static void DrawCheckMark(MenuDC& dc, int x, int y, uint32_t color);
    static void DrawRadioBullet(MenuDC& dc, int x, int y, uint32_t color);
    void DrawDisabledImageMasked(MenuDC& target, int x, int y, int w, int h, const QImage& bitmap,
                                 uint32_t bg) const;
    void DrawDisabledImageDib(MenuDC& target, int x, int y, int w, int h, const QImage& bitmap,
                              uint32_t bg) const;

    // Fields.
    std::vector<std::unique_ptr<DravMenuData>> MenuItems;
    std::vector<MenuHandle> SubMenus;
    int32_t IconWidth = 16;
    int32_t IconHeight = 15;
    uint32_t BitmapBackground = 0xC0C0C0;
    int UseBitmapBackground = 0;
    int DisabledViaDib = 0;
    MenuImageList* CheckImages = nullptr;
    int CheckImagesShared = 0;
    int32_t SelectedCheckId = -1;
    int32_t UnselectedCheckId = -1;
    int IconHandleMode = 0;
    int Loaded = 0;

    // Image sizes beyond this draw and allocate nothing.
    static constexpr int kMaxIconSide = 256;

private:
    bool IconSizeUsable() const;
    bool BuildLevel(DravMenu& menu, const std::vector<MenuTemplateItem>& items);
    DravMenuData* TakeItemById(uint32_t id);
    int MenuTextWidth(const QString& text) const;

    DravMenuContext& ctx_;
    MenuHandle m_hMenu = 0;
    // The drop-down levels this menu made while loading; deleted with it.
    std::vector<DravMenu*> ownedLevels_;
};
