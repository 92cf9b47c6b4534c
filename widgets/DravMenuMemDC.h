#pragma once

#include "widgets/MenuDeviceContext.h"

#include <memory>

// Buffers the drawing of one item: a bitmap of the rectangle in the target's
// coordinates, copied onto the target when this object ends. A printing target
// (or a rectangle no buffer can be made for) is drawn into directly.
class DravMenuMemDC {
public:
    DravMenuMemDC(MenuDC& target, const MenuRect& rect);
    ~DravMenuMemDC();
    DravMenuMemDC(const DravMenuMemDC&) = delete;
    DravMenuMemDC& operator=(const DravMenuMemDC&) = delete;

    MenuDC& Dc() { return memory_ ? *buffer_ : *target_; }
    bool IsMemory() const { return memory_; }

private:
    std::unique_ptr<MenuDC> buffer_;
    MenuDC* target_;
    MenuRect rect_;
    bool memory_ = false;
};
