#pragma once

#include "editor/commandtable.h"

#include <QObject>
#include <QPointer>

class AboutWindow;
class frmedit;

/// Help, which inserts the help text, and About.
class HelpCommands : public QObject
{
    Q_OBJECT

public:
    explicit HelpCommands(frmedit &window);

    void helpa_Click();
    void about_Click();
    /// The About window, while it exists.
    AboutWindow *aboutWindow() const;

private:
    frmedit &m_window;
    QPointer<AboutWindow> m_about;
};
