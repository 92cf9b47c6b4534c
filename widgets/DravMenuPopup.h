#pragma once

#include "widgets/DravMenu.h"

#include <QImage>
#include <QWidget>

#include <vector>

// Shows one drop-down level of a DravMenu: sized by MeasureItem, each item
// painted by DrawItem. The mouse and the arrow keys select, a letter goes
// through FindShortcutItem, and a chosen command closes the popup.
class DravMenuPopup : public QWidget {
    Q_OBJECT
public:
    explicit DravMenuPopup(DravMenu& level, QWidget* parent = nullptr);

    // Shows the popup at a global position and waits; the chosen command, 0 for none.
    uint32_t Exec(const QPoint& globalPos);

    // The level drawn with one item selected (-1 none): what the popup shows.
    QImage Render(int selected) const;
    QSize ContentSize() const { return size_; }
    int SelectedPosition() const { return selected_; }
    void SetSelectedPosition(int position);
    uint32_t ChosenCommand() const { return chosen_; }
    // The item rectangle of a position; empty outside the list.
    MenuRect ItemRect(int position) const;

signals:
    void commandChosen(uint32_t id);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Layout();
    int PositionAt(int y) const;
    bool Selectable(int position) const;
    void Activate(int position);
    void Step(int direction);
    void DrawFrame(MenuDC& dc) const;
    void DrawSubMenuArrow(MenuDC& dc, const MenuRect& r, uint32_t state) const;

    DravMenu& level_;
    std::vector<int> tops_;  // item tops, one more than the items
    QSize size_;
    int border_ = 2;
    int itemsWidth_ = 1;
    int selected_ = -1;
    uint32_t chosen_ = 0;
};
