// Guards: texts that become commands, parallel imports that mix their labels, a FIFO that blocks, files read while still written or held back where there are no leases, huge or empty drawings taken without a message.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "HpglFixture.h"
#include "tests/support/TempFolder.h"
#include "import/DxfFileImport.h"
#include "import/DxfImport.h"
#include "import/DxfReader.h"
#include "import/FileBusy.h"
#include "import/HpglFile.h"
#include "model/Page.h"
#include "model/Settings.h"
#include "model/Text.h"
#include "dxf_files.h"

using namespace dxftest;

namespace {

class UntrustedFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        fixture::InstallFixtureFonts();
        theSettings.Set(Slot::DxfUnit, 40);
        theSettings.SetPath(Slot::ProgramDir, dir.Dir());
    }
    void TearDown() override { g_leaseProbe = ProbeReadLease; }

    // Whether this file system grants read leases at all.
    bool LeasesWork()
    {
        const std::string p = (dir.path() / "probe").string();
        fixture::WriteText(p, "probe");
        FILE* f = std::fopen(p.c_str(), "rb");
        const int refused = ProbeReadLease(fileno(f));
        std::fclose(f);
        std::remove(p.c_str());
        return refused == 0;
    }

    testsupport::TempFolder dir;
};

const std::string kLabelled = Section("ENTITIES", Lines("0|LINE|10|0|20|0|11|10|21|0|0|TEXT|10|1|20|1|1|AB")) + Eof();

int ReadHpgl(const std::u16string& path, BusyTest test = BusyTest::Writers)
{
    CHpglFile r;
    r.m_strPath = path;
    r.m_busyTest = test;
    return r.ReadPltFile();
}

TEST_F(UntrustedFiles, DxfTextCanOnlyEverBeALabel)
{
    // The text holds the label terminator followed by a cut command that would
    // draw a 2.5 m knife line, and a DT that would change the terminator.
    const std::string text = "abc\x03SP2;PU0,0;PD100000,0,100000,100000;DT\x01;LB";
    DxfText t;
    t.text = text;
    const std::string commands = DxfLabelCommands(t, 40);
    EXPECT_EQ(commands.find('\x03'), commands.size() - 1) << "one terminator, the last byte";
    EXPECT_EQ(commands.find('\x01'), std::string::npos);

    CDxfDrawing dxf;
    COnePage page;
    ASSERT_EQ(ImportDxfIntoPage(dxf, FromUtf8(ORLAT_TEST_DATA "/dxf/text_terminator.dxf"), page),
              DxfImportResult::Ok);
    ASSERT_GT(page.m_curves.size(), 1u);  // the line and the label's strokes
    for (const auto& c : page.m_curves) {
        EXPECT_EQ(c->m_kind, CurveKind::Plot);
        for (const PlotPoint& p : c->m_points) EXPECT_LT(p.x, 20000);
    }
}

TEST_F(UntrustedFiles, ParallelImportsEachKeepTheirLabels)
{
    const std::u16string path = dir.Write("marker.dxf", kLabelled);
    CDxfDrawing one;
    COnePage alone;
    ASSERT_EQ(ImportDxfIntoPage(one, path, alone), DxfImportResult::Ok);
    ASSERT_GT(alone.m_curves.size(), 1u);

    for (int pair = 0; pair < 10; ++pair) {
        int results[2] = {-9, -9};
        size_t curves[2] = {0, 0};
        std::vector<std::thread> threads;
        for (int k = 0; k < 2; ++k)
            threads.emplace_back([&, k] {
                CDxfDrawing dxf;
                COnePage page;
                results[k] = ImportDxfIntoPage(dxf, path, page);
                curves[k] = page.m_curves.size();
            });
        for (auto& t : threads) t.join();
        for (int k = 0; k < 2; ++k) {
            EXPECT_EQ(results[k], DxfImportResult::Ok) << pair;
            EXPECT_EQ(curves[k], alone.m_curves.size()) << pair;
        }
    }
    // Every import removed its own label file; nothing else was touched.
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().filename().string().rfind("dxfChar", 0), std::string::npos) << entry.path();
}

TEST_F(UntrustedFiles, AFifoIsRefusedWithoutBlocking)
{
    const std::string fifo = (dir.path() / "pipe.plt").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(ReadHpgl(FromUtf8(fifo)), 1);
    CDxfDrawing dxf;
    COnePage page;
    EXPECT_EQ(ImportDxfIntoPage(dxf, FromUtf8(fifo), page), DxfImportResult::LoadFailed);
    EXPECT_TRUE(page.m_curves.empty());
    // The reader library on its own refuses it too.
    EXPECT_EQ(DxfOpenReader(FromUtf8(fifo)), nullptr);
    // A folder likewise.
    EXPECT_EQ(ReadHpgl(dir.Dir()), 1);
}

