#pragma once
// Keeps the last-task file true while the program runs: it always holds the
// list as a close would save it now (a Printing job as Manual), so a kill or
// a power loss at any moment neither sends a finished job again nor loses
// one. The list is compared with the one last written by a cheap signature
// and written through the temporary file only when it differs; an empty list
// removes the file, which the next start reads as nothing to resume.
//
// A file left by the last run is the keeper's only once it has been loaded
// (or found missing): until then nothing is written or removed, so an early
// close cannot wipe the list of the last run.
#include <cstdint>
#include <optional>
#include <string>

#include "jobs/LastTask.h"
#include "model/TaskFile.h"

class COrlatCenterDoc;

struct KeepOutcome {
    enum Kind { NotOwned, Unchanged, Written, Failed };
    Kind kind = Unchanged;
    TaskFileStatus status = TaskFileStatus::Ok;  // of the write, or of the load that failed
    bool report = false;                         // the first failure since the last success
};

class CLastTaskKeeper {
public:
    explicit CLastTaskKeeper(COrlatCenterDoc& doc) : m_doc(doc) {}

    // At start, before the first poll pass: with no file there is nothing to
    // load, and the path is the keeper's from now on. Temporary files of a
    // write cut short by a kill are removed.
    void Begin();
    // The first poll pass: the file's jobs come before the list's own and the
    // file stays. Once the path is the keeper's this loads nothing (the file
    // there is its own).
    LastTaskLoad Load();
    // Writes when the list differs from what was written last. A failed
    // write is tried again once the list changes again.
    KeepOutcome Keep();
    // The close: a file not loaded yet is loaded first (its jobs join the
    // list, as the first poll pass would have done), then the list is
    // written, changed or not.
    KeepOutcome SaveForClose();

    bool Owned() const { return m_owned; }

    // Per job: identity, stored state, copies, start position, name, time,
    // curve count, bounds and extents; plus the document's change counter,
    // which edits of curves in place (a kind converted) bump. The curves
    // themselves are not visited: a list of millions of them is looked at
    // every second.
    static uint64_t Signature(const COrlatCenterDoc& doc);

private:
    KeepOutcome Write(uint64_t signature);
    void TakeLoad(const LastTaskLoad& r, const std::u16string& path);

    COrlatCenterDoc& m_doc;
    // All below: UI thread only.
    bool m_owned = false;
    std::optional<uint64_t> m_written;  // the list the file holds now
    std::optional<uint64_t> m_failed;   // the list whose write failed last
    bool m_reported = false;            // that failure has been reported
};
