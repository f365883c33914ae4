#include "filecommands.h"

#include "codec1252.h"
#include "document/document.h"
#include "documentfile.h"
#include "documentformat.h"
#include "fileload.h"
#include "host/host.h"
#include "journalkeeper.h"
#include "lossysave.h"
#include "mainwindow.h"
#include "protectionmarker.h"
#include "view/textview.h"

#include <QAction>

#include <utility>

namespace {

const QString kMessageTitle = QStringLiteral("Tarvex: Message");

FileLoad::Words loadWords(const QString &title, const QString &label, const QString &failure)
{
    return { title, label, failure, kMessageTitle };
}

} // namespace

FileCommands::FileCommands(MainWindow &window)
    : QObject(&window)
    , m_window(window)
    , m_document(window.document())
    , m_host(window.host())
{
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(5000);
    connect(m_timer, &QTimer::timeout, this, &FileCommands::autoSaveTick);
    connect(&m_document, &Document::loaded, this, &FileCommands::forgetAutoSaveAnswers);
    // A document put in from its file by other means than Open (the recovery at start) counts
    // the file as it is now as the one this program read; Open sets its own stamp after.
    connect(&m_document, &Document::loaded, this, [this] {
        const std::optional<QString> &path = m_document.path();
        m_diskStamp = path ? std::optional(fileStamp(*path)) : std::nullopt;
    });
    connect(&m_document, &Document::stateChanged, this, &FileCommands::updateReopenRow);
    updateReopenRow();
}

// The row names the encoding it would read the file in, and needs a file to read.
void FileCommands::updateReopenRow()
{
    QAction *row = m_window.command(QStringLiteral("mnureopen"));
    row->setText(
        QStringLiteral("Reopen as %1")
            .arg(DocumentFormat::encodingName(
                isUtf8(m_document.encoding()) ? TextEncoding::Windows1252 : TextEncoding::Utf8)));
    // A load disables every row and puts each back afterwards as it was.
    if (!m_window.isLoading())
        row->setEnabled(m_document.path().has_value());
}

// A new document starts a new auto-save answer.
void FileCommands::forgetAutoSaveAnswers()
{
    m_lossAgreed.clear();
    m_lossRefused.clear();
    m_autoSaveLossTold = false;
    m_autoSaveHeld = false;
    m_autoSaveFailureTold = false;
}

void FileCommands::focusArea()
{
    m_window.area()->setFocus();
}

std::optional<QString> FileCommands::askOpenPath(const QString &title)
{
    const std::optional<QString> path
        = m_host.openFileName({ title, m_dialogFileName, m_defaultExtension, {} });
    if (path)
        m_dialogFileName = *path;
    return path;
}

std::optional<QString> FileCommands::askSavePath()
{
    const std::optional<QString> path = m_host.saveFileName(
        { QStringLiteral("Save As"), m_dialogFileName, m_defaultExtension, {} });
    if (path)
        m_dialogFileName = *path;
    return path;
}

void FileCommands::tellFailure(const QString &what, const QString &path, const QString &reason)
{
    m_host.messageBox(QStringLiteral("%1 %2\n\n%3").arg(what, path, reason), kMessageTitle,
        Host::Icon::Exclamation, Host::Buttons::Ok);
}

// Yes keeps the changes: they are saved before anything replaces them. No drops them; Cancel
// (Escape, the close box) keeps the document as it is.
bool FileCommands::mayReplaceDocument()
{
    if (!m_document.isModified())
        return true;
    const Host::Button answer = m_host.messageBox(QStringLiteral("File not saved. Save it now?"),
        QStringLiteral("Confirm Save"), Host::Icon::Question, Host::Buttons::YesNoCancel);
    return answer == Host::Button::No || (answer == Host::Button::Yes && save());
}

void FileCommands::open()
{
    if (!mayReplaceDocument()) {
        focusArea();
        return;
    }
    const std::optional<QString> path = askOpenPath(QStringLiteral("Open"));
    if (!path) {
        focusArea();
        return;
    }
    openPath(*path);
}

void FileCommands::reopenInOtherEncoding()
{
    if (!m_document.path() || !mayReplaceDocument()) {
        focusArea();
        return;
    }
    const QString path = *m_document.path();
    openPath(path, !isUtf8(m_document.encoding()));
}

void FileCommands::openPath(const QString &path, std::optional<bool> utf8)
{
    // Taken before reading, so that a change made while we read counts as a change.
    const FileStamp stamp = fileStamp(path);
    if (!loadIntoDocument(path, utf8))
        return;
    m_diskStamp = stamp;
    if (m_document.isLocked()) {
        m_host.messageBox(QStringLiteral("Protected file"), QStringLiteral("Tarvex: Protection"),
            Host::Icon::Information, Host::Buttons::Ok);
    }
    focusArea();
}

