// Guards the job service's road without a window: a dropped file that is not
// listed, kept and shown; a job whose end is not counted, kept or told; a
// failure that leaves jobs restarting by themselves or says nothing.
#include <sys/stat.h>
#include <utime.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "link/LinkCommand.h"
#include "tests/jobs/ServiceFixture.h"

using namespace servicefix;
using namespace JobState;

TEST_F(ServiceTest, ADroppedFileIsListedKeptAndShownBeforeTheNextScan)
{
    const std::string source = ToUtf8(theSettings.DataDirMm) + "a.plt";
    {
        std::ofstream(source) << Square(400);
    }
    const struct utimbuf old {1000000000, 1000000000};
    ASSERT_EQ(::utime(source.c_str(), &old), 0);

    // Between two steps the writer has long written the list it was handed.
    for (int i = 0; i < 8 && std::filesystem::exists(source); ++i) {
        service.PollTick();
        service.Keeper().Flush();
    }
    ASSERT_EQ(doc.m_pages.size(), 1u);
    EXPECT_EQ(doc.m_pages[0]->m_state, Auto);
    EXPECT_FALSE(std::filesystem::exists(source));
    EXPECT_EQ(StatesOnDisk(), (std::vector<int32_t>{Auto}));
    EXPECT_EQ(told.Count("list 0"), 1);
    EXPECT_TRUE(told.notes.empty()) << told.LastNote();
}

TEST_F(ServiceTest, AJobOfTwoCopiesGoesToTheMachineTwiceAndEndsDoneOnDisk)
{
    StartMachine();
    doc.m_pages.push_back(SquareJob(Auto, 4000, u"/m/two.plt", 2));
    doc.m_pages.push_back(SquareJob(Manual, 4000, u"/m/waits.plt"));
    ASSERT_TRUE(RunUntil([&] { return doc.m_pages[0]->m_state == Done && g_pSendJobThread == nullptr; }));
    EXPECT_EQ(sim.JobsEnded(), 2);
    EXPECT_EQ(doc.m_pages[0]->m_copies, 0);
    EXPECT_EQ(doc.m_pages[1]->m_state, Manual);
    EXPECT_EQ(StatesOnDisk(), (std::vector<int32_t>{Done, Manual}));
    // Each start shows the job started, each end the list from the top.
    EXPECT_GE(told.Count("machine"), 2);
    EXPECT_EQ(told.Count("list 0"), 4);
    EXPECT_TRUE(told.notes.empty()) << told.LastNote();
}

TEST_F(ServiceTest, AJobTheMachineDropsGoesBackToManualWithTheWaitingJobsAndSaysWhich)
{
    StartMachine("drop-after-bands=1");
    doc.m_pages.push_back(SquareJob(Auto, 40000, u"/m/dropped.plt"));
    doc.m_pages.push_back(SquareJob(Auto, 4000, u"/m/next.plt"));
    ASSERT_TRUE(RunUntil([&] { return doc.m_pages[0]->m_state == Manual && g_pSendJobThread == nullptr; }));
    EXPECT_EQ(States(doc.m_pages), (std::vector<int32_t>{Manual, Manual}));
    EXPECT_EQ(StatesOnDisk(), (std::vector<int32_t>{Manual, Manual}));
    ASSERT_FALSE(told.notes.empty());
    const JobNote& note = told.notes.back();
    EXPECT_FALSE(note.box);
    EXPECT_GT(note.ms, 0) << "a note that never times out hides the cursor position for good";
    EXPECT_NE(told.LastNote().find("Job \"dropped.plt\" stopped"), std::string::npos) << told.LastNote();
}

TEST_F(ServiceTest, TheSendingThreadsMessageIsABoxAndNamesTheCause)
{
    doc.m_pages.push_back(SquareJob(Printing, 4000, u"/m/wide.plt"));
    WorkPage.m_strFileName = u"/m/wide.plt";
    service.Message("WidthExceeded", u"too wide");
    g_pSendJobThread.reset();
    service.JobFinished(2);
    ASSERT_EQ(told.notes.size(), 2u);
    EXPECT_TRUE(told.notes[0].box);
    EXPECT_NE(ToUtf8(told.notes[1].text).find("bigger than machine width"), std::string::npos)
        << ToUtf8(told.notes[1].text);
    EXPECT_EQ(doc.m_pages[0]->m_state, Manual);
}

