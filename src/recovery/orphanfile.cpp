#include "orphanfile.h"

#include <cerrno>
#include <sys/file.h>
#include <unistd.h>

std::vector<OrphanFile> OrphanFile::find(const RecoveryFolder &folder, QStringView suffix)
{
    std::vector<OrphanFile> found;
    if (!folder.isOpen())
        return found;
    for (const QString &name : folder.fileNames()) {
        if (!name.endsWith(suffix))
            continue;
        FileDescriptor fd(folder.openFile(name));
        if (!fd.isValid() || ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0)
            continue;
        // Opened just before its writer put a new file in its place or removed it, and locked
        // once the writer let the old one go: the name is no longer this file's.
        if (!folder.refersTo(name, fd.get()))
            continue;
        found.push_back(OrphanFile(folder, name, std::move(fd)));
    }
    return found;
}

OrphanFile::OrphanFile(const RecoveryFolder &folder, const QString &name, FileDescriptor fd)
    : m_folder(folder)
    , m_name(name)
    , m_fd(std::move(fd))
{ }

bool OrphanFile::read(QByteArray &bytes, qsizetype limit) const
{
    return m_fd.readAll(bytes, limit);
}

bool OrphanFile::remove()
{
    if (!m_fd.isValid())
        return false;
    const bool removed = m_folder.removeFile(m_name);
    m_folder.sync();
    m_fd.reset();
    return removed;
}
