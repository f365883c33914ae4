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
              .arg(unencodableList(found));
    return host.messageBox(prompt, QStringLiteral("Confirm Save"), Host::Icon::Question,
               Host::Buttons::YesNo, Host::Button::No)
        == Host::Button::Yes;
}

QString unencodableList(const Codec1252::Unencodable &found)
{
    if (found.more == 0)
        return found.first;
    return QStringLiteral("%1 and %2 more").arg(found.first, QString::number(found.more));
}
