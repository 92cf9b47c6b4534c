#include "app/ContextMenus.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

namespace {

void Add(QMenu& menu, int id, const char* context, const char* text)
{
    menu.addAction(QCoreApplication::translate(context, text))->setData(id);
}

}  // namespace

void BuildJobMenu(QMenu& menu)
{
    const char* c = "Menu";
    QMenu* state = menu.addMenu(QCoreApplication::translate(c, "状态"));
    Add(*state, JobCmd::StateAuto, c, "自动");
    Add(*state, JobCmd::StateManual, c, "手动");
    Add(*state, JobCmd::StateDone, c, "已完成");
    Add(menu, JobCmd::ChangeCopies, c, "修改份数");
    Add(menu, JobCmd::ChangeStartPos, c, "修改起始位置");
    Add(menu, JobCmd::MoveToFront, c, "移至最前");
    Add(menu, JobCmd::DeleteDone, c, "删除“已完成”");
    Add(menu, JobCmd::DeleteSelected, c, "删除\tDEL");
}

void BuildPreviewMenu(QMenu& menu)
{
    const char* c = "Menu";
    Add(menu, PreviewCmd::SelectAll, c, "全选");
    Add(menu, PreviewCmd::DetectOutline, c, "识别图形外轮廓");
    Add(menu, PreviewCmd::ConvertToPlot, c, "转换为绘图\t(Ctrl+1)");
    Add(menu, PreviewCmd::ConvertToCut, c, "转换为切割\t(Ctrl+2)");
    Add(menu, PreviewCmd::Rotate90, c, "旋转90度");
    Add(menu, PreviewCmd::ManualSplit, c, "Y向(纸宽方向)手动分页");
    Add(menu, PreviewCmd::MoveToLowerLeft, c, "图形平移至左下角");
    QMenu* del = menu.addMenu(QCoreApplication::translate(c, "删除"));
    Add(*del, PreviewCmd::DeleteInk, c, "喷墨数据");
    Add(*del, PreviewCmd::DeleteCut, c, "切割数据");
    Add(menu, PreviewCmd::DeleteSelectedCurves, c, "删除所选\t(DEL)");
}

int CommandOfAction(const QAction* action)
{
    return action != nullptr ? action->data().toInt() : 0;
}
