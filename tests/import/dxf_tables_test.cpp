// Guards: DXF table entries with clashing ids, past their capacity or looked up wrongly, and fields that overrun.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "import/DxfDrawing.h"
#include "dxf_files.h"

using namespace dxftest;

namespace {

std::string LayerEntry(const std::string& name, const std::string& ltype, int colour = 7)
{
    return Lines("0|LAYER|2|" + name + "|70|0|62|" + std::to_string(colour) + "|6|" + ltype);
}

std::string Table(const std::string& name, const std::string& entries)
{
    return Lines("0|TABLE|2|" + name + "|70|1") + entries + Lines("0|ENDTAB");
}

template <typename Record>
Record Named(const std::string& name)
{
    Record r;
    r.name = name;
    return r;
}

}  // namespace

TEST(DxfTables, IdsCapacitiesAndDuplicates)
{
    auto d = DxfCreateDrawing();
    EXPECT_EQ(DxfAddTableEntry(*d, Named<DxfLType>("CONTINUOUS")), 16);
    EXPECT_EQ(DxfAddBlock(*d, DxfBlock{0, "B", 0, {}, 0, {}}), 17);
    EXPECT_EQ(DxfAddEntity(*d, 0, DxfEntityHeader{}, nullptr), 18);  // a DIMENSION: id and count only
    EXPECT_EQ(DxfAddTableEntry(*d, Named<DxfStyle>("STANDARD")), 19);

    struct Case {
        const char* table;
        size_t capacity;
        std::function<int32_t(int)> add;
    };
    const Case cases[] = {
        {"LAYER", kDxfLayerCapacity,
         [&](int i) { auto r = Named<DxfLayer>("L" + std::to_string(i)); r.ltypeId = 16; return DxfAddTableEntry(*d, r); }},
        {"LTYPE", kDxfLTypeCapacity, [&](int i) { return DxfAddTableEntry(*d, Named<DxfLType>("T" + std::to_string(i))); }},
        {"STYLE", kDxfStyleCapacity, [&](int i) { return DxfAddTableEntry(*d, Named<DxfStyle>("S" + std::to_string(i))); }},
        {"DIMSTYLE", kDxfDimStyleCapacity,
         [&](int i) { auto r = Named<DxfDimStyle>("D" + std::to_string(i)); r.textStyleId = 19; return DxfAddTableEntry(*d, r); }},
    };
    for (const Case& c : cases) {
        int added = 0;
        int32_t last = d->idCounter;
        d->error = DxfLoadError::None;
        for (int i = 0; i < static_cast<int>(c.capacity) + 5; ++i) {
            const int32_t id = c.add(i);
            if (id == 0) continue;
            if (id != last + 1) ADD_FAILURE() << c.table << " id " << id;
            last = id;
            ++added;
        }
        // The tables that already hold one entry (LTYPE, STYLE) fill up one sooner.
        const bool prefilled = std::string(c.table) == "LTYPE" || std::string(c.table) == "STYLE";
        EXPECT_EQ(static_cast<size_t>(added), c.capacity - (prefilled ? 1 : 0)) << c.table;
        // A full table fails a load; DIMSTYLE entries, which draw nothing, are left out.
        const bool dim = std::string(c.table) == "DIMSTYLE";
        EXPECT_EQ(d->error, dim ? DxfLoadError::None : DxfLoadError::TooManyTableEntries) << c.table;
    }
    EXPECT_EQ(d->layers.entries.size(), kDxfLayerCapacity);

    // Duplicates are refused, the first stays; names are case-sensitive.
    auto d2 = DxfCreateDrawing();
    auto dashed = Named<DxfLType>("DASHED");
    dashed.description = "first";
    EXPECT_EQ(DxfAddTableEntry(*d2, dashed), 16);
    dashed.description = "second";
    EXPECT_EQ(DxfAddTableEntry(*d2, dashed), 0);
    EXPECT_EQ(d2->ltypes.entries[0].description, "first");
    EXPECT_EQ(DxfAddTableEntry(*d2, Named<DxfLType>("dashed")), 17);
    // Dependencies: a layer's linetype id must exist unless it is 0; a
    // dimension style needs its text style.
    auto layer = Named<DxfLayer>("CUT");
    layer.ltypeId = 99;
    EXPECT_EQ(DxfAddTableEntry(*d2, layer), 0);
    layer.ltypeId = 0;
    EXPECT_EQ(DxfAddTableEntry(*d2, layer), 18);
    EXPECT_EQ(DxfAddTableEntry(*d2, Named<DxfDimStyle>("ISO")), 0);
}

