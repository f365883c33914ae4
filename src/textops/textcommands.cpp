#include "textcommands.h"

#include "autocapitalise.h"
#include "caserules.h"
#include "clipboardcommands.h"
#include "datetimetext.h"
#include "editor/frmedit.h"
#include "editor/maintoolbar.h"
#include "host/editarea.h"
#include "host/host.h"
#include "htmltemplate.h"
#include "spacestripping.h"
#include "wordselection.h"

#include <QAction>
#include <QLocale>

TextCommands::TextCommands(frmedit &window)
    : QObject(&window)
    , m_window(window)
    , m_autoCapitalise(new AutoCapitalise(window, this))
    , m_hatamala(htmlTemplate())
{
    EditArea *area = window.area();
    Host *host = &window.host();
    const auto row = [this, &window](const char *name, auto handler) {
        connect(window.command(name), &QAction::triggered, this, handler);
    };
    const auto convert = [this](Rule rule) { return [this, rule] { convertSelection(rule); }; };
    const auto strip = [this, area](Rule rule) {
        return [this, area, rule] { replaceSelection(rule(area->selText())); };
    };

    row("mnulcase", convert(CaseRules::lowerCase));
    row("mnuucase", convert(CaseRules::upperCase));
    row("mnuIcase", convert(CaseRules::invertedCase));
    row("mnutitlecase", convert(CaseRules::titleCase));
    row("mnusentencecase", [this] { mnusentencecase_Click(); });
    connect(window.command("mnuautocapitalise"), &QAction::triggered, m_autoCapitalise,
        &AutoCapitalise::mnuautocapitalise_Click);

    row("mnuselectall", [area] {
        area->setFocus();
        area->select(0, area->text().size());
    });
    // Leaves the word at the caret selected; Find starts from it too.
    row("mnuselectword", [this, area] {
        const WordSelection::Selection word = WordSelection::wordAt(area->text(), area->selStart());
        select(word.start, word.length);
    });
    row("mnuselnxtwrd", [this, area] {
        const WordSelection::Selection word
            = WordSelection::nextWord(area->text(), { area->selStart(), area->selLength() });
        select(word.start, word.length);
    });

    row("mnusinit", strip(SpaceStripping::withoutLeadingSpaces));
    row("mnusend", strip(SpaceStripping::withoutTrailingSpaces));
    row("mnubothwspaces", strip(SpaceStripping::withoutOuterSpaces));
    row("mnudatetime",
        [this, host] { replaceSelection(generalDateText(host->currentDateTime(), QLocale())); });
    row("mnuhtmlcode", [this] { replaceSelection(m_hatamala); });

    row("mnucopy", [area, host] { ClipboardCommands::menuCopy(*area, *host); });
    row("mnucut", [area, host] { ClipboardCommands::menuCut(*area, *host); });
    row("mnupaste", [area, host] { ClipboardCommands::paste(*area, *host); });
    row("mnuclearclip", [host] { ClipboardCommands::clearClipboard(*host); });
    MainToolbar *toolbar = window.toolbar();
    connect(toolbar->button(QStringLiteral("Copy")), &QAction::triggered, this,
        [area, host] { ClipboardCommands::toolbarCopy(*area, *host); });
    connect(toolbar->button(QStringLiteral("Cut")), &QAction::triggered, this,
        [area, host] { ClipboardCommands::toolbarCut(*area, *host); });

    connect(area, &EditArea::keyPressed, m_autoCapitalise, &AutoCapitalise::Area_KeyPress);
    connect(&window, &frmedit::areaChanged, this, [this] {
        if (m_window.command(QStringLiteral("mnuautocapitalise"))->isChecked())
            autocorrect();
    });
}

void TextCommands::autocorrect()
{
    m_autoCapitalise->autocorrect();
}

void TextCommands::convertSelection(Rule rule)
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

void TextCommands::mnusentencecase_Click()
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

void TextCommands::replaceSelection(const QString &text)
{
    EditArea *area = m_window.area();
    area->setSelText(text);
    area->setFocus();
}

void TextCommands::select(qsizetype start, qsizetype length)
{
    EditArea *area = m_window.area();
    area->select(start, length);
    area->setFocus();
}
