#include "app/commands/CommandTable.h"

#include "app/commands/CommandIds.h"
#include "widgets/MenuHandles.h"
#include "widgets/MenuResources.h"
#include "widgets/MenuTemplate.h"

#include <QCoreApplication>

#include <array>

namespace commandtable {
namespace {

using K = MenuEntry::Kind;
using namespace framecmd;

constexpr MenuEntry Cmd(uint16_t id, const char* text) { return {K::Command, id, text, {}}; }
constexpr MenuEntry Sep() { return {K::Separator, 0, nullptr, {}}; }
constexpr MenuEntry Sub(const char* text, std::span<const MenuEntry> items) { return {K::SubMenu, 0, text, items}; }

// The test-plot file names are shown as they stand.
constexpr std::array kTestFiles{
    Cmd(kTestFileFirst, "\"10x10.plt\""),     Cmd(kTestFileFirst + 1, "\"20x20.plt\""),
    Cmd(kTestFileFirst + 2, "\"30x30.plt\""), Cmd(kTestFileFirst + 3, "\"40x40.plt\""),
    Cmd(kTestFileLast, "\"50x50.plt\""),
};

constexpr std::array kFile{
    Cmd(kAddPrintFile, QT_TRANSLATE_NOOP("Menu", "添加打印文件(plt,dxf)\t(&A)")),
    Sub(QT_TRANSLATE_NOOP("Menu", "打开调机文件\t(&T)"), kTestFiles),
    Sep(),
    Cmd(kOpenTaskFile, QT_TRANSLATE_NOOP("Menu", "打开保存的工作列表\t(&O)")),
    Cmd(kSaveTaskFile, QT_TRANSLATE_NOOP("Menu", "保存当前工作列表\t(&S)")),
    Sep(),
    Cmd(kExportListAsPlt, QT_TRANSLATE_NOOP("Menu", "当前列表导出为plt\t(&E)")),
    Sep(),
    Cmd(kExit, QT_TRANSLATE_NOOP("Menu", "退出\t(&X)")),
};

constexpr std::array kLanguage{
    Cmd(kLangChinese, QT_TRANSLATE_NOOP("Menu", "简体中文\t(&C)")),
    Cmd(kLangEnglish, QT_TRANSLATE_NOOP("Menu", "English\t(&E)")),
    Cmd(kLangTurkish, QT_TRANSLATE_NOOP("Menu", "Türkçe\t(&T)")),
};

constexpr std::array kLink{
    Cmd(kLinkUsb, QT_TRANSLATE_NOOP("Menu", "USB")),
    Cmd(kLinkEthernet, QT_TRANSLATE_NOOP("Menu", "网线")),
};

constexpr std::array kSettings{
    Sub(QT_TRANSLATE_NOOP("Menu", "连接方式"), kLink),
    Cmd(kMachineParams, QT_TRANSLATE_NOOP("Menu", "参数\t(&P)")),
    Cmd(kPlotUnit, QT_TRANSLATE_NOOP("Menu", "绘图单位\t(&U)")),
};

constexpr std::array kHelp{
    Cmd(kAbout, QT_TRANSLATE_NOOP("Menu", "关于 OrlatCenter(&A)...")),
};

constexpr std::array kMain{
    Sub(QT_TRANSLATE_NOOP("Menu", "文件(&F)"), kFile),
    Sub(QT_TRANSLATE_NOOP("Menu", "Language(&L)"), kLanguage),
    Sub(QT_TRANSLATE_NOOP("Menu", "设置(&S)"), kSettings),
    Sub(QT_TRANSLATE_NOOP("Menu", "帮助(&H)"), kHelp),
};

constexpr std::array kJobState{
    Cmd(JobCmd::StateAuto, QT_TRANSLATE_NOOP("Menu", "自动")),
    Cmd(JobCmd::StateManual, QT_TRANSLATE_NOOP("Menu", "手动")),
    Cmd(JobCmd::StateDone, QT_TRANSLATE_NOOP("Menu", "已完成")),
};

constexpr std::array kJobItems{
    Sub(QT_TRANSLATE_NOOP("Menu", "状态"), kJobState),
    Cmd(JobCmd::ChangeCopies, QT_TRANSLATE_NOOP("Menu", "修改份数")),
    Cmd(JobCmd::ChangeStartPos, QT_TRANSLATE_NOOP("Menu", "修改起始位置")),
    Cmd(JobCmd::MoveToFront, QT_TRANSLATE_NOOP("Menu", "移至最前")),
    Cmd(JobCmd::DeleteDone, QT_TRANSLATE_NOOP("Menu", "删除“已完成”")),
    Cmd(JobCmd::DeleteSelected, QT_TRANSLATE_NOOP("Menu", "删除\tDEL")),
};

// The context menus' own drop-down titles are never shown.
constexpr std::array kJob{
    Sub(QT_TRANSLATE_NOOP("Menu", "工作列表"), kJobItems),
};

constexpr std::array kPreviewDelete{
    Cmd(PreviewCmd::DeleteInk, QT_TRANSLATE_NOOP("Menu", "喷墨数据")),
    Cmd(PreviewCmd::DeleteCut, QT_TRANSLATE_NOOP("Menu", "切割数据")),
};

constexpr std::array kPreviewItems{
    Cmd(PreviewCmd::SelectAll, QT_TRANSLATE_NOOP("Menu", "全选")),
    Cmd(PreviewCmd::DetectOutline, QT_TRANSLATE_NOOP("Menu", "识别图形外轮廓")),
    Cmd(PreviewCmd::ConvertToPlot, QT_TRANSLATE_NOOP("Menu", "转换为绘图\t(Ctrl+1)")),
    Cmd(PreviewCmd::ConvertToCut, QT_TRANSLATE_NOOP("Menu", "转换为切割\t(Ctrl+2)")),
    Cmd(PreviewCmd::Rotate90, QT_TRANSLATE_NOOP("Menu", "旋转90度")),
    Cmd(PreviewCmd::ManualSplit, QT_TRANSLATE_NOOP("Menu", "Y向(纸宽方向)手动分页")),
    Cmd(PreviewCmd::MoveToLowerLeft, QT_TRANSLATE_NOOP("Menu", "图形平移至左下角")),
    Sub(QT_TRANSLATE_NOOP("Menu", "删除"), kPreviewDelete),
    Cmd(PreviewCmd::DeleteSelectedCurves, QT_TRANSLATE_NOOP("Menu", "删除所选\t(DEL)")),
};

constexpr std::array kPreview{
    Sub(QT_TRANSLATE_NOOP("Menu", "预览"), kPreviewItems),
};

constexpr std::array<uint16_t, 8> kToolbar{kAddPrintFile, 0, kFitToScreen, 0, kMachineParams, 0, kHideToTray,
                                           kToggleControlBar};

constexpr std::array kAccelerators{
    AcceleratorEntry{"Ctrl+1", PreviewCmd::ConvertToPlot},
    AcceleratorEntry{"Ctrl+2", PreviewCmd::ConvertToCut},
    AcceleratorEntry{"Ctrl+O", kOpenTaskFile},
    AcceleratorEntry{"Down", PreviewCmd::PanDown},
    AcceleratorEntry{"Left", PreviewCmd::PanLeft},
    AcceleratorEntry{"PgDown", kZoomOut},
    AcceleratorEntry{"PgUp", kZoomIn},
    AcceleratorEntry{"Right", PreviewCmd::PanRight},
    AcceleratorEntry{"Up", PreviewCmd::PanUp},
};

constexpr std::array kPrompts{
    PromptEntry{kAddPrintFile, QT_TRANSLATE_NOOP("Menu", "添加打印文件(plt,dxf)\n添加打印文件(plt,dxf)")},
    PromptEntry{kExportListAsPlt, QT_TRANSLATE_NOOP("Menu", "导出列表为plt文件\n导出为plt")},
    PromptEntry{kZoomIn, QT_TRANSLATE_NOOP("Menu", "放大\n放大")},
    PromptEntry{kZoomOut, QT_TRANSLATE_NOOP("Menu", "缩小\n缩小")},
    PromptEntry{kFitToScreen, QT_TRANSLATE_NOOP("Menu", "适合屏幕\n适合屏幕")},
    PromptEntry{kMachineParams, QT_TRANSLATE_NOOP("Menu", "设置机器参数\n设置机器参数")},
    PromptEntry{kHideToTray, QT_TRANSLATE_NOOP("Menu", "隐藏窗口\n隐藏窗口")},
};

QString PromptPart(uint16_t command, int part)
{
    for (const PromptEntry& p : kPrompts)
        if (p.command == command)
            return Translate(p.text).section(QLatin1Char('\n'), part, part);
    return {};
}

std::vector<MenuTemplateItem> ToTemplate(std::span<const MenuEntry> menu)
{
    std::vector<MenuTemplateItem> items;
    for (const MenuEntry& e : menu) {
        MenuTemplateItem item;
        switch (e.kind) {
        case K::Command:
            item.id = e.id;
            item.text = Translate(e.text);
            break;
        case K::Separator:
            break;
        case K::SubMenu:
            item.flags = mf::kPopup;
            item.text = Translate(e.text);
            item.children = ToTemplate(e.items);
            break;
        }
        items.push_back(std::move(item));
    }
    return items;
}

}  // namespace

std::span<const MenuEntry> MainMenu() { return kMain; }
std::span<const MenuEntry> JobMenu() { return kJob; }
std::span<const MenuEntry> PreviewMenu() { return kPreview; }
std::span<const uint16_t> ToolbarButtons() { return kToolbar; }
std::span<const AcceleratorEntry> Accelerators() { return kAccelerators; }
std::span<const PromptEntry> Prompts() { return kPrompts; }
const char* const kIdlePrompt = QT_TRANSLATE_NOOP("Menu", "就绪");
QString StatusPromptOf(uint16_t command) { return PromptPart(command, 0); }
QString ToolTipOf(uint16_t command) { return PromptPart(command, 1); }

const MenuEntry* FindCommand(std::span<const MenuEntry> menu, uint16_t id)
{
    for (const MenuEntry& e : menu) {
        if (e.kind == K::Command && e.id == id)
            return &e;
        if (e.kind == K::SubMenu)
            if (const MenuEntry* hit = FindCommand(e.items, id))
                return hit;
    }
    return nullptr;
}

QString Translate(const char* source)
{
    if (!source)
        return {};
    return QCoreApplication::translate("Menu", source);
}

QString LabelOf(const char* source)
{
    const QString text = Translate(source);
    const int tab = text.indexOf(QLatin1Char('\t'));
    return tab < 0 ? text : text.left(tab);
}

QString AcceleratorOf(const char* source)
{
    const QString text = Translate(source);
    const int tab = text.indexOf(QLatin1Char('\t'));
    return tab < 0 ? QString() : text.mid(tab + 1);
}

QByteArray MenuTemplateBytes(std::span<const MenuEntry> menu)
{
    return EncodeMenuTemplate(ToTemplate(menu));
}

void RegisterProgramMenus(MenuResources& resources)
{
    resources.executable.menus[kMainMenuId] = MenuTemplateBytes(MainMenu());
    resources.executable.menus[kJobMenuId] = MenuTemplateBytes(JobMenu());
    resources.executable.menus[kPreviewMenuId] = MenuTemplateBytes(PreviewMenu());
    MenuToolbar bar;
    bar.buttonWidth = 32;
    bar.buttonHeight = 32;
    bar.commands.assign(kToolbar.begin(), kToolbar.end());
    resources.executable.toolbars[kToolbarId] = bar;
}

}  // namespace commandtable
