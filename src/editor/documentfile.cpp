#include "documentfile.h"

#include "documentformat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

} // namespace

LoadResult readDocumentFile(const QString &path)
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
    const QByteArray bytes = file.readAll();
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
