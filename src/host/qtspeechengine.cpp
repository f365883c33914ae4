#include "qtspeechengine.h"

#include <QTextToSpeech>

QtSpeechEngine::QtSpeechEngine()
{
    // Prefer flite, which Debian ships as a plugin; fall back to whatever engine exists.
    const QStringList engines = QTextToSpeech::availableEngines();
    const QString engine = engines.contains(QStringLiteral("flite"))
        ? QStringLiteral("flite")
        : (engines.isEmpty() ? QString() : engines.constFirst());
    if (!engine.isEmpty())
        m_speech = std::make_unique<QTextToSpeech>(engine);
}

QtSpeechEngine::~QtSpeechEngine() = default;

bool QtSpeechEngine::isAvailable() const
{
    return m_speech && m_speech->state() != QTextToSpeech::Error;
}

void QtSpeechEngine::say(const QString &text)
{
    if (m_speech)
        m_speech->say(text);
}

void QtSpeechEngine::pause()
{
    if (m_speech)
        m_speech->pause();
}

void QtSpeechEngine::resume()
{
    if (m_speech)
        m_speech->resume();
}

void QtSpeechEngine::stop()
{
    if (m_speech)
        m_speech->stop();
}

SpeechEngine::State QtSpeechEngine::state() const
{
    if (!m_speech)
        return State::Error;
    switch (m_speech->state()) {
    case QTextToSpeech::Speaking:
        return State::Speaking;
    case QTextToSpeech::Paused:
        return State::Paused;
    case QTextToSpeech::Error:
        return State::Error;
    default:
        return State::Ready;
    }
}
