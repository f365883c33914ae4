#include "filecommands.h"

#include "codec1252.h"
#include "documentfile.h"
#include "frmedit.h"
#include "host/editarea.h"
#include "host/host.h"
#include "lossysave.h"
#include "memoryneed.h"
#include "protectionmarker.h"

#include <QAction>
#include <QFileInfo>

#include <utility>

namespace {

const QString kMessageTitle = QStringLiteral("Tarvex: Message");

} // namespace

FileCommands::FileCommands(frmedit &window)
    : QObject(&window)
    , m_window(window)
    , m_host(window.host())
{
    m_timer.setObjectName(QStringLiteral("Timer1"));
    m_timer.setInterval(5000);
    connect(&m_timer, &QTimer::timeout, this, &FileCommands::Timer1_Timer);
    connect(window.command("open"), &QAction::triggered, this, &FileCommands::open_Click);
    connect(window.command("save"), &QAction::triggered, this, &FileCommands::save_Click);
    connect(window.command("saveas"), &QAction::triggered, this, &FileCommands::saveas_Click);
    connect(
        window.command("mnuinsfile"), &QAction::triggered, this, &FileCommands::mnuinsfile_Click);
    connect(window.command("mnufsize"), &QAction::triggered, this, &FileCommands::mnufsize_Click);
    connect(window.command("mnuprint"), &QAction::triggered, this, &FileCommands::mnuprint_Click);
    connect(
        window.command("mnuautosave"), &QAction::triggered, this, &FileCommands::mnuautosave_Click);
    // A new document starts a new auto-save answer.
    connect(&window, &frmedit::documentReplaced, this, [this] {
        m_lossAgreed.clear();
        m_lossRefused.clear();
        m_autoSaveLossTold = false;
        m_autoSaveHeld = false;
        m_autoSaveFailureTold = false;
    });
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

void FileCommands::open_Click()
{
    if (m_window.isModified()) {
        // Yes keeps the changes: they are saved before anything replaces them. No drops them;
        // Cancel (Escape, the close box) keeps the document as it is and opens nothing.
        const Host::Button answer
            = m_host.messageBox(QStringLiteral("File not saved. Save it now?"),
                QStringLiteral("Confirm Save"), Host::Icon::Question, Host::Buttons::YesNoCancel);
        if (answer == Host::Button::Cancel || (answer == Host::Button::Yes && !save_Click())) {
            focusArea();
            return;
        }
    }
    const std::optional<QString> path = askOpenPath(QStringLiteral("Open"));
    if (!path) {
        focusArea();
        return;
    }
    openPath(*path);
}

void FileCommands::openPath(const QString &path)
{
    EditArea *area = m_window.area();
    // Taken before reading, so that a change made while we read counts as a change.
    const FileStamp stamp = fileStamp(path);
    if (!loadIntoArea(path))
        return;
    m_window.setModified(false);
    m_window.setPath(path);
    m_window.setTitle(TitleSuffix::Opened);
    m_window.setLoadedfromfile(true);
    emit m_window.documentReplaced();
    m_diskStamp = stamp;

    if (area->locked()) {
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
    explicit LoadingScope(frmedit &window)
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
    frmedit *m_window;
};

qint64 lineBreaks(QStringView text)
{
    return text.count(QLatin1Char('\r'));
}

} // namespace

// A big file takes a while: a progress window tells how far reading (the first fifth) and
// showing the text have come, and its Cancel leaves the document as it was.
bool FileCommands::loadIntoArea(const QString &path)
{
    LoadingScope loading(m_window);
    std::unique_ptr<Progress> progress = m_host.showProgress(
        &m_window, QStringLiteral("Opening %1").arg(path), QStringLiteral("Open"));
    const std::optional<QString> text
        = readToShow(path, QStringLiteral("Could not open the file"), progress,
            [](QStringView read, qint64 lines) { return MemoryNeed::toShow(read.size(), lines); });
    EditArea *area = m_window.area();
    if (text)
        area->prepareText(*text);
    if (!text || !showPrepared(*progress)) {
        focusArea();
        return false;
    }
    progress.reset();
    loading.end();
    // Locked before the text is kept: its change notice (Auto Capitalise) must find a
    // protected text already out of reach.
    area->setLocked(!text->isEmpty() && text->front() == kProtectionMarker);
    area->keepPreparedText();
    return true;
}

// Reads the file at `path` to show it, behind `progress` (its first fifth). Before reading and
// again once the lines are known, what showing it will take is weighed against the memory left:
// the widget would otherwise fail long after the file seemed open. A failure or a file too big
// is told; a Cancel, or a close of the window, ends quietly.
std::optional<QString> FileCommands::readToShow(const QString &path, const QString &failure,
    std::unique_ptr<Progress> &progress, const MemoryNeeded &needed)
{
    auto refuse = [&](const QString &reason) {
        progress.reset(); // gone before the box, so the two never show together
        tellFailure(failure, path, reason);
        return std::nullopt;
    };
    const qint64 fileBytes = QFileInfo(path).size();
    if (const std::optional<QString> tooBig = MemoryNeed::refusal(fileBytes, std::nullopt,
            MemoryNeed::toReadAndShow(fileBytes), m_host.memoryAvailable()))
        return refuse(*tooBig);
    const LoadResult loaded = readDocumentFile(path, [&](int percent) {
        progress->setValue(percent / 5);
        return !stopped(*progress);
    });
    if (loaded.cancelled) {
        progress.reset();
        return std::nullopt;
    }
    if (!loaded.ok)
        return refuse(loaded.error);
    const qint64 lines = lineBreaks(loaded.text);
    if (const std::optional<QString> tooBig = MemoryNeed::refusal(
            fileBytes, lines, needed(loaded.text, lines), m_host.memoryAvailable()))
        return refuse(*tooBig);
    return loaded.text;
}

// Shows the rest of the area's prepared text behind `progress` (its last four fifths); gives it
// up on Cancel or a close of the window.
bool FileCommands::showPrepared(Progress &progress)
{
    EditArea *area = m_window.area();
    for (int shown = area->prepareNextPiece(); shown < 100; shown = area->prepareNextPiece()) {
        progress.setValue(20 + shown * 4 / 5);
        if (stopped(progress)) {
            area->dropPreparedText();
            return false;
        }
    }
    return true;
}

bool FileCommands::stopped(const Progress &progress) const
{
    return progress.wasCanceled() || m_window.closeWaiting();
}

bool FileCommands::save_Click()
{
    return save(Asker::User);
}

bool FileCommands::save(Asker asker)
{
    if (!m_window.path())
        return saveas_Click();
    if (!mayOverwrite(asker) || !writeDocument(m_window.saveme(), asker)) {
        focusArea();
        return false;
    }
    m_window.setModified(false);
    focusArea();
    m_window.setTitle(TitleSuffix::StartUp);
    return true;
}

bool FileCommands::saveas_Click()
{
    m_defaultExtension = QStringLiteral("txt");
    const std::optional<QString> path = askSavePath();
    if (!path || !writeDocument(*path, Asker::User)) {
        focusArea();
        return false;
    }
    m_window.setPath(*path);
    m_window.setModified(false);
    focusArea();
    m_window.setTitle(TitleSuffix::StartUp);
    return true;
}

bool FileCommands::writeDocument(const QString &path, Asker asker)
{
    if (!confirmUnencodable(asker))
        return false;
    const SaveResult saved = writeDocumentFile(path, m_window.area()->text());
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
    const QString &path = m_window.saveme();
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
    const QString &text = m_window.area()->text();
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

void FileCommands::mnuinsfile_Click()
{
    // A locked text takes nothing in, so there is no file to ask for.
    if (m_window.area()->locked())
        return;
    const std::optional<QString> path = askOpenPath(QStringLiteral("Insert File"));
    if (path)
        insertFile(*path);
    focusArea();
}

// As Open, behind a progress window whose Cancel leaves the document as it was. A small text
// goes in as one undo step; a big one is prepared as a whole new text, with a fresh undo
// history as any change of that size has.
void FileCommands::insertFile(const QString &path)
{
    EditArea *area = m_window.area();
    LoadingScope loading(m_window);
    std::unique_ptr<Progress> progress = m_host.showProgress(
        &m_window, QStringLiteral("Inserting %1").arg(path), QStringLiteral("Insert File"));
    const std::optional<QString> text = readToShow(path,
        QStringLiteral("Could not insert the file"), progress, [&](QStringView read, qint64 lines) {
            // The area's new text, and what the widget is given: all of it for a big insert.
            const qint64 chars = area->text().size() + read.size();
            return 2 * chars
                + (EditArea::isLarge(read.size())
                        ? MemoryNeed::toShow(chars, lineBreaks(area->text()) + lines)
                        : MemoryNeed::toShow(read.size(), lines));
        });
    if (!text)
        return;
    if (!EditArea::isLarge(text->size())) {
        progress.reset();
        loading.end();
        area->setSelText(*text);
        return;
    }
    const qsizetype start = area->selStart();
    area->prepareText(QString(area->text()).replace(start, area->selLength(), *text));
    if (!showPrepared(*progress))
        return;
    progress.reset();
    loading.end();
    area->keepPreparedText();
    area->setSelStart(start + text->size());
}

void FileCommands::mnufsize_Click()
{
    const QString saveme = m_window.saveme();
    if (!m_window.path()) {
        m_host.messageBox(QStringLiteral("Please save file first"), kMessageTitle,
            Host::Icon::Exclamation, Host::Buttons::Ok);
    } else if (const SizeResult size = documentFileSize(saveme); size.ok) {
        m_host.messageBox(QStringLiteral("The file %1 is %2 bytes long").arg(saveme).arg(size.size),
            kMessageTitle, Host::Icon::Information, Host::Buttons::Ok);
    } else {
        tellFailure(QStringLiteral("Could not find the size of the file"), saveme, size.error);
    }
    focusArea();
}

void FileCommands::mnuprint_Click()
{
    m_host.printText(m_window.area()->text(), m_window.area()->font());
}

void FileCommands::mnuautosave_Click()
{
    // The row's check mark has already flipped; the timer follows it. Switched on, it tells
    // afresh what holds it back.
    if (m_window.command(QStringLiteral("mnuautosave"))->isChecked()) {
        m_autoSaveLossTold = false;
        m_timer.start();
    } else {
        m_timer.stop();
    }
    m_window.statupload();
}

void FileCommands::Timer1_Timer()
{
    // A tick while any box or dialog is open (the Save As of an earlier tick, say) waits for
    // the next one, so dialogs never stack.
    if (m_inTick || m_host.isShowingModal() || m_window.isLoading())
        return;
    m_inTick = true;
    save(Asker::AutoSave);
    m_inTick = false;
}
