#pragma once
// Keeps the last-task file true while the program runs: it always holds the
// list as a close would save it now (a Printing job as Manual), so a kill or
// a power loss at any moment neither sends a finished job again nor loses
// one. The list is compared with the one last handed to the disk by a cheap
// signature; a list that differs is encoded on the caller's thread (quick)
// and written by the keeper's writing thread (CLastTaskWriter: temporary
// file, sync, rename, folder sync). An empty list removes the file, which the
// next start reads as nothing to resume.
//
// Keep() returns before the file is written: what must not happen before the
// list is on disk waits for the list's ticket (Ticket(), then Durable or
// WaitDurable). A write that fails comes back at the next Keep().
//
// A file left by the last run is the keeper's only once it has been loaded
// (or found missing): until then nothing is written or removed, so an early
// close cannot wipe the list of the last run.
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "jobs/LastTask.h"
#include "jobs/LastTaskWriter.h"
#include "model/TaskFile.h"

class COrlatCenterDoc;

struct KeepOutcome {
    // Written: the list was handed to the disk (Keep), or is on disk (Flush,
    // SaveForClose). Failed: a list could not be written (status, error).
    enum Kind { NotOwned, Unchanged, Written, Failed };
    Kind kind = Unchanged;
    TaskFileStatus status = TaskFileStatus::Ok;  // of the write, or of the load that failed
    bool report = false;                         // the first failure since the last success
    int error = 0;                               // errno of a write that failed, when known
};

class CLastTaskKeeper {
public:
    // beforeWrite: see CLastTaskWriter (tests).
    explicit CLastTaskKeeper(COrlatCenterDoc& doc, std::function<void(KeepTicket)> beforeWrite = {})
        : m_doc(doc), m_writer(std::move(beforeWrite)) {}
    // The writing thread finishes what it was handed first.
    ~CLastTaskKeeper() = default;

    // At start, before the first poll pass: with no file there is nothing to
    // load, and the path is the keeper's from now on. Temporary files of a
    // write cut short by a kill are removed.
    void Begin();
    // The first poll pass: the file's jobs come before the list's own and the
    // file stays. Once the path is the keeper's this loads nothing (the file
    // there is its own).
    LastTaskLoad Load();
    // Hands the list to the disk when it differs from the one handed last; a
    // list whose write failed is tried again once the list changes again, or
    // kRetryAfter after the failure (a disk with room again, a folder
    // writable again, is found without an edit). Failed (with report, status
    // and error) when a write handed earlier has failed since the last call.
    static constexpr std::chrono::seconds kRetryAfter{10};
    KeepOutcome Keep(std::chrono::steady_clock::time_point now = std::chrono::steady_clock::now());
    // The close: a file not loaded yet is loaded first (its jobs join the
    // list, as the first poll pass would have done), then the list is
    // handed, changed or not, and written before this returns. pump, when
    // given, runs every few milliseconds meanwhile (the window paints).
    KeepOutcome SaveForClose(const std::function<void()>& pump = {});
    // Waits until every list handed is on disk or has failed: Written when
    // the list of the last Keep is on disk, Failed when it could not be
    // written, Unchanged when the file is not the keeper's.
    KeepOutcome Flush();
    // The same within limit; nothing when the writer is still at work.
    std::optional<KeepOutcome> Flush(std::chrono::milliseconds limit);

    bool Owned() const { return m_owned; }

    // The ticket of the list as it stands after the last Keep (0: nothing to
    // wait for: the file is not the keeper's yet, or holds the list as it
    // was found). UI thread.
    KeepTicket Ticket() const { return m_ticket; }
    // Whether that list, or a later one, is on disk. Any thread.
    bool Durable(KeepTicket ticket) const { return m_writer.Durable(ticket); }
    // Waits until ticket is durable, or its write failed (with no later list
    // on its way), or limit passed; true when durable. Any thread (the
    // sending thread waits here).
    bool WaitDurable(KeepTicket ticket, std::chrono::milliseconds limit) const
    {
        return m_writer.WaitDurable(ticket, limit);
    }
    // The last write that finished failed, and none has succeeded since.
    // Any thread.
    bool Failing() const { return m_writer.Failing(); }

    // Per job: identity, stored state, copies, start position, name, time,
    // curve count, bounds and extents; plus the document's change counter,
    // which edits of curves in place (a kind converted) bump. The curves
    // themselves are not visited: a list of millions of them is looked at
    // every second.
    static uint64_t Signature(const COrlatCenterDoc& doc);

private:
    // Encodes the list (signature s) and hands it to the writer.
    void Hand(uint64_t s);
    // What the writer finished since the last look: Failed when the write of
    // the list handed last failed.
    KeepOutcome TakeWritten(std::chrono::steady_clock::time_point now = std::chrono::steady_clock::now());
    // After the writer is idle: how the list handed last fared.
    KeepOutcome Settled();
    void TakeLoad(const LastTaskLoad& r, const std::u16string& path);

    COrlatCenterDoc& m_doc;
    // All below but the writer: the keeper's thread (the UI thread) only.
    bool m_owned = false;
    std::optional<uint64_t> m_handed;  // the list the file holds, or will once written
    std::optional<uint64_t> m_failed;  // the list whose write failed last
    std::chrono::steady_clock::time_point m_failedAt;  // when that failure was taken in
    bool m_reported = false;           // that failure has been reported
    KeepTicket m_ticket = 0;           // of the list handed last
    KeepTicket m_seen = 0;             // the last finished write looked at

    // Declared last: destroyed (its thread drained and joined) first.
    CLastTaskWriter m_writer;
};
