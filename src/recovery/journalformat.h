#pragma once

#include "journalcontent.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>

#include <optional>

/// The bytes of a journal file. It starts with the 8 bytes "TVXJRNL\n" and a format version
/// (u32), then holds records, each framed as [u32 n][n payload bytes][u32 check], the check
/// being the low half of the ContentHash of the length and the payload, so that a cut or
/// damaged tail is found. Numbers are little-endian, texts UTF-16LE, times milliseconds since
/// the epoch. A payload starts with its kind and its time:
///   'O' origin, the first record: u8 from-file, i64 size, i64 mtime ns, u64 hash,
///       u32 n + path (the file name's bytes), u32 n + encoding name (UTF-8)
///   'C' change: i64 position, i64 removed, the added text
///   'S' snapshot: the whole text, which the records before it no longer count against
/// A record's payload is at most 4 GiB: a change or snapshot of up to 2^31 characters.
namespace JournalFormat {

constexpr quint32 kVersion = 1;
constexpr qsizetype kStartSize = 12; // magic and version

/// The file's start and its origin record.
QByteArray header(const JournalOrigin &origin, qint64 timeMs);
/// Appends a change record; false, nothing appended, when `added` is too long for one.
bool appendChange(
    QByteArray &out, qint64 timeMs, qint64 position, qint64 removed, QStringView added);

/// A record in three pieces, so that a long body is written from where it lies.
struct FramedRecord
{
    QByteArray head; // the length and the payload's start
    QByteArrayView body; // the payload's rest
    QByteArray tail; // the check
    QByteArray converted; // holds `body` where the machine is not little-endian

    qint64 size() const { return head.size() + body.size() + tail.size(); }
};
/// The record of a payload made of `start` and `body`; nothing when it is too long for one.
std::optional<FramedRecord> framed(QByteArray start, QByteArrayView body);
/// A snapshot record of `text`; nothing when it is too long for one.
std::optional<FramedRecord> snapshot(qint64 timeMs, QStringView text);

/// What `bytes` hold, up to the first damage; any input is read without harm.
JournalContent parse(QByteArrayView bytes);

/// The payload of the record at `offset` (in this or another file that shares the framing), moving
/// `offset` past it; nothing, `offset` unmoved, when the bytes there are no whole, undamaged
/// record.
std::optional<QByteArrayView> nextFrame(QByteArrayView bytes, qsizetype &offset);

} // namespace JournalFormat
