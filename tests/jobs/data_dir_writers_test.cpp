// A watched folder's file taken while its writer (another account, a stalled copy, an append during the read) was not done, and then deleted; or one linked in never taken.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "tests/jobs/ScanFixture.h"

using namespace scanfix;

namespace {

constexpr int kLines = 3000;
constexpr int kHalf = 1548;

class Writers : public ScanTest {
public:
    using ScanTest::Append;
};

}  // namespace

TEST_F(Writers, AnotherAccountsStalledCopyWaitsForItsCloseAndFilesAfterItCome)
{
    EXPECT_EQ(Scan().kind, ScanKind::Nothing);  // the folder is watched from here on
    const int fd = Create("a.plt");
    ASSERT_GE(fd, 0);
    OfAnotherAccount(fd);
    Append(fd, Marker(kHalf));
    {
        // The writer's file offers no lease: only the folder's notifications see it.
        const int probe = ::open(dir.File("a.plt").c_str(), O_RDONLY);
        EXPECT_EQ(ProbeWriters(probe), LeaseSays::Unknown);
        ::close(probe);
    }
    Put("b.plt", Square(400));
    // The copy stalls far longer than any settle time: b comes, a stays.
    ScanOutcome o = ScanFor(60 * kSecond);
    EXPECT_EQ(Name(o), "b.plt");
    EXPECT_EQ(ScanFor(60 * kSecond).kind, ScanKind::Nothing);
    EXPECT_TRUE(dir.Exists("a.plt"));

    Append(fd, Lines(kHalf, kLines - kHalf));
    ::close(fd);
    o = Scan();
    ASSERT_EQ(o.kind, ScanKind::Imported);
    EXPECT_EQ(Name(o), "a.plt");
    EXPECT_EQ(o.page->m_curves.size(), static_cast<size_t>(kLines));
    EXPECT_FALSE(dir.Exists("a.plt"));
}

