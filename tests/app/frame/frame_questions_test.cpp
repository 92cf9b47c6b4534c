// A question before the list is emptied or replaced runs a nested event
// loop in which the watched folders keep importing (each source deleted once
// read): the job imported meanwhile was wiped with the list.
#include <utime.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "app/commands/FrameCommands.h"
#include "tests/app/frame/FrameFixture.h"

using namespace appfix;
using namespace JobState;

namespace {

class FrameQuestions : public FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        theSettings.Set(Slot::AutoStart, 0);  // no machine here: nothing starts
        for (const char16_t* n : {u"old1.plt", u"old2.plt"}) {
            doc.m_pages.push_back(Job(Manual));
            doc.m_pages.back()->m_strFileName = n;
        }
    }
    // A marker dropped into the watched folder, settled (its writer long gone).
    std::string Drop(const std::string& name)
    {
        const std::string path = ToUtf8(theSettings.DataDirMm) + name;
        std::ofstream(path) << Square(800);
        const struct utimbuf old {1000000000, 1000000000};
        ::utime(path.c_str(), &old);
        return path;
    }
    bool Has(const std::string& suffix) const
    {
        for (const auto& p : doc.m_pages)
            if (ToUtf8(p->m_strFileName).ends_with(suffix)) return true;
        return false;
    }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> n;
        for (const auto& p : doc.m_pages) n.push_back(std::filesystem::path(ToUtf8(p->m_strFileName)).filename());
        return n;
    }
    // Runs the event loop as an open dialog does until the folder's job is in.
    bool WaitImported(const std::string& name)
    {
        QElapsedTimer t;
        t.start();
        QEventLoop loop;
        while (!Has(name) && t.elapsed() < 10000) loop.processEvents(QEventLoop::AllEvents, 10);
        return Has(name);
    }
};

}  // namespace

TEST_F(FrameQuestions, TheTestFileEmptiesOnlyTheListTheOperatorWasAskedAbout)
{
    std::filesystem::create_directories(program.File("TestPlt"));
    program.Write("TestPlt/10x10.plt", Square(4000));
    SetProgramAsks(*frame, frame.get());  // the program's own box
    frame->show();
    frame->Run().StartTimers();

    // The box is open: a marker comes into the folder and is imported
    // under it; then the operator clicks OK.
    std::string dropped;
    bool imported = false;
    QElapsedTimer t;
    t.start();
    std::function<void()> operatorAtTheBox = [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            QTimer::singleShot(10, operatorAtTheBox);
            return;
        }
        if (dropped.empty()) dropped = Drop("dropped.plt");
        imported = Has("dropped.plt");
        if (!imported && t.elapsed() < 10000) {
            QTimer::singleShot(10, operatorAtTheBox);
            return;
        }
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    };
    QTimer::singleShot(0, operatorAtTheBox);
    frame->Action(framecmd::kTestFileFirst)->trigger();

    ASSERT_TRUE(imported);
    // The list holds the only copy once it is on disk.
    EXPECT_TRUE(PumpUntil([&] { return !std::filesystem::exists(dropped); }, 5000));
    EXPECT_EQ(Names(), (std::vector<std::string>{"dropped.plt", "10x10.plt"}));
}

TEST_F(FrameQuestions, ATaskFileReplacesOnlyTheListTheDialogWasOpenedOver)
{
    PageList saved;
    saved.push_back(Job(Manual));
    saved.back()->m_strFileName = u"saved.plt";
    const std::u16string good = FromUtf8(program.File("good.orlattask"));
    ASSERT_EQ(SaveTaskFile(good, saved), TaskFileStatus::Ok);
    program.Write("bad.orlattask", "\x05\x00garbage");
    frame->Run().StartTimers();

    // The file dialog is open while a marker is imported.
    QString chosen;
    frame->askOpenFile = [&](const QString&, const QString&) {
        Drop(chosen.endsWith(QStringLiteral("good.orlattask")) ? "first.plt" : "second.plt");
        WaitImported(chosen.endsWith(QStringLiteral("good.orlattask")) ? "first.plt" : "second.plt");
        return chosen;
    };
    chosen = QString::fromStdU16String(good);
    frame->Action(framecmd::kOpenTaskFile)->trigger();
    EXPECT_EQ(Names(), (std::vector<std::string>{"saved.plt", "first.plt"}));
    EXPECT_TRUE(messages.isEmpty());

    // A file that cannot be read changes nothing, the newcomer included.
    doc.m_pages.insert(doc.m_pages.begin(), Job(Manual));
    doc.m_pages.front()->m_strFileName = u"front.plt";
    chosen = QString::fromStdString(program.File("bad.orlattask"));
    frame->Action(framecmd::kOpenTaskFile)->trigger();
    EXPECT_EQ(Names(), (std::vector<std::string>{"front.plt", "saved.plt", "first.plt", "second.plt"}));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("cannot be opened")));
}
