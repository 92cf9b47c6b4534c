// Guards: list rows, sorting, selection and edits that show or change another job than the operator chose.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <cstdlib>
#include <ctime>
#include <limits>

#include "app/commands/ContextMenus.h"
#include "app/joblist/JobListCells.h"
#include "app/joblist/JobListView.h"
#include "app/joblist/JobSort.h"
#include "jobs/OrlatCenterDoc.h"
#include "model/Settings.h"

namespace {

struct LanguageGuard {
    explicit LanguageGuard(int lang) : saved(theSettings.Get(Slot::Language)) { theSettings.Set(Slot::Language, lang); }
    ~LanguageGuard() { theSettings.Set(Slot::Language, saved); }
    int saved;
};

struct UtcGuard {
    UtcGuard()
    {
        if (const char* tz = std::getenv("TZ")) saved = tz, had = true;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    ~UtcGuard()
    {
        if (had) setenv("TZ", saved.c_str(), 1); else unsetenv("TZ");
        tzset();
    }
    std::string saved;
    bool had = false;
};

COnePage& AddJob(COrlatCenterDoc& doc, const char16_t* name, int64_t time, int state = JobState::Manual)
{
    doc.m_pages.push_back(std::make_unique<COnePage>());
    COnePage& p = *doc.m_pages.back();
    p.m_strFileName = name;
    p.m_time = time;
    p.m_state = state;
    p.m_maxX = 40000;
    p.m_maxY = 20000;
    return p;
}

std::vector<std::u16string> Names(const COrlatCenterDoc& doc)
{
    std::vector<std::u16string> n;
    for (const auto& p : doc.m_pages) n.push_back(p->m_strFileName);
    return n;
}

QString Cell(const QTableView& v, int row, int col) { return v.model()->index(row, col).data().toString(); }

}  // namespace

TEST(JobListCells, ColumnsByLanguage)
{
    struct Case {
        int language;
        const char16_t* state;
        const char16_t* size;
        int stateWidth;
        Qt::Alignment align;
    } cases[] = {
        {0, u"状态", u"Xmm*Ymm", 120, Qt::AlignLeft | Qt::AlignVCenter},
        {1, u"State", u"Size(X*Y)mm", 80, Qt::AlignCenter},
        {2, u"State", u"Ebat (X*Y)mm", 80, Qt::AlignCenter},
        {7, u"State", u"Size(X*Y)mm", 80, Qt::AlignCenter},
        {-1, u"State", u"Size(X*Y)mm", 80, Qt::AlignCenter},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        const auto cols = JobListColumnsFor(c.language);
        ASSERT_EQ(cols.size(), 7u);
        EXPECT_EQ(cols[1].title, QString::fromUtf16(c.state));
        EXPECT_EQ(cols[2].title, QString::fromUtf16(c.size));
        EXPECT_EQ(cols[1].width, c.stateWidth);
        EXPECT_EQ(cols[6].width, 500);
        for (const auto& col : cols) EXPECT_EQ(col.alignment, c.align);
    }
}

TEST(JobListCells, CellsAsTheListShowsThem)
{
    UtcGuard utc;
    COnePage p;
    p.m_strFileName = u"/data/马克 1.plt";
    p.m_minX = -40;
    p.m_maxX = 40 * 1234 + 39;  // 1235 mm less a fraction: truncated
    p.m_minY = 0;
    p.m_maxY = 40 * 1500;
    p.m_copies = -1;
    p.m_startPos = 12;
    p.m_time = 86400 * 365 + 3661;  // 1971-01-01 01:01:01 UTC
    p.m_state = JobState::Printing;

    EXPECT_EQ(JobCellText(p, 0, 0, 0), "001");
    EXPECT_EQ(JobCellText(p, 1233, 0, 0), "1234");
    EXPECT_EQ(JobCellText(p, 0, 1, 0), QStringLiteral("打印中"));
    EXPECT_EQ(JobCellText(p, 0, 1, 1), "Printing");
    EXPECT_EQ(JobCellText(p, 0, 1, 2), "Printing");
    EXPECT_EQ(JobCellText(p, 0, 2, 0), "1235 * 1500 ");
    EXPECT_EQ(JobCellText(p, 0, 3, 0), "-1");
    EXPECT_EQ(JobCellText(p, 0, 4, 0), "12mm");
    EXPECT_EQ(JobCellText(p, 0, 5, 0), "1971-01-01 01:01:01");
    EXPECT_EQ(JobCellText(p, 0, 6, 0), QStringLiteral("/data/马克 1.plt"));

    const char16_t* zh[] = {u"手动开始", u"自动开始", u"已完成"};
    const char* en[] = {"Manual", "Auto", "Done"};
    for (int s = 0; s < 3; ++s) {
        p.m_state = s;
        EXPECT_EQ(JobCellText(p, 0, 1, 0), QString::fromUtf16(zh[s]));
        EXPECT_EQ(JobCellText(p, 0, 1, 1), en[s]);
    }
    p.m_state = 9;
    EXPECT_TRUE(JobCellText(p, 0, 1, 0).isEmpty());

    // The whole int32 range: the size is formed in 64 bits.
    p.m_minX = std::numeric_limits<int32_t>::min();
    p.m_maxX = std::numeric_limits<int32_t>::max();
    EXPECT_EQ(JobCellText(p, 0, 2, 0), "107374182 * 1500 ");
    // A time local time cannot show is left empty.
    p.m_time = std::numeric_limits<int64_t>::max();
    EXPECT_TRUE(JobCellText(p, 0, 5, 0).isEmpty());
}

TEST(JobSort, HeaderClicksCycle)
{
    int mode = SortMode::None;
    std::vector<int> seen;
    for (int col : {5, 5, 5, 6, 6, 0, 4}) {
        if (auto next = NextSortMode(mode, col)) mode = *next;
        seen.push_back(mode);
    }
    EXPECT_EQ(seen, (std::vector<int>{3, 4, 3, 1, 2, 2, 2}));
}

TEST(JobSort, StableByCodeUnitAndSignedTime)
{
    COrlatCenterDoc doc;
    AddJob(doc, u"b", 5);
    AddJob(doc, u"B", -7);
    AddJob(doc, u"a", 5);
    AddJob(doc, u"b", 1);
    AddJob(doc, u"\u00e9", 3);

    SortJobs(doc.m_pages, SortMode::NameUp);
    EXPECT_EQ(Names(doc), (std::vector<std::u16string>{u"B", u"a", u"b", u"b", u"\u00e9"}));
    EXPECT_EQ(doc.m_pages[2]->m_time, 5);  // equal names keep their order
    SortJobs(doc.m_pages, SortMode::NameDown);
    EXPECT_EQ(Names(doc), (std::vector<std::u16string>{u"\u00e9", u"b", u"b", u"a", u"B"}));
    EXPECT_EQ(doc.m_pages[1]->m_time, 5);

    SortJobs(doc.m_pages, SortMode::TimeUp);
    std::vector<int64_t> times;
    for (const auto& p : doc.m_pages) times.push_back(p->m_time);
    EXPECT_EQ(times, (std::vector<int64_t>{-7, 1, 3, 5, 5}));
    EXPECT_EQ(doc.m_pages[3]->m_strFileName, u"b");  // the two 5s in their order before
    SortJobs(doc.m_pages, SortMode::TimeDown);
    EXPECT_EQ(doc.m_pages[0]->m_strFileName, u"b");
    EXPECT_EQ(doc.m_pages[1]->m_strFileName, u"a");
}

class JobListView : public ::testing::Test {
protected:
    void SetUp() override
    {
        AddJob(doc, u"c.plt", 30);
        AddJob(doc, u"a.plt", 10);
        AddJob(doc, u"b.plt", 20);
        view = std::make_unique<CMyListView>(doc);
        view->resize(800, 300);
        view->show();
        view->SetShowMessage([this](QWidget*, const QString& text) { messages << text; });
        view->SetAskNumber([this](QWidget*, const QString& prompt, double value) -> std::optional<double> {
            prompts << prompt;
            initial.push_back(value);
            if (duringDialog) duringDialog();
            return answer;
        });
    }
    void Select(std::initializer_list<int> rows)
    {
        view->clearSelection();
        for (int r : rows)
            view->selectionModel()->select(view->model()->index(r, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QPoint RowPoint(int row) { return view->visualRect(view->model()->index(row, 1)).center(); }

    LanguageGuard lang{0};
    COrlatCenterDoc doc;
    std::unique_ptr<CMyListView> view;
    QStringList messages, prompts;
    std::vector<double> initial;
    std::optional<double> answer;
    std::function<void()> duringDialog;
};

TEST_F(JobListView, RowsColoursAndResetWithoutSelection)
{
    ASSERT_EQ(view->model()->rowCount(), 3);
    EXPECT_EQ(Cell(*view, 1, 0), "002");
    EXPECT_EQ(Cell(*view, 1, 6), "a.plt");
    // What the rows show: each text in the list's text colour on its ground,
    // every file name whole in its cell.
    view->resize(1400, 300);
    QApplication::processEvents();
    const QImage shot = view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    // Anti-aliased strokes: near the text colour, far from the ground.
    auto inTextColour = [](const QColor& p) {
        return std::abs(p.red() - kJobListText.red()) < 90 && std::abs(p.green() - kJobListText.green()) < 90 &&
               std::abs(p.blue() - kJobListText.blue()) < 90;
    };
    for (int row = 0; row < 3; ++row) {
        for (int col : {0, 6}) {
            const QRect cell = view->visualRect(view->model()->index(row, col));
            int text = 0;
            for (int y = cell.top(); y <= cell.bottom(); ++y)
                for (int x = cell.left(); x <= cell.right(); ++x) text += inTextColour(shot.pixelColor(x, y));
            EXPECT_GT(text, 5) << "row " << row << " column " << col;
            if (view->currentIndex() != view->model()->index(row, col)) {  // the current cell has its own face
                EXPECT_EQ(shot.pixelColor(cell.right() - 2, cell.center().y()), kJobListBackground) << row << " " << col;
            }
        }
        const QRect name = view->visualRect(view->model()->index(row, 6));
        EXPECT_GE(name.width(), view->fontMetrics().horizontalAdvance(Cell(*view, row, 6)) + 8) << row;
    }
    Select({0, 2});
    view->RefreshJobList();
    EXPECT_TRUE(view->SelectedRows().empty());
}

TEST_F(JobListView, HeaderClicksSortTheDocument)
{
    QSignalSpy shown(view.get(), &CMyListView::jobClicked);
    QHeaderView* h = view->horizontalHeader();
    auto click = [&](int col) {
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(h->sectionViewportPosition(col) + 5, 5));
    };
    click(5);
    EXPECT_EQ(Names(doc), (std::vector<std::u16string>{u"a.plt", u"b.plt", u"c.plt"}));
    click(5);
    EXPECT_EQ(Names(doc), (std::vector<std::u16string>{u"c.plt", u"b.plt", u"a.plt"}));
    click(5);
    EXPECT_EQ(view->SortMode(), SortMode::TimeUp);
    click(6);
    EXPECT_EQ(view->SortMode(), SortMode::NameUp);
    click(6);
    EXPECT_EQ(Names(doc), (std::vector<std::u16string>{u"c.plt", u"b.plt", u"a.plt"}));
    EXPECT_EQ(Cell(*view, 0, 6), "c.plt");
    click(3);  // copies: no sort
    EXPECT_EQ(view->SortMode(), SortMode::NameDown);
    ASSERT_EQ(shown.count(), 5);
    EXPECT_EQ(shown.back().at(0).toInt(), 0);
}

TEST_F(JobListView, ClickAndArrowKeysShowTheJob)
{
    QSignalSpy shown(view.get(), &CMyListView::jobClicked);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, RowPoint(1));
    ASSERT_EQ(shown.count(), 1);
    EXPECT_EQ(shown.at(0).at(0).toInt(), 1);
    view->setFocus();
    QTest::keyClick(view.get(), Qt::Key_Down);
    ASSERT_EQ(shown.count(), 2);
    EXPECT_EQ(shown.at(1).at(0).toInt(), 2);
    // A held key's repeats show nothing until it is released.
    QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(view.get(), &repeat);
    EXPECT_EQ(shown.count(), 2);
}

TEST_F(JobListView, StatesDeleteAndMoveToFront)
{
    doc.m_pages[1]->m_copies = -1;
    Select({1});
    view->OnCommand(JobCmd::StateAuto);
    EXPECT_EQ(doc.m_pages[1]->m_state, JobState::Auto);
    EXPECT_EQ(doc.m_pages[1]->m_copies, 1);
    EXPECT_EQ(Cell(*view, 1, 1), QStringLiteral("自动开始"));

    doc.m_pages[0]->m_state = JobState::Printing;
    Select({0, 2});
    view->OnCommand(JobCmd::StateDone);
    EXPECT_EQ(doc.m_pages[0]->m_state, JobState::Printing);
    EXPECT_EQ(doc.m_pages[2]->m_state, JobState::Done);

    // Delete (key released) with the Printing job among the rows keeps it.
    Select({0, 1});
    QTest::keyClick(view.get(), Qt::Key_Delete);
    EXPECT_EQ(Names(doc), (std::vector<std::u16string>{u"c.plt", u"b.plt"}));
    EXPECT_EQ(view->model()->rowCount(), 2);

    Select({1});
    view->OnCommand(JobCmd::MoveToFront);
    EXPECT_EQ(Names(doc), (std::vector<std::u16string>{u"b.plt", u"c.plt"}));

    QSignalSpy done(view.get(), &CMyListView::deleteDoneRequested);
    view->OnCommand(JobCmd::DeleteDone);
    EXPECT_EQ(done.count(), 1);
}

TEST_F(JobListView, CopiesAndStartPosition)
{
    Select({2});
    answer = 2.7;
    view->OnCommand(JobCmd::ChangeCopies);
    EXPECT_EQ(prompts.back(), QStringLiteral("请输入份数:"));
    EXPECT_EQ(doc.m_pages[2]->m_copies, 2);
    EXPECT_EQ(Cell(*view, 2, 3), "2");

    Select({2});
    answer = 12.9;
    view->OnCommand(JobCmd::ChangeStartPos);
    EXPECT_EQ(prompts.back(), QStringLiteral("输入起始位置(mm):"));
    EXPECT_EQ(doc.m_pages[2]->m_startPos, 12);
    EXPECT_TRUE(messages.isEmpty());

    Select({2});
    answer = 1000;  // the job is 1000 mm long: refused
    view->OnCommand(JobCmd::ChangeStartPos);
    EXPECT_EQ(initial.back(), 12);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QStringLiteral("输入的起始点超过图形长度！"));
    EXPECT_EQ(doc.m_pages[2]->m_startPos, 0);

