// Guards: an export that drops or doubles the .plt ending of the chosen name.
#include <gtest/gtest.h>

#include "jobs/ExportName.h"

TEST(ExportName, PltAppendedUnlessPresent)
{
    struct Case {
        const char16_t* in;
        const char16_t* out;
        bool appended;
    } cases[] = {
        {u"/t/out.PLT", u"/t/out.PLT", false},
        {u"/t/out", u"/t/out.plt", true},
        {u"/t/out.plt.txt", u"/t/out.plt.txt.plt", true},
        {u".plt", u".plt.plt", true},
        {u"a.pLt", u"a.pLt", false},
    };
    for (const Case& c : cases) {
        const ExportName n = ExportNameFor(c.in);
        EXPECT_EQ(n.path, c.out);
        EXPECT_EQ(n.appended, c.appended);
    }
}
