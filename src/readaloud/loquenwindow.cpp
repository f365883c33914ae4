#include "loquenwindow.h"

#include "document/document.h"
#include "editor/documentfile.h"
#include "editor/fileload.h"
#include "editor/lossysave.h"
#include "editor/twips.h"
#include "host/host.h"
#include "host/screenfit.h"
#include "host/speechengine.h"
#include "view/textview.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QScopedValueRollback>

#include <algorithm>
#include <array>
#include <utility>

namespace {

using K = CommandRow::Kind;

const CommandRow kRows[] = {
    { K::Menu, "", "mnufile", "&File" },
    { K::Row, "mnufile", "mnunew", "&New", "Ctrl+N" },
    { K::Row, "mnufile", "mnusave", "&Save", "Ctrl+S" },
    { K::Row, "mnufile", "mnuloadfile", "&Load", "Ctrl+L" },
    { K::Row, "mnufile", "exit", "E&xit", "Ctrl+E" },
    { K::Menu, "", "mnuplay", "&Play" },
    { K::Row, "mnuplay", "player", "Play", "F5" },
    { K::Row, "mnuplay", "pauser", "Pause", "Ctrl+P" },
    { K::Row, "mnuplay", "mnuresume", "Resume", "Ctrl+R" },
    { K::Menu, "", "mnuhelp", "&Help" },
    { K::Row, "mnuhelp", "help", "Help" },
    { K::Row, "mnuhelp", "mnuabout", "About" },
};

struct ButtonRow
{
    const char *name;
    const char *caption;
    void (LoquenWindow::*click)();
};

// In their row from the left, which is also their tab order.
constexpr std::array<ButtonRow, 6> kButtons { {
    { "play", "Play", &LoquenWindow::play },
    { "pause", "Pause", &LoquenWindow::pause },
    { "resumer", "Resume", &LoquenWindow::resume },
    { "loadfile", "Load", &LoquenWindow::loadFile },
    { "close", "Close", &LoquenWindow::askToClose },
    { "about", "About", &LoquenWindow::showAbout },
} };

const QString kTitle = QStringLiteral("Loquen v 1.0.0");
const QString kBreak = QStringLiteral("\r\n");

QString aboutText()
{
    return kTitle + kBreak + kBreak
        + QStringLiteral("    This freeware speaks aloud any text that is entered in the box. "
                         "Please report any fault you find on the project's issue tracker.");
}

QString loquenHelpText()
{
    return kTitle + kBreak + kBreak
        + QStringLiteral("   Enter text or load files into the box, and then press Play to get "
                         "the audio output of the text.")
        + kBreak + kBreak
        + QStringLiteral("   Reports of problems and suggestions are welcome on the project's "
                         "issue tracker.");
}

} // namespace

