#include "searchcommands.h"

#include "document/document.h"
#include "findreplacewindow.h"
#include "host/host.h"
#include "host/toolwindow.h"
#include "editor/wordselection.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

namespace {

// A match is shown by selecting at most this many of its characters.
constexpr qsizetype kLongestSelectedMatch = 1000;
constexpr int kHighlightTextColour = 14;

} // namespace

SearchCommands::SearchCommands(
    Document &document, Host &host, QWidget *owner, QWidget *view, QObject *parent)
    : QObject(parent)
    , m_document(document)
    , m_host(host)
    , m_owner(owner)
    , m_view(view)
{ }

void SearchCommands::focusView()
{
    if (m_view)
        m_view->setFocus();
}

// A new window starts with Replace disabled, and its own search starts at the caret.
FindReplaceWindow *SearchCommands::findWindow()
{
    return ToolWindow::single(m_findWindow, [this] {
        auto *window = new FindReplaceWindow(m_owner);
        connect(
            window, &FindReplaceWindow::findNextClicked, this, &SearchCommands::findNextInWindow);
        connect(window, &FindReplaceWindow::replaceClicked, this, &SearchCommands::replaceOne);
        connect(window, &FindReplaceWindow::replaceAllClicked, this, &SearchCommands::replaceAll);
        connect(window, &FindReplaceWindow::replaceLinkClicked, this,
            &SearchCommands::showReplaceSection);
        m_windowMatch = m_document.selectionStart();
        return window;
    });
}

Search::Case SearchCommands::matchCase()
{
    return findWindow()->matchCaseBox()->isChecked() ? Search::Case::Sensitive
                                                     : Search::Case::Insensitive;
}

// Down from just after the last match; up from the caret, which is left at the selection start.
qsizetype SearchCommands::findFromHere(const QString &find, qsizetype lastMatch)
{
    if (findWindow()->downButton()->isChecked())
        return Search::searchDown(m_document.text(), find, lastMatch + 1, matchCase());
    const qsizetype caret = m_document.selectionStart();
    m_document.select(caret, 0);
    return Search::searchUp(m_document.text(), find, caret, matchCase());
}

void SearchCommands::find()
{
    const WordSelection::Selection word
        = WordSelection::wordAt(m_document.text(), m_document.selectionStart());
    m_document.select(word.start, word.length);
    m_lastMatch = m_document.selectionStart();
    FindReplaceWindow *window = findWindow();
    window->findBox()->setEditText(m_document.selectedText());
    ToolWindow::present(window, window->findBox());
}

void SearchCommands::findNext()
{
    FindReplaceWindow *window = findWindow();
    const QString find = window->findText();
    if (find.isEmpty()) {
        this->find();
        return;
    }
    m_lastMatch = findFromHere(find, m_lastMatch);
    if (m_lastMatch == 0) {
        m_host.messageBox(QStringLiteral("Search complete"));
        focusView();
        return;
    }
    selectLastMatch();
}

void SearchCommands::selectLastMatch()
{
    focusView();
    m_document.select(
        m_lastMatch - 1, std::min(findWindow()->findText().size(), kLongestSelectedMatch));
}

void SearchCommands::findAndReplace()
{
    showReplaceSection();
    ToolWindow::present(findWindow(), findWindow()->findBox());
}

void SearchCommands::showReplaceSection()
{
    findWindow()->showReplace(m_host.systemColor(kHighlightTextColour));
}

void SearchCommands::findNextInWindow()
{
    FindReplaceWindow *window = findWindow();
    const QString find = window->findText();
    m_windowMatchLength = std::min(find.size(), kLongestSelectedMatch);
    m_windowMatch = findFromHere(find, m_windowMatch);
    if (m_windowMatch != 0)
        showWindowMatch();
    else
        searchComplete(QStringLiteral("Search complete"));
    window->replaceButton()->setEnabled(true);
    window->findBox()->addItem(find);
}

void SearchCommands::showWindowMatch()
{
    focusView();
    m_document.select(m_windowMatch - 1, m_windowMatchLength);
    FindReplaceWindow *window = findWindow();
    if (window->isReplaceMode())
        ToolWindow::present(window, nullptr);
    else
        ToolWindow::dismiss(window);
}

void SearchCommands::searchComplete(const QString &message)
{
    m_host.messageBox(message);
    ToolWindow::dismiss(findWindow());
    focusView();
}

void SearchCommands::replaceOne()
{
    FindReplaceWindow *window = findWindow();
    const QString replacement = window->replaceText();
    if (m_windowMatch != 0 && !window->findText().isEmpty()) {
        m_document.replaceSelection(replacement);
        findNextInWindow();
    } else {
        searchComplete(QStringLiteral("Search Complete"));
    }
    window->replaceBox()->addItem(replacement);
}

void SearchCommands::replaceAll()
{
    FindReplaceWindow *window = findWindow();
    qsizetype count = 0;
    const QString result = Search::replaceAll(
        m_document.text(), window->findText(), window->replaceText(), matchCase(), &count);
    // Nothing to replace (an empty find box included) leaves the document alone.
    if (count > 0)
        m_document.setText(result);
    ToolWindow::dismiss(window);
}

void SearchCommands::textClicked()
{
    // Creates the window, hidden, when there is none yet, on purpose: creation takes the caret
    // as where the window's own Find Next starts, so the first click sets that start.
    FindReplaceWindow *window = findWindow();
    if (!window->isVisible())
        return;
    window->findBox()->setEditText(m_document.selectedText());
    window->show();
    window->raise();
}

void SearchCommands::textDoubleClicked()
{
    FindReplaceWindow *window = findWindow();
    if (window->isVisible())
        window->hide();
}
