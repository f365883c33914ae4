#include "sessionend.h"

#include "journalkeeper.h"

#include <QGuiApplication>
#include <QSocketNotifier>
#if QT_CONFIG(sessionmanager)
#include <QSessionManager>
#endif

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// A handler may call nothing of Qt's: it writes a byte to a pipe, which the event loop reads.
int g_signalPipe[2] = { -1, -1 };

void onTerminationSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
    errno = saved;
}

} // namespace

SessionEnd::SessionEnd(JournalKeeper &journal, QObject *parent)
    : QObject(parent)
    , m_journal(journal)
{
    if (g_signalPipe[0] < 0 && ::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        g_signalPipe[0] = g_signalPipe[1] = -1;
    if (g_signalPipe[0] >= 0) {
        m_notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &SessionEnd::onSignal);
        struct sigaction action = {};
        action.sa_handler = onTerminationSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(SIGTERM, &action, nullptr);
        ::sigaction(SIGHUP, &action, nullptr);
    }
#if QT_CONFIG(sessionmanager)
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this,
        [this](QSessionManager &) { commitSession(); });
#endif
}

// The signals end the program as they would have without a handler.
SessionEnd::~SessionEnd()
{
    if (!m_notifier)
        return;
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGHUP, SIG_DFL);
}

void SessionEnd::commitSession()
{
    m_journal.keepForNextStart();
}

// Any box open meanwhile returns its safe answer as its loop ends.
void SessionEnd::onSignal()
{
    char bytes[16];
    while (::read(g_signalPipe[0], bytes, sizeof bytes) > 0) { }
    m_journal.keepForNextStart();
    m_quitAsked = true;
    QCoreApplication::exit(0);
}
