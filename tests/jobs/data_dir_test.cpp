// Guards: watched files taken out of order, before they are ready, deleted before their list is saved, or taken twice when they cannot be deleted.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "jobs/DataDirScan.h"
#include "tests/jobs/ScanFixture.h"

using namespace appfix;

namespace {

// The scanner on the real clock.
class DataDir : public scanfix::FolderScanTest {
protected:
    ScanOutcome Scan(bool mil = false) { return Handed(scanner, scanner.ScanOnce(FromUtf8(dir.Path()), mil), &stuck); }
    std::vector<std::u16string> stuck;
};

}  // namespace

TEST_F(DataDir, OneFilePerScanInNameOrderWithoutCase)
{
    Put("b.plt", Square(400));
    Put("A.plt", Square(800));
    Put("c.PLT", Square(1200));
    Put(".hidden.plt", Square(400));
    ::mkdir(dir.File("sub.plt").c_str(), 0777);
    std::vector<std::string> order;
    for (int i = 0; i < 4; ++i) {
        ScanOutcome o = Scan();
        if (o.kind == ScanKind::Nothing) break;
        ASSERT_EQ(o.kind, ScanKind::Imported);
        ASSERT_TRUE(o.page);
        EXPECT_EQ(o.page->m_state, JobState::Auto);
        order.push_back(Name(o));
    }
    EXPECT_EQ(order, (std::vector<std::string>{"A.plt", "b.plt", "c.PLT"}));
    EXPECT_FALSE(dir.Exists("A.plt"));
    EXPECT_TRUE(dir.Exists(".hidden.plt"));
}

TEST_F(DataDir, DxfByNameAnyCaseAndBakAsHpgl)
{
    Put("A.DXF", "not a drawing at all\n");
    Put("a.dxf.bak", Square(400));
    ScanOutcome first = Scan();
    EXPECT_EQ(Name(first), "A.DXF");
    EXPECT_EQ(first.kind, ScanKind::Rejected);
    EXPECT_TRUE(dir.Exists("Rejected/A.DXF"));
    EXPECT_FALSE(first.message.empty());
    ScanOutcome second = Scan();
    EXPECT_EQ(Name(second), "a.dxf.bak");
    EXPECT_EQ(second.kind, ScanKind::Imported);
    EXPECT_EQ(second.page->m_curves.size(), 1u);
    EXPECT_EQ(Scan().kind, ScanKind::Nothing);
}

