#include "recoveryfolder.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString stateHome()
{
    const QString variable = qEnvironmentVariable("XDG_STATE_HOME");
    // A relative path in an XDG variable is to be ignored.
    if (QDir::isAbsolutePath(variable))
        return QDir::cleanPath(variable);
    return QDir::cleanPath(QDir::homePath() + QStringLiteral("/.local/state"));
}

QByteArray nameBytes(const QString &name)
{
    return QFile::encodeName(name);
}

// Why `name` in the folder `dirFd` could not be entered as a folder without following it.
QString refusal(int dirFd, const QByteArray &name, const QString &path, int error)
{
    struct stat st;
    if (::fstatat(dirFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISLNK(st.st_mode))
            return QStringLiteral("%1 is a symbolic link.").arg(path);
        if (!S_ISDIR(st.st_mode))
            return QStringLiteral("%1 is not a folder.").arg(path);
    }
    return QStringLiteral("%1: %2").arg(path, qt_error_string(error));
}

} // namespace

QString RecoveryFolder::defaultPath()
{
    return stateHome() + QStringLiteral("/tarvex/recovery");
}

bool RecoveryFolder::open()
{
    m_fd.reset();
    m_error.clear();
    const QString home = stateHome();
    m_path = home + QStringLiteral("/tarvex/recovery");

    FileDescriptor dir(::open("/", O_DIRECTORY | O_RDONLY | O_CLOEXEC));
    QString reached;
    bool madeHere = false; // below a folder made here, nothing is someone else's link to follow
    QStringList components = home.split(u'/', Qt::SkipEmptyParts);
    const qsizetype ownFrom = components.size();
    components << QStringLiteral("tarvex") << QStringLiteral("recovery");
    for (qsizetype i = 0; i < components.size() && dir.isValid(); ++i) {
        const QByteArray name = nameBytes(components[i]);
        reached += u'/' + components[i];
        const bool follow = i < ownFrom && !madeHere;
        const int flags = O_DIRECTORY | O_RDONLY | O_CLOEXEC | (follow ? 0 : O_NOFOLLOW);
        int fd = ::openat(dir.get(), name.constData(), flags);
        if (fd < 0 && errno == ENOENT) {
            if (::mkdirat(dir.get(), name.constData(), 0700) != 0 && errno != EEXIST) {
                m_error = QStringLiteral("%1: %2").arg(reached, qt_error_string(errno));
                return false;
            }
            madeHere = true;
            fd = ::openat(dir.get(), name.constData(), flags | O_NOFOLLOW);
        }
        if (fd < 0) {
            m_error = refusal(dir.get(), name, reached, errno);
            return false;
        }
        dir.reset(fd);
        if (i < ownFrom)
            continue;
        struct stat st;
        if (::fstat(dir.get(), &st) != 0) {
            m_error = QStringLiteral("%1: %2").arg(reached, qt_error_string(errno));
            return false;
        }
        if (st.st_uid != ::geteuid()) {
            m_error = QStringLiteral("%1 belongs to another user.").arg(reached);
            return false;
        }
        if ((st.st_mode & 077) != 0 && ::fchmod(dir.get(), 0700) != 0) {
            m_error = QStringLiteral("%1: %2").arg(reached, qt_error_string(errno));
            return false;
        }
    }
    if (!dir.isValid()) {
        m_error = QStringLiteral("/: %1").arg(qt_error_string(errno));
        return false;
    }
    m_fd = std::make_shared<FileDescriptor>(std::move(dir));
    return true;
}

int RecoveryFolder::createFile(const QString &name) const
{
    return ::openat(descriptor(), nameBytes(name).constData(),
        O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
}

FileDescriptor RecoveryFolder::createLockedFile(
    QStringView suffix, QString &name, QString &error) const
{
    // A starting instance removes the empty files it can lock, which a file made here is until
    // it is locked; then it is made again under a new name.
    for (int attempt = 0; attempt < 8; ++attempt) {
        name = uniqueName(suffix);
        FileDescriptor fd(createFile(name));
        if (!fd.isValid()) {
            if (errno == EEXIST)
                continue;
            error = qt_error_string(errno);
            return {};
        }
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK) {
                error = qt_error_string(errno);
                removeFile(name);
                return {};
            }
            if (refersTo(name, fd.get()))
                removeFile(name);
            continue;
        }
        if (refersTo(name, fd.get()))
            return fd;
    }
    name.clear();
    error = QStringLiteral("No file of its own could be made in the recovery folder.");
    return {};
}

int RecoveryFolder::openFile(const QString &name) const
{
    // Non-blocking, so that a FIFO planted here cannot hang the start.
    FileDescriptor fd(::openat(
        descriptor(), nameBytes(name).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat st;
    if (!fd.isValid() || ::fstat(fd.get(), &st) != 0)
        return -1;
    if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        errno = EPERM;
        return -1;
    }
    const int flags = ::fcntl(fd.get(), F_GETFL);
    ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK);
    return fd.release();
}

bool RecoveryFolder::refersTo(const QString &name, int fd) const
{
    struct stat named, opened;
    return ::fstatat(descriptor(), nameBytes(name).constData(), &named, AT_SYMLINK_NOFOLLOW) == 0
        && ::fstat(fd, &opened) == 0 && named.st_dev == opened.st_dev
        && named.st_ino == opened.st_ino;
}

bool RecoveryFolder::removeFile(const QString &name) const
{
    return ::unlinkat(descriptor(), nameBytes(name).constData(), 0) == 0;
}

bool RecoveryFolder::renameFile(const QString &from, const QString &to) const
{
    return ::renameat(
               descriptor(), nameBytes(from).constData(), descriptor(), nameBytes(to).constData())
        == 0;
}

bool RecoveryFolder::sync() const
{
    return ::fsync(descriptor()) == 0;
}

QStringList RecoveryFolder::fileNames() const
{
    QStringList names;
    // A description of its own: reading entries moves an offset that a dup() would share.
    const int fd = ::openat(descriptor(), ".", O_DIRECTORY | O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return names;
    DIR *dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return names;
    }
    while (const dirent *entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (name != u"." && name != u"..")
            names << name;
    }
    ::closedir(dir);
    names.sort();
    return names;
}

QString RecoveryFolder::uniqueName(QStringView suffix)
{
    return QStringLiteral("%1-%2")
               .arg(::getpid())
               .arg(QRandomGenerator::system()->generate64(), 16, 16, QChar(u'0'))
        + suffix.toString();
}
