#include "keystrokes.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace {

// Keys handed to the event loop per turn: a long text arrives in many turns, so the window
// keeps painting and answering the user meanwhile.
constexpr qsizetype kKeysPerTurn = 200;

void postKey(QWidget *target, int key, const QString &text)
{
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
    QCoreApplication::postEvent(
        target, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, text));
}

// Posts the keys of `text` from `from` on, at most kKeysPerTurn of them; returns where it
// stopped.
qsizetype postSomeKeys(QWidget *target, const QString &text, qsizetype from)
{
    qsizetype i = from;
    for (qsizetype keys = 0; i < text.size() && keys < kKeysPerTurn; ++i, ++keys) {
        const QChar ch = text.at(i);
        if (ch == u'\r' || ch == u'\n') {
            if (ch == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            postKey(target, Qt::Key_Return, QStringLiteral("\r"));
        } else if (ch == u'\t') {
            postKey(target, Qt::Key_Tab, QStringLiteral("\t"));
        } else {
            postKey(target, Qt::Key_unknown, QString(ch));
        }
    }
    return i;
}

// Feeds one text to its target a turn at a time, then deletes itself.
class KeyFeeder : public QObject
{
public:
    KeyFeeder(QWidget *target, const QString &text)
        : QObject(target)
        , m_target(target)
        , m_text(text)
    {
        connect(&m_turn, &QTimer::timeout, this, &KeyFeeder::feed);
        m_turn.start(0);
        feed();
    }

private:
    void feed()
    {
        if (!m_target || m_next >= m_text.size()) {
            deleteLater();
            m_turn.stop();
            return;
        }
        m_next = postSomeKeys(m_target, m_text, m_next);
    }

    QPointer<QWidget> m_target;
    QString m_text;
    qsizetype m_next = 0;
    QTimer m_turn;
};

} // namespace

void postKeystrokes(QWidget *target, const QString &text)
{
    if (target && !text.isEmpty())
        new KeyFeeder(target, text);
}
