#include "lossysave.h"

#include "host/host.h"

bool confirmLossySave(Host &host, const Codec1252::Unencodable &found)
{
    if (found.count == 0)
        return true;
    const QString prompt
        = QStringLiteral("%1 character(s) cannot be stored in this file's code page "
                         "(Windows-1252) and would be saved as \"?\": %2\n\nSave anyway?")
              .arg(found.count)
              .arg(found.first);
    return host.messageBox(prompt, QStringLiteral("Confirm Save"), Host::Icon::Question,
               Host::Buttons::YesNo, Host::Button::No)
        == Host::Button::Yes;
}
