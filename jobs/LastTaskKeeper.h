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
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
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
    int error = 0;                               // errno of a write that failed, when known
};

// Each list the keeper hands to the disk gets the next ticket; an effect
// outside the program (a source file deleted, a job start or end sent) waits
// until the ticket of the list that accounts for it is durable.
using KeepTicket = uint64_t;

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

    // The ticket of the list as it stands after the last Keep (0: nothing to
    // wait for: the file is not the keeper's yet). UI thread.
    KeepTicket Ticket() const { return m_ticket; }
    // Whether that list is on disk (temporary file, fsync, rename, folder
    // fsync). Any thread.
    bool Durable(KeepTicket ticket) const;
    // Waits until ticket is durable, or its write failed, or limit passed;
    // true when durable. Any thread (the sending thread waits here).
    bool WaitDurable(KeepTicket ticket, std::chrono::milliseconds limit) const;
    // The list of the last Keep could not be written (and nothing later was).
    bool Failing() const { return m_failed.has_value(); }

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
    KeepTicket m_ticket = 0;            // of the list as it stands after the last Keep
    KeepTicket m_writtenTicket = 0;     // of the list the file holds now

    // Written by the thread that writes the file (now the UI thread), read
    // by any thread, under m_durableLock.
    mutable std::mutex m_durableLock;
    mutable std::condition_variable m_durableChanged;
    KeepTicket m_durable = 0;           // every ticket up to this one is on disk
    KeepTicket m_lastFailed = 0;        // the last ticket whose write failed
};
