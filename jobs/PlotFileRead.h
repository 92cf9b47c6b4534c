#pragma once
// One plot file into a new page through the import road, with the outcome
// the callers decide on: by hand a message, from a data directory whether
// the file stays, goes or is put aside. The page is prepared but not yet in
// the list.
#include <memory>
#include <string>

#include "import/PlotImport.h"
#include "model/Page.h"

namespace PlotRead {
enum : int {
    Ok = 0,
    Partial,      // read in part: the curves read are kept, the job enters as Manual
    NotReady,     // cannot be opened yet, or still being written: try later
    Refused,      // not a plot file the program can take (too large, DF, not DXF)
    NoCurves,     // nothing to draw (an HP-GL file without drawing commands, or
                  // too short to hold one; a DXF that draws nothing): no message
    OutOfMemory,
};
}

struct PlotReadResult {
    int outcome = PlotRead::NotReady;
    PlotImportResult import;
    UserMessage message;  // for the operator; empty when all went well
    std::unique_ptr<COnePage> page;
};

// mil: an HP-GL file in 0.0254 mm units. dataDir: an HP-GL file without
// curves still gives a page (a data-directory file is used up by reading).
// A file a lease shows still being written is NotReady. A Partial page is
// Manual. fsPath: the bytes the file system holds for the name when they are
// not path's UTF-8; path is then what the job is named.
PlotReadResult ReadPlotFile(const std::u16string& path, bool mil, bool dataDir, const std::string& fsPath = {});
