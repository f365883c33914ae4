#pragma once

#include "filedescriptor.h"

#include <QString>
#include <QStringList>

#include <memory>

/// The folder that keeps the recovery journals and save guards, $XDG_STATE_HOME/tarvex/recovery
/// (~/.local/state/tarvex/recovery when the variable is unset or not absolute). Every file in it
/// is made and opened relative to the folder's descriptor, never through a link. Copies made
/// after open() share its descriptor.
class RecoveryFolder
{
public:
    /// The folder's path as the environment says now.
    static QString defaultPath();

    /// Opens the folder at defaultPath(), making what is missing one component at a time with
    /// mode 0700. The part of the state home that exists is taken as the user set it up (it may
    /// lead elsewhere through a link); the components made here, and tarvex/ and recovery/
    /// always, are never followed when they are links. tarvex/ or recovery/ that is a link, no
    /// folder, or another user's is refused; one open to group or others is made 0700.
    bool open();
    bool isOpen() const { return m_fd != nullptr; }
    QString path() const { return m_path; }
    QString errorString() const { return m_error; }
    int descriptor() const { return m_fd ? m_fd->get() : -1; }

    /// A new file with mode 0600, read-write; -1 (errno set) when `name` exists, even as a link.
    int createFile(const QString &name) const;
    /// A new file named uniqueName(suffix), flock'ed (LOCK_EX) before anything is written in it,
    /// so that no other instance ever finds it unlocked with something in it. Its name goes to
    /// `name`; invalid when it cannot be made.
    FileDescriptor createLockedFile(QStringView suffix, QString &name, QString &error) const;
    /// A regular file of this user's, read-only, not through a link; -1 otherwise.
    int openFile(const QString &name) const;
    /// Whether `name` still names the file open on `fd`: not removed, nor replaced since.
    bool refersTo(const QString &name, int fd) const;
    bool removeFile(const QString &name) const;
    /// Puts `from` in the place of `to` in one step.
    bool renameFile(const QString &from, const QString &to) const;
    /// Makes the folder's entries (files made, renamed, removed) durable.
    bool sync() const;
    QStringList fileNames() const;
    QString filePath(const QString &name) const { return m_path + u'/' + name; }

    /// A name no other instance picks: the process id and 64 random bits, then `suffix`.
    static QString uniqueName(QStringView suffix);

private:
    std::shared_ptr<FileDescriptor> m_fd;
    QString m_path;
    QString m_error;
};
