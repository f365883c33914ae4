#include "datetimetext.h"

namespace {

// Calls `visit(from, length)` for each run of one pattern letter outside quoted text.
template <typename Visit> void forEachPatternRun(const QString &format, Visit visit)
{
    bool quoted = false;
    for (qsizetype i = 0; i < format.size();) {
        if (format[i] == u'\'') {
            quoted = !quoted;
            ++i;
            continue;
        }
        qsizetype end = i + 1;
        while (end < format.size() && format[end] == format[i])
            ++end;
        if (!quoted)
            visit(i, end - i);
        i = end;
    }
}

// Qt's short dates often write a two-digit year ("M/d/yy"); people write the whole year.
QString withFullYear(const QString &format)
{
    QString result;
    qsizetype copied = 0;
    forEachPatternRun(format, [&](qsizetype from, qsizetype length) {
        if (format[from] != u'y' || length != 2)
            return;
        result += QStringView(format).sliced(copied, from - copied);
        result += QLatin1String("yyyy");
        copied = from + length;
    });
    result += QStringView(format).sliced(copied);
    return result;
}

// Qt's long times end with the time-zone name ("h:mm:ss AP t"), which a clock does not show.
QString withoutTimeZone(const QString &format)
{
    QString result;
    qsizetype copied = 0;
    forEachPatternRun(format, [&](qsizetype from, qsizetype length) {
        if (format[from] != u't')
            return;
        qsizetype to = from + length;
        if (from > copied && format[from - 1] == u' ')
            --from; // the blank before it
        else if (to < format.size() && format[to] == u' ')
            ++to; // or, at the start, the blank after it
        result += QStringView(format).sliced(copied, from - copied);
        copied = to;
    });
    result += QStringView(format).sliced(copied);
    return result;
}

} // namespace

QString generalDateText(const QDateTime &dateTime, const QLocale &locale)
{
    const QDate date = dateTime.date();
    const QTime time = dateTime.time();
    QString text = locale.toString(date, withFullYear(locale.dateFormat(QLocale::ShortFormat)));
    if (time.hour() != 0 || time.minute() != 0 || time.second() != 0) {
        text += u' ';
        text += locale.toString(time, withoutTimeZone(locale.timeFormat(QLocale::LongFormat)));
    }
    // Newer locale data puts a narrow no-break space before "AM"; people type a blank.
    text.replace(QChar(0x202F), u' ');
    return text;
}
