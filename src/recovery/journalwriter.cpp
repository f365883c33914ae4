#include "journalwriter.h"

#include "journalformat.h"

#include <QDateTime>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

const QString kJournalSuffix = QStringLiteral(".journal");
const QString kPartialSuffix = QStringLiteral(".partial");
constexpr qint64 kLeastCompactionBound = 1024 * 1024;

qint64 now()
{
    return QDateTime::currentMSecsSinceEpoch();
}

} // namespace

JournalWriter::JournalWriter(const RecoveryFolder &folder)
    : m_folder(folder)
{ }

JournalWriter::~JournalWriter()
{
    if (isActive())
        flush();
    m_sync.wait();
}

QString JournalWriter::filePath() const
{
    return isActive() ? m_folder.filePath(m_name) : QString();
}

bool JournalWriter::start(const JournalOrigin &origin)
{
    discard();
    m_error.clear();
    m_pending.clear();
    m_lost = false;
    m_sync.failed(); // a sync of the journal before has no bearing on this one
    if (!m_folder.isOpen()) {
        m_error = QStringLiteral("The recovery folder is not open.");
        return false;
    }
    const QByteArray header = JournalFormat::header(origin, now());
    QString name;
    FileDescriptor fd = m_folder.createLockedFile(kJournalSuffix, name, m_error);
    if (!fd.isValid())
        return false;
    if (!fd.writeAt(header, 0) || ::fdatasync(fd.get()) != 0 || !m_folder.sync()) {
        m_error = qt_error_string(errno);
        m_folder.removeFile(name);
        return false;
    }
    m_fd = std::move(fd);
    m_name = name;
    m_origin = origin;
    m_fileSize = m_baseSize = header.size();
    return true;
}

void JournalWriter::recordChange(qsizetype position, qsizetype removed, QStringView added)
{
    if (isActive() && !m_lost
        && !JournalFormat::appendChange(m_pending, now(), position, removed, added)) {
        // Every later change needs this one: the journal holds nothing more until a snapshot.
        m_lost = true;
        m_pending.clear();
    }
}

bool JournalWriter::flush()
{
    if (m_sync.failed()) {
        m_lost = true;
        m_pending.clear();
    }
    if (m_lost) {
        m_error = QStringLiteral("The journal could not be kept whole; it waits for a snapshot.");
        return false;
    }
    if (!isActive() || m_pending.isEmpty())
        return true;
    if (!m_fd.writeAt(m_pending, m_fileSize)) {
        m_error = qt_error_string(errno);
        // No torn record stays in the way of the whole ones written next time.
        if (::ftruncate(m_fd.get(), m_fileSize) != 0)
            m_error = qt_error_string(errno);
        return false;
    }
    m_fileSize += m_pending.size();
    m_pending.clear();
    const int copy = ::fcntl(m_fd.get(), F_DUPFD_CLOEXEC, 0);
    if (copy >= 0) {
        m_sync.sync(copy);
    } else if (::fdatasync(m_fd.get()) != 0) {
        m_error = qt_error_string(errno);
        m_lost = true;
        return false;
    }
    return true;
}

bool JournalWriter::waitForDisk()
{
    if (m_sync.wait())
        return true;
    m_lost = true;
    m_error = QStringLiteral("The journal could not be put on disk.");
    return false;
}

bool JournalWriter::needsCompaction(qsizetype textLength) const
{
    const qint64 records = m_fileSize - m_baseSize + m_pending.size();
    return isActive() && (m_lost || records > qMax(kLeastCompactionBound, 2 * qint64(textLength)));
}

bool JournalWriter::writeSnapshot(QStringView text)
{
    if (!isActive()) {
        m_error = QStringLiteral("No journal is begun.");
        return false;
    }
    const qint64 time = now();
    const std::optional<JournalFormat::FramedRecord> record = JournalFormat::snapshot(time, text);
    if (!record) {
        m_error = QStringLiteral("The text is too long for the journal.");
        return false;
    }
    const QByteArray header = JournalFormat::header(m_origin, time);
    QString name;
    FileDescriptor fd = m_folder.createLockedFile(kPartialSuffix, name, m_error);
    if (!fd.isValid())
        return false;
    qint64 size = 0;
    bool written = true;
    for (const QByteArrayView piece : { QByteArrayView(header), QByteArrayView(record->head),
             record->body, QByteArrayView(record->tail) }) {
        written = written && fd.writeAt(piece, size);
        size += piece.size();
    }
    // The new file is whole on disk before it takes the old one's name; the old one's lock is
    // let go only after that, so the name is never unlocked.
    if (!written || ::fdatasync(fd.get()) != 0 || !m_folder.renameFile(name, m_name)) {
        m_error = qt_error_string(errno);
        m_folder.removeFile(name);
        return false;
    }
    m_folder.sync();
    m_fd = std::move(fd);
    m_fileSize = m_baseSize = size;
    m_pending.clear();
    m_lost = false;
    return true;
}

void JournalWriter::discard()
{
    if (!isActive())
        return;
    m_folder.removeFile(m_name);
    m_folder.sync();
    m_fd.reset();
    m_name.clear();
    m_pending.clear();
    m_lost = false;
    m_fileSize = m_baseSize = 0;
}
