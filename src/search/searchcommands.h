#pragma once

#include "searchprimitives.h"

#include <QObject>
#include <QPointer>

class Document;
class FindReplaceWindow;
class Host;
class QWidget;

/// Find, Find Next and Find And Replace, and the find-and-replace window they share. The window
/// belongs to `owner` (the main window); `view` shows the document and takes the keyboard back.
class SearchCommands : public QObject
{
    Q_OBJECT

public:
    SearchCommands(
        Document &document, Host &host, QWidget *owner, QWidget *view, QObject *parent = nullptr);

    /// Find: the word at the caret goes into the find window, which comes up.
    void find();
    /// The next match of the find window's text from the last one, in its direction.
    void findNext();
    /// Find And Replace: the window with its replace section.
    void findAndReplace();
    /// A click in the text: an open find window takes what is selected as its text to find.
    void textClicked();
    /// A double-click in the text puts the find window away.
    void textDoubleClicked();

    /// The find window, created hidden on first use.
    FindReplaceWindow *findWindow();

private:
    void findNextInWindow();
    void replaceOne();
    void replaceAll();
    void showReplaceSection();
    void selectLastMatch();
    void showWindowMatch();
    void searchComplete(const QString &message);
    Search::Case matchCase();
    /// The 1-based next match of `find` in the window's direction, 0 when there is none.
    qsizetype findFromHere(const QString &find, qsizetype lastMatch);
    void focusView();

    Document &m_document;
    Host &m_host;
    QWidget *m_owner;
    QPointer<QWidget> m_view;
    QPointer<FindReplaceWindow> m_findWindow;
    qsizetype m_lastMatch = 0; // last match of the main window's Find Next, 1-based
    qsizetype m_windowMatch = 0; // last match of the window's own Find Next, 1-based
    qsizetype m_windowMatchLength = 0;
};
