#include "textcommands.h"

#include "caserules.h"
#include "clipboardcommands.h"
#include "datetimetext.h"
#include "document/document.h"
#include "host/host.h"
#include "htmltemplate.h"
#include "spacestripping.h"
#include "editor/wordselection.h"

#include <QLocale>
#include <QWidget>

TextCommands::TextCommands(Document &document, Host &host, QWidget *view, QObject *parent)
    : QObject(parent)
    , m_document(document)
    , m_host(host)
    , m_view(view)
{ }

void TextCommands::focusView()
{
    if (m_view)
        m_view->setFocus();
}

void TextCommands::lowerCase()
{
    convertSelection(CaseRules::lowerCase);
}

void TextCommands::upperCase()
{
    convertSelection(CaseRules::upperCase);
}

void TextCommands::invertCase()
{
    convertSelection(CaseRules::invertedCase);
}

void TextCommands::titleCase()
{
    convertSelection(CaseRules::titleCase);
}

void TextCommands::convertSelection(Rule rule)
{
    const qsizetype start = m_document.selectionStart();
    if (m_document.selectionLength() > 0) {
        const QString converted = rule(m_document.selectedText());
        m_document.replaceSelection(converted);
        // The full mapping may change the length: the converted text is what stays selected.
        m_document.select(start, converted.size());
    }
    focusView();
}

void TextCommands::sentenceCase()
{
    const qsizetype start = m_document.selectionStart();
    if (m_document.selectionLength() > 0) {
        convertSelection(CaseRules::sentenceCase);
        return;
    }
    // The blank the rule puts first is taken out again together with the character after it,
    // which it upper-cases: the one after the caret, when there is one.
    const qsizetype length = CaseRules::characterLength(m_document.mid(start, 2), 0);
    if (length > 0) {
        m_document.select(start, length);
        m_document.replaceSelection(CaseRules::sentenceCase(m_document.selectedText()));
        m_document.select(start, 0);
    }
    focusView();
}

void TextCommands::selectAll()
{
    focusView();
    m_document.select(0, m_document.size());
}

// Leaves the word at the caret selected; Find starts from it too.
void TextCommands::selectWord()
{
    const WordSelection::Selection word
        = WordSelection::wordAt(m_document.text(), m_document.selectionStart());
    select(word.start, word.length);
}

void TextCommands::selectNextWord()
{
    const WordSelection::Selection word = WordSelection::nextWord(
        m_document.text(), { m_document.selectionStart(), m_document.selectionLength() });
    select(word.start, word.length);
}

void TextCommands::stripLeadingSpaces()
{
    replaceSelection(SpaceStripping::withoutLeadingSpaces(m_document.selectedText()));
}

void TextCommands::stripTrailingSpaces()
{
    replaceSelection(SpaceStripping::withoutTrailingSpaces(m_document.selectedText()));
}

void TextCommands::stripOuterSpaces()
{
    replaceSelection(SpaceStripping::withoutOuterSpaces(m_document.selectedText()));
}

void TextCommands::insertDateAndTime()
{
    replaceSelection(generalDateText(m_host.currentDateTime(), QLocale()));
}

void TextCommands::insertHtmlCode()
{
    replaceSelection(htmlTemplate());
}

void TextCommands::menuCopy()
{
    if (ClipboardCommands::menuCopy(m_document, m_host))
        focusView();
}

void TextCommands::menuCut()
{
    if (ClipboardCommands::menuCut(m_document, m_host))
        focusView();
}

void TextCommands::toolbarCopy()
{
    if (ClipboardCommands::toolbarCopy(m_document, m_host))
        focusView();
}

void TextCommands::toolbarCut()
{
    if (ClipboardCommands::toolbarCut(m_document, m_host))
        focusView();
}

void TextCommands::paste()
{
    ClipboardCommands::paste(m_document, m_host);
    focusView();
}

void TextCommands::clearClipboard()
{
    m_host.clearClipboard();
}

void TextCommands::replaceSelection(const QString &text)
{
    m_document.replaceSelection(text);
    focusView();
}

void TextCommands::select(qsizetype start, qsizetype length)
{
    m_document.select(start, length);
    focusView();
}
