#pragma once
// Text conversions: the records keep UTF-16, the file system takes UTF-8,
// old task files and labels carry GBK (code page 936).
#include <string>
#include <string_view>

std::string ToUtf8(std::u16string_view s);
std::u16string FromUtf8(std::string_view s);
// GBK bytes to UTF-16; bytes that do not decode become U+FFFD.
std::u16string FromGbk(std::string_view bytes);
