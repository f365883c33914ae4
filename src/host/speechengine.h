#pragma once

#include <QString>

/// A text-to-speech engine: speaks one string at a time, can pause and resume.
class SpeechEngine
{
public:
    enum class State { Ready, Speaking, Paused, Error };

    virtual ~SpeechEngine() = default;

    virtual bool isAvailable() const = 0;
    virtual void say(const QString &text) = 0;
    virtual void pause() = 0;
    virtual void resume() = 0;
    virtual void stop() = 0;
    virtual State state() const = 0;
};
