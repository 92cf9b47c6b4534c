// Guards: task files written with other bytes than the program's, damaged ones loaded in part, saves that leave a half-written file.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "model/Archive.h"
#include "model/Text.h"
#include "model/TaskFile.h"
#include "tests/support/TempFolder.h"

// Status names in failure messages.
void PrintTo(TaskFileStatus s, std::ostream* os) { *os << TaskFileStatusName(s); }

namespace {

using Pages = std::vector<std::unique_ptr<COnePage>>;

// Writes the expected bytes independently of the archive under test.
struct Bytes {
    std::vector<uint8_t> b;
    Bytes& u8(uint8_t v) { b.push_back(v); return *this; }
    Bytes& u16(uint16_t v) { return u8(static_cast<uint8_t>(v)).u8(static_cast<uint8_t>(v >> 8)); }
    Bytes& u32(uint32_t v) { return u16(static_cast<uint16_t>(v)).u16(static_cast<uint16_t>(v >> 16)); }
    Bytes& i32(int32_t v) { return u32(static_cast<uint32_t>(v)); }
    Bytes& i64(int64_t v) { return u32(static_cast<uint32_t>(v)).u32(static_cast<uint32_t>(static_cast<uint64_t>(v) >> 32)); }
    Bytes& ascii(const char* s) { while (*s) u8(static_cast<uint8_t>(*s++)); return *this; }
    Bytes& raw(std::vector<uint8_t> v) { b.insert(b.end(), v.begin(), v.end()); return *this; }
    Bytes& wstr(std::u16string_view s)  // short wide string
    {
        u8(0xFF).u16(0xFFFE).u8(static_cast<uint8_t>(s.size()));
        for (char16_t c : s) u16(c);
        return *this;
    }
    size_t size() const { return b.size(); }
};

const std::vector<uint8_t> kCurveRecord = {
    0xFF, 0xFE, 0xFF, 0x04, 0x4B, 0x00, 0x52, 0x00, 0x56, 0x00, 0x4D, 0x00,  // "KRVM"
    0x02, 0x00, 0x00, 0x00, 0x64, 0x00, 0x00, 0x00, 0x32, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x02, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x64, 0x00, 0x00, 0x00, 0x32, 0x00, 0x00, 0x00,
};

std::unique_ptr<CCurve> GoldenCurve()
{
    auto c = std::make_unique<CCurve>();
    c->m_kind = CurveKind::Cut;
    c->m_points = {{0, 0}, {100, 50}};
    c->CalcBoundRect();
    return c;
}

std::unique_ptr<COnePage> GoldenPage(int32_t state, std::u16string name, int64_t time)
{
    auto p = std::make_unique<COnePage>();
    p->m_state = state;
    p->m_copies = 3;
    p->m_cutMaxX = 100, p->m_cutMaxY = 50, p->m_inkMaxX = -1, p->m_inkMaxY = 0x01020304;
    p->m_maxX = 100, p->m_minX = 0, p->m_maxY = 50, p->m_minY = -2;
    p->m_strFileName = std::move(name);
    p->m_time = time;
    p->m_curves.push_back(GoldenCurve());
    p->m_curves.push_back(GoldenCurve());
    return p;
}

void PageRecordHead(Bytes& b, int32_t state, std::u16string_view name, int64_t time)
{
    b.i32(state).i32(3).i32(100).i32(50).i32(-1).i32(0x01020304).i32(100).i32(0).i32(50).i32(-2);
    b.wstr(name).u32(0x8000000A).i64(time);
}

Pages GoldenPages()
{
    Pages pages;
    pages.push_back(GoldenPage(JobState::Auto, u"a.plt", 0x123456789A));
    pages.push_back(GoldenPage(JobState::Done, u"\u4E2D.plt", -5));
    return pages;
}

// The two-page list, with the offsets the corruption cases patch.
struct Golden {
    std::vector<uint8_t> bytes;
    size_t pageSchema = 0, firstState = 0, firstName = 0, firstTime = 0, curveCount = 0;
    size_t curveClassName = 0, pointCount = 0, secondCurveTag = 0, secondPageTag = 0, lastCurveTag = 0, lastPointCount = 0;
};

Golden GoldenBytes()
{
    Golden g;
    Bytes b;
    b.u16(2).u16(0xFFFF);
    g.pageSchema = b.size();
    b.u16(1).u16(8).ascii("COnePage");
    g.firstState = b.size();
    PageRecordHead(b, JobState::Auto, u"a.plt", 0x123456789A);
    g.firstName = g.firstState + 40;
    g.firstTime = b.size() - 12;
    g.curveCount = b.size();
    b.u16(2).u16(0xFFFF).u16(1).u16(6);
    g.curveClassName = b.size();
    b.ascii("CCurve").raw(kCurveRecord);
    g.pointCount = b.size() - 18;
    g.secondCurveTag = b.size();
    b.u16(0x8003).raw(kCurveRecord);
    g.secondPageTag = b.size();
    b.u16(0x8001);
    PageRecordHead(b, JobState::Done, u"\u4E2D.plt", -5);
    b.u16(2).u16(0x8003).raw(kCurveRecord);
    g.lastCurveTag = b.size();
    b.u16(0x8003).raw(kCurveRecord);
    g.lastPointCount = b.size() - 18;
    g.bytes = b.b;
    return g;
}

std::vector<uint8_t> Patch(std::vector<uint8_t> b, size_t at, size_t oldLen, std::vector<uint8_t> with)
{
    b.erase(b.begin() + static_cast<std::ptrdiff_t>(at), b.begin() + static_cast<std::ptrdiff_t>(at + oldLen));
    b.insert(b.begin() + static_cast<std::ptrdiff_t>(at), with.begin(), with.end());
    return b;
}

// A target list that a failed load must leave exactly as it was.
Pages Sentinel()
{
    Pages p;
    p.push_back(std::make_unique<COnePage>());
    p[0]->m_strFileName = u"keep me";
    p[0]->m_curves.push_back(std::make_unique<CCurve>());
    return p;
}

void ExpectSentinel(const Pages& p)
{
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0]->m_strFileName, u"keep me");
    EXPECT_EQ(p[0]->m_curves.size(), 1u);
}

