#include "jobs/PlotFileRead.h"

#include <new>

#include "import/DxfImport.h"
#include "model/Text.h"

namespace {

const UserMessage kOutOfMemory{"ImportNoMemory", u"内存不足，无法读入该文件。",
                               u"there is not enough memory to read the file"};
const UserMessage kPartial{"ImportPartial", u"文件只读入一部分，任务设为手动。",
                           u"The file was read in part; the job is set to Manual."};

PlotReadResult Read(const std::u16string& path, bool mil, bool dataDir, const std::string& fsPath)
{
    PlotReadResult r;
    auto page = std::make_unique<COnePage>();
    PlotImportOptions options;
    options.mil = mil;
    options.prepareEmpty = dataDir;
    options.fsPath = fsPath;
    r.import = ImportPlotFile(path, *page, options);
    r.message = r.import.message;
    if (r.import.retryLater) return r;  // NotReady: busy HP-GL or DXF
    const bool dxf = r.import.format == PlotFormat::Dxf;
    // Nothing to draw, whatever the reader made of it: a file too short to
    // hold a command, a DXF whose entities draw nothing.
    if (r.import.size == PlotImportResult::Size::TooSmall || (dxf && r.import.code == DxfImportResult::NoDrawing)) {
        r.outcome = PlotRead::NoCurves;
        r.message = {};
        return r;
    }
    if (!r.import.read) {
        const bool noMemory = r.import.prepared == PrepareResult::OutOfMemory ||
                              (r.import.format == PlotFormat::Dxf && r.import.code == DxfImportResult::NoMemory);
        r.outcome = noMemory ? PlotRead::OutOfMemory : PlotRead::Refused;
        if (noMemory && !r.message) r.message = kOutOfMemory;
        return r;
    }
    if (!r.import.hasCurves && (dxf || !dataDir)) {
        r.outcome = PlotRead::NoCurves;
        return r;
    }
    r.outcome = PlotRead::Ok;
    if (dxf && r.import.code != DxfImportResult::Ok) {
        r.outcome = PlotRead::Partial;
        page->m_state = JobState::Manual;
        if (!r.message) r.message = kPartial;
    }
    r.page = std::move(page);
    return r;
}

}  // namespace

PlotReadResult ReadPlotFile(const std::u16string& path, bool mil, bool dataDir, const std::string& fsPath)
{
    try {
        return Read(path, mil, dataDir, fsPath);
    } catch (const std::bad_alloc&) {
        PlotReadResult r;
        r.outcome = PlotRead::OutOfMemory;
        r.message = kOutOfMemory;
        return r;
    }
}
