#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <unistd.h>
#include <utility>

/// An open POSIX descriptor, closed when the object goes (and with it any flock it holds).
class FileDescriptor
{
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd)
        : m_fd(fd)
    { }
    ~FileDescriptor() { reset(); }
    FileDescriptor(FileDescriptor &&other) noexcept
        : m_fd(std::exchange(other.m_fd, -1))
    { }
    FileDescriptor &operator=(FileDescriptor &&other) noexcept
    {
        if (this != &other)
            reset(std::exchange(other.m_fd, -1));
        return *this;
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;

    int get() const { return m_fd; }
    bool isValid() const { return m_fd >= 0; }
    /// Hands the descriptor over, no longer closed here.
    int release() { return std::exchange(m_fd, -1); }
    void reset(int fd = -1);

    /// Writes all of `bytes` at `offset`; false (errno set) when it stops short.
    bool writeAt(QByteArrayView bytes, qint64 offset) const;
    /// The whole file from its start, or its first `limit` bytes at the most; false (errno set)
    /// on a read error.
    bool readAll(QByteArray &bytes, qint64 limit = -1) const;

private:
    int m_fd = -1;
};
