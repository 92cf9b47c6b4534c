#include "app/commands/FrameCommands.h"

namespace framecmd {

bool IsCheckable(uint16_t command)
{
    switch (command) {
    case kLangChinese:
    case kLangEnglish:
    case kLangTurkish:
    case kLinkUsb:
    case kLinkEthernet:
    case kToggleControlBar: return true;
    default: return false;
    }
}

bool IsChecked(uint16_t command, const CheckInputs& in)
{
    switch (command) {
    case kLangChinese: return in.language == 0;
    case kLangEnglish: return in.language == 1;
    case kLangTurkish: return in.language == 2;
    case kLinkUsb: return in.connectViaEth == 0;
    case kLinkEthernet: return in.connectViaEth != 0;
    case kToggleControlBar: return in.barVisible;
    default: return false;
    }
}

LanguageChange DecideLanguage(uint16_t command, int current)
{
    LanguageChange c;
    if (command < kLangChinese || command > kLangTurkish) return c;
    c.language = command - kLangChinese;
    if (c.language == current) return c;
    c.act = true;
    c.notice = c.language == 0 ? u"语言设置改变，重启程序生效"
                               : u"You Changed the language settings,please restart the Application";
    return c;
}

std::u16string CursorText(int x, int y, int language)
{
    const std::u16string mmX = [&] {
        const std::string s = std::to_string(x / 40);
        return std::u16string(s.begin(), s.end());
    }();
    const std::string sy = std::to_string(y / 40);
    const std::u16string mmY(sy.begin(), sy.end());
    return (language == 0 ? u"位置:(" : u"Pos:(") + mmX + u"mm," + mmY + u"mm)";
}

}  // namespace framecmd
