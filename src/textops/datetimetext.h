#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

/// The date and time as the locale's users write them: the short date with the full year, a
/// blank and the long time without a time-zone name ("12/6/2026 9:18:07 AM" under en_US); at
/// exactly midnight the date alone.
QString generalDateText(const QDateTime &dateTime, const QLocale &locale);
