#include "app/commands/CommandTable.h"

#include "widgets/MenuHandles.h"
#include "widgets/MenuResources.h"
#include "widgets/MenuTemplate.h"

#include <QCoreApplication>

#include <array>

namespace commandtable {
namespace {

using K = MenuEntry::Kind;

constexpr MenuEntry Cmd(uint16_t id, const char* text) { return {K::Command, id, text, {}}; }
constexpr MenuEntry Sep() { return {K::Separator, 0, nullptr, {}}; }
constexpr MenuEntry Sub(const char* text, std::span<const MenuEntry> items) { return {K::SubMenu, 0, text, items}; }

// The test-plot file names are shown as they stand.
constexpr std::array kTestFiles{
    Cmd(32700, "\"10x10.plt\""), Cmd(32701, "\"20x20.plt\""), Cmd(32702, "\"30x30.plt\""),
    Cmd(32703, "\"40x40.plt\""), Cmd(32704, "\"50x50.plt\""),
};

constexpr std::array kFile{
    Cmd(309, QT_TRANSLATE_NOOP("Menu", "添加打印文件(plt,dxf)\t(&A)")),
    Sub(QT_TRANSLATE_NOOP("Menu", "打开调机文件\t(&T)"), kTestFiles),
    Sep(),
    Cmd(57601, QT_TRANSLATE_NOOP("Menu", "打开保存的工作列表\t(&O)")),
    Cmd(57603, QT_TRANSLATE_NOOP("Menu", "保存当前工作列表\t(&S)")),
    Sep(),
    Cmd(310, QT_TRANSLATE_NOOP("Menu", "当前列表导出为plt\t(&E)")),
    Sep(),
    Cmd(57665, QT_TRANSLATE_NOOP("Menu", "退出\t(&X)")),
};

constexpr std::array kLanguage{
    Cmd(3000, QT_TRANSLATE_NOOP("Menu", "简体中文\t(&C)")),
    Cmd(3001, QT_TRANSLATE_NOOP("Menu", "English\t(&E)")),
    Cmd(3002, QT_TRANSLATE_NOOP("Menu", "Türkçe\t(&T)")),
};

constexpr std::array kLink{
    Cmd(3201, QT_TRANSLATE_NOOP("Menu", "USB")),
    Cmd(3202, QT_TRANSLATE_NOOP("Menu", "网线")),
};

constexpr std::array kSettings{
    Sub(QT_TRANSLATE_NOOP("Menu", "连接方式"), kLink),
    Cmd(315, QT_TRANSLATE_NOOP("Menu", "参数\t(&P)")),
    Cmd(3003, QT_TRANSLATE_NOOP("Menu", "绘图单位\t(&U)")),
};

constexpr std::array kHelp{
    Cmd(57664, QT_TRANSLATE_NOOP("Menu", "关于 OrlatCenter(&A)...")),
};

constexpr std::array kMain{
    Sub(QT_TRANSLATE_NOOP("Menu", "文件(&F)"), kFile),
    Sub(QT_TRANSLATE_NOOP("Menu", "Language(&L)"), kLanguage),
    Sub(QT_TRANSLATE_NOOP("Menu", "设置(&S)"), kSettings),
    Sub(QT_TRANSLATE_NOOP("Menu", "帮助(&H)"), kHelp),
};

constexpr std::array kJobState{
    Cmd(3021, QT_TRANSLATE_NOOP("Menu", "自动")),
    Cmd(3022, QT_TRANSLATE_NOOP("Menu", "手动")),
    Cmd(3023, QT_TRANSLATE_NOOP("Menu", "已完成")),
};

constexpr std::array kJobItems{
    Sub(QT_TRANSLATE_NOOP("Menu", "状态"), kJobState),
    Cmd(3024, QT_TRANSLATE_NOOP("Menu", "修改份数")),
    Cmd(3025, QT_TRANSLATE_NOOP("Menu", "修改起始位置")),
    Cmd(3020, QT_TRANSLATE_NOOP("Menu", "移至最前")),
    Cmd(3011, QT_TRANSLATE_NOOP("Menu", "删除“已完成”")),
    Cmd(3010, QT_TRANSLATE_NOOP("Menu", "删除\tDEL")),
};

// The context menus' own drop-down titles are never shown.
constexpr std::array kJob{
    Sub(QT_TRANSLATE_NOOP("Menu", "工作列表"), kJobItems),
};

constexpr std::array kPreviewDelete{
    Cmd(1007, QT_TRANSLATE_NOOP("Menu", "喷墨数据")),
    Cmd(1008, QT_TRANSLATE_NOOP("Menu", "切割数据")),
};

constexpr std::array kPreviewItems{
    Cmd(1006, QT_TRANSLATE_NOOP("Menu", "全选")),
    Cmd(3200, QT_TRANSLATE_NOOP("Menu", "识别图形外轮廓")),
    Cmd(1003, QT_TRANSLATE_NOOP("Menu", "转换为绘图\t(Ctrl+1)")),
    Cmd(1004, QT_TRANSLATE_NOOP("Menu", "转换为切割\t(Ctrl+2)")),
    Cmd(1009, QT_TRANSLATE_NOOP("Menu", "旋转90度")),
    Cmd(1010, QT_TRANSLATE_NOOP("Menu", "Y向(纸宽方向)手动分页")),
    Cmd(1011, QT_TRANSLATE_NOOP("Menu", "图形平移至左下角")),
    Sub(QT_TRANSLATE_NOOP("Menu", "删除"), kPreviewDelete),
    Cmd(1005, QT_TRANSLATE_NOOP("Menu", "删除所选\t(DEL)")),
};

constexpr std::array kPreview{
    Sub(QT_TRANSLATE_NOOP("Menu", "预览"), kPreviewItems),
};

constexpr std::array<uint16_t, 8> kToolbar{309, 0, 314, 0, 315, 0, 317, 316};

constexpr std::array kAccelerators{
    AcceleratorEntry{"Ctrl+1", 1003}, AcceleratorEntry{"Ctrl+2", 1004},   AcceleratorEntry{"Ctrl+O", 57601},
    AcceleratorEntry{"Down", 336},    AcceleratorEntry{"Left", 333},      AcceleratorEntry{"PgDown", 313},
    AcceleratorEntry{"PgUp", 312},    AcceleratorEntry{"Right", 334},     AcceleratorEntry{"Up", 335},
};

constexpr std::array kPrompts{
    PromptEntry{309, QT_TRANSLATE_NOOP("Menu", "添加打印文件(plt,dxf)\n添加打印文件(plt,dxf)")},
    PromptEntry{310, QT_TRANSLATE_NOOP("Menu", "导出列表为plt文件\n导出为plt")},
    PromptEntry{312, QT_TRANSLATE_NOOP("Menu", "放大\n放大")},
    PromptEntry{313, QT_TRANSLATE_NOOP("Menu", "缩小\n缩小")},
    PromptEntry{314, QT_TRANSLATE_NOOP("Menu", "适合屏幕\n适合屏幕")},
    PromptEntry{315, QT_TRANSLATE_NOOP("Menu", "设置机器参数\n设置机器参数")},
    PromptEntry{317, QT_TRANSLATE_NOOP("Menu", "隐藏窗口\n隐藏窗口")},
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