TEST(DxfTables, Lookups)
{
    auto d = DxfCreateDrawing();
    for (const char* n : {"A", "B", "C"}) DxfAddTableEntry(*d, Named<DxfLType>(n));  // 16, 17, 18
    DxfAddTableEntry(*d, Named<DxfStyle>("B"));                                    // 19
    DxfLType rec;
    EXPECT_EQ(DxfFindTableEntry(*d, DxfFindMode::Previous, rec), 0);
    EXPECT_EQ(DxfFindTableEntry(*d, DxfFindMode::First, rec), 16);
    EXPECT_EQ(DxfFindTableEntry(*d, DxfFindMode::Next, rec), 17);
    EXPECT_EQ(DxfFindTableEntry(*d, DxfFindMode::Next, rec), 18);
    EXPECT_EQ(DxfFindTableEntry(*d, DxfFindMode::Next, rec), 0);
    EXPECT_EQ(rec.name, "C");  // a failed lookup leaves the record alone
    EXPECT_EQ(DxfFindTableEntry(*d, DxfFindMode::Previous, rec), 17);
    EXPECT_EQ(DxfFindTableEntry(*d, DxfFindMode::Last, rec), 18);
    rec.name = "A";
    EXPECT_EQ(DxfFindTableEntry(*d, DxfFindMode::ByName, rec), 16);
    rec.id = 17;
    EXPECT_EQ(DxfFindTableEntry(*d, DxfFindMode::ById, rec), 17);
    EXPECT_EQ(rec.name, "B");
    DxfLayer none;
    EXPECT_EQ(DxfFindTableEntry(*d, DxfFindMode::First, none), 0);
    // Over all tables, LTYPE comes before STYLE.
    EXPECT_EQ(DxfFindAnyTableEntry(*d, DxfFindMode::ByName, "B", 0), 17);
    EXPECT_EQ(DxfFindAnyTableEntry(*d, DxfFindMode::ById, "", 19), 19);
    EXPECT_EQ(DxfFindAnyTableEntry(*d, DxfFindMode::ByName, "b", 0), 0);
}

TEST(DxfTables, TablesSectionReadsTheFourKnownTables)
{
    const std::string tables =
        Table("VPORT", Lines("0|VPORT|2|*ACTIVE|70|0")) + LTypeTable() +
        Table("LAYER", LayerEntry("0", "CONTINUOUS") + LayerEntry("Cut", "CONTINUOUS", -3) +
                           LayerEntry("cut", "CONTINUOUS")) +
        Table("STYLE", Lines("0|STYLE|2|STANDARD|70|0|40|0.0|41|1.0|50|0.0|71|0|42|2.5|3|txt")) +
        Table("VIEW", "") + Table("UCS", "") + Table("APPID", Lines("0|APPID|2|ACAD|70|0")) +
        Table("DIMSTYLE", Lines("0|DIMSTYLE|2|STANDARD|70|0|41|0.18|6|" + std::string(40, 'a') + "|7|ARROW2"));
    Loaded l = Load(Section("HEADER", Lines("9|$ACADVER|1|AC1009")) + Section("TABLES", tables) + Eof());
    EXPECT_EQ(l.result, 1);
    ASSERT_EQ(l.d->ltypes.entries.size(), 1u);
    EXPECT_EQ(l.d->ltypes.entries[0].id, 16);
    EXPECT_EQ(l.d->ltypes.entries[0].description, "Solid line");
    ASSERT_EQ(l.d->layers.entries.size(), 3u);
    EXPECT_EQ(l.d->layers.entries[1].name, "Cut");
    EXPECT_EQ(l.d->layers.entries[1].colour, -3);
    EXPECT_EQ(l.d->layers.entries[1].ltypeId, 16);
    EXPECT_EQ(l.d->layers.entries[2].name, "cut");
    ASSERT_EQ(l.d->styles.entries.size(), 1u);
    EXPECT_EQ(l.d->styles.entries[0].fontFile, "txt");
    EXPECT_EQ(l.d->styles.entries[0].lastHeight, 2.5);
    // No group names a dimension style's text style, so it is refused.
    EXPECT_TRUE(l.d->dimStyles.entries.empty());
    EXPECT_EQ(l.d->idCounter, 15 + 5);  // five entries added
}

