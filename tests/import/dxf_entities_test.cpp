// Guards: DXF entities stored with wrong fields or ids, INSERTs of blocks defined later left unresolved, blocks or the block table ending wrongly.
#include <gtest/gtest.h>

#include <string>

#include "import/DxfDrawing.h"
#include "dxf_files.h"

using namespace dxftest;

namespace {

const std::string kTables =
    Section("TABLES", LTypeTable() + Lines("0|TABLE|2|LAYER|0|LAYER|2|CUT|70|0|62|1|6|CONTINUOUS|0|ENDTAB|"
                                           "0|TABLE|2|STYLE|0|STYLE|2|ROMAN|70|0|3|romans|0|ENDTAB"));
// Ids: CONTINUOUS 16, CUT 17, ROMAN 18.

std::vector<const DxfEntity*> Walk(DxfDrawing& d, const char* block = nullptr)
{
    std::vector<const DxfEntity*> out;
    for (auto* e = DxfEnumBlockEntities(d, block, DxfFindMode::First); e;
         e = DxfEnumBlockEntities(d, block, DxfFindMode::Next))
        out.push_back(e);
    return out;
}

}  // namespace

TEST(DxfEntities, EachStoredTypeWithItsGroups)
{
    const std::string entities = Lines(
        "0|LINE|8|CUT|6|CONTINUOUS|62|3|39|1.5|48|2.0|10|1|20|2|30|3|11|4|21|5|31|6|"
        "0|POINT|10|7|20|8|30|9|"
        "0|CIRCLE|8|NOSUCH|10|1.5|20|-2.5|30|0|40|10|"
        "0|ARC|10|1|20|2|40|3|50|45|51|90|"
        "0|TEXT|10|12.7|20|3.9|40|2.5|50|90|41|0.8|72|1|73|2|11|20|21|30|7|ROMAN|1|Size 38|"
        "0|SOLID|10|0|20|0|11|1|21|0|12|0|22|1|13|1|23|1|33|5|"
        "0|INSERT|2|PIECE|8|CUT|62|5|39|9|48|9|10|100|20|200|41|2|42|3|50|30|"
        "0|POLYLINE|66|1|70|1|10|0|20|0|"
        "0|VERTEX|10|0|20|0|42|0.5|0|VERTEX|10|10|0|VERTEX|20|10|30|1|0|SEQEND");
    const std::string blocks = Section("BLOCKS", Lines("0|BLOCK|2|PIECE|70|0|10|5|20|5|30|0|8|CUT|"
                                                       "0|LINE|10|1|20|1|11|2|21|2|0|ENDBLK"));
    Loaded l = Load(kTables + blocks + Section("ENTITIES", entities) + Eof());
    ASSERT_EQ(l.result, 1);
    ASSERT_EQ(l.d->blocks.size(), 1u);
    EXPECT_EQ(l.d->blocks[0].id, 19);
    EXPECT_EQ(l.d->blocks[0].layerId, 17);
    EXPECT_EQ(l.d->blocks[0].base.x, 5);
    auto all = Walk(*l.d);
    ASSERT_EQ(all.size(), 8u);
    for (size_t i = 0; i < all.size(); ++i) EXPECT_EQ(all[i]->header.id, static_cast<int32_t>(21 + i));

    const DxfEntityHeader& h = all[0]->header;
    EXPECT_EQ(h.type, DxfEntityType::Line);
    EXPECT_EQ(h.layerId, 17);
    EXPECT_EQ(h.ltypeId, 16);
    EXPECT_EQ(h.colour, 3);
    EXPECT_EQ(h.thickness, 1.5);
    EXPECT_EQ(h.ltScale, 2.0);
    const auto& line = std::get<DxfLine>(all[0]->data);
    EXPECT_EQ(line.start.z, 3);
    EXPECT_EQ(line.end.x, 4);
    EXPECT_EQ(line.end.z, 6);
    EXPECT_EQ(std::get<DxfPoint>(all[1]->data).at.z, 9);

    EXPECT_EQ(all[2]->header.layerId, 0);  // an unknown layer
    EXPECT_EQ(all[2]->header.colour, DxfColour::ByLayer);
    EXPECT_EQ(all[2]->header.ltScale, 1.0);
    EXPECT_EQ(std::get<DxfCircle>(all[2]->data).centre.y, -2.5);
    EXPECT_EQ(std::get<DxfCircle>(all[2]->data).radius, 10);
    const auto& arc = std::get<DxfArc>(all[3]->data);
    EXPECT_EQ(arc.startAngle, 45);
    EXPECT_EQ(arc.endAngle, 90);

    const auto& text = *std::get<const DxfText*>(all[4]->data);
    EXPECT_EQ(text.insert.x, 12.7);
    EXPECT_EQ(text.height, 2.5);
    EXPECT_EQ(text.rotation, 90);
    EXPECT_EQ(text.widthFactor, 0.8);
    EXPECT_EQ(text.justification, 0x0201);
    EXPECT_EQ(text.align.y, 30);
    EXPECT_EQ(text.styleId, 18);
    EXPECT_EQ(text.text, "Size 38");

    const auto& solid = *std::get<const DxfSolid*>(all[5]->data);
    EXPECT_EQ(solid.corners[1].x, 1);
    EXPECT_EQ(solid.corners[3].z, 5);

    const auto& ins = *std::get<DxfInsert*>(all[6]->data);
    EXPECT_EQ(all[6]->header.colour, 5);
    EXPECT_EQ(all[6]->header.thickness, 0);  // INSERT takes no thickness or scale
    EXPECT_EQ(all[6]->header.ltScale, 1.0);
    EXPECT_EQ(ins.blockId, 19);
    EXPECT_EQ(ins.insert.y, 200);
    EXPECT_EQ(ins.scaleX, 2);
    EXPECT_EQ(ins.scaleY, 3);
    EXPECT_EQ(ins.scaleZ, 1);  // default
    EXPECT_EQ(ins.rotation, 30);

    // Vertices last first; a group missing from a vertex keeps the one before.
    const auto& poly = std::get<DxfPolyline>(all[7]->data);
    EXPECT_EQ(poly.flags, 1);
    ASSERT_EQ(poly.vertices.size(), 3u);
    EXPECT_EQ(poly.vertices[0].x, 10);  // from the vertex before
    EXPECT_EQ(poly.vertices[0].y, 10);
    EXPECT_EQ(poly.vertices[0].z, 1);
    EXPECT_EQ(poly.vertices[0].bulge, 0.5);
    EXPECT_EQ(poly.vertices[1].x, 10);
    EXPECT_EQ(poly.vertices[1].y, 0);
    EXPECT_EQ(poly.vertices[1].bulge, 0.5);
    EXPECT_EQ(poly.vertices[2].x, 0);
    EXPECT_EQ(poly.vertices[2].bulge, 0.5);

    EXPECT_EQ(DxfCountEntities(*l.d), (std::vector<std::pair<std::string, int32_t>>{
                                          {"LINE", 1}, {"POINT", 1}, {"CIRCLE", 1}, {"TEXT", 1}, {"ARC", 1},
                                          {"SOLID", 1}, {"INSERT", 1}, {"POLYLINE", 1}}));
}

