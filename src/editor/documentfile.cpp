#include "documentfile.h"

#include "documentformat.h"
#include "safesave.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

namespace {

QString noFileReason()
{
    return QStringLiteral("The file does not exist.");
}

QString folderReason()
{
    return QStringLiteral("It is a folder, not a file.");
}

QString noFolderReason()
{
    return QStringLiteral("The folder does not exist.");
}

QString notAFileReason()
{
    return QStringLiteral("It is a device or pipe, not a file.");
}

QString linkLoopReason()
{
    return QStringLiteral("It is a symbolic link that leads round in a loop, never to a file.");
}

// A name whose links lead back to themselves: a save would put a new file in place of the link.
bool isLinkLoop(const QString &path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) != 0 && errno == ELOOP;
}

QString undecodableNameReason()
{
    return QStringLiteral("The name is not valid UTF-8, so Tarvex cannot use it. Rename the "
                          "file (or its folder) and try again.");
}

// errorString() says "Unknown error" when the device recorded nothing.
QString reasonOf(const QFileDevice &file, const QString &fallback)
{
    return file.error() != QFileDevice::NoError ? file.errorString() : fallback;
}

// Qt reads file names as UTF-8 and puts U+FFFD for bytes that are not (a Latin-1 "caf\xe9"), so
// such a name cannot be turned back into its bytes: the path names no file, and folder
// listings leave the file out. True when that is why `path` names nothing: the nearest missing
// part of it is the decoded name of an entry of its folder.
bool hasUndecodableName(const QString &path)
{
    if (!path.contains(QChar::ReplacementCharacter))
        return false;
    QFileInfo missing(path);
    while (!QFileInfo::exists(missing.absolutePath())) {
        if (missing.absolutePath() == missing.absoluteFilePath())
            return false;
        missing.setFile(missing.absolutePath());
    }
    const QString name = missing.fileName();
    if (!name.contains(QChar::ReplacementCharacter))
        return false;
    DIR *folder = ::opendir(QFile::encodeName(missing.absolutePath()).constData());
    if (!folder)
        return false;
    const QByteArray encoded = QFile::encodeName(name);
    bool found = false;
    while (const dirent *entry = ::readdir(folder)) {
        if (encoded != entry->d_name && QFile::decodeName(entry->d_name) == name) {
            found = true;
            break;
        }
    }
    ::closedir(folder);
    return found;
}

// Pieces small enough for a progress window to move and its Cancel to answer at once.
constexpr qint64 kReadPiece = 4 * 1024 * 1024;

// Reads to the end, whatever the size said; false when `progress` asked to stop.
bool readAllInPieces(QFile &file, QByteArray &bytes, const ReadProgress &progress)
{
    const qint64 expected = std::max<qint64>(file.size(), 1);
    bytes.reserve(file.size() + kReadPiece);
    for (;;) {
        const qsizetype at = bytes.size();
        bytes.resize(at + kReadPiece);
        const qint64 got = file.read(bytes.data() + at, kReadPiece);
        bytes.resize(at + std::max<qint64>(got, 0));
        if (got <= 0)
            return true;
        if (progress && !progress(int(std::min<qint64>(100, 100 * bytes.size() / expected))))
            return false;
    }
}

// The bytes of the file at `path` and the encoding to read them in; `error` and `cancelled` as
// in LoadResult.
struct FileBytes
{
    bool ok = false;
    QByteArray bytes;
    QString error;
    bool cancelled = false;
    JournalOrigin origin {};
    TextEncoding encoding = TextEncoding::Windows1252;
};

FileBytes readFileBytes(const QString &path, const ReadProgress &progress, std::optional<bool> utf8)
{
    const QFileInfo info(path);
    if (isLinkLoop(path))
        return { false, {}, linkLoopReason() };
    if (!info.exists())
        return { false, {}, hasUndecodableName(path) ? undecodableNameReason() : noFileReason() };
    if (info.isDir())
        return { false, {}, folderReason() };
    // A device or pipe has no end to read to (/dev/zero) or may never answer (a pipe).
    if (!info.isFile())
        return { false, {}, notAFileReason() };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return { false, {}, reasonOf(file, QStringLiteral("The file could not be opened.")) };
    QByteArray bytes;
    if (!readAllInPieces(file, bytes, progress))
        return { false, {}, {}, true };
    if (file.error() != QFileDevice::NoError)
        return { false, {}, file.errorString() };
    const TextEncoding encoding = !utf8 ? DocumentFormat::encodingOf(bytes)
        : *utf8                         ? DocumentFormat::utf8EncodingOf(bytes)
                                        : TextEncoding::Windows1252;
    JournalOrigin origin
        = JournalOrigin::ofFile(path, bytes, DocumentFormat::journalName(encoding));
    return { true, std::move(bytes), {}, false, std::move(origin), encoding };
}

} // namespace

LoadResult readDocumentFile(
    const QString &path, const ReadProgress &progress, std::optional<bool> utf8)
{
    FileBytes file = readFileBytes(path, progress, utf8);
    if (!file.ok)
        return { false, {}, file.error, file.cancelled };
    return { true, DocumentFormat::textFromFileBytes(file.bytes, file.encoding), {}, false,
        std::move(file.origin), file.encoding };
}

BufferLoad readDocumentBuffer(
    const QString &path, const ReadProgress &progress, std::optional<bool> utf8)
{
    FileBytes file = readFileBytes(path, progress, utf8);
    if (!file.ok)
        return { false, {}, file.error, file.cancelled };
    return { true, DocumentFormat::bufferFromFileBytes(std::move(file.bytes), file.encoding), {},
        false, std::move(file.origin), file.encoding };
}

SaveResult writeDocumentFile(const QString &path, QStringView text, TextEncoding encoding)
{
    const QFileInfo info(path);
    if (info.isDir())
        return { false, folderReason() };
    if (!info.exists() && hasUndecodableName(path))
        return { false, undecodableNameReason() };
    if (!info.dir().exists())
        return { false, noFolderReason() };
    if (isLinkLoop(path))
        return { false, linkLoopReason() };
    // A pipe would hold the window until something reads it; a device is no document.
    if (info.exists() && !info.isFile())
        return { false, notAFileReason() };
    const QByteArray bytes = DocumentFormat::fileBytesFromText(text, encoding);
    SaveResult saved = safeSave(path, bytes);
    if (saved.ok) {
        saved.origin = JournalOrigin::ofFile(path, bytes, DocumentFormat::journalName(encoding));
        saved.loadsBack = DocumentFormat::textFromFileBytes(bytes, encoding) == text;
    }
    return saved;
}

SizeResult documentFileSize(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return { false, 0, noFileReason() };
    if (info.isDir())
        return { false, 0, folderReason() };
    return { true, info.size(), {} };
}

FileStamp fileStamp(const QString &path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return { true, qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
        quint64(st.st_ino) };
}
