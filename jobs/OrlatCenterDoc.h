#pragma once
// The job-list document: owns the jobs in list order, edits them for the
// list and the preview, and is the task file.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/DispSet.h"
#include "model/Page.h"
#include "model/TaskFile.h"

class COrlatCenterDoc {
public:
    COrlatCenterDoc();
    ~COrlatCenterDoc();
    COrlatCenterDoc(const COrlatCenterDoc&) = delete;
    COrlatCenterDoc& operator=(const COrlatCenterDoc&) = delete;

    // The job list. UI thread only: the sending thread works on WorkPage.
    std::vector<std::unique_ptr<COnePage>> m_pages;

    int PageCount() const { return static_cast<int>(m_pages.size()); }
    COnePage* Page(int i) const;

    // Row operations. An index outside the list does nothing. The checked
    // operations never touch the Printing job; the plain deletes do.
    void DeleteAllPages();
    void DeletePage(int i);
    void DeleteCheckedPages();
    void UncheckAllPages();
    void CheckPage(int i);
    void SetCheckedPagesState(int state);

    // Curve selection in view pixels (theDispSet's transform).
    void ClearPageSelection(int i);
    // Toggles the first curve hit, trying kinds 0 to 9 in turn: a Plot
    // curve wins over a Cut curve under the same pixel.
    void PickCurve(int i, int x, int y);
    // Selects the curves inside the rectangle a-b (corners ordered), or with
    // crossing also those with a segment of 5 plot units or more crossing
    // one of its edges; never clears a selection.
    void SelectCurvesInRect(int i, ViewPoint a, ViewPoint b, bool crossing);

    // The whole list as one HP-GL file, written through a temporary file:
    // a failure leaves an existing file as it was. False with *error
    // naming path and reason.
    bool ExportHpgl(const std::u16string& path, std::string* error) const;

    // The task file. Opening replaces the list only when the whole file
    // reads. Saving keeps the Printing job Printing in the list (the file
    // stores it as Manual, as it always has).
    TaskFileStatus OpenTaskFile(const std::u16string& path);
    TaskFileStatus SaveTaskFile(const std::u16string& path);
    // Counts the edits made through the document; code that edits a page in
    // place calls NoteChange. The last-task file is rewritten when it moves.
    uint64_t Changes() const { return m_changes; }
    void NoteChange() { ++m_changes; }

    // The file last opened or saved by command; empty until then (the UI asks).
    const std::u16string& CurrentPath() const { return m_currentPath; }
    // The task file's bytes of the list as it stands (a Printing job as
    // Manual; the list keeps it Printing), in room when it is large enough.
    // std::bad_alloc when there is no room.
    std::vector<uint8_t> StoredBytes(std::vector<uint8_t> room = {});

private:
    TaskFileStatus Store(const std::u16string& path);
    std::u16string m_currentPath;
    uint64_t m_changes = 0;
};

// The one document; set by its constructor, cleared by its destructor.
// UI thread only.
extern COrlatCenterDoc* g_pTaskDoc;
