// Guards: a frame that loses the list height, hub reports from threads, or jobs on clean-up, import or close.
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <QDockWidget>
#include <QRegularExpression>
#include <QSplitter>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QToolBar>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/frame/FrameHub.h"
#include "app/joblist/JobListView.h"
#include "app/preview/PreviewView.h"
#include "tests/app/frame/FrameFixture.h"

using namespace appfix;
using namespace JobState;

namespace {
// A report made the way the sending thread makes it: from another thread,
// waiting until the UI thread has run the handler.
void ReportFromThread(const std::function<void()>& report)
{
    std::atomic<bool> done{false};
    std::thread t([&] {
        report();
        done = true;
    });
    PumpUntil([&] { return done.load(); }, 5000);
    t.join();
}
}  // namespace

TEST_F(FrameFixture, LayoutListKeepsItsHeightAndStatusShowsPosition)
{
    frame->show();
    PumpUntil([] { return false; }, 50);
    // The list over the preview, as wide as it; a bigger window goes to the preview.
    auto at = [this](QWidget* w) { return QRect(w->mapTo(frame.get(), QPoint(0, 0)), w->size()); };
    const QRect list = at(frame->ListView()), preview = at(frame->PreviewView());
    EXPECT_LE(list.bottom(), preview.top());
    EXPECT_EQ(list.left(), preview.left());
    EXPECT_EQ(list.width(), preview.width());
    EXPECT_GT(list.height(), 100);
    frame->resize(1400, 1000);
    PumpUntil([] { return false; }, 50);
    EXPECT_EQ(at(frame->ListView()).height(), list.height());
    EXPECT_GT(at(frame->PreviewView()).height(), preview.height() + 200);
    EXPECT_EQ(at(frame->PreviewView()).bottom() - at(frame->ListView()).top() + 1 -
                  at(frame->ListView()).height() - at(frame->PreviewView()).height(),
              frame->Splitter()->handleWidth())
        << "nothing else between them";

    EXPECT_EQ(frame->ControlDock()->features(), QDockWidget::NoDockWidgetFeatures);
    EXPECT_EQ(frame->dockWidgetArea(frame->ControlDock()), Qt::RightDockWidgetArea);

    frame->ShowCursorPos(-39, 79);
    EXPECT_EQ(frame->StatusText(), QStringLiteral("Pos:(0mm,1mm)"));
    theSettings.Set(Slot::Language, 0);
    frame->ShowCursorPos(80, -80);
    EXPECT_EQ(frame->StatusText(), QStringLiteral("位置:(2mm,-2mm)"));
}

TEST_F(FrameFixture, JobFinishedFromTheSendingThreadCountsCopies)
{
    doc.m_pages.push_back(Job(Manual));
    doc.m_pages.push_back(Job(Printing, 2));
    doc.m_pages.push_back(Job(Auto));
    WorkPage.CopyPageFrom(*doc.m_pages[1]);
    ReportFromThread([] { CFrameHub::Instance().JobFinished(1); });
    EXPECT_EQ(States(doc.m_pages), (std::vector<int32_t>{Manual, Auto, Auto}));
    EXPECT_EQ(doc.m_pages[1]->m_copies, 1);
    EXPECT_TRUE(WorkPage.m_curves.empty());

    doc.m_pages[1]->m_state = Printing;
    ReportFromThread([] { CFrameHub::Instance().JobFinished(2); });
    EXPECT_EQ(States(doc.m_pages), (std::vector<int32_t>{Manual, Manual, Manual}));

    // Once Quitting is set a report returns at once and changes nothing.
    doc.m_pages[1]->m_state = Printing;
    theSettings.Set(Slot::Quitting, 1);
    std::thread([] { CFrameHub::Instance().JobFinished(1); }).join();
    EXPECT_EQ(doc.m_pages[1]->m_state, Printing);
}

TEST_F(FrameFixture, JobMessageIsABoxOfTheWindow)
{
    ReportFromThread([] { CFrameHub::Instance().Message("k", u"machine says no"); });
    EXPECT_EQ(messages, QStringList{QStringLiteral("machine says no")});
}

TEST_F(FrameFixture, DeleteDoneShowsThePrintingJob)
{
    for (int32_t s : {Done, Manual, Done, Printing, Done}) doc.m_pages.push_back(Job(s));
    frame->Service().DeleteDoneJobs();
    EXPECT_EQ(States(doc.m_pages), (std::vector<int32_t>{Manual, Printing}));
    EXPECT_EQ(frame->PreviewView()->CurrentPage(), 1);
    theSettings.Set(Slot::Quitting, 1);
    doc.m_pages.push_back(Job(Done));
    frame->Service().DeleteDoneJobs();
    EXPECT_EQ(doc.m_pages.size(), 3u);
}

