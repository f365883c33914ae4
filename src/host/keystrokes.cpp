#include "keystrokes.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {

void postKey(QWidget *target, int key, const QString &text)
{
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
    QCoreApplication::postEvent(
        target, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, text));
}

} // namespace

void postKeystrokes(QWidget *target, const QString &text)
{
    if (!target)
        return;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch == QLatin1Char('\r') || ch == QLatin1Char('\n')) {
            if (ch == QLatin1Char('\r') && i + 1 < text.size()
                && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            postKey(target, Qt::Key_Return, QStringLiteral("\r"));
        } else if (ch == QLatin1Char('\t')) {
            postKey(target, Qt::Key_Tab, QStringLiteral("\t"));
        } else {
            postKey(target, Qt::Key_unknown, QString(ch));
        }
    }
}
