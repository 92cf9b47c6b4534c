// Guards the last-task file going stale: a kill must find in it the list as a close would save it now.
#include <linux/capability.h>

#include <cerrno>
#include <climits>
#include <filesystem>
#include <functional>

#include "jobs/LastTaskKeeper.h"
#include "jobs/OrlatCenterDoc.h"
#include "tests/app/support/AppFixture.h"
#include "tests/jobs/WriterGate.h"
#include "tests/support/DroppedCaps.h"

using namespace appfix;
using namespace JobState;
namespace fs = std::filesystem;

namespace {

class Keeper : public ::testing::Test {
protected:
    void SetUp() override { theSettings.InitPathsFrom(FromUtf8(program.Path())); }

    fs::path File() const { return program.path() / "last2107.orlattask"; }
    // What the next start would load.
    PageList OnDisk() const
    {
        PageList pages;
        EXPECT_EQ(LoadTaskFile(FromUtf8(File().string()), pages), TaskFileStatus::Ok);
        return pages;
    }
    void SaveOnDisk(PageList pages) const
    {
        ASSERT_EQ(SaveTaskFile(FromUtf8(File().string()), pages), TaskFileStatus::Ok);
    }
    COnePage& Add(int32_t state, int32_t copies, std::u16string name)
    {
        doc.m_pages.push_back(Job(state, copies));
        doc.m_pages.back()->m_strFileName = std::move(name);
        return *doc.m_pages.back();
    }

    // Keeps the list and waits until it is on disk.
    KeepOutcome::Kind KeepAndWait()
    {
        const KeepOutcome::Kind k = keeper.Keep().kind;
        EXPECT_TRUE(keeper.WaitDurable(keeper.Ticket(), std::chrono::seconds(10)));
        return k;
    }

    SettingsGuard guard;
    TempDir program;
    COrlatCenterDoc doc;
    writergate::Gate gate;  // outlives the keeper's writer, which calls it
    CLastTaskKeeper keeper{doc, gate.Hook()};
};

std::vector<int32_t> Copies(const PageList& pages)
{
    std::vector<int32_t> c;
    for (auto& p : pages) c.push_back(p->m_copies);
    return c;
}

}  // namespace

TEST_F(Keeper, EveryChangeOfTheListReachesTheFileAsACloseWouldSaveIt)
{
    keeper.Begin();  // no file: the path is the keeper's
    ASSERT_TRUE(keeper.Owned());
    struct Step {
        const char* what;
        std::function<void()> change;
        std::vector<int32_t> states, copies;  // on disk afterwards; none: no file
    };
    const Step steps[] = {
        {"a job added", [&] { Add(Auto, 2, u"a"); }, {Auto}, {2}},
        {"it starts: stored as Manual", [&] { doc.m_pages[0]->m_state = Printing; }, {Manual}, {2}},
        {"another added while it prints", [&] { Add(Auto, 1, u"b"); }, {Manual, Auto}, {2, 1}},
        {"its copies changed", [&] { doc.m_pages[1]->m_copies = 5; }, {Manual, Auto}, {2, 5}},
        {"the first copy ends: Auto again", [&] { doc.m_pages[0]->m_state = Auto, doc.m_pages[0]->m_copies = 1; },
         {Auto, Auto}, {1, 5}},
        {"the last copy ends: Done", [&] { doc.m_pages[0]->m_state = Done, doc.m_pages[0]->m_copies = 0; },
         {Done, Auto}, {0, 5}},
        {"moved to the front", [&] { std::swap(doc.m_pages[0], doc.m_pages[1]); }, {Auto, Done}, {5, 0}},
        {"Done deleted", [&] { doc.DeletePage(1); }, {Auto}, {5}},
        {"all deleted", [&] { doc.DeleteAllPages(); }, {}, {}},
    };
    for (const Step& s : steps) {
        s.change();
        EXPECT_EQ(KeepAndWait(), KeepOutcome::Written) << s.what;
        if (s.states.empty()) {
            EXPECT_FALSE(fs::exists(File())) << s.what;  // nothing to resume
            continue;
        }
        const PageList disk = OnDisk();
        EXPECT_EQ(States(disk), s.states) << s.what;
        EXPECT_EQ(Copies(disk), s.copies) << s.what;
    }
    // The Printing job stays Printing in the list while the file says Manual.
    Add(Printing, 1, u"c");
    KeepAndWait();
    EXPECT_EQ(doc.m_pages[0]->m_state, Printing);
    EXPECT_EQ(States(OnDisk()), (std::vector<int32_t>{Manual}));
}

