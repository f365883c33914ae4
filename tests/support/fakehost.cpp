#include "fakehost.h"

#include "host/keystrokes.h"

#include <QApplication>
#include <QTest>

FakeHost::Answer FakeHost::take(Kind kind, const Shown &shown)
{
    m_shown.append(shown);
    if (m_answers.isEmpty() || m_answers.constFirst().kind != kind) {
        static const char *const kinds[] = { "message box", "choice box", "input box",
            "open-file dialog", "save-file dialog", "print dialog" };
        const QByteArray message = QByteArray("Unexpected ") + kinds[int(kind)] + ": \""
            + shown.prompt.toUtf8() + "\" titled \"" + shown.title.toUtf8() + "\"";
        QTest::qFail(message.constData(), __FILE__, __LINE__);
        // Answer as a cautious user would: Escape, Cancel.
        return { .kind = kind, .button = Button::No, .escape = true };
    }
    return m_answers.takeFirst();
}

namespace {

class FakeProgress : public Progress
{
public:
    FakeProgress(FakeHost &host, int &depth)
        : m_host(host)
        , m_depth(depth)
    {
        ++m_depth;
    }
    ~FakeProgress() override { --m_depth; }

    void setValue(int percent) override
    {
        if (m_host.cancelProgressAt && percent >= *m_host.cancelProgressAt)
            m_canceled = true;
        if (m_host.whileProgressing)
            m_host.whileProgressing(percent);
    }
    bool wasCanceled() const override { return m_canceled; }

private:
    FakeHost &m_host;
    int &m_depth;
    bool m_canceled = false;
};

} // namespace

std::unique_ptr<Progress> FakeHost::showProgress(QWidget *, const QString &, const QString &)
{
    return std::make_unique<FakeProgress>(*this, m_depth);
}

Host::Button FakeHost::messageBox(
    const QString &prompt, const QString &title, Icon, Buttons buttons, std::optional<Button>)
{
    const Answer answer = take(Kind::Message, { prompt, title });
    if (!answer.escape)
        return answer.button;
    return buttons == Buttons::YesNo      ? Button::No
        : buttons == Buttons::YesNoCancel ? Button::Cancel
                                          : Button::Ok;
}

int FakeHost::choiceBox(const Choice &choice)
{
    const Answer answer = take(Kind::Choice, { choice.prompt, choice.title, choice.answers });
    if (answer.escape)
        return choice.escapeAnswer;
    const int index = int(choice.answers.indexOf(answer.text));
    if (index < 0) {
        const QByteArray message = "No button \"" + answer.text.toUtf8() + "\" in the box \""
            + choice.prompt.toUtf8() + "\"";
        QTest::qFail(message.constData(), __FILE__, __LINE__);
        return choice.escapeAnswer;
    }
    return index;
}

QString FakeHost::inputBox(const QString &prompt, const QString &title, const QString &)
{
    return take(Kind::Input, { prompt, title }).text;
}

QString FakeHost::passwordBox(const QString &prompt, const QString &title, const QString &)
{
    return inputBox(prompt, title, {});
}

std::optional<QString> FakeHost::openFileName(const FileDialog &dialog)
{
    return take(Kind::OpenFile, { {}, dialog.title }).path;
}

std::optional<QString> FakeHost::saveFileName(const FileDialog &dialog)
{
    return take(Kind::SaveFile, { {}, dialog.title }).path;
}

// No test prints: a print dialog fails the test, and is answered Cancel.
bool FakeHost::printText(const QString &, const QFont &)
{
    take(Kind::Print, {});
    return false;
}

void FakeHost::postKeystrokes(const QString &text)
{
    ::postKeystrokes(QApplication::focusWidget(), text);
}

QColor FakeHost::systemColor(int index)
{
    // Distinct, fixed colours so that tests can tell the indexes apart.
    return QColor::fromRgb(0x10 * (index % 16), 0x80, 0xFF - index);
}

std::unique_ptr<SpeechEngine> FakeHost::createSpeechEngine()
{
    return std::make_unique<FakeSpeechEngine>();
}

void FakeSpeechEngine::record(const QString &call, State next)
{
    calls.append(call);
    if (!failure.isEmpty())
        reportFailure(failure);
    m_state = next;
}
