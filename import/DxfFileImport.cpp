#include "import/DxfFileImport.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <new>

#include "import/DxfImport.h"
#include "import/DxfLabelFile.h"
#include "import/DxfReader.h"
#include "import/HeapReservation.h"
#include "import/HpglFile.h"
#include "model/Page.h"
#include "model/Text.h"

namespace {

// What can be told of the file before it is loaded: Ok to load it.
int CheckDxfFile(const std::string& fsPath, BusyTest test, int64_t& size)
{
    const int fd = ::open(fsPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return DxfImportResult::LoadFailed;
    struct stat st {};
    int result = DxfImportResult::Ok;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        result = DxfImportResult::LoadFailed;
    } else {
        if (IsFileBusy(fd, test))
            result = DxfImportResult::Busy;
        else if (st.st_size > kDxfMaxFileSize)
            result = DxfImportResult::FileTooLarge;
        size = st.st_size;
    }
    ::close(fd);
    return result;
}

int Import(CDxfDrawing& dxf, const std::u16string& path, COnePage& page, DxfEntityCounts* counts, BusyTest test,
           const std::string& fsPath)
{
    if (dxf.IsOpen()) dxf.DestroyDrawing();
    int64_t fileBytes = 0;
    if (const int checked = CheckDxfFile(fsPath, test, fileBytes); checked != DxfImportResult::Ok) return checked;
    if (dxf.CreateDrawing() != 1) return DxfImportResult::NoDrawing;
    if (dxf.LoadDxfAt(fsPath) != 1) {
        const int result = DxfImportResult::FromLoadError(dxf.Drawing()->error);
        dxf.DestroyDrawing();
        return result;
    }
    if (counts) *counts = DxfCountEntities(*dxf.Drawing());

    const size_t before = page.m_curves.size();
    // A label file that cannot be made fails its writes: the curves still come.
    CDxfLabelFile labels;
    labels.CreateBeside(DxfLabelFilePath());
    labels.Write("IN;SP1;");
    page.m_strFileName = path;
    // The curves and the labels' strokes come from the heap: a garment
    // marker's take about four bytes for each byte of its file.
    const HeapReservation room(static_cast<size_t>(fileBytes) * 4);
    int result = dxf.ImportToPage(page, labels);
    dxf.DestroyDrawing();
    const std::u16string labelPath = labels.Path();
    if (labels.Close() != 0) return result == DxfImportResult::Ok ? DxfImportResult::LabelWriteFailed : result;
    if (result == DxfImportResult::LabelWriteFailed) return result;

    CHpglFile hpgl;
    hpgl.m_strPath = labelPath;
    hpgl.m_busyTest = BusyTest::None;  // the program's own file, just written
    if (hpgl.ReadPltFile() != 0) return result == DxfImportResult::Ok ? DxfImportResult::LabelReadFailed : result;
    hpgl.ToPage(page, false);
    if (result == DxfImportResult::Ok && page.m_curves.size() == before) return DxfImportResult::NoDrawing;
    return result;
}

}  // namespace

int ImportDxfIntoPage(CDxfDrawing& dxf, const std::u16string& path, COnePage& page, DxfEntityCounts* counts,
                      BusyTest test, const std::string& fsPath)
{
    try {
        return Import(dxf, path, page, counts, test, fsPath.empty() ? ToUtf8(path) : fsPath);
    } catch (const std::bad_alloc&) {
        dxf.DestroyDrawing();
        page.DeleteAllCurves();
        return DxfImportResult::NoMemory;
    }
}

std::u16string DxfImportMessageText(int result, int language)
{
    const bool en = language != 0;
    switch (result) {
    case DxfImportResult::FileTooLarge:
        return en ? u"The DXF file is larger than 256 MB and was not read." : u"DXF文件大于256MB，未读取。";
    case DxfImportResult::NoDrawing:
        return en ? u"The DXF file holds nothing to draw." : u"DXF文件中没有可绘制的内容。";
    case DxfImportResult::Busy:
        return en ? u"The DXF file is still being written. Try again later." : u"DXF文件正在写入，请稍后再试。";
    case DxfImportResult::TooLarge:
        return en ? u"The DXF drawing is too large: part of it was left out." : u"DXF图形过大，部分内容未导入。";
    default:
        return {};
    }
}
