#pragma once

#include "filedescriptor.h"
#include "orphanfile.h"
#include "recoveryfolder.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

/// Keeps a file's old bytes in the recovery folder while new ones are written over it in place,
/// where a kill during the write would leave the new text's start over the old file's rest. The
/// guard is locked while its writer lives; one left by an instance that is gone is offered back.
/// The file holds the start of a journal file with its own magic "TVXGUARD", then one record
/// (framed as a journal's): 'G', i64 ms, u32 n + path bytes, i64 new size, u64 new bytes' hash,
/// then the old bytes.
class SaveGuard
{
public:
    explicit SaveGuard(const RecoveryFolder &folder);
    /// A guard not released stays to be offered at the next start.
    ~SaveGuard() = default;
    SaveGuard(const SaveGuard &) = delete;
    SaveGuard &operator=(const SaveGuard &) = delete;

    /// Puts `oldBytes` of the file at `path` on disk, synced with the folder's entry, before
    /// `newBytes` are written over it; the write must not start when this fails.
    bool keep(const QString &path, QByteArrayView oldBytes, QByteArrayView newBytes);
    /// The new bytes are synced, or the old ones are back: the guard goes.
    void release();
    QString errorString() const { return m_error; }

    /// What the guarded file holds now.
    enum class Outcome {
        Finished, // the new bytes, whole: the write got to its end
        Untouched, // the old bytes: the write never began
        Torn, // neither: the old bytes are to be offered back
    };

    /// A guard left by an instance that is gone, locked here until dropped.
    struct Orphan
    {
        OrphanFile file;
        QString path;
        QByteArray oldBytes;
        qint64 newSize = 0;
        quint64 newHash = 0;

        Outcome outcome(QByteArrayView current) const;
        /// Writes the old bytes back over the file in place, synced; `error` says why not.
        bool restore(QString &error) const;
    };

    /// The guards in `folder` that no running instance keeps. An unfinished guard is removed on
    /// the way: its write had not begun.
    static std::vector<Orphan> orphans(const RecoveryFolder &folder);

private:
    RecoveryFolder m_folder;
    FileDescriptor m_fd;
    QString m_name;
    QString m_error;
};
