#pragma once

#include "recovery/journalorigin.h"
#include "recovery/recoveryfolder.h"

#include <QObject>

#include <memory>

class Document;
class JournalWriter;
class QTimer;

/// Keeps the recovery journal of the window's document, so that typed work survives a crash:
/// from the first change after a load or a save, each change is recorded (the text it put in
/// read from the document, never the whole text) and put on disk at most a second later. A
/// journal that grows past its bound is compacted into a snapshot of the text; one of a
/// protected text holds the protected form only. Open, New, a save and a clean close end it.
/// Nothing is kept until open() finds the recovery folder.
class JournalKeeper : public QObject
{
    Q_OBJECT

public:
    explicit JournalKeeper(Document &document, QObject *parent = nullptr);
    /// A journal not ended stays, to be offered at the next start.
    ~JournalKeeper() override;

    /// Opens the recovery folder and keeps journals in it from now on; false when it cannot.
    bool open();
    bool isOpen() const { return m_writer != nullptr; }
    const RecoveryFolder &folder() const { return m_folder; }

    /// The document's text has just been loaded from, or written to, the file whose bytes
    /// `origin` describes; `loadsBack` says whether those bytes load as the text itself. The
    /// next journal records its changes against them, or begins with the whole text where they
    /// would not give it back.
    void setFileOrigin(const JournalOrigin &origin, bool loadsBack);
    /// The longest a change waits in memory before it is written; a second unless set.
    void setFlushDelay(int milliseconds);

    /// Writes what waits in memory and waits for the disk; false when that failed.
    bool flushToDisk();
    /// The program is about to go without a question (a signal, the session's end): the
    /// journal is put on disk, and a close asks nothing and leaves it for the next start, until
    /// the document changes again.
    void keepForNextStart();
    bool isKeptForNextStart() const { return m_keptForNextStart; }
    /// Ends the journal: its work is saved or given up.
    void discard();
    /// The journal file being written, or an empty string.
    QString filePath() const;

private:
    void onEdited();
    void onChanged(qsizetype position, qsizetype removed, qsizetype added);
    void onLoaded();
    void onStateChanged();
    void flushSoon();
    void flushNow();
    bool begin();
    bool writeSnapshot();

    Document &m_document;
    RecoveryFolder m_folder;
    std::unique_ptr<JournalWriter> m_writer;
    QTimer *m_flushTimer = nullptr;

    JournalOrigin m_origin; // of the next journal
    bool m_originGivesText = true; // the origin's bytes load as the text it starts from
    bool m_loadCorrected = false; // the text was corrected as it was loaded
    bool m_editsUnannounced = false; // edits not yet part of a change announced
    bool m_snapshotCurrent = false; // the journal is a snapshot of the text as it stands
    bool m_snapshotHeld = false; // a snapshot failed: none is tried before the next flush
    bool m_failed = false; // no journal could be begun for this text
    bool m_keptForNextStart = false;
};
