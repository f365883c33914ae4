#include "memoryneed.h"

#include <QLocale>

namespace {

// Measured by opening files of empty, short and long lines and reading the peak growth of the
// process: a character is the byte the document keeps of a Windows-1252 file, or the 2 of a
// UTF-16 text, and a line 8 bytes for its index of line breaks and the view's count; a line
// counts twice that.
constexpr qint64 kBytesPerLine = 16;

// The program's messages are English: numbers are grouped as English writes them.
QString grouped(qint64 number)
{
    return QLocale(QLocale::English).toString(number);
}

} // namespace

namespace MemoryNeed {

qint64 toShow(qint64 chars, qint64 lines, bool asBytes)
{
    return (asBytes ? 1 : 2) * chars + kBytesPerLine * lines;
}

// While the text is made, the file's bytes are held beside a copy with the line breaks the
// loading rule adds; the copy is the text then, and the bytes go before it is shown. A UTF-8
// file's text takes more, weighed once it is read.
qint64 toReadAndShow(qint64 fileBytes)
{
    return fileBytes + toShow(fileBytes, 0, true);
}

QString sizeText(qint64 bytes, bool roundUp)
{
    static const char *const units[] = { "kB", "MB", "GB", "TB", "PB" };
    if (bytes < 1000)
        return QStringLiteral("%1 bytes").arg(bytes);
    qint64 unit = 1000;
    int index = 0;
    while (index < 4 && bytes >= unit * 1000) {
        unit *= 1000;
        ++index;
    }
    // Tenths below ten of the unit, whole units above.
    const qint64 step = bytes < 10 * unit ? unit / 10 : unit;
    const qint64 steps = bytes / step + (roundUp && bytes % step != 0 ? 1 : 0);
    const QString number = step == unit || steps % 10 == 0
        ? QString::number(steps * step / unit)
        : QStringLiteral("%1.%2").arg(steps / 10).arg(steps % 10);
    return number + QLatin1Char(' ') + QLatin1String(units[index]);
}

std::optional<QString> refusal(
    qint64 fileBytes, std::optional<qint64> lines, qint64 needed, qint64 available)
{
    if (needed <= available)
        return std::nullopt;
    // What is needed is rounded up and what is there rounded down, so that the two never read
    // alike.
    const QString need = sizeText(needed, true);
    const QString have = sizeText(available, false);
    if (lines) {
        return QStringLiteral("This file has %1 %2 and needs about %3 of memory; %4 are available")
            .arg(grouped(*lines), *lines == 1 ? QStringLiteral("line") : QStringLiteral("lines"),
                need, have);
    }
    return QStringLiteral("This file is %1 long and needs at least %2 of memory; %3 are available")
        .arg(sizeText(fileBytes, false), need, have);
}

} // namespace MemoryNeed
