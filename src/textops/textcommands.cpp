#include "textcommands.h"

#include "autocapitalise.h"
#include "casecommands.h"
#include "clipboardcommands.h"
#include "editor/frmedit.h"
#include "host/editarea.h"
#include "insertioncommands.h"
#include "selectioncommands.h"

#include <QAction>

TextCommands::TextCommands(frmedit &window)
    : QObject(&window)
    , m_window(window)
    , m_case(std::make_unique<CaseCommands>(window))
    , m_selection(std::make_unique<SelectionCommands>(window))
    , m_insertion(std::make_unique<InsertionCommands>(window))
    , m_autoCapitalise(new AutoCapitalise(window, this))
{
    CaseCommands *cases = m_case.get();
    SelectionCommands *selection = m_selection.get();
    InsertionCommands *insertion = m_insertion.get();
    const auto row = [this, &window](const char *name, auto handler) {
        connect(window.command(name), &QAction::triggered, this, handler);
    };
    row("mnulcase", [cases] { cases->mnulcase_Click(); });
    row("mnuucase", [cases] { cases->mnuucase_Click(); });
    row("mnuIcase", [cases] { cases->mnuIcase_Click(); });
    row("mnutitlecase", [cases] { cases->mnutitlecase_Click(); });
    row("mnusentencecase", [cases] { cases->mnusentencecase_Click(); });
    connect(window.command("mnuautocapitalise"), &QAction::triggered, m_autoCapitalise,
        &AutoCapitalise::mnuautocapitalise_Click);
    row("mnuselectall", [selection] { selection->mnuselectall_Click(); });
    row("mnuselectword", [selection] { selection->mnuselectword_Click(); });
    row("mnuselnxtwrd", [selection] { selection->mnuselnxtwrd_Click(); });
    row("mnusinit", [insertion] { insertion->mnusinit_Click(); });
    row("mnusend", [insertion] { insertion->mnusend_Click(); });
    row("mnubothwspaces", [insertion] { insertion->mnubothwspaces_Click(); });
    row("mnudatetime", [insertion] { insertion->mnudatetime_Click(); });
    row("mnuhtmlcode", [insertion] { insertion->mnuhtmlcode_Click(); });
    EditArea *area = window.area();
    Host *host = &window.host();
    row("mnucopy", [area, host] { ClipboardCommands::menuCopy(*area, *host); });
    row("mnucut", [area, host] { ClipboardCommands::menuCut(*area, *host); });
    row("mnupaste", [area, host] { ClipboardCommands::paste(*area, *host); });
    row("mnuclearclip", [host] { ClipboardCommands::clearClipboard(*host); });
    connect(window.area(), &EditArea::keyPressed, m_autoCapitalise, &AutoCapitalise::Area_KeyPress);
}

TextCommands::~TextCommands() = default;

void TextCommands::autocorrect()
{
    m_autoCapitalise->autocorrect();
}
