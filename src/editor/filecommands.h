#pragma once

#include "codec1252.h"
#include "commandtable.h"
#include "documentfile.h"

#include <QObject>
#include <QSet>
#include <QTimer>

#include <optional>

class Document;
class Host;
class MainWindow;

/// Open, Reopen in the other encoding, Save, Save As, Insert File, Calculate File Size, Print and
/// Auto Save.
class FileCommands : public QObject
{
    Q_OBJECT

public:
    explicit FileCommands(MainWindow &window);

    void open();
    /// Open's work after its dialog: loads the file at `path` into the window, in the encoding
    /// its bytes show, or as UTF-8 or not as `utf8` says.
    void openPath(const QString &path, std::optional<bool> utf8 = std::nullopt);
    /// Reads the document's file again in the other encoding, for a file the guess got wrong.
    void reopenInOtherEncoding();
    /// Returns whether the document was written.
    bool save();
    bool saveAs();
    void insertFile();
    void showFileSize();
    void print();
    /// The Auto Save row was switched: the timer follows its check mark.
    void toggleAutoSave();
    /// Every five seconds while Auto Save is on: Save, unless a box or a load is under way.
    void autoSaveTick();

private:
    bool loadIntoDocument(const QString &path, std::optional<bool> utf8);
    bool mayReplaceDocument();
    void updateReopenRow();
    void insertFileAt(const QString &path);
    void forgetAutoSaveAnswers();
    enum class Asker { User, AutoSave };

    /// The open-file dialog, titled `title`.
    std::optional<QString> askOpenPath(const QString &title);
    std::optional<QString> askSavePath();
    bool saveAsked(Asker asker);
    bool writeDocument(const QString &path, Asker asker);
    bool confirmUnencodable(Asker asker);
    bool askLossySave(const Codec1252::Unencodable &found);
    bool mayOverwrite(Asker asker);
    void tellFailure(const QString &what, const QString &path, const QString &reason);
    void focusArea();

    MainWindow &m_window;
    Document &m_document;
    Host &m_host;
    QTimer *m_timer = nullptr; // `Timer1`
    QString m_dialogFileName; // pre-filled in the next file dialog
    QString m_defaultExtension;
    bool m_inTick = false;
    // Characters the code page cannot hold that the user has agreed to see saved as "?", and
    // those a No was last given for: auto-save writes the first without asking and asks again
    // only when a character outside both appears.
    QSet<char32_t> m_lossAgreed;
    QSet<char32_t> m_lossRefused;
    // Auto-save has said that such characters hold it back, or asked about them itself.
    bool m_autoSaveLossTold = false;
    // The document's file as this program last read or wrote it; it tells a change made by
    // another program since.
    std::optional<FileStamp> m_diskStamp;
    // Auto-save has found the file changed by another program and leaves it alone until the
    // user saves by hand.
    bool m_autoSaveHeld = false;
    // Auto-save has told that it could not write the file; it keeps trying without telling
    // again until a save succeeds or the user saves by hand.
    bool m_autoSaveFailureTold = false;
};