TEST_F(FrameFixture, LastTaskComesFirstAndStaysUntilClose)
{
    {
        PageList saved;
        saved.push_back(Job(Done, 0));
        saved.back()->m_strFileName = u"last";
        ASSERT_EQ(SaveTaskFile(theSettings.Path(Slot::LastTaskPath), saved), TaskFileStatus::Ok);
    }
    doc.m_pages.push_back(Job(Auto, 2));
    doc.m_pages.back()->m_strFileName = u"command line";
    frame->Service().LoadLastTask();
    ASSERT_EQ(doc.m_pages.size(), 2u);
    EXPECT_EQ(doc.m_pages[0]->m_strFileName, u"last");
    EXPECT_EQ(doc.m_pages[1]->m_strFileName, u"command line");
    EXPECT_TRUE(std::filesystem::exists(LastTaskPath()));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(FrameFixture, BadLastTaskIsKeptAsideWithAMessage)
{
    program.Write("last2107.orlattask", "\x05\x00garbage");
    doc.m_pages.push_back(Job(Manual));
    frame->Service().LoadLastTask();
    EXPECT_EQ(doc.m_pages.size(), 1u);
    EXPECT_TRUE(program.Exists("last2107.orlattask.bad"));
    EXPECT_FALSE(program.Exists("last2107.orlattask"));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("last2107.orlattask.bad")));
}

TEST_F(FrameFixture, HandImports)
{
    program.Write("sq.plt", Square(400));
    program.Write("empty.plt", "IN;SP1;PU;");
    frame->Files().AddPrintFile(QString::fromStdString(program.File("sq.plt")));
    ASSERT_EQ(doc.m_pages.size(), 1u);
    EXPECT_EQ(doc.m_pages[0]->m_state, Auto);
    frame->Files().AddPrintFile(QString::fromStdString(program.File("missing.dxf")));
    frame->Files().AddPrintFile(QString::fromStdString(program.File("missing.plt")));
    EXPECT_EQ(messages, (QStringList{QStringLiteral("Open File Failed!"), QStringLiteral("Open File Failed!")}));
    frame->Files().AddPrintFile(QString::fromStdString(program.File("empty.plt")));  // no job, no box
    EXPECT_EQ(doc.m_pages.size(), 1u);
    EXPECT_EQ(messages.size(), 2);
    EXPECT_TRUE(frame->StatusText().contains(QStringLiteral("holds no drawing"))) << frame->StatusText().toStdString();

    // The unit question, cancelled: nothing.
    UnitNoHintNextTime = 0;
    frame->askPltUnit = [] { return false; };
    frame->Files().AddPrintFile(QString::fromStdString(program.File("sq.plt")));
    EXPECT_EQ(doc.m_pages.size(), 1u);
}

TEST_F(FrameFixture, TestFileAsksBeforeEmptyingTheList)
{
    std::filesystem::create_directories(program.File("TestPlt"));
    program.Write("TestPlt/20x20.plt", Square(8000));
    doc.m_pages.push_back(Job(Manual));
    doc.m_pages.push_back(Job(Manual));
    answer = false;
    frame->Files().OnTestPlt(1);
    EXPECT_EQ(questions.size(), 1);
    EXPECT_EQ(doc.m_pages.size(), 2u);
    answer = true;
    frame->Files().OnTestPlt(1);
    ASSERT_EQ(doc.m_pages.size(), 1u);
    EXPECT_EQ(doc.m_pages[0]->m_maxX - doc.m_pages[0]->m_minX, 8000);
}

