#include "documentfile.h"

#include "documentformat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

// A device or pipe is written in place: a save file would put a regular file in its stead.
SaveResult writeInPlace(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return { false, reasonOf(file, QStringLiteral("The file could not be opened.")) };
    if (!writeAll(file, bytes))
        return { false, reasonOf(file, QStringLiteral("The file could not be written.")) };
    file.close();
    if (file.error() != QFileDevice::NoError)
        return { false, file.errorString() };
    return { true, {} };
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

} // namespace

LoadResult readDocumentFile(const QString &path, const ReadProgress &progress)
{
    const QFileInfo info(path);
    if (!info.exists())
        return { false, {}, noFileReason() };
    if (info.isDir())
        return { false, {}, folderReason() };
    // A device or pipe has no end to read to (/dev/zero) or may never answer (a pipe).
    if (!info.isFile())
        return { false, {}, QStringLiteral("It is a device or pipe, not a file.") };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return { false, {}, reasonOf(file, QStringLiteral("The file could not be opened.")) };
    QByteArray bytes;
    if (!readAllInPieces(file, bytes, progress))
        return { false, {}, {}, true };
    if (file.error() != QFileDevice::NoError)
        return { false, {}, file.errorString() };
    return { true, DocumentFormat::textFromFileBytes(bytes), {} };
}

SaveResult writeDocumentFile(const QString &path, QStringView text)
{
    const QFileInfo info(path);
    if (info.isDir())
        return { false, folderReason() };
    if (!info.dir().exists())
        return { false, noFolderReason() };
    const QByteArray bytes = DocumentFormat::fileBytesFromText(text);
    if (info.exists() && !info.isFile())
        return writeInPlace(path, bytes);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return { false, reasonOf(file, QStringLiteral("The file could not be created.")) };
    if (!writeAll(file, bytes)) {
        const QString reason = reasonOf(file, QStringLiteral("The file could not be written."));
        file.cancelWriting();
        return { false, reason };
    }
    if (!file.commit())
        return { false, reasonOf(file, QStringLiteral("The file could not be written.")) };
    return { true, {} };
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
