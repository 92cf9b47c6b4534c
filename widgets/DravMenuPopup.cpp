#include "widgets/DravMenuPopup.h"

#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <exception>

namespace {

constexpr int kMaxPopupSide = 8192;

void Report(const char* where, const std::exception& e)
{
    qWarning("DravMenuPopup: %s failed: %s", where, e.what());
}

}  // namespace

DravMenuPopup::DravMenuPopup(DravMenu& level, QWidget* parent) : QWidget(parent, Qt::Popup), level_(level)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    Layout();
    resize(size_);
}

void DravMenuPopup::Layout()
{
    const MenuHandles& h = level_.Context().handles;
    const int count = std::max(0, h.GetMenuItemCount(level_.Handle()));
    // A raised double frame in the classic look, a thin line in the XP look.
    border_ = level_.Context().UsesXpDrawingStyle() && !level_.Context().inputs.paletteDevice ? 1 : 2;
    tops_.assign(1, border_);
    int width = 0;
    for (int pos = 0; pos < count; ++pos) {
        MenuMeasureItem mis;
        mis.itemId = h.GetMenuItemID(level_.Handle(), pos);
        mis.itemData = h.GetItemData(level_.Handle(), pos);
        level_.MeasureItem(&mis);
        width = std::max(width, std::min(mis.itemWidth, kMaxPopupSide));
        tops_.push_back(std::min(tops_.back() + std::max(mis.itemHeight, 0), kMaxPopupSide));
    }
    itemsWidth_ = std::max(width, 1);
    size_ = QSize(itemsWidth_ + 2 * border_, tops_.back() + border_);
}

MenuRect DravMenuPopup::ItemRect(int position) const
{
    if (position < 0 || position + 1 >= static_cast<int>(tops_.size()))
        return {};
    return {border_, tops_[static_cast<size_t>(position)], border_ + itemsWidth_,
            tops_[static_cast<size_t>(position) + 1]};
}

QImage DravMenuPopup::Render(int selected) const
{
    QImage image(size_, QImage::Format_RGB32);
    image.fill(QColor::fromRgb(level_.Context().inputs.colors.menu));
    MenuDC dc(&image);
    dc.font = level_.Context().inputs.menuFont;
    dc.paletteDevice = level_.Context().inputs.paletteDevice;
    const MenuHandles& h = level_.Context().handles;
    for (int pos = 0; pos + 1 < static_cast<int>(tops_.size()); ++pos) {
        const uint32_t state = h.GetMenuItemFlags(level_.Handle(), pos);
        MenuDrawItem dis;
        dis.itemId = h.GetMenuItemID(level_.Handle(), pos);
        dis.hMenu = level_.Handle();
        dis.dc = &dc;
        dis.rcItem = ItemRect(pos);
        dis.itemData = h.GetItemData(level_.Handle(), pos);
        if (pos == selected)
            dis.itemState |= ods::kSelected;
        if (state != MenuHandles::kNotFound) {
            if (state & (mf::kGrayed | mf::kDisabled))
                dis.itemState |= ods::kGrayed;
            if (state & mf::kChecked)
                dis.itemState |= ods::kChecked;
        }
        level_.DrawItem(&dis);
        if (h.GetSubMenu(level_.Handle(), pos))
            DrawSubMenuArrow(dc, dis.rcItem, dis.itemState);
    }
    DrawFrame(dc);
    return image;
}

void DravMenuPopup::DrawFrame(MenuDC& dc) const
{
    const MenuSysColors& col = level_.Context().inputs.colors;
    const MenuRect all{0, 0, size_.width(), size_.height()};
    if (border_ == 1) {
        dc.FrameRect(all, col.btnShadow);
        return;
    }
    dc.Draw3dRect(all, col.btnFace, col.btnText);
    dc.Draw3dRect({1, 1, size_.width() - 1, size_.height() - 1}, col.btnHighlight, col.btnShadow);
}

// Windows adds the arrow of a sub-menu item after the owner has drawn it.
void DravMenuPopup::DrawSubMenuArrow(MenuDC& dc, const MenuRect& r, uint32_t state) const
{
    const MenuSysColors& col = level_.Context().inputs.colors;
    const bool xp = border_ == 1;
    uint32_t color = col.menuText;
    if (state & (ods::kGrayed | ods::kDisabled))
        color = col.grayText;
    else if ((state & ods::kSelected) && !xp)
        color = col.highlightText;
    const int x = r.right - 12, cy = r.top + r.Height() / 2;
    for (int i = 0; i < 4; ++i)
        dc.VerticalLine(x + i, cy - 3 + i, cy + 4 - i, color);
}

