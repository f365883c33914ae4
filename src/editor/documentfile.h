#pragma once

#include "document/textbuffer.h"
#include "document/textencoding.h"
#include "recovery/journalorigin.h"

#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

/// Reading and writing document files. Failures come back as values with a short reason the
/// caller can show.

struct LoadResult
{
    bool ok = false;
    QString text;
    QString error;
    bool cancelled = false;
    JournalOrigin origin {}; // the bytes read, for the recovery journal
    TextEncoding encoding = TextEncoding::Windows1252; // the one the text was read in
};

/// The same, the text held as a TextBuffer: a Windows-1252 file's bytes, one byte a character.
struct BufferLoad
{
    bool ok = false;
    TextBuffer text;
    QString error;
    bool cancelled = false;
    JournalOrigin origin {};
    TextEncoding encoding = TextEncoding::Windows1252;
};

/// Told the share of the file read so far, in percent; answers whether to go on.
using ReadProgress = std::function<bool(int percent)>;

/// The document text of the file at `path`, by the loading rule of DocumentFormat, in the
/// encoding its bytes show, or as UTF-8 or Windows-1252 when `utf8` says which. A big file is
/// read a piece at a time, with `progress` told after each piece.
LoadResult readDocumentFile(const QString &path, const ReadProgress &progress = {},
    std::optional<bool> utf8 = std::nullopt);
/// As readDocumentFile(), keeping a Windows-1252 file as its bytes (DocumentFormat::
/// bufferFromFileBytes): what Open and the other loads hold is about the size of the file.
BufferLoad readDocumentBuffer(const QString &path, const ReadProgress &progress = {},
    std::optional<bool> utf8 = std::nullopt);

struct SaveResult
{
    bool ok = false;
    QString error;
    // Only once written: the bytes now in the file, for the recovery journal, and whether they
    // load back as the very text written (not so without its last line break, say).
    JournalOrigin origin {};
    bool loadsBack = false;
};

/// Writes the file bytes of `text` in `encoding` to `path`. A regular file is replaced only once
/// the new bytes are all on disk, so a failed write leaves the old file as it was.
SaveResult writeDocumentFile(
    const QString &path, QStringView text, TextEncoding encoding = TextEncoding::Windows1252);

struct SizeResult
{
    bool ok = false;
    qint64 size = 0;
    QString error;
};

/// The size on disk of the file at `path`.
SizeResult documentFileSize(const QString &path);

/// What tells one version of a file on disk from the next: size, modification time to the
/// nanosecond and the inode, which changes when another program replaces the file.
struct FileStamp
{
    bool exists = false;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    quint64 inode = 0;

    bool operator==(const FileStamp &) const = default;
};

FileStamp fileStamp(const QString &path);
