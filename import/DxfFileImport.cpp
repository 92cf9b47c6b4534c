#include "import/DxfFileImport.h"

#include "import/DxfImport.h"
#include "import/DxfLabelFile.h"
#include "import/HpglFile.h"
#include "model/Page.h"

int ImportDxfIntoPage(CDxfDrawing& dxf, const std::u16string& path, COnePage& page, DxfEntityCounts* counts)
{
    if (dxf.IsOpen()) dxf.DestroyDrawing();
    if (dxf.CreateDrawing() != 1) return DxfImportResult::NoDrawing;
    if (dxf.LoadDxf(path) != 1) {
        const int result = DxfImportResult::FromLoadError(dxf.Drawing()->error);
        dxf.DestroyDrawing();
        return result;
    }
    if (counts) *counts = DxfCountEntities(*dxf.Drawing());

    const std::u16string labelPath = DxfLabelFilePath();
    CDxfLabelFile labels;
    labels.Create(labelPath);
    labels.Write("IN;SP1;");
    page.m_strFileName = path;
    int result = dxf.ImportToPage(page, labels);
    dxf.DestroyDrawing();
    if (labels.Close() != 0) return result == DxfImportResult::Ok ? DxfImportResult::LabelWriteFailed : result;
    if (result == DxfImportResult::LabelWriteFailed) return result;

    CHpglFile hpgl;
    hpgl.m_strPath = labelPath;
    if (hpgl.ReadPltFile() != 0) return result == DxfImportResult::Ok ? DxfImportResult::LabelReadFailed : result;
    hpgl.ToPage(page, false);
    return result;
}
