#include "selectioncommands.h"

#include "editor/frmedit.h"
#include "host/editarea.h"
#include "wordselection.h"

SelectionCommands::SelectionCommands(frmedit &window)
    : m_window(window)
{ }

void SelectionCommands::mnuselectall_Click()
{
    EditArea *area = m_window.area();
    area->setFocus();
    area->select(0, area->text().size());
}

void SelectionCommands::mnuselectword_Click()
{
    EditArea *area = m_window.area();
    const WordSelection::Selection word = WordSelection::wordAt(area->text(), area->selStart());
    area->select(word.start, word.length);
    area->setFocus();
}

void SelectionCommands::mnuselnxtwrd_Click()
{
    EditArea *area = m_window.area();
    const WordSelection::Selection word
        = WordSelection::nextWord(area->text(), { area->selStart(), area->selLength() });
    area->select(word.start, word.length);
    area->setFocus();
}
