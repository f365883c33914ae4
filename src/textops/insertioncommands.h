#pragma once

#include <QString>
#include <QStringView>

class frmedit;

/// The rows that replace the selection by computed text: the three Strip w/Spaces rows, Date
/// And Time and HTML code. The caret ends after the new text.
class InsertionCommands
{
public:
    explicit InsertionCommands(frmedit &window);

    void mnusinit_Click();
    void mnusend_Click();
    void mnubothwspaces_Click();
    void mnudatetime_Click();
    void mnuhtmlcode_Click();

    /// The HTML template, set when the window is built.
    const QString &hatamala() const { return m_hatamala; }

private:
    void replaceSelection(const QString &text);
    void stripSelection(QString (*strip)(QStringView));

    frmedit &m_window;
    const QString m_hatamala;
};
