#include "app/PlotFileRead.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <new>

#include "import/DxfImport.h"
#include "import/FileBusy.h"
#include "model/Text.h"

namespace {

// A DXF file still being copied in must not be read (and refused) half-way;
// the HP-GL reader makes the same test itself.
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

const UserMessage kOutOfMemory{"ImportNoMemory", u"内存不足，无法读入该文件。",
                               u"there is not enough memory to read the file"};
const UserMessage kPartial{"ImportPartial", u"文件只读入一部分，任务设为手动。",
                           u"The file was read in part; the job is set to Manual."};

PlotReadResult Read(const std::u16string& path, bool mil, bool dataDir)
{
    PlotReadResult r;
    if (dataDir && IsDxfFileName(path) && DxfNotReady(path)) return r;
    auto page = std::make_unique<COnePage>();
    PlotImportOptions options;
    options.mil = mil;
    options.prepareEmpty = dataDir;
    r.import = ImportPlotFile(path, *page, options);
    r.message = r.import.message;
    if (r.import.retryLater) return r;  // NotReady
    if (!r.import.read) {
        r.outcome = PlotRead::Refused;
        return r;
    }
    const bool dxf = r.import.format == PlotFormat::Dxf;
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

PlotReadResult ReadPlotFile(const std::u16string& path, bool mil, bool dataDir)
{
    try {
        return Read(path, mil, dataDir);
    } catch (const std::bad_alloc&) {
        PlotReadResult r;
        r.outcome = PlotRead::OutOfMemory;
        r.message = kOutOfMemory;
        return r;
    }
}
