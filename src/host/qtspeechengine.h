#pragma once

#include "speechengine.h"

#include <memory>

class QTextToSpeech;

/// Speech through Qt's text-to-speech module (the flite engine on Debian).
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
    std::unique_ptr<QTextToSpeech> m_speech;
};
