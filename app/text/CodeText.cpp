#include "app/text/CodeText.h"

#include "model/Settings.h"

QString CodeText(const char* chinese, const char* english)
{
    return QString::fromUtf8(theSettings.Get(Slot::Language) == 0 ? chinese : english);
}
