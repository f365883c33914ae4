#include "loquenwindow.h"

#include "document/document.h"
#include "editor/documentfile.h"
#include "editor/lossysave.h"
#include "editor/twips.h"
#include "host/editarea.h"
#include "host/host.h"
#include "host/speechengine.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenuBar>
#include <QPushButton>

#include <algorithm>
#include <array>

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
    { "play", "Play", &LoquenWindow::play_Click },
    { "pause", "Pause", &LoquenWindow::pause_Click },
    { "resumer", "Resume", &LoquenWindow::resumer_Click },
    { "loadfile", "Load", &LoquenWindow::loadfile_Click },
    { "close", "Close", &LoquenWindow::close_Click },
    { "about", "About", &LoquenWindow::about_Click },
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
    , m_t2s(host.createSpeechEngine())
{
    setObjectName(QStringLiteral("loquen"));
    setWindowTitle(QStringLiteral("Loquen"));
    setAttribute(Qt::WA_DeleteOnClose);

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
    const qreal scale = std::max(1.0, captionRoom / qreal(twipsToPixels(735, dpi)));
    const TwipsScale px(dpi, scale);

    m_text1 = new EditArea(*new Document(this), client);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setAccessibleName(QStringLiteral("Text"));
    m_text1->setGeometry(0, 0, px(4335), px(3015));
    QWidget *previous = m_text1;
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

    m_commands = buildCommands(menuBar(), kRows);
    connect(command("mnunew"), &QAction::triggered, this, &LoquenWindow::mnunew_Click);
    connect(command("mnusave"), &QAction::triggered, this, &LoquenWindow::mnusave_Click);
    connect(command("mnuloadfile"), &QAction::triggered, this, &LoquenWindow::loadfile_Click);
    connect(command("exit"), &QAction::triggered, this, &LoquenWindow::close_Click);
    connect(command("player"), &QAction::triggered, this, &LoquenWindow::play_Click);
    connect(command("pauser"), &QAction::triggered, this, &LoquenWindow::pause_Click);
    connect(command("mnuresume"), &QAction::triggered, this, &LoquenWindow::resumer_Click);
    connect(command("help"), &QAction::triggered, this, &LoquenWindow::help_Click);
    connect(command("mnuabout"), &QAction::triggered, this, &LoquenWindow::about_Click);
    m_text1->setMenuShortcuts(m_commands.shortcuts);

    // Until the first Play, Pause or Resume only the Resume button is off; its row is on.
    button(QStringLiteral("resumer"))->setEnabled(false);

    m_t2s->setFailureHandler([this](const QString &reason) { tellSpeechFailure(reason); });
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

void LoquenWindow::showWithText(const QString &text)
{
    show();
    raise();
    activateWindow();
    m_text1->setText(text);
}

void LoquenWindow::setSpeaking(bool speaking)
{
    button(QStringLiteral("pause"))->setEnabled(speaking);
    command(QStringLiteral("pauser"))->setEnabled(speaking);
    button(QStringLiteral("resumer"))->setEnabled(!speaking);
    command(QStringLiteral("mnuresume"))->setEnabled(!speaking);
}

void LoquenWindow::play_Click()
{
    m_t2s->say(m_text1->text());
    setSpeaking(true);
}

void LoquenWindow::pause_Click()
{
    m_t2s->pause();
    setSpeaking(false);
}

void LoquenWindow::resumer_Click()
{
    m_t2s->resume();
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

// Load tells nothing when the file cannot be read: the box keeps its text. A Save that fails
// says so, as the user would otherwise take the text to be on disk. A cancelled dialog ends the
// command before any file is touched.
void LoquenWindow::loadfile_Click()
{
    if (const std::optional<QString> path = m_host.openFileName({ {}, m_dialogFileName, {}, {} })) {
        m_dialogFileName = *path;
        const LoadResult loaded = readDocumentFile(*path);
        if (loaded.ok)
            m_text1->setText(loaded.text, EditArea::History::Reset);
    }
    m_text1->setFocus();
}

// Characters that the code page cannot hold are written as "?" only after the editor's own
// question is answered Yes.
void LoquenWindow::mnusave_Click()
{
    const std::optional<QString> path = m_host.saveFileName({ {}, m_dialogFileName, {}, {} });
    if (path)
        m_dialogFileName = *path;
    if (path && confirmLossySave(m_host, Codec1252::findUnencodable(m_text1->text()))) {
        const SaveResult saved = writeDocumentFile(*path, m_text1->text());
        if (!saved.ok) {
            m_host.messageBox(
                QStringLiteral("Could not save the file %1\n\n%2").arg(*path, saved.error),
                QStringLiteral("Loquen"), Host::Icon::Exclamation, Host::Buttons::Ok);
        }
    }
    m_text1->setFocus();
}

void LoquenWindow::close_Click()
{
    if (m_host.messageBox(QStringLiteral("Are you sure you wish to exit Loquen?"),
            QStringLiteral("Confirm exit"), Host::Icon::Question, Host::Buttons::YesNo)
        == Host::Button::Yes)
        close();
    else
        m_text1->setFocus();
}

void LoquenWindow::about_Click()
{
    m_text1->setText(aboutText());
}

void LoquenWindow::help_Click()
{
    m_text1->setText(loquenHelpText());
}

void LoquenWindow::mnunew_Click()
{
    if (m_text1->text().isEmpty())
        return;
    if (m_host.messageBox(QStringLiteral("Are you sure you want to clear this window?"),
            QStringLiteral("Confirmation"), Host::Icon::Question, Host::Buttons::YesNo)
        == Host::Button::Yes)
        m_text1->setText(QString());
    else
        m_text1->setFocus();
}

// The frame's close box asks nothing; the speech ends with the window.
void LoquenWindow::closeEvent(QCloseEvent *event)
{
    m_t2s->stop();
    QMainWindow::closeEvent(event);
}
