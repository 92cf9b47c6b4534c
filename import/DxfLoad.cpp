// One load of a DXF file into a drawing: tables, blocks and entities.
#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "import/DxfDrawing.h"
#include "import/PopulatePages.h"
#include "model/Text.h"
#include "model/HugePageHeap.h"

namespace {

struct LoadWork {
    DxfTableInput table;
    DxfBlockHeader block;
    DxfEntityWork entity;
};

void AddTableInput(DxfDrawing& d, int32_t table, const DxfTableInput& in)
{
    switch (table) {
    case DxfTableCode::Layer: {
        DxfLayer rec;
        rec.name = in.name;
        rec.flags = static_cast<uint8_t>(in.flags);
        rec.colour = static_cast<int16_t>(in.colour);
        // An unknown linetype leaves the layer without one; the load goes on.
        rec.ltypeId = DxfLTypeIdOf(d, in.ltypeName);
        DxfAddTableEntry(d, rec);
        break;
    }
    case DxfTableCode::LType: {
        DxfLType rec;
        rec.name = in.name;
        rec.flags = static_cast<uint8_t>(in.flags);
        rec.description = in.description;
        rec.dashCount = static_cast<int16_t>(in.dashCount);
        for (size_t i = 0; i < kDxfDashCount; ++i) rec.dashes[i] = in.dashes[i];
        rec.patternLength = in.patternLength;
        DxfAddTableEntry(d, rec);
        break;
    }
    case DxfTableCode::Style: {
        DxfStyle rec;
        rec.name = in.name;
        rec.flags = static_cast<uint8_t>(in.flags);
        rec.generation = static_cast<uint8_t>(in.generation);
        rec.fontFile = in.fontFile;
        rec.oblique = in.oblique;
        rec.fixedHeight = in.fixedHeight;
        rec.widthFactor = in.widthFactor;
        rec.lastHeight = in.lastHeight;
        DxfAddTableEntry(d, rec);
        break;
    }
    case DxfTableCode::DimStyle: {
        DxfDimStyle rec;
        rec.name = in.name;
        rec.flags = static_cast<uint8_t>(in.flags);
        rec.arrowSize = in.arrowSize;
        rec.arrow1 = in.arrow1;
        rec.arrow2 = in.arrow2;
        rec.dimLineColour = static_cast<int16_t>(in.dimLineColour);
        rec.extLineColour = static_cast<int16_t>(in.extLineColour);
        rec.textColour = static_cast<int16_t>(in.textColour);
        rec.dimLineExt = in.dimLineExt;
        rec.extLineExt = in.extLineExt;
        rec.extLineOffset = in.extLineOffset;
        rec.textGap = in.textGap;
        rec.textHeight = in.textHeight;
        rec.textAbove = static_cast<uint8_t>(in.textAbove);
        // No group names the text style, so this finds a style only when one
        // has an empty name; without it the entry is refused.
        rec.textStyleId = DxfStyleIdOf(d, in.textStyleName);
        DxfAddTableEntry(d, rec);
        break;
    }
    default: break;
    }
}

void ReadTables(DxfDrawing& d, DxfReader& r, DxfTableInput& in)
{
    while (r.section == DxfSectionCode::Tables) {
        const int32_t table = DxfNextTable(r);
        if (table == 0) break;
        if (table == DxfTableCode::Other) continue;  // passed over by the next seek for TABLE
        while (DxfReadTableEntry(r, in) == table) {
            AddTableInput(d, table, in);
            if (d.error != DxfLoadError::None) return;
            if (DxfCurrentTable(r) != table) break;
        }
    }
}

void ReadBlocks(DxfDrawing& d, DxfReader& r, LoadWork& work)
{
    while (r.section == DxfSectionCode::Blocks && DxfNextBlock(r, work.block)) {
        DxfBlock block;
        block.name = work.block.name;
        block.flags = static_cast<uint8_t>(work.block.flags);
        block.base = work.block.base;
        block.layerId = DxfLayerIdOf(d, work.block.layer);
        const int32_t id = DxfAddBlock(d, std::move(block));
        if (id == 0) return;  // past the bound, or no memory: the load fails
        DxfReadEntities(d, r, id, work.entity);
    }
}

DxfStore* StoreOf(DxfDrawing& d, int32_t blockId)
{
    if (blockId == 0) return &d.entities;
    const int index = DxfBlockIndexById(d, blockId);
    return index < 0 ? nullptr : &d.blocks[static_cast<size_t>(index)].store;
}

int32_t LayerIdOf(const DxfDrawing& d, const char* name, DxfEntityWork& work)
{
    if (work.lastLayerId != 0 && work.lastLayer == name) return work.lastLayerId;
    const int32_t id = DxfLayerIdOf(d, name);
    if (id != 0) {
        work.lastLayer = name;
        work.lastLayerId = id;
    }
    return id;
}

// From what the readers filled to a stored record.
void StoreEntity(DxfDrawing& d, int32_t blockId, DxfEntityWork& work)
{
    const DxfEntityInput& in = work.input;
    DxfEntityRead& rd = work.read;
    DxfEntityHeader h;
    h.type = in.type;
    h.colour = in.colour;
    h.thickness = in.thickness;
    h.ltScale = in.ltScale;
    h.layerId = in.layer[0] ? LayerIdOf(d, in.layer, work) : 0;
    h.ltypeId = in.ltype[0] ? DxfLTypeIdOf(d, in.ltype) : 0;
    DxfEntityData data;
    try {
        switch (in.type) {
        case DxfEntityType::Text: {
            DxfText t = rd.text;
            t.text = d.arena.Copy(rd.textBytes);
            t.styleId = rd.styleName[0] ? DxfStyleIdOf(d, rd.styleName) : 0;
            data = d.arena.Make(t);
            break;
        }
        case DxfEntityType::Solid: data = d.arena.Make(rd.solid); break;
        case DxfEntityType::Insert: data = d.arena.Make(rd.insert); break;
        case DxfEntityType::Polyline:
            data = DxfPolyline{d.arena.Copy(std::span<const DxfVertex>(rd.polyline.vertices)), rd.polyline.flags};
            break;
        default: break;
        }
    } catch (const std::bad_alloc&) {
        d.error = DxfLoadError::NoMemory;
        return;
    }
    switch (in.type) {
    case DxfEntityType::Line: data = rd.line; break;
    case DxfEntityType::Point: data = rd.point; break;
    case DxfEntityType::Circle: data = rd.circle; break;
    case DxfEntityType::Arc: data = rd.arc; break;
    case DxfEntityType::Solid:
    case DxfEntityType::Text:
    case DxfEntityType::Polyline: break;  // in the arena already
    case DxfEntityType::Insert: {
        DxfInsert& ins = *std::get<DxfInsert*>(data);
        // The k-th INSERT of a name draws the k-th block of that name.
        size_t nth = 0;
        try {
            nth = d.insertsByName[rd.blockName]++;
        } catch (const std::bad_alloc&) {
            d.error = DxfLoadError::NoMemory;
            return;
        }
        const int index = DxfBlockIndexForInsert(d, rd.blockName, nth);
        const bool exact = index >= 0 && d.blocksByName[rd.blockName].size() > nth;
        if (exact) {
            ins.blockId = d.blocks[static_cast<size_t>(index)].id;
            break;
        }
        DxfStore* store = StoreOf(d, blockId);
        if (!store) return;
        if (index >= 0) {
            // Fewer blocks of this name so far than INSERTs: it takes the
            // last one now, and the k-th at the end should more come.
            ins.blockId = d.blocks[static_cast<size_t>(index)].id;
            const int32_t id = DxfAddEntity(d, blockId, h, &data);
            if (id == 0) return;
            try {
                d.pendingInserts.push_back(
                    DxfPendingInsert{blockId, store->records.size() - 1, rd.blockName, nth, true});
            } catch (const std::bad_alloc&) {
                d.error = DxfLoadError::NoMemory;
            }
            return;
        }
        // Blocks may insert blocks defined after them: look again at the end.
        // Until then the record has no id, so one that is dropped then uses
        // none, and every other entity keeps the id it would have had.
        ins.blockId = 0;
        h.id = 0;
        try {
            store->records.push_back(DxfEntity{h, std::move(data)});
        } catch (const std::bad_alloc&) {
            d.error = DxfLoadError::NoMemory;
            return;
        }
        try {
            d.pendingInserts.push_back(
                DxfPendingInsert{blockId, store->records.size() - 1, rd.blockName, nth, false});
        } catch (const std::bad_alloc&) {
            store->records.pop_back();
            d.error = DxfLoadError::NoMemory;
            return;
        }
        ++store->count;
        return;
    }
    case DxfEntityType::Dimension: {
        const int index = DxfBlockIndexByName(d, rd.blockName);
        rd.dimension.blockId = index < 0 ? 0 : d.blocks[static_cast<size_t>(index)].id;
        rd.dimension.dimStyleId = DxfDimStyleIdOf(d, rd.dimStyleName);
        DxfAddEntity(d, blockId, h, nullptr);  // an id and a count, no record
        return;
    }
    default: return;  // ELLIPSE and anything else
    }
    DxfAddEntity(d, blockId, h, &data);
}

}  // namespace

