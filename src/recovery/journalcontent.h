#pragma once

#include "journalorigin.h"

#include <QList>
#include <QString>

/// One recorded change: `removed` characters at `position` gave way to `added` (UTF-16 units
/// of the exact text).
struct JournalChange
{
    qint64 position = 0;
    qint64 removed = 0;
    QString added;

    bool operator==(const JournalChange &) const = default;
};

/// A replayed text, and whether replay stopped at a change that fell outside the text.
struct JournalReplay
{
    QString text;
    qsizetype applied = 0; // the changes that went in
    bool damaged = false;
};

/// What a journal file holds, read up to its first damage.
struct JournalContent
{
    bool isJournal = false; // its start and origin were read
    bool newerVersion = false; // written in a later format, to be left alone
    bool damaged = false; // the records stop at a cut or damage, not at the file's end
    JournalOrigin origin;
    bool hasSnapshot = false; // then `snapshot` is the base and the origin's bytes are not needed
    QString snapshot;
    QList<JournalChange> changes; // since the last snapshot
    qint64 lastRecordMs = 0; // when the last whole record (or the origin) was written

    /// Whether replay needs the origin file's text as its base.
    bool needsBase() const { return !hasSnapshot && !origin.isUntitled(); }
    /// The changes replayed on the snapshot, or else on `base` (the origin file's text, empty
    /// for an untitled document), up to the first that falls outside the text.
    JournalReplay replay(const QString &base = QString()) const;
};
