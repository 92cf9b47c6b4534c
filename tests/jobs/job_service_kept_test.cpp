// Guards the machine hearing of a job start or a copy's end before the kept list accounts for it, a job sent
// although its list cannot be kept, a copy counted twice or kept when its job failed, and a close that saves
// the list before the sending thread's last report has told what the machine did.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "link/LinkCommand.h"
#include "tests/jobs/ServiceFixture.h"

using namespace servicefix;
using namespace JobState;

namespace {

struct Kept {
    int32_t state;
    int32_t copies;
    bool operator==(const Kept&) const = default;
};
void PrintTo(const Kept& k, std::ostream* os) { *os << "state " << k.state << ", copies " << k.copies; }

class ServiceKept : public ServiceTest {
protected:
    // The first job as the kept file holds it.
    std::vector<Kept> FirstOnDisk(const std::vector<std::vector<uint8_t>>& files)
    {
        std::vector<Kept> out;
        for (const auto& bytes : files) {
            PageList pages;
            if (LoadTaskBytes(bytes, pages) != TaskFileStatus::Ok || pages.empty()) out.push_back({-1, -1});
            else out.push_back({pages[0]->m_state, pages[0]->m_copies});
        }
        return out;
    }
    bool ThreadGone() const { return g_pSendJobThread == nullptr; }
    // The list as it stands is on disk (the keeper may write it on a worker).
    bool OnDisk() { return service.Keeper().WaitDurable(service.Keeper().Ticket(), std::chrono::seconds(20)); }
};

}  // namespace