TEST_F(Keeper, TheTemporaryFileOfAWriteCutShortIsRemovedAtStart)
{
    program.Write("last2107.orlattask.tmp4242_0", "half a list");
    program.Write("last2107.orlattask.bad", "kept aside");
    program.Write("other.tmp1", "not ours");
    keeper.Begin();
    EXPECT_FALSE(program.Exists("last2107.orlattask.tmp4242_0"));
    EXPECT_TRUE(program.Exists("last2107.orlattask.bad"));
    EXPECT_TRUE(program.Exists("other.tmp1"));
}

TEST_F(Keeper, AnUnchangedListIsNotWrittenAgain)
{
    keeper.Begin();
    Add(Auto, 1, u"a");
    ASSERT_EQ(KeepAndWait(), KeepOutcome::Written);
    // Removed behind its back: a keeper that writes every time would bring it back.
    fs::remove(File());
    EXPECT_EQ(keeper.Keep().kind, KeepOutcome::Unchanged);
    EXPECT_FALSE(fs::exists(File()));
}

TEST_F(Keeper, EditsOfAJobChangeTheSignature)
{
    Add(Manual, 1, u"a");
    auto& page = *doc.m_pages[0];
    page.m_curves[0]->m_points = {{0, 0}, {800, 0}, {800, 400}};
    auto second = std::make_unique<CCurve>();
    second->m_points = {{10, 10}, {20, 10}};
    page.m_curves.push_back(std::move(second));
    for (auto& c : page.m_curves) c->CalcBoundRect();
    page.CalcPageBounds();
    const std::pair<const char*, std::function<void()>> edits[] = {
        {"rotated", [&] { page.Rotate90(); }},
        {"a curve turned into a cut, extents refreshed",
         [&] { page.m_curves[1]->m_kind = CurveKind::Cut, page.CalcInkExtents(), page.CalcCutExtents(); }},
        {"ink deleted", [&] { page.DeleteInkCurves(); }},
        {"start position", [&] { page.m_startPos = 12; }},
        {"renamed", [&] { page.m_strFileName = u"b"; }},
        {"an edit the document counts", [&] { doc.NoteChange(); }},
    };
    for (const auto& [what, edit] : edits) {
        const uint64_t before = CLastTaskKeeper::Signature(doc);
        edit();
        EXPECT_NE(CLastTaskKeeper::Signature(doc), before) << what;
    }
}

TEST_F(Keeper, TheCloseWritesEvenAnEditNobodyCounted)
{
    keeper.Begin();
    Add(Manual, 1, u"a");
    ASSERT_EQ(keeper.Keep().kind, KeepOutcome::Written);
    doc.m_pages[0]->m_curves[0]->m_kind = CurveKind::Cut;  // in place, extents as they were
    EXPECT_EQ(keeper.Keep().kind, KeepOutcome::Unchanged);
    EXPECT_EQ(keeper.SaveForClose().kind, KeepOutcome::Written);
    EXPECT_EQ(OnDisk()[0]->m_curves[0]->m_kind, CurveKind::Cut);
}