uint32_t DravMenuPopup::Exec(const QPoint& globalPos)
{
    chosen_ = 0;
    move(globalPos);
    show();
    activateWindow();
    setFocus();
    QEventLoop loop;
    connect(this, &DravMenuPopup::commandChosen, &loop, &QEventLoop::quit);
    if (isVisible()) {
        struct Quit : QObject {
            QEventLoop* loop;
            bool eventFilter(QObject*, QEvent* e) override
            {
                if (e->type() == QEvent::Hide)
                    loop->quit();
                return false;
            }
        } quit;
        quit.loop = &loop;
        installEventFilter(&quit);
        loop.exec();
        removeEventFilter(&quit);
    }
    return chosen_;
}

void DravMenuPopup::SetSelectedPosition(int position)
{
    selected_ = Selectable(position) ? position : -1;
    update();
}

int DravMenuPopup::PositionAt(int y) const
{
    if (y < border_)
        return -1;
    for (int pos = 0; pos + 1 < static_cast<int>(tops_.size()); ++pos)
        if (y >= tops_[static_cast<size_t>(pos)] && y < tops_[static_cast<size_t>(pos) + 1])
            return pos;
    return -1;
}

bool DravMenuPopup::Selectable(int position) const
{
    const uint32_t state = level_.Context().handles.GetMenuItemFlags(level_.Handle(), position);
    return state != MenuHandles::kNotFound && !(state & mf::kSeparator);
}

void DravMenuPopup::Activate(int position)
{
    const MenuHandles& h = level_.Context().handles;
    const uint32_t state = h.GetMenuItemFlags(level_.Handle(), position);
    if (state == MenuHandles::kNotFound || (state & (mf::kSeparator | mf::kGrayed | mf::kDisabled)))
        return;
    if (const MenuHandle sub = h.GetSubMenu(level_.Handle(), position)) {
        DravMenu* subMenu = h.FromHandle(sub);
        if (!subMenu)
            return;
        DravMenuPopup child(*subMenu, this);
        const MenuRect r = ItemRect(position);
        const uint32_t id = child.Exec(mapToGlobal(QPoint(size_.width(), r.top)));
        if (id) {
            chosen_ = id;
            close();
            emit commandChosen(id);
        }
        return;
    }
    chosen_ = h.GetMenuItemID(level_.Handle(), position);
    close();
    emit commandChosen(chosen_);
}

void DravMenuPopup::Step(int direction)
{
    const int count = static_cast<int>(tops_.size()) - 1;
    if (count <= 0)
        return;
    int pos = selected_;
    for (int i = 0; i < count; ++i) {
        pos = pos < 0 ? (direction > 0 ? 0 : count - 1) : (pos + direction + count) % count;
        if (Selectable(pos)) {
            SetSelectedPosition(pos);
            return;
        }
    }
}

void DravMenuPopup::paintEvent(QPaintEvent*)
{
    try {
        QPainter p(this);
        p.drawImage(0, 0, Render(selected_));
    } catch (const std::exception& e) {
        Report("paint", e);
    }
}

void DravMenuPopup::mouseMoveEvent(QMouseEvent* event)
{
    try {
        const int pos = rect().contains(event->position().toPoint()) ? PositionAt(event->position().toPoint().y()) : -1;
        if (pos != selected_)
            SetSelectedPosition(pos);
    } catch (const std::exception& e) {
        Report("mouse move", e);
    }
}

void DravMenuPopup::mouseReleaseEvent(QMouseEvent* event)
{
    try {
        if (!rect().contains(event->position().toPoint())) {
            close();
            return;
        }
        const int pos = PositionAt(event->position().toPoint().y());
        if (pos >= 0)
            Activate(pos);
    } catch (const std::exception& e) {
        Report("mouse release", e);
    }
}

void DravMenuPopup::keyPressEvent(QKeyEvent* event)
{
    try {
        switch (event->key()) {
        case Qt::Key_Up: Step(-1); return;
        case Qt::Key_Down: Step(1); return;
        case Qt::Key_Right:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (selected_ >= 0)
                Activate(selected_);
            return;
        case Qt::Key_Escape:
        case Qt::Key_Left: close(); return;
        default: break;
        }
        const QString typed = event->text();
        if (typed.size() == 1 && typed[0].isPrint()) {
            const uint32_t hit =
                DravMenu::FindShortcutItem(level_.Context(), typed[0], mf::kPopup, level_.Handle());
            if (hit) {
                const int pos = static_cast<int>(hit & 0xFFFF);
                SetSelectedPosition(pos);
                Activate(pos);
            }
        }
    } catch (const std::exception& e) {
        Report("key press", e);
    }
}
