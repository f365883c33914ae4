#include "searchcommands.h"

#include "editor/frmedit.h"
#include "findreplacewindow.h"
#include "host/editarea.h"
#include "host/host.h"
#include "host/toolwindow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

// A match is shown by selecting at most this many of its characters.
constexpr qsizetype kLongestSelectedMatch = 1000;
constexpr int kHighlightTextColour = 14;

} // namespace

SearchCommands::SearchCommands(frmedit &window)
    : QObject(&window)
    , m_window(window)
{
    connect(window.area(), &EditArea::mouseReleased, this, &SearchCommands::Area_Click);
    connect(window.area(), &EditArea::doubleClicked, this, &SearchCommands::Area_DblClick);
    connect(window.command("mnufind"), &QAction::triggered, this, &SearchCommands::mnufind_Click);
    connect(window.command("mnufindnext"), &QAction::triggered, this,
        &SearchCommands::mnufindnext_Click);
    connect(
        window.command("mnureplace"), &QAction::triggered, this, &SearchCommands::mnureplace_Click);
}

FindReplaceWindow *SearchCommands::existingFindWindow() const
{
    return m_findWindow;
}

// A new window starts with Replace disabled, and its own search starts at the caret.
FindReplaceWindow *SearchCommands::findWindow()
{
    return ToolWindow::single(m_findWindow, [this] {
        auto *window = new FindReplaceWindow(&m_window);
        connect(window, &FindReplaceWindow::findNextClicked, this, &SearchCommands::btnfind_Click);
        connect(
            window, &FindReplaceWindow::replaceClicked, this, &SearchCommands::btnReplace_Click);
        connect(window, &FindReplaceWindow::replaceAllClicked, this,
            &SearchCommands::btnReplaceAll_Click);
        connect(window, &FindReplaceWindow::replaceLinkClicked, this, &SearchCommands::showreplace);
        m_foundpos = m_window.area()->selStart();
        return window;
    });
}

Search::Case SearchCommands::matchCase()
{
    return findWindow()->casematch()->isChecked() ? Search::Case::Sensitive
                                                  : Search::Case::Insensitive;
}

// Down from just after the last match; up from the caret, which is left at the selection start.
qsizetype SearchCommands::findFromHere(const QString &find, qsizetype lastMatch)
{
    EditArea *area = m_window.area();
    if (findWindow()->down()->isChecked())
        return Search::searchDown(area->text(), find, lastMatch + 1, matchCase());
    const qsizetype caret = area->selStart();
    area->setSelStart(caret);
    return Search::searchUp(area->text(), find, caret, matchCase());
}

void SearchCommands::mnufind_Click()
{
    EditArea *area = m_window.area();
    m_window.command(QStringLiteral("mnuselectword"))->trigger();
    m_varfinder = area->selStart();
    FindReplaceWindow *window = findWindow();
    window->txtfind()->setEditText(area->selText());
    ToolWindow::present(window, window->txtfind());
}

void SearchCommands::mnufindnext_Click()
{
    FindReplaceWindow *window = findWindow();
    const QString find = window->findText();
    if (find.isEmpty()) {
        mnufind_Click();
        return;
    }
    m_varfinder = findFromHere(find, m_varfinder);
    if (m_varfinder == 0) {
        m_window.host().messageBox(QStringLiteral("Search complete"));
        m_window.area()->setFocus();
        return;
    }
    selectfound();
}

void SearchCommands::selectfound()
{
    EditArea *area = m_window.area();
    area->setFocus();
    area->select(m_varfinder - 1, std::min(findWindow()->findText().size(), kLongestSelectedMatch));
}

void SearchCommands::mnureplace_Click()
{
    showreplace();
    ToolWindow::present(findWindow(), findWindow()->txtfind());
}

void SearchCommands::showreplace()
{
    findWindow()->showreplace(m_window.host().systemColor(kHighlightTextColour));
}

void SearchCommands::btnfind_Click()
{
    FindReplaceWindow *window = findWindow();
    const QString find = window->findText();
    m_lengthofwrd = std::min(find.size(), kLongestSelectedMatch);
    m_foundpos = findFromHere(find, m_foundpos);
    if (m_foundpos != 0)
        showmatch();
    else
        searchComplete(QStringLiteral("Search complete"));
    window->btnReplace()->setEnabled(true);
    window->txtfind()->addItem(find);
}

void SearchCommands::showmatch()
{
    EditArea *area = m_window.area();
    area->setFocus();
    area->select(m_foundpos - 1, m_lengthofwrd);
    FindReplaceWindow *window = findWindow();
    if (window->isReplaceMode())
        ToolWindow::present(window, nullptr);
    else
        ToolWindow::dismiss(window);
}

void SearchCommands::searchComplete(const QString &message)
{
    m_window.host().messageBox(message);
    ToolWindow::dismiss(findWindow());
    m_window.area()->setFocus();
}

void SearchCommands::btnReplace_Click()
{
    FindReplaceWindow *window = findWindow();
    const QString replacement = window->replaceText();
    if (m_foundpos != 0 && !window->findText().isEmpty()) {
        m_window.area()->setSelText(replacement);
        btnfind_Click();
    } else {
        searchComplete(QStringLiteral("Search Complete"));
    }
    window->txtReplace()->addItem(replacement);
}

void SearchCommands::btnReplaceAll_Click()
{
    FindReplaceWindow *window = findWindow();
    EditArea *area = m_window.area();
    qsizetype count = 0;
    const QString result = Search::replaceAll(
        area->text(), window->findText(), window->replaceText(), matchCase(), &count);
    // Nothing to replace (an empty find box included) leaves the document alone.
    if (count > 0)
        area->setText(result);
    ToolWindow::dismiss(window);
}

void SearchCommands::Area_Click()
{
    // Creates the window, hidden, when there is none yet, on purpose: creation takes the caret
    // as where the window's own Find Next starts (foundpos), so the first click sets that start.
    FindReplaceWindow *window = findWindow();
    if (!window->isVisible())
        return;
    window->txtfind()->setEditText(m_window.area()->selText());
    window->show();
    window->raise();
}

void SearchCommands::Area_DblClick()
{
    FindReplaceWindow *window = findWindow();
    if (window->isVisible())
        window->hide();
}