TEST_F(Keeper, AFileNotLoadedYetIsNeverWrittenOverOrRemoved)
{
    {
        PageList last;
        last.push_back(Job(Auto, 3));
        last.back()->m_strFileName = u"last run";
        SaveOnDisk(std::move(last));
    }
    keeper.Begin();
    EXPECT_FALSE(keeper.Owned());
    // An empty list, then one from the command line: the file stays as it was.
    EXPECT_EQ(keeper.Keep().kind, KeepOutcome::NotOwned);
    Add(Manual, 1, u"command line");
    EXPECT_EQ(keeper.Keep().kind, KeepOutcome::NotOwned);
    ASSERT_EQ(OnDisk().size(), 1u);

    // A close before the first poll pass takes the file's jobs in first.
    EXPECT_EQ(keeper.SaveForClose().kind, KeepOutcome::Written);
    const PageList disk = OnDisk();
    ASSERT_EQ(disk.size(), 2u);
    EXPECT_EQ(disk[0]->m_strFileName, u"last run");
    EXPECT_EQ(disk[0]->m_copies, 3);
    EXPECT_EQ(disk[1]->m_strFileName, u"command line");
}

TEST_F(Keeper, TheFirstPollLoadsOnceAndTheKeepersOwnFileIsNotLoadedAgain)
{
    {
        PageList last;
        last.push_back(Job(Manual));
        SaveOnDisk(std::move(last));
    }
    keeper.Begin();
    EXPECT_EQ(keeper.Load().loaded, 1);
    EXPECT_TRUE(keeper.Owned());
    EXPECT_EQ(keeper.Load().loaded, 0);  // the file there now is the keeper's own
    EXPECT_EQ(doc.m_pages.size(), 1u);

    // Begun with no file, written, then a late first poll finds that file.
    COrlatCenterDoc other;
    CLastTaskKeeper fresh{other};
    fs::remove(File());
    fresh.Begin();
    other.m_pages.push_back(Job(Auto));
    ASSERT_EQ(fresh.Keep().kind, KeepOutcome::Written);
    ASSERT_EQ(fresh.Flush().kind, KeepOutcome::Written);
    EXPECT_EQ(fresh.Load().loaded, 0);
    EXPECT_EQ(other.m_pages.size(), 1u);
}

TEST_F(Keeper, ADamagedFileSetAsideIsNoLongerInTheWay)
{
    program.Write("last2107.orlattask", std::string("\x05\x00garbage", 9));
    keeper.Begin();
    const LastTaskLoad r = keeper.Load();
    EXPECT_NE(r.status, TaskFileStatus::Ok);
    EXPECT_TRUE(program.Exists("last2107.orlattask.bad"));
    EXPECT_TRUE(keeper.Owned());
    Add(Auto, 1, u"new");
    EXPECT_EQ(KeepAndWait(), KeepOutcome::Written);
    EXPECT_EQ(OnDisk().size(), 1u);
}

TEST_F(Keeper, AFailedWriteIsReportedOnceAndTriedAgainAtTheNextChange)
{
    const fs::path folder = program.path() / "later";
    theSettings.SetPath(Slot::LastTaskPath, FromUtf8((folder / "last2107.orlattask").string()));
    keeper.Begin();
    Add(Auto, 1, u"a");
    // Handed at once; the failure comes back with the next look.
    ASSERT_EQ(keeper.Keep().kind, KeepOutcome::Written);
    EXPECT_FALSE(keeper.WaitDurable(keeper.Ticket(), std::chrono::seconds(10)));
    EXPECT_TRUE(keeper.Failing());
    KeepOutcome o = keeper.Keep();
    EXPECT_EQ(o.kind, KeepOutcome::Failed);
    EXPECT_EQ(o.status, TaskFileStatus::WriteFailed);
    EXPECT_EQ(o.error, ENOENT);
    EXPECT_TRUE(o.report);
    EXPECT_EQ(keeper.Keep().kind, KeepOutcome::Unchanged);  // not every second
    doc.m_pages[0]->m_copies = 2;
    ASSERT_EQ(keeper.Keep().kind, KeepOutcome::Written);
    o = keeper.Flush();
    EXPECT_EQ(o.kind, KeepOutcome::Failed);
    EXPECT_FALSE(o.report);  // once
    EXPECT_EQ(keeper.Keep().kind, KeepOutcome::Unchanged);

    fs::create_directories(folder);
    doc.m_pages[0]->m_copies = 3;
    EXPECT_EQ(KeepAndWait(), KeepOutcome::Written);
    EXPECT_FALSE(keeper.Failing());
    EXPECT_EQ(keeper.Keep().kind, KeepOutcome::Unchanged);
    fs::remove_all(folder);
    doc.m_pages[0]->m_copies = 4;
    keeper.Keep();
    EXPECT_TRUE(keeper.Flush().report);  // a new failure after a success
    // The close tries again even though nothing changed since.
    fs::create_directories(folder);
    EXPECT_EQ(keeper.SaveForClose().kind, KeepOutcome::Written);
    EXPECT_FALSE(keeper.Failing());
}

