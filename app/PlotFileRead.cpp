#include "app/PlotFileRead.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <new>

#include "import/DxfFileImport.h"
#include "import/DxfImport.h"
#include "import/FileBusy.h"
#include "import/HpglFile.h"
#include "model/ImportPreparation.h"
#include "model/Text.h"

bool IsDxfFileName(const std::u16string& path)
{
    const size_t n = path.size();
    if (n < 4) return false;
    auto upper = [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; };
    return path[n - 4] == u'.' && upper(path[n - 3]) == u'D' && upper(path[n - 2]) == u'X' &&
           upper(path[n - 1]) == u'F';
}

namespace {

// A DXF file still being copied in must not be read (and then refused) half-way.
bool DxfNotReady(const std::u16string& path)
{
    const std::string p = ToUtf8(path);
    const int fd = ::open(p.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return true;
    struct stat st {};
    bool busy = fstat(fd, &st) != 0 || !S_ISREG(st.st_mode);
    if (!busy) {
        const int64_t mtimeNs = int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec;
        busy = IsFileBusy(fd, p, st.st_size, mtimeNs);
    }
    ::close(fd);
    return busy;
}

PlotReadResult ReadHpgl(const std::u16string& path, bool mil, bool dataDir)
{
    PlotReadResult r;
    CHpglFile reader;
    reader.m_strPath = path;
    r.readerResult = reader.ReadPltFile();
    if (r.readerResult > 0) return r;  // NotReady
    if (r.readerResult < 0) {
        r.outcome = PlotRead::Refused;
        return r;
    }
    r.page = std::make_unique<COnePage>();
    reader.ToPage(*r.page, true);
    if (r.page->m_curves.empty() && !dataDir) {
        r.page.reset();
        r.outcome = PlotRead::NoCurves;
        return r;
    }
    PrepareImportedPage(*r.page, mil);
    r.outcome = PlotRead::Ok;
    return r;
}

PlotReadResult ReadDxf(const std::u16string& path, CDxfDrawing& dxf)
{
    PlotReadResult r;
    if (DxfNotReady(path)) return r;
    auto page = std::make_unique<COnePage>();
    r.readerResult = ImportDxfIntoPage(dxf, path, *page);
    if (r.readerResult == DxfImportResult::NoDrawing) return r;  // NotReady
    if (r.readerResult == DxfImportResult::LoadFailed) {
        r.outcome = PlotRead::Refused;
        return r;
    }
    page->JoinConnectedCurves();
    if (page->m_curves.empty()) {
        r.outcome = PlotRead::NoCurves;
        return r;
    }
    PrepareImportedPage(*page, false);
    r.outcome = PlotRead::Ok;
    if (r.readerResult != DxfImportResult::Ok) {
        r.outcome = PlotRead::Partial;
        page->m_state = JobState::Manual;
    }
    r.page = std::move(page);
    return r;
}

}  // namespace

PlotReadResult ReadPlotFile(const std::u16string& path, bool mil, bool dataDir, CDxfDrawing& dxf)
{
    try {
        return IsDxfFileName(path) ? ReadDxf(path, dxf) : ReadHpgl(path, mil, dataDir);
    } catch (const std::bad_alloc&) {
        dxf.CloseIfOpen();
        PlotReadResult r;
        r.outcome = PlotRead::OutOfMemory;
        return r;
    }
}
