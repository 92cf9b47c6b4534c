#pragma once
// The whole road of a DXF file into a page: load, curves, labels through the
// label file and the HP-GL reader. Joining and preparation are the caller's.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "import/FileBusy.h"

class CDxfDrawing;
class COnePage;

using DxfEntityCounts = std::vector<std::pair<std::string, int32_t>>;

// Drops a drawing dxf holds, loads path into a new one, sets the page's file
// name, converts the entities into page, writes the labels to a label file of
// this import's own beside DxfLabelFilePath() (after "IN;SP1;"), reads them
// back into the same page and removes the label file. The drawing is
// destroyed afterwards. counts (when given) receives the stored entities of
// the ENTITIES section by type. A DxfImportResult:
//   LoadFailed    not a regular file, or not readable as DXF;
//   FileTooLarge  larger than kDxfMaxFileSize (nothing read);
//   Busy          someone is still writing it (`test` as for IsFileBusy);
//   NoDrawing     nothing drawable (no ENTITIES section, or nothing in it
//                 that makes a curve): the page gets no curves;
//   on LabelWriteFailed the half-written label file is not read; the curves
//   stay either way. Out of memory is NoMemory, with the page emptied.
// fsPath: the bytes the file system holds for the name when they are not
// path's UTF-8 (empty: path's UTF-8); path is what the page is named.
int ImportDxfIntoPage(CDxfDrawing& dxf, const std::u16string& path, COnePage& page,
                      DxfEntityCounts* counts = nullptr, BusyTest test = BusyTest::Writers,
                      const std::string& fsPath = {});

// The operator's text for a DxfImportResult other than Ok (language slot: 0
// Chinese, anything else English); empty for results the caller words itself.
std::u16string DxfImportMessageText(int result, int language);