TEST(DxfEntities, EntitiesThatTakeNoRecord)
{
    // ELLIPSE takes no id; DIMENSION takes one and is counted but never walked;
    // an INSERT of a block that never comes is dropped and uses no id.
    Loaded l = Load(Section("ENTITIES", Lines("0|LINE|10|1|0|ELLIPSE|10|0|11|1|40|0.5|0|LINE|10|2|"
                                              "0|DIMENSION|2|*D1|3|ISO|1|<>|0|INSERT|2|NOSUCH|0|LINE|10|3|"
                                              "0|LWPOLYLINE|90|2|10|0|20|0|10|1|20|1|0|MTEXT|1|x|0|LINE|10|4")) +
                    Eof());
    ASSERT_EQ(l.result, 1);
    auto all = Walk(*l.d);
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[0]->header.id, 16);
    EXPECT_EQ(all[1]->header.id, 17);  // 18 went to the DIMENSION
    EXPECT_EQ(all[2]->header.id, 19);
    EXPECT_EQ(all[3]->header.id, 20);
    EXPECT_EQ(std::get<DxfLine>(all[3]->data).start.x, 4);
    EXPECT_EQ(l.d->entities.count, 5);
    EXPECT_EQ(l.d->idCounter, 20);

    Loaded dims = Load(Section("ENTITIES", Lines("0|DIMENSION|2|*D1|0|DIMENSION|2|*D2")) + Eof());
    EXPECT_EQ(dims.d->entities.count, 2);
    EXPECT_TRUE(Walk(*dims.d).empty());
    EXPECT_EQ(DxfEnumBlockEntities(*dims.d, nullptr, DxfFindMode::Last), nullptr);
}