TEST_F(Keeper, AFailedListIsTriedAgainAfterAWhileWithoutAnEdit)
{
    const fs::path folder = program.path() / "later";
    theSettings.SetPath(Slot::LastTaskPath, FromUtf8((folder / "last2107.orlattask").string()));
    keeper.Begin();
    Add(Auto, 1, u"a");
    const auto t0 = std::chrono::steady_clock::now();
    keeper.Keep(t0);
    EXPECT_FALSE(keeper.WaitDurable(keeper.Ticket(), std::chrono::seconds(10)));
    ASSERT_EQ(keeper.Keep(t0).kind, KeepOutcome::Failed);
    // Room again, and nobody touches the list.
    fs::create_directories(folder);
    EXPECT_EQ(keeper.Keep(t0 + CLastTaskKeeper::kRetryAfter / 2).kind, KeepOutcome::Unchanged);
    EXPECT_TRUE(keeper.Failing());
    EXPECT_EQ(keeper.Keep(t0 + CLastTaskKeeper::kRetryAfter).kind, KeepOutcome::Written);
    ASSERT_TRUE(keeper.WaitDurable(keeper.Ticket(), std::chrono::seconds(10)));
    EXPECT_FALSE(keeper.Failing());
    EXPECT_TRUE(fs::exists(folder / "last2107.orlattask"));
}

TEST_F(Keeper, AFolderThatRefusesTheWriteSaysWhy)
{
    const testsupport::DroppedCaps asUser({CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH});
    if (::geteuid() == 0 && !asUser.ok()) GTEST_SKIP() << "cannot drop the DAC overrides";
    keeper.Begin();  // the writer starts under the caps of this thread
    fs::permissions(program.path(), fs::perms::owner_read | fs::perms::owner_exec);
    Add(Auto, 1, u"a");
    keeper.Keep();
    const KeepOutcome o = keeper.Flush();
    EXPECT_EQ(o.kind, KeepOutcome::Failed);
    EXPECT_EQ(o.error, EACCES);
    fs::permissions(program.path(), fs::perms::owner_all);
    doc.m_pages[0]->m_copies = 2;
    EXPECT_EQ(KeepAndWait(), KeepOutcome::Written);
    EXPECT_EQ(Copies(OnDisk()), (std::vector<int32_t>{2}));
}

