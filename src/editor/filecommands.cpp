#include "filecommands.h"

#include "codec1252.h"
#include "documentfile.h"
#include "frmedit.h"
#include "host/editarea.h"
#include "host/host.h"

namespace {

const QString kMessageTitle = QStringLiteral("Tarvex: Message");
const QChar kProtectionMarker = QChar(0x0081);

} // namespace

FileCommands::FileCommands(frmedit &window)
    : QObject(&window)
    , m_window(window)
    , m_host(window.host())
{
    m_timer.setObjectName(QStringLiteral("Timer1"));
    m_timer.setInterval(5000);
    connect(&m_timer, &QTimer::timeout, this, &FileCommands::Timer1_Timer);
    // A new document starts a new auto-save answer.
    connect(&window, &frmedit::documentReplaced, this, [this] {
        m_autoSaveUnencodable.reset();
        m_autoSaveHeld = false;
    });
}

CommandHandlers FileCommands::handlers()
{
    return {
        { QStringLiteral("open"), [this] { open_Click(); } },
        { QStringLiteral("save"), [this] { save_Click(); } },
        { QStringLiteral("saveas"), [this] { saveas_Click(); } },
        { QStringLiteral("mnuinsfile"), [this] { mnuinsfile_Click(); } },
        { QStringLiteral("mnufsize"), [this] { mnufsize_Click(); } },
        { QStringLiteral("mnuprint"), [this] { mnuprint_Click(); } },
        { QStringLiteral("mnuautosave"), [this] { mnuautosave_Click(); } },
    };
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
    if (m_window.isModified()
        && m_host.messageBox(QStringLiteral("File not saved. Save it now?"),
               QStringLiteral("Confirm Save"), Host::Icon::Question, Host::Buttons::YesNo)
            == Host::Button::Yes) {
        // Yes keeps the changes: they are saved before anything replaces them.
        if (!save_Click()) {
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
    const QString &text = area->text();
    m_window.setStar(QString());
    m_window.setSaveme(path);
    m_window.setTitle(TitleSuffix::Opened);
    m_window.setLoadedfromfile(true);
    emit m_window.documentReplaced();
    m_diskStamp = stamp;

    if (!text.isEmpty() && text.front() == kProtectionMarker) {
        m_host.messageBox(QStringLiteral("Protected file"), QStringLiteral("Tarvex: Protection"),
            Host::Icon::Information, Host::Buttons::Ok);
        area->setLocked(true);
    } else {
        area->setLocked(false);
    }
    focusArea();
}

// A big file takes a while: a progress window tells how far reading (the first fifth) and
// showing the text have come, and its Cancel leaves the document as it was.
bool FileCommands::loadIntoArea(const QString &path)
{
    std::unique_ptr<Progress> progress
        = m_host.showProgress(QStringLiteral("Opening %1").arg(path), QStringLiteral("Open"));
    const LoadResult loaded = readDocumentFile(path, [&](int percent) {
        progress->setValue(percent / 5);
        return !progress->wasCanceled();
    });
    if (!loaded.ok) {
        progress.reset();
        if (!loaded.cancelled)
            tellFailure(QStringLiteral("Could not open the file"), path, loaded.error);
        focusArea();
        return false;
    }
    EditArea *area = m_window.area();
    area->prepareText(loaded.text);
    for (int shown = area->prepareNextPiece(); shown < 100; shown = area->prepareNextPiece()) {
        progress->setValue(20 + shown * 4 / 5);
        if (progress->wasCanceled()) {
            area->dropPreparedText();
            focusArea();
            return false;
        }
    }
    progress.reset();
    area->keepPreparedText();
    return true;
}

bool FileCommands::save_Click()
{
    return save(Asker::User);
}

bool FileCommands::save(Asker asker)
{
    if (m_window.saveme() == QLatin1String("Untitled"))
        return saveas_Click();
    if (!mayOverwrite(asker) || !writeDocument(m_window.saveme(), asker)) {
        focusArea();
        return false;
    }
    m_window.setStar(QString());
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
    m_window.setSaveme(*path);
    m_window.setStar(QString());
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
        tellFailure(QStringLiteral("Could not save the file"), path, saved.error);
        return false;
    }
    m_diskStamp = fileStamp(path);
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
    const QString what
        = QStringLiteral("The file %1 was %2 by another program since Tarvex last "
                         "read or saved it.\n\n")
              .arg(path, onDisk.exists ? QStringLiteral("changed") : QStringLiteral("removed"));
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
// text, so it is never done without the user's word.
bool FileCommands::confirmUnencodable(Asker asker)
{
    const Codec1252::Unencodable found = Codec1252::findUnencodable(m_window.area()->text());
    if (found.count == 0)
        return true;
    if (asker == Asker::AutoSave && m_autoSaveUnencodable)
        return *m_autoSaveUnencodable;
    const QString prompt
        = QStringLiteral("%1 character(s) cannot be stored in this file's code page "
                         "(Windows-1252) and would be saved as \"?\": %2\n\nSave anyway?")
              .arg(found.count)
              .arg(found.first);
    const bool yes = m_host.messageBox(prompt, QStringLiteral("Confirm Save"), Host::Icon::Question,
                         Host::Buttons::YesNo, Host::Button::No)
        == Host::Button::Yes;
    if (asker == Asker::AutoSave)
        m_autoSaveUnencodable = yes;
    return yes;
}

void FileCommands::mnuinsfile_Click()
{
    const std::optional<QString> path = askOpenPath(QStringLiteral("Insert File"));
    if (!path) {
        focusArea();
        return;
    }
    const LoadResult loaded = readDocumentFile(*path);
    if (!loaded.ok)
        tellFailure(QStringLiteral("Could not insert the file"), *path, loaded.error);
    else
        m_window.area()->setSelText(loaded.text);
    focusArea();
}

void FileCommands::mnufsize_Click()
{
    const QString saveme = m_window.saveme();
    if (saveme == QLatin1String("Untitled")) {
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
    // The row's check mark has already flipped; the timer follows it.
    if (m_window.command(QStringLiteral("mnuautosave"))->isChecked())
        m_timer.start();
    else
        m_timer.stop();
    m_window.statupload();
}

void FileCommands::Timer1_Timer()
{
    // A tick while any box or dialog is open (the Save As of an earlier tick, say) waits for
    // the next one, so dialogs never stack.
    if (m_inTick || m_host.isShowingModal())
        return;
    m_inTick = true;
    save(Asker::AutoSave);
    m_inTick = false;
}
