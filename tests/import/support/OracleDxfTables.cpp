// The DXF import as it was before the compact entity store (the oracle).
#include "OracleDxfTables.h"

#include <cstring>

#include "import/DxfNumber.h"

namespace oracle {

namespace {

const char* TableNameOf(int32_t table)
{
    switch (table) {
    case DxfTableCode::Layer: return "LAYER";
    case DxfTableCode::LType: return "LTYPE";
    case DxfTableCode::Style: return "STYLE";
    case DxfTableCode::DimStyle: return "DIMSTYLE";
    default: return nullptr;
    }
}

// Runs store(code, value) for every pair up to the (0, ...) pair that ends
// the entry, which is left to be read again. The mark starts right after the
// entry's own (0, name) pair, so an entry without groups cannot be found twice.
template <typename Store>
int ReadGroups(DxfReader& r, Store store)
{
    DxfSetMark(r);
    while (true) {
        DxfReadPair(r);
        if (r.code == 0) break;
        store(r.code, r.value.data());
        DxfSetMark(r);
    }
    DxfRewind(r);
    return 1;
}

}  // namespace

void DxfCopyField(char* dest, size_t cap, const char* src)
{
    size_t n = 0;
    while (n + 1 < cap && src[n] != '\0') ++n;
    std::memcpy(dest, src, n);
    dest[n] = '\0';
}

void DxfClearTableInput(DxfTableInput& in)
{
    in = DxfTableInput{};
}

int DxfReadLayer(DxfReader& r, DxfTableInput& in)
{
    DxfClearTableInput(in);
    return ReadGroups(r, [&in](int32_t code, const char* v) {
        switch (code) {
        case 2: DxfCopyField(in.name, sizeof in.name, v); break;
        case 70: in.flags = DxfAtoi(v); break;
        case 62: in.colour = DxfAtoi(v); break;
        case 6: DxfCopyField(in.ltypeName, sizeof in.ltypeName, v); break;
        default: break;
        }
    });
}

int DxfReadLType(DxfReader& r, DxfTableInput& in)
{
    DxfClearTableInput(in);
    return ReadGroups(r, [&in](int32_t code, const char* v) {
        switch (code) {
        case 2: DxfCopyField(in.name, sizeof in.name, v); break;
        case 70: in.flags = DxfAtoi(v); break;
        case 3: DxfCopyField(in.description, sizeof in.description, v); break;
        case 73: in.dashCount = DxfAtoi(v); break;
        case 49:
            // Dash lengths beyond the 30 the record holds are left out.
            if (in.dashesRead < static_cast<int32_t>(kDxfDashCount)) in.dashes[in.dashesRead++] = DxfAtof(v);
            break;
        case 40: in.patternLength = DxfAtof(v); break;
        default: break;
        }
    });
}

int DxfReadStyle(DxfReader& r, DxfTableInput& in)
{
    DxfClearTableInput(in);
    return ReadGroups(r, [&in](int32_t code, const char* v) {
        switch (code) {
        case 2: DxfCopyField(in.name, sizeof in.name, v); break;
        case 70: in.flags = DxfAtoi(v); break;
        case 71: in.generation = DxfAtoi(v); break;
        case 3: DxfCopyField(in.fontFile, sizeof in.fontFile, v); break;
        case 50: in.oblique = DxfAtof(v); break;
        case 40: in.fixedHeight = DxfAtof(v); break;
        case 41: in.widthFactor = DxfAtof(v); break;
        case 42: in.lastHeight = DxfAtof(v); break;
        default: break;
        }
    });
}

int DxfReadDimStyle(DxfReader& r, DxfTableInput& in)
{
    DxfClearTableInput(in);
    return ReadGroups(r, [&in](int32_t code, const char* v) {
        switch (code) {
        case 2: DxfCopyField(in.name, sizeof in.name, v); break;
        case 70: in.flags = DxfAtoi(v); break;
        case 41: in.arrowSize = DxfAtof(v); break;
        case 6: DxfCopyField(in.arrow1, sizeof in.arrow1, v); break;
        case 7: DxfCopyField(in.arrow2, sizeof in.arrow2, v); break;
        case 176: in.dimLineColour = DxfAtoi(v); break;
        case 177: in.extLineColour = DxfAtoi(v); break;
        case 178: in.textColour = DxfAtoi(v); break;
        case 46: in.dimLineExt = DxfAtof(v); break;
        case 44: in.extLineExt = DxfAtof(v); break;
        case 42: in.extLineOffset = DxfAtof(v); break;
        case 147: in.textGap = DxfAtof(v); break;
        case 140: in.textHeight = DxfAtof(v); break;
        case 77: in.textAbove = DxfAtoi(v); break;
        default: break;
        }
    });
}

int32_t DxfReadTableEntry(DxfReader& r, DxfTableInput& in)
{
    if (r.section != DxfSectionCode::Tables) return 0;
    if (r.table == DxfTableCode::None && DxfNextTable(r) == 0) {
        r.section = DxfSectionCode::None;
        return 0;
    }
    int32_t result = 0;
    if (const char* name = TableNameOf(r.table); name && DxfSeekGroupInSection(r, 0, name, true) == 1) {
        int ok = 0;
        switch (r.table) {
        case DxfTableCode::Layer: ok = DxfReadLayer(r, in); break;
        case DxfTableCode::LType: ok = DxfReadLType(r, in); break;
        case DxfTableCode::Style: ok = DxfReadStyle(r, in); break;
        case DxfTableCode::DimStyle: ok = DxfReadDimStyle(r, in); break;
        default: break;
        }
        if (ok) result = r.table;
    }
    DxfSetMark(r);
    DxfReadPair(r);
    if (r.code == 0 && DxfValueIs(r.value.data(), "ENDTAB")) {
        r.table = DxfTableCode::None;
        DxfSetMark(r);
        DxfReadPair(r);
        if (r.code == 0 && DxfValueIs(r.value.data(), "ENDSEC")) {
            r.section = DxfSectionCode::None;
            return result;
        }
        DxfRewind(r);
    } else if (r.code == 0 && DxfValueIs(r.value.data(), "ENDSEC")) {
        // A table left open by its file ends with the section.
        r.table = DxfTableCode::None;
        r.section = DxfSectionCode::None;
    } else {
        DxfRewind(r);
    }
    return result;
}

}  // namespace oracle
