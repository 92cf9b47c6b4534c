#pragma once
// The thread that puts the kept lists on disk, so that writing a day's list
// (tens of megabytes, synced) never holds up the window: the UI thread hands
// over the bytes it encoded and goes on; effects outside the program wait for
// the ticket of their list instead.
//
// Lists are written in the order handed. A list handed while an earlier one
// still waits unstarted takes its place: it accounts for everything the
// earlier one did, so the earlier ticket becomes durable with it.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "model/TaskFile.h"

// Each list handed to the disk gets the next ticket, from 1.
using KeepTicket = uint64_t;

// How the last finished write went.
struct WrittenList {
    KeepTicket ticket = 0;  // 0: none finished yet
    TaskFileStatus status = TaskFileStatus::Ok;
    int error = 0;          // errno of a failure
};

class CLastTaskWriter {
public:
    // beforeWrite (tests) runs on the writing thread before each list is
    // written, with its ticket: a test holds the writer there.
    explicit CLastTaskWriter(std::function<void(KeepTicket)> beforeWrite = {}) : m_beforeWrite(std::move(beforeWrite)) {}
    // Writes what was handed, then ends the thread.
    ~CLastTaskWriter();
    CLastTaskWriter(const CLastTaskWriter&) = delete;
    CLastTaskWriter& operator=(const CLastTaskWriter&) = delete;

    // The next list for path (a file-system name): its bytes, or none to
    // remove the file (an empty list). Returns its ticket. One thread hands
    // (the keeper's); the writing thread starts with the first list.
    KeepTicket Hand(std::string path, std::optional<std::vector<uint8_t>> bytes);
    // The buffer of the last list written, to encode the next one into
    // (empty when there is none, or the list was emptied since).
    std::vector<uint8_t> TakeRoom();
    // A list that could not even be encoded (no room): its ticket fails in
    // its turn, as a write that failed with status would.
    KeepTicket HandFailure(TaskFileStatus status, int error);

    // The rest: any thread.
    // The last ticket handed (0: none).
    KeepTicket Handed() const;
    // That list, or a later one, is on disk.
    bool Durable(KeepTicket ticket) const;
    // Waits until ticket is durable, or its write failed with nothing later
    // on its way that could still cover it, or limit passed; true when durable.
    bool WaitDurable(KeepTicket ticket, std::chrono::milliseconds limit) const;
    // Waits until every list handed is written or has failed; false when
    // limit passed first.
    bool WaitIdle(std::chrono::milliseconds limit) const;
    void WaitIdle() const;
    WrittenList LastWritten() const;
    // The last write that finished failed (and none has succeeded since).
    bool Failing() const;

private:
    struct Order {
        KeepTicket ticket = 0;
        std::string path;
        std::optional<std::vector<uint8_t>> bytes;
        TaskFileStatus failure = TaskFileStatus::Ok;  // not Ok: fails so, nothing written
        int error = 0;
    };
    KeepTicket Put(Order o);
    // The writing loop: on the thread (own), or once on the handing thread.
    void Run(bool own);
    static WrittenList Carry(const Order& o);
    bool Idle() const { return !m_next && !m_writing; }

    const std::function<void(KeepTicket)> m_beforeWrite;

    // Guards everything below but the thread. m_handed and m_next are
    // written by the handing thread; m_next is taken, and m_writing,
    // m_durable, m_lastFailed and m_last written, by the writing thread;
    // m_stop is written by the destructor. Any thread reads them.
    mutable std::mutex m_lock;
    mutable std::condition_variable m_changed;  // a list handed, one finished, stop
    KeepTicket m_handed = 0;
    std::optional<Order> m_next;  // handed, not started
    std::vector<uint8_t> m_room;  // the last list's buffer, given back by the writing thread
    bool m_writing = false;       // a list is being written now
    KeepTicket m_durable = 0;     // every ticket up to this one is on disk
    KeepTicket m_lastFailed = 0;  // the last ticket whose write failed
    WrittenList m_last;
    bool m_stop = false;

    // "last-task-write": writes the orders; started by the first Hand,
    // joined by the destructor.
    std::thread m_thread;
};
