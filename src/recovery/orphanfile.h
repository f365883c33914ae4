#pragma once

#include "filedescriptor.h"
#include "recoveryfolder.h"

#include <QByteArray>
#include <QString>

#include <vector>

/// A file of the recovery folder that no running instance holds, locked by this one for as long
/// as the object lives, so that no other instance starting meanwhile offers it as well.
class OrphanFile
{
public:
    /// The files named *`suffix` whose lock could be taken now: their writer is gone. A file
    /// replaced or removed between listing and locking is left out.
    static std::vector<OrphanFile> find(const RecoveryFolder &folder, QStringView suffix);

    QString name() const { return m_name; }
    QString path() const { return m_folder.filePath(m_name); }
    /// Its bytes from the start, at most `limit` of them (-1: all); false on a read error.
    bool read(QByteArray &bytes, qsizetype limit = -1) const;
    /// Removes the file: its work is recovered or given up.
    bool remove();

private:
    OrphanFile(const RecoveryFolder &folder, const QString &name, FileDescriptor fd);

    RecoveryFolder m_folder;
    QString m_name;
    FileDescriptor m_fd;
};
