// Guards the import's opening of a file: a name that is not UTF-8 never opened, and another account's file, whose lease is refused, counted as busy for ever or as free.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "HpglFixture.h"
#include "dxf_files.h"
#include "import/FileBusy.h"
#include "import/PlotImport.h"
#include "model/Page.h"
#include "model/Settings.h"
#include "model/Text.h"
#include "tests/support/DroppedCaps.h"
#include "tests/support/GlobalsGuard.h"
#include "tests/support/TempFolder.h"

using namespace dxftest;

namespace {

class FileOpening : public ::testing::Test {
protected:
    void SetUp() override
    {
        fixture::InstallFixtureFonts();
        theSettings.Set(Slot::DxfUnit, 40);
        theSettings.Set(Slot::PaperLenMm, 2000);
        theSettings.SetPath(Slot::ProgramDir, dir.Dir());
    }
    void TearDown() override { g_leaseProbe = ProbeReadLease; }
    testsupport::GlobalsGuard guard;
    testsupport::TempFolder dir;
};

}  // namespace

TEST_F(FileOpening, ANameInGbkIsOpenedByItsBytesAndTheJobNamedAsShown)
{
    const std::string gbk = "\xb2\xe2\xca\xd4";  // "测试"
    const std::string dxf = Section("ENTITIES", Lines("0|LINE|10|0|20|0|11|10|21|0|0|TEXT|10|1|20|1|1|AB")) + Eof();
    struct Case {
        std::string name;
        std::string bytes;
        std::u16string shown;
    };
    const Case cases[] = {
        {gbk + ".plt", "IN;SP1;PU0,0;PD400,0,400,400;", u"测试.plt"},
        {gbk + ".dxf", dxf, u"测试.dxf"},  // the label file too
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.shown));
        dir.Write(c.name, c.bytes);
        COnePage page;
        PlotImportOptions options;
        options.fsPath = dir.File(c.name);
        const std::u16string shown = dir.Dir() + c.shown;
        const PlotImportResult r = ImportPlotFile(shown, page, options);
        EXPECT_TRUE(r.read);
        EXPECT_EQ(r.code, 0);
        EXPECT_GE(page.m_curves.size(), 1u);
        EXPECT_EQ(page.m_strFileName, shown);
    }
}

TEST_F(FileOpening, ARefusedLeaseIsBusyOnlyForAWriter)
{
    struct Case {
        int refusal;
        LeaseSays says;
    };
    const Case cases[] = {
        {0, LeaseSays::NoWriter},      {EAGAIN, LeaseSays::Writer}, {EBUSY, LeaseSays::Writer},
        {EACCES, LeaseSays::Unknown},  // another account's file
        {EINVAL, LeaseSays::Unknown},  // NFS, FUSE
    };
    const std::u16string path = dir.Write("a.plt", "IN;SP1;PU0,0;PD400,0;");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.refusal);
        static int refusal;
        refusal = c.refusal;
        g_leaseProbe = [](int) { return refusal; };
        const int fd = ::open(ToUtf8(path).c_str(), O_RDONLY);
        EXPECT_EQ(ProbeWriters(fd), c.says);
        EXPECT_EQ(IsFileBusy(fd, BusyTest::Writers), c.says == LeaseSays::Writer);
        EXPECT_FALSE(IsFileBusy(fd, BusyTest::None));
        ::close(fd);
        // Only a writer keeps the file from the reader: nothing waits for
        // "unknown" here (a watched folder's scanner judges that).
        CHpglFile reader;
        reader.m_strPath = path;
        EXPECT_EQ(reader.ReadPltFile(), c.says == LeaseSays::Writer ? 1 : 0);
    }
}

TEST_F(FileOpening, AnotherAccountsFileBeingWrittenOffersNoLeaseAtAll)
{
    // The real refusal: root without CAP_LEASE, a file of "nobody".
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to give the file another owner";
    const std::string path = dir.File("a.plt");
    const int writer = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::fchown(writer, 65534, 65534), 0);
    const int reader = ::open(path.c_str(), O_RDONLY);
    {
        testsupport::DroppedCaps asUser({CAP_LEASE});
        if (!asUser.ok()) GTEST_SKIP() << "cannot give up CAP_LEASE";
        // Refused for the owner, not for the writer: the writer stays unseen.
        EXPECT_EQ(ProbeReadLease(reader), EACCES);
        EXPECT_EQ(ProbeWriters(reader), LeaseSays::Unknown);
    }
    // With the capability the writer shows.
    EXPECT_EQ(ProbeWriters(reader), LeaseSays::Writer);
    ::close(reader);
    ::close(writer);
}