void DxfResolveInserts(DxfDrawing& d)
{
    std::vector<DxfStore*> touched;
    for (const DxfPendingInsert& p : d.pendingInserts) {
        DxfStore* store = StoreOf(d, p.storeBlockId);
        if (!store || p.index >= store->records.size()) continue;
        DxfEntity& e = store->records[p.index];
        const int index = DxfBlockIndexForInsert(d, p.blockName, p.nth);
        if (index >= 0) {
            std::get<DxfInsert*>(e.data)->blockId = d.blocks[static_cast<size_t>(index)].id;
            if (!p.hasId) e.header.id = ++d.idCounter;  // added now, in the order read
        } else {
            e.header.type = DxfEntityType::None;  // no such block at all: dropped
            // Each store is swept once, however many of its INSERTs are dropped.
            if (std::find(touched.begin(), touched.end(), store) == touched.end()) touched.push_back(store);
        }
    }
    for (DxfStore* store : touched) {
        const size_t removed = std::erase_if(store->records, [](const DxfEntity& e) {
            return e.header.type == DxfEntityType::None;
        });
        store->count -= static_cast<int32_t>(removed);
    }
    d.pendingInserts.clear();
    d.insertsByName.clear();
}

// Room in the ENTITIES store for what the rest of the file holds at about 100
// bytes an entity (a short LINE), so the store rarely moves while it fills;
// pages not reached are never touched. A reservation that cannot be had is
// no error: the store then grows as it fills.
static void ReserveEntities(DxfDrawing& d, const DxfReader& r)
{
    const int64_t left = std::max<int64_t>(0, r.size - r.pos);
    try {
        d.entities.records.reserve(d.entities.records.size() + static_cast<size_t>(left / 100));
    } catch (const std::exception&) {
    }
    // Huge pages for the whole room at once: the few megabytes made present
    // at a time below seldom start on a huge page of their own.
    std::vector<DxfEntity>& records = d.entities.records;
    AdviseHugePages(records.data() + records.size(), (records.capacity() - records.size()) * sizeof(DxfEntity));
}