LoquenWindow::LoquenWindow(Host &host, QWidget *parent)
    : QMainWindow(parent)
    , m_host(host)
    , m_speech(host.createSpeechEngine())
{
    setObjectName(QStringLiteral("loquen"));
    setWindowTitle(QStringLiteral("Loquen"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_commands = buildCommands(menuBar(), kRows);
    auto *client = new QWidget(this);
    setCentralWidget(client);
    const qreal dpi = logicalDpiY();
    // Lengths in twips, all grown by one factor where this platform's captions are wider, so
    // the controls keep their places relative to each other.
    int captionRoom = 0;
    for (const ButtonRow &row : kButtons) {
        captionRoom = std::max(
            captionRoom, fontMetrics().horizontalAdvance(QLatin1String(row.caption)) + 16);
    }
    qreal scale = std::max(1.0, captionRoom / qreal(twipsToPixels(735, dpi)));
    // On a small screen, or one scaled up, all of it shrinks alike to fit below the menu bar.
    scale *= ScreenFit::scaleToFit(this,
        QSize(TwipsScale(dpi, scale)(4335),
            TwipsScale(dpi, scale)(3375) + menuBar()->sizeHint().height()));
    const TwipsScale px(dpi, scale);

    m_text = new Document(this);
    m_textArea = new TextView(*m_text, client);
    m_textArea->setObjectName(QStringLiteral("Text1"));
    m_textArea->setAccessibleName(QStringLiteral("Text"));
    m_textArea->setGeometry(0, 0, px(4335), px(3015));
    QWidget *previous = m_textArea;
    for (int i = 0; i < int(kButtons.size()); ++i) {
        auto *b = new QPushButton(QLatin1String(kButtons[i].caption), client);
        b->setObjectName(QLatin1String(kButtons[i].name));
        b->setAutoDefault(false);
        b->setGeometry(px(720 * i), px(3000), px(735), px(375));
        connect(b, &QPushButton::clicked, this, kButtons[i].click);
        setTabOrder(previous, b);
        previous = b;
    }
    client->setFixedSize(px(4335), px(3375));

    connect(command("mnunew"), &QAction::triggered, this, &LoquenWindow::clearText);
    connect(command("mnusave"), &QAction::triggered, this, &LoquenWindow::saveText);
    connect(command("mnuloadfile"), &QAction::triggered, this, &LoquenWindow::loadFile);
    connect(command("exit"), &QAction::triggered, this, &LoquenWindow::askToClose);
    connect(command("player"), &QAction::triggered, this, &LoquenWindow::play);
    connect(command("pauser"), &QAction::triggered, this, &LoquenWindow::pause);
    connect(command("mnuresume"), &QAction::triggered, this, &LoquenWindow::resume);
    connect(command("help"), &QAction::triggered, this, &LoquenWindow::showHelp);
    connect(command("mnuabout"), &QAction::triggered, this, &LoquenWindow::showAbout);
    m_textArea->setMenuShortcuts(m_commands.shortcuts);

    // Until the first Play, Pause or Resume only the Resume button is off; its row is on.
    button(QStringLiteral("resumer"))->setEnabled(false);

    m_speech->setFailureHandler([this](const QString &reason) { tellSpeechFailure(reason); });
}

LoquenWindow::~LoquenWindow() = default;

QPushButton *LoquenWindow::button(const QString &name) const
{
    return centralWidget()->findChild<QPushButton *>(name, Qt::FindDirectChildrenOnly);
}

QAction *LoquenWindow::command(const QString &name) const
{
    return m_commands.actions.value(name);
}

// The editor's text may come while a file loads (the progress window holds only this window):
// the load gives up, and the text goes in once it has.
void LoquenWindow::showWithText(const QString &text)
{
    show();
    raise();
    activateWindow();
    if (m_loading)
        m_textAfterLoad = text;
    else
        m_text->setText(text);
}

void LoquenWindow::setSpeaking(bool speaking)
{
    button(QStringLiteral("pause"))->setEnabled(speaking);
    command(QStringLiteral("pauser"))->setEnabled(speaking);
    button(QStringLiteral("resumer"))->setEnabled(!speaking);
    command(QStringLiteral("mnuresume"))->setEnabled(!speaking);
}

void LoquenWindow::play()
{
    m_speech->say(m_text->text());
    setSpeaking(true);
}

void LoquenWindow::pause()
{
    m_speech->pause();
    setSpeaking(false);
}

void LoquenWindow::resume()
{
    m_speech->resume();
    setSpeaking(true);
}

// The window works on without speech: typing, loading and saving need none.
void LoquenWindow::tellSpeechFailure(const QString &reason)
{
    if (m_toldSpeechFailure)
        return;
    m_toldSpeechFailure = true;
    m_host.messageBox(QStringLiteral("The text cannot be read aloud:\n%1\n\nLoquen needs a "
                                     "text-to-speech engine (flite) and a sound device. Typing, "
                                     "loading and saving work without them.")
                          .arg(reason),
        QStringLiteral("Loquen"), Host::Icon::Exclamation, Host::Buttons::Ok);
}

// A cancelled dialog ends the command before any file is touched.
void LoquenWindow::loadFile()
{
    if (const std::optional<QString> path
        = m_host.openFileName({ QStringLiteral("Open"), m_dialogFileName, {}, {} })) {
        m_dialogFileName = *path;
        load(*path);
    }
    m_textArea->setFocus();
}

// As the editor's Open: behind a progress window modal to this window, whose Cancel keeps the
// box's text, and never past the memory left, which would end the program and the editor's
// unsaved text with it. A file too big is told; one that cannot be read is not: the box keeps
// its text.
void LoquenWindow::load(const QString &path)
{
    {
        const QScopedValueRollback loading(m_loading, true);
        FileLoad load(m_host, this,
            { QStringLiteral("Load"), QStringLiteral("Loading %1").arg(path),
                QStringLiteral("Could not load the file"), QStringLiteral("Loquen"), false },
            [this] { return m_textAfterLoad.has_value(); });
        std::optional<TextBuffer> text = load.read(path);
        if (text && load.prepareIn(*m_text, std::move(*text))) {
            load.finish();
            m_text->keepPrepared(std::nullopt, load.encoding());
        }
    }
    if (m_textAfterLoad)
        m_text->setText(*std::exchange(m_textAfterLoad, std::nullopt));
}

// The text is written in the encoding of the file it was loaded from, Windows-1252 unless that
// was UTF-8. Characters that the code page cannot hold are written as "?" only after the
// editor's own question is answered Yes. A Save that fails says so, as the user would otherwise
// take the text to be on disk.
void LoquenWindow::saveText()
{
    const std::optional<QString> path
        = m_host.saveFileName({ QStringLiteral("Save As"), m_dialogFileName, {}, {} });
    if (path)
        m_dialogFileName = *path;
    const TextEncoding encoding = m_text->encoding();
    if (path
        && (isUtf8(encoding)
            || confirmLossySave(m_host, Codec1252::findUnencodable(m_text->text())))) {
        const SaveResult saved = writeDocumentFile(*path, m_text->text(), encoding);
        if (!saved.ok) {
            m_host.messageBox(
                QStringLiteral("Could not save the file %1\n\n%2").arg(*path, saved.error),
                QStringLiteral("Loquen"), Host::Icon::Exclamation, Host::Buttons::Ok);
        }
    }
    m_textArea->setFocus();
}

void LoquenWindow::askToClose()
{
    if (m_host.messageBox(QStringLiteral("Are you sure you wish to exit Loquen?"),
            QStringLiteral("Confirm exit"), Host::Icon::Question, Host::Buttons::YesNo)
        == Host::Button::Yes)
        close();
    else
        m_textArea->setFocus();
}

void LoquenWindow::showAbout()
{
    m_text->setText(aboutText());
}

void LoquenWindow::showHelp()
{
    m_text->setText(loquenHelpText());
}

void LoquenWindow::clearText()
{
    if (m_text->isEmpty()) // not text(): a loaded file would be copied whole to say so
        return;
    if (m_host.messageBox(QStringLiteral("Are you sure you want to clear this window?"),
            QStringLiteral("Confirmation"), Host::Icon::Question, Host::Buttons::YesNo)
        == Host::Button::Yes)
        m_text->setText(QString());
    else
        m_textArea->setFocus();
}

// The frame's close box asks nothing; the speech ends with the window.
void LoquenWindow::closeEvent(QCloseEvent *event)
{
    m_speech->stop();
    QMainWindow::closeEvent(event);
}
