// The DXF import as it was before the compact entity store (the oracle).
#include "OracleDxfEntities.h"

#include <algorithm>

#include "import/DxfNumber.h"

namespace oracle {

namespace {

// The groups every entity may carry; INSERT takes no thickness or scale.
bool CommonGroup(DxfEntityInput& in, int32_t code, const char* v, bool withThickness)
{
    switch (code) {
    case 6: DxfCopyField(in.ltype, sizeof in.ltype, v); return true;
    case 8: DxfCopyField(in.layer, sizeof in.layer, v); return true;
    case 62: in.colour = static_cast<int16_t>(DxfAtoi(v)); return true;
    case 39:
        if (!withThickness) return false;
        in.thickness = DxfAtof(v);
        return true;
    case 48:
        if (!withThickness) return false;
        in.ltScale = DxfAtof(v);
        return true;
    default: return false;
    }
}

// Reads the entity's groups up to the (0, ...) pair that ends it and leaves
// the read position before that pair. The mark starts after the entity's own
// (0, type) pair, so an entity without groups is not read twice.
template <typename Store>
void ReadGroups(DxfReader& r, DxfEntityInput& in, bool withThickness, Store store)
{
    DxfSetMark(r);
    while (true) {
        DxfReadPair(r);
        if (r.code == 0) break;
        if (!CommonGroup(in, r.code, r.value.data(), withThickness)) store(r.code, r.value.data());
        DxfSetMark(r);
    }
    DxfRewind(r);
}

// Coordinate groups base+0 (x), base+10 (y), base+20 (z).
bool Coordinate(DxfVec3& p, int32_t base, int32_t code, const char* v)
{
    if (code == base) p.x = DxfAtof(v);
    else if (code == base + 10) p.y = DxfAtof(v);
    else if (code == base + 20) p.z = DxfAtof(v);
    else return false;
    return true;
}

bool InBlock(const DxfReader& r)
{
    return r.section == DxfSectionCode::Blocks && r.blockOpen;
}

// The read position is before the (0, "ENDBLK") pair: read it and the groups
// of the ENDBLK entity; a following ENDSEC closes the section too.
void CloseBlock(DxfReader& r)
{
    DxfReadPair(r);
    DxfPassEndBlock(r);
}

// The read position is before the (0, "ENDSEC") pair.
void CloseSection(DxfReader& r)
{
    DxfReadPair(r);
    r.blockOpen = 0;
    r.section = DxfSectionCode::None;
}

// After an entity: the (0, ...) pair in r.value, before the read position,
// may end the block or the section.
// A BLOCK pair inside an open block (its ENDBLK missing) ends it too and is
// left for the next block header; a SECTION pair (the ENDSEC missing) ends
// the section and is left for the next section.
void EndOfEntity(DxfReader& r)
{
    if (InBlock(r) && DxfValueIs(r.value.data(), "ENDBLK")) CloseBlock(r);
    else if (InBlock(r) && DxfValueIs(r.value.data(), "BLOCK")) r.blockOpen = 0;
    else if (DxfValueIs(r.value.data(), "ENDSEC")) CloseSection(r);
    else if (DxfValueIs(r.value.data(), "SECTION")) {
        r.blockOpen = 0;
        r.section = DxfSectionCode::None;
    }
}

bool EndsContainer(const DxfReader& r)
{
    if (DxfValueIs(r.value.data(), "ENDSEC") || DxfValueIs(r.value.data(), "SECTION")) return true;
    return InBlock(r) && (DxfValueIs(r.value.data(), "ENDBLK") || DxfValueIs(r.value.data(), "BLOCK"));
}

}  // namespace

void DxfInitEntity(DxfEntityInput& in)
{
    in.type = DxfEntityType::None;
    in.layer[0] = '\0';
    in.ltype[0] = '\0';
    in.colour = DxfColour::ByLayer;
    in.thickness = 0;
    in.ltScale = 1.0;
}

int DxfReadLine(DxfReader& r, DxfEntityInput& in, DxfEntityRead& d)
{
    in.type = DxfEntityType::Line;
    DxfLine& e = d.line = DxfLine{};
    ReadGroups(r, in, true, [&e](int32_t code, const char* v) {
        Coordinate(e.start, 10, code, v) || Coordinate(e.end, 11, code, v);
    });
    return 1;
}

int DxfReadPoint(DxfReader& r, DxfEntityInput& in, DxfEntityRead& d)
{
    in.type = DxfEntityType::Point;
    DxfPoint& e = d.point = DxfPoint{};
    ReadGroups(r, in, true, [&e](int32_t code, const char* v) { Coordinate(e.at, 10, code, v); });
    return 1;
}

int DxfReadCircle(DxfReader& r, DxfEntityInput& in, DxfEntityRead& d)
{
    in.type = DxfEntityType::Circle;
    DxfCircle& e = d.circle = DxfCircle{};
    ReadGroups(r, in, true, [&e](int32_t code, const char* v) {
        if (code == 40) e.radius = DxfAtof(v);
        else Coordinate(e.centre, 10, code, v);
    });
    return 1;
}

int DxfReadArc(DxfReader& r, DxfEntityInput& in, DxfEntityRead& d)
{
    in.type = DxfEntityType::Arc;
    DxfArc& e = d.arc = DxfArc{};
    ReadGroups(r, in, true, [&e](int32_t code, const char* v) {
        if (code == 40) e.radius = DxfAtof(v);
        else if (code == 50) e.startAngle = DxfAtof(v);
        else if (code == 51) e.endAngle = DxfAtof(v);
        else Coordinate(e.centre, 10, code, v);
    });
    return 1;
}

int DxfReadEllipse(DxfReader& r, DxfEntityInput& in, DxfEntityRead& d)
{
    in.type = DxfEntityType::Ellipse;
    DxfEllipse& e = d.ellipse = DxfEllipse{};
    ReadGroups(r, in, true, [&e](int32_t code, const char* v) {
        if (code == 40) e.ratio = DxfAtof(v);
        else if (code == 41) e.startParam = DxfAtof(v);
        else if (code == 42) e.endParam = DxfAtof(v);
        else Coordinate(e.centre, 10, code, v) || Coordinate(e.majorEnd, 11, code, v);
    });
    return 1;
}

int DxfReadText(DxfReader& r, DxfEntityInput& in, DxfEntityRead& d)
{
    in.type = DxfEntityType::Text;
    DxfText& e = d.text;
    std::string keep = std::move(e.text);  // its capacity is reused
    e = DxfText{};
    e.text = std::move(keep);
    e.text.clear();
    d.styleName[0] = '\0';
    ReadGroups(r, in, true, [&e, &d](int32_t code, const char* v) {
        switch (code) {
        case 40: e.height = DxfAtof(v); break;
        case 50: e.rotation = DxfAtof(v); break;
        case 41: e.widthFactor = DxfAtof(v); break;
        case 72:
            e.justification = static_cast<int16_t>((e.justification & 0xFF00) | (DxfAtoi(v) & 0xFF));
            break;
        case 73:
            e.justification = static_cast<int16_t>((e.justification & 0x00FF) | ((DxfAtoi(v) & 0xFF) << 8));
            break;
        case 7: DxfCopyField(d.styleName, sizeof d.styleName, v); break;
        case 1: e.text.assign(v); break;
        default: Coordinate(e.insert, 10, code, v) || Coordinate(e.align, 11, code, v); break;
        }
    });
    return 1;
}

int DxfReadSolid(DxfReader& r, DxfEntityInput& in, DxfEntityRead& d)
{
    in.type = DxfEntityType::Solid;
    DxfSolid& e = d.solid = DxfSolid{};
    ReadGroups(r, in, true, [&e](int32_t code, const char* v) {
        for (int32_t i = 0; i < 4; ++i)
            if (Coordinate(e.corners[i], 10 + i, code, v)) return;
    });
    return 1;
}

int DxfReadInsert(DxfReader& r, DxfEntityInput& in, DxfEntityRead& d)
{
    in.type = DxfEntityType::Insert;
    DxfInsert& e = d.insert = DxfInsert{};
    d.blockName[0] = '\0';
    ReadGroups(r, in, false, [&e, &d](int32_t code, const char* v) {
        switch (code) {
        case 41: e.scaleX = DxfAtof(v); break;
        case 42: e.scaleY = DxfAtof(v); break;
        case 43: e.scaleZ = DxfAtof(v); break;
        case 50: e.rotation = DxfAtof(v); break;
        case 2: DxfCopyField(d.blockName, sizeof d.blockName, v); break;
        default: Coordinate(e.insert, 10, code, v); break;
        }
    });
    return 1;
}

int DxfReadPolyline(DxfReader& r, DxfEntityInput& in, DxfEntityRead& d)
{
    in.type = DxfEntityType::Polyline;
    DxfPolyline& e = d.polyline;
    e.vertices.clear();
    e.flags = 0;
    // The POLYLINE's own groups; the read position is left after the pair that
    // ended them, the mark before it.
    DxfSetMark(r);
    while (true) {
        DxfReadPair(r);
        if (r.code == 0) break;
        if (!CommonGroup(in, r.code, r.value.data(), true) && r.code == 70)
            e.flags = static_cast<int16_t>(DxfAtoi(r.value.data()));
        DxfSetMark(r);
    }
    // A group missing from a vertex keeps the value of the vertex before.
    DxfVertex v;
    while (r.code == 0 && DxfValueIs(r.value.data(), "VERTEX")) {
        DxfSetMark(r);
        while (true) {
            DxfReadPair(r);
            if (r.code == 0) break;
            const char* s = r.value.data();
            switch (r.code) {
            case 10: v.x = DxfAtof(s); break;
            case 20: v.y = DxfAtof(s); break;
            case 30: v.z = DxfAtof(s); break;
            case 42: v.bulge = DxfAtof(s); break;
            default: break;
            }
            DxfSetMark(r);
        }
        e.vertices.push_back(v);
    }
    // The pair that ended the list (normally SEQEND) is read again later.
    DxfRewind(r);
    std::reverse(e.vertices.begin(), e.vertices.end());
    return 1;
}

int DxfReadDimension(DxfReader& r, DxfEntityInput& in, DxfEntityRead& d)
{
    in.type = DxfEntityType::Dimension;
    DxfDimension& e = d.dimension = DxfDimension{};
    d.blockName[0] = '\0';
    d.dimStyleName[0] = '\0';
    d.dimText[0] = '\0';
    ReadGroups(r, in, true, [&e, &d](int32_t code, const char* v) {
        switch (code) {
        case 53: e.textRotation = DxfAtof(v); break;
        case 2: DxfCopyField(d.blockName, sizeof d.blockName, v); break;
        case 3: DxfCopyField(d.dimStyleName, sizeof d.dimStyleName, v); break;
        case 1: DxfCopyField(d.dimText, sizeof d.dimText, v); break;
        default:
            Coordinate(e.p13, 13, code, v) || Coordinate(e.p14, 14, code, v) || Coordinate(e.p10, 10, code, v);
            break;
        }
    });
    return 1;
}

int DxfReadEntity(DxfReader& r, DxfEntityInput& in, DxfEntityRead& d)
{
    if (r.section != DxfSectionCode::Entities && !InBlock(r)) return 0;
    DxfSetMark(r);
    DxfReadPair(r);
    if (r.code != 0) {
        DxfRewind(r);
        return 0;
    }
    using Reader = int (*)(DxfReader&, DxfEntityInput&, DxfEntityRead&);
    struct Known {
        const char* name;
        Reader read;
    };
    static constexpr Known known[] = {
        {"LINE", DxfReadLine},     {"POINT", DxfReadPoint}, {"CIRCLE", DxfReadCircle},
        {"ELLIPSE", DxfReadEllipse}, {"TEXT", DxfReadText},  {"ARC", DxfReadArc},
        {"SOLID", DxfReadSolid},   {"INSERT", DxfReadInsert}, {"POLYLINE", DxfReadPolyline},
        {"DIMENSION", DxfReadDimension},
    };
    while (true) {
        // An end pair ends the block or section even with no entity before it.
        if (EndsContainer(r)) {
            DxfRewind(r);
            EndOfEntity(r);
            return 0;
        }
        DxfInitEntity(in);
        for (const Known& k : known) {
            if (DxfValueIs(r.value.data(), k.name)) {
                k.read(r, in, d);
                EndOfEntity(r);
                return 1;
            }
        }
        // An entity the library does not keep: pass over its groups.
        do {
            DxfSetMark(r);
            DxfReadPair(r);
        } while (r.code != 0);
        if (!EndsContainer(r) && DxfAtEnd(r)) return 0;
    }
}

}  // namespace oracle
