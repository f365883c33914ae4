#include "assembly.h"

#include "appearance/appearancecommands.h"
#include "editor/filecommands.h"
#include "editor/frmedit.h"
#include "help/helpcommands.h"
#include "protect/protectcommands.h"
#include "readaloud/readaloudcommands.h"
#include "search/searchcommands.h"
#include "tempclip/tempclipcommands.h"
#include "textops/textcommands.h"

Subsystems assembleSubsystems(frmedit &window)
{
    return {
        new FileCommands(window),
        new TextCommands(window),
        new ProtectCommands(window),
        new AppearanceCommands(window),
        new HelpCommands(window),
        new SearchCommands(window),
        new TempClipCommands(window),
        new ReadAloudCommands(window),
    };
}
