// Guards the watched files' road through the job service: a file deleted before the list holding its job is on disk, a file taken twice after a kill or when it cannot be deleted, a file taken while the list cannot be saved (and nothing said why), or one folder for both data directories scanned at two units.
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>

#include "jobs/TakenSourcesFile.h"
#include "tests/jobs/ServiceFixture.h"
#include "tests/support/DroppedCaps.h"

using namespace servicefix;
using namespace JobState;
namespace fs = std::filesystem;

namespace {

constexpr int64_t kSecond = 1000000000;

class WatchedTake : public ServiceTest {
protected:
    void SetUp() override
    {
        ServiceTest::SetUp();
        service.Scanner().nowNs = [this] { return clock; };
    }
    void TearDown() override
    {
        ::chmod(program.Path().c_str(), 0755);
        ServiceTest::TearDown();
    }

    std::string Mm() const { return ToUtf8(theSettings.DataDirMm); }
    std::string Record() const { return program.File(kTakenSourcesName); }
    std::string LastTask() const { return ToUtf8(theSettings.Path(Slot::LastTaskPath)); }
    // A whole marker, written long ago and closed.
    void Put(const std::string& name, int side) const
    {
        std::ofstream(Mm() + name) << Square(side);
        const struct utimbuf old {1000000000, 1000000000};
        ::utime((Mm() + name).c_str(), &old);
    }
    // Poll steps of s as the clocks run them; between two the writer has
    // long written the list it was handed (a day's list takes some 40 ms).
    void Polls(CJobService& s, int n)
    {
        for (int i = 0; i < n; ++i) {
            clock += 4 * kSecond / 10;
            s.PollTick();
            s.Keeper().Flush();
        }
    }
    // Names of the jobs the next start loads (their last part).
    std::vector<std::string> NamesOnDisk() const
    {
        PageList pages;
        std::vector<std::string> names;
        if (!fs::exists(LastTask())) return names;
        EXPECT_EQ(LoadTaskFile(FromUtf8(LastTask()), pages), TaskFileStatus::Ok);
        for (const auto& p : pages) {
            const std::string n = ToUtf8(p->m_strFileName);
            names.push_back(n.substr(n.rfind('/') + 1));
        }
        return names;
    }
    std::vector<TakenSource> RecordOnDisk() const
    {
        TakenRead r = ReadTakenSources(Record());
        EXPECT_EQ(r.status, TakenRead::Ok);
        return r.sources;
    }
    int Notes(const std::string& part) const
    {
        int n = 0;
        for (const JobNote& note : told.notes) n += ToUtf8(note.text).find(part) != std::string::npos;
        return n;
    }

    int64_t clock = 1000 * kSecond;
};

}  // namespace

TEST_F(WatchedTake, TheFileGoesOnlyOnceTheListHoldingItsJobIsOnDiskAndTheRecordNamedItFirst)
{
    Put("a.plt", 400);
    int deletes = 0;
    service.Scanner().removeFile = [&](const std::string& path) {
        ++deletes;
        EXPECT_EQ(NamesOnDisk(), (std::vector<std::string>{"a.plt"})) << "deleted before its list was on disk";
        const std::vector<TakenSource> record = RecordOnDisk();
        EXPECT_TRUE(record.size() == 1 && record[0].path == path && !record[0].kept);
        return ::unlink(path.c_str()) == 0;
    };
    Polls(service, 3);
    ASSERT_EQ(doc.m_pages.size(), 1u);
    EXPECT_EQ(deletes, 1);
    EXPECT_FALSE(fs::exists(Mm() + "a.plt"));
    EXPECT_TRUE(RecordOnDisk().empty());
    EXPECT_TRUE(told.notes.empty()) << told.LastNote();
}