class TaskFile : public ::testing::Test {
protected:
    void SetUp() override { g_strCurveTag = u"KRVM"; }
    void TearDown() override { g_strCurveTag = u"KRVM"; }
};

}  // namespace

TEST_F(TaskFile, CurveRecordGoldenBytes)
{
    std::vector<uint8_t> out;
    CArchive ar(CArchive::StoreTo{out});
    GoldenCurve()->Serialize(ar);
    EXPECT_EQ(out, kCurveRecord);
    EXPECT_EQ(out.size(), 54u);

    // 0xFFFF points and more take the 32-bit count form.
    for (uint32_t n : {0xFFFEu, 0xFFFFu}) {
        CCurve big;
        big.m_points.assign(n, PlotPoint{1, 2});
        std::vector<uint8_t> bytes;
        CArchive w(CArchive::StoreTo{bytes});
        big.Serialize(w);
        const std::vector<uint8_t> expect = n == 0xFFFE ? std::vector<uint8_t>{0xFE, 0xFF}
                                                        : std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0, 0};
        EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 36, bytes.begin() + 36 + static_cast<std::ptrdiff_t>(expect.size())), expect);
        CCurve back;
        CArchive r(CArchive::LoadFrom{bytes});
        back.Serialize(r);
        EXPECT_EQ(back.m_points, big.m_points);
        EXPECT_EQ(r.Remaining(), 0u);
    }
}

