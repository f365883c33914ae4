#pragma once

#include "speechengine.h"

#include <QStringList>

#include <memory>

class QObject;
class QTextToSpeech;

/// Speech through Qt's text-to-speech module: the flite engine when it is there, else whatever
/// engine Qt offers.
///
/// All engines share one QTextToSpeech, made on first use and kept to the end of the program:
/// Debian's Qt 6.4 flite engine can crash while it is torn down (its sound output is deleted
/// after its thread has ended), so it is never torn down.
///
/// The text is spoken one sentence at a time. Debian's Qt 6.4 flite plugin gives up on a
/// sentence whose sound happens to end on a whole block ("Audio streaming error."), about one
/// sentence in four; such a sentence is spoken again at a slightly different rate, which moves
/// its end, and a failure is reported only when that does not help.
class QtSpeechEngine : public SpeechEngine
{
public:
    QtSpeechEngine();
    ~QtSpeechEngine() override;

    bool isAvailable() const override;
    void say(const QString &text) override;
    void pause() override;
    void resume() override;
    void stop() override;
    State state() const override;

private:
    void speakPiece(qsizetype index, int attempt);
    void onStateChanged(int state);
    void onError(int reason, const QString &message);

    QTextToSpeech *m_speech = nullptr;
    std::unique_ptr<QObject> m_receiver; // this engine's end of the shared engine's signals
    QStringList m_pieces;
    qsizetype m_current = -1; // the piece being spoken, -1 when none
    int m_attempt = 0;
    bool m_started = false; // the engine has begun to speak the current piece
    bool m_paused = false;
    bool m_nextWaits = false; // the current piece ended while paused
};
