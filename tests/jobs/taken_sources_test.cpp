// Guards the record of taken watched files: a name or number that does not come back as written, a damaged record read as a good one, a write that leaves half a record, and a start that deletes a file whose job is not on disk or takes one twice.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "jobs/TakenAtStart.h"
#include "jobs/TakenSourcesFile.h"
#include "tests/app/support/AppFixture.h"

using namespace appfix;
namespace fs = std::filesystem;

namespace {

TakenSource Pending(std::string path, std::string job)
{
    TakenSource s;
    s.path = std::move(path);
    s.stamp = FileStamp{2049, 131075, 4096, 1700000000123456789};
    s.jobTime = 1700000000;
    s.jobName = std::move(job);
    s.listBefore = FileStamp{2049, 99, 33000000, 1699999999000000001};
    return s;
}

const std::vector<TakenSource>& Sample()
{
    static const std::vector<TakenSource> sample = [] {
        std::vector<TakenSource> v;
        v.push_back(Pending("/data/PlotDirMm/a.plt", "/data/PlotDirMm/a.plt"));
        // Blanks, '%', a line break and GBK bytes in the name; no list before;
        // a file from before 1970; kept.
        TakenSource odd = Pending(std::string("/data/mm/50% off\n\xb2\xe2\xca\xd4.plt"), "/data/mm/50% off\n测试.plt");
        odd.kept = true;
        odd.listBefore.reset();
        odd.stamp.mtimeNs = -5;
        odd.jobTime = -1;
        v.push_back(odd);
        TakenSource zero = Pending("/z", "");
        zero.stamp = FileStamp{};
        zero.listBefore = FileStamp{};
        v.push_back(zero);
        return v;
    }();
    return sample;
}

}  // namespace

