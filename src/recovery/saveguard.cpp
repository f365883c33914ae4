#include "saveguard.h"

#include "contenthash.h"
#include "journalformat.h"

#include <QDateTime>
#include <QFile>
#include <QtEndian>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

const QString kSuffix = QStringLiteral(".saveguard");
constexpr char kMagic[] = "TVXGUARD";
constexpr qsizetype kMagicSize = 8;
constexpr quint32 kVersion = 1;

template <typename T> void put(QByteArray &out, T value)
{
    const T little = qToLittleEndian(value);
    out.append(reinterpret_cast<const char *>(&little), sizeof little);
}

template <typename T> T take(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<T>(bytes.data() + at);
}

enum class Read { Whole, Unfinished, Newer };

// The guard's record in `bytes`.
Read parse(QByteArrayView bytes, SaveGuard::Orphan &orphan)
{
    if (bytes.size() < kMagicSize + 4
        || bytes.first(kMagicSize) != QByteArrayView(kMagic, kMagicSize))
        return Read::Unfinished;
    const quint32 version = take<quint32>(bytes, kMagicSize);
    if (version > kVersion)
        return Read::Newer;
    if (version != kVersion)
        return Read::Unfinished;
    qsizetype offset = kMagicSize + 4;
    const std::optional<QByteArrayView> payload = JournalFormat::nextFrame(bytes, offset);
    constexpr qsizetype fixed = 1 + 8 + 4; // kind, time, path length
    if (!payload || offset != bytes.size() || payload->size() < fixed || payload->at(0) != 'G')
        return Read::Unfinished;
    const qsizetype pathSize = take<quint32>(*payload, 9);
    if (pathSize == 0 || pathSize > payload->size() - fixed - 16)
        return Read::Unfinished;
    orphan.path = QFile::decodeName(payload->sliced(fixed, pathSize).toByteArray());
    orphan.newSize = take<qint64>(*payload, fixed + pathSize);
    orphan.newHash = take<quint64>(*payload, fixed + pathSize + 8);
    orphan.oldBytes = payload->sliced(fixed + pathSize + 16).toByteArray();
    return Read::Whole;
}

} // namespace

SaveGuard::SaveGuard(const RecoveryFolder &folder)
    : m_folder(folder)
{ }

bool SaveGuard::keep(const QString &path, QByteArrayView oldBytes, QByteArrayView newBytes)
{
    release();
    m_error.clear();
    QByteArray start;
    put<quint8>(start, 'G');
    put<qint64>(start, QDateTime::currentMSecsSinceEpoch());
    const QByteArray pathBytes = QFile::encodeName(path);
    put<quint32>(start, quint32(pathBytes.size()));
    start += pathBytes;
    put<qint64>(start, newBytes.size());
    put<quint64>(start, ContentHash::hash(newBytes));
    const std::optional<JournalFormat::FramedRecord> record
        = JournalFormat::framed(start, oldBytes);
    if (!m_folder.isOpen() || !record) {
        m_error = QStringLiteral("The old content cannot be kept aside.");
        return false;
    }
    QByteArray fileStart(kMagic, kMagicSize);
    put<quint32>(fileStart, kVersion);
    QString name;
    FileDescriptor fd = m_folder.createLockedFile(kSuffix, name, m_error);
    if (!fd.isValid())
        return false;
    qint64 size = 0;
    bool written = true;
    for (const QByteArrayView piece : { QByteArrayView(fileStart), QByteArrayView(record->head),
             record->body, QByteArrayView(record->tail) }) {
        written = written && fd.writeAt(piece, size);
        size += piece.size();
    }
    if (!written || ::fdatasync(fd.get()) != 0 || !m_folder.sync()) {
        m_error = qt_error_string(errno);
        m_folder.removeFile(name);
        return false;
    }
    m_fd = std::move(fd);
    m_name = name;
    return true;
}

void SaveGuard::release()
{
    if (!m_fd.isValid())
        return;
    // Not synced: should the removal be lost, the guard comes back as Finished, and goes.
    m_folder.removeFile(m_name);
    m_fd.reset();
    m_name.clear();
}

SaveGuard::Outcome SaveGuard::Orphan::outcome(QByteArrayView current) const
{
    if (current.size() == newSize && ContentHash::hash(current) == newHash)
        return Outcome::Finished;
    if (current == QByteArrayView(oldBytes))
        return Outcome::Untouched;
    return Outcome::Torn;
}

bool SaveGuard::Orphan::restore(QString &error) const
{
    const FileDescriptor fd(
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
    if (!fd.isValid() || !fd.writeAt(oldBytes, 0) || ::ftruncate(fd.get(), oldBytes.size()) != 0
        || ::fsync(fd.get()) != 0) {
        error = qt_error_string(errno);
        return false;
    }
    return true;
}

std::vector<SaveGuard::Orphan> SaveGuard::orphans(const RecoveryFolder &folder)
{
    std::vector<Orphan> found;
    for (OrphanFile &file : OrphanFile::find(folder, kSuffix)) {
        QByteArray bytes;
        if (!file.read(bytes))
            continue;
        Orphan orphan { std::move(file), {}, {}, 0, 0 };
        const Read read = parse(bytes, orphan);
        if (read == Read::Whole)
            found.push_back(std::move(orphan));
        else if (read == Read::Unfinished)
            orphan.file.remove();
    }
    return found;
}
