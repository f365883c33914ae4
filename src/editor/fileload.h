#pragma once

#include "document/textbuffer.h"
#include "document/textencoding.h"
#include "recovery/journalorigin.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class Document;
class Host;
class Progress;
class QWidget;

/// Reading a document file into a document behind a progress window, as Open, Insert File and
/// the read-aloud window's Load do; Cancel gives the load up and leaves the document as it was.
/// What holding and showing the text will take is weighed against the memory left before
/// reading and again once its lines are known: running out later would end the program, long
/// after the file seemed open.
class FileLoad
{
public:
    /// How the load speaks to the user.
    struct Words
    {
        QString progressTitle; // "Open"
        QString progressLabel; // "Opening /home/me/notes.txt"
        QString failure; // "Could not open the file": a failure box names the file and the reason
        QString boxTitle;
        /// A file that cannot be read is told; without, only a file too big for memory is.
        bool tellUnreadable = true;
    };

    /// Puts up the progress window, modal to `owner`. Once `stopAsked` answers true (a close of
    /// the owner, say), the load gives up as on Cancel.
    FileLoad(Host &host, QWidget *owner, Words words, std::function<bool()> stopAsked = {});
    ~FileLoad();

    /// The text of the file at `path` (readDocumentBuffer: a Windows-1252 file kept as its
    /// bytes), or nothing when the load was given up or the file refused (told). The file is
    /// read in the encoding its bytes show, or as UTF-8 or not as `utf8` says.
    std::optional<TextBuffer> read(const QString &path, std::optional<bool> utf8 = std::nullopt);
    /// The bytes the last read() took its text from, for the recovery journal.
    const JournalOrigin &origin() const { return m_origin; }
    /// The encoding the last read() read its file in.
    TextEncoding encoding() const { return m_encoding; }
    /// Makes `text` the prepared text of `document` (Document::prepareLoad), for the caller to
    /// keep; false, the document as it was, when the load was given up meanwhile. A view shows
    /// the whole text at once: only the lines on screen are laid out.
    bool prepareIn(Document &document, TextBuffer text);
    /// Takes the progress window down.
    void finish();

private:
    bool stopped() const;
    void refuse(const QString &path, const QString &reason);

    Host &m_host;
    Words m_words;
    std::function<bool()> m_stopAsked;
    std::unique_ptr<Progress> m_progress;
    JournalOrigin m_origin;
    TextEncoding m_encoding = TextEncoding::Windows1252;
};
