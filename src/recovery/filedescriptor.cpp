#include "filedescriptor.h"

#include <cerrno>
#include <sys/stat.h>

void FileDescriptor::reset(int fd)
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = fd;
}

bool FileDescriptor::writeAt(QByteArrayView bytes, qint64 offset) const
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written
            = ::pwrite(m_fd, bytes.data() + done, bytes.size() - done, offset + done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        done += written;
    }
    return true;
}

bool FileDescriptor::readAll(QByteArray &bytes, qint64 limit) const
{
    qint64 size = limit;
    if (size < 0) {
        struct stat st;
        if (::fstat(m_fd, &st) != 0)
            return false;
        size = st.st_size;
    }
    bytes.resize(size);
    qsizetype done = 0;
    for (;;) {
        if (done == bytes.size()) {
            if (limit >= 0)
                break;
            bytes.resize(done + 64 * 1024); // grown since
        }
        const ssize_t got = ::pread(m_fd, bytes.data() + done, bytes.size() - done, done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            break;
        done += got;
    }
    bytes.truncate(done);
    return true;
}