TEST_F(TaskFile, FuzzSeedsAreValidFiles)
{
    namespace fs = std::filesystem;
    size_t seeds = 0;
    for (const auto& e : fs::directory_iterator(fs::path(ORLAT_TEST_DATA).parent_path() / "fuzz" / "corpus" / "taskfile")) {
        Pages pages;
        EXPECT_EQ(LoadTaskFile(FromUtf8(e.path().string()), pages), TaskFileStatus::Ok) << e.path();
        ++seeds;
    }
    EXPECT_GE(seeds, 3u);
}

TEST_F(TaskFile, TwoPageListGoldenBytesAndBack)
{
    Pages pages = GoldenPages();
    const Golden g = GoldenBytes();
    ASSERT_EQ(StoreTaskBytes(pages), g.bytes);

    Pages loaded;
    ASSERT_EQ(LoadTaskBytes(g.bytes, loaded), TaskFileStatus::Ok);
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded[0]->m_state, JobState::Auto);
    EXPECT_EQ(loaded[1]->m_state, JobState::Done);
    EXPECT_EQ(loaded[1]->m_strFileName, u"\u4E2D.plt");
    EXPECT_EQ(loaded[0]->m_time, 0x123456789A);
    EXPECT_EQ(loaded[1]->m_time, -5);
    EXPECT_EQ(loaded[0]->m_inkMaxX, -1);
    EXPECT_EQ(loaded[0]->m_inkMaxY, 0x01020304);
    EXPECT_EQ(loaded[0]->m_minY, -2);
    ASSERT_EQ(loaded[1]->m_curves.size(), 2u);
    const CCurve& c = *loaded[1]->m_curves[1];
    EXPECT_EQ(c.m_kind, CurveKind::Cut);
    EXPECT_EQ(c.m_points, (std::vector<PlotPoint>{{0, 0}, {100, 50}}));
    EXPECT_EQ(c.m_maxX, 100);
    EXPECT_EQ(c.m_maxY, 50);
    EXPECT_EQ(StoreTaskBytes(loaded), g.bytes);
}

TEST_F(TaskFile, EmptyList)
{
    Pages none;
    EXPECT_EQ(StoreTaskBytes(none), (std::vector<uint8_t>{0, 0}));
    Pages target = Sentinel();
    const std::vector<uint8_t> empty = {0, 0};
    EXPECT_EQ(LoadTaskBytes(empty, target), TaskFileStatus::Ok);
    EXPECT_TRUE(target.empty());
}

TEST_F(TaskFile, StateAndUnstoredFieldsOnRoundTrip)
{
    Pages pages;
    for (int32_t state : {int32_t{JobState::Printing}, int32_t{JobState::Done}, -4, 7}) {
        pages.push_back(std::make_unique<COnePage>());
        pages.back()->m_state = state;
        pages.back()->m_startPos = 250;
        pages.back()->m_checked = 1;
    }
    const std::vector<uint8_t> bytes = StoreTaskBytes(pages);
    // Printing (and any state above Done) becomes Manual in memory as well.
    EXPECT_EQ(pages[0]->m_state, JobState::Manual);
    EXPECT_EQ(pages[3]->m_state, JobState::Manual);
    EXPECT_EQ(pages[2]->m_state, -4);

    Pages loaded;
    ASSERT_EQ(LoadTaskBytes(bytes, loaded), TaskFileStatus::Ok);
    ASSERT_EQ(loaded.size(), 4u);
    EXPECT_EQ(loaded[0]->m_state, JobState::Manual);
    EXPECT_EQ(loaded[1]->m_state, JobState::Done);
    EXPECT_EQ(loaded[2]->m_state, -4);
    for (const auto& p : loaded) {
        EXPECT_EQ(p->m_startPos, 0);
        EXPECT_EQ(p->m_checked, 0);
        EXPECT_EQ(p->m_copies, 1);
    }

    // A stored state of 7 reads back as Manual.
    const Golden g = GoldenBytes();
    std::vector<uint8_t> seven = Patch(g.bytes, g.firstState, 4, {7, 0, 0, 0});
    ASSERT_EQ(LoadTaskBytes(seven, loaded), TaskFileStatus::Ok);
    EXPECT_EQ(loaded[0]->m_state, JobState::Manual);
}