TEST_F(Keeper, KeepReturnsWhileTheWriteIsUnderWayAndItsTicketWaitsForIt)
{
    keeper.Begin();
    EXPECT_TRUE(keeper.Durable(keeper.Ticket()));  // nothing handed: nothing to wait for
    Add(Auto, 1, u"a");
    gate.CloseAt(1);
    ASSERT_EQ(keeper.Keep().kind, KeepOutcome::Written);
    const KeepTicket first = keeper.Ticket();
    ASSERT_TRUE(gate.Reached());
    EXPECT_FALSE(keeper.Durable(first));
    EXPECT_FALSE(fs::exists(File()));
    // Further changes meanwhile: each a new ticket; the looks in between
    // hand nothing.
    Add(Auto, 2, u"b");
    ASSERT_EQ(keeper.Keep().kind, KeepOutcome::Written);
    EXPECT_EQ(keeper.Keep().kind, KeepOutcome::Unchanged);
    doc.m_pages[1]->m_copies = 5;
    ASSERT_EQ(keeper.Keep().kind, KeepOutcome::Written);
    const KeepTicket last = keeper.Ticket();
    EXPECT_GT(last, first + 1);
    gate.Open();
    ASSERT_TRUE(keeper.WaitDurable(last, std::chrono::seconds(10)));
    EXPECT_TRUE(keeper.Durable(first));
    EXPECT_EQ(Copies(OnDisk()), (std::vector<int32_t>{1, 5}));
    // The list in between was passed over: the last one covers it.
    EXPECT_EQ(gate.Began().size(), 2u);
}

TEST_F(Keeper, EmptyingTheListRemovesTheFileAfterTheWriteBeforeIt)
{
    keeper.Begin();
    Add(Auto, 1, u"a");
    gate.CloseAt(1);
    keeper.Keep();
    ASSERT_TRUE(gate.Reached());
    doc.DeleteAllPages();
    ASSERT_EQ(keeper.Keep().kind, KeepOutcome::Written);
    gate.Open();
    ASSERT_TRUE(keeper.WaitDurable(keeper.Ticket(), std::chrono::seconds(10)));
    EXPECT_FALSE(fs::exists(File()));
    // And a list again after it.
    Add(Manual, 3, u"b");
    ASSERT_EQ(KeepAndWait(), KeepOutcome::Written);
    EXPECT_EQ(Copies(OnDisk()), (std::vector<int32_t>{3}));
}

TEST_F(Keeper, TheCloseWaitsForTheWriterWhileTheWindowPaints)
{
    keeper.Begin();
    Add(Auto, 1, u"a");
    gate.CloseAt(1);
    keeper.Keep();
    ASSERT_TRUE(gate.Reached());
    doc.m_pages[0]->m_copies = 7;
    int pumped = 0;
    const KeepOutcome o = keeper.SaveForClose([&] {
        // The close is waiting: let the write under way go.
        if (++pumped == 1) gate.Open();
    });
    EXPECT_EQ(o.kind, KeepOutcome::Written);
    EXPECT_GE(pumped, 1);
    EXPECT_EQ(Copies(OnDisk()), (std::vector<int32_t>{7}));
    EXPECT_TRUE(keeper.Durable(keeper.Ticket()));
}

TEST_F(Keeper, CopiesTheProgramCanStoreComeBackThroughEveryRoad)
{
    // The copies dialog stores what is typed; a job set to 0 copies ends Done at -1.
    const int32_t copies[] = {1, 0, -1, INT32_MIN};
    for (int32_t c : copies) Add(Manual, c, u"job");
    const std::u16string saved = FromUtf8((program.path() / "saved.orlattask").string());
    ASSERT_EQ(doc.SaveTaskFile(saved), TaskFileStatus::Ok);

    COrlatCenterDoc opened;
    ASSERT_EQ(opened.OpenTaskFile(saved), TaskFileStatus::Ok);
    EXPECT_EQ(Copies(opened.m_pages), (std::vector<int32_t>(std::begin(copies), std::end(copies))));

    // The last-task file the keeper writes, as the next start loads it.
    keeper.Begin();
    ASSERT_EQ(KeepAndWait(), KeepOutcome::Written);
    COrlatCenterDoc next;
    CLastTaskKeeper nextKeeper{next};
    const LastTaskLoad r = nextKeeper.Load();
    ASSERT_EQ(r.status, TaskFileStatus::Ok);
    EXPECT_EQ(Copies(next.m_pages), (std::vector<int32_t>(std::begin(copies), std::end(copies))));
    EXPECT_FALSE(program.Exists("last2107.orlattask.bad"));
}