namespace {

// Keeps the main window loading, so that nothing else reaches the document, until it goes or
// end() is called.
class LoadingScope
{
public:
    explicit LoadingScope(MainWindow &window)
        : m_window(&window)
    {
        window.beginLoading();
    }
    ~LoadingScope() { end(); }
    void end()
    {
        if (m_window)
            std::exchange(m_window, nullptr)->endLoading();
    }

private:
    MainWindow *m_window;
};

} // namespace

// A big file takes a while: a progress window tells how far reading and showing the text have
// come, and its Cancel, like a close of the window, leaves the document as it was.
bool FileCommands::loadIntoDocument(const QString &path, std::optional<bool> utf8)
{
    LoadingScope loading(m_window);
    FileLoad load(m_host, &m_window,
        loadWords(QStringLiteral("Open"), QStringLiteral("Opening %1").arg(path),
            QStringLiteral("Could not open the file")),
        [this] { return m_window.closeWaiting(); });
    std::optional<TextBuffer> text = load.read(path, utf8);
    if (!text || !load.prepareIn(m_document, std::move(*text))) {
        focusArea();
        return false;
    }
    load.finish();
    loading.end();
    // Locked before it is kept: the corrections made as it comes in (Auto Capitalise) must find
    // a protected text already out of reach.
    m_document.setLocked(m_document.at(0) == kProtectionMarker);
    m_document.keepPrepared(path, load.encoding());
    m_window.journal().setFileOrigin(load.origin(), true);
    return true;
}

bool FileCommands::save()
{
    return saveAsked(Asker::User);
}

bool FileCommands::saveAsked(Asker asker)
{
    if (!m_document.path())
        return saveAs();
    const QString path = *m_document.path();
    if (!mayOverwrite(asker) || !writeDocument(path, asker)) {
        focusArea();
        return false;
    }
    m_document.markSaved(path);
    focusArea();
    return true;
}

bool FileCommands::saveAs()
{
    m_defaultExtension = QStringLiteral("txt");
    const std::optional<QString> path = askSavePath();
    if (!path || !writeDocument(*path, Asker::User)) {
        focusArea();
        return false;
    }
    m_document.markSaved(*path);
    focusArea();
    return true;
}

bool FileCommands::writeDocument(const QString &path, Asker asker)
{
    if (!confirmUnencodable(asker))
        return false;
    const SaveResult saved = writeDocumentFile(path, m_document.text(), m_document.encoding());
    if (!saved.ok) {
        // A full disk fails every tick alike: auto-save tells once and tries on quietly.
        if (asker == Asker::User) {
            m_autoSaveFailureTold = false;
            tellFailure(QStringLiteral("Could not save the file"), path, saved.error);
        } else if (!std::exchange(m_autoSaveFailureTold, true)) {
            tellFailure(QStringLiteral("Could not save the file"), path,
                saved.error
                    + QStringLiteral("\n\nAuto Save keeps trying, and says nothing more until a "
                                     "save succeeds or you save the file yourself."));
        }
        return false;
    }
    m_window.journal().setFileOrigin(saved.origin, saved.loadsBack);
    m_diskStamp = fileStamp(path);
    m_autoSaveFailureTold = false;
    if (asker == Asker::User)
        m_autoSaveHeld = false;
    return true;
}

// Another program may have written the file since this one read or wrote it: writing over it
// would lose that work. Save asks; auto-save says so once and keeps off the file until the
// user saves by hand.
bool FileCommands::mayOverwrite(Asker asker)
{
    if (asker == Asker::AutoSave && m_autoSaveHeld)
        return false;
    const QString path = m_window.documentName();
    const FileStamp onDisk = fileStamp(path);
    if (!m_diskStamp || onDisk == *m_diskStamp)
        return true;
    // Another inode: the file was replaced, or the name is a link that now leads elsewhere.
    const bool replaced = onDisk.exists && onDisk.inode != m_diskStamp->inode;
    const QString what
        = QStringLiteral("The file %1 was %2 by another program since Tarvex last "
                         "read or saved it%3.\n\n")
              .arg(path,
                  !onDisk.exists ? QStringLiteral("removed")
                      : replaced ? QStringLiteral("replaced")
                                 : QStringLiteral("changed"),
                  replaced ? QStringLiteral(": the name now points to a different file")
                           : QString());
    if (asker == Asker::AutoSave) {
        m_autoSaveHeld = true;
        m_host.messageBox(
            what + QStringLiteral("Auto Save will not write it again until you save it yourself."),
            kMessageTitle, Host::Icon::Exclamation, Host::Buttons::Ok);
        return false;
    }
    return m_host.messageBox(what + QStringLiteral("Save anyway?"), QStringLiteral("Confirm Save"),
               Host::Icon::Question, Host::Buttons::YesNo, Host::Button::No)
        == Host::Button::Yes;
}

