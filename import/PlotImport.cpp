#include "import/PlotImport.h"

#include <new>

#include "import/DxfImport.h"
#include "import/HpglFile.h"
#include "model/ImportPreparation.h"
#include "model/Page.h"

bool IsDxfFileName(const std::u16string& path)
{
    if (path.size() < 4) return false;
    std::u16string ext = path.substr(path.size() - 4);
    for (char16_t& c : ext)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return ext == u".DXF";
}

UserMessage PlotImportMessage(PlotFormat format, int code)
{
    if (format == PlotFormat::Hpgl) {
        if (code == 0) return {};
        if (code == CHpglFile::kNoMemory) return PlotImportMessage(PlotFormat::Dxf, DxfImportResult::NoMemory);
        return {"OpenFileFailed", u"文件打开失败!", u"Open File Failed!"};
    }
    switch (code) {
    case DxfImportResult::Ok: return {};
    case DxfImportResult::NoDrawing:
    case DxfImportResult::LoadFailed: return {"OpenFileFailed", u"文件打开失败!", u"Open File Failed!"};
    case DxfImportResult::TooManyBlocks:
        return {"DxfTooManyBlocks", u"文件中的块多于程序所能容纳的数量。",
                u"the file holds more blocks than the program can take"};
    case DxfImportResult::TooManyTableEntries:
        return {"DxfTooManyTableEntries", u"文件中的图层、线型或文字样式多于程序所能容纳的数量。",
                u"the file holds more layers, linetypes or styles than the program can take"};
    case DxfImportResult::NoMemory:
        return {"DxfNoMemory", u"内存不足，无法读入该文件。", u"there is not enough memory to read the file"};
    case DxfImportResult::TooLarge:
        return {"DxfTooLarge", u"文件内容超出程序的处理上限，超出部分未导入。",
                u"the file draws more than the program can take; the rest was left out"};
    case DxfImportResult::LabelWriteFailed:
    case DxfImportResult::LabelReadFailed:
        return {"DxfLabelsMissing", u"文件中的文字无法通过标签文件读入，文字缺失。",
                u"the texts of the file could not pass through the label file; they are missing"};
    default: break;
    }
    // Size, busy and empty drawings: the DXF import's own texts.
    const std::u16string zh = DxfImportMessageText(code, 0);
    if (!zh.empty()) return {"DxfImport", zh, DxfImportMessageText(code, 1)};
    return {"OpenFileFailed", u"文件打开失败!", u"Open File Failed!"};
}

namespace {

// The HP-GL reader's code for a file refused for its size (or its labels').
constexpr int kRefusedForSize = -2;
static_assert(CHpglFile::kMaxFileSize == 8000000, "the message names the limit");

const UserMessage kHpglTooLarge{"HpglTooLarge", u"HP-GL文件大于8,000,000字节，未读取。",
                                u"The HP-GL file is larger than 8,000,000 bytes and was not read."};
const UserMessage kLabelsTooLarge{"HpglLabelsTooLarge", u"文件中的文字笔画超过8,000,000点，文件未读取。",
                                  u"The texts of the file would draw more than 8,000,000 stroke points; the file was not read."};

void ReadHpgl(const std::u16string& path, COnePage& page, PlotImportResult& r, const PlotImportOptions& options,
              PageBoundsFold& bounds)
{
    CHpglFile reader;
    reader.m_strPath = path;
    reader.m_fsPath = options.fsPath;
    reader.m_busyTest = options.busyTest;
    // A page with curves is prepared, and the preparation's clean-up starts
    // by removing repeated points: they need never be stored.
    reader.m_dropRepeatedPoints = options.prepare;
    r.code = reader.ReadPltFile();
    r.retryLater = r.code > 0;
    if (r.code == kRefusedForSize) {
        // Said for what it is: "cannot be opened" would send the operator
        // looking for a fault in the file or the folder.
        if (reader.LabelsTooLarge()) {
            r.size = PlotImportResult::Size::TooLarge;
            r.message = kLabelsTooLarge;
        } else if (reader.FileSize() > CHpglFile::kMaxFileSize) {
            r.size = PlotImportResult::Size::TooLarge;
            r.message = kHpglTooLarge;
        } else {
            r.size = PlotImportResult::Size::TooSmall;
        }
    }
    if (r.code != 0) return;
    r.read = true;
    reader.ToPage(page, true);
    bounds = reader.CurveBounds();
}

void ReadDxf(const std::u16string& path, COnePage& page, PlotImportResult& r, const PlotImportOptions& options)
{
    CDxfDrawing dxf;
    r.code = ImportDxfIntoPage(dxf, path, page, &r.entities, options.busyTest, options.fsPath);
    r.retryLater = r.code == DxfImportResult::Busy;
    // The curves read stay when only the labels or the limits failed.
    r.read = r.code == DxfImportResult::Ok || r.code == DxfImportResult::TooLarge ||
             r.code == DxfImportResult::LabelWriteFailed || r.code == DxfImportResult::LabelReadFailed;
    if (r.code == DxfImportResult::FileTooLarge) r.size = PlotImportResult::Size::TooLarge;
    if (!r.read) {
        page.DeleteAllCurves();
        return;
    }
    page.JoinConnectedCurves();
}

}  // namespace

PlotImportResult ImportPlotFile(const std::u16string& path, COnePage& page, const PlotImportOptions& options)
{
    PlotImportResult r;
    r.format = IsDxfFileName(path) ? PlotFormat::Dxf : PlotFormat::Hpgl;
    // The HP-GL reader bounds every curve as it makes it: a page that held
    // none before takes its bounds and extents from the reader's fold.
    const bool curvesBounded = page.m_curves.empty() && r.format == PlotFormat::Hpgl;
    PageBoundsFold bounds;
    page.m_strFileName = path;
    try {
        if (r.format == PlotFormat::Dxf) ReadDxf(path, page, r, options);
        else ReadHpgl(path, page, r, options, bounds);
        if (!r.message) r.message = PlotImportMessage(r.format, r.code);
    } catch (const std::bad_alloc&) {
        // A file that asks for more memory than there is: no half page.
        page.DeleteAllCurves();
        r.read = false;
        r.retryLater = false;
        r.code = r.format == PlotFormat::Dxf ? int{DxfImportResult::NoMemory} : CHpglFile::kNoMemory;
        r.message = PlotImportMessage(PlotFormat::Dxf, DxfImportResult::NoMemory);
    }
    r.hasCurves = !page.m_curves.empty();

    const bool scale = options.mil && r.format == PlotFormat::Hpgl;
    if (r.read && options.prepare && (r.hasCurves || options.prepareEmpty)) {
        // Bounds and extents included.
        r.prepared = PrepareImportedPage(page, scale);
        if (r.prepared == PrepareResult::OutOfMemory) {
            page.DeleteAllCurves();
            r.read = false;
            r.message = PlotImportMessage(PlotFormat::Dxf, DxfImportResult::NoMemory);
        } else if (r.prepared != PrepareResult::Ok && !r.message) {
            r.message = {"PrepareRefused", PrepareMessageText(r.prepared, 0), PrepareMessageText(r.prepared, 1)};
        }
    } else {
        if (r.read && !options.prepare && scale) page.ScaleAll(1.016, 1.016);
        if (curvesBounded && !scale && !page.m_curves.empty()) {
            bounds.Apply(page);
        } else {
            page.CalcPageBounds();
            // CalcInkExtents and CalcCutExtents: every curve is bounded by now.
            page.FoldExtents();
        }
    }
    r.hasCurves = !page.m_curves.empty();
    return r;
}