// The reserved records just ahead of the store's end are made present a few
// megabytes at a time, before they are written; those never reached stay
// untouched.
static size_t PopulateAhead(std::vector<DxfEntity>& records)
{
    constexpr size_t kAhead = (size_t{4} << 20) / sizeof(DxfEntity);
    const size_t stop = std::min(records.capacity(), records.size() + kAhead);
    PopulatePages(records.data() + records.size(), (stop - records.size()) * sizeof(DxfEntity));
    return stop;
}

void DxfReadEntities(DxfDrawing& d, DxfReader& r, int32_t blockId, DxfEntityWork& work, bool discard)
{
    const bool top = blockId == 0 && !discard;
    if (top) ReserveEntities(d, r);
    std::vector<DxfEntity>& records = d.entities.records;
    size_t present = top ? PopulateAhead(records) : 0;
    while (d.error == DxfLoadError::None && DxfReadEntity(r, work.input, work.read)) {
        if (!discard) StoreEntity(d, blockId, work);
        DxfProgressStep(r);
        if (top && records.size() >= present && records.size() < records.capacity()) present = PopulateAhead(records);
    }
}

int DxfLoadFile(DxfDrawing& d, int32_t targetBlockId, const std::u16string& path)
{
    return DxfLoadFileAt(d, targetBlockId, ToUtf8(path));
}

int DxfLoadFileAt(DxfDrawing& d, int32_t targetBlockId, const std::string& fsPath)
{
    if (!d.valid || fsPath.empty()) return 0;
    std::unique_ptr<DxfReader> r = DxfOpenReaderAt(fsPath);
    if (!r) return 0;
    auto work = std::make_unique<LoadWork>();
    d.error = DxfLoadError::None;
    while (d.error == DxfLoadError::None && DxfNextSection(*r) != 0) {
        switch (r->section) {
        case DxfSectionCode::Tables: ReadTables(d, *r, work->table); break;
        case DxfSectionCode::Blocks: ReadBlocks(d, *r, *work); break;
        case DxfSectionCode::Entities: DxfReadEntities(d, *r, targetBlockId, work->entity); break;
        default: break;  // HEADER and others: the next seek for SECTION passes over them
        }
    }
    // A table, block table or store past its bound, or a read that failed
    // part-way: no page with pieces missing.
    if (d.error != DxfLoadError::None || r->readFailed) {
        d.pendingInserts.clear();
        d.insertsByName.clear();
        DxfCloseReader(r);
        return 0;
    }
    DxfResolveInserts(d);
    return DxfCloseReader(r);
}
