#pragma once

#include "editor/commandtable.h"

#include <QObject>
#include <QPointer>

class frmedit;
class LoquenWindow;

/// The editor's Options row "Loquen": opens the read-aloud window with the editor's text. The
/// window is not the editor's child, so it outlives the editor when the editor closes first.
class ReadAloudCommands : public QObject
{
    Q_OBJECT

public:
    explicit ReadAloudCommands(frmedit &window);

    void mnuloquen_Click();
    /// The read-aloud window, while it exists.
    LoquenWindow *loquenWindow() const;

private:
    frmedit &m_window;
    QPointer<LoquenWindow> m_loquen;
};
