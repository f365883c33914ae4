#pragma once

#include <QObject>
#include <QPointer>

class Document;
class Host;
class LoquenWindow;

/// The editor's Options row "Loquen": opens the read-aloud window with the document's text. The
/// window is not the editor's child, so it outlives the editor when the editor closes first.
class ReadAloudCommands : public QObject
{
    Q_OBJECT

public:
    ReadAloudCommands(const Document &document, Host &host, QObject *parent = nullptr);

    void showReadAloud();
    /// The read-aloud window, while it exists.
    LoquenWindow *loquenWindow() const;

private:
    const Document &m_document;
    Host &m_host;
    QPointer<LoquenWindow> m_loquen;
};
