#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// One item of a standard menu template (header version 0): flags without
// MF_END, a command id unless MF_POPUP, the text, and a popup's items.
struct MenuTemplateItem {
    uint16_t flags = 0;
    uint16_t id = 0;
    QString text;
    std::vector<MenuTemplateItem> children;
};

// Nesting deeper than this is refused (the top level counts as 1).
inline constexpr int kMaxMenuTemplateDepth = 16;

// Parses template bytes. Every length, text end and nesting is checked against
// the size; a header version other than 0, a depth over the cap or a template
// that ends with menus still open gives no result and, when asked, a reason.
std::optional<std::vector<MenuTemplateItem>> ParseMenuTemplate(const QByteArray& bytes,
                                                               QString* error = nullptr);

// The bytes of a standard template; MF_END is set on each level's last item.
QByteArray EncodeMenuTemplate(const std::vector<MenuTemplateItem>& items);
