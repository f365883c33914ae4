#pragma once

#include <QString>
#include <QStringView>

/// Reading and writing document files. Failures come back as values with a short reason the
/// caller can show.

struct LoadResult
{
    bool ok = false;
    QString text;
    QString error;
};

/// The document text of the file at `path`, by the loading rule of DocumentFormat.
LoadResult readDocumentFile(const QString &path);

struct SaveResult
{
    bool ok = false;
    QString error;
};

/// Writes the file bytes of `text` to `path`. A regular file is replaced only once the new
/// bytes are all on disk, so a failed write leaves the old file as it was.
SaveResult writeDocumentFile(const QString &path, QStringView text);

struct SizeResult
{
    bool ok = false;
    qint64 size = 0;
    QString error;
};

/// The size on disk of the file at `path`.
SizeResult documentFileSize(const QString &path);