// The code page has no byte for some characters; they would be written as "?". That loses
// text, so it is never done without the user's word. Save asks each time; an answer covers
// the characters it was given for, so auto-save asks again only about characters new since
// (once for each new set, not on every tick), and writes nothing until it has a Yes. Held back
// by a No it was not asked itself, it says so at its first tick: the user would otherwise take
// the work to be saved.
bool FileCommands::confirmUnencodable(Asker asker)
{
    if (isUtf8(m_document.encoding()))
        return true; // UTF-8 holds every character
    const QString &text = m_document.text();
    if (asker == Asker::User) {
        const Codec1252::Unencodable found = Codec1252::findUnencodable(text);
        if (found.count == 0)
            return true;
        const bool yes = askLossySave(found);
        if (!yes)
            m_autoSaveLossTold = false; // the No holds auto-save back: its next tick tells
        return yes;
    }
    const Codec1252::Unencodable found
        = Codec1252::findUnencodable(text, Codec1252::listLimit, m_lossAgreed);
    if (found.count == 0)
        return true;
    if (!m_lossRefused.contains(found.distinct)) {
        m_autoSaveLossTold = true; // the question tells it
        return askLossySave(found);
    }
    if (!std::exchange(m_autoSaveLossTold, true)) {
        m_host.messageBox(QStringLiteral("%1 character(s) cannot be stored in this file's code "
                                         "page (Windows-1252): %2\n\nAuto Save does not save "
                                         "the file while they are in it. Save it yourself to "
                                         "choose whether they are saved as \"?\".")
                              .arg(QString::number(found.count), unencodableList(found)),
            kMessageTitle, Host::Icon::Exclamation, Host::Buttons::Ok);
    }
    return false;
}

bool FileCommands::askLossySave(const Codec1252::Unencodable &found)
{
    const bool yes = confirmLossySave(m_host, found);
    if (yes)
        m_lossAgreed.unite(found.distinct);
    else
        m_lossRefused = found.distinct;
    return yes;
}

void FileCommands::insertFile()
{
    // A locked text takes nothing in, so there is no file to ask for.
    if (m_document.isLocked())
        return;
    const std::optional<QString> path = askOpenPath(QStringLiteral("Insert File"));
    if (path)
        insertFileAt(*path);
    focusArea();
}

// As Open, behind a progress window whose Cancel leaves the document as it was. The text goes in
// as one change, undone in one step whatever its size.
void FileCommands::insertFileAt(const QString &path)
{
    LoadingScope loading(m_window);
    FileLoad load(m_host, &m_window,
        loadWords(QStringLiteral("Insert File"), QStringLiteral("Inserting %1").arg(path),
            QStringLiteral("Could not insert the file")),
        [this] { return m_window.closeWaiting(); });
    const std::optional<TextBuffer> text = load.read(path);
    if (!text)
        return;
    load.finish();
    loading.end();
    m_document.replaceSelection(text->toString());
}

void FileCommands::showFileSize()
{
    const QString name = m_window.documentName();
    if (!m_document.path()) {
        m_host.messageBox(QStringLiteral("Please save file first"), kMessageTitle,
            Host::Icon::Exclamation, Host::Buttons::Ok);
    } else if (const SizeResult size = documentFileSize(name); size.ok) {
        m_host.messageBox(QStringLiteral("The file %1 is %2 bytes long").arg(name).arg(size.size),
            kMessageTitle, Host::Icon::Information, Host::Buttons::Ok);
    } else {
        tellFailure(QStringLiteral("Could not find the size of the file"), name, size.error);
    }
    focusArea();
}

void FileCommands::print()
{
    m_host.printText(m_document.text(), m_window.area()->font());
}

void FileCommands::toggleAutoSave()
{
    // The row's check mark has already flipped; the timer follows it. Switched on, it tells
    // afresh what holds it back.
    if (m_window.command(QStringLiteral("mnuautosave"))->isChecked()) {
        m_autoSaveLossTold = false;
        m_timer->start();
    } else {
        m_timer->stop();
    }
    m_window.refreshStatusBar();
}

void FileCommands::autoSaveTick()
{
    // A tick while any box or dialog is open (the Save As of an earlier tick, say) waits for
    // the next one, so dialogs never stack.
    if (m_inTick || m_host.isShowingModal() || m_window.isLoading())
        return;
    m_inTick = true;
    saveAsked(Asker::AutoSave);
    m_inTick = false;
}
