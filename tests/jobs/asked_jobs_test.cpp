// Emptying or replacing "the list" after a question also wiped the jobs
// that came in while the question was open, or lost their places.
#include <gtest/gtest.h>

#include "jobs/AskedJobs.h"
#include "tests/app/support/AppFixture.h"

using namespace appfix;

namespace {

std::unique_ptr<COnePage> Named(const char16_t* name)
{
    auto p = Job(JobState::Manual);
    p->m_strFileName = name;
    return p;
}

std::vector<std::u16string> Names(const PageList& pages)
{
    std::vector<std::u16string> n;
    for (const auto& p : pages) n.push_back(p->m_strFileName);
    return n;
}

class AskedJobs : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char16_t* n : {u"a", u"b", u"c"}) pages.push_back(Named(n));
    }
    PageList pages;
};

}  // namespace

TEST_F(AskedJobs, DeleteKeepsWhatCameMeanwhileAndSkipsWhatWentMeanwhile)
{
    const CAskedJobs asked(pages);
    // While the question is open: b done and cleaned up, two folder imports,
    // one of them moved to the front.
    pages.erase(pages.begin() + 1);
    pages.push_back(Named(u"new1"));
    pages.insert(pages.begin(), Named(u"new2"));
    asked.DeleteFrom(pages);
    EXPECT_EQ(Names(pages), (std::vector<std::u16string>{u"new2", u"new1"}));

    const CAskedJobs none(PageList{});
    none.DeleteFrom(pages);
    EXPECT_EQ(pages.size(), 2u);
}

TEST_F(AskedJobs, NewcomersFollowTheReplacedListOrGoBackWhereTheyWere)
{
    const CAskedJobs asked(pages);
    pages.insert(pages.begin() + 1, Named(u"x"));
    pages.push_back(Named(u"y"));
    const std::vector<std::u16string> before = Names(pages);

    // Not replaced (the file could not be read): the list exactly as it was.
    CAskedJobs::Newcomers n = asked.TakeNewcomers(pages);
    EXPECT_EQ(Names(pages), (std::vector<std::u16string>{u"a", u"b", u"c"}));
    CAskedJobs::PutBack(pages, std::move(n), false);
    EXPECT_EQ(Names(pages), before);

    // Replaced: the loaded jobs, then the newcomers in their order.
    n = asked.TakeNewcomers(pages);
    pages.clear();
    pages.push_back(Named(u"loaded"));
    CAskedJobs::PutBack(pages, std::move(n), true);
    EXPECT_EQ(Names(pages), (std::vector<std::u16string>{u"loaded", u"x", u"y"}));
}