TEST(DxfTables, FixedFieldsCutTheExcess)
{
    TempFolder dir;
    std::string dashes;
    for (int i = 1; i <= 35; ++i) dashes += "|49|" + std::to_string(i);
    const std::string longName(600, 'N');
    const std::string file =
        Section("TABLES", Table("LTYPE", Lines("0|LTYPE|2|" + longName + "|70|0|3|" + std::string(3000, 'd') +
                                              "|72|65|73|35" + dashes + "|40|99")) +
                              Table("DIMSTYLE", Lines("0|DIMSTYLE|2|ISO|6|" + std::string(40, 'a') + "|7|ARROW2"))) +
        Eof();
    auto r = DxfOpenReader(dir.Write("t.dxf", file));
    ASSERT_TRUE(r);
    ASSERT_EQ(DxfNextSection(*r), DxfSectionCode::Tables);
    DxfTableInput in;
    ASSERT_EQ(DxfReadTableEntry(*r, in), DxfTableCode::LType);
    EXPECT_EQ(std::string(in.name), longName.substr(0, kDxfNameSize - 1));
    EXPECT_EQ(std::string(in.description).size(), kDxfNameSize - 1);
    EXPECT_EQ(in.dashCount, 35);
    EXPECT_EQ(in.dashesRead, 30);
    EXPECT_EQ(in.dashes[29], 30.0);
    EXPECT_EQ(in.patternLength, 99.0);
    EXPECT_EQ(DxfCurrentTable(*r), DxfTableCode::None);  // ENDTAB closed it
    ASSERT_EQ(DxfReadTableEntry(*r, in), DxfTableCode::DimStyle);
    EXPECT_EQ(std::string(in.arrow1), std::string(kDxfArrowNameSize - 1, 'a'));
    EXPECT_STREQ(in.arrow2, "ARROW2");
    EXPECT_EQ(DxfCurrentSection(*r), DxfSectionCode::None);  // ENDTAB then ENDSEC

    Loaded l = Load(file);
    ASSERT_EQ(l.d->ltypes.entries.size(), 1u);
    EXPECT_EQ(l.d->ltypes.entries[0].name.size(), kDxfNameSize - 1);
    EXPECT_EQ(l.d->ltypes.entries[0].dashes[29], 30.0);
}

TEST(DxfTables, LayerLinetypesAndOddTables)
{
    struct Case {
        const char* what;
        std::string tables;
        size_t layers;
        int32_t firstLType;
    };
    std::string many;
    for (int i = 0; i < 300; ++i) many += LayerEntry("L" + std::to_string(i), "CONTINUOUS");
    const Case cases[] = {
        // An unknown linetype (also by letter case, or none named) leaves the
        // layer without one; the load goes on with the next entries.
        {"unknown linetype", LTypeTable() + Table("LAYER", LayerEntry("A", "DASHED") + LayerEntry("B", "CONTINUOUS")), 2, 0},
        {"case differs", LTypeTable() + Table("LAYER", LayerEntry("A", "continuous")), 1, 0},
        {"no group 6", LTypeTable() + Table("LAYER", Lines("0|LAYER|2|A|62|7")), 1, 0},
        {"LAYER before LTYPE", Table("LAYER", LayerEntry("A", "CONTINUOUS")) + LTypeTable(), 1, 0},
        {"known linetype", LTypeTable() + Table("LAYER", LayerEntry("A", "CONTINUOUS")), 1, 16},
        {"300 layers", LTypeTable() + Table("LAYER", many), 300, 16},
        // Entries without a single group, and an empty table.
        {"empty entries", LTypeTable() + Table("LAYER", Lines("0|LAYER|0|LAYER")) + Table("STYLE", ""), 1, 0},
        {"table without ENDTAB", LTypeTable() + Lines("0|TABLE|2|LAYER") + LayerEntry("A", "CONTINUOUS"), 1, 16},
    };
    for (const Case& c : cases) {
        Loaded l = Load(Section("TABLES", c.tables) +
                        Section("ENTITIES", Lines("0|LINE|8|A|10|1|20|2|11|3|21|4")) + Eof());
        EXPECT_EQ(l.result, 1) << c.what;
        ASSERT_EQ(l.d->layers.entries.size(), c.layers) << c.what;
        EXPECT_EQ(l.d->layers.entries[0].ltypeId, c.firstLType) << c.what;
        EXPECT_EQ(l.d->entities.records.size(), 1u) << c.what;
    }
}