TEST_F(TaskFile, StringLengthForms)
{
    struct Case { size_t length; std::vector<uint8_t> head; };
    const Case cases[] = {
        {254, {0xFF, 0xFE, 0xFF, 0xFE}},
        {300, {0xFF, 0xFE, 0xFF, 0xFF, 0x2C, 0x01}},
        {0xFFFD, {0xFF, 0xFE, 0xFF, 0xFF, 0xFD, 0xFF}},
        {70000, {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (const Case& c : cases) {
        Pages pages;
        pages.push_back(std::make_unique<COnePage>());
        pages[0]->m_strFileName.assign(c.length, u'\u4E2D');
        pages[0]->m_strFileName[0] = u'x';
        const std::vector<uint8_t> bytes = StoreTaskBytes(pages);
        const size_t at = 2 + 14 + 40;
        ASSERT_GE(bytes.size(), at + c.head.size());
        EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + at, bytes.begin() + static_cast<std::ptrdiff_t>(at + c.head.size())), c.head)
            << c.length;
        Pages loaded;
        ASSERT_EQ(LoadTaskBytes(bytes, loaded), TaskFileStatus::Ok);
        EXPECT_EQ(loaded[0]->m_strFileName, pages[0]->m_strFileName);
    }
}

TEST_F(TaskFile, EightBitStringsAndBareTime)
{
    const Golden g = GoldenBytes();
    // File name "中文.plt" in GBK, 8-bit form; a bare 32-bit time; the last
    // curve's tag "ABCD" in 8-bit form.
    std::vector<uint8_t> b = Patch(g.bytes, g.lastCurveTag + 2, 12, {4, 'A', 'B', 'C', 'D'});
    b = Patch(b, g.firstTime, 12, {0xFF, 0xFF, 0xFF, 0xFF});
    b = Patch(b, g.firstName, 14, {8, 0xD6, 0xD0, 0xCE, 0xC4, '.', 'p', 'l', 't'});
    Pages loaded;
    ASSERT_EQ(LoadTaskBytes(b, loaded), TaskFileStatus::Ok);
    EXPECT_EQ(loaded[0]->m_strFileName, u"\u4E2D\u6587.plt");
    EXPECT_EQ(loaded[0]->m_time, -1);
    EXPECT_EQ(g_strCurveTag, u"ABCD");

    // 0x80 is the euro sign in code page 936; a cut-off pair is replaced.
    EXPECT_EQ(FromGbk("\x80"), u"\u20AC");
    EXPECT_EQ(FromGbk("a\xD6"), u"a\uFFFD");
    EXPECT_EQ(FromGbk("\xFF" "b"), u"\uFFFDb");

    b = Patch(g.bytes, g.firstTime, 12, {0x78, 0x56, 0x34, 0x12});
    ASSERT_EQ(LoadTaskBytes(b, loaded), TaskFileStatus::Ok);
    EXPECT_EQ(loaded[0]->m_time, 0x12345678);
}

TEST_F(TaskFile, LastLoadedTagIsWrittenFromThenOn)
{
    const Golden g = GoldenBytes();
    std::vector<uint8_t> b = g.bytes;
    // The last curve carries "ZZZZ".
    const size_t tagChars = g.lastCurveTag + 2 + 4;
    for (size_t i = 0; i < 4; ++i) b[tagChars + 2 * i] = 'Z';
    Pages loaded;
    ASSERT_EQ(LoadTaskBytes(b, loaded), TaskFileStatus::Ok);
    EXPECT_EQ(g_strCurveTag, u"ZZZZ");
    std::vector<uint8_t> out;
    CArchive ar(CArchive::StoreTo{out});
    GoldenCurve()->Serialize(ar);
    EXPECT_EQ(std::vector<uint8_t>(out.begin() + 4, out.begin() + 12),
              (std::vector<uint8_t>{'Z', 0, 'Z', 0, 'Z', 0, 'Z', 0}));

    // A load that fails afterwards keeps the tag of the last good one.
    b.pop_back();
    ASSERT_NE(LoadTaskBytes(b, loaded), TaskFileStatus::Ok);
    EXPECT_EQ(g_strCurveTag, u"ZZZZ");
}

TEST_F(TaskFile, EveryCutOfAValidFileFails)
{
    const Golden g = GoldenBytes();
    for (size_t n = 0; n < g.bytes.size(); ++n) {
        Pages target = Sentinel();
        const TaskFileStatus s = LoadTaskBytes(std::span(g.bytes.data(), n), target);
        EXPECT_TRUE(s == TaskFileStatus::Truncated || s == TaskFileStatus::BadLength) << n << ": " << TaskFileStatusName(s);
        ExpectSentinel(target);
        EXPECT_EQ(g_strCurveTag, u"KRVM") << n;
    }
}

TEST_F(TaskFile, CorruptedFilesAreRefusedWholly)
{
    const Golden g = GoldenBytes();
    const std::vector<uint8_t>& v = g.bytes;
    struct Case { const char* name; std::vector<uint8_t> bytes; TaskFileStatus expect; };
    const Case cases[] = {
        {"page count 1000", Patch(v, 0, 2, {0xE8, 0x03}), TaskFileStatus::BadLength},
        {"page count 32-bit huge", Patch(v, 0, 2, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), TaskFileStatus::BadLength},
        {"curve count huge", Patch(v, g.curveCount, 2, {0xFF, 0xFF, 0, 0, 0, 0x10}), TaskFileStatus::BadLength},
        {"point count huge", Patch(v, g.pointCount, 2, {0xFF, 0xFF, 0, 0, 0, 0x20}), TaskFileStatus::BadLength},
        {"point count one too many", Patch(v, g.lastPointCount, 2, {0x03, 0x00}), TaskFileStatus::BadLength},
        {"name length huge", Patch(v, g.firstName + 3, 1, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}), TaskFileStatus::BadLength},
        {"name length 64-bit", Patch(v, g.firstName + 3, 1, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), TaskFileStatus::BadLength},
        {"class name length huge", Patch(v, g.pageSchema + 2, 2, {0xFF, 0x7F}), TaskFileStatus::BadLength},
        {"page class misnamed", Patch(v, g.pageSchema + 4, 8, {'C', 'O', 'n', 'e', 'P', 'a', 'g', 'f'}), TaskFileStatus::WrongClass},
        {"curve in a page slot", Patch(v, g.pageSchema + 2, 10, {6, 0, 'C', 'C', 'u', 'r', 'v', 'e'}), TaskFileStatus::WrongClass},
        {"page in a curve slot", Patch(v, g.curveClassName - 2, 8, {8, 0, 'C', 'O', 'n', 'e', 'P', 'a', 'g', 'e'}), TaskFileStatus::WrongClass},
        {"curve slot names the page class", Patch(v, g.secondCurveTag, 2, {0x01, 0x80}), TaskFileStatus::WrongClass},
        {"page slot names the curve class", Patch(v, g.secondPageTag, 2, {0x03, 0x80}), TaskFileStatus::WrongClass},
        {"schema 2", Patch(v, g.pageSchema, 2, {2, 0}), TaskFileStatus::BadSchema},
        {"curve schema 0", Patch(v, g.curveClassName - 4, 2, {0, 0}), TaskFileStatus::BadSchema},
        {"null page", Patch(v, g.secondPageTag, 2, {0, 0}), TaskFileStatus::BadReference},
        {"null curve", Patch(v, g.secondCurveTag, 2, {0, 0}), TaskFileStatus::BadReference},
        {"back-reference to page 2", Patch(v, g.secondPageTag, 2, {2, 0}), TaskFileStatus::BadReference},
        {"back-reference to curve 4", Patch(v, g.lastCurveTag, 2, {4, 0}), TaskFileStatus::BadReference},
        {"big back-reference", Patch(v, g.lastCurveTag, 2, {0xFF, 0x7F, 4, 0, 0, 0}), TaskFileStatus::BadReference},
        {"class reference to an object", Patch(v, g.secondPageTag, 2, {0x02, 0x80}), TaskFileStatus::BadReference},
        {"class reference unknown", Patch(v, g.secondPageTag, 2, {0x09, 0x80}), TaskFileStatus::BadReference},
        {"class reference 0", Patch(v, g.secondPageTag, 2, {0x00, 0x80}), TaskFileStatus::BadReference},
        {"curve kind 0", Patch(v, g.curveClassName + 6 + 12, 4, {0, 0, 0, 0}), TaskFileStatus::BadValue},
        {"curve kind 4", Patch(v, g.curveClassName + 6 + 12, 4, {4, 0, 0, 0}), TaskFileStatus::BadValue},
        {"curve kind -1", Patch(v, g.curveClassName + 6 + 12, 4, {0xFF, 0xFF, 0xFF, 0xFF}), TaskFileStatus::BadValue},
        {"one byte after the list", Patch(v, v.size(), 0, {0}), TaskFileStatus::TrailingData},
        {"zeros after the list", Patch(v, v.size(), 0, std::vector<uint8_t>(4096, 0)), TaskFileStatus::TrailingData},
        {"three zero bytes", std::vector<uint8_t>(3, 0), TaskFileStatus::TrailingData},
        {"a zero-filled file", std::vector<uint8_t>(65536, 0), TaskFileStatus::TrailingData},
    };
    for (const Case& c : cases) {
        Pages target = Sentinel();
        EXPECT_EQ(LoadTaskBytes(c.bytes, target), c.expect) << c.name;
        ExpectSentinel(target);
        EXPECT_EQ(g_strCurveTag, u"KRVM") << c.name;
    }
}

