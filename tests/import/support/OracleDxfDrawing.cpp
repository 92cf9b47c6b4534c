// The DXF import as it was before the compact entity store (the oracle).
#include "OracleDxfDrawing.h"

#include <new>
#include <type_traits>

namespace oracle {

namespace {

std::string Truncated(const std::string& name)
{
    return name.size() < kDxfNameSize ? name : name.substr(0, kDxfNameSize - 1);
}

template <typename Record>
bool HasId(DxfTable<Record>& t, int32_t id)
{
    return DxfSelectEntry(t, DxfFindMode::ById, {}, id) != nullptr;
}

template <typename Record>
int32_t IdOf(const DxfTable<Record>& t, std::string_view name)
{
    const auto it = t.byName.find(std::string(name));
    return it == t.byName.end() ? 0 : t.entries[it->second].id;
}

// Common part of every add: duplicate refusal, the table's bound, then the next id.
template <typename Record>
int32_t Add(DxfDrawing& d, DxfTable<Record>& t, const Record& rec)
{
    Record copy = rec;
    copy.name = Truncated(rec.name);
    if (t.byName.count(copy.name) != 0) return 0;
    if (t.entries.size() >= t.capacity) {
        // DIMSTYLE entries draw nothing: at their limit they are left out.
        if constexpr (!std::is_same_v<Record, DxfDimStyle>) d.error = DxfLoadError::TooManyTableEntries;
        return 0;
    }
    copy.id = d.idCounter + 1;
    try {
        t.byName.emplace(copy.name, t.entries.size());
        t.entries.push_back(std::move(copy));
    } catch (const std::bad_alloc&) {
        t.byName.erase(copy.name);
        d.error = DxfLoadError::NoMemory;
        return 0;
    }
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
    return std::make_unique<DxfDrawing>();
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
    const auto& layers = d.layers.entries;
    const auto it = std::lower_bound(layers.begin(), layers.end(), id,
                                     [](const DxfLayer& e, int32_t key) { return e.id < key; });
    return it != layers.end() && it->id == id ? &*it : nullptr;
}

}  // namespace oracle