TEST_F(Writers, WhereNoWriterCanBeSeenAFileIsTakenOnlyAfterTenSecondsUnchanged)
{
    struct Case {
        const char* what;
        bool notifications;
        bool local;
        int leaseRefusal;  // 0: granted
    };
    const Case cases[] = {
        {"another account's file, no inotify", false, true, EACCES},
        {"a share with a remote writer", false, false, EINVAL},
        // A share grants a lease only for this machine's writers.
        {"a share that grants the lease", true, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CDataDirScanner s;
        s.nowNs = [this] { return clock; };
        s.notifications = c.notifications;
        s.localFolder = [&c](const std::string&) { return c.local; };
        static int refusal;
        refusal = c.leaseRefusal;
        g_leaseProbe = [](int) { return refusal; };
        const auto scan = [&] {
            clock += 16 * kSecond / 10;
            return Handed(s, s.ScanOnce(FromUtf8(dir.Path()), false));
        };
        scan();
        // Written in two halves 8 s apart, by a writer nothing here sees.
        Put("a.plt", Marker(kHalf));
        for (int64_t t = 0; t < 8 * kSecond; t += 16 * kSecond / 10) ASSERT_EQ(scan().kind, ScanKind::Nothing);
        Append("a.plt", Lines(kHalf, kLines - kHalf));
        // Changed: ten more seconds of looks.
        const int64_t changed = clock;
        ScanOutcome o;
        while (o.kind == ScanKind::Nothing && clock - changed < 20 * kSecond) o = scan();
        ASSERT_EQ(o.kind, ScanKind::Imported);
        EXPECT_GE(clock - changed, CReadyTest::kSettleNs);
        EXPECT_EQ(o.page->m_curves.size(), static_cast<size_t>(kLines));
    }
}

TEST_F(Writers, WithoutInotifyAGrantedLeaseOnALocalFileIsEnough)
{
    scanner.notifications = false;
    Put("a.plt", Square(400));
    EXPECT_EQ(Scan().kind, ScanKind::Imported);
}

TEST_F(Writers, AFileChangedWhileItWasReadIsNeitherTakenNorDeleted)
{
    struct Case {
        const char* what;
        bool notifications;
        std::function<void(const TempDir&)> change;
    };
    const auto append = [](const TempDir& d) {
        const int fd = ::open(d.File("a.plt").c_str(), O_WRONLY | O_APPEND);
        Writers::Append(fd, Lines(kHalf, kLines - kHalf));
        ::close(fd);
    };
    const Case cases[] = {
        {"appended", true, append},
        {"appended, no inotify", false, append},
        {"replaced by rename", true,
         [](const TempDir& d) {
             d.Write("new.tmp", Marker(kLines));
             std::filesystem::rename(d.File("new.tmp"), d.File("a.plt"));
         }},
        {"rewritten in place, same size", false,
         [](const TempDir& d) {
             const int fd = ::open(d.File("a.plt").c_str(), O_WRONLY);
             Writers::Append(fd, "IN;SP2;");
             ::close(fd);
             const struct timespec later[2] = {{0, UTIME_OMIT}, {2000000000, 0}};
             ::utimensat(AT_FDCWD, d.File("a.plt").c_str(), later, 0);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CDataDirScanner s;
        s.nowNs = [this] { return clock; };
        s.notifications = c.notifications;
        int reads = 0;
        s.readFile = [&](const std::string& fsPath, const std::u16string& shown, bool mil) {
            PlotReadResult r = ReadPlotFile(shown, mil, true, fsPath);
            if (++reads == 1) c.change(dir);  // between the read and the check
            return r;
        };
        Put("a.plt", Marker(kHalf));
        ScanOutcome o;
        while (o.kind == ScanKind::Nothing && clock < 1000 * kSecond + 60 * kSecond) {
            clock += 16 * kSecond / 10;
            o = Handed(s, s.ScanOnce(FromUtf8(dir.Path()), false));
            if (reads == 1 && o.kind == ScanKind::Nothing) {
                EXPECT_TRUE(dir.Exists("a.plt"));
            }
        }
        ASSERT_EQ(o.kind, ScanKind::Imported);
        EXPECT_EQ(reads, 2);  // read again, as it is now
        EXPECT_FALSE(dir.Exists("a.plt"));
        clock = 1000 * kSecond;
    }
}

TEST_F(Writers, ALinkMadeIntoTheFolderIsTakenOnceSettledAndANewEmptyFileWaitsForItsWriter)
{
    EXPECT_EQ(Scan().kind, ScanKind::Nothing);
    // A link to another account's whole marker: created, never written here.
    const std::string outside = program.File("outside.plt");
    int fd = ::open(outside.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    Append(fd, Marker(kLines));
    OfAnotherAccount(fd);
    ::close(fd);
    ASSERT_EQ(::symlink(outside.c_str(), dir.File("link.plt").c_str()), 0);
    // Another account's copy that has created its file and not begun.
    fd = Create("new.plt");
    ASSERT_GE(fd, 0);
    if (::geteuid() == 0) {
        ASSERT_EQ(::fchown(fd, 65534, 65534), 0);
    }

    const int64_t linked = clock;
    ScanOutcome o = ScanFor(60 * kSecond);
    ASSERT_EQ(o.kind, ScanKind::Imported);
    EXPECT_EQ(Name(o), "link.plt");
    EXPECT_GE(clock - linked, CReadyTest::kSettleNs);
    EXPECT_EQ(o.page->m_curves.size(), static_cast<size_t>(kLines));
    EXPECT_EQ(ScanFor(60 * kSecond).kind, ScanKind::Nothing);
    EXPECT_TRUE(dir.Exists("new.plt"));

    Append(fd, Marker(kLines));
    ::close(fd);
    o = Scan();
    ASSERT_EQ(o.kind, ScanKind::Imported);
    EXPECT_EQ(Name(o), "new.plt");
    EXPECT_EQ(o.page->m_curves.size(), static_cast<size_t>(kLines));
}
