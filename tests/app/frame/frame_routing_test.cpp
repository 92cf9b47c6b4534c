// A routed command id that drifted from the command table, or a File command
// routed to the wrong handler.
#include <QAction>

#include "app/commands/CommandTable.h"
#include "app/commands/FrameCommands.h"
#include "tests/app/frame/FrameFixture.h"

using namespace appfix;
using namespace framecmd;

namespace {

class FrameRouting : public FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        frame->askOpenFile = [this](const QString& title, const QString& filters) {
            asked << QStringLiteral("open ") + title + QStringLiteral(" ") + filters;
            return QString();
        };
        frame->askSaveFile = [this](const QString& title, const QString& filters) {
            asked << QStringLiteral("save ") + title + QStringLiteral(" ") + filters;
            return QString();
        };
        frame->askQuestion = [this](const QString&, const QString& text) {
            asked << QStringLiteral("question ") + text;
            return false;
        };
    }
    QStringList asked;
};

}  // namespace

TEST_F(FrameRouting, EveryFileCommandIsTheTablesAndReachesItsHandler)
{
    doc.m_pages.push_back(Job(JobState::Manual));  // the test files ask only over a list
    struct Case {
        uint16_t id;
        const char* asks;  // how the first question starts
    };
    const Case cases[] = {
        {kAddPrintFile, "open Add File All file"},
        {kOpenTaskFile, "open  "},
        {kSaveTaskFile, "save  "},
        {kExportListAsPlt, "save  All file"},
        {kTestFileFirst, "question Opening a test file"},
        {kTestFileFirst + 2, "question Opening a test file"},
        {kTestFileLast, "question Opening a test file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_NE(commandtable::FindCommand(commandtable::MainMenu(), c.id), nullptr);
        QAction* a = frame->Action(c.id);
        ASSERT_NE(a, nullptr);
        asked.clear();
        a->trigger();
        ASSERT_EQ(asked.size(), 1);
        EXPECT_TRUE(asked[0].startsWith(QLatin1String(c.asks))) << asked[0].toStdString();
    }
    // The task-file dialogs offer task files only.
    frame->Action(kOpenTaskFile)->trigger();
    EXPECT_TRUE(asked.last().endsWith(QStringLiteral("(*.orlattask)")));
    EXPECT_EQ(doc.m_pages.size(), 1u);
}

TEST_F(FrameRouting, WindowWideKeysAreTheTablesZoomAndOpen)
{
    for (const AcceleratorEntry& k : commandtable::Accelerators()) {
        const QAction* a = frame->Action(k.command);
        const bool windowWide = k.command == kZoomIn || k.command == kZoomOut || k.command == kOpenTaskFile;
        SCOPED_TRACE(k.key);
        if (!windowWide) {
            EXPECT_TRUE(a == nullptr || a->shortcut().isEmpty());
            continue;
        }
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->shortcut(), QKeySequence(QString::fromLatin1(k.key)));
        EXPECT_EQ(a->shortcutContext(), Qt::WindowShortcut);
    }
}
