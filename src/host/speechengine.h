#pragma once

#include <QString>

#include <functional>
#include <utility>

/// A text-to-speech engine: speaks one string at a time, can pause and resume.
class SpeechEngine
{
public:
    enum class State { Ready, Speaking, Paused, Error };

    virtual ~SpeechEngine() = default;

    virtual bool isAvailable() const = 0;
    /// Starts speaking `text`, in place of anything spoken before, and returns at once.
    virtual void say(const QString &text) = 0;
    virtual void pause() = 0;
    virtual void resume() = 0;
    virtual void stop() = 0;
    virtual State state() const = 0;

    /// Called on the event thread with the reason each time the engine cannot speak: no engine,
    /// no sound device, an engine that gives up. It may come during a call or later.
    void setFailureHandler(std::function<void(const QString &reason)> handler)
    {
        m_onFailure = std::move(handler);
    }

protected:
    void reportFailure(const QString &reason) const
    {
        if (m_onFailure)
            m_onFailure(reason);
    }

private:
    std::function<void(const QString &)> m_onFailure;
};
