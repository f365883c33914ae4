#include "documenttitle.h"

QString documentTitle(const QString &name, bool modified, TitleSuffix suffix)
{
    QString title = name + QLatin1Char('[') + (modified ? QLatin1String("*") : QLatin1String());
    switch (suffix) {
    case TitleSuffix::StartUp:
        return title + QLatin1String("] -Tarvex");
    case TitleSuffix::Edited:
        return title + QLatin1String("] Tarvex");
    case TitleSuffix::Opened:
        return title + QLatin1String("]  - Tarvex");
    }
    return title;
}

QString windowTitleFor(const QString &title)
{
    QString escaped = title;
    return escaped.replace(QLatin1String("[*]"), QLatin1String("[*][*]"));
}