TEST(DxfEntities, InsertsOfBlocksDefinedLater)
{
    // A block may insert a block that comes after it, or itself.
    Loaded l = Load(Section("BLOCKS", Lines("0|BLOCK|2|A|0|INSERT|2|B|0|INSERT|2|GONE|0|INSERT|2|A|0|ENDBLK|"
                                            "0|BLOCK|2|B|0|INSERT|2|A|0|ENDBLK")) +
                    Section("ENTITIES", Lines("0|INSERT|2|A|0|INSERT|2|C")) +
                    Section("BLOCKS", Lines("0|BLOCK|2|C|0|ENDBLK")) + Eof());
    ASSERT_EQ(l.d->blocks.size(), 3u);
    auto a = Walk(*l.d, "A");
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(std::get<DxfInsert*>(a[0]->data)->blockId, l.d->blocks[1].id);
    EXPECT_EQ(std::get<DxfInsert*>(a[1]->data)->blockId, l.d->blocks[0].id);
    EXPECT_EQ(l.d->blocks[0].store.count, 2);
    auto top = Walk(*l.d);
    ASSERT_EQ(top.size(), 2u);
    EXPECT_EQ(std::get<DxfInsert*>(top[1]->data)->blockId, l.d->blocks[2].id);
    EXPECT_TRUE(l.d->pendingInserts.empty());
    // Ids: A 16, A's INSERT A 17, B 18, B's INSERT A 19, the top INSERT A 20,
    // C 21; the INSERTs resolved at the end take theirs in the order read, and
    // the one of GONE takes none.
    EXPECT_EQ(a[1]->header.id, 17);
    EXPECT_EQ(top[0]->header.id, 20);
    EXPECT_EQ(l.d->blocks[2].id, 21);
    EXPECT_EQ(a[0]->header.id, 22);
    EXPECT_EQ(top[1]->header.id, 23);
    EXPECT_EQ(l.d->idCounter, 23);
}

