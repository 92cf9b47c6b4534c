#pragma once
// Every message exists in Chinese and English; the Language slot chooses
// when it is shown (Turkish reads English).
#include <string>

#include "model/Settings.h"

inline std::u16string Tr(const char16_t* zh, const char16_t* en)
{
    return theSettings.Get(Slot::Language) == 0 ? std::u16string(zh) : std::u16string(en);
}
