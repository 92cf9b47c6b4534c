// Guards: a drop-down sized other than its items measure, or mouse and keys choosing the wrong command.
#include "DravMenuTestSupport.h"

#include "widgets/DravMenuPopup.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

using dravtest::Cmd;
using dravtest::Popup;
using dravtest::Sep;

class DravMenuPopupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ctx = dravtest::MakeContext();
        ctx->resources.executable.menus[1] = EncodeMenuTemplate({Popup(
            "&Edit", {Cmd(30, "&Undo\tCtrl+Z"), Sep(), Cmd(31, "&Cut\tCtrl+X", mf::kGrayed),
                      Cmd(32, "&Paste\tCtrl+V", mf::kChecked), Popup("&More", {Cmd(40, "&Deep")})})});
        menu = std::make_unique<DravMenu>(*ctx);
        ASSERT_EQ(menu->LoadMenu(1), 1);
        level = ctx->handles.FromHandle(ctx->handles.GetSubMenu(menu->Handle(), 0));
        ASSERT_NE(level, nullptr);
    }
    QPoint Centre(const DravMenuPopup& popup, int position) const
    {
        const MenuRect r = popup.ItemRect(position);
        return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    std::unique_ptr<DravMenuContext> ctx;
    std::unique_ptr<DravMenu> menu;
    DravMenu* level = nullptr;
};

TEST_F(DravMenuPopupTest, SizedByMeasureItem)
{
    DravMenuPopup popup(*level);
    int width = 0, height = 0;
    for (int pos = 0; pos < 5; ++pos) {
        MenuMeasureItem mis{0, ctx->handles.GetItemData(level->Handle(), pos), 0, 0};
        level->MeasureItem(&mis);
        width = std::max(width, mis.itemWidth);
        height += mis.itemHeight;
        EXPECT_EQ(popup.ItemRect(pos).Height(), mis.itemHeight);
    }
    // Items inside the classic look's double frame.
    EXPECT_EQ(popup.ContentSize(), QSize(width + 4, height + 4));
    EXPECT_EQ(popup.ItemRect(0), (MenuRect{2, 2, 2 + width, 2 + popup.ItemRect(0).Height()}));
    EXPECT_EQ(popup.size(), popup.ContentSize());
    EXPECT_TRUE(popup.ItemRect(5).IsEmpty());
}

TEST_F(DravMenuPopupTest, MouseSelectsAndClickChoosesACommand)
{
    DravMenuPopup popup(*level);
    popup.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&popup));
    QSignalSpy chosen(&popup, &DravMenuPopup::commandChosen);
    QTest::mouseMove(&popup, Centre(popup, 1));  // the separator
    EXPECT_EQ(popup.SelectedPosition(), -1);
    QTest::mouseMove(&popup, Centre(popup, 3));
    EXPECT_EQ(popup.SelectedPosition(), 3);
    // What the widget shows is the rendered level with that item selected.
    EXPECT_EQ(popup.grab().toImage().convertToFormat(QImage::Format_RGB32), popup.Render(3));
    EXPECT_NE(popup.Render(3), popup.Render(-1));
    QTest::mouseClick(&popup, Qt::LeftButton, {}, Centre(popup, 2));  // greyed: nothing
    EXPECT_EQ(chosen.count(), 0);
    QTest::mouseClick(&popup, Qt::LeftButton, {}, Centre(popup, 3));
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0).at(0).toUInt(), 32u);
    EXPECT_EQ(popup.ChosenCommand(), 32u);
    EXPECT_FALSE(popup.isVisible());
}

TEST_F(DravMenuPopupTest, KeysStepOverSeparatorsAndLettersChoose)
{
    DravMenuPopup popup(*level);
    QTimer::singleShot(0, &popup, [&] {
        QTest::keyClick(&popup, Qt::Key_Down);
        EXPECT_EQ(popup.SelectedPosition(), 0);
        QTest::keyClick(&popup, Qt::Key_Down);
        EXPECT_EQ(popup.SelectedPosition(), 2);  // the separator is skipped
        QTest::keyClick(&popup, Qt::Key_Up);
        EXPECT_EQ(popup.SelectedPosition(), 0);
        QTest::keyClick(&popup, Qt::Key_C);  // greyed: found but not chosen
        EXPECT_TRUE(popup.isVisible());
        QTest::keyClick(&popup, Qt::Key_U);
    });
    EXPECT_EQ(popup.Exec(QPoint(10, 10)), 30u);

    // A sub-menu opens beside its item; its choice is the popup's.
    DravMenuPopup nested(*level);
    QTimer::singleShot(0, &nested, [&] {
        QTimer::singleShot(50, [&] {
            QWidget* child = QApplication::activePopupWidget();
            if (child && child != &nested)
                QTest::keyClick(child, Qt::Key_D);
            else
                nested.close();  // no sub-menu opened: fail without hanging
        });
        QTest::keyClick(&nested, Qt::Key_M);
    });
    EXPECT_EQ(nested.Exec(QPoint(10, 10)), 40u);
    EXPECT_FALSE(nested.isVisible());

    DravMenuPopup again(*level);
    QTimer::singleShot(0, &again, [&] { QTest::keyClick(&again, Qt::Key_Escape); });
    EXPECT_EQ(again.Exec(QPoint(10, 10)), 0u);
}

}  // namespace
