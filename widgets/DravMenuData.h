#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// The record an owner-drawn item carries as its item data.
struct DravMenuData {
    std::optional<QString> text;  // label, then a tab and the accelerator
    int32_t SharedIndex = -1;     // image in the shared image list, -1 none
    uint32_t flags = 0;           // MF_ values
    uint32_t id = 0;              // command id, or the sub-menu handle of a popup
    uint32_t SyncMark = 0;

    QString GetText() const { return text.value_or(QString()); }
    void SetText(const QString& t) { text = t; }
};

// What the owner window passes to MeasureItem (MEASUREITEMSTRUCT).
struct MenuMeasureItem {
    uint32_t itemId = 0;
    DravMenuData* itemData = nullptr;
    int itemWidth = 0;
    int itemHeight = 0;
};

class MenuDC;
using MenuHandleValue = uint32_t;

// Item states of DRAWITEMSTRUCT.
namespace ods {
inline constexpr uint32_t kSelected = 0x1;
inline constexpr uint32_t kGrayed = 0x2;
inline constexpr uint32_t kDisabled = 0x4;
inline constexpr uint32_t kChecked = 0x8;
}  // namespace ods
