#pragma once
// The one road of a plot file into a new job page, for the program's add-file
// and data-directory steps and for the tools: the reader chosen by the file
// name; HP-GL, or DXF with its labels through the label file and the join of
// connected curves; the 0.0254 mm scaling; PrepareImportedPage. Appending the
// page to the job list, and deleting a data directory's file, stay with the caller.
#include <cstdint>
#include <string>

#include "import/DxfFileImport.h"
#include "import/FileBusy.h"
#include "model/ImportPreparation.h"
#include "model/Message.h"

class COnePage;

enum class PlotFormat { Hpgl, Dxf };

struct PlotImportOptions {
    // An HP-GL file in 0.0254 mm units (PltFileUnit 1, or the 0.0254 mm data
    // directory): scaled by 1.016. DXF files are never scaled here.
    bool mil = false;
    // Run PrepareImportedPage. Without it (plot-info without --prepare) the
    // page keeps its curves as read, scaled when mil is set.
    bool prepare = true;
    // Prepare a page without curves too (the data directory's HP-GL files
    // give empty jobs); otherwise an empty page is left unprepared.
    bool prepareEmpty = false;
    // A file is read unless a lease shows someone holding it open for
    // writing; a watched folder's scanner has judged the rest before.
    BusyTest busyTest = BusyTest::Writers;
    // The bytes the file system holds for the name, opened instead of the
    // path's UTF-8 when set (a name written in GBK, say); the path given is
    // then only what the page is named.
    std::string fsPath;
};

struct PlotImportResult {
    PlotFormat format = PlotFormat::Hpgl;
    // The reader's own code: ReadPltFile's for HP-GL, a DxfImportResult for DXF.
    int code = 0;
    // Curves were read: the page is usable (for DXF also when the labels or
    // the conversion's limits failed; the message says so).
    bool read = false;
    // The file could not be opened yet or is still being written (HP-GL code
    // above 0, DXF Busy): a data directory keeps it for the next scan.
    bool retryLater = false;
    bool hasCurves = false;
    // Refused for its size (read is false): an HP-GL file of fewer than 6
    // bytes holds no drawing; one over 8,000,000 bytes, one whose labels
    // would draw too many points, or a DXF file over 256 MB is too large.
    enum class Size { Fits, TooSmall, TooLarge };
    Size size = Size::Fits;
    // The preparation's outcome: a refused split leaves the page usable but
    // unsplit; out of memory empties it (read is then false).
    PrepareResult prepared = PrepareResult::Ok;
    UserMessage message;       // what the operator is told; empty when all went well
    DxfEntityCounts entities;  // DXF: the stored entities of the ENTITIES section by type
};

// True when the name ends in ".dxf" in any letter case (a name of 4 or more characters).
bool IsDxfFileName(const std::u16string& path);

// Reads path into page (which should be new and empty) and prepares it. The
// page's file name is set; its bounds and extents are computed either way. A
// file that runs out of memory leaves the page empty, with its message.
PlotImportResult ImportPlotFile(const std::u16string& path, COnePage& page, const PlotImportOptions& options = {});

// The message for a reader's code; empty for success.
UserMessage PlotImportMessage(PlotFormat format, int code);