TEST_F(ServiceKept, TheDiskHoldsEachStartAndEachMadeCopyBeforeTheMachineHearsOfIt)
{
    StartMachine();
    // The kept file as it is when the machine gets a job start or an end
    // command, read there (serving thread), parsed here.
    std::mutex lock;
    std::vector<std::vector<uint8_t>> atStart, atEnd;
    const std::string path = ToUtf8(theSettings.Path(Slot::LastTaskPath));
    sim.SetUnitHook([&](const SimUnit& u) {
        if (u.chunk || u.bytes.size() < 2) return;
        if (u.bytes[1] != LinkCommand::JobStart && u.bytes[1] != LinkCommand::JobFinished) return;
        std::ifstream in(path, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::lock_guard<std::mutex> l(lock);
        (u.bytes[1] == LinkCommand::JobStart ? atStart : atEnd).push_back(std::move(bytes));
    });
    doc.m_pages.push_back(SquareJob(Auto, 4000, u"/m/two.plt", 2));
    ASSERT_TRUE(RunUntil([&] { return doc.m_pages[0]->m_state == Done && ThreadGone(); }));
    sim.SetUnitHook({});
    // A started job is kept as Manual: a kill never sends it again by itself.
    EXPECT_EQ(FirstOnDisk(atStart), (std::vector<Kept>{{Manual, 2}, {Manual, 1}}));
    // Each copy the machine made is off the list before its end command.
    EXPECT_EQ(FirstOnDisk(atEnd), (std::vector<Kept>{{Manual, 1}, {Done, 0}}));
    EXPECT_EQ(sim.JobsEnded(), 2);
    EXPECT_EQ(doc.m_pages[0]->m_copies, 0) << "a copy counted twice";
}

TEST_F(ServiceKept, AListThatCannotBeSavedRefusesTheJobBeforeTheMachineHearsOfIt)
{
    StartMachine();
    theSettings.SetPath(Slot::LastTaskPath, FromUtf8(program.Path() + "gone/last2107.orlattask"));
    doc.m_pages.push_back(SquareJob(Auto, 4000, u"/m/refused.plt"));
    doc.m_pages.push_back(SquareJob(Auto, 4000, u"/m/waits.plt"));
    ASSERT_TRUE(RunUntil([&] { return doc.m_pages[0]->m_state == Manual && ThreadGone(); }));
    EXPECT_EQ(sim.WithMachine([](CSimMachine& m) { return m.jobs; }), 0);
    EXPECT_EQ(States(doc.m_pages), (std::vector<int32_t>{Manual, Manual}));
    bool boxed = false;
    for (const JobNote& n : told.notes)
        if (n.box && ToUtf8(n.text).find("job list cannot be saved") != std::string::npos) boxed = true;
    EXPECT_TRUE(boxed) << told.LastNote();
}

TEST_F(ServiceKept, ACountedCopyIsNotCountedAgainAtItsEndAndAFailedEndGivesItBack)
{
    struct Case {
        int result;
        Kept inList, onDisk;
    };
    const Case cases[] = {
        {1, {Auto, 1}, {Auto, 1}},
        {2, {Manual, 2}, {Manual, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.result);
        doc.DeleteAllPages();
        doc.m_pages.push_back(SquareJob(Printing, 4000, u"/m/two.plt", 2));
        service.LastStepSent();
        ASSERT_TRUE(OnDisk());
        EXPECT_EQ(StatesOnDisk(), (std::vector<int32_t>{Manual}));
        EXPECT_EQ(doc.m_pages[0]->m_copies, 1);
        service.JobFinished(c.result);
        EXPECT_EQ((Kept{doc.m_pages[0]->m_state, doc.m_pages[0]->m_copies}), c.inList);
        ASSERT_TRUE(OnDisk());
        PageList pages;
        ASSERT_EQ(LoadTaskFile(theSettings.Path(Slot::LastTaskPath), pages), TaskFileStatus::Ok);
        EXPECT_EQ((Kept{pages[0]->m_state, pages[0]->m_copies}), c.onDisk);
    }
}

TEST_F(ServiceKept, TheCloseTakesTheThreadsLastReportBeforeItSaves)
{
    struct Case {
        const char* moment;
        bool copyMade;  // the close comes once the machine has made the copy
        Kept job;
    };
    const Case cases[] = {{"in the middle of the job, paused", false, {Manual, 1}},
                          {"once its copy is made", true, {Done, 0}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.moment);
        StartMachine();
        doc.DeleteAllPages();
        doc.m_pages.push_back(SquareJob(Auto, c.copyMade ? 4000 : 40000, u"/m/job.plt"));
        doc.m_pages.push_back(SquareJob(Auto, 4000, u"/m/waits.plt"));
        if (c.copyMade) {
            ASSERT_TRUE(RunUntil([&] { return doc.m_pages[0]->m_state == Done; }));
        } else {
            ASSERT_TRUE(RunUntil(
                [&] { return sim.WithMachine([](CSimMachine& m) { return m.InJob() && !m.job.bands.empty(); }); }));
            sim.WithMachine([](CSimMachine& m) { m.state = MachineState::Paused; });
        }
        service.SetClosing(true);
        EXPECT_TRUE(service.CancelJobForClose([&] { mailbox.Deliver(5); }));
        EXPECT_TRUE(ThreadGone());
        EXPECT_EQ(service.SaveForClose([&] { mailbox.Deliver(5); }).kind, KeepOutcome::Written);
        const SimJob rec = sim.WithMachine([](CSimMachine& m) { return m.job; });
        EXPECT_EQ(rec.finished, c.copyMade);
        EXPECT_EQ(rec.aborted, !c.copyMade);
        EXPECT_FALSE(sim.WithMachine([](CSimMachine& m) { return m.InJob(); }));
        PageList pages;
        ASSERT_EQ(LoadTaskFile(theSettings.Path(Slot::LastTaskPath), pages), TaskFileStatus::Ok);
        ASSERT_EQ(pages.size(), 2u);
        EXPECT_EQ((Kept{pages[0]->m_state, pages[0]->m_copies}), c.job);
        // The close's own cancel leaves the waiting job as it found it.
        EXPECT_EQ(pages[1]->m_state, Auto);
        StopMachine();
        service.Begin();
    }
}
