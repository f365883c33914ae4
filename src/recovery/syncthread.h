#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

/// Puts files on disk (fdatasync) on a thread of its own, so that the wait for the disk, some
/// milliseconds and far more on a slow one, does not hold up the window while the user types.
class SyncThread
{
public:
    SyncThread() = default;
    /// Waits for the syncs asked for.
    ~SyncThread();
    SyncThread(const SyncThread &) = delete;
    SyncThread &operator=(const SyncThread &) = delete;

    /// Syncs the file open on `fd`, a descriptor of its own that is closed once done. Files
    /// asked for while one is being synced are the same file grown since, or ones put in its
    /// place: only the last of them is synced.
    void sync(int fd);
    /// Waits until every file asked for is synced; false when a sync failed since the last look.
    bool wait();
    /// Whether a sync failed since the last look, without waiting.
    bool failed();

private:
    void run();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<int> m_asked;
    bool m_busy = false;
    bool m_failed = false;
    bool m_stopping = false;
    std::thread m_thread;
};