TEST_F(UntrustedFiles, AFileStillBeingWrittenIsBusyAndOneMerelyOpenIsNot)
{
    if (!LeasesWork()) GTEST_SKIP() << "no leases on this file system";
    const std::string plt = (dir.path() / "a.plt").string();
    fixture::WriteText(plt, "IN;PU0,0;PD100,100;");
    // A viewer holding it open for reading does not make it busy.
    FILE* viewer = std::fopen(plt.c_str(), "rb");
    EXPECT_EQ(ReadHpgl(FromUtf8(plt)), 0);
    std::fclose(viewer);

    // A DXF whose writer still holds it: a third of its lines is not a drawing.
    const std::u16string dxfPath = dir.Write("growing.dxf", kLabelled.substr(0, kLabelled.size() / 3));
    FILE* writer = std::fopen(ToUtf8(dxfPath).c_str(), "ab");
    ASSERT_TRUE(writer);
    CDxfDrawing dxf;
    COnePage page;
    EXPECT_EQ(ImportDxfIntoPage(dxf, dxfPath, page), DxfImportResult::Busy);
    EXPECT_TRUE(page.m_curves.empty());
    std::fputs(kLabelled.substr(kLabelled.size() / 3).c_str(), writer);
    std::fclose(writer);
    EXPECT_EQ(ImportDxfIntoPage(dxf, dxfPath, page), DxfImportResult::Ok);
    EXPECT_GT(page.m_curves.size(), 1u);
}

TEST_F(UntrustedFiles, WithoutLeasesFreshFilesImportAtOnce)
{
    g_leaseProbe = [](int) { return EINVAL; };  // NFS, FUSE
    // A DXF with labels just saved: the label file, written a moment ago, is
    // the program's own and never tested.
    const std::u16string dxfPath = dir.Write("fresh.dxf", kLabelled);
    CDxfDrawing dxf;
    COnePage page;
    EXPECT_EQ(ImportDxfIntoPage(dxf, dxfPath, page), DxfImportResult::Ok);
    EXPECT_GT(page.m_curves.size(), 1u);

    // An HP-GL file added by hand right after it was saved: read at the first try.
    const std::string plt = (dir.path() / "fresh.plt").string();
    fixture::WriteText(plt, "IN;PU0,0;PD100,100;");
    EXPECT_EQ(ReadHpgl(FromUtf8(plt)), 0);

    // A lease refused because someone writes the file is busy in any case.
    g_leaseProbe = [](int) { return EAGAIN; };
    EXPECT_EQ(ReadHpgl(FromUtf8(plt)), 1);
    EXPECT_EQ(ImportDxfIntoPage(dxf, dxfPath, page), DxfImportResult::Busy);
}

TEST_F(UntrustedFiles, HugeAndEmptyDrawingsAreRefusedWithAMessage)
{
    // A sparse file just over 256 MB: refused from its size, nothing read.
    const auto huge = dir.path() / "huge.dxf";
    fixture::WriteText(huge.string(), kLabelled);
    std::filesystem::resize_file(huge, static_cast<uintmax_t>(kDxfMaxFileSize) + 1);
    CDxfDrawing dxf;
    COnePage page;
    EXPECT_EQ(ImportDxfIntoPage(dxf, FromUtf8(huge.string()), page), DxfImportResult::FileTooLarge);
    EXPECT_FALSE(DxfImportMessageText(DxfImportResult::FileTooLarge, 1).empty());
    EXPECT_FALSE(DxfImportMessageText(DxfImportResult::FileTooLarge, 0).empty());

    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"no ENTITIES section", Section("HEADER", Lines("9|$ACADVER|1|AC1009")) + Eof()},
        {"nothing drawable", Section("ENTITIES", Lines("0|ARC|40|5|0|POINT")) + Eof()},
        {"empty file", ""},
    };
    for (const Case& k : cases) {
        COnePage empty;
        EXPECT_EQ(ImportDxfIntoPage(dxf, dir.Write("empty.dxf", k.bytes), empty), DxfImportResult::NoDrawing)
            << k.what;
        EXPECT_TRUE(empty.m_curves.empty()) << k.what;
    }
}

}  // namespace