TEST(TakenSources, EveryFieldComesBackAsWritten)
{
    const std::string text = EncodeTakenSources(Sample());
    EXPECT_EQ(text.substr(0, text.find('\n')), "orlat-taken-sources 1");
    EXPECT_NE(text.find("pending 2049 131075 4096 1700000000123456789 1700000000 "
                        "2049:99:33000000:1699999999000000001 /data/PlotDirMm/a.plt /data/PlotDirMm/a.plt\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("/data/mm/50%25%20off%0A%B2%E2%CA%D4.plt"), std::string::npos) << text;
    const auto back = ParseTakenSources(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, Sample());
    const auto empty = ParseTakenSources(EncodeTakenSources({}));
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());
}

TEST(TakenSources, AnyDamageMakesTheWholeRecordDamaged)
{
    const std::string good = EncodeTakenSources({Pending("/d/a.plt", "/d/a.plt")});
    const std::string line = good.substr(good.find('\n') + 1);
    const std::string head = "orlat-taken-sources 1\n";
    const struct {
        const char* what;
        std::string text;
    } cases[] = {
        {"empty", ""},
        {"cut short", good.substr(0, good.size() - 1)},
        {"cut in a line", good.substr(0, good.size() - 9)},
        {"another version", "orlat-taken-sources 2\n" + line},
        {"no header", line},
        {"unknown kind", head + "taken" + line.substr(line.find(' '))},
        {"a field missing", head + "pending 1 2 3 4 5 - /d/a.plt\n"},
        {"a field too many", head + "pending 1 2 3 4 5 - /d/a.plt /d/a.plt x\n"},
        {"two blanks", head + "pending 1 2 3 4 5  - /d/a.plt /d/a.plt\n"},
        {"a letter in a number", head + "pending 1 2x 3 4 5 - /d/a.plt /d/a.plt\n"},
        {"a plus sign", head + "pending +1 2 3 4 5 - /d/a.plt /d/a.plt\n"},
        {"a leading zero", head + "pending 01 2 3 4 5 - /d/a.plt /d/a.plt\n"},
        {"a negative inode", head + "pending 1 -2 3 4 5 - /d/a.plt /d/a.plt\n"},
        {"a negative size", head + "pending 1 2 -3 4 5 - /d/a.plt /d/a.plt\n"},
        {"past 64 bits", head + "pending 18446744073709551616 2 3 4 5 - /d/a.plt /d/a.plt\n"},
        {"a short list stamp", head + "pending 1 2 3 4 5 1:2:3 /d/a.plt /d/a.plt\n"},
        {"a relative path", head + "pending 1 2 3 4 5 - d/a.plt /d/a.plt\n"},
        {"a bad escape", head + "pending 1 2 3 4 5 - /d/a%2.plt /d/a.plt\n"},
        {"an escape cut short", head + "pending 1 2 3 4 5 - /d/a.plt /d/a%2\n"},
        {"a lower-case escape", head + "pending 1 2 3 4 5 - /d/a%0a.plt /d/a.plt\n"},
        {"an escaped plain letter", head + "pending 1 2 3 4 5 - /d/%61.plt /d/a.plt\n"},
        {"an escaped NUL", head + "pending 1 2 3 4 5 - /d/a%00.plt /d/a.plt\n"},
        {"a raw byte above '~'", head + "pending 1 2 3 4 5 - /d/\xb2.plt /d/a.plt\n"},
        {"a CR line end", head + "pending 1 2 3 4 5 - /d/a.plt /d/a.plt\r\n"},
        {"an empty line", good + "\n"},
        {"a path twice", good + line},
        {"zero bytes", std::string(64, '\0')},
    };
    for (const auto& c : cases) EXPECT_FALSE(ParseTakenSources(c.text)) << c.what;
}

TEST(TakenSources, TheFileIsWrittenWholeAndReadStrictly)
{
    TempDir dir;
    const std::string path = dir.File(kTakenSourcesName);
    EXPECT_EQ(ReadTakenSources(path).status, TakenRead::Missing);
    ASSERT_EQ(WriteTakenSources(path, Sample()), 0);
    TakenRead r = ReadTakenSources(path);
    ASSERT_EQ(r.status, TakenRead::Ok);
    EXPECT_EQ(r.sources, Sample());
    // Empty is still a file: the write proves the folder takes one.
    ASSERT_EQ(WriteTakenSources(path, {}), 0);
    r = ReadTakenSources(path);
    EXPECT_EQ(r.status, TakenRead::Ok);
    EXPECT_TRUE(r.sources.empty());
    for (const auto& entry : fs::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().filename(), kTakenSourcesName) << "a temporary file was left";

    dir.Write(kTakenSourcesName, EncodeTakenSources(Sample()) + "x");
    EXPECT_EQ(ReadTakenSources(path).status, TakenRead::Damaged);
    {
        std::ofstream big(path, std::ios::trunc);
        big << "orlat-taken-sources 1\n";
        big.seekp(static_cast<std::streamoff>(kTakenSourcesMaxBytes) + 1);
        big << '\n';
    }
    EXPECT_EQ(ReadTakenSources(path).status, TakenRead::Damaged);
    fs::remove(path);
    fs::create_directory(path);
    r = ReadTakenSources(path);
    EXPECT_EQ(r.status, TakenRead::Unreadable);
    EXPECT_EQ(r.error, EISDIR);
    EXPECT_NE(WriteTakenSources(path, Sample()), 0) << "a folder in the way is not replaced";
    fs::remove(path);

    // A write cut short by a kill leaves its temporary file; the next start removes it.
    dir.Write(std::string(kTakenSourcesName) + ".tmp4242_0", "orlat-taken");
    dir.Write("taken-sourcesX", "other");
    RemoveTakenTemporaries(path);
    EXPECT_FALSE(dir.Exists(std::string(kTakenSourcesName) + ".tmp4242_0"));
    EXPECT_TRUE(dir.Exists("taken-sourcesX"));
    EXPECT_EQ(WriteTakenSources(dir.File("no/such/folder/taken-sources"), {}), ENOENT);
}

TEST(TakenSources, TheStartDeletesOnlyWhatASavedListHoldsAndRemembersOnlyKeptFiles)
{
    const TakenSource pending = Pending("/d/a.plt", "/d/a.plt");
    TakenSource kept = pending;
    kept.kept = true;
    FileStamp changed = pending.stamp;
    changed.mtimeNs += 1;
    FileStamp otherInode = pending.stamp;
    otherInode.ino += 1;
    const std::optional<FileStamp> same = pending.stamp, gone;
    const struct {
        const char* what;
        const TakenSource& source;
        std::optional<FileStamp> now;
        bool rewritten, holds;
        TakenVerdict verdict;
    } cases[] = {
        {"killed between the save and the delete", pending, same, true, true, TakenVerdict::Delete},
        {"killed before the list was saved", pending, same, false, false, TakenVerdict::Forget},
        {"an equal older job, the list not saved since", pending, same, false, true, TakenVerdict::Forget},
        {"an older list saved since, without it", pending, same, true, false, TakenVerdict::Forget},
        {"deleted by the last run after all", pending, gone, true, true, TakenVerdict::Forget},
        {"written again since", pending, changed, true, true, TakenVerdict::Forget},
        {"another file under its name", pending, otherInode, true, true, TakenVerdict::Forget},
        {"kept, unchanged", kept, same, false, false, TakenVerdict::Remember},
        {"kept, unchanged, its job still listed", kept, same, true, true, TakenVerdict::Remember},
        {"kept, changed", kept, changed, true, true, TakenVerdict::Forget},
        {"kept, gone", kept, gone, false, false, TakenVerdict::Forget},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TakenAtStart(c.source, c.now, c.rewritten, c.holds), c.verdict) << c.what;

    PageList pages;
    pages.push_back(Job(JobState::Auto));
    pages.back()->m_strFileName = u"/d/测试.plt";
    pages.back()->m_time = 1700000000;
    TakenSource s = Pending("/d/x.plt", "/d/测试.plt");
    EXPECT_TRUE(ListHoldsJob(pages, s));
    s.jobTime += 1;
    EXPECT_FALSE(ListHoldsJob(pages, s)) << "another job of the same name";
    s.jobTime -= 1;
    s.jobName = "/d/other.plt";
    EXPECT_FALSE(ListHoldsJob(pages, s));
}