    Select({2});
    answer.reset();  // Cancel
    view->OnCommand(JobCmd::ChangeCopies);
    EXPECT_EQ(doc.m_pages[2]->m_copies, 2);
    view->clearSelection();
    const int asked = prompts.size();
    view->OnCommand(JobCmd::ChangeCopies);
    EXPECT_EQ(prompts.size(), asked);
}

TEST_F(JobListView, DialogWhoseJobIsDeletedMeanwhile)
{
    // The job itself goes while the dialog is open: nothing changes.
    Select({1});
    answer = 5;
    duringDialog = [&] { doc.DeletePage(1); view->RefreshJobList(); };
    view->OnCommand(JobCmd::ChangeCopies);
    for (const auto& p : doc.m_pages) EXPECT_EQ(p->m_copies, 1);

    // A job before it goes: the value reaches the job the dialog was for.
    Select({1});
    duringDialog = [&] { doc.DeletePage(0); view->RefreshJobList(); };
    view->OnCommand(JobCmd::ChangeStartPos);
    ASSERT_EQ(doc.m_pages.size(), 1u);
    EXPECT_EQ(doc.m_pages[0]->m_strFileName, u"b.plt");
    EXPECT_EQ(doc.m_pages[0]->m_startPos, 5);

    // Gone while the refusal message is shown.
    AddJob(doc, u"d.plt", 40).m_startPos = 7;
    view->RefreshJobList();
    Select({1});
    answer = 5000;
    duringDialog = nullptr;
    view->SetShowMessage([&](QWidget*, const QString&) { doc.DeletePage(1); });
    view->OnCommand(JobCmd::ChangeStartPos);
    ASSERT_EQ(doc.m_pages.size(), 1u);
    EXPECT_EQ(doc.m_pages[0]->m_startPos, 5);
}

TEST_F(JobListView, MenuOnRightReleaseActsOnTheJobsItOpenedFor)
{
    std::vector<int> ids;
    view->SetRunMenu([&](QMenu& menu, const QPoint&) {
        for (QAction* a : menu.actions()) {
            ids.push_back(CommandOfAction(a));
            if (a->menu())
                for (QAction* s : a->menu()->actions()) ids.push_back(CommandOfAction(s));
        }
        doc.DeletePage(0);  // an import or a deletion in the menu's loop
        view->RefreshJobList();
        return int(JobCmd::StateAuto);
    });
    QTest::mousePress(view->viewport(), Qt::RightButton, {}, RowPoint(2));
    EXPECT_TRUE(ids.empty());  // not on the press
    QTest::mouseRelease(view->viewport(), Qt::RightButton, {}, RowPoint(2));
    EXPECT_EQ(ids, (std::vector<int>{0, 3021, 3022, 3023, 3024, 3025, 3020, 3011, 3010}));
    ASSERT_EQ(doc.m_pages.size(), 2u);
    EXPECT_EQ(doc.m_pages[0]->m_state, JobState::Manual);
    EXPECT_EQ(doc.m_pages[1]->m_strFileName, u"b.plt");
    EXPECT_EQ(doc.m_pages[1]->m_state, JobState::Auto);
}

TEST_F(JobListView, RowsNameTheirJobsUntilTheNextRebuild)
{
    // A job enters at the front and the list is not rebuilt yet: row 1 still
    // shows a.plt, and a command on it reaches a.plt.
    Select({1});
    doc.m_pages.insert(doc.m_pages.begin(), std::make_unique<COnePage>());
    doc.m_pages.front()->m_strFileName = u"new.plt";
    EXPECT_EQ(view->FirstSelectedJob(), 2);
    view->OnCommand(JobCmd::StateDone);
    EXPECT_EQ(doc.m_pages[0]->m_state, JobState::Manual);
    EXPECT_EQ(doc.m_pages[2]->m_strFileName, u"a.plt");
    EXPECT_EQ(doc.m_pages[2]->m_state, JobState::Done);

    // A job gone without a rebuild is left out: rows new.plt and c.plt
    // selected, c.plt deleted meanwhile, a.plt moves up into its row.
    Select({0, 1});
    doc.DeletePage(1);
    view->OnCommand(JobCmd::DeleteSelected);
    EXPECT_EQ(Names(doc), (std::vector<std::u16string>{u"a.plt", u"b.plt"}));
}
