#include "textcommands.h"

#include "autocapitalise.h"
#include "casecommands.h"
#include "clipboardcommands.h"
#include "editor/frmedit.h"
#include "host/editarea.h"
#include "insertioncommands.h"
#include "selectioncommands.h"

TextCommands::TextCommands(frmedit &window)
    : QObject(&window)
    , m_window(window)
    , m_case(std::make_unique<CaseCommands>(window))
    , m_selection(std::make_unique<SelectionCommands>(window))
    , m_insertion(std::make_unique<InsertionCommands>(window))
    , m_autoCapitalise(new AutoCapitalise(window, this))
{
    connect(window.area(), &EditArea::keyPressed, m_autoCapitalise, &AutoCapitalise::Area_KeyPress);
}

TextCommands::~TextCommands() = default;

CommandHandlers TextCommands::handlers()
{
    CaseCommands *cases = m_case.get();
    SelectionCommands *selection = m_selection.get();
    InsertionCommands *insertion = m_insertion.get();
    AutoCapitalise *capitalise = m_autoCapitalise;
    EditArea *area = m_window.area();
    Host *host = &m_window.host();
    return {
        { QStringLiteral("mnulcase"), [cases] { cases->mnulcase_Click(); } },
        { QStringLiteral("mnuucase"), [cases] { cases->mnuucase_Click(); } },
        { QStringLiteral("mnuIcase"), [cases] { cases->mnuIcase_Click(); } },
        { QStringLiteral("mnutitlecase"), [cases] { cases->mnutitlecase_Click(); } },
        { QStringLiteral("mnusentencecase"), [cases] { cases->mnusentencecase_Click(); } },
        { QStringLiteral("mnuautocapitalise"),
            [capitalise] { capitalise->mnuautocapitalise_Click(); } },
        { QStringLiteral("mnuselectall"), [selection] { selection->mnuselectall_Click(); } },
        { QStringLiteral("mnuselectword"), [selection] { selection->mnuselectword_Click(); } },
        { QStringLiteral("mnuselnxtwrd"), [selection] { selection->mnuselnxtwrd_Click(); } },
        { QStringLiteral("mnusinit"), [insertion] { insertion->mnusinit_Click(); } },
        { QStringLiteral("mnusend"), [insertion] { insertion->mnusend_Click(); } },
        { QStringLiteral("mnubothwspaces"), [insertion] { insertion->mnubothwspaces_Click(); } },
        { QStringLiteral("mnudatetime"), [insertion] { insertion->mnudatetime_Click(); } },
        { QStringLiteral("mnuhtmlcode"), [insertion] { insertion->mnuhtmlcode_Click(); } },
        { QStringLiteral("mnucopy"), [area, host] { ClipboardCommands::menuCopy(*area, *host); } },
        { QStringLiteral("mnucut"), [area, host] { ClipboardCommands::menuCut(*area, *host); } },
        { QStringLiteral("mnupaste"), [area, host] { ClipboardCommands::paste(*area, *host); } },
        { QStringLiteral("mnuclearclip"), [host] { ClipboardCommands::clearClipboard(*host); } },
    };
}

void TextCommands::autocorrect()
{
    m_autoCapitalise->autocorrect();
}
