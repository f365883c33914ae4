#include "casecommands.h"

#include "caserules.h"
#include "editor/frmedit.h"
#include "host/editarea.h"

CaseCommands::CaseCommands(frmedit &window)
    : m_window(window)
{ }

void CaseCommands::convertSelection(QString (*rule)(QStringView))
{
    EditArea *area = m_window.area();
    const qsizetype start = area->selStart();
    if (area->selLength() > 0) {
        const QString converted = rule(area->selText());
        area->setSelText(converted);
        // The full mapping may change the length: the converted text is what stays selected.
        area->select(start, converted.size());
    }
    area->setFocus();
}

void CaseCommands::mnulcase_Click()
{
    convertSelection(CaseRules::lowerCase);
}

void CaseCommands::mnuucase_Click()
{
    convertSelection(CaseRules::upperCase);
}

void CaseCommands::mnuIcase_Click()
{
    convertSelection(CaseRules::invertedCase);
}

void CaseCommands::mnutitlecase_Click()
{
    convertSelection(CaseRules::titleCase);
}

void CaseCommands::mnusentencecase_Click()
{
    EditArea *area = m_window.area();
    const qsizetype start = area->selStart();
    if (area->selLength() > 0) {
        convertSelection(CaseRules::sentenceCase);
        return;
    }
    // The blank the rule puts first is taken out again together with the character after it,
    // which it upper-cases: the one after the caret, when there is one.
    const qsizetype length = CaseRules::characterLength(area->text(), start);
    if (length > 0) {
        area->select(start, length);
        area->setSelText(CaseRules::sentenceCase(area->selText()));
        area->setSelStart(start);
    }
    area->setFocus();
}
