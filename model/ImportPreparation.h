#pragma once
// The one sequence every importer runs on a new page before it joins the job
// list (the caller appends it to the list and refreshes the views).
#include <string>

class COnePage;

enum class PrepareResult {
    Ok,
    SplitRefused,  // the page split would be too large: the page is not split
    OutOfMemory,   // the page is incomplete: the caller drops it
};

// scale: the file is in 0.0254 mm units and is brought to 0.025 mm.
// With SplitRefused the page is otherwise prepared and may still be used.
// The page is left with its bounds and both extents computed.
PrepareResult PrepareImportedPage(COnePage& page, bool scale);

// The operator's text of a result other than Ok (language slot: 0 Chinese,
// anything else English).
std::u16string PrepareMessageText(PrepareResult r, int language);
// The same for a page split refused from the preview.
std::u16string SplitRefusedText(int language);
