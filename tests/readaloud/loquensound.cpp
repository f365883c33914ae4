// Opens the read-aloud window on the real host and its speech engine, presses Play, Pause and
// Resume three seconds apart and records when each press happened, so that a recording of the
// sound output can be checked against them. Usage: loquensound EVENTFILE
// The file gets lines "play|pause|resumer|end <milliseconds since the epoch>". Exits with 1 when
// the flite engine is missing or the window tells of a speech failure.

#include "host/qthost.h"
#include "readaloud/loquenwindow.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QPushButton>
#include <QTextToSpeech>
#include <QTimer>

#include <cstdio>

namespace {

// Every box fails the run: the only one the window can show here tells that it cannot speak.
class RecordingHost : public QtHost
{
public:
    Button messageBox(
        const QString &prompt, const QString &title, Icon, Buttons, std::optional<Button>) override
    {
        std::fprintf(stderr, "box \"%s\": %s\n", qPrintable(title), qPrintable(prompt));
        failed = true;
        return Button::Ok;
    }

    bool failed = false;
};

// Long enough to go on speaking past the last press, in sentences of several lengths.
const QString kText = QStringLiteral("The quick brown fox jumps over the lazy dog. Red. "
                                     "Pack my box with five dozen liquor jugs.\r\n")
                          .repeated(8);

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QFile events(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString());
    if (!events.open(QIODevice::WriteOnly | QIODevice::Text)) {
        std::fprintf(stderr, "usage: loquensound EVENTFILE, a file it can write\n");
        return 2;
    }
    if (!QTextToSpeech::availableEngines().contains(QStringLiteral("flite"))) {
        std::fprintf(stderr, "no flite speech engine (qt6-speech-flite-plugin)\n");
        return 1;
    }

    RecordingHost host;
    auto *window = new LoquenWindow(host);
    window->showWithText(kText);
    // The buttons pressed, three seconds apart; then the last window closes and the program ends.
    for (const auto &[ms, button] : { std::pair(500, "play"), std::pair(3500, "pause"),
             std::pair(6500, "resumer"), std::pair(9500, "end") }) {
        QTimer::singleShot(ms, window, [&events, window, button] {
            events.write(QByteArray(button) + ' '
                + QByteArray::number(QDateTime::currentMSecsSinceEpoch()) + '\n');
            events.flush();
            if (QPushButton *pressed = window->button(QLatin1String(button)))
                pressed->click();
            else
                window->close();
        });
    }
    app.exec();
    return host.failed ? 1 : 0;
}
