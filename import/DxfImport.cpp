#include "import/DxfImport.h"

#include <charconv>
#include <cmath>
#include <numbers>

#include "import/DxfLabelFile.h"
#include "import/HpglFile.h"
#include "model/Curve.h"
#include "model/Numeric.h"
#include "model/Page.h"
#include "model/Settings.h"
#include "model/Text.h"

static_assert(kDxfMaxLabelFileBytes == CHpglFile::kMaxFileSize, "the label file must stay readable");

namespace {

struct Conversion {
    COnePage& page;
    CDxfLabelFile& labels;
    std::vector<int32_t> expanding;  // ids of the blocks being inserted, outermost first
    int64_t entities = 0;
    int64_t points = 0;
    int result = DxfImportResult::Ok;
    bool labelsLeftOut = false;  // texts beyond the label file's limit
    // Label commands not yet written: one write per 64 KiB rather than one
    // per text. A failed write still fails the conversion that made it.
    std::string pending;
};

constexpr size_t kLabelWriteBytes = 65536;

void FlushLabels(Conversion& cv)
{
    if (cv.pending.empty()) return;
    if (!cv.labels.Write(cv.pending) && cv.result == DxfImportResult::Ok) cv.result = DxfImportResult::LabelWriteFailed;
    cv.pending.clear();
}

int Finish(Conversion& cv)
{
    FlushLabels(cv);
    return cv.labelsLeftOut && cv.result == DxfImportResult::Ok ? DxfImportResult::TooLarge : cv.result;
}

void WriteLabel(Conversion& cv, const DxfText& text)
{
    const size_t written = cv.labels.Size() + cv.pending.size();
    if (cv.labelsLeftOut || written + text.text.size() > kDxfMaxLabelFileBytes) {
        cv.labelsLeftOut = true;
        return;
    }
    const size_t before = cv.pending.size();
    DxfAppendLabelCommands(cv.pending, text, theSettings.Get(Slot::DxfUnit));
    if (written + (cv.pending.size() - before) > kDxfMaxLabelFileBytes) {
        cv.pending.resize(before);
        cv.labelsLeftOut = true;
        return;
    }
    if (cv.pending.size() >= kLabelWriteBytes) FlushLabels(cv);
}

PlotPoint ToPlot(double x, double y, double c)
{
    return PlotPoint{TruncToInt(x * c), TruncToInt(y * c)};
}

// Reserves room for n more points within the conversion's limit.
bool TakePoints(Conversion& cv, int64_t n)
{
    if (cv.points + n > kDxfMaxConvertedPoints) {
        cv.result = DxfImportResult::TooLarge;
        return false;
    }
    cv.points += n;
    return true;
}

void AddCurve(Conversion& cv, std::vector<PlotPoint> points)
{
    auto curve = std::make_unique<CCurve>();
    curve->m_kind = CurveKind::Plot;
    curve->m_points = std::move(points);
    cv.page.m_curves.push_back(std::move(curve));
}

// Hidden: an entity with a colour of its own on a layer that is off.
bool IsHidden(const DxfDrawing& d, const DxfEntityHeader& h)
{
    if (h.colour == DxfColour::ByBlock || h.colour == DxfColour::ByLayer) return false;
    const DxfLayer* layer = DxfLayerById(d, h.layerId);
    return layer && layer->colour < 0;
}

void ConvertCircle(Conversion& cv, const DxfCircle& e, double c)
{
    const double r = e.radius;
    int32_t n = TruncToInt(r * 6.28318530718 * c / 40);
    if (n < kDxfCircleMinSegments) n = kDxfCircleMinSegments;
    if (n > kDxfCircleMaxSegments) n = kDxfCircleMaxSegments;
    if (!TakePoints(cv, n + 1)) return;
    std::vector<PlotPoint> pts;
    pts.reserve(static_cast<size_t>(n) + 1);
    // i = n gives the closing point from the same formula (the rounded pi puts
    // it a hair short of the first, which truncation may show as one unit).
    for (int32_t i = 0; i <= n; ++i) {
        const double a = (2.0 * i) * 3.14159265359 / n;
        pts.push_back(ToPlot(std::cos(a) * r + e.centre.x, std::sin(a) * r + e.centre.y, c));
    }
    AddCurve(cv, std::move(pts));
}

void ConvertPolyline(Conversion& cv, const DxfPolyline& e, double c)
{
    const bool closed = (e.flags & 1) && !e.vertices.empty();
    const size_t n = e.vertices.size() + (closed ? 1 : 0);
    if (!TakePoints(cv, static_cast<int64_t>(n))) return;
    std::vector<PlotPoint> pts;
    pts.reserve(n);
    for (const DxfVertex& v : e.vertices) pts.push_back(ToPlot(v.x, v.y, c));
    if (closed) pts.push_back(pts.front());
    AddCurve(cv, std::move(pts));
}

void Convert(Conversion& cv, DxfDrawing& d, const DxfEntity& e);

void ConvertInsert(Conversion& cv, DxfDrawing& d, const DxfInsert& ins)
{
    DxfBlock* block = DxfFindBlock(d, DxfFindMode::ById, {}, ins.blockId);
    if (!block) return;
    // A block that is being inserted already (directly or through others)
    // is not expanded again.
    for (int32_t id : cv.expanding)
        if (id == block->id) return;
    cv.expanding.push_back(block->id);
    for (const DxfEntity* inner = DxfEnumStore(block->store, DxfFindMode::First); inner;
         inner = DxfEnumStore(block->store, DxfFindMode::Next)) {
        Convert(cv, d, *inner);
        if (cv.result == DxfImportResult::TooLarge) break;
    }
    cv.expanding.pop_back();
}

void Convert(Conversion& cv, DxfDrawing& d, const DxfEntity& e)
{
    if (cv.result == DxfImportResult::TooLarge) return;
    if (++cv.entities > kDxfMaxConvertedEntities) {
        cv.result = DxfImportResult::TooLarge;
        return;
    }
    const DxfEntityHeader& h = e.header;
    if (h.type != DxfEntityType::Text && IsHidden(d, h)) return;
    const double c = theSettings.Get(Slot::DxfUnit);
    if (const auto* line = std::get_if<DxfLine>(&e.data)) {
        if (!TakePoints(cv, 2)) return;
        AddCurve(cv, {ToPlot(line->start.x, line->start.y, c), ToPlot(line->end.x, line->end.y, c)});
    } else if (const auto* circle = std::get_if<DxfCircle>(&e.data)) {
        ConvertCircle(cv, *circle, c);
    } else if (const auto* poly = std::get_if<DxfPolyline>(&e.data)) {
        ConvertPolyline(cv, *poly, c);
    } else if (const auto* ins = std::get_if<DxfInsert*>(&e.data)) {
        ConvertInsert(cv, d, **ins);
    } else if (const auto* text = std::get_if<const DxfText*>(&e.data)) {
        WriteLabel(cv, **text);
    }
    // POINT, ARC and SOLID make nothing.
}

void AppendInt(std::string& out, int32_t v)
{
    char buf[16];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    (void)ec;
    out.append(buf, end);
}

void AppendFixed3(std::string& out, double v)
{
    char buf[400];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 3);
    if (ec != std::errc{}) return;
    out.append(buf, end);
}

}  // namespace

