#include "assembly.h"

#include "appearance/appearancecommands.h"
#include "editor/filecommands.h"
#include "editor/maintoolbar.h"
#include "editor/mainwindow.h"
#include "help/helpcommands.h"
#include "protect/protectcommands.h"
#include "readaloud/readaloudcommands.h"
#include "search/searchcommands.h"
#include "tempclip/tempclipcommands.h"
#include "textops/autocapitalise.h"
#include "textops/textcommands.h"
#include "view/textview.h"

#include <QAction>

namespace {

// A click on the row `name` runs `slot` of `receiver`; what it returns is not needed.
template <typename Receiver, typename Result>
void wire(MainWindow &window, const char *name, Receiver *receiver, Result (Receiver::*slot)())
{
    QObject::connect(window.command(QLatin1String(name)), &QAction::triggered, receiver,
        [receiver, slot] { (receiver->*slot)(); });
}

template <typename Receiver>
void wireCheck(MainWindow &window, const char *name, Receiver *receiver,
    void (Receiver::*slot)(bool))
{
    QObject::connect(
        window.command(QLatin1String(name)), &QAction::toggled, receiver, slot);
}

FileCommands *fileCommands(MainWindow &window)
{
    auto *files = new FileCommands(window);
    wire(window, "open", files, &FileCommands::open);
    wire(window, "mnureopen", files, &FileCommands::reopenInOtherEncoding);
    wire(window, "save", files, &FileCommands::save);
    wire(window, "saveas", files, &FileCommands::saveAs);
    wire(window, "mnuinsfile", files, &FileCommands::insertFile);
    wire(window, "mnufsize", files, &FileCommands::showFileSize);
    wire(window, "mnuprint", files, &FileCommands::print);
    wire(window, "mnuautosave", files, &FileCommands::toggleAutoSave);
    return files;
}

TextCommands *textCommands(MainWindow &window)
{
    auto *text = new TextCommands(window.document(), window.host(), window.area(), &window);
    wire(window, "mnulcase", text, &TextCommands::lowerCase);
    wire(window, "mnuucase", text, &TextCommands::upperCase);
    wire(window, "mnuIcase", text, &TextCommands::invertCase);
    wire(window, "mnutitlecase", text, &TextCommands::titleCase);
    wire(window, "mnusentencecase", text, &TextCommands::sentenceCase);
    wire(window, "mnuselectall", text, &TextCommands::selectAll);
    wire(window, "mnuselectword", text, &TextCommands::selectWord);
    wire(window, "mnuselnxtwrd", text, &TextCommands::selectNextWord);
    wire(window, "mnusinit", text, &TextCommands::stripLeadingSpaces);
    wire(window, "mnusend", text, &TextCommands::stripTrailingSpaces);
    wire(window, "mnubothwspaces", text, &TextCommands::stripOuterSpaces);
    wire(window, "mnudatetime", text, &TextCommands::insertDateAndTime);
    wire(window, "mnuhtmlcode", text, &TextCommands::insertHtmlCode);
    wire(window, "mnucopy", text, &TextCommands::menuCopy);
    wire(window, "mnucut", text, &TextCommands::menuCut);
    wire(window, "mnupaste", text, &TextCommands::paste);
    wire(window, "mnuclearclip", text, &TextCommands::clearClipboard);
    MainToolbar *toolbar = window.toolbar();
    QObject::connect(toolbar->button(QStringLiteral("Copy")), &QAction::triggered, text,
        &TextCommands::toolbarCopy);
    QObject::connect(toolbar->button(QStringLiteral("Cut")), &QAction::triggered, text,
        &TextCommands::toolbarCut);
    return text;
}

AutoCapitalise *autoCapitalise(MainWindow &window)
{
    auto *capitalise = new AutoCapitalise(window.document(), &window);
    wireCheck(window, "mnuautocapitalise", capitalise, &AutoCapitalise::setEnabled);
    QObject::connect(window.area(), &TextView::keyPressed, capitalise, &AutoCapitalise::beforeKey);
    return capitalise;
}

ProtectCommands *protectCommands(MainWindow &window)
{
    auto *protect = new ProtectCommands(window.document(), window.host(), window.area(),
        [&window] { return window.lineCount(); }, &window);
    wire(window, "btncode", protect, &ProtectCommands::protect);
    wire(window, "btndecode", protect, &ProtectCommands::unprotect);
    return protect;
}

HelpCommands *helpCommands(MainWindow &window)
{
    auto *help
        = new HelpCommands(window.document(), window.host(), &window, window.area(), &window);
    wire(window, "helpa", help, &HelpCommands::insertHelp);
    wire(window, "about", help, &HelpCommands::showAbout);
    return help;
}

SearchCommands *searchCommands(MainWindow &window)
{
    auto *search
        = new SearchCommands(window.document(), window.host(), &window, window.area(), &window);
    wire(window, "mnufind", search, &SearchCommands::find);
    wire(window, "mnufindnext", search, &SearchCommands::findNext);
    wire(window, "mnureplace", search, &SearchCommands::findAndReplace);
    QObject::connect(
        window.area(), &TextView::mouseReleased, search, &SearchCommands::textClicked);
    QObject::connect(
        window.area(), &TextView::doubleClicked, search, &SearchCommands::textDoubleClicked);
    return search;
}

TempClipCommands *tempClipCommands(MainWindow &window)
{
    auto *tempclip = new TempClipCommands(window.document(), window.host(),
        window.toolbar()->clipboardBox(), &window, window.area(), &window);
    wire(window, "mnucopytotemp", tempclip, &TempClipCommands::copySelection);
    wire(window, "mnuuseword", tempclip, &TempClipCommands::pasteCurrent);
    wire(window, "mnucleartmpcmb", tempclip, &TempClipCommands::clearList);
    wire(window, "mnumasterclip", tempclip, &TempClipCommands::showMasterWindow);
    wireCheck(window, "mnuslowpaste", tempclip, &TempClipCommands::setSlowPaste);
    return tempclip;
}

ReadAloudCommands *readAloudCommands(MainWindow &window)
{
    auto *readaloud = new ReadAloudCommands(window.document(), window.host(), &window);
    wire(window, "mnuloquen", readaloud, &ReadAloudCommands::showReadAloud);
    return readaloud;
}

} // namespace

Subsystems assembleSubsystems(MainWindow &window)
{
    return {
        fileCommands(window),
        textCommands(window),
        autoCapitalise(window),
        protectCommands(window),
        new AppearanceCommands(window),
        helpCommands(window),
        searchCommands(window),
        tempClipCommands(window),
        readAloudCommands(window),
    };
}
