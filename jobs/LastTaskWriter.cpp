#include "jobs/LastTaskWriter.h"

#include <pthread.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "model/FolderSync.h"

CLastTaskWriter::~CLastTaskWriter()
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_stop = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

KeepTicket CLastTaskWriter::Hand(std::string path, std::optional<std::vector<uint8_t>> bytes)
{
    return Put(Order{0, std::move(path), std::move(bytes)});
}

KeepTicket CLastTaskWriter::HandFailure(TaskFileStatus status, int error)
{
    return Put(Order{0, {}, {}, status, error});
}

KeepTicket CLastTaskWriter::Put(Order o)
{
    KeepTicket ticket = 0;
    std::optional<Order> dropped;  // one not started yet: freed after the lock
    {
        std::lock_guard<std::mutex> lock(m_lock);
        o.ticket = ticket = ++m_handed;
        dropped = std::move(m_next);
        m_next.emplace(std::move(o));
    }
    m_changed.notify_all();
    if (!m_thread.joinable()) {
        try {
            m_thread = std::thread([this] { Run(true); });
        } catch (const std::system_error&) {
            // No thread to be had: this list is written here and now, late
            // rather than never.
            Run(false);
        }
    }
    return ticket;
}

void CLastTaskWriter::Run(bool own)
{
    if (own) pthread_setname_np(pthread_self(), "last-task-write");
    std::unique_lock<std::mutex> lock(m_lock);
    for (;;) {
        // Without a thread of its own only what is there now is written.
        if (own) m_changed.wait(lock, [&] { return m_next.has_value() || m_stop; });
        if (!m_next) return;
        Order o = std::move(*m_next);
        m_next.reset();
        m_writing = true;
        lock.unlock();
        if (m_beforeWrite) m_beforeWrite(o.ticket);
        const WrittenList r = Carry(o);
        // Kept for the next list: tens of megabytes are quicker to fill
        // again than to take fresh. An empty list gives them back.
        std::vector<uint8_t> room = o.bytes ? std::move(*o.bytes) : std::vector<uint8_t>{};
        lock.lock();
        m_room.swap(room);
        m_writing = false;
        m_last = r;
        if (r.status == TaskFileStatus::Ok) m_durable = o.ticket;
        else m_lastFailed = o.ticket;
        m_changed.notify_all();
        lock.unlock();
        room = {};  // the one before, freed outside the lock
        lock.lock();
    }
}

WrittenList CLastTaskWriter::Carry(const Order& o)
{
    WrittenList r{o.ticket};
    if (o.failure != TaskFileStatus::Ok) return {o.ticket, o.failure, o.error};
    if (o.bytes) {
        r.status = WriteTaskBytes(o.path, *o.bytes, &r.error);
        return r;
    }
    // The empty list: no file. The removal lasts once the folder is synced;
    // a file that is not there (its folder gone, say) has nothing to undo.
    if (::unlink(o.path.c_str()) == 0) r.error = SyncFolderOf(o.path);
    else if (errno != ENOENT) r.error = errno;
    if (r.error != 0) r.status = TaskFileStatus::WriteFailed;
    return r;
}

std::vector<uint8_t> CLastTaskWriter::TakeRoom()
{
    std::lock_guard<std::mutex> lock(m_lock);
    return std::move(m_room);
}

KeepTicket CLastTaskWriter::Handed() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_handed;
}

bool CLastTaskWriter::Durable(KeepTicket ticket) const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_durable >= ticket;
}

bool CLastTaskWriter::WaitDurable(KeepTicket ticket, std::chrono::milliseconds limit) const
{
    std::unique_lock<std::mutex> lock(m_lock);
    // A failure is final only when no later list is on its way to cover it.
    m_changed.wait_for(lock, limit,
                       [&] { return m_durable >= ticket || (m_lastFailed >= ticket && m_lastFailed == m_handed); });
    return m_durable >= ticket;
}

bool CLastTaskWriter::WaitIdle(std::chrono::milliseconds limit) const
{
    std::unique_lock<std::mutex> lock(m_lock);
    return m_changed.wait_for(lock, limit, [&] { return Idle(); });
}

void CLastTaskWriter::WaitIdle() const
{
    std::unique_lock<std::mutex> lock(m_lock);
    m_changed.wait(lock, [&] { return Idle(); });
}

WrittenList CLastTaskWriter::LastWritten() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_last;
}

bool CLastTaskWriter::Failing() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_lastFailed > m_durable;
}