TEST(DxfEntities, BlocksEmptyAndEndingInSeqend)
{
    const std::string blocks = Lines(
        "0|BLOCK|2|EMPTY|70|0|10|0|20|0|0|ENDBLK|8|0|"
        "0|BLOCK|2|POLY|70|0|0|POLYLINE|66|1|0|VERTEX|10|1|20|1|0|VERTEX|10|2|20|2|0|SEQEND|0|ENDBLK|8|0|"
        "0|BLOCK|3|LAST|0|ATTDEF|2|TAG|0|LINE|10|5|0|POLYLINE|0|VERTEX|10|9|0|SEQEND|0|ENDBLK|"
        "0|BLOCK|2|POLY|0|LINE|10|99|0|ENDBLK|"  // the same name again: kept as a second block
        "0|BLOCK|2|NOEND|0|LINE|10|11|"          // no ENDBLK: the next BLOCK ends it
        "0|BLOCK|2|NEXT|0|LINE|10|12|0|ENDBLK");
    Loaded l = Load(Section("BLOCKS", blocks) + Section("ENTITIES", Lines("0|LINE|10|7|0|INSERT|2|LAST")) + Eof());
    ASSERT_EQ(l.result, 1);
    ASSERT_EQ(l.d->blocks.size(), 6u);
    EXPECT_EQ(l.d->blocks[3].name, "POLY");
    EXPECT_EQ(std::get<DxfLine>(l.d->blocks[3].store.records.at(0).data).start.x, 99);
    EXPECT_EQ(Walk(*l.d, "NOEND").size(), 1u);
    EXPECT_EQ(Walk(*l.d, "NEXT").size(), 1u);
    EXPECT_EQ(l.d->blocks[0].name, "EMPTY");
    EXPECT_TRUE(l.d->blocks[0].store.records.empty());
    EXPECT_EQ(DxfEnumBlockEntities(*l.d, "EMPTY", DxfFindMode::First), nullptr);
    auto poly = Walk(*l.d, "POLY");
    ASSERT_EQ(poly.size(), 1u);
    EXPECT_EQ(std::get<DxfPolyline>(poly[0]->data).vertices.size(), 2u);
    auto last = Walk(*l.d, "LAST");
    ASSERT_EQ(last.size(), 2u);
    EXPECT_EQ(last[0]->header.type, DxfEntityType::Line);
    EXPECT_EQ(last[1]->header.type, DxfEntityType::Polyline);
    auto top = Walk(*l.d);
    ASSERT_EQ(top.size(), 2u);
    EXPECT_EQ(std::get<DxfLine>(top[0]->data).start.x, 7);
    EXPECT_EQ(std::get<DxfInsert*>(top[1]->data)->blockId, l.d->blocks[2].id);
}

TEST(DxfEntities, BlockTableGrowsToItsBound)
{
    std::string blocks;
    for (int i = 0; i < 300; ++i) blocks += Lines("0|BLOCK|2|B" + std::to_string(i) + "|0|LINE|10|" + std::to_string(i) + "|0|ENDBLK");
    Loaded l = Load(Section("BLOCKS", blocks) + Section("ENTITIES", Lines("0|LINE|10|-1")) + Eof());
    ASSERT_EQ(l.result, 1);
    EXPECT_EQ(l.d->blocks.size(), 300u);
    EXPECT_EQ(std::get<DxfLine>(l.d->blocks[299].store.records.at(0).data).start.x, 299);
    DxfBlock* b = DxfFindBlock(*l.d, DxfFindMode::ByName, "B7", 0);
    ASSERT_TRUE(b);
    EXPECT_EQ(DxfFindBlock(*l.d, DxfFindMode::Next, {}, 0)->name, "B8");
    EXPECT_EQ(DxfFindBlock(*l.d, DxfFindMode::Previous, {}, 0)->name, "B7");
    EXPECT_EQ(DxfFindBlock(*l.d, DxfFindMode::Last, {}, 0)->name, "B299");
    EXPECT_EQ(DxfFindBlock(*l.d, DxfFindMode::Next, {}, 0), nullptr);
    EXPECT_EQ(DxfFindBlock(*l.d, DxfFindMode::ById, {}, l.d->blocks[7].id)->name, "B7");

    // One block past the bound fails the load: no drawing with pieces missing.
    std::string many;
    many.reserve((kDxfBlockCapacity + 1) * 36);
    for (size_t i = 0; i <= kDxfBlockCapacity; ++i) many += "0\r\nBLOCK\r\n2\r\nB" + std::to_string(i) + "\r\n0\r\nENDBLK\r\n";
    Loaded full = Load(Section("BLOCKS", many) + Section("ENTITIES", Lines("0|LINE|10|-1")) + Eof());
    EXPECT_EQ(full.result, 0);
    EXPECT_EQ(full.d->error, DxfLoadError::TooManyBlocks);
    EXPECT_EQ(full.d->blocks.size(), kDxfBlockCapacity);
}

