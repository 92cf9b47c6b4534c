// Guards the task-file encoder against writing other bytes than the format
// asks for: every list, however odd (empty pages, long names, point counts on
// both sides of the 16-bit form, class numbers past 0x7FFF, another curve
// tag), must come out exactly as a plain field-by-field writer puts it.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "model/Curve.h"
#include "model/Page.h"
#include "model/TaskFile.h"

namespace {

using Pages = std::vector<std::unique_ptr<COnePage>>;

// The format written out the slow, obvious way, one byte at a time.
class Reference {
public:
    std::vector<uint8_t> Of(const Pages& pages)
    {
        Count(pages.size());
        for (const auto& p : pages) Page(*p);
        return m_b;
    }

private:
    void U8(uint32_t v) { m_b.push_back(static_cast<uint8_t>(v)); }
    void U16(uint32_t v) { U8(v & 0xFF), U8(v >> 8 & 0xFF); }
    void U32(uint32_t v) { U16(v & 0xFFFF), U16(v >> 16); }
    void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
    void I64(int64_t v)
    {
        const auto u = static_cast<uint64_t>(v);
        U32(static_cast<uint32_t>(u & 0xFFFFFFFF)), U32(static_cast<uint32_t>(u >> 32));
    }
    void Count(size_t n)
    {
        if (n < 0xFFFF) return U16(static_cast<uint32_t>(n));
        U16(0xFFFF), U32(static_cast<uint32_t>(n));
    }
    void String(const std::u16string& s)
    {
        U8(0xFF), U16(0xFFFE);
        const size_t n = s.size();
        if (n < 0xFF) U8(static_cast<uint32_t>(n));
        else if (n < 0xFFFE) U8(0xFF), U16(static_cast<uint32_t>(n));
        else U8(0xFF), U16(0xFFFF), U32(static_cast<uint32_t>(n));
        for (char16_t c : s) U16(c);
    }
    // Classes and objects numbered together from 1.
    void Object(uint32_t& cls, const char* name)
    {
        if (cls == 0) {
            U16(0xFFFF), U16(1), U16(static_cast<uint32_t>(std::strlen(name)));
            for (const char* c = name; *c; ++c) U8(static_cast<uint8_t>(*c));
            cls = m_next++;
        } else if (cls < 0x7FFF) {
            U16(0x8000 | cls);
        } else {
            U16(0x7FFF), U32(0x80000000u | cls);
        }
        ++m_next;
    }
    void Page(const COnePage& p)
    {
        Object(m_pageClass, "COnePage");
        I32(p.m_state > 2 ? 0 : p.m_state);
        for (int32_t v : {p.m_copies, p.m_cutMaxX, p.m_cutMaxY, p.m_inkMaxX, p.m_inkMaxY, p.m_maxX, p.m_minX,
                          p.m_maxY, p.m_minY})
            I32(v);
        String(p.m_strFileName);
        U32(0x8000000A), I64(p.m_time);
        Count(p.m_curves.size());
        for (const auto& c : p.m_curves) Curve(*c);
    }
    void Curve(const CCurve& c)
    {
        Object(m_curveClass, "CCurve");
        String(g_strCurveTag);
        for (int32_t v : {c.m_kind, c.m_maxX, c.m_maxY, c.m_minX, c.m_minY, c.m_lineType}) I32(v);
        Count(c.m_points.size());
        for (const PlotPoint& pt : c.m_points) I32(pt.x), I32(pt.y);
    }

    std::vector<uint8_t> m_b;
    uint32_t m_next = 1;
    uint32_t m_pageClass = 0, m_curveClass = 0;
};

class Lists {
public:
    explicit Lists(uint32_t seed) : m_rng(seed) {}