TEST_F(TaskFile, EveryCopiesCountTheProgramWritesLoadsBack)
{
    // The copies dialog stores what is typed and a finished job may end below
    // zero: a list holding such a job must still load.
    const Golden g = GoldenBytes();
    struct Case { int32_t copies; std::vector<uint8_t> field; };
    const Case cases[] = {
        {-1, {0xFF, 0xFF, 0xFF, 0xFF}},
        {0, {0, 0, 0, 0}},
        {INT32_MIN, {0, 0, 0, 0x80}},
        {INT32_MAX, {0xFF, 0xFF, 0xFF, 0x7F}},
    };
    for (const Case& c : cases) {
        const std::vector<uint8_t> bytes = Patch(g.bytes, g.firstState + 4, 4, c.field);
        Pages loaded;
        ASSERT_EQ(LoadTaskBytes(bytes, loaded), TaskFileStatus::Ok) << c.copies;
        ASSERT_EQ(loaded.size(), 2u);
        EXPECT_EQ(loaded[0]->m_copies, c.copies);
        EXPECT_EQ(loaded[1]->m_copies, 3);
        EXPECT_EQ(StoreTaskBytes(loaded), bytes) << c.copies;
    }
}

TEST_F(TaskFile, BigClassReferenceIsRead)
{
    // Writers with more than 0x7FFE numbers use 0x7FFF + 0x80000000|n.
    const Golden g = GoldenBytes();
    Pages loaded;
    ASSERT_EQ(LoadTaskBytes(Patch(g.bytes, g.lastCurveTag, 2, {0xFF, 0x7F, 3, 0, 0, 0x80}), loaded), TaskFileStatus::Ok);
    EXPECT_EQ(loaded[1]->m_curves.size(), 2u);

    // And our writer switches to it once the numbers reach 0x7FFF: pages
    // take 2 .. 0x8000, the curve class 0x8001 and its first curve 0x8002.
    Pages many;
    for (int i = 0; i < 0x7FFF; ++i) many.push_back(std::make_unique<COnePage>());
    many.back()->m_curves.push_back(GoldenCurve());
    many.back()->m_curves.push_back(GoldenCurve());
    const std::vector<uint8_t> bytes = StoreTaskBytes(many);
    const size_t lastTag = bytes.size() - kCurveRecord.size() - 6;
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + static_cast<std::ptrdiff_t>(lastTag), bytes.begin() + static_cast<std::ptrdiff_t>(lastTag + 6)),
              (std::vector<uint8_t>{0xFF, 0x7F, 0x01, 0x80, 0x00, 0x80}));
    Pages back;
    ASSERT_EQ(LoadTaskBytes(bytes, back), TaskFileStatus::Ok);
    EXPECT_EQ(back.size(), many.size());
    EXPECT_EQ(StoreTaskBytes(back), bytes);
}

