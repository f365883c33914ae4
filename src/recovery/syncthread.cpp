#include "syncthread.h"

#include <unistd.h>
#include <utility>

SyncThread::~SyncThread()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void SyncThread::sync(int fd)
{
    {
        std::lock_guard lock(m_mutex);
        m_asked.push_back(fd);
        if (!m_thread.joinable())
            m_thread = std::thread(&SyncThread::run, this);
    }
    m_changed.notify_all();
}

bool SyncThread::wait()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_asked.empty() && !m_busy; });
    return !std::exchange(m_failed, false);
}

bool SyncThread::failed()
{
    std::lock_guard lock(m_mutex);
    return std::exchange(m_failed, false);
}

void SyncThread::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stopping || !m_asked.empty(); });
        if (m_asked.empty())
            return; // stopping, all done
        while (m_asked.size() > 1) {
            ::close(m_asked.front());
            m_asked.pop_front();
        }
        const int fd = m_asked.front();
        m_asked.pop_front();
        m_busy = true;
        lock.unlock();
        const bool synced = ::fdatasync(fd) == 0;
        ::close(fd);
        lock.lock();
        m_busy = false;
        m_failed = m_failed || !synced;
        m_changed.notify_all();
    }
}