    Pages Next()
    {
        Pages pages;
        const int n = Pick({0, 1, 2, 3, 5});
        for (int i = 0; i < n; ++i) pages.push_back(Page());
        return pages;
    }
    std::u16string Text(size_t n)
    {
        std::u16string s(n, u'a');
        for (char16_t& c : s) c = static_cast<char16_t>(m_rng());
        return s;
    }
    template <class T>
    T Pick(std::initializer_list<T> from)
    {
        return from.begin()[m_rng() % from.size()];
    }

private:
    int32_t Any() { return static_cast<int32_t>(m_rng()); }
    std::unique_ptr<COnePage> Page()
    {
        auto p = std::make_unique<COnePage>();
        p->m_state = Pick({-3, 0, 1, 2, 3, 7});
        p->m_copies = Any(), p->m_cutMaxX = Any(), p->m_cutMaxY = Any(), p->m_inkMaxX = Any(), p->m_inkMaxY = Any();
        p->m_maxX = Any(), p->m_minX = Any(), p->m_maxY = Any(), p->m_minY = Any();
        p->m_startPos = Any();
        p->m_time = static_cast<int64_t>(uint64_t{m_rng()} << 32 | m_rng());
        // The long forms now and then: they are slow to build and compare.
        p->m_strFileName = Text(m_rng() % 8 == 0 ? Pick<size_t>({0xFFFD, 0xFFFE, 70000})
                                                 : Pick<size_t>({0, 1, 22, 254, 255, 300}));
        const int curves = Pick({0, 1, 3});
        for (int c = 0; c < curves; ++c) {
            auto curve = std::make_unique<CCurve>();
            curve->m_kind = Pick({1, 2, 3});
            curve->m_lineType = Pick({0, 1, -1, 7});
            curve->m_maxX = Any(), curve->m_maxY = Any(), curve->m_minX = Any(), curve->m_minY = Any();
            curve->m_bSelected = Pick({0, 1});
            const size_t points = m_rng() % 16 == 0 ? Pick<size_t>({0xFFFE, 0xFFFF}) : Pick<size_t>({0, 1, 2, 40});
            curve->m_points.resize(points);
            for (PlotPoint& pt : curve->m_points) pt = {Any(), Any()};
            p->m_curves.push_back(std::move(curve));
        }
        return p;
    }

    std::mt19937 m_rng;
};

class TaskFileEncode : public ::testing::Test {
protected:
    void TearDown() override { g_strCurveTag = u"KRVM"; }
};

}  // namespace

TEST_F(TaskFileEncode, EveryListComesOutAsTheFormatWritesIt)
{
    Lists lists(20240601);
    std::vector<uint8_t> room;  // each list stored into the last one's buffer, as the keeper does
    for (int i = 0; i < 150; ++i) {
        g_strCurveTag = lists.Pick<std::u16string>({u"KRVM", u"KRVM", u"", u"ZZZZ", lists.Text(300)});
        Pages pages = lists.Next();
        const std::vector<uint8_t> expect = Reference().Of(pages);
        std::vector<uint8_t> got = StoreTaskBytes(pages, std::move(room));
        ASSERT_EQ(got, expect) << "list " << i;
        room = std::move(got);
    }
}

TEST_F(TaskFileEncode, ClassNumbersPastTheShortFormTakeTheLongOne)
{
    // The curve class first appears after nearly 0x7FFF empty pages: its
    // number is 0x7FFD, 0x7FFE (the last short one) or 0x7FFF (the first
    // that needs the 32-bit form); the page class stays short.
    for (const int before : {0x7FFA, 0x7FFB, 0x7FFC}) {
        Pages pages;
        for (int i = 0; i < before; ++i) pages.push_back(std::make_unique<COnePage>());
        for (int i = 0; i < 3; ++i) {
            auto p = std::make_unique<COnePage>();
            for (int c = 0; c < 2; ++c) {
                auto curve = std::make_unique<CCurve>();
                curve->m_points = {{1, 2}, {3, 4}};
                p->m_curves.push_back(std::move(curve));
            }
            pages.push_back(std::move(p));
        }
        const std::vector<uint8_t> expect = Reference().Of(pages);
        EXPECT_EQ(StoreTaskBytes(pages), expect) << before;
    }
}