namespace {

// Files without a drawing as an operator picks them by mistake.
const char kPng[] =
    "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x01\x00\x00\x00\x01\x08\x02\x00\x00"
    "\x00\x90\x77\x53\xde\x00\x00\x00\x0c\x49\x44\x41\x54\x78\x9c\x63\xf8\xcf\xc0\x00\x00\x03\x01\x01\x00\xc9\xfe\x92"
    "\xef\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82";

std::string ElfBytes()
{
    std::string elf("\x7f" "ELF\x02\x01\x01\x00", 8);
    elf.resize(64, '\0');
    elf[16] = 2;     // an executable
    elf[18] = 0x3e;  // x86-64
    // Code-like bytes: prologues, calls and returns.
    const char code[] = "\x55\x48\x89\xe5\x48\x83\xec\x10\xe8\x00\x00\x00\x00\x31\xc0\xc9\xc3";
    while (elf.size() < 4096) elf.append(code, sizeof code - 1);
    return elf;
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

// A file added by hand that holds no drawing was dropped without a word: it
// is said once, in the status bar (not a box), naming the file.
TEST_F(ServiceTest, AFileAddedByHandThatHoldsNoDrawingIsSaidOnceInTheStatusBar)
{
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"picture.png", std::string(kPng, sizeof kPng - 1)},
        {"program", ElfBytes()},
        {"drawing.plt", ReadAll(ORLAT_TEST_DATA "/dxf/shapes_r12.dxf")},  // a DXF renamed
        {"no-commands.plt", "IN;SP1;PU;"},
        {"short.plt", "IN;"},
        {"empty.dxf", "0\nSECTION\n2\nENTITIES\n0\nENDSEC\n0\nEOF\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.bytes.empty());
        told = {};
        const std::string path = program.Path() + c.name;
        std::ofstream(path, std::ios::binary) << c.bytes;
        service.AddPrintFile(FromUtf8(path), false);
        EXPECT_TRUE(doc.m_pages.empty());
        ASSERT_EQ(told.notes.size(), 1u);
        EXPECT_FALSE(told.notes[0].box);
        EXPECT_GT(told.notes[0].ms, 0);
        EXPECT_NE(told.LastNote().find("holds no drawing"), std::string::npos) << told.LastNote();
        EXPECT_NE(told.LastNote().find(c.name), std::string::npos) << told.LastNote();
    }
    theSettings.Set(Slot::Language, 0);
    service.AddPrintFile(FromUtf8(program.Path() + "short.plt"), false);
    EXPECT_NE(told.LastNote().find("没有图形"), std::string::npos) << told.LastNote();
}

// A 2 GB marker said only "Open File Failed!": it says it is too big; a file
// that cannot be opened still says that.
TEST_F(ServiceTest, AFileTooLargeByHandSaysSoAndOneThatCannotBeOpenedSaysThat)
{
    const std::string huge = program.Path() + "huge.plt";
    std::ofstream(huge) << "IN;";
    std::filesystem::resize_file(huge, uint64_t{2} << 30);
    service.AddPrintFile(FromUtf8(huge), false);
    EXPECT_TRUE(doc.m_pages.empty());
    ASSERT_EQ(told.notes.size(), 1u);
    EXPECT_TRUE(told.notes[0].box);
    EXPECT_NE(told.LastNote().find("larger than 8,000,000 bytes"), std::string::npos) << told.LastNote();

    service.AddPrintFile(FromUtf8(program.Path() + "missing.plt"), false);
    ASSERT_EQ(told.notes.size(), 2u);
    EXPECT_TRUE(told.notes[1].box);
    EXPECT_EQ(told.LastNote(), "Open File Failed!");
}

// A job with a cut pass longer than the machine's knife buffer takes was
// stopped at that pass with its ink printed and "a knife pass could not be
// sent": it is refused before the job start goes out, and the stop note
// names the limit.
TEST_F(ServiceTest, AJobWhoseCutPassCannotFitIsRefusedBeforeItsStartAndTheNoteNamesTheLimit)
{
    StartMachine();
    auto job = SquareJob(Auto, 4000, u"/m/dense.plt");
    std::vector<PlotPoint> zigzag;
    for (int32_t k = 0; k < 50100; ++k) zigzag.push_back({1000 + k / 40, (k % 2) * 2000 + 1000});
    auto cut = std::make_unique<CCurve>();
    cut->m_kind = CurveKind::Cut;
    cut->m_points = std::move(zigzag);
    cut->CalcBoundRect();
    job->m_curves.push_back(std::move(cut));
    job->CalcPageBounds();
    doc.m_pages.push_back(std::move(job));
    ASSERT_TRUE(RunUntil([&] { return doc.m_pages[0]->m_state == Manual && g_pSendJobThread == nullptr; }));
    // The link thread's polls only: no job start, no band, no knife pass, no end.
    for (const SimUnit& u : sim.Received()) {
        EXPECT_FALSE(u.chunk);
        if (u.bytes.size() < 2) continue;
        for (int code : {LinkCommand::JobStart, LinkCommand::BandHeader, LinkCommand::KnifeHeader,
                         LinkCommand::JobFinished, LinkCommand::JobAbort})
            EXPECT_NE(u.bytes[1], code);
    }
    EXPECT_FALSE(sim.WithMachine([](CSimMachine& m) { return m.job.started; }));
    ASSERT_EQ(told.notes.size(), 2u);
    EXPECT_TRUE(told.notes[0].box);
    EXPECT_NE(ToUtf8(told.notes[0].text).find("50,000"), std::string::npos) << ToUtf8(told.notes[0].text);
    EXPECT_NE(told.LastNote().find("Job \"dense.plt\" stopped: A cut pass of the job holds more than 50,000"),
              std::string::npos)
        << told.LastNote();
    EXPECT_EQ(StatesOnDisk(), (std::vector<int32_t>{Manual}));
}