std::string DxfLabelCommands(const DxfText& text, int32_t unit)
{
    std::string out;
    DxfAppendLabelCommands(out, text, unit);
    return out;
}

void DxfAppendLabelCommands(std::string& out, const DxfText& text, int32_t unit)
{
    // The position is cut to whole drawing units before the factor.
    const int32_t x = SaturateToInt(static_cast<int64_t>(TruncToInt(text.insert.x)) * unit);
    const int32_t y = SaturateToInt(static_cast<int64_t>(TruncToInt(text.insert.y)) * unit);
    double t = text.rotation * std::numbers::pi / 180.0;
    if (!std::isfinite(t)) t = 0;  // no "nan" into the HP-GL stream
    out += "PU";
    AppendInt(out, x);
    out += ',';
    AppendInt(out, y);
    out += ";DI";
    AppendFixed3(out, std::cos(t));
    out += ',';
    AppendFixed3(out, std::sin(t));
    out += ";LB";
    // The text can only ever be a label: a terminator (or any control byte)
    // inside it would end the label and run the rest as HP-GL commands. GBK
    // trail bytes are never below 0x40, so double-byte texts pass whole.
    for (const char ch : text.text) {
        const auto b = static_cast<unsigned char>(ch);
        out += b < 0x20 || b == 0x7F ? ' ' : ch;
    }
    out += '\x03';
}

int DxfImportResult::FromLoadError(DxfLoadError error)
{
    switch (error) {
    case DxfLoadError::TooManyBlocks: return TooManyBlocks;
    case DxfLoadError::TooManyTableEntries: return TooManyTableEntries;
    case DxfLoadError::NoMemory: return NoMemory;
    default: return LoadFailed;
    }
}

int CDxfDrawing::CreateDrawing()
{
    if (m_drawing) return 0;
    m_drawing = DxfCreateDrawing();
    return m_drawing ? 1 : 0;
}

int CDxfDrawing::DestroyDrawing()
{
    return DxfDestroyDrawing(m_drawing);
}

int CDxfDrawing::CloseIfOpen()
{
    return m_drawing ? DestroyDrawing() : 0;
}

int CDxfDrawing::LoadDxf(const std::u16string& path)
{
    return LoadDxfAt(ToUtf8(path));
}

int CDxfDrawing::LoadDxfAt(const std::string& fsPath)
{
    if (!m_drawing) return 0;
    return DxfLoadFileAt(*m_drawing, 0, fsPath);
}

int CDxfDrawing::ImportToPage(COnePage& page, CDxfLabelFile& labels)
{
    if (!m_drawing || !m_drawing->valid) return DxfImportResult::NoDrawing;
    DxfDrawing& d = *m_drawing;
    Conversion cv{page, labels, {}, 0, 0, DxfImportResult::Ok, false, {}};
    // A curve or a label for most entities; blocks inserted add more as they come.
    page.m_curves.reserve(page.m_curves.size() + d.entities.records.size());
    for (const DxfEntity* e = DxfEnumBlockEntities(d, nullptr, DxfFindMode::First); e;
         e = DxfEnumBlockEntities(d, nullptr, DxfFindMode::Next)) {
        Convert(cv, d, *e);
        if (cv.result == DxfImportResult::TooLarge) break;
    }
    return Finish(cv);
}

int CDxfDrawing::ConvertDxfEntity(DxfDrawing& d, COnePage& page, const DxfEntity& e, CDxfLabelFile& labels)
{
    Conversion cv{page, labels, {}, 0, 0, DxfImportResult::Ok, false, {}};
    Convert(cv, d, e);
    return Finish(cv);
}
