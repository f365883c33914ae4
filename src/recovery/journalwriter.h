#pragma once

#include "filedescriptor.h"
#include "journalorigin.h"
#include "recoveryfolder.h"
#include "syncthread.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

/// Keeps the recovery journal of one document: a file of its own in the recovery folder, locked
/// (flock) for the writer's whole life so that no other instance takes it for orphaned work.
/// Changes are recorded in memory at the cost of a small copy; flush() writes them to the file
/// and has them synced on a thread of its own.
class JournalWriter
{
public:
    explicit JournalWriter(const RecoveryFolder &folder);
    /// Writes what is still in memory and waits for the disk. The file stays: a journal not
    /// discarded is offered back at the next start.
    ~JournalWriter();
    JournalWriter(const JournalWriter &) = delete;
    JournalWriter &operator=(const JournalWriter &) = delete;

    /// Begins the journal of a document that starts from `origin`, its start synced; a journal
    /// begun before is discarded.
    bool start(const JournalOrigin &origin);
    bool isActive() const { return m_fd.isValid(); }
    QString filePath() const;
    QString errorString() const { return m_error; }

    /// Records that `removed` characters at `position` gave way to `added`.
    void recordChange(qsizetype position, qsizetype removed, QStringView added);
    /// Whether changes are recorded that flush() has not yet put on disk.
    bool hasUnflushed() const { return !m_pending.isEmpty() || m_lost; }
    /// Writes the recorded changes to the file and has them synced (fdatasync) without waiting
    /// for the disk. When the write fails they stay in memory and the file keeps only whole
    /// records; when an earlier sync failed, only a snapshot makes the journal whole again and
    /// needsCompaction() says so.
    bool flush();
    /// Waits until what flush() wrote is on disk; false when a sync failed.
    bool waitForDisk();

    /// Whether the records since the last snapshot outweigh a snapshot of a text of `textLength`
    /// characters (and 1 MiB), so that the caller hands the whole text to writeSnapshot().
    bool needsCompaction(qsizetype textLength) const;
    /// Replaces the journal, in one step and without letting go of its lock, by one that holds
    /// the origin and `text` alone: the whole text as it now stands, every change recorded so
    /// far in it. Compacts a long journal, and after Protect leaves no plain text behind.
    bool writeSnapshot(QStringView text);

    /// Ends the journal: removes its file.
    void discard();

private:
    RecoveryFolder m_folder;
    FileDescriptor m_fd;
    QString m_name;
    JournalOrigin m_origin;
    QByteArray m_pending; // whole records not yet written
    qint64 m_fileSize = 0; // whole records written and synced
    qint64 m_baseSize = 0; // the start, origin and last snapshot
    bool m_lost = false; // a change too long for a record, or a failed sync: only a snapshot helps
    QString m_error;
    SyncThread m_sync;
};
