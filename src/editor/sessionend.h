#pragma once

#include <QObject>

class JournalKeeper;
class QSocketNotifier;

/// Ends of the program that are not crashes: SIGTERM and SIGHUP, and the end of the desktop
/// session. Each puts the recovery journal on disk and lets the program go without a question,
/// so that the work comes back at the next start. A signal quits at once; the session's end
/// leaves the quitting to the session, and a close meanwhile asks nothing.
class SessionEnd : public QObject
{
    Q_OBJECT

public:
    explicit SessionEnd(JournalKeeper &journal, QObject *parent = nullptr);
    ~SessionEnd() override;

    /// Whether a signal asked the program to quit; the main event loop must not start then.
    bool quitAsked() const { return m_quitAsked; }
    /// What the session's end does (QGuiApplication::commitDataRequest).
    void commitSession();

private:
    void onSignal();

    JournalKeeper &m_journal;
    QSocketNotifier *m_notifier = nullptr;
    bool m_quitAsked = false;
};
