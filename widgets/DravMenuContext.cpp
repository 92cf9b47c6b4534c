#include "widgets/DravMenuContext.h"

#include "widgets/MenuDeviceContext.h"

DravMenuContext::DravMenuContext(MenuPlatformInputs in)
    : inputs(std::move(in)), OsVersionCode(QueryOsVersionCode(inputs.versionWord, inputs.versionRecord))
{
}

DravMenuContext& DravMenuContext::Program()
{
    static DravMenuContext program(MenuPlatformInputs::ForProgram());
    return program;
}

int DravMenuContext::IsClassicThemeActive()
{
    if (!classicThemeRead_) {
        classicThemeRead_ = true;
        classicThemeResult_ = ClassicThemeFromValue(inputs.themeValue);
    }
    return classicThemeResult_;
}

int DravMenuContext::TextWidth(const QFont& font, const QString& text) const
{
    return measureText ? measureText(font, text) : MenuDC::TextWidth(font, text);
}
