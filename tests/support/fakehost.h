#pragma once

#include "host/host.h"
#include "host/speechengine.h"

#include <QStringList>
#include <functional>

/// A scripted host for tests: each box or dialog takes the next queued answer and is recorded.
/// A box with no answer queued for it fails the running test.
class FakeHost : public Host
{
public:
    enum class Kind { Message, Choice, Input, OpenFile, SaveFile, Print };

    /// What a box or dialog showed.
    struct Shown
    {
        QString prompt;
        QString title;
        QStringList answers {}; // a choice box's buttons
    };

    void answerMessage(Button button)
    {
        m_answers.append({ .kind = Kind::Message, .button = button });
    }
    /// The next message box is put away with Escape or its close box: it gives what the real box
    /// gives then (No on a Yes/No box, Cancel on a Yes/No/Cancel box, OK on an OK box).
    void answerEscape() { m_answers.append({ .kind = Kind::Message, .escape = true }); }
    /// The next choice box is answered with the button captioned `answer`.
    void answerChoice(const QString &answer) { m_answers.append({ Kind::Choice, answer }); }
    /// The next choice box is put away with Escape: it gives its escape answer.
    void answerChoiceEscape() { m_answers.append({ .kind = Kind::Choice, .escape = true }); }
    void answerInput(const QString &text) { m_answers.append({ Kind::Input, text }); }
    void answerOpenFile(const std::optional<QString> &path)
    {
        m_answers.append({ .kind = Kind::OpenFile, .path = path });
    }
    void answerSaveFile(const std::optional<QString> &path)
    {
        m_answers.append({ .kind = Kind::SaveFile, .path = path });
    }

    /// Answers queued but not used yet.
    qsizetype pendingAnswers() const { return m_answers.size(); }
    const QList<Shown> &shown() const { return m_shown; }
    Shown lastShown() const { return m_shown.isEmpty() ? Shown() : m_shown.constLast(); }
    void forgetShown() { m_shown.clear(); }

    Button messageBox(const QString &prompt, const QString &title, Icon icon, Buttons buttons,
        std::optional<Button> defaultButton) override;
    int choiceBox(const Choice &choice) override;
    QString inputBox(
        const QString &prompt, const QString &title, const QString &defaultText) override;
    /// Answered by answerInput, like an input box.
    QString passwordBox(
        const QString &prompt, const QString &title, const QString &defaultText) override;
    std::optional<QString> openFileName(const FileDialog &dialog) override;
    std::optional<QString> saveFileName(const FileDialog &dialog) override;
    bool printText(const QString &text, const QFont &font) override;
    /// Progress windows count as open boxes while they are up; each reports Cancel once a value
    /// reaches `cancelProgressAt`.
    std::unique_ptr<Progress> showProgress(
        QWidget *owner, const QString &label, const QString &title) override;
    std::optional<int> cancelProgressAt;
    /// Runs at each value a progress window is given, as events would while it is up.
    std::function<void(int percent)> whileProgressing;
    bool isShowingModal() const override { return m_depth > 0; }
    qint64 memoryAvailable() const override { return availableMemory; }
    qint64 availableMemory = qint64(1) << 40;

    QString clipboardText() override { return m_clipboard; }
    void setClipboardText(const QString &text) override { m_clipboard = text; }
    void clearClipboard() override { m_clipboard.clear(); }

    void postKeystrokes(const QString &text) override;

    QColor systemColor(int index) override;
    QStringList screenFonts() override { return fonts; }
    QStringList fonts { QStringLiteral("Arial"), QStringLiteral("Comic Sans MS"),
        QStringLiteral("Courier New") };
    QDateTime currentDateTime() override { return now; }
    QDateTime now;
    std::unique_ptr<SpeechEngine> createSpeechEngine() override;

private:
    struct Answer
    {
        Kind kind;
        QString text {};
        std::optional<QString> path {};
        Button button = Button::Ok;
        bool escape = false;
    };

    Answer take(Kind kind, const Shown &shown);
    int m_depth = 0;

    QList<Answer> m_answers;
    QList<Shown> m_shown;
    QString m_clipboard;
};

/// A speech engine that records what it was asked to do. With a `failure` set, every request
/// reports it, as an engine without a sound device does.
class FakeSpeechEngine : public SpeechEngine
{
public:
    bool isAvailable() const override { return failure.isEmpty(); }
    void say(const QString &text) override
    {
        record(QStringLiteral("say:") + text, State::Speaking);
    }
    void pause() override { record(QStringLiteral("pause"), turn(State::Speaking, State::Paused)); }
    void resume() override
    {
        record(QStringLiteral("resume"), turn(State::Paused, State::Speaking));
    }
    void stop() override
    {
        calls.append(QStringLiteral("stop"));
        m_state = State::Ready;
    }
    State state() const override { return m_state; }

    QStringList calls;
    QString failure;

private:
    // Records the call, reports the failure if one is set, then takes the state `next`.
    void record(const QString &call, State next);
    // `to` if the engine is in `from`, else as it is.
    State turn(State from, State to) const { return m_state == from ? to : m_state; }

    State m_state = State::Ready;
};
