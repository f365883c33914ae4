#include "safesave.h"

#include "recovery/filedescriptor.h"
#include "recovery/recoveryfolder.h"
#include "recovery/saveguard.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

SaveResult failure(int error)
{
    return { false, qt_error_string(error) };
}

// errorString() says "Unknown error" when the device recorded nothing, as after a short write.
QString reasonOf(const QFileDevice &file, const QString &fallback)
{
    return file.error() != QFileDevice::NoError ? file.errorString() : fallback;
}

// write() may take only part of the data (file-size limit, full disk) without an error; the
// next call then fails with the reason.
bool writeAll(QFileDevice &file, const QByteArray &bytes)
{
    const char *from = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const qint64 written = file.write(from, left);
        if (written <= 0)
            return false;
        from += written;
        left -= written;
    }
    return true;
}

// The file written over where it stands keeps its inode, and with it every link, its owner and
// its mode. Room for the new bytes is taken before the first old byte is touched, so a full
// disk fails here with the file untouched; should the write fail all the same (a file-size
// limit, past which the program's writes fail: see Startup::ignoreFileSizeSignal), the old
// bytes, kept in memory, go back. A kill in the middle would leave the new text's start over
// the old text's rest: the old bytes wait in the recovery folder, synced, until the new ones are
// on disk, to be offered back at the next start. Where that folder cannot be used, the save goes
// on as it did without one.
SaveResult writeInPlace(const QString &path, const QByteArray &bytes)
{
    const FileDescriptor fd(::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC));
    if (!fd.isValid())
        return failure(errno);
    QByteArray old;
    if (!fd.readAll(old))
        return failure(errno);
    // Not every file system can reserve; those that cannot still have the old bytes to go back.
    if (bytes.size() > old.size() && ::fallocate(fd.get(), FALLOC_FL_KEEP_SIZE, 0, bytes.size()) != 0
        && errno != EOPNOTSUPP && errno != ENOSYS)
        return failure(errno);
    RecoveryFolder folder;
    folder.open();
    SaveGuard guard(folder);
    guard.keep(path, old, bytes);
    if (fd.writeAt(bytes, 0) && ::ftruncate(fd.get(), bytes.size()) == 0
        && ::fsync(fd.get()) == 0) {
        guard.release();
        return { true, {} };
    }
    const int error = errno;
    if (fd.writeAt(old, 0) && ::ftruncate(fd.get(), old.size()) == 0
        && ::fsync(fd.get()) == 0) {
        guard.release();
        return failure(error);
    }
    // The guard stays, to be offered at the next start.
    return { false,
        qt_error_string(error)
            + QStringLiteral(" The old content could not be put back: the file may be damaged.") };
}

// The copy takes on the owner, group and mode of the file it replaces; false when it cannot
// (another user's file, for anyone but root).
bool takeOnIdentity(int fd, const struct stat &old)
{
    struct stat copy;
    if (::fstat(fd, &copy) != 0)
        return false;
    if ((copy.st_uid != old.st_uid || copy.st_gid != old.st_gid)
        && ::fchown(fd, old.st_uid, old.st_gid) != 0)
        return false;
    return ::fchmod(fd, old.st_mode & 07777) == 0;
}

// A finished copy renamed over the file, so that the old file stays whole until the new bytes
// are all on disk. Nothing when the copy cannot stand in for the existing file `old`.
std::optional<SaveResult> replaceWithCopy(
    const QString &path, const QByteArray &bytes, const struct stat *old)
{
    QSaveFile file(path);
    // Unbuffered: a buffered short text would meet a full disk only in commit()'s flush, whose
    // failure commit() does not see, and the cut copy would replace the file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (old)
            return std::nullopt; // a folder that takes no new file
        return SaveResult { false,
            reasonOf(file, QStringLiteral("The file could not be created.")) };
    }
    if (old && !takeOnIdentity(file.handle(), *old)) {
        file.cancelWriting();
        return std::nullopt;
    }
    if (!writeAll(file, bytes)) {
        const QString reason = reasonOf(file, QStringLiteral("The file could not be written."));
        file.cancelWriting();
        return SaveResult { false, reason };
    }
    if (!file.commit())
        return SaveResult { false, reasonOf(file, QStringLiteral("The file could not be written.")) };
    return SaveResult { true, {} };
}

} // namespace

SaveResult safeSave(const QString &path, const QByteArray &bytes)
{
    struct stat old;
    if (::stat(QFile::encodeName(path).constData(), &old) != 0)
        return *replaceWithCopy(path, bytes, nullptr);
    // A copy would carry only this one name; the other names would keep the old text.
    if (old.st_nlink > 1)
        return writeInPlace(path, bytes);
    if (const std::optional<SaveResult> replaced = replaceWithCopy(path, bytes, &old))
        return *replaced;
    return writeInPlace(path, bytes);
}
