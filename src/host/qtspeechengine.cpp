#include "qtspeechengine.h"

#include "speechtext.h"

#include <QObject>
#include <QTextToSpeech>

#include <algorithm>
#include <array>

namespace {

// Rates for the attempts at one sentence: each moves where its sound ends, by too little to hear.
constexpr std::array<double, 6> kAttemptRates { 0.0, 0.02, -0.02, 0.04, -0.04, 0.06 };

QString noEngineReason()
{
    return QStringLiteral("No text-to-speech engine is installed.");
}

// Flite when it is there, else whatever engine Qt offers; null when there is none.
QTextToSpeech *programSpeech()
{
    static QTextToSpeech *const speech = []() -> QTextToSpeech * {
        const QStringList engines = QTextToSpeech::availableEngines();
        if (engines.isEmpty())
            return nullptr;
        return new QTextToSpeech(engines.contains(QStringLiteral("flite")) ? QStringLiteral("flite")
                                                                           : engines.constFirst());
    }();
    return speech;
}

} // namespace

QtSpeechEngine::QtSpeechEngine()
    : m_speech(programSpeech())
    , m_receiver(std::make_unique<QObject>())
{
    if (!m_speech)
        return;
    QObject::connect(m_speech, &QTextToSpeech::stateChanged, m_receiver.get(),
        [this](QTextToSpeech::State state) { onStateChanged(state); });
    QObject::connect(m_speech, &QTextToSpeech::errorOccurred, m_receiver.get(),
        [this](QTextToSpeech::ErrorReason reason, const QString &message) {
            onError(int(reason), message);
        });
}

// Stopping more than needed is not free: each stop tears down the engine's sound output.
QtSpeechEngine::~QtSpeechEngine()
{
    m_receiver.reset();
    if (m_speech && m_current >= 0)
        m_speech->stop();
}

bool QtSpeechEngine::isAvailable() const
{
    return m_speech && m_speech->errorReason() == QTextToSpeech::ErrorReason::NoError;
}

void QtSpeechEngine::say(const QString &text)
{
    if (!m_speech) {
        reportFailure(noEngineReason());
        return;
    }
    m_paused = false;
    m_nextWaits = false;
    m_pieces = SpeechText::utterances(text);
    if (m_pieces.isEmpty()) {
        m_current = -1;
        m_speech->stop();
        return;
    }
    speakPiece(0, 0);
}

void QtSpeechEngine::speakPiece(qsizetype index, int attempt)
{
    if (index >= m_pieces.size()) {
        m_current = -1;
        return;
    }
    m_current = index;
    m_attempt = attempt;
    m_started = false;
    m_speech->setRate(kAttemptRates[attempt]);
    m_speech->say(m_pieces.at(index));
}

void QtSpeechEngine::pause()
{
    if (!m_speech) {
        reportFailure(noEngineReason());
        return;
    }
    m_paused = true;
    m_speech->pause();
}

void QtSpeechEngine::resume()
{
    if (!m_speech) {
        reportFailure(noEngineReason());
        return;
    }
    m_paused = false;
    if (m_speech->state() == QTextToSpeech::Paused) {
        m_speech->resume();
    } else if (m_nextWaits) {
        m_nextWaits = false;
        speakPiece(m_current + 1, 0);
    }
}

void QtSpeechEngine::stop()
{
    if (m_speech && m_current >= 0)
        m_speech->stop();
    m_current = -1;
    m_paused = false;
    m_nextWaits = false;
}

SpeechEngine::State QtSpeechEngine::state() const
{
    if (!m_speech)
        return State::Error;
    if (m_current < 0)
        return State::Ready;
    return m_paused ? State::Paused : State::Speaking;
}

// Ready after Speaking means the piece has been heard to its end; a Ready before that is the
// engine leaving what it spoke earlier.
void QtSpeechEngine::onStateChanged(int state)
{
    if (m_current < 0)
        return;
    if (state == QTextToSpeech::Speaking && !m_started) {
        m_started = true;
        // A pause that came before the sound did holds it now.
        if (m_paused)
            m_speech->pause();
    } else if (state == QTextToSpeech::Ready && m_started) {
        m_started = false;
        if (m_paused)
            m_nextWaits = true;
        else
            speakPiece(m_current + 1, 0);
    }
}

void QtSpeechEngine::onError(int reason, const QString &message)
{
    if (m_current < 0)
        return;
    const auto why = QTextToSpeech::ErrorReason(reason);
    if (why == QTextToSpeech::ErrorReason::Input) {
        // Nothing the engine can say in this piece: go on with the next one.
        speakPiece(m_current + 1, 0);
        return;
    }
    // Only a piece that began to sound is worth another attempt; without a sound device or
    // a working engine every attempt fails alike.
    if (why == QTextToSpeech::ErrorReason::Playback && m_started
        && m_attempt + 1 < int(kAttemptRates.size())) {
        speakPiece(m_current, m_attempt + 1);
        return;
    }
    m_current = -1;
    reportFailure(message.isEmpty() ? m_speech->errorString() : message);
}