TEST_F(DataDir, FileHeldOpenLetsTheNextGoAndStays)
{
    Put("a.plt", Square(400));
    Put("b.plt", Square(400));
    Put("c.dxf", "0\nEOF\n");
    // A writer still copying a.plt and c.dxf in.
    const int fd = ::open(dir.File("a.plt").c_str(), O_WRONLY | O_APPEND);
    const int fdx = ::open(dir.File("c.dxf").c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(fd, 0);
    ScanOutcome o = Scan();
    EXPECT_EQ(Name(o), "b.plt");
    EXPECT_EQ(Scan().kind, ScanKind::Nothing);  // both still held
    EXPECT_TRUE(dir.Exists("a.plt"));
    EXPECT_TRUE(dir.Exists("c.dxf"));
    ::close(fd);  // the writer is done: the next scan takes it
    EXPECT_EQ(Name(Scan()), "a.plt");
    ::close(fdx);
    EXPECT_EQ(Name(Scan()), "c.dxf");
}

TEST_F(DataDir, BusyFileWithoutNotificationIsTriedAgainInTurn)
{
    // A writer holding the file, on a scan without notifications: the file
    // is tried again a few scans later.
    Put("a.plt", Square(400));
    const int fd = ::open(dir.File("a.plt").c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(Scan().kind, ScanKind::Nothing);
    ::close(fd);
    int scans = 0;
    ScanOutcome o;
    while (o.kind == ScanKind::Nothing && scans < 10) {
        o = Scan();
        ++scans;
    }
    EXPECT_EQ(o.kind, ScanKind::Imported);
    EXPECT_LE(scans, static_cast<int>(CDataDirScanner::kRetryAfterScans));
}

TEST_F(DataDir, FifoAndUnreadableArePassedOver)
{
    ASSERT_EQ(::mkfifo(dir.File("a.plt").c_str(), 0666), 0);
    Put("b.plt", Square(400));
    if (::geteuid() != 0) {
        Put("a2.plt", Square(400));
        ::chmod(dir.File("a2.plt").c_str(), 0);
    }
    EXPECT_EQ(Name(Scan()), "b.plt");  // no hang on the FIFO
    EXPECT_EQ(Scan().kind, ScanKind::Nothing);
    EXPECT_TRUE(dir.Exists("a.plt"));
}

TEST_F(DataDir, RefusedFilesMoveToRejected)
{
    Put("a.plt", "IN;");                      // shorter than 6 bytes
    Put("b.plt", "IN;DF1;PU0,0;PD400,0;");    // a number after DF
    Put("c.dxf", "0\nSECTION\n2\nENTITIES\n0\nENDSEC\n0\nEOF\n");  // no curves
    for (const char* name : {"a.plt", "b.plt", "c.dxf"}) {
        ScanOutcome o = Scan();
        EXPECT_EQ(Name(o), name);
        EXPECT_EQ(o.kind, ScanKind::Rejected) << name;
        EXPECT_FALSE(o.page);
        EXPECT_TRUE(dir.Exists(std::string("Rejected/") + name)) << name;
    }
    EXPECT_EQ(Scan().kind, ScanKind::Nothing);
}

TEST_F(DataDir, HpglWithoutDrawingGivesAnEmptyJob)
{
    Put("a.plt", "IN;SP1;PU;");
    ScanOutcome o = Scan();
    ASSERT_EQ(o.kind, ScanKind::Imported);
    EXPECT_TRUE(o.page->m_curves.empty());
    EXPECT_FALSE(dir.Exists("a.plt"));
}

TEST_F(DataDir, UndeletableFileIsNotTakenAgainWhileUnchanged)
{
    scanner.removeFile = [](const std::string&) { return false; };
    Put("a.plt", Square(400));
    ScanOutcome o = Scan();
    EXPECT_EQ(o.kind, ScanKind::Imported);
    EXPECT_EQ(stuck, (std::vector<std::u16string>{u"a.plt"}));
    ASSERT_EQ(scanner.TakenRecord().size(), 1u);
    EXPECT_TRUE(scanner.TakenRecord()[0].kept);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Scan().kind, ScanKind::Nothing);
    // A new file under the same name is a new job.
    dir.Write("a.plt", Square(800));
    const struct utimbuf later {1000000100, 1000000100};
    ::utime(dir.File("a.plt").c_str(), &later);
    EXPECT_EQ(Scan().kind, ScanKind::Imported);
}

TEST_F(DataDir, MilFolderScalesBy1016)
{
    Put("a.plt", Square(1000));
    ScanOutcome mil = Scan(true);
    ASSERT_TRUE(mil.page);
    EXPECT_EQ(mil.page->m_maxX - mil.page->m_minX, 1016);
    Put("b.plt", Square(1000));
    ScanOutcome mm = Scan(false);
    ASSERT_TRUE(mm.page);
    EXPECT_EQ(mm.page->m_maxX - mm.page->m_minX, 1000);
}

TEST_F(DataDir, AnImportedFileStaysUntilItsListIsOnDiskAndIsNotTakenTwiceMeanwhile)
{
    Put("a.plt", Square(400));
    Put("b.plt", Square(400));
    ScanOutcome a = scanner.ScanOnce(FromUtf8(dir.Path()), false);
    ASSERT_EQ(a.kind, ScanKind::Imported);
    EXPECT_TRUE(dir.Exists("a.plt")) << "deleted before its list was saved";
    EXPECT_EQ(a.source.path, dir.File("a.plt"));
    EXPECT_EQ(a.source.jobName, ToUtf8(a.page->m_strFileName));
    // Held without a ticket, then with one not yet on disk: it stays, and
    // the next scan takes the file after it.
    scanner.Hold(a.source);
    KeepTicket durable = 0;
    const auto upTo = [&](KeepTicket t) { return t <= durable; };
    EXPECT_TRUE(scanner.RemoveDurable(upTo).empty());
    scanner.SetTicket(a.source.path, 2);
    durable = 1;
    scanner.RemoveDurable(upTo);
    EXPECT_TRUE(dir.Exists("a.plt"));
    ScanOutcome b = scanner.ScanOnce(FromUtf8(dir.Path()), false);
    EXPECT_EQ(Name(b), "b.plt");
    scanner.Hold(b.source, 3);
    EXPECT_EQ(scanner.ScanOnce(FromUtf8(dir.Path()), false).kind, ScanKind::Nothing);
    // Its list on disk: deleted, forgotten; b's list not yet.
    EXPECT_TRUE(scanner.TakeRecordChanged());
    durable = 2;
    EXPECT_TRUE(scanner.RemoveDurable(upTo).empty());
    EXPECT_FALSE(dir.Exists("a.plt"));
    EXPECT_TRUE(dir.Exists("b.plt"));
    EXPECT_TRUE(scanner.TakeRecordChanged());
    ASSERT_EQ(scanner.TakenRecord().size(), 1u);
    EXPECT_EQ(scanner.TakenRecord()[0].path, dir.File("b.plt"));
}

TEST_F(DataDir, AHeldFileReplacedBeforeItsListIsOnDiskIsNotDeletedButTakenAsNew)
{
    Put("a.plt", Square(400));
    ScanOutcome first = scanner.ScanOnce(FromUtf8(dir.Path()), false);
    ASSERT_EQ(first.kind, ScanKind::Imported);
    scanner.Hold(first.source, 1);
    dir.Write("a.plt", Square(800));  // the CAD program writes it again
    const struct utimbuf later {1000000100, 1000000100};
    ::utime(dir.File("a.plt").c_str(), &later);
    EXPECT_TRUE(scanner.RemoveDurable([](KeepTicket) { return true; }).empty());
    EXPECT_TRUE(dir.Exists("a.plt")) << "a file the list does not hold was deleted";
    ScanOutcome second = scanner.ScanOnce(FromUtf8(dir.Path()), false);
    ASSERT_EQ(second.kind, ScanKind::Imported);
    EXPECT_EQ(second.page->m_maxX - second.page->m_minX, 800);
    // A held file deleted by someone else is forgotten.
    scanner.Hold(second.source);
    std::filesystem::remove(dir.File("a.plt"));
    EXPECT_EQ(scanner.ScanOnce(FromUtf8(dir.Path()), false).kind, ScanKind::Nothing);
    EXPECT_TRUE(scanner.TakenRecord().empty());
}
