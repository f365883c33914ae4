#include "insertioncommands.h"

#include "datetimetext.h"
#include "editor/frmedit.h"
#include "host/editarea.h"
#include "host/host.h"
#include "htmltemplate.h"
#include "spacestripping.h"

#include <QLocale>

InsertionCommands::InsertionCommands(frmedit &window)
    : m_window(window)
    , m_hatamala(htmlTemplate())
{ }

void InsertionCommands::replaceSelection(const QString &text)
{
    EditArea *area = m_window.area();
    area->setSelText(text);
    area->setFocus();
}

void InsertionCommands::stripSelection(QString (*strip)(QStringView))
{
    replaceSelection(strip(m_window.area()->selText()));
}

void InsertionCommands::mnusinit_Click()
{
    stripSelection(SpaceStripping::withoutLeadingSpaces);
}

void InsertionCommands::mnusend_Click()
{
    stripSelection(SpaceStripping::withoutTrailingSpaces);
}

void InsertionCommands::mnubothwspaces_Click()
{
    stripSelection(SpaceStripping::withoutOuterSpaces);
}

void InsertionCommands::mnudatetime_Click()
{
    replaceSelection(generalDateText(m_window.host().currentDateTime(), QLocale()));
}

void InsertionCommands::mnuhtmlcode_Click()
{
    replaceSelection(m_hatamala);
}
