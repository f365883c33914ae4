#pragma once

#include "editor/commandtable.h"
#include "searchprimitives.h"

#include <QObject>
#include <QPointer>

class FindReplaceWindow;
class frmedit;

/// Find, Find Next and Find And Replace, and the find-and-replace window they share.
class SearchCommands : public QObject
{
    Q_OBJECT

public:
    explicit SearchCommands(frmedit &window);

    void mnufind_Click();
    void mnufindnext_Click();
    void mnureplace_Click();
    void Area_Click();
    void Area_DblClick();

    /// The find window, created hidden on first use.
    FindReplaceWindow *findWindow();
    /// The find window if it exists, without creating it.
    FindReplaceWindow *existingFindWindow() const;
    qsizetype varfinder() const { return m_varfinder; }
    qsizetype foundpos() const { return m_foundpos; }

private:
    void btnfind_Click();
    void btnReplace_Click();
    void btnReplaceAll_Click();
    void showreplace();
    void selectfound();
    void showmatch();
    void searchComplete(const QString &message);
    Search::Case matchCase();
    /// The 1-based next match of `find` in the window's direction, 0 when there is none.
    qsizetype findFromHere(const QString &find, qsizetype lastMatch);

    frmedit &m_window;
    QPointer<FindReplaceWindow> m_findWindow;
    qsizetype m_varfinder = 0; // last match of the main window's Find Next, 1-based
    qsizetype m_foundpos = 0; // last match of the window's own Find Next, 1-based
    qsizetype m_lengthofwrd = 0;
};