TEST(DxfEntities, SectionEndsAndTheEndOfTheFile)
{
    struct Case {
        const char* what;
        std::string file;
        size_t lines;
    };
    const Case cases[] = {
        {"no ENDSEC, no EOF", Lines("0|SECTION|2|ENTITIES|0|LINE|10|1|0|LINE|10|2"), 2},
        {"cut inside an entity", Lines("0|SECTION|2|ENTITIES|0|LINE|10|1|0|LINE|10"), 2},
        {"cut inside a vertex list", Lines("0|SECTION|2|ENTITIES|0|LINE|0|POLYLINE|0|VERTEX|10|1|0|VERTEX|20"), 2},
        // An empty ENTITIES section ends there: what follows is not read as entities.
        {"empty section", Section("ENTITIES", "") + Section("OBJECTS", Lines("0|LINE|10|1")) + Eof(), 0},
        {"only unknown entities", Section("ENTITIES", Lines("0|SEQEND|0|ATTRIB|1|x")) +
                                      Section("OBJECTS", Lines("0|LINE|10|1")) + Eof(), 0},
        {"two sections", Section("ENTITIES", Lines("0|LINE")) + Section("ENTITIES", Lines("0|LINE")) + Eof(), 2},
        // A SECTION pair ends a section left open; the next section is read as such.
        {"no ENDSEC before the next section",
         Lines("0|SECTION|2|ENTITIES|0|LINE|0|SECTION|2|BLOCKS|0|BLOCK|2|B|0|LINE|0|ENDBLK|0|ENDSEC") + Eof(), 1},
    };
    for (const Case& c : cases) {
        Loaded l = Load(c.file);
        EXPECT_EQ(l.result, 1) << c.what;
        EXPECT_EQ(l.d->entities.records.size(), c.lines) << c.what;
    }
    Loaded l = Load(Lines("0|SECTION|2|BLOCKS|0|BLOCK|2|B|0|LINE|0|SECTION|2|ENTITIES|0|INSERT|2|B") + Eof());
    ASSERT_EQ(l.d->blocks.size(), 1u);
    EXPECT_EQ(l.d->blocks[0].store.records.size(), 1u);
    ASSERT_EQ(l.d->entities.records.size(), 1u);
    EXPECT_EQ(l.d->entities.records[0].header.type, DxfEntityType::Insert);
}

TEST(DxfEntities, LongTextAndManyLines)
{
    const std::string whole(kDxfValueSize - 1, 't');
    std::string lines;
    for (int i = 0; i < 10000; ++i) lines += Lines("0|LINE|8|0|10|" + std::to_string(i) + "|20|0|11|1|21|1");
    Loaded l = Load(Section("ENTITIES", Lines("0|TEXT|1|" + whole + "|0|TEXT|1|" + whole + "xyz") + lines) + Eof());
    auto all = Walk(*l.d);
    ASSERT_EQ(all.size(), 10002u);
    EXPECT_EQ(std::get<const DxfText*>(all[0]->data)->text, whole);
    EXPECT_EQ(std::get<const DxfText*>(all[1]->data)->text, whole);
    EXPECT_EQ(std::get<DxfLine>(all[10001]->data).start.x, 9999);

    // Walk by id and last, with the offset.
    size_t at = 0;
    const DxfEntity* e = DxfEnumBlockEntities(*l.d, nullptr, DxfFindMode::ById, all[500]->header.id, &at);
    ASSERT_EQ(e, all[500]);
    EXPECT_EQ(at, 500u);
    EXPECT_EQ(DxfEnumBlockEntities(*l.d, nullptr, DxfFindMode::Last), all.back());
    EXPECT_EQ(DxfEnumBlockEntities(*l.d, nullptr, DxfFindMode::Next), nullptr);
    EXPECT_EQ(DxfEnumBlockEntities(*l.d, nullptr, DxfFindMode::Previous), nullptr);
    EXPECT_EQ(DxfEnumBlockEntities(*l.d, nullptr, DxfFindMode::ById, 1), nullptr);
}