TEST_F(WatchedTake, AStartDeletesWhatTheSavedListHoldsAndTakesWhatNeverReachedIt)
{
    const std::string a = Mm() + "a.plt";
    const auto saveList = [&](bool withA) {
        PageList pages;
        pages.push_back(Job(Manual));
        pages.back()->m_strFileName = u"/elsewhere/other.plt";
        if (withA) {
            pages.push_back(Job(Auto));
            pages.back()->m_strFileName = FromUtf8(a);
            pages.back()->m_time = 1000000000;
        }
        ASSERT_EQ(SaveTaskFile(FromUtf8(LastTask()), pages), TaskFileStatus::Ok);
    };
    const auto entry = [&](bool kept, std::optional<FileStamp> listBefore) {
        TakenSource s;
        s.kept = kept;
        s.path = a;
        s.stamp = *StampOfPath(a);
        s.jobTime = 1000000000;
        s.jobName = a;
        s.listBefore = listBefore;
        return s;
    };
    const struct Case {
        const char* what;
        std::function<void()> lastRun;  // leaves a.plt, the list and the record as a kill would
        std::vector<std::string> listed;
        bool fileStays;
        size_t recordAfter;
    } cases[] = {
        {"killed between the list's save and the delete",
         [&] {
             saveList(false);
             const auto before = StampOfPath(LastTask());
             saveList(true);
             ASSERT_EQ(WriteTakenSources(Record(), {entry(false, before)}), 0);
         },
         {"other.plt", "a.plt"}, false, 0},
        {"killed between the record and the list's save",
         [&] {
             saveList(false);
             ASSERT_EQ(WriteTakenSources(Record(), {entry(false, StampOfPath(LastTask()))}), 0);
         },
         {"other.plt", "a.plt"}, false, 0},
        {"a kept file of an earlier run, its job long done",
         [&] {
             saveList(false);
             ASSERT_EQ(WriteTakenSources(Record(), {entry(true, std::nullopt)}), 0);
         },
         {"other.plt"}, true, 1},
        {"a kept file written again since",
         [&] {
             saveList(false);
             TakenSource s = entry(true, std::nullopt);
             s.stamp.mtimeNs -= 1;
             ASSERT_EQ(WriteTakenSources(Record(), {s}), 0);
         },
         {"other.plt", "a.plt"}, false, 0},
        {"a damaged record",
         [&] {
             saveList(false);
             std::ofstream(Record()) << "orlat-taken-sources 1\npending 1 2\n";
         },
         {"other.plt", "a.plt"}, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Put("a.plt", 400);
        c.lastRun();
        Told seen;
        {
            CJobService next;
            next.SetObserver(&seen);
            next.Scanner().nowNs = [this] { return clock; };
            next.Begin();
            Polls(next, 6);
            next.KeepNow();
            EXPECT_EQ(NamesOnDisk(), c.listed);
            EXPECT_EQ(next.Doc().m_pages.size(), c.listed.size());
        }
        EXPECT_EQ(fs::exists(a), c.fileStays);
        EXPECT_EQ(RecordOnDisk().size(), c.recordAfter);
        EXPECT_EQ(seen.notes.empty(), std::string(c.what) != "a damaged record") << seen.LastNote();
        fs::remove(a);
        fs::remove(LastTask());
        fs::remove(Record());
    }
}

TEST_F(WatchedTake, AFileThatCannotBeDeletedIsTakenOnceOverThreeRuns)
{
    Put("a.plt", 400);
    for (int run = 1; run <= 3; ++run) {
        SCOPED_TRACE(run);
        Told seen;
        CJobService s;
        s.SetObserver(&seen);
        s.Scanner().nowNs = [this] { return clock; };
        s.Scanner().removeFile = [](const std::string&) { return false; };  // a share we may only read
        s.Begin();
        Polls(s, 9);
        EXPECT_EQ(s.Doc().m_pages.size(), 1u);
        EXPECT_EQ(NamesOnDisk(), (std::vector<std::string>{"a.plt"}));
        const std::vector<TakenSource> record = RecordOnDisk();
        ASSERT_EQ(record.size(), 1u);
        EXPECT_TRUE(record[0].kept);
        // Said when it could not be deleted, not at every start.
        EXPECT_EQ(seen.notes.size(), run == 1 ? 1u : 0u);
    }
    // Written anew under its name: a new job.
    Put("a.plt", 800);
    const struct utimbuf later {1000000100, 1000000100};
    ::utime((Mm() + "a.plt").c_str(), &later);
    CJobService s;
    s.Scanner().nowNs = [this] { return clock; };
    s.Begin();
    Polls(s, 6);
    EXPECT_EQ(NamesOnDisk(), (std::vector<std::string>{"a.plt", "a.plt"}));
    EXPECT_FALSE(fs::exists(Mm() + "a.plt"));
    EXPECT_TRUE(RecordOnDisk().empty());
}

TEST_F(WatchedTake, WhileTheListCannotBeSavedNoFileIsTakenAndTheStatusBarSaysWhyUntilItCan)
{
    // Root honours the folder's permissions only without the overrides.
    testsupport::DroppedCaps asUser({CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER});
    if (::geteuid() == 0 && !asUser.ok()) GTEST_SKIP() << "cannot give up the permission overrides";
    const std::string folder = program.Path();
    const auto editList = [&](const char16_t* name) {
        doc.m_pages.push_back(Job(Manual));
        doc.m_pages.back()->m_strFileName = name;
        service.ListEdited();
        service.Keeper().Flush();  // the writer's failure is known once it has tried
    };
    const struct Case {
        const char* what;
        int error;
        std::function<void()> block, unblock;
        std::vector<std::string> listedAfter;
    } cases[] = {
        // Nothing to save: the record's write is what fails.
        {"a read-only folder, an empty list", EACCES, [&] { ::chmod(folder.c_str(), 0555); },
         [&] { ::chmod(folder.c_str(), 0755); }, {"a.plt"}},
        // The list changes while the folder is read-only: its save fails first.
        {"a read-only folder, a list whose save failed", EACCES,
         [&] {
             ::chmod(folder.c_str(), 0555);
             editList(u"/elsewhere/edited.plt");
         },
         [&] { ::chmod(folder.c_str(), 0755); }, {"a.plt", "edited.plt", "a.plt"}},
        // The record could be written, the list not: still none taken.
        {"a folder in the list's place", EISDIR,
         [&] {
             fs::remove(LastTask());
             fs::create_directory(LastTask());
             editList(u"/elsewhere/second.plt");
         },
         [&] { fs::remove(LastTask()); }, {"a.plt", "edited.plt", "a.plt", "second.plt", "a.plt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string why = std::strerror(c.error);
        told.notes.clear();
        c.block();
        ASSERT_TRUE(service.Keeper().Failing() || doc.m_pages.empty());
        const size_t jobs = doc.m_pages.size();
        Put("a.plt", 400);
        Polls(service, 6);
        EXPECT_TRUE(fs::exists(Mm() + "a.plt")) << "taken while the list cannot be saved";
        EXPECT_EQ(doc.m_pages.size(), jobs);
        EXPECT_EQ(Notes(why), 1) << told.LastNote();
        EXPECT_NE(told.LastNote().find(folder), std::string::npos) << told.LastNote();
        // Said again while it lasts, once nothing else has been said for a while.
        Polls(service, 25);
        EXPECT_GE(Notes(why), 2);
        EXPECT_TRUE(fs::exists(Mm() + "a.plt"));

        c.unblock();
        Polls(service, 12);
        EXPECT_FALSE(fs::exists(Mm() + "a.plt"));
        EXPECT_EQ(NamesOnDisk(), c.listedAfter);
        EXPECT_EQ(Notes("saved again"), 1) << told.LastNote();
        EXPECT_TRUE(RecordOnDisk().empty());
    }
}

TEST_F(WatchedTake, OneFolderForBothDataDirectoriesIsScannedOnceAtTheFirstOnesUnit)
{
    theSettings.DataDirMil = FromUtf8(Mm() + "./");
    for (const char* name : {"a.plt", "b.plt", "c.plt"}) Put(name, 1000);
    Polls(service, 12);
    ASSERT_EQ(doc.m_pages.size(), 3u);
    for (const auto& p : doc.m_pages) EXPECT_EQ(p->m_maxX - p->m_minX, 1000) << "scaled as mil";
    EXPECT_EQ(NamesOnDisk(), (std::vector<std::string>{"a.plt", "b.plt", "c.plt"}));
    EXPECT_EQ(Notes("same folder"), 1) << told.LastNote();
}
