// Guards: garment-CAD pieces under a shared block name dropped, doubled or drawn from another block; too many blocks imported in part.
//
// Markers from garment CAD programs: every piece a block, inserted once at the
// origin, often several blocks under one name. Every piece reaches the page
// exactly once, or the import fails and says why.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "import/DxfFileImport.h"
#include "import/DxfImport.h"
#include "model/Page.h"
#include "model/Settings.h"
#include "dxf_files.h"
#include "tests/support/GlobalsGuard.h"

using namespace dxftest;

namespace {

// Each curve as "minX,minY-maxX,maxY kind", sorted: the pieces whatever their order.
std::vector<std::string> Boxes(COnePage& page)
{
    std::vector<std::string> out;
    for (auto& c : page.m_curves) {
        c->CalcBoundRect();
        out.push_back(std::to_string(c->m_minX) + "," + std::to_string(c->m_minY) + "-" + std::to_string(c->m_maxX) +
                      "," + std::to_string(c->m_maxY) + " k" + std::to_string(c->m_kind));
    }
    std::sort(out.begin(), out.end());
    return out;
}

// The pieces of the fixtures: piece i is a 100 x 80 mm rectangle at x = 120 i
// mm with a grain line down its middle (plot units: 40 per mm).
std::vector<std::string> Pieces(std::initializer_list<int> which, int outlineKind = CurveKind::Plot)
{
    std::vector<std::string> out;
    for (int i : which) {
        const int x0 = i * 120 * 40;
        out.push_back(std::to_string(x0) + ",0-" + std::to_string(x0 + 4000) + ",3200 k" + std::to_string(outlineKind));
        out.push_back(std::to_string(x0 + 2000) + ",400-" + std::to_string(x0 + 2000) + ",2800 k1");
    }
    std::sort(out.begin(), out.end());
    return out;
}

class DxfGarment : public ::testing::Test {
protected:
    void SetUp() override
    {
        theSettings.Set(Slot::DxfUnit, 40);
        theSettings.SetPath(Slot::ProgramDir, dir.Dir());
    }

    int Import(const std::u16string& path, COnePage& page, bool outlines = false)
    {
        CDxfDrawing dxf;
        const int result = ImportDxfIntoPage(dxf, path, page);
        page.JoinConnectedCurves();
        if (outlines) page.DetectOutlines();
        return result;
    }

    static std::u16string Fixture(const char* name) { return FromUtf8(std::string(ORLAT_TEST_DATA "/dxf/") + name); }

    testsupport::GlobalsGuard guard;
    TempFolder dir;
};

}  // namespace

TEST_F(DxfGarment, BlocksThatShareANameEachDrawTheirOwnPiece)
{
    struct Case {
        const char* file;
        std::vector<std::string> pieces;
    };
    const Case cases[] = {
        // Five blocks "DETAIL", five INSERTs: five pieces, once each.
        {"garment_shared_names.dxf", Pieces({0, 1, 2, 3, 4})},
        // The same pieces under names of their own read the same.
        {"garment_unique_names.dxf", Pieces({0, 1, 2, 3, 4})},
        // Three blocks "?????", two INSERTs: the first two pieces.
        {"garment_three_defs_two_inserts.dxf", Pieces({0, 1})},
    };
    for (const Case& c : cases) {
        COnePage page;
        ASSERT_EQ(Import(Fixture(c.file), page), DxfImportResult::Ok) << c.file;
        EXPECT_EQ(Boxes(page), c.pieces) << c.file;
    }
    // With outline search every piece's outer contour becomes one cut line.
    COnePage page;
    ASSERT_EQ(Import(Fixture("garment_shared_names.dxf"), page, true), DxfImportResult::Ok);
    EXPECT_EQ(Boxes(page), Pieces({0, 1, 2, 3, 4}, CurveKind::Cut));
}