TEST_F(FrameFixture, ExportAsksBeforeReplacingAnAppendedName)
{
    doc.m_pages.push_back(Job(Manual));
    program.Write("out.plt", "old");
    chosenFile = QString::fromStdString(program.File("out"));
    answer = false;
    frame->Files().OnExportListAsPlt();
    ASSERT_EQ(questions.size(), 1);
    std::ifstream kept(program.File("out.plt"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "old");
    answer = true;
    frame->Files().OnExportListAsPlt();
    std::ifstream fresh(program.File("out.plt"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(fresh), {}).substr(0, 4), "SP1;");
}

TEST_F(FrameFixture, ScanAddsAJobAndReportsRefusalsInTheStatusBar)
{
    const std::string mm = ToUtf8(theSettings.DataDirMm);
    TempDir unused;
    std::ofstream(mm + "a.plt") << "IN;";
    std::ofstream(mm + "b.plt") << Square(400);
    const struct utimbuf old {1000000000, 1000000000};
    ::utime((mm + "a.plt").c_str(), &old);
    ::utime((mm + "b.plt").c_str(), &old);
    frame->Service().Begin();  // the list is the keeper's: files may be taken
    frame->Service().ScanDataDir(0);
    EXPECT_TRUE(doc.m_pages.empty());
    EXPECT_TRUE(frame->StatusText().contains(QStringLiteral("Rejected")));
    EXPECT_TRUE(messages.isEmpty());
    frame->Service().ScanDataDir(0);
    EXPECT_EQ(doc.m_pages.size(), 1u);
    theSettings.Set(Slot::AutoAddToList, 0);
    std::ofstream(mm + "c.plt") << Square(400);
    ::utime((mm + "c.plt").c_str(), &old);
    frame->Service().ScanDataDir(0);
    EXPECT_EQ(doc.m_pages.size(), 1u);
}

TEST_F(FrameFixture, HideWithoutATrayMinimises)
{
    frame->show();
    frame->OnHideToTray();
    if (QSystemTrayIcon::isSystemTrayAvailable()) GTEST_SKIP() << "a tray is there";
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(frame->isMinimized());
}

TEST_F(FrameFixture, CloseSavesTheListOrDeletesTheLastTask)
{
    frame->Run().StartTimers();
    frame->show();
    doc.m_pages.push_back(Job(Auto));
    EXPECT_TRUE(frame->close());
    EXPECT_EQ(theSettings.Get(Slot::Quitting), 1);
    EXPECT_FALSE(frame->Run().TimersActive());
    PageList back;
    ASSERT_EQ(LoadTaskFile(theSettings.Path(Slot::LastTaskPath), back), TaskFileStatus::Ok);
    EXPECT_EQ(back.size(), 1u);

    // A second frame that loaded the file and emptied its list removes it.
    theSettings.Set(Slot::Quitting, 0);
    CJobService empty;
    CMainFrame second(empty);
    second.Service().LoadLastTask();
    ASSERT_EQ(empty.Doc().m_pages.size(), 1u);
    empty.Doc().DeleteAllPages();
    second.show();
    EXPECT_TRUE(second.close());
    EXPECT_FALSE(std::filesystem::exists(LastTaskPath()));
}

TEST(AddFileFilters, AllFilesMatchEveryNameAndExtensionsAnyCase)
{
    const QStringList filters = CFileCommands::AddFileFilters().split(QStringLiteral(";;"));
    ASSERT_EQ(filters.size(), 3);
    auto matches = [&](int filter, const QString& name) {
        const QString f = filters[filter];
        const QString patterns = f.mid(f.lastIndexOf(QLatin1Char('(')) + 1).chopped(1);
        for (const QString& p : patterns.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            if (QRegularExpression(QRegularExpression::wildcardToRegularExpression(p)).match(name).hasMatch())
                return true;
        return false;
    };
    EXPECT_TRUE(filters[0].startsWith(QStringLiteral("All file(*.*)")));
    for (const char* name : {"marker", "A.PLT", "b.dxf.bak", ".x"}) EXPECT_TRUE(matches(0, QLatin1String(name)));
    for (const char* name : {"a.plt", "A.PLT", "a.Plt"}) EXPECT_TRUE(matches(1, QLatin1String(name)));
    EXPECT_FALSE(matches(1, QStringLiteral("a.dxf")));
    for (const char* name : {"a.dxf", "A.DXF"}) EXPECT_TRUE(matches(2, QLatin1String(name)));
}

TEST_F(FrameFixture, ALastTaskThatCannotBeSavedLetsTheOperatorStay)
{
    // The last-task path lies in a folder that is not there: the save fails.
    theSettings.SetPath(Slot::LastTaskPath, FromUtf8(program.Path() + "gone/last2107.orlattask"));
    frame->show();
    doc.m_pages.push_back(Job(Manual));
    answer = false;
    EXPECT_FALSE(frame->close());
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].contains(QStringLiteral("cannot be saved")));
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(theSettings.Get(Slot::Quitting), 0);
    answer = true;
    EXPECT_TRUE(frame->close());
}

TEST_F(FrameFixture, TheClocksLoadTheLastTaskThenWatchTheFolders)
{
    {
        PageList saved;
        saved.push_back(Job(Manual));
        saved.back()->m_strFileName = u"last";
        ASSERT_EQ(SaveTaskFile(theSettings.Path(Slot::LastTaskPath), saved), TaskFileStatus::Ok);
    }
    const std::string mil = ToUtf8(theSettings.DataDirMil);
    std::ofstream(mil + "m.plt") << Square(1000);
    const struct utimbuf old {1000000000, 1000000000};
    ::utime((mil + "m.plt").c_str(), &old);
    theSettings.Set(Slot::AutoStart, 0);  // nothing to start: no machine here
    frame->Run().StartTimers();
    ASSERT_TRUE(PumpUntil([&] { return doc.m_pages.size() == 2; }, 5000));
    EXPECT_EQ(doc.m_pages[0]->m_strFileName, u"last");
    EXPECT_EQ(doc.m_pages[1]->m_maxX - doc.m_pages[1]->m_minX, 1016);
    // Deleted at a later look, once the list holding its job is on disk.
    EXPECT_TRUE(PumpUntil([&] { return !std::filesystem::exists(mil + "m.plt"); }, 5000));
    EXPECT_TRUE(frame->Run().TimersActive());
}
