#include "import/DxfDrawing.h"

namespace {

std::string Truncated(const std::string& name)
{
    return name.size() < kDxfNameSize ? name : name.substr(0, kDxfNameSize - 1);
}

template <typename Record>
bool HasName(const DxfTable<Record>& t, std::string_view name)
{
    for (const Record& e : t.entries)
        if (e.name == name) return true;
    return false;
}

template <typename Record>
bool HasId(const DxfTable<Record>& t, int32_t id)
{
    for (const Record& e : t.entries)
        if (e.id == id) return true;
    return false;
}

template <typename Record>
int32_t IdOf(const DxfTable<Record>& t, std::string_view name)
{
    for (size_t i = t.entries.size(); i-- > 0;)
        if (t.entries[i].name == name) return t.entries[i].id;
    return 0;
}

// Common part of every add: duplicate and capacity refusal, then the next id.
template <typename Record>
int32_t Add(DxfDrawing& d, DxfTable<Record>& t, const Record& rec)
{
    Record copy = rec;
    copy.name = Truncated(rec.name);
    if (HasName(t, copy.name) || t.entries.size() >= t.capacity) return 0;
    copy.id = d.idCounter + 1;
    t.entries.push_back(std::move(copy));
    ++d.idCounter;
    return t.entries.back().id;
}

template <typename Record>
int32_t Find(DxfTable<Record>& t, int32_t mode, Record& rec)
{
    const Record* sel = DxfSelectEntry(t, mode, rec.name, rec.id);
    if (!sel) return 0;
    rec = *sel;
    return rec.id;
}

}  // namespace

std::unique_ptr<DxfDrawing> DxfCreateDrawing()
{
    auto d = std::make_unique<DxfDrawing>();
    d->blocks.reserve(kDxfBlockCapacity);  // block pointers stay put while blocks are added
    return d;
}

int DxfDestroyDrawing(std::unique_ptr<DxfDrawing>& drawing)
{
    if (!drawing) return 0;
    drawing->valid = 0;
    drawing.reset();
    return 1;
}

int32_t DxfAddTableEntry(DxfDrawing& d, const DxfLayer& rec)
{
    // A layer whose linetype is unknown keeps linetype id 0 (checked by the
    // load); any other id must name an LTYPE entry.
    if (rec.ltypeId != 0 && !HasId(d.ltypes, rec.ltypeId)) return 0;
    return Add(d, d.layers, rec);
}

int32_t DxfAddTableEntry(DxfDrawing& d, const DxfLType& rec) { return Add(d, d.ltypes, rec); }

int32_t DxfAddTableEntry(DxfDrawing& d, const DxfStyle& rec) { return Add(d, d.styles, rec); }

int32_t DxfAddTableEntry(DxfDrawing& d, const DxfDimStyle& rec)
{
    if (!HasId(d.styles, rec.textStyleId)) return 0;
    return Add(d, d.dimStyles, rec);
}

int32_t DxfFindTableEntry(DxfDrawing& d, int32_t mode, DxfLayer& rec) { return Find(d.layers, mode, rec); }
int32_t DxfFindTableEntry(DxfDrawing& d, int32_t mode, DxfLType& rec) { return Find(d.ltypes, mode, rec); }
int32_t DxfFindTableEntry(DxfDrawing& d, int32_t mode, DxfStyle& rec) { return Find(d.styles, mode, rec); }
int32_t DxfFindTableEntry(DxfDrawing& d, int32_t mode, DxfDimStyle& rec) { return Find(d.dimStyles, mode, rec); }

int32_t DxfFindAnyTableEntry(DxfDrawing& d, int32_t mode, std::string_view name, int32_t id)
{
    if (mode != DxfFindMode::ByName && mode != DxfFindMode::ById) return 0;
    if (auto* e = DxfSelectEntry(d.dimStyles, mode, name, id)) return e->id;
    if (auto* e = DxfSelectEntry(d.layers, mode, name, id)) return e->id;
    if (auto* e = DxfSelectEntry(d.ltypes, mode, name, id)) return e->id;
    if (auto* e = DxfSelectEntry(d.styles, mode, name, id)) return e->id;
    return 0;
}

int32_t DxfLayerIdOf(const DxfDrawing& d, std::string_view name) { return IdOf(d.layers, name); }
int32_t DxfLTypeIdOf(const DxfDrawing& d, std::string_view name) { return IdOf(d.ltypes, name); }
int32_t DxfStyleIdOf(const DxfDrawing& d, std::string_view name) { return IdOf(d.styles, name); }
int32_t DxfDimStyleIdOf(const DxfDrawing& d, std::string_view name) { return IdOf(d.dimStyles, name); }

const DxfLayer* DxfLayerById(const DxfDrawing& d, int32_t id)
{
    if (id == 0) return nullptr;
    for (size_t i = d.layers.entries.size(); i-- > 0;)
        if (d.layers.entries[i].id == id) return &d.layers.entries[i];
    return nullptr;
}
