#include "widgets/DravMenuMemDC.h"

#include "widgets/MenuRasterOp.h"

DravMenuMemDC::DravMenuMemDC(MenuDC& target, const MenuRect& rect) : target_(&target), rect_(rect)
{
    if (target.printing || rect.IsEmpty())
        return;
    buffer_ = std::make_unique<MenuDC>(rect.Width(), rect.Height(), target.IsMonochrome());
    if (buffer_->IsNull()) {
        buffer_.reset();
        return;
    }
    buffer_->originX = rect.left;
    buffer_->originY = rect.top;
    buffer_->paletteDevice = target.paletteDevice;
    memory_ = true;
}

DravMenuMemDC::~DravMenuMemDC()
{
    if (memory_)
        target_->BitBlt(rect_.left, rect_.top, rect_.Width(), rect_.Height(), *buffer_, rect_.left, rect_.top,
                        menurop::kSrcCopy);
}
