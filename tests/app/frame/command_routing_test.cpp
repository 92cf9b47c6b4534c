// Guards: a menu item, toolbar button or key of the command table that the window routes nowhere.
#include <QDialog>
#include <QTest>

#include "app/commands/CommandTable.h"
#include "app/preview/PreviewView.h"
#include "model/DispSet.h"
#include "tests/app/frame/FrameFixture.h"
#include "tests/support/PageBuilder.h"

using namespace appfix;

namespace {

void MenuIds(std::span<const MenuEntry> menu, std::vector<uint16_t>& ids)
{
    for (const MenuEntry& e : menu) {
        if (e.kind == MenuEntry::Kind::Command) ids.push_back(e.id);
        if (e.kind == MenuEntry::Kind::SubMenu) MenuIds(e.items, ids);
    }
}

// Everything a command may change that the operator would notice.
struct Seen {
    qsizetype messages = 0, questions = 0, dialogs = 0, fileAsks = 0, unitAsks = 0;
    int language = 0, eth = 0;
    double scale = 0;
    int scrollX = 0, scrollY = 0;
    bool barVisible = false, windowVisible = false, minimized = false;
    size_t pages = 0;
    std::vector<int> kinds;
    bool operator==(const Seen&) const = default;
};

class CommandRouting : public FrameFixture {
protected:
    // A fresh window over one job of a printed and a cut line, every line
    // selected, the preview with the focus, the settings as given.
    void Start(int language, int eth)
    {
        frame.reset();
        doc.m_pages.clear();
        auto page = std::make_unique<COnePage>();
        testsupport::AddCurve(*page, {{0, 0}, {8000, 8000}});
        testsupport::AddCurve(*page, {{0, 8000}, {8000, 0}}, CurveKind::Cut);
        page->CalcPageBounds();
        doc.m_pages.push_back(std::move(page));
        theSettings.Set(Slot::Language, language);
        theSettings.Set(Slot::ConnectViaEth, eth);
        frame = std::make_unique<CMainFrame>(service);
        frame->askQuestion = [this](const QString&, const QString& text) {
            questions << text;
            return false;
        };
        frame->askOpenFile = [this](const QString&, const QString&) {
            ++fileAsks;
            return QString();
        };
        frame->askSaveFile = [this](const QString&, const QString&) {
            ++fileAsks;
            return QString();
        };
        frame->askPltUnit = [this] {
            ++unitAsks;
            return false;
        };
        frame->runDialog = [this](QDialog& d) {
            dialogs << d.metaObject()->className();
            return false;
        };
        frame->writeSettings = [](std::string*) { return true; };
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        frame->PreviewView()->SetCurrentPage(0);
        frame->PreviewView()->OnCommand(1006);  // select all
        frame->PreviewView()->setFocus();
        // Off the fitted view, so that fitting it is seen.
        theDispSet.m_scale = 0.37;
        theDispSet.m_scrollX = 11;
        theDispSet.m_scrollY = -13;
        QApplication::processEvents();
    }
    Seen Now() const
    {
        Seen s{messages.size(), questions.size(), dialogs.size(), fileAsks, unitAsks,
               theSettings.Get(Slot::Language), theSettings.Get(Slot::ConnectViaEth), theDispSet.m_scale,
               theDispSet.m_scrollX, theDispSet.m_scrollY, frame->ControlBarVisible(), frame->isVisible(),
               frame->isMinimized(), doc.m_pages.size(), {}};
        if (!doc.m_pages.empty())
            for (const auto& c : doc.m_pages[0]->m_curves) s.kinds.push_back(static_cast<int>(c->m_kind));
        return s;
    }
    // Whether using the command changes anything from either of two starting
    // points (a language command does nothing in its own language).
    template <class Use>
    bool Acts(Use use)
    {
        for (const auto& [language, eth] : {std::pair{0, 0}, std::pair{1, 1}}) {
            Start(language, eth);
            const Seen before = Now();
            use();
            QApplication::processEvents();
            if (!(Now() == before)) return true;
        }
        return false;
    }
    QStringList dialogs;
    qsizetype fileAsks = 0, unitAsks = 0;
};

TEST_F(CommandRouting, EveryMenuItemAndButtonDoesSomething)
{
    std::vector<uint16_t> ids;
    MenuIds(commandtable::MainMenu(), ids);
    for (uint16_t id : commandtable::ToolbarButtons())
        if (id != 0) ids.push_back(id);
    ASSERT_FALSE(ids.empty());
    for (uint16_t id : ids) {
        SCOPED_TRACE(id);
        Start(0, 0);
        ASSERT_NE(frame->Action(id), nullptr) << "no action for " << id;
        EXPECT_TRUE(Acts([&] { frame->Action(id)->trigger(); })) << "command " << id << " does nothing";
    }
}

TEST_F(CommandRouting, EveryKeyDoesSomething)
{
    ASSERT_FALSE(commandtable::Accelerators().empty());
    for (const AcceleratorEntry& k : commandtable::Accelerators()) {
        SCOPED_TRACE(k.key);
        const QKeySequence key(QString::fromLatin1(k.key));
        EXPECT_TRUE(Acts([&] { QTest::keySequence(frame->PreviewView(), key); }))
            << k.key << " (command " << k.command << ") does nothing";
    }
}

}  // namespace