TEST_F(TaskFile, FilesSaveInPlaceAndFailSafely)
{
    namespace fs = std::filesystem;
    testsupport::TempFolder folder("orlat_taskfile_");
    const fs::path& dir = folder.path();
    const fs::path file = dir / "任务.orlattask";
    const std::u16string path = FromUtf8(file.string());

    Pages pages = GoldenPages();
    ASSERT_EQ(SaveTaskFile(path, pages), TaskFileStatus::Ok);
    Pages loaded;
    ASSERT_EQ(LoadTaskFile(path, loaded), TaskFileStatus::Ok);
    EXPECT_EQ(StoreTaskBytes(loaded), GoldenBytes().bytes);

    // A last-task file zeroed by a crash, of any size, wipes nothing: it is
    // refused at its first bytes, and a sparse 3 GB one takes no 3 GB.
    const fs::path zeroed = dir / "zeroed.orlattask";
    { std::ofstream(zeroed, std::ios::binary).put('\0'); }
    fs::resize_file(zeroed, uintmax_t{3} << 30);
    Pages kept = Sentinel();
    EXPECT_EQ(LoadTaskFile(FromUtf8(zeroed.string()), kept), TaskFileStatus::TrailingData);
    ExpectSentinel(kept);
    fs::remove(zeroed);
    // A saved list with something after it.
    { std::ofstream(file, std::ios::binary | std::ios::app).write("x", 1); }
    EXPECT_EQ(LoadTaskFile(path, kept), TaskFileStatus::TrailingData);
    ExpectSentinel(kept);

    // Overwrite with the empty list.
    Pages none;
    ASSERT_EQ(SaveTaskFile(path, none), TaskFileStatus::Ok);
    EXPECT_EQ(fs::file_size(file), 2u);

    Pages target = Sentinel();
    EXPECT_EQ(LoadTaskFile(FromUtf8((dir / "missing").string()), target), TaskFileStatus::OpenFailed);
    EXPECT_EQ(LoadTaskFile(FromUtf8(dir.string()), target), TaskFileStatus::OpenFailed);
    EXPECT_EQ(SaveTaskFile(FromUtf8((dir / "no" / "x.orlattask").string()), pages), TaskFileStatus::WriteFailed);
    // A NUL in the name would cut it short at the system call.
    const std::u16string nul(1, u'\0');
    EXPECT_EQ(SaveTaskFile(FromUtf8((dir / "fresh").string()) + nul + u"x", pages), TaskFileStatus::WriteFailed);
    EXPECT_FALSE(fs::exists(dir / "fresh"));
    EXPECT_EQ(LoadTaskFile(path + nul + u"x", target), TaskFileStatus::OpenFailed);
    // A target that cannot be replaced: a non-empty folder of that name.
    fs::create_directories(dir / "busy" / "inner");
    EXPECT_EQ(SaveTaskFile(FromUtf8((dir / "busy").string()), pages), TaskFileStatus::ReplaceFailed);
    ExpectSentinel(target);
    // No temporary file is left behind.
    size_t entries = 0;
    for (const auto& e : fs::directory_iterator(dir)) entries += e.path().filename() != "busy" ? 1 : 0;
    EXPECT_EQ(entries, 1u);
}