TEST_F(DxfGarment, InsertsBeyondTheBlocksOfTheirNameTakeTheLast)
{
    // X is defined three times; four INSERTs of it, two read before any block
    // (ENTITIES first) and one in Y before the third definition. In file order
    // they are the 1st and 2nd in ENTITIES, then Y's, then Z's.
    const std::string blocks =
        Lines("0|BLOCK|2|X|0|LINE|10|1|20|0|11|1|21|1|0|ENDBLK|"
              "0|BLOCK|2|Y|0|INSERT|2|X|0|ENDBLK|"
              "0|BLOCK|2|X|0|LINE|10|2|20|0|11|2|21|1|0|ENDBLK|"
              "0|BLOCK|2|X|0|LINE|10|3|20|0|11|3|21|1|0|ENDBLK|"
              "0|BLOCK|2|Z|0|INSERT|2|X|0|ENDBLK");
    const std::string file = Section("ENTITIES", Lines("0|INSERT|2|X|0|INSERT|2|Y|0|INSERT|2|X|0|INSERT|2|Z")) +
                             Section("BLOCKS", blocks) + Eof();
    COnePage page;
    CDxfDrawing dxf;
    ASSERT_EQ(ImportDxfIntoPage(dxf, dir.Write("order.dxf", file), page), DxfImportResult::Ok);
    // In entity order: 1st -> X#1, Y's (3rd) -> X#3, 2nd -> X#2, Z's (4th, beyond) -> the last, X#3.
    std::vector<int32_t> xs;
    for (const auto& c : page.m_curves) xs.push_back(c->m_points.at(0).x);
    EXPECT_EQ(xs, (std::vector<int32_t>{40, 120, 80, 120}));
}

TEST_F(DxfGarment, AMarkerOfThreeHundredPiecesKeepsEveryOne)
{
    for (const bool shared : {false, true}) {
        std::string blocks, inserts;
        for (int i = 0; i < 300; ++i) {
            const std::string name = shared ? "?????" : "P" + std::to_string(i);
            const int x = (i % 20) * 120, y = (i / 20) * 100;
            auto at = [](int v) { return std::to_string(v); };
            blocks += Lines("0|BLOCK|2|" + name + "|0|POLYLINE|66|1|70|1|0|VERTEX|10|" + at(x) + "|20|" + at(y) +
                            "|0|VERTEX|10|" + at(x + 100) + "|20|" + at(y) + "|0|VERTEX|10|" + at(x + 100) + "|20|" +
                            at(y + 80) + "|0|VERTEX|10|" + at(x) + "|20|" + at(y + 80) + "|0|SEQEND|0|ENDBLK");
            inserts += Lines("0|INSERT|2|" + name + "|10|0|20|0");
        }
        COnePage page;
        ASSERT_EQ(Import(dir.Write("marker.dxf", Section("BLOCKS", blocks) + Section("ENTITIES", inserts) + Eof()),
                         page, true),
                  DxfImportResult::Ok);
        ASSERT_EQ(page.m_curves.size(), 300u) << shared;
        std::vector<std::string> boxes = Boxes(page);
        EXPECT_EQ(std::unique(boxes.begin(), boxes.end()), boxes.end()) << "a piece drawn twice";
        EXPECT_EQ(std::count_if(boxes.begin(), boxes.end(), [](const std::string& b) { return b.ends_with("k2"); }), 300);
    }
}

TEST_F(DxfGarment, TooManyBlocksFailTheImportWithTheirOwnResult)
{
    std::string many;
    for (size_t i = 0; i <= kDxfBlockCapacity; ++i) many += "0\r\nBLOCK\r\n2\r\nP\r\n0\r\nLINE\r\n0\r\nENDBLK\r\n";
    COnePage page;
    EXPECT_EQ(Import(dir.Write("huge.dxf", Section("BLOCKS", many) + Section("ENTITIES", Lines("0|INSERT|2|P")) + Eof()),
                     page),
              DxfImportResult::TooManyBlocks);
    EXPECT_TRUE(page.m_curves.empty());
}
