#pragma once

#include "commandtable.h"
#include "documentfile.h"

#include <QObject>
#include <QTimer>

#include <optional>

class frmedit;
class Host;

/// Open, Save, Save As, Insert File, Calculate File Size, Print and Auto Save.
class FileCommands : public QObject
{
    Q_OBJECT

public:
    explicit FileCommands(frmedit &window);

    CommandHandlers handlers();

    void open_Click();
    /// Open's work after its dialog: loads the file at `path` into the window.
    void openPath(const QString &path);
    /// Returns whether the document was written.
    bool save_Click();
    bool saveas_Click();
    void mnuinsfile_Click();
    void mnufsize_Click();
    void mnuprint_Click();
    void mnuautosave_Click();
    void Timer1_Timer();

    QTimer &timer() { return m_timer; }

private:
    bool loadIntoArea(const QString &path);
    enum class Asker { User, AutoSave };

    /// The open-file dialog, titled `title`.
    std::optional<QString> askOpenPath(const QString &title);
    std::optional<QString> askSavePath();
    bool save(Asker asker);
    bool writeDocument(const QString &path, Asker asker);
    bool confirmUnencodable(Asker asker);
    bool mayOverwrite(Asker asker);
    void tellFailure(const QString &what, const QString &path, const QString &reason);
    void focusArea();

    frmedit &m_window;
    Host &m_host;
    QTimer m_timer;
    QString m_dialogFileName; // pre-filled in the next file dialog
    QString m_defaultExtension;
    bool m_inTick = false;
    // Auto-save asks once per document whether text that the code page cannot hold may be
    // saved with "?" in its place, and keeps to the answer.
    std::optional<bool> m_autoSaveUnencodable;
    // The file at `saveme` as this program last read or wrote it; it tells a change made by
    // another program since.
    std::optional<FileStamp> m_diskStamp;
    // Auto-save has found the file changed by another program and leaves it alone until the
    // user saves by hand.
    bool m_autoSaveHeld = false;
};
