// Guards: record strings changed by a UTF-8 round trip, or malformed UTF-8 that is not replaced.
#include <gtest/gtest.h>

#include "model/Text.h"

TEST(Text, Utf8RoundTripOfRecordStrings)
{
    const std::u16string s = u"D:/\u4E2D\u6587 100%/a.plt \U0001F600";
    EXPECT_EQ(ToUtf8(s), "D:/\xE4\xB8\xAD\xE6\x96\x87 100%/a.plt \xF0\x9F\x98\x80");
    EXPECT_EQ(FromUtf8(ToUtf8(s)), s);
    // A lone surrogate has no UTF-8 form.
    EXPECT_EQ(ToUtf8(std::u16string(1, char16_t{0xD800}) + u"x"), "\xEF\xBF\xBDx");
}

TEST(Text, MalformedUtf8BecomesReplacements)
{
    struct Case { const char* name; std::string in; std::u16string out; };
    const Case cases[] = {
        {"cut-off sequence", "a\xE4\xB8", u"a\uFFFD\uFFFD"},
        {"stray continuation", "\x80z", u"\uFFFDz"},
        {"overlong slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
        {"overlong three bytes", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
        {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"five-byte lead", "\xF8\x88\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"largest character", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
    };
    for (const Case& c : cases) EXPECT_EQ(FromUtf8(c.in), c.out) << c.name;
}
