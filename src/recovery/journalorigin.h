#pragma once

#include <QByteArrayView>
#include <QString>

/// What a journal's changes apply to: an untitled document, or the bytes of a file as they were
/// when it was loaded. Replay goes onto a file only while it still holds those same bytes.
struct JournalOrigin
{
    QString path; // empty: untitled
    qint64 size = 0;
    qint64 modifiedNs = 0; // since the epoch
    quint64 hash = 0; // ContentHash of the bytes
    QString encoding; // the name of the encoding the bytes were read with

    bool isUntitled() const { return path.isEmpty(); }

    /// The origin of a document loaded from `bytes` read from `path`, whose modification time
    /// is taken now.
    static JournalOrigin ofFile(const QString &path, QByteArrayView bytes, const QString &encoding);

    bool operator==(const JournalOrigin &) const = default;
};
