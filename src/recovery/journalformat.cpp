#include "journalformat.h"

#include "contenthash.h"

#include <QFile>
#include <QtEndian>

#include <cstring>
#include <limits>

namespace {

constexpr char kMagic[] = "TVXJRNL\n";
constexpr qsizetype kMagicSize = 8;
constexpr qsizetype kLongestPayload = std::numeric_limits<quint32>::max();
constexpr qsizetype kChangeFixed = 1 + 8 + 8 + 8; // kind, time, position, removed

template <typename T> void put(QByteArray &out, T value)
{
    const T little = qToLittleEndian(value);
    out.append(reinterpret_cast<const char *>(&little), sizeof little);
}

void putBytes(QByteArray &out, QByteArrayView bytes)
{
    put<quint32>(out, quint32(bytes.size()));
    out.append(bytes);
}

void putText(QByteArray &out, QStringView text)
{
    if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
        out.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    } else {
        for (const QChar c : text)
            put<quint16>(out, c.unicode());
    }
}

quint32 checkOf(QByteArrayView framed)
{
    return quint32(ContentHash::hash(framed));
}

// Closes the record begun at `start` with a length placeholder: its length and its check.
void closeFrame(QByteArray &out, qsizetype start)
{
    qToLittleEndian<quint32>(quint32(out.size() - start - 4), out.data() + start);
    put<quint32>(out, checkOf(QByteArrayView(out).sliced(start)));
}

// Reads numbers and strings from a payload, failing from the first read past its end on.
class PayloadReader
{
public:
    explicit PayloadReader(QByteArrayView bytes)
        : m_bytes(bytes)
    { }
    bool ok() const { return m_ok; }
    qsizetype left() const { return m_bytes.size() - m_at; }

    template <typename T> T take()
    {
        if (!m_ok || left() < qsizetype(sizeof(T))) {
            m_ok = false;
            return T();
        }
        const T value = qFromLittleEndian<T>(m_bytes.data() + m_at);
        m_at += sizeof(T);
        return value;
    }
    QByteArrayView takeBytes(qsizetype size)
    {
        if (!m_ok || size < 0 || left() < size) {
            m_ok = false;
            return {};
        }
        const QByteArrayView bytes = m_bytes.sliced(m_at, size);
        m_at += size;
        return bytes;
    }
    QByteArrayView takeSized() { return takeBytes(take<quint32>()); }
    // The rest as UTF-16LE text; an odd byte fails.
    QString takeText()
    {
        if (!m_ok || left() % 2 != 0) {
            m_ok = false;
            return {};
        }
        const QByteArrayView bytes = takeBytes(left());
        QString text(bytes.size() / 2, Qt::Uninitialized);
        if (!bytes.isEmpty())
            std::memcpy(text.data(), bytes.data(), bytes.size());
        if constexpr (Q_BYTE_ORDER != Q_LITTLE_ENDIAN) {
            for (QChar &c : text)
                c = QChar(qFromLittleEndian(c.unicode()));
        }
        return text;
    }

private:
    QByteArrayView m_bytes;
    qsizetype m_at = 0;
    bool m_ok = true;
};

bool readOrigin(QByteArrayView payload, JournalContent &content)
{
    PayloadReader in(payload);
    const auto kind = in.take<quint8>();
    const auto time = in.take<qint64>();
    const auto fromFile = in.take<quint8>();
    JournalOrigin origin;
    origin.size = in.take<qint64>();
    origin.modifiedNs = in.take<qint64>();
    origin.hash = in.take<quint64>();
    const QByteArrayView path = in.takeSized();
    const QByteArrayView encoding = in.takeSized();
    if (!in.ok() || in.left() != 0 || kind != 'O' || fromFile > 1
        || (fromFile == 1) == path.isEmpty())
        return false;
    origin.path = QFile::decodeName(path.toByteArray());
    origin.encoding = QString::fromUtf8(encoding);
    content.origin = origin;
    content.lastRecordMs = time;
    content.isJournal = true;
    return true;
}

