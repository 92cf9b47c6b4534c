// Guards the real program against a shutdown signal that comes while the close's own question is open
// (File > Exit during a job, or a list that cannot be saved): the box rejected, the close refused, and the
// program ending with status 0 without telling the machine anything or saying what it could not save.
#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "link/LinkCommand.h"
#include "link/LinkState.h"
#include "model/Page.h"
#include "model/TaskFile.h"
#include "model/Text.h"
#include "tests/app/support/AppFixture.h"
#include "tests/app/support/ProgramOnSim.h"
#include "tests/app/support/ProgramProcess.h"
#include "tests/app/support/Xvfb.h"
#include "tools/machine-sim/MachineSim.h"

// Last: Xlib's macros (Status, Success, None) would rename the project's own words.
#if ORLAT_HAVE_X11
#include <X11/Xlib.h>
#endif

namespace fs = std::filesystem;
using namespace JobState;
using testsupport::ReadFile;
using testsupport::WaitFor;

#if ORLAT_HAVE_X11
namespace {

const fs::path kProgram = testsupport::BuiltProgram();

// The private server as a window manager sees it: the top-level windows by
// title, and the close request of a title bar's close button.
class XScreen {
public:
    explicit XScreen(const std::string& display) : m_dpy(XOpenDisplay(display.c_str()))
    {
        if (m_dpy == nullptr) return;
        // Windows mapped on the root come as events: the waits below wait on them.
        XSelectInput(m_dpy, DefaultRootWindow(m_dpy), SubstructureNotifyMask);
        m_name = XInternAtom(m_dpy, "_NET_WM_NAME", False);
        m_utf8 = XInternAtom(m_dpy, "UTF8_STRING", False);
    }
    ~XScreen()
    {
        if (m_dpy != nullptr) XCloseDisplay(m_dpy);
    }
    XScreen(const XScreen&) = delete;
    XScreen& operator=(const XScreen&) = delete;
    bool Open() const { return m_dpy != nullptr; }

    // The shown top-level window whose title begins with title, or 0.
    Window Find(const std::string& title)
    {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        Window found = 0;
        if (XQueryTree(m_dpy, DefaultRootWindow(m_dpy), &root, &parent, &children, &count) == 0) return 0;
        for (unsigned i = 0; i < count && found == 0; ++i) {
            XWindowAttributes a{};
            if (XGetWindowAttributes(m_dpy, children[i], &a) == 0 || a.map_state != IsViewable) continue;
            if (Title(children[i]).rfind(title, 0) == 0) found = children[i];
        }
        if (children != nullptr) XFree(children);
        return found;
    }
    // Find(title) once the server shows such a window, or 0 after ms.
    Window WaitShown(const std::string& title, int ms)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            if (const Window w = Find(title)) return w;
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            if (left.count() <= 0) return 0;
            XFlush(m_dpy);
            pollfd p{ConnectionNumber(m_dpy), POLLIN, 0};
            ::poll(&p, 1, static_cast<int>(left.count()));
            while (XPending(m_dpy) > 0) {
                XEvent e;
                XNextEvent(m_dpy, &e);
            }
        }
    }
    // What a title bar's close button sends.
    void AskToClose(Window w)
    {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = w;
        e.xclient.message_type = XInternAtom(m_dpy, "WM_PROTOCOLS", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = static_cast<long>(XInternAtom(m_dpy, "WM_DELETE_WINDOW", False));
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(m_dpy, w, False, NoEventMask, &e);
        XFlush(m_dpy);
    }

private:
    std::string Title(Window w)
    {
        Atom type = 0;
        int format = 0;
        unsigned long n = 0, after = 0;
        unsigned char* data = nullptr;
        std::string title;
        if (XGetWindowProperty(m_dpy, w, m_name, 0, 1024, False, m_utf8, &type, &format, &n, &after, &data) ==
                Success &&
            data != nullptr) {
            title.assign(reinterpret_cast<const char*>(data), n);
        }
        if (data != nullptr) XFree(data);
        return title;
    }

    Display* m_dpy;
    Atom m_name = 0, m_utf8 = 0;
};

class CloseQuestion : public testsupport::ProgramOnSim {
protected:
    void SetUp() override
    {
        if (!fs::exists(kProgram)) GTEST_SKIP() << "the program is not built";
        if (!x.Running()) GTEST_SKIP() << "no X server: " << x.Error();
        MakeFolders("close_question");
        std::ofstream(Prog() / "OrlatV2.ini") << "[Para]\nConnectViaEth=1\nMachineIP=16777343\nAutoAddToList=1\n"
                                                 "AutoStart=1\nUnitNoHintNextTime=1\nAutoDelFinish=0\nDataDirMm="
                                              << Data().string() << "/\n";
    }
    void TearDown() override
    {
        EndFolders();
    }
    fs::path Log() const { return root / "program.log"; }

