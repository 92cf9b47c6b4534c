// A watched folder's file that is never taken and nothing says so: a name that is not UTF-8, a file without read permission, one that runs out of memory ahead of the others.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "tests/jobs/ScanFixture.h"

using namespace scanfix;

namespace {

class Names : public ScanTest {};

// "测试" as a CAD workstation on a Chinese system writes it.
const std::string kGbkTest = "\xb2\xe2\xca\xd4";

}  // namespace

TEST_F(Names, AGbkNamedMarkerIsImportedAndShownDecoded)
{
    struct Case {
        std::string name;
        std::string bytes;
        int kind;
        std::u16string shown;
    };
    const std::string dxf = "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\n0\n20\n0\n11\n100\n21\n0\n0\nENDSEC\n0\nEOF\n";
    const Case cases[] = {
        {kGbkTest + ".plt", Square(400), ScanKind::Imported, u"测试.plt"},
        {kGbkTest + "2.DXF", dxf, ScanKind::Imported, u"测试2.DXF"},
        {kGbkTest + "3.plt", "IN;", ScanKind::Rejected, u"测试3.plt"},  // too short: put aside
        {"\xe6\xb5\x8b\xe8\xaf\x95" "4.plt", Square(400), ScanKind::Imported, u"测试4.plt"},  // UTF-8 stays UTF-8
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.shown));
        Put(c.name, c.bytes);
        ScanOutcome o = Scan();
        ASSERT_EQ(o.kind, c.kind) << ToUtf8(o.message);
        EXPECT_EQ(o.file, FromUtf8(dir.Path()) + c.shown);
        EXPECT_FALSE(dir.Exists(c.name));
        if (c.kind == ScanKind::Imported) {
            EXPECT_EQ(o.page->m_strFileName, o.file);
            EXPECT_EQ(o.page->m_curves.size(), 1u);
        } else {
            EXPECT_TRUE(dir.Exists(std::string(CDataDirScanner::kRejectedDir) + "/" + c.name));
            EXPECT_NE(o.message.find(c.shown), std::u16string::npos);
        }
    }
    EXPECT_EQ(Scan().kind, ScanKind::Nothing);
}

TEST_F(Names, AFileWithoutReadPermissionIsNamedOnceAndTakenWhenItCanBeRead)
{
    // Root reads anything: without the overrides it honours permissions.
    DroppedCaps asUser({CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH});
    if (::geteuid() == 0 && !asUser.ok()) GTEST_SKIP() << "cannot give up the permission overrides";
    Put("a.plt", Square(400));
    Put("b.plt", Square(800));
    ASSERT_EQ(::chmod(dir.File("a.plt").c_str(), 0), 0);
    ScanOutcome o = Scan();
    EXPECT_EQ(o.kind, ScanKind::Problem);
    EXPECT_EQ(Name(o), "a.plt");
    EXPECT_NE(o.message.find(u"a.plt"), std::u16string::npos);
    EXPECT_EQ(Name(Scan()), "b.plt");  // the files after it come
    for (int i = 0; i < 5; ++i) {
        o = Scan();
        EXPECT_EQ(o.kind, ScanKind::Nothing);
        EXPECT_TRUE(o.message.empty());
    }
    ASSERT_EQ(::chmod(dir.File("a.plt").c_str(), 0644), 0);
    o = Scan();
    EXPECT_EQ(o.kind, ScanKind::Imported);
    EXPECT_EQ(Name(o), "a.plt");
}

TEST_F(Names, AFileOutOfMemoryIsSetAsideAndTheFilesAfterItCome)
{
    bool memory = false;
    int tries = 0;
    scanner.readFile = [&](const std::string& fsPath, const std::u16string& shown, bool mil) {
        if (fsPath.ends_with("/a.plt") && !memory) {
            ++tries;
            PlotReadResult r;
            r.outcome = PlotRead::OutOfMemory;
            return r;
        }
        return ReadPlotFile(shown, mil, true, fsPath);
    };
    for (const char* name : {"a.plt", "b.plt", "c.plt"}) Put(name, Square(400));
    ScanOutcome o = Scan();
    EXPECT_EQ(o.kind, ScanKind::Problem);
    EXPECT_EQ(Name(o), "a.plt");
    EXPECT_FALSE(o.message.empty());
    EXPECT_EQ(Name(Scan()), "b.plt");
    EXPECT_EQ(Name(Scan()), "c.plt");
    // Tried again in turn, without a second message.
    for (uint64_t i = 0; i < CDataDirScanner::kRetryAfterScans; ++i) {
        o = Scan();
        EXPECT_TRUE(o.message.empty());
    }
    EXPECT_GE(tries, 2);
    EXPECT_TRUE(dir.Exists("a.plt"));
    memory = true;
    o = ScanFor(int64_t{CDataDirScanner::kRetryAfterScans + 1} * 2 * kSecond);
    EXPECT_EQ(o.kind, ScanKind::Imported);
    EXPECT_EQ(Name(o), "a.plt");
}
