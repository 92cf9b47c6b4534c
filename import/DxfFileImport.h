#pragma once
// The whole road of a DXF file into a page: load, curves, labels through the
// label file and the HP-GL reader. Joining and preparation are the caller's.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class CDxfDrawing;
class COnePage;

using DxfEntityCounts = std::vector<std::pair<std::string, int32_t>>;

// Drops a drawing dxf holds, loads path into a new one, sets the page's file
// name, converts the entities into page, writes the labels to the label file
// (after "IN;SP1;") and reads them back into the same page. The drawing is
// destroyed afterwards. counts (when given) receives the stored entities of
// the ENTITIES section by type. A DxfImportResult: on LabelWriteFailed the
// half-written label file is not read; the curves stay either way.
int ImportDxfIntoPage(CDxfDrawing& dxf, const std::u16string& path, COnePage& page,
                      DxfEntityCounts* counts = nullptr);