// Takes in one change or snapshot record; false when it makes no sense.
bool readRecord(QByteArrayView payload, JournalContent &content)
{
    PayloadReader in(payload);
    const auto kind = in.take<quint8>();
    const auto time = in.take<qint64>();
    if (kind == 'C') {
        const auto position = in.take<qint64>();
        const auto removed = in.take<qint64>();
        QString added = in.takeText();
        if (!in.ok() || position < 0 || removed < 0)
            return false;
        content.changes.append({ position, removed, std::move(added) });
    } else if (kind == 'S') {
        QString text = in.takeText();
        if (!in.ok())
            return false;
        content.hasSnapshot = true;
        content.snapshot = std::move(text);
        content.changes.clear();
    } else {
        return false;
    }
    content.lastRecordMs = time;
    return true;
}

} // namespace

namespace JournalFormat {

QByteArray header(const JournalOrigin &origin, qint64 timeMs)
{
    QByteArray out(kMagic, kMagicSize);
    put<quint32>(out, kVersion);
    const qsizetype start = out.size();
    put<quint32>(out, 0);
    put<quint8>(out, 'O');
    put<qint64>(out, timeMs);
    put<quint8>(out, origin.isUntitled() ? 0 : 1);
    put<qint64>(out, origin.size);
    put<qint64>(out, origin.modifiedNs);
    put<quint64>(out, origin.hash);
    putBytes(out, QFile::encodeName(origin.path));
    putBytes(out, origin.encoding.toUtf8());
    closeFrame(out, start);
    return out;
}

bool appendChange(
    QByteArray &out, qint64 timeMs, qint64 position, qint64 removed, QStringView added)
{
    if (added.size() > (kLongestPayload - kChangeFixed) / 2)
        return false;
    const qsizetype start = out.size();
    put<quint32>(out, 0);
    put<quint8>(out, 'C');
    put<qint64>(out, timeMs);
    put<qint64>(out, position);
    put<qint64>(out, removed);
    putText(out, added);
    closeFrame(out, start);
    return true;
}

std::optional<FramedRecord> framed(QByteArray start, QByteArrayView body)
{
    if (body.size() > kLongestPayload - start.size())
        return std::nullopt;
    FramedRecord record;
    put<quint32>(record.head, quint32(start.size() + body.size()));
    record.head += start;
    record.body = body;
    ContentHash check;
    check.addData(record.head);
    check.addData(record.body);
    put<quint32>(record.tail, quint32(check.result()));
    return record;
}

std::optional<FramedRecord> snapshot(qint64 timeMs, QStringView text)
{
    QByteArray start;
    put<quint8>(start, 'S');
    put<qint64>(start, timeMs);
    if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
        return framed(
            start, QByteArrayView(reinterpret_cast<const char *>(text.utf16()), text.size() * 2));
    } else {
        QByteArray converted;
        putText(converted, text);
        std::optional<FramedRecord> record = framed(start, converted);
        if (record) {
            record->converted = std::move(converted);
            record->body = record->converted;
        }
        return record;
    }
}

std::optional<QByteArrayView> nextFrame(QByteArrayView bytes, qsizetype &offset)
{
    const qsizetype left = bytes.size() - offset;
    if (left < 8)
        return std::nullopt;
    const qsizetype size = qFromLittleEndian<quint32>(bytes.data() + offset);
    if (size > left - 8)
        return std::nullopt;
    const quint32 check = qFromLittleEndian<quint32>(bytes.data() + offset + 4 + size);
    if (check != checkOf(bytes.sliced(offset, 4 + size)))
        return std::nullopt;
    const QByteArrayView payload = bytes.sliced(offset + 4, size);
    offset += 8 + size;
    return payload;
}

JournalContent parse(QByteArrayView bytes)
{
    JournalContent content;
    if (bytes.size() < kStartSize
        || bytes.first(kMagicSize) != QByteArrayView(kMagic, kMagicSize)) {
        content.damaged = !bytes.isEmpty();
        return content;
    }
    const quint32 version = qFromLittleEndian<quint32>(bytes.data() + kMagicSize);
    if (version > kVersion) {
        content.newerVersion = true;
        return content;
    }
    qsizetype offset = kStartSize;
    const std::optional<QByteArrayView> origin = nextFrame(bytes, offset);
    if (version != kVersion || !origin || !readOrigin(*origin, content)) {
        content.damaged = true;
        return content;
    }
    while (offset < bytes.size()) {
        const std::optional<QByteArrayView> payload = nextFrame(bytes, offset);
        if (!payload || !readRecord(*payload, content)) {
            content.damaged = true;
            break;
        }
    }
    return content;
}

} // namespace JournalFormat
