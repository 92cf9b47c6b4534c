#pragma once
// The one sequence every importer runs on a new page before it joins the job
// list (the caller appends it to the list and refreshes the views).
class COnePage;

// scale: the file is in 0.0254 mm units and is brought to 0.025 mm.
void PrepareImportedPage(COnePage& page, bool scale);