    void LeaveList(std::unique_ptr<COnePage> job)
    {
        std::vector<std::unique_ptr<COnePage>> pages;
        pages.push_back(std::move(job));
        ASSERT_EQ(SaveTaskFile(FromUtf8(LastTask().string()), pages), TaskFileStatus::Ok);
    }
    std::vector<int32_t> StatesKept()
    {
        std::vector<std::unique_ptr<COnePage>> pages;
        if (LoadTaskFile(FromUtf8(LastTask().string()), pages) != TaskFileStatus::Ok) return {-1};
        std::vector<int32_t> s;
        for (auto& p : pages) s.push_back(p->m_state);
        return s;
    }
    // The program on the private server, as a desktop runs it.
    void Start()
    {
        testsupport::Launch l;
        l.args = {"--program-dir", Prog().string(), "--machine-port", std::to_string(sim.Port())};
        l.unset = {"WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
        l.set = {"XDG_RUNTIME_DIR=" + (root / "rt").string(), "DISPLAY=" + x.Display(), "QT_QPA_PLATFORM=xcb",
                 "LSAN_OPTIONS=print_suppressions=0:suppressions=" +
                     (fs::path(ORLAT_TEST_DATA) / "../app/support/lsan.supp").lexically_normal().string()};
        l.out = Log();
        l.errWithOut = true;
        ASSERT_TRUE(program.Start(kProgram, l)) << program.Error();
    }
    // File > Exit as the desktop asks for it, then the close's question shown.
    void AskToCloseAndSeeTheQuestion(XScreen& screen)
    {
        const Window main = screen.WaitShown("OrlatCenterII", 60000);
        ASSERT_NE(main, 0u) << "the window never showed\n" << ReadFile(Log());
        screen.AskToClose(main);
        ASSERT_NE(screen.WaitShown("提示", 60000), 0u) << "the close asked nothing\n" << ReadFile(Log());
    }

    XvfbServer x;
};

}  // namespace

TEST_F(CloseQuestion, ASigtermWhileTheMachineQuestionIsOpenCancelsTheJobOnTheMachineSavesAndEnds)
{
    LeaveList(appfix::SquareJob(Auto, 40000, u"big"));
    Start();
    XScreen screen(x.Display());
    ASSERT_TRUE(screen.Open());
    ASSERT_TRUE(WaitFor([&] { return sim.WithMachine([](CSimMachine& m) { return m.InJob() && !m.job.bands.empty(); }); },
                        60000))
        << ReadFile(Log());
    // Held inside the job, as a machine the operator paused.
    sim.WithMachine([](CSimMachine& m) { m.state = MachineState::Paused; });
    AskToCloseAndSeeTheQuestion(screen);
    EXPECT_EQ(program.Signal(SIGTERM, 60000), 0) << ReadFile(Log());
    // The machine was told: the delete as the operator would give it.
    bool deleted = false;
    for (const SimUnit& u : sim.Received())
        if (!u.chunk && u.bytes.size() >= 2 && u.bytes[1] == LinkCommand::JobAbort) deleted = true;
    EXPECT_TRUE(deleted) << "the machine heard nothing";
    EXPECT_TRUE(sim.WithMachine([](CSimMachine& m) { return m.job.aborted && !m.InJob(); }));
    EXPECT_EQ(StatesKept(), (std::vector<int32_t>{Manual}));
}

TEST_F(CloseQuestion, ASigtermWhileTheCannotSaveQuestionIsOpenEndsWithStatusOneAndSaysWhy)
{
    LeaveList(appfix::SquareJob(Manual, 2000, u"kept"));
    sim.WithMachine([](CSimMachine& m) { m.state = MachineState::Paused; });  // busy: nothing prints
    Start();
    XScreen screen(x.Display());
    ASSERT_TRUE(screen.Open());
    // The list is the program's once a watched file has joined it.
    std::ofstream(root / "m.plt") << "IN;SP1;PU0,0;PD800,0,800,800,0,800,0,0;PU;";
    fs::rename(root / "m.plt", Data() / "m.plt");
    ASSERT_TRUE(WaitFor([&] { return StatesKept().size() == 2; }, 60000)) << ReadFile(Log());
    // A folder that is not empty in the file's place: no save can replace it.
    fs::remove(LastTask());
    fs::create_directories(LastTask() / "in the way");
    AskToCloseAndSeeTheQuestion(screen);
    EXPECT_EQ(program.Signal(SIGTERM, 60000), 1) << ReadFile(Log());
    const std::string log = ReadFile(Log());
    EXPECT_NE(log.find("任务列表无法保存到 " + LastTask().string()), std::string::npos) << log;
}
#else
TEST(CloseQuestion, NeedsX11) { GTEST_SKIP() << "built without the X11 headers"; }
#endif
